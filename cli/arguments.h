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

// The help in parts, for the manual page and the shell completion, which are
// made from the same options as --help and so cannot tell another story.
struct UsageForm {
    std::string arguments;  // after "barquill": "[OPTIONS] [TEXT]"
    std::string meaning;    // one line for people
};

struct OptionHelp {
    std::vector<std::string> names;  // "-o", "--output"
    std::string valueName;           // "FILE"; empty for a flag
    std::string help;                // the line --help shows
    std::string group;               // "Output"; "Options" for the general ones
    std::string defaultText;         // empty when there is none to show
    std::string setting;             // the library's setting it sets, if any
    std::string values;              // the setting's values, in words
};

struct HelpPage {
    std::string description;
    std::vector<UsageForm> usage;
    std::vector<OptionHelp> options;  // in the order --help shows their groups
    std::string notes;                // the formats, and how the options combine
    std::string exitStatus;
    std::vector<std::string> examples;  // command lines
};

HelpPage helpPage();

}  // namespace barquill::cli
