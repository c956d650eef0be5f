// SPDX-License-Identifier: MIT
// The text rendering of an explanation. Numbers go through std::to_chars,
// so no locale changes them.

#include "encoder/explanation_text.h"

#include <charconv>
#include <string_view>

#include "encoder/explanation_names.h"

namespace barquill::encoder {

namespace {

std::string number(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

std::string rightAligned(long long value, std::size_t width) {
    std::string s = number(value);
    return s.size() < width ? std::string(width - s.size(), ' ') + s : s;
}

std::string counted(long long count, const char* one, const char* many) {
    return number(count) + ' ' + (count == 1 ? one : many);
}

// A text character as a person reads it: quoted, with C escapes.
std::string quoted(unsigned char c) {
    switch (c) {
        case '\t':
            return "\"\\t\"";
        case '\n':
            return "\"\\n\"";
        case '\r':
            return "\"\\r\"";
        case '"':
            return "\"\\\"\"";
        case '\\':
            return "\"\\\\\"";
        default:
            return std::string("\"") + static_cast<char>(c) + '"';
    }
}

std::string hexByte(unsigned char b) {
    static const char hex[] = "0123456789abcdef";
    return {hex[b >> 4], hex[b & 0xf]};
}

std::string part(const ExplainedCodeword& c) {
    return "part " + number(c.part + 1) + " of " + number(c.parts);
}

std::string textValue(const Explanation& e, const TextValue& value) {
    switch (value.kind) {
        case TextValueKind::Character:
            return quoted(e.data[value.offset]);
        case TextValueKind::Latch:
            return std::string("latch to ") + submodeName(value.submode);
        case TextValueKind::Shift:
            return std::string("shift to ") + submodeName(value.submode);
        case TextValueKind::Padding:
            break;
    }
    return "padding";
}

std::string range(const ExplainedCodeword& c) {
    return number(static_cast<long long>(c.offset)) + ".." +
           number(static_cast<long long>(c.offset + c.length - 1));
}

std::string meaning(const Explanation& e, const ExplainedCodeword& c) {
    switch (c.role) {
        case CodewordRole::LengthDescriptor:
            return "length descriptor";
        case CodewordRole::Latch:
            return std::string("latch to ") + modeName(c.mode) + " compaction" +
                   (c.value == LATCH_BYTE6 ? ", every byte in a group of 6" : "");
        case CodewordRole::Shift:
            return "shift to byte compaction for one byte";
        case CodewordRole::Text:
            return "text: " + textValue(e, c.textValues[0]) + ", " + textValue(e, c.textValues[1]);
        case CodewordRole::Byte: {
            if (c.length == 1)
                return "byte " + number(static_cast<long long>(c.offset)) + ": " +
                       hexByte(e.data[c.offset]);
            std::string bytes;
            for (std::size_t i = 0; i < c.length; ++i) bytes += ' ' + hexByte(e.data[c.offset + i]);
            return "bytes " + range(c) + ", " + part(c) + ":" + bytes;
        }
        case CodewordRole::Numeric:
            return "digits " + range(c) + ", " + part(c) + ": " +
                   std::string(reinterpret_cast<const char*>(e.data.data()) + c.offset, c.length);
        case CodewordRole::Padding:
            return "padding";
        case CodewordRole::Eci:
            return "ECI designator: ECI " + number(c.number);
        case CodewordRole::EciNumber:
            return "ECI " + number(c.number) + ", " + part(c);
        case CodewordRole::MacroMarker:
            return "Macro PDF417 control block";
        case CodewordRole::MacroSegmentIndex:
            return "segment index " + number(c.number) + ", " + part(c);
        case CodewordRole::MacroFileId:
            return "file ID, " + part(c);
        case CodewordRole::MacroField:
            return "optional field follows";
        case CodewordRole::MacroFieldId:
            return "field " + number(c.number) + ": " + macroFieldName(c.number);
        case CodewordRole::MacroFieldData:
            return std::string(macroFieldName(c.number)) + ", " + part(c);
        case CodewordRole::MacroTerminator:
            return "last segment of the series";
        case CodewordRole::ErrorCorrection:
            return "error correction, " + part(c);
    }
    return "";
}

}  // namespace

std::string explanationText(const Explanation& e) {
    if (!e.ok()) {
        return std::string("not built: ") + buildErrorName(e.report.error) + " (" +
               counted(e.report.dataCodewords, "data codeword", "data codewords") + ")\n";
    }
    std::string out;
    out += number(e.rows) + " rows x " + number(e.columns) + " columns, " +
           (e.compact ? "compact form" : "full form") + '\n';
    out += "error correction: level " + number(e.level) + ", " +
           counted(e.errorCorrectionCodewords, "codeword", "codewords") + '\n';
    out += "length descriptor: " + number(e.lengthDescriptor) + " (itself, " +
           counted(e.dataCodewords, "data codeword", "data codewords") + ", " +
           number(e.paddingCodewords) + " padding)\n";
    out += "capacity left: " + counted(e.capacityLeft, "data codeword", "data codewords") + '\n';

    out += "segments:\n";
    for (const Segment& s : e.segments) {
        const std::string mode = modeName(s.mode);
        out += "  " + mode + std::string(9 - mode.size(), ' ') + "at " +
               number(static_cast<long long>(s.offset)) + ", " +
               counted(static_cast<long long>(s.length), "byte", "bytes") + '\n';
    }

    out += "codewords:\n  position  row  column  value  meaning\n";
    for (std::size_t i = 0; i < e.codewords.size(); ++i) {
        const auto position = static_cast<long long>(i);
        out += rightAligned(position, 10) + rightAligned(position / e.columns, 5) +
               rightAligned(position % e.columns, 8) + rightAligned(e.codewords[i].value, 7) +
               "  " + meaning(e, e.codewords[i]) + '\n';
    }

    out += "row indicators:\n";
    for (std::size_t r = 0; r < e.rowIndicators.size(); ++r) {
        const RowIndicatorPair& pair = e.rowIndicators[r];
        out += "  row " + rightAligned(static_cast<long long>(r), 2) + ": left " +
               rightAligned(pair.left, 3);
        if (pair.right) out += ", right " + rightAligned(*pair.right, 3);
        out += '\n';
    }
    return out;
}

}  // namespace barquill::encoder
