#include "cli/run.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "cli/batch_run.h"
#include "cli/escapes.h"
#include "cli/exit_status.h"
#include "cli/symbol.h"
#include "cli/symbol_writer.h"
#include "cli/symbology.h"
#include "encoder/macro_series.h"

namespace barquill::cli {

namespace {

void report(const Console& console, const std::string& line) {
    std::fprintf(console.err, "barquill: %s\n", line.c_str());
}

// The data of a single symbol: TEXT, the -i file or standard input.
int readData(const Request& request, const Console& console, std::string* data) {
    if (request.text) {
        *data = *request.text;
        return EXIT_WRITTEN;
    }
    std::FILE* stream = console.in;
    if (!request.inputPath.empty() && request.inputPath != "-") {
        stream = std::fopen(request.inputPath.c_str(), "rb");
        if (!stream) {
            report(console, "cannot read " + request.inputPath + ": " + std::strerror(errno));
            return EXIT_USAGE;
        }
    }
    bool truncated = false;
    const bool ok = readStream(stream, MAX_DATA_BYTES, data, &truncated);
    const int savedErrno = errno;
    if (stream != console.in) std::fclose(stream);
    if (!ok) {
        report(console,
               "cannot read " +
                   (request.inputPath.empty() ? std::string("standard input") : request.inputPath) +
                   ": " + std::strerror(savedErrno));
        return EXIT_USAGE;
    }
    if (truncated) {
        report(console, "error: the data is more than " + std::to_string(MAX_DATA_BYTES) +
                            " bytes, far more than any symbol holds");
        return EXIT_NOT_ENCODABLE;
    }
    return EXIT_WRITTEN;
}

// Writes one built symbol to the output (a file or standard output), after
// reading it back as `expected` when the request verifies.
int writeOutput(const encoder::SymbolJob& job, const DrawOptions& options, const Request& request,
                const std::string& path, const verify::Expected& expected, const Console& console) {
    std::string error;
    const OutputFormat format = request.format.value_or(formatFromName(path));
    const bool toStream = path == "-";
    WriteOptions write = writeOptions(request);
    if (request.verify) write.verify = &expected;
    const WriteResult written =
        toStream ? writeSymbolStream(job, options, format, console.out, write, &error)
                 : writeSymbolFile(job, options, format, path, write, &error);
    if (written == WriteResult::notVerified) {
        report(console, toStream ? error : path + ": " + error);
        return EXIT_NOT_VERIFIED;
    }
    if (written != WriteResult::written) {
        report(console,
               "cannot write " + (toStream ? std::string("standard output") : path) + ": " + error);
        return EXIT_NOT_WRITTEN;
    }
    return EXIT_WRITTEN;
}

// The drawing options, with the module size --fit chooses for this symbol.
int drawOptionsFor(const encoder::SymbolJob& job, const Request& request, const Console& console,
                   DrawOptions* options) {
    *options = drawOptions(request);
    if (!request.symbology.fit) return EXIT_WRITTEN;
    std::string error;
    if (!fitGeometry(job, request, &options->geometry, &error)) {
        report(console, error);
        return EXIT_NOT_ENCODABLE;
    }
    return EXIT_WRITTEN;
}

void describe(const encoder::SymbolJob& job, const EncodeOutcome& outcome,
              const DrawOptions& options, const Console& console) {
    const PictureSize size = pictureSize(job, options);
    for (const std::string& line : describeSymbol(job, outcome.report.dataCodewords, size.width,
                                                  size.height, options.geometry))
        report(console, line);
}

// What a symbol must read back as: its bytes, the ECI designator in front of
// them and, in a series, its control block as the reader reports it.
verify::Expected expectedReading(std::string_view bytes, int eci,
                                 const std::optional<encoder::MacroControl>& macro) {
    verify::Expected expected;
    expected.bytes = std::string(bytes);
    expected.eci = eci == encoder::NO_ECI ? verify::NO_ECI : eci;
    if (macro)
        expected.macro =
            verify::macroFields(macro->segmentIndex, macro->segmentCount, macro->fileId);
    return expected;
}

// One symbol of the data, written to the output.
int writeOneSymbol(const Request& request, const Console& console, const std::string& data,
                   int eci) {
    // Not zeroed here: encodeSymbol initialises the job.
    auto job = std::make_unique_for_overwrite<encoder::SymbolJob>();
    const SymbolOptions symbolOptions{request.level, request.columns, request.compact,
                                      shapeOptions(request, eci)};
    const EncodeOutcome outcome = encodeSymbol(job.get(), symbolOptions, data);
    if (!request.quiet)
        for (const std::string& warning : outcome.warnings) report(console, warning);
    if (!outcome.built) {
        for (const std::string& line : outcome.errors) report(console, line);
        return EXIT_NOT_ENCODABLE;
    }

    DrawOptions options;
    if (const int status = drawOptionsFor(*job, request, console, &options); status != 0)
        return status;
    if (const int status = writeOutput(*job, options, request, request.outputPath,
                                       expectedReading(data, eci, std::nullopt), console);
        status != EXIT_WRITTEN)
        return status;
    if (request.verbose) describe(*job, outcome, options, console);
    return EXIT_WRITTEN;
}

// A Macro PDF417 series: one file per segment, all of one size.
int runSeries(const Request& request, const Console& console, const std::string& data, int eci) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const encoder::SymbolOptions shape = shapeOptions(request, eci);
    const encoder::MacroSeries series = encoder::planMacroSeries(
        bytes, data.size(), request.level, request.columns, shape, request.symbology.series);
    auto job = std::make_unique_for_overwrite<encoder::SymbolJob>();
    if (!series.report.ok()) {
        const int asked = request.symbology.series.segments;
        report(console,
               "error: the data cannot be split into " +
                   (asked > 0 ? std::to_string(asked) + " symbols" : std::string("symbols")) +
                   " of this level and shape");
        for (const std::string& line : explainSeries(series.report, asked, data.size()))
            report(console, line);
        return EXIT_NOT_ENCODABLE;
    }
    // Data that fits one symbol needs no series, unless one was asked for.
    if (series.segments.size() == 1 && request.symbology.series.segments == 0)
        return writeOneSymbol(request, console, data, eci);

    const int count = static_cast<int>(series.segments.size());
    DrawOptions options;
    for (int i = 0; i < count; ++i) {
        const encoder::MacroSegment& segment = series.segments[static_cast<std::size_t>(i)];
        SymbolOptions symbol{series.level, series.columns, request.compact, shape};
        symbol.shape.rows = series.rows;
        symbol.shape.aspect = 0.0;
        symbol.shape.fillLevel = false;
        symbol.shape.macro = segment.control;
        const std::string_view part = std::string_view(data).substr(segment.offset, segment.length);
        const EncodeOutcome outcome = encodeSymbol(job.get(), symbol, part);
        if (!outcome.built) {
            for (const std::string& line : outcome.errors) report(console, line);
            return EXIT_NOT_ENCODABLE;
        }
        // One module size for the whole series: the segments share their shape.
        if (i == 0)
            if (const int status = drawOptionsFor(*job, request, console, &options); status != 0)
                return status;
        const std::string name = segmentName(request.outputPath, i, count);
        if (const int status = writeOutput(*job, options, request, name,
                                           expectedReading(part, eci, segment.control), console);
            status != EXIT_WRITTEN)
            return status;
        if (request.verbose) {
            report(console, "wrote " + name + " (segment " + std::to_string(i + 1) + " of " +
                                std::to_string(count) + ")");
            describe(*job, outcome, options, console);
        }
    }
    return EXIT_WRITTEN;
}

int runSingle(const Request& request, const Console& console) {
    std::string data, error;
    if (const int status = readData(request, console, &data); status != EXIT_WRITTEN) return status;
    if (!prepareData(request, &data, &error)) {
        report(console, error);
        return EXIT_USAGE;
    }
    int eci = encoder::NO_ECI;
    if (!applyCharset(request, request.text.has_value(), &data, &eci, &error)) {
        report(console, "error: " + error);
        return EXIT_NOT_ENCODABLE;
    }
    if (request.symbology.macro && !data.empty()) return runSeries(request, console, data, eci);

    return writeOneSymbol(request, console, data, eci);
}

}  // namespace

DrawOptions drawOptions(const Request& request) {
    DrawOptions options;
    options.geometry = request.geometry;
    options.margin = request.margin;
    options.barColor = request.barColor;
    options.spaceColor = request.spaceColor;
    return options;
}

WriteOptions writeOptions(const Request& request) {
    WriteOptions options;
    options.replaceReadOnly = request.force;
    return options;
}

bool readStream(std::FILE* stream, std::size_t limit, std::string* bytes, bool* truncated) {
    bytes->clear();
    *truncated = false;
    char buffer[1 << 16];
    while (true) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, stream);
        const std::size_t room = limit - bytes->size();
        bytes->append(buffer, std::min(got, room));
        if (got > room) {
            *truncated = true;
            return true;
        }
        if (got < sizeof buffer) return !std::ferror(stream);
    }
}

bool prepareData(const Request& request, std::string* data, std::string* error) {
    if (request.escapes) {
        EscapeResult decoded = decodeEscapes(*data);
        if (!decoded.ok) {
            *error = decoded.error;
            return false;
        }
        *data = std::move(decoded.bytes);
    }
    if (request.stripNewline && !data->empty() && data->back() == '\n') {
        data->pop_back();
        if (!data->empty() && data->back() == '\r') data->pop_back();
    }
    return true;
}

int runRequest(const Request& request, const Console& console) {
    if (!request.quiet)
        for (const std::string& warning : request.warnings) report(console, warning);
    return request.batchPath ? runBatch(request, console) : runSingle(request, console);
}

}  // namespace barquill::cli
