// SPDX-License-Identifier: MIT
#pragma once
// What the steps of a build tell about the codewords they write, for an
// explanation of the symbol. The compaction steps are templates over their
// notes: with NoNotes every call is empty and compiles away, so a build
// that explains nothing runs the same code as before.

#include <vector>

#include "encoder/encoding_steps.h"
#include "encoder/explanation.h"

namespace barquill::encoder {

// Called right after the codewords they describe are appended to `list`.
class CodewordNotes {
public:
    virtual ~CodewordNotes() = default;
    // A run of one compaction kind (LATCH_TEXT, LATCH_BYTE, LATCH_NUMERIC).
    virtual void segment(int kind, int start, int length) = 0;
    // The ECI designator of `eci` is in entries [first, count).
    virtual void eci(const CodewordList& list, int first, int eci) = 0;
    // The last codeword is a mode latch or the byte shift.
    virtual void mode(const CodewordList& list) = 0;
    // The last codeword holds these two text values.
    virtual void text(const CodewordList& list, const TextValue& first,
                      const TextValue& second) = 0;
    // The last `codewords` codewords carry data[start, start + length) in
    // byte or numeric compaction.
    virtual void group(const CodewordList& list, int kind, int start, int length,
                       int codewords) = 0;
    // The control block's next `codewords` codewords are `role`.
    virtual void control(CodewordRole role, int number, int codewords) = 0;
    // The finished list: descriptor, data, padding, control block, error correction.
    virtual void finished(const CodewordList& list) = 0;
};

struct NoNotes {
    void segment(int, int, int) {}
    void eci(const CodewordList&, int, int) {}
    void mode(const CodewordList&) {}
    void text(const CodewordList&, const TextValue&, const TextValue&) {}
    void group(const CodewordList&, int, int, int, int) {}
    void finished(const CodewordList&) {}
};

template <class Notes>
void compactText(CodewordList* list, const unsigned char* data, int start, int length, int runIndex,
                 Notes& notes);
template <class Notes>
void compactBytes(CodewordList* list, const unsigned char* data, int start, int length,
                  int previousKind, Notes& notes);
template <class Notes>
void compactByteRun(CodewordList* list, const unsigned char* data, int start, int length,
                    Notes& notes);
template <class Notes>
void compactNumeric(CodewordList* list, const unsigned char* data, int start, int length,
                    Notes& notes);
template <class Notes>
void compactRuns(const RunTable* table, const unsigned char* data, CodewordList* list,
                 Notes& notes);

// The control block, telling `notes` what each codeword is.
std::vector<std::int32_t> macroControlBlock(const MacroControl& control, CodewordNotes* notes);

// buildSymbol with options, telling `notes` what it writes.
SymbolReport buildSymbol(SymbolJob* job, const unsigned char* data, std::size_t length,
                         const SymbolOptions& options, CodewordNotes& notes);

}  // namespace barquill::encoder
