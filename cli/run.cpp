#include "cli/run.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "cli/batch_run.h"
#include "cli/escapes.h"
#include "cli/exit_status.h"
#include "cli/symbol.h"
#include "cli/symbol_writer.h"

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

int runSingle(const Request& request, const Console& console) {
    std::string data, error;
    if (const int status = readData(request, console, &data); status != EXIT_WRITTEN) return status;
    if (!prepareData(request, &data, &error)) {
        report(console, error);
        return EXIT_USAGE;
    }

    // Not zeroed here: encodeSymbol initialises the job.
    auto job = std::make_unique_for_overwrite<encoder::SymbolJob>();
    const SymbolOptions symbolOptions{request.level, request.columns, request.compact};
    const EncodeOutcome outcome = encodeSymbol(job.get(), symbolOptions, data);
    if (!request.quiet)
        for (const std::string& warning : outcome.warnings) report(console, warning);
    if (!outcome.built) {
        for (const std::string& line : outcome.errors) report(console, line);
        return EXIT_NOT_ENCODABLE;
    }

    const DrawOptions options = drawOptions(request);
    const OutputFormat format = request.format.value_or(formatFromName(request.outputPath));
    const bool toStream = request.outputPath == "-";
    verify::Expected expected;
    expected.bytes = data;
    WriteOptions write = writeOptions(request);
    if (request.verify) write.verify = &expected;
    const WriteResult written =
        toStream ? writeSymbolStream(*job, options, format, console.out, write, &error)
                 : writeSymbolFile(*job, options, format, request.outputPath, write, &error);
    if (written == WriteResult::notVerified) {
        report(console, error);
        return EXIT_NOT_VERIFIED;
    }
    if (written != WriteResult::written) {
        report(console, "cannot write " +
                            (toStream ? std::string("standard output") : request.outputPath) +
                            ": " + error);
        return EXIT_NOT_WRITTEN;
    }
    if (request.verbose) {
        const PictureSize size = pictureSize(*job, options);
        for (const std::string& line : describeSymbol(*job, countDataCodewords(data), size.width,
                                                      size.height, request.geometry))
            report(console, line);
    }
    return EXIT_WRITTEN;
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
