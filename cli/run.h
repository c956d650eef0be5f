// SPDX-License-Identifier: MIT
#pragma once
// The tool's work, callable without a process: one symbol or a batch.

#include <cstdio>
#include <string>

#include "barquill/label.hpp"
#include "cli/request.h"

namespace barquill::cli {

struct Console {
    std::FILE* in = stdin;
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    bool errIsTerminal = false;  // progress lines only for a person watching
};

// Runs the request and returns the exit status (see exit_status.h).
int runRequest(const Request& request, const Console& console);

// Data longer than this cannot fit any series worth printing; reading
// stops there.
inline constexpr std::size_t MAX_DATA_BYTES = 1 << 20;

// Reports a failure of the library in the command line's words, with the
// path of the file at fault; returns the exit status.
int fail(const Console& console, const Error& error, std::size_t dataBytes,
         const std::string& where = {});

// Writes a made label to -o (standard output for "-") and says what was
// built and what may not scan; --strict refuses it on any warning.
int writeLabel(const Label& label, const Request& request, const Console& console,
               std::size_t dataBytes);

// --explain: how the data became each symbol, as text or JSON, on
// standard output; nothing is written.
int runExplain(const Request& request, const Console& console, const std::string& data);

// `barquill serve`: runs barquill-serve from the tool's own folder with the
// same arguments; returns only when it cannot (exit status 1).
int handOverToService(char** argv);

// Reads a whole stream; false when it could not be read. At most `limit`
// bytes are kept; *truncated tells whether there was more.
bool readStream(std::FILE* stream, std::size_t limit, std::string* bytes, bool* truncated);

}  // namespace barquill::cli
