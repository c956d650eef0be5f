// SPDX-License-Identifier: MIT
#pragma once
// The command line: options in, a checked Request out. The options are the
// library's table of settings, plus what only a command line has.

#include <string>
#include <vector>

#include "cli/request.h"

namespace barquill::cli {

struct ParseResult {
    bool run = false;    // false: print `text` and exit with `exitStatus`
    int exitStatus = 0;  // 0 after --help or --version, EXIT_USAGE on a bad command line
    std::string text;    // help or version text (standard output) or the error (standard error)
    Request request;     // when run
};

// Parses and checks every option, so a bad value is refused before any
// input is read or any output written. args[0] is the program name.
ParseResult parseArguments(const std::vector<std::string>& args);

}  // namespace barquill::cli
