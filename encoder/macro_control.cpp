// The Macro PDF417 control block: 928, the segment index as five digits in
// numeric compaction, the file ID, the optional fields (923 and a
// designator each), and 922 in the last segment.

#include <memory>
#include <string>

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

CodewordList& scratchList() {
    static thread_local CodewordList list;
    return list;
}

void appendFrom(std::vector<std::int32_t>* block, const CodewordList& list, int first) {
    block->insert(block->end(), list.entries + first, list.entries + list.count);
}

// Digits in numeric compaction, without the latch: the reader knows from
// the field's designator that a number follows.
void appendNumber(std::vector<std::int32_t>* block, const std::string& digits) {
    CodewordList& list = scratchList();
    list.count = 0;
    compactNumeric(&list, reinterpret_cast<const unsigned char*>(digits.data()), 0,
                   static_cast<int>(digits.size()));
    appendFrom(block, list, 1);
}

// Text in text compaction from the Alpha submode, without a latch.
void appendText(std::vector<std::int32_t>* block, const std::string& text) {
    CodewordList& list = scratchList();
    list.count = 0;
    compactText(&list, reinterpret_cast<const unsigned char*>(text.data()), 0,
                static_cast<int>(text.size()), 0);
    appendFrom(block, list, 0);
}

void appendField(std::vector<std::int32_t>* block, FieldDesignator designator) {
    block->push_back(MACRO_OPTIONAL_FIELD);
    block->push_back(designator);
}

}  // namespace

std::vector<std::int32_t> macroControlBlock(const MacroControl& control) {
    std::vector<std::int32_t> block{MACRO_BEGIN};
    // Five digits, as readers expect; a caller's out-of-range index is refused
    // before a symbol is built, but counting codewords must not fail on it.
    std::string index = std::to_string(control.segmentIndex);
    if (index.size() < 5) index.insert(0, 5 - index.size(), '0');
    appendNumber(&block, index);
    block.insert(block.end(), control.fileId.begin(), control.fileId.end());
    if (!control.fileName.empty()) {
        appendField(&block, FIELD_FILE_NAME);
        appendText(&block, control.fileName);
    }
    if (control.segmentCount) {
        appendField(&block, FIELD_SEGMENT_COUNT);
        appendNumber(&block, std::to_string(*control.segmentCount));
    }
    if (control.timeStamp) {
        appendField(&block, FIELD_TIME_STAMP);
        appendNumber(&block, std::to_string(*control.timeStamp));
    }
    if (!control.sender.empty()) {
        appendField(&block, FIELD_SENDER);
        appendText(&block, control.sender);
    }
    if (!control.addressee.empty()) {
        appendField(&block, FIELD_ADDRESSEE);
        appendText(&block, control.addressee);
    }
    if (control.fileSize) {
        appendField(&block, FIELD_FILE_SIZE);
        appendNumber(&block, std::to_string(*control.fileSize));
    }
    if (control.checksum) {
        appendField(&block, FIELD_CHECKSUM);
        appendNumber(&block, std::to_string(*control.checksum));
    }
    if (control.lastSegment) block.push_back(MACRO_TERMINATOR);
    return block;
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
