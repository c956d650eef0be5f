// The job record's entry points: defaults, option checks, and the core that
// runs segmentation, compaction, dimensioning, error correction and row
// assembly in that order.

#include <cstring>

#include "encoder/encoding_steps.h"

namespace barquill::encoder {

namespace {

void setMessage(SymbolJob* job, const char* text) {
    std::strncpy(job->message, text, MESSAGE_CAPACITY - 1);
    job->message[MESSAGE_CAPACITY - 1] = '\0';
}

}  // namespace

void initSymbolJob(SymbolJob* job) {
    std::memset(job, 0, sizeof *job);
    job->variant = SYMBOL_FULL;
    job->ecLevel = -1;
    job->spaceColor = 0xFFFFFF;
    job->barColor = 0;
    job->margin = 6;
}

namespace {

// Scratch per thread: a large table that callers never see.
RunTable& threadRunTable() {
    static thread_local RunTable runs;
    return runs;
}

void compactData(const unsigned char* data, std::size_t length, CodewordList* list) {
    RunTable& runs = threadRunTable();
    list->count = 0;
    segmentText(&runs, data, length);
    compactRuns(&runs, data, list);
}

}  // namespace

int countDataCodewords(const unsigned char* data, std::size_t length) {
    if (length > MAX_INPUT_LENGTH) return -1;
    static thread_local CodewordList list;
    compactData(data, length, &list);
    return list.count;
}

int buildSymbol(SymbolJob* job, const unsigned char* data, std::size_t length) {
    if (length > MAX_INPUT_LENGTH) return BUILD_TOO_LONG;
    CodewordList list;
    compactData(data, length, &list);
    const int result = dimensionSymbol(job, &list);
    if (result != BUILD_OK) return result;
    appendErrorCorrection(&list, job->ecLevel);
    assembleRows(job, &list);
    return BUILD_OK;
}

int buildSymbol(SymbolJob* job, const char* text) {
    const char* safe = text != nullptr ? text : "";
    return buildSymbol(job, reinterpret_cast<const unsigned char*>(safe), std::strlen(safe));
}

int encodeSymbolBytes(SymbolJob* job, const unsigned char* data, std::size_t length) {
    if (job == nullptr) return STATUS_ERROR;
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
    switch (buildSymbol(job, data, length)) {
        case BUILD_OK:
            return status;
        case BUILD_TOO_LONG:
            setMessage(job, "error: input string too long (PDF error 2)");
            return STATUS_ERROR;
        default:
            setMessage(job, "error: data too long for specified number of columns (PDF error 4)");
            return STATUS_ERROR;
    }
}

int encodeSymbolJob(SymbolJob* job, const char* text) {
    const char* safe = text != nullptr ? text : "";
    return encodeSymbolBytes(job, reinterpret_cast<const unsigned char*>(safe), std::strlen(safe));
}

}  // namespace barquill::encoder
