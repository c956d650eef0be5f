// SPDX-License-Identifier: MIT
// Explanations of the label's symbols: each is built again, with the shape
// and level the label chose, by the encoder's explaining build, which
// reports every codeword it writes.

#include "barquill/explain.hpp"

#include "barquill/label.hpp"
#include "encoder/explanation.h"
#include "encoder/explanation_json.h"
#include "encoder/explanation_names.h"
#include "encoder/explanation_text.h"
#include "lib/internal.h"

namespace barquill {

namespace {

Explanation explanationOf(const encoder::Explanation& e) {
    Explanation out;
    for (const encoder::Segment& s : e.segments)
        out.segments.push_back({encoder::modeName(s.mode), s.offset, s.length});
    for (const encoder::ExplainedCodeword& c : e.codewords) {
        ExplainedCodeword codeword;
        codeword.value = c.value;
        codeword.role = encoder::roleName(c.role);
        if (c.role == encoder::CodewordRole::Latch || c.role == encoder::CodewordRole::Shift ||
            c.role == encoder::CodewordRole::Text || c.role == encoder::CodewordRole::Byte ||
            c.role == encoder::CodewordRole::Numeric)
            codeword.mode = encoder::modeName(c.mode);
        codeword.offset = c.offset;
        codeword.length = c.length;
        codeword.part = c.part;
        codeword.parts = c.parts;
        out.codewords.push_back(std::move(codeword));
    }
    out.rows = e.rows;
    out.columns = e.columns;
    out.compact = e.compact;
    out.level = e.level;
    out.errorCorrectionCodewords = e.errorCorrectionCodewords;
    out.lengthDescriptor = e.lengthDescriptor;
    out.dataCodewords = e.dataCodewords;
    out.paddingCodewords = e.paddingCodewords;
    out.capacityLeft = e.capacityLeft;
    for (const encoder::RowIndicatorPair& pair : e.rowIndicators)
        out.rowIndicators.push_back({pair.left, pair.right});
    out.text = encoder::explanationText(e);
    out.json = encoder::explanationJson(e);
    return out;
}

Result<std::vector<Explanation>> explainLabel(Result<Label>&& label, const Settings& settings) {
    if (!label) return label.error();
    std::vector<Explanation> explanations;
    for (const Symbol& symbol : label->symbols) {
        // The symbol again, at the level and shape it has: the same codewords.
        encoder::SymbolOptions options;
        options.rows = symbol.rows();
        options.eci = symbol.eci();
        options.compaction = settings.options.compaction == Compaction::byte
                                 ? encoder::Compaction::Byte
                                 : encoder::Compaction::Automatic;
        if (symbol.macro()) options.macro = macroControl(*symbol.macro());
        const encoder::Explanation explained =
            encoder::explainSymbol(symbol.data().data(), symbol.data().size(), symbol.level(),
                                   symbol.columns(), symbol.compact(), options);
        if (!explained.ok()) return makeError(ErrorCode::renderFailed);
        explanations.push_back(explanationOf(explained));
    }
    return explanations;
}

Settings withoutReadBack(Settings settings) {
    settings.verify = false;
    return settings;
}

}  // namespace

Result<std::vector<Explanation>> explain(std::span<const std::uint8_t> data,
                                         const Settings& settings) {
    return explainLabel(makeLabel(data, withoutReadBack(settings)), settings);
}

Result<std::vector<Explanation>> explain(std::string_view text, const Settings& settings) {
    return explainLabel(makeLabel(text, withoutReadBack(settings)), settings);
}

}  // namespace barquill
