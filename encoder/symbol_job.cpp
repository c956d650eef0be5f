// SPDX-License-Identifier: MIT
// The job record's entry points: defaults, option checks, and the core that
// runs segmentation, compaction, dimensioning, error correction and row
// assembly in that order.

#include <cstring>
#include <memory>
#include <type_traits>

#include "encoder/codeword_notes.h"
#include "encoder/encoding_steps.h"

namespace barquill::encoder {

namespace {

void setMessage(SymbolJob* job, const char* text) {
    std::strncpy(job->message, text, MESSAGE_CAPACITY - 1);
    job->message[MESSAGE_CAPACITY - 1] = '\0';
}

}  // namespace

void resetSymbolJob(SymbolJob* job) {
    job->variant = SYMBOL_FULL;
    job->width = 0;
    job->rows = 0;
    job->columns = 0;
    job->ecLevel = -1;
    job->margin = 6;
    job->barColor = 0;
    job->spaceColor = 0xFFFFFF;
    std::memset(job->message, 0, sizeof job->message);
    job->text[0] = '\0';
}

void initSymbolJob(SymbolJob* job) {
    std::memset(job, 0, sizeof *job);
    resetSymbolJob(job);
}

namespace {

// Scratch per thread: a large table that callers never see. It is made on
// the heap on first use, and not cleared, since every use sets what it
// reads: in thread-local storage it would be zeroed for every thread, and
// at every program's start, whether it encodes or not.
RunTable& threadRunTable() {
    static thread_local std::unique_ptr<RunTable> runs;
    if (!runs) runs = std::make_unique_for_overwrite<RunTable>();
    return *runs;
}

// The data codewords: the ECI designator, if any, then the compacted data.
// The designator leaves the reader in text compaction, as at the start.
template <class Notes>
void compactData(const unsigned char* data, std::size_t length, const SymbolOptions& options,
                 CodewordList* list, Notes& notes) {
    list->count = 0;
    if (options.eci != NO_ECI) {
        appendEci(list, options.eci);
        notes.eci(*list, 0, options.eci);
    }
    if (options.compaction == Compaction::Byte) {
        const int bytes = static_cast<int>(length);
        notes.segment(LATCH_BYTE, 0, bytes);
        compactByteRun(list, data, 0, bytes, notes);
        return;
    }
    RunTable& runs = threadRunTable();
    segmentText(&runs, data, length);
    compactRuns(&runs, data, list, notes);
}

bool printableAscii(const std::string& text) {
    if (text.size() > MAX_MACRO_TEXT) return false;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code > 126) return false;
    }
    return true;
}

SymbolOption invalidMacroOption(const MacroControl& macro) {
    if (macro.segmentIndex < 0 || macro.segmentIndex >= MAX_MACRO_SEGMENTS)
        return SymbolOption::SegmentIndex;
    if (macro.segmentCount &&
        (*macro.segmentCount < 1 || *macro.segmentCount > MAX_MACRO_SEGMENTS ||
         macro.segmentIndex >= *macro.segmentCount))
        return SymbolOption::SegmentCount;
    if (macro.fileId.empty() || macro.fileId.size() > MAX_FILE_ID_CODEWORDS)
        return SymbolOption::FileId;
    for (std::int32_t codeword : macro.fileId)
        if (codeword < 0 || codeword > 899) return SymbolOption::FileId;
    for (const std::string* text : {&macro.fileName, &macro.sender, &macro.addressee})
        if (!printableAscii(*text)) return SymbolOption::MacroText;
    if ((macro.timeStamp && *macro.timeStamp < 0) || (macro.fileSize && *macro.fileSize < 0))
        return SymbolOption::MacroNumber;
    return SymbolOption::None;
}

// Options as callers of the original entry points have them: none.
const SymbolOptions& noOptions() {
    static const SymbolOptions none;
    return none;
}

}  // namespace

SymbolOption invalidOption(const SymbolOptions& options) {
    // The common case first: nothing asked beyond the job record.
    if (options.rows == 0 && options.aspect == 0.0 && options.eci == NO_ECI && !options.macro &&
        options.moduleWidth >= 1 && options.rowHeight >= 1)
        return SymbolOption::None;
    if (options.rows != 0 && (options.rows < MIN_ROWS || options.rows > MAX_ROWS))
        return SymbolOption::Rows;
    if (!(options.aspect >= 0.0 && options.aspect < 1e6)) return SymbolOption::Aspect;
    if (options.moduleWidth < 1 || options.rowHeight < 1) return SymbolOption::ModuleSize;
    if (options.eci != NO_ECI && (options.eci < 0 || options.eci > MAX_ECI))
        return SymbolOption::Eci;
    if (options.macro) return invalidMacroOption(*options.macro);
    return SymbolOption::None;
}

int countDataCodewords(const unsigned char* data, std::size_t length,
                       const SymbolOptions& options) {
    if (length > MAX_INPUT_LENGTH) return -1;
    // On the heap on first use, as the run table is.
    static thread_local std::unique_ptr<CodewordList> scratch;
    if (!scratch) scratch = std::make_unique_for_overwrite<CodewordList>();
    CodewordList& list = *scratch;
    NoNotes none;
    compactData(data, length, options, &list, none);
    int count = list.count;
    if (options.macro) count += static_cast<int>(macroControlBlock(*options.macro).size());
    return count;
}

int countDataCodewords(const unsigned char* data, std::size_t length) {
    return countDataCodewords(data, length, noOptions());
}

namespace {

template <class Notes>
SymbolReport build(SymbolJob* job, const unsigned char* data, std::size_t length,
                   const SymbolOptions& options, Notes& notes) {
    SymbolReport report;
    if (const SymbolOption wrong = invalidOption(options); wrong != SymbolOption::None) {
        report.error = SymbolError::InvalidOption;
        report.option = wrong;
        return report;
    }
    if (options.aspect > 0.0 && (options.rows != 0 || job->columns != 0)) {
        report.error = SymbolError::InvalidOption;
        report.option = SymbolOption::Aspect;
        return report;
    }
    if (length > MAX_INPUT_LENGTH) {
        report.error = SymbolError::TooLong;
        report.dataCodewords = -1;
        return report;
    }
    CodewordList list;
    compactData(data, length, options, &list, notes);
    if (options.macro) {
        CodewordNotes* controlNotes = nullptr;
        if constexpr (std::is_base_of_v<CodewordNotes, Notes>) controlNotes = &notes;
        const std::vector<std::int32_t> trailer = macroControlBlock(*options.macro, controlNotes);
        report =
            dimensionSymbol(job, &list, options, trailer.data(), static_cast<int>(trailer.size()));
    } else {
        report = dimensionSymbol(job, &list, options, nullptr, 0);
    }
    if (!report.ok()) return report;
    appendErrorCorrection(&list, job->ecLevel);
    notes.finished(list);
    assembleRows(job, &list);
    return report;
}

}  // namespace

SymbolReport buildSymbol(SymbolJob* job, const unsigned char* data, std::size_t length,
                         const SymbolOptions& options) {
    NoNotes none;
    return build(job, data, length, options, none);
}

SymbolReport buildSymbol(SymbolJob* job, const unsigned char* data, std::size_t length,
                         const SymbolOptions& options, CodewordNotes& notes) {
    return build(job, data, length, options, notes);
}

int buildSymbol(SymbolJob* job, const unsigned char* data, std::size_t length) {
    return static_cast<int>(buildSymbol(job, data, length, noOptions()).error);
}

int buildSymbol(SymbolJob* job, const char* text) {
    const char* safe = text != nullptr ? text : "";
    return buildSymbol(job, reinterpret_cast<const unsigned char*>(safe), std::strlen(safe));
}

int encodeSymbolBytes(SymbolJob* job, const unsigned char* data, std::size_t length,
                      const SymbolOptions& options, SymbolReport* report) {
    SymbolReport ignored;
    if (report == nullptr) report = &ignored;
    if (job == nullptr) {
        *report = SymbolReport{};
        report->error = SymbolError::InvalidOption;
        return STATUS_ERROR;
    }
    static const unsigned char empty = 0;
    if (data == nullptr) {
        data = &empty;
        length = 0;
    }

    int status = STATUS_OK;
    if (job->ecLevel < -1 || job->ecLevel > 8) {
        setMessage(job, "warning: security value out of range");
        job->ecLevel = -1;
        status = STATUS_WARNING;
    }
    if (job->columns < 0 || job->columns > MAX_COLUMNS) {
        setMessage(job, "warning: number of columns out of range");
        job->columns = 0;
        status = STATUS_WARNING;
    }
    *report = buildSymbol(job, data, length, options);
    switch (report->error) {
        case SymbolError::None:
            return status;
        case SymbolError::TooLong:
            setMessage(job, "error: input string too long (PDF error 2)");
            return STATUS_ERROR;
        case SymbolError::ColumnsDoNotFit:
            setMessage(job, "error: data too long for specified number of columns (PDF error 4)");
            return STATUS_ERROR;
        case SymbolError::ShapeDoesNotFit:
            setMessage(job, "error: data does not fit the specified rows and columns");
            return STATUS_ERROR;
        default:
            setMessage(job, "error: symbol option out of range");
            return STATUS_ERROR;
    }
}

int encodeSymbolBytes(SymbolJob* job, const unsigned char* data, std::size_t length) {
    return encodeSymbolBytes(job, data, length, noOptions(), nullptr);
}

int encodeSymbolJob(SymbolJob* job, const char* text) {
    const char* safe = text != nullptr ? text : "";
    return encodeSymbolBytes(job, reinterpret_cast<const unsigned char*>(safe), std::strlen(safe));
}

}  // namespace barquill::encoder
