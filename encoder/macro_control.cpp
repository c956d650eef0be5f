// SPDX-License-Identifier: MIT
// The Macro PDF417 control block: 928, the segment index as five digits in
// numeric compaction, the file ID, the optional fields (923 and a
// designator each), and 922 in the last segment.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "encoder/codeword_notes.h"
#include "encoder/encoding_steps.h"

namespace barquill::encoder {

namespace {

enum FieldDesignator : std::int32_t {
    FIELD_FILE_NAME = 0,
    FIELD_SEGMENT_COUNT = 1,
    FIELD_TIME_STAMP = 2,
    FIELD_SENDER = 3,
    FIELD_ADDRESSEE = 4,
    FIELD_FILE_SIZE = 5,
    FIELD_CHECKSUM = 6,
};

// On the heap on first use, not cleared (each use sets the count first): in
// thread-local storage it would be zeroed for every thread and at every
// program's start.
CodewordList& scratchList() {
    static thread_local std::unique_ptr<CodewordList> list;
    if (!list) list = std::make_unique_for_overwrite<CodewordList>();
    return *list;
}

// Builds the block and tells the notes, if any, what each part is.
class BlockWriter {
public:
    explicit BlockWriter(CodewordNotes* notes) : notes_(notes) {}

    void add(std::int32_t codeword, CodewordRole role, int detail = 0) {
        block_.push_back(codeword);
        if (notes_ != nullptr) notes_->control(role, detail, 1);
    }

    // Digits in numeric compaction, without the latch: the reader knows
    // from the field's designator that a number follows.
    void appendNumber(const std::string& digits, CodewordRole role, int detail) {
        CodewordList& list = scratchList();
        list.count = 0;
        compactNumeric(&list, reinterpret_cast<const unsigned char*>(digits.data()), 0,
                       static_cast<int>(digits.size()));
        append(list, 1, role, detail);
    }

    // Text in text compaction from the Alpha submode, without a latch.
    void appendText(const std::string& text, CodewordRole role, int detail) {
        CodewordList& list = scratchList();
        list.count = 0;
        compactText(&list, reinterpret_cast<const unsigned char*>(text.data()), 0,
                    static_cast<int>(text.size()), 0);
        append(list, 0, role, detail);
    }

    void appendFileId(const std::vector<std::int32_t>& id) {
        block_.insert(block_.end(), id.begin(), id.end());
        if (notes_ != nullptr)
            notes_->control(CodewordRole::MacroFileId, 0, static_cast<int>(id.size()));
    }

    void appendField(FieldDesignator designator) {
        add(MACRO_OPTIONAL_FIELD, CodewordRole::MacroField, designator);
        add(designator, CodewordRole::MacroFieldId, designator);
    }

    std::vector<std::int32_t> take() { return std::move(block_); }

private:
    void append(const CodewordList& list, int first, CodewordRole role, int detail) {
        block_.insert(block_.end(), list.entries + first, list.entries + list.count);
        if (notes_ != nullptr) notes_->control(role, detail, list.count - first);
    }

    std::vector<std::int32_t> block_;
    CodewordNotes* notes_;
};

}  // namespace

std::vector<std::int32_t> macroControlBlock(const MacroControl& control, CodewordNotes* notes) {
    BlockWriter block(notes);
    block.add(MACRO_BEGIN, CodewordRole::MacroMarker);
    // Five digits, as readers expect; a caller's out-of-range index is refused
    // before a symbol is built, but counting codewords must not fail on it.
    std::string index = std::to_string(control.segmentIndex);
    if (index.size() < 5) index.insert(0, 5 - index.size(), '0');
    block.appendNumber(index, CodewordRole::MacroSegmentIndex, control.segmentIndex);
    block.appendFileId(control.fileId);
    const auto numberField = [&](FieldDesignator designator, const std::string& digits) {
        block.appendField(designator);
        block.appendNumber(digits, CodewordRole::MacroFieldData, designator);
    };
    const auto textField = [&](FieldDesignator designator, const std::string& text) {
        block.appendField(designator);
        block.appendText(text, CodewordRole::MacroFieldData, designator);
    };
    if (!control.fileName.empty()) textField(FIELD_FILE_NAME, control.fileName);
    if (control.segmentCount)
        numberField(FIELD_SEGMENT_COUNT, std::to_string(*control.segmentCount));
    if (control.timeStamp) numberField(FIELD_TIME_STAMP, std::to_string(*control.timeStamp));
    if (!control.sender.empty()) textField(FIELD_SENDER, control.sender);
    if (!control.addressee.empty()) textField(FIELD_ADDRESSEE, control.addressee);
    if (control.fileSize) numberField(FIELD_FILE_SIZE, std::to_string(*control.fileSize));
    if (control.checksum) numberField(FIELD_CHECKSUM, std::to_string(*control.checksum));
    if (control.lastSegment) block.add(MACRO_TERMINATOR, CodewordRole::MacroTerminator);
    return block.take();
}

std::vector<std::int32_t> macroControlBlock(const MacroControl& control) {
    return macroControlBlock(control, nullptr);
}

std::uint16_t macroChecksum(const unsigned char* data, std::size_t length) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= static_cast<std::uint16_t>(data[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

}  // namespace barquill::encoder
