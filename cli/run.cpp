// SPDX-License-Identifier: MIT
#include "cli/run.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "barquill/barquill.hpp"
#include "cli/batch_run.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/profile_run.h"

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

int writeToStream(const Label& label, const Request& request, const Console& console) {
    const Symbol& symbol = label.symbols.front();
    const Format format = *request.settings.write.format;
    auto bytes = request.verify == Verification::on ? renderVerified(symbol, format, label.render)
                                                    : render(symbol, format, label.render);
    if (!bytes) return fail(console, bytes.error(), 0);
    if (std::fwrite(bytes->data(), 1, bytes->size(), console.out) != bytes->size() ||
        std::fflush(console.out) != 0) {
        report(console, std::string("cannot write standard output: ") + std::strerror(errno));
        return EXIT_NOT_WRITTEN;
    }
    return EXIT_WRITTEN;
}

// Warnings come after the file, one line each; with --strict they are the
// reason nothing was written.
void reportWarnings(const std::vector<Warning>& warnings, const Console& console,
                    const char* kind) {
    for (const Warning& warning : warnings) report(console, warningText(warning, kind));
}

}  // namespace

int writeLabel(const Label& label, const Request& request, const Console& console,
               std::size_t dataBytes) {
    if (request.strict && !label.warnings.empty()) {
        reportWarnings(label.warnings, console, "error");
        return EXIT_NOT_ENCODABLE;
    }
    if (request.outputPath == "-") {
        if (const int status = writeToStream(label, request, console); status != EXIT_WRITTEN)
            return status;
    } else {
        auto written = saveLabel(label, request.outputPath, request.settings.write, request.verify);
        if (!written) return fail(console, written.error(), dataBytes, request.outputPath);
        if (request.verbose && label.symbols.size() > 1)
            for (std::size_t i = 0; i < written->size(); ++i)
                report(console, "wrote " + (*written)[i] + " (segment " + std::to_string(i + 1) +
                                    " of " + std::to_string(written->size()) + ")");
    }
    if (request.verbose)
        for (const std::string& line : describeLabel(label)) report(console, line);
    if (!request.quiet) reportWarnings(label.warnings, console, "warning");
    return EXIT_WRITTEN;
}

int runExplain(const Request& request, const Console& console, const std::string& data) {
    auto explained =
        request.text
            ? explain(std::string_view(data), request.settings)
            : explain(std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()),
                      request.settings);
    if (!explained) return fail(console, explained.error(), data.size());
    if (*request.explain == "json") {
        // One object for one symbol, an array for a series.
        std::string json = explained->size() == 1 ? explained->front().json : "[";
        if (explained->size() > 1)
            for (std::size_t i = 0; i < explained->size(); ++i)
                json += (i ? "," : "") + (*explained)[i].json;
        if (explained->size() > 1) json += "]";
        std::fprintf(console.out, "%s\n", json.c_str());
    } else {
        for (std::size_t i = 0; i < explained->size(); ++i) {
            if (explained->size() > 1)
                std::fprintf(console.out, "%sSymbol %zu of %zu\n", i ? "\n" : "", i + 1,
                             explained->size());
            std::fputs((*explained)[i].text.c_str(), console.out);
        }
    }
    return std::fflush(console.out) == 0 ? EXIT_WRITTEN : EXIT_NOT_WRITTEN;
}

namespace {

int runSingle(const Request& request, const Console& console) {
    std::string data;
    if (const int status = readData(request, console, &data); status != EXIT_WRITTEN) return status;
    if (request.explain) return runExplain(request, console, data);
    // A TEXT argument is typed text; a file or standard input, bytes.
    auto label =
        request.text
            ? makeLabel(std::string_view(data), request.settings)
            : makeLabel(std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()),
                        request.settings);
    if (!label)
        return fail(console, label.error(), data.size(),
                    request.outputPath == "-" ? std::string() : request.outputPath);
    return writeLabel(*label, request, console, data.size());
}

}  // namespace

int fail(const Console& console, const Error& error, std::size_t dataBytes,
         const std::string& where) {
    for (const std::string& line : failureLines(error, dataBytes))
        report(console,
               (error.code == ErrorCode::notVerified && !where.empty() ? where + ": " : "") + line);
    return exitStatusOf(error);
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

int runRequest(const Request& request, const Console& console) {
    if (request.batchPath) return runBatch(request, console);
    if (!request.profile.empty()) return runProfile(request, console);
    return runSingle(request, console);
}

int handOverToService(char** argv) {
    // The service lives in a program of its own beside this one.
    std::string self(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    self.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    const std::string program = self.substr(0, self.rfind('/') + 1) + "barquill-serve";
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "barquill: serve needs %s: %s\n", program.c_str(), std::strerror(errno));
    return EXIT_USAGE;
}

}  // namespace barquill::cli
