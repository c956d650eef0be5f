// SPDX-License-Identifier: MIT
// Names are part of the JSON rendering's schema: change none of them.

#include "encoder/explanation_names.h"

namespace barquill::encoder {

const char* modeName(CompactionMode mode) {
    switch (mode) {
        case CompactionMode::Text:
            return "text";
        case CompactionMode::Byte:
            return "byte";
        case CompactionMode::Numeric:
            return "numeric";
    }
    return "unknown";
}

const char* submodeName(TextSubmode submode) {
    switch (submode) {
        case TextSubmode::Alpha:
            return "alpha";
        case TextSubmode::Lower:
            return "lower";
        case TextSubmode::Mixed:
            return "mixed";
        case TextSubmode::Punctuation:
            return "punctuation";
    }
    return "unknown";
}

const char* textValueKindName(TextValueKind kind) {
    switch (kind) {
        case TextValueKind::Character:
            return "character";
        case TextValueKind::Latch:
            return "latch";
        case TextValueKind::Shift:
            return "shift";
        case TextValueKind::Padding:
            return "padding";
    }
    return "unknown";
}

const char* roleName(CodewordRole role) {
    switch (role) {
        case CodewordRole::LengthDescriptor:
            return "length-descriptor";
        case CodewordRole::Latch:
            return "latch";
        case CodewordRole::Shift:
            return "shift";
        case CodewordRole::Text:
            return "text";
        case CodewordRole::Byte:
            return "byte";
        case CodewordRole::Numeric:
            return "numeric";
        case CodewordRole::Padding:
            return "padding";
        case CodewordRole::Eci:
            return "eci";
        case CodewordRole::EciNumber:
            return "eci-number";
        case CodewordRole::MacroMarker:
            return "macro-marker";
        case CodewordRole::MacroSegmentIndex:
            return "macro-segment-index";
        case CodewordRole::MacroFileId:
            return "macro-file-id";
        case CodewordRole::MacroField:
            return "macro-field";
        case CodewordRole::MacroFieldId:
            return "macro-field-id";
        case CodewordRole::MacroFieldData:
            return "macro-field-data";
        case CodewordRole::MacroTerminator:
            return "macro-terminator";
        case CodewordRole::ErrorCorrection:
            return "error-correction";
    }
    return "unknown";
}

const char* buildErrorName(SymbolError error) {
    switch (error) {
        case SymbolError::None:
            return "none";
        case SymbolError::TooLong:
            return "too-long";
        case SymbolError::ColumnsDoNotFit:
            return "columns-do-not-fit";
        case SymbolError::ShapeDoesNotFit:
            return "shape-does-not-fit";
        case SymbolError::InvalidOption:
            return "invalid-option";
    }
    return "unknown";
}

const char* macroFieldName(int field) {
    static const char* const names[] = {
        "file name", "segment count", "time stamp", "sender", "addressee", "file size", "checksum",
    };
    return field >= 0 && field < 7 ? names[field] : "unknown field";
}

}  // namespace barquill::encoder
