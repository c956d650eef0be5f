// SPDX-License-Identifier: MIT
// Splits the input into runs of one compaction mode each. The choice is a
// fixed rule set, not an optimisation: three character classes, one
// splitting scan, two re-classification passes with fixed length thresholds.

#include "encoder/codeword_notes.h"
#include "encoder/encoding_steps.h"

namespace barquill::encoder {

int classifyChar(unsigned char c) {
    if (c >= '0' && c <= '9') return LATCH_NUMERIC;
    if (c == '\t' || c == '\n' || c == '\r') return LATCH_TEXT;
    if (c >= 32 && c <= 126) return LATCH_TEXT;
    return LATCH_BYTE;
}

void segmentText(RunTable* table, const unsigned char* data, std::size_t length) {
    // The empty text is one byte run of no bytes (its terminator's class).
    table->count = 0;
    if (length == 0) {
        table->lengths[0] = 0;
        table->kinds[0] = LATCH_BYTE;
        table->count = 1;
        return;
    }
    int kind = classifyChar(data[0]);
    int runLength = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const int cls = classifyChar(data[i]);
        if (cls != kind) {
            table->lengths[table->count] = runLength;
            table->kinds[table->count] = kind;
            ++table->count;
            kind = cls;
            runLength = 0;
        }
        ++runLength;
    }
    table->lengths[table->count] = runLength;
    table->kinds[table->count] = kind;
    ++table->count;
    refineRuns(table);
}

namespace {

constexpr int NONE = 0;

// Pass 1: a short digit run costs more as its own numeric run (latch and
// group overhead) than folded into its neighbour's mode.
int refinedNumericKind(int previous, int next, int n) {
    if (previous == NONE && next == NONE) return LATCH_NUMERIC;
    if (previous == NONE) {
        if (next == LATCH_TEXT && n <= 7) return LATCH_TEXT;
        if (next == LATCH_BYTE && n == 1) return LATCH_BYTE;
        return LATCH_NUMERIC;
    }
    if (next == NONE) {
        if (previous == LATCH_TEXT && n <= 6) return LATCH_TEXT;
        if (previous == LATCH_BYTE && n == 1) return LATCH_BYTE;
        return LATCH_NUMERIC;
    }
    if (previous == LATCH_BYTE && next == LATCH_BYTE && n <= 3) return LATCH_BYTE;
    if (previous == LATCH_BYTE && next == LATCH_TEXT && n <= 3) return LATCH_TEXT;
    if (previous == LATCH_TEXT && next == LATCH_BYTE && n <= 4) return LATCH_TEXT;
    if (previous == LATCH_TEXT && next == LATCH_TEXT && n <= 7) return LATCH_TEXT;
    return LATCH_NUMERIC;
}

// Pass 2: a short text run inside byte data is cheaper as bytes than with
// a latch into text and back.
int refinedTextKind(int previous, int next, int n) {
    if (previous == NONE) return LATCH_TEXT;
    if (next == NONE) return (previous == LATCH_BYTE && n == 1) ? LATCH_BYTE : LATCH_TEXT;
    if (previous == LATCH_BYTE && next == LATCH_BYTE && n <= 4) return LATCH_BYTE;
    if (previous == LATCH_BYTE && next == LATCH_NUMERIC && n <= 2) return LATCH_BYTE;
    if (previous == LATCH_NUMERIC && next == LATCH_BYTE && n <= 2) return LATCH_BYTE;
    return LATCH_TEXT;
}

// Runs of the examined kind are never neighbours when a pass starts, so
// changing one in place cannot alter what the next one of that kind sees.
void refinePass(RunTable* table, int examinedKind, int (*refine)(int, int, int)) {
    for (int j = 0; j < table->count; ++j) {
        if (table->kinds[j] != examinedKind) continue;
        const int previous = j > 0 ? table->kinds[j - 1] : NONE;
        const int next = j + 1 < table->count ? table->kinds[j + 1] : NONE;
        table->kinds[j] = refine(previous, next, table->lengths[j]);
    }
}

}  // namespace

void refineRuns(RunTable* table) {
    refinePass(table, LATCH_NUMERIC, refinedNumericKind);
    mergeRuns(table);
    refinePass(table, LATCH_TEXT, refinedTextKind);
    mergeRuns(table);
}

void mergeRuns(RunTable* table) {
    // One forward sweep that folds each chain of equal kinds into its first run.
    if (table->count < 2) return;
    int kept = 0;
    for (int i = 1; i < table->count; ++i) {
        if (table->kinds[i] == table->kinds[kept]) {
            table->lengths[kept] += table->lengths[i];
        } else {
            ++kept;
            table->kinds[kept] = table->kinds[i];
            table->lengths[kept] = table->lengths[i];
        }
    }
    table->count = kept + 1;
}

template <class Notes>
void compactRuns(const RunTable* table, const unsigned char* data, CodewordList* list,
                 Notes& notes) {
    int start = 0;
    for (int j = 0; j < table->count; ++j) {
        const int length = table->lengths[j];
        notes.segment(table->kinds[j], start, length);
        switch (table->kinds[j]) {
            case LATCH_TEXT:
                compactText(list, data, start, length, j, notes);
                break;
            case LATCH_BYTE:
                compactBytes(list, data, start, length, j > 0 ? table->kinds[j - 1] : 0, notes);
                break;
            default:
                compactNumeric(list, data, start, length, notes);
                break;
        }
        start += length;
    }
}

template void compactRuns(const RunTable*, const unsigned char*, CodewordList*, NoNotes&);
template void compactRuns(const RunTable*, const unsigned char*, CodewordList*, CodewordNotes&);

void compactRuns(const RunTable* table, const unsigned char* data, CodewordList* list) {
    NoNotes none;
    compactRuns(table, data, list, none);
}

}  // namespace barquill::encoder
