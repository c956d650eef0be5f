// SPDX-License-Identifier: MIT
// Explaining a symbol: the build runs with notes that record what every
// codeword means, and the shape, padding and error correction are read
// from the finished codeword list.

#include "encoder/explanation.h"

#include <memory>

#include "encoder/codeword_notes.h"
#include "encoder/encoding_steps.h"

namespace barquill::encoder {

namespace {

CompactionMode modeOfKind(int kind) {
    switch (kind) {
        case LATCH_TEXT:
            return CompactionMode::Text;
        case LATCH_BYTE:
            return CompactionMode::Byte;
        default:
            return CompactionMode::Numeric;
    }
}

// Notes in data-list order for the compacted data and the ECI designator,
// and in block order for the control block.
class Recorder final : public CodewordNotes {
public:
    std::vector<Segment> segments;
    std::vector<ExplainedCodeword> dataNotes;
    std::vector<ExplainedCodeword> controlNotes;
    std::vector<std::int32_t> finishedList;

    void segment(int kind, int start, int length) override {
        Segment s;
        s.mode = modeOfKind(kind);
        s.offset = static_cast<std::size_t>(start);
        s.length = static_cast<std::size_t>(length);
        segments.push_back(s);
    }

    void eci(const CodewordList& list, int first, int number) override {
        ExplainedCodeword& designator = at(first);
        designator.role = CodewordRole::Eci;
        designator.number = number;
        const int parts = list.count - first - 1;
        for (int i = 0; i < parts; ++i) {
            ExplainedCodeword& part = at(first + 1 + i);
            part.role = CodewordRole::EciNumber;
            part.number = number;
            part.part = i;
            part.parts = parts;
        }
    }

    void mode(const CodewordList& list) override {
        // Past the list's capacity the build fails and nothing is explained.
        if (list.count > MAX_CODEWORDS) return;
        const std::int32_t value = list.entries[list.count - 1];
        ExplainedCodeword& codeword = at(list.count - 1);
        codeword.role = value == SHIFT_BYTE ? CodewordRole::Shift : CodewordRole::Latch;
        codeword.mode = value == LATCH_TEXT      ? CompactionMode::Text
                        : value == LATCH_NUMERIC ? CompactionMode::Numeric
                                                 : CompactionMode::Byte;
    }

    void text(const CodewordList& list, const TextValue& first, const TextValue& second) override {
        ExplainedCodeword& codeword = at(list.count - 1);
        codeword.role = CodewordRole::Text;
        codeword.mode = CompactionMode::Text;
        codeword.textValues[0] = first;
        codeword.textValues[1] = second;
    }

    void group(const CodewordList& list, int kind, int start, int length, int codewords) override {
        for (int i = 0; i < codewords; ++i) {
            ExplainedCodeword& codeword = at(list.count - codewords + i);
            codeword.role = kind == LATCH_BYTE ? CodewordRole::Byte : CodewordRole::Numeric;
            codeword.mode = modeOfKind(kind);
            codeword.offset = static_cast<std::size_t>(start);
            codeword.length = static_cast<std::size_t>(length);
            codeword.part = i;
            codeword.parts = codewords;
        }
    }

    void control(CodewordRole role, int number, int codewords) override {
        for (int i = 0; i < codewords; ++i) {
            ExplainedCodeword codeword;
            codeword.role = role;
            codeword.number = number;
            codeword.part = i;
            codeword.parts = codewords;
            controlNotes.push_back(codeword);
        }
    }

    void finished(const CodewordList& list) override {
        finishedList.assign(list.entries, list.entries + list.count);
    }

private:
    ExplainedCodeword& at(int index) {
        const auto i = static_cast<std::size_t>(index);
        if (i >= dataNotes.size()) dataNotes.resize(i + 1);
        return dataNotes[i];
    }
};

ExplainedCodeword withRole(CodewordRole role, int part = 0, int parts = 1) {
    ExplainedCodeword codeword;
    codeword.role = role;
    codeword.part = part;
    codeword.parts = parts;
    return codeword;
}

}  // namespace

Explanation explainSymbol(SymbolJob* job, const unsigned char* data, std::size_t length,
                          const SymbolOptions& options) {
    Explanation explanation;
    if (job == nullptr) {
        explanation.report.error = SymbolError::InvalidOption;
        return explanation;
    }
    static const unsigned char empty = 0;
    if (data == nullptr) {
        data = &empty;
        length = 0;
    }
    explanation.data.assign(data, data + length);
    Recorder recorder;
    explanation.report = buildSymbol(job, data, length, options, recorder);
    if (!explanation.ok()) return explanation;

    const std::vector<std::int32_t>& list = recorder.finishedList;
    Explanation& e = explanation;
    e.segments = std::move(recorder.segments);
    e.rows = job->rows;
    e.columns = job->columns;
    e.compact = job->variant == SYMBOL_COMPACT;
    e.level = job->ecLevel;
    e.errorCorrectionCodewords = e.report.errorCorrectionCodewords;
    e.lengthDescriptor = list[0];
    e.dataCodewords = e.report.dataCodewords;
    e.paddingCodewords = e.lengthDescriptor - 1 - e.dataCodewords;
    // The padding is what more data could have taken instead.
    e.capacityLeft = e.paddingCodewords;

    e.codewords.reserve(list.size());
    e.codewords.push_back(withRole(CodewordRole::LengthDescriptor));
    e.codewords.insert(e.codewords.end(), recorder.dataNotes.begin(), recorder.dataNotes.end());
    for (int i = 0; i < e.paddingCodewords; ++i)
        e.codewords.push_back(withRole(CodewordRole::Padding));
    e.codewords.insert(e.codewords.end(), recorder.controlNotes.begin(),
                       recorder.controlNotes.end());
    for (int i = 0; i < e.errorCorrectionCodewords; ++i)
        e.codewords.push_back(
            withRole(CodewordRole::ErrorCorrection, i, e.errorCorrectionCodewords));
    // The values are those the build wrote.
    for (std::size_t i = 0; i < e.codewords.size() && i < list.size(); ++i)
        e.codewords[i].value = list[i];

    for (int r = 0; r < e.rows; ++r) {
        const RowIndicators indicators = rowIndicators(r, e.rows, e.columns, e.level);
        RowIndicatorPair pair;
        pair.left = indicators.left;
        if (!e.compact) pair.right = indicators.right;
        e.rowIndicators.push_back(pair);
    }
    return explanation;
}

Explanation explainSymbol(const unsigned char* data, std::size_t length, int ecLevel, int columns,
                          bool compact, const SymbolOptions& options) {
    const auto job = std::make_unique<SymbolJob>();
    initSymbolJob(job.get());
    // Out of range is automatic, as the job's entry points have it.
    job->ecLevel = ecLevel >= -1 && ecLevel <= 8 ? ecLevel : -1;
    job->columns = columns >= 0 && columns <= MAX_COLUMNS ? columns : 0;
    job->variant = compact ? SYMBOL_COMPACT : SYMBOL_FULL;
    return explainSymbol(job.get(), data, length, options);
}

}  // namespace barquill::encoder
