#include "cli/symbol.h"

#include <cstdio>

#include "cli/symbology.h"
#include "encoder/pdf417.h"

namespace barquill::cli {

namespace {

// Data codewords one symbol can hold: the length descriptor counts itself
// and must be a codeword value (0 to 928).
constexpr int DATA_CAPACITY = 928;

int errorCorrectionCodewords(int level) {
    return 2 << level;
}

std::string percent(long part, long whole) {
    return std::to_string((part * 100 + whole / 2) / whole) + "%";
}

}  // namespace

EncodeOutcome encodeSymbol(encoder::SymbolJob* job, const SymbolOptions& options,
                           std::string_view data) {
    EncodeOutcome outcome;
    if (data.empty()) {
        outcome.errors.push_back("nothing to encode");
        return outcome;
    }
    encoder::initSymbolJob(job);
    job->variant = options.compact ? encoder::SYMBOL_COMPACT : encoder::SYMBOL_FULL;
    job->ecLevel = options.level;
    job->columns = options.columns;
    const int status = encodeSymbolBytes(job, reinterpret_cast<const unsigned char*>(data.data()),
                                         data.size(), options.shape, &outcome.report);
    if (status == encoder::STATUS_ERROR) {
        outcome.errors.push_back(job->message);
        for (std::string& line : explainReport(outcome.report, data.size()))
            outcome.errors.push_back(std::move(line));
        return outcome;
    }
    if (status == encoder::STATUS_WARNING) outcome.warnings.push_back(job->message);
    outcome.built = true;
    return outcome;
}

int countDataCodewords(std::string_view data) {
    return encoder::countDataCodewords(reinterpret_cast<const unsigned char*>(data.data()),
                                       data.size());
}

std::vector<std::string> describeSymbol(const encoder::SymbolJob& job, int dataCodewords,
                                        long pictureWidth, long pictureHeight,
                                        const ModuleGeometry& geometry) {
    std::vector<std::string> lines;
    lines.push_back("symbol: " + std::to_string(job.rows) + " rows, " +
                    std::to_string(job.columns) + " columns, " + std::to_string(job.width) +
                    " modules wide, level " + std::to_string(job.ecLevel) + " (" +
                    std::to_string(errorCorrectionCodewords(job.ecLevel)) +
                    " error-correction codewords)" +
                    (job.variant == encoder::SYMBOL_COMPACT ? ", compact" : ""));
    lines.push_back("capacity used: " + std::to_string(dataCodewords) + " of " +
                    std::to_string(DATA_CAPACITY) + " data codewords (" +
                    percent(dataCodewords, DATA_CAPACITY) + "), " + std::to_string(job.rows) +
                    " of " + std::to_string(encoder::MAX_ROWS) + " rows (" +
                    percent(job.rows, encoder::MAX_ROWS) + ")");
    std::string size = "picture: " + std::to_string(pictureWidth) + " x " +
                       std::to_string(pictureHeight) + " pixels, modules of " +
                       std::to_string(geometry.moduleWidth) + " x " +
                       std::to_string(geometry.rowHeight);
    if (const int dpi = geometry.dpi; dpi > 0) {
        char physical[64];
        std::snprintf(physical, sizeof physical, " (%.1f x %.1f mm at %d dpi)",
                      pictureWidth * 25.4 / dpi, pictureHeight * 25.4 / dpi, dpi);
        size += physical;
    }
    lines.push_back(size);
    return lines;
}

}  // namespace barquill::cli
