// SPDX-License-Identifier: MIT
#pragma once
// The manual page and the bash completion, made from the help's own parts
// at build time, so that neither lists an option --help does not, or
// misses one it does.

#include <string>
#include <string_view>

#include "cli/arguments.h"

namespace barquill::cli {

// barquill(1) in man(7) markup.
std::string manPage(const HelpPage& page, std::string_view version);

// A bash completion script: the options, the output extensions and
// formats, the profiles, character sets and levels of the library.
std::string bashCompletion(const HelpPage& page);

}  // namespace barquill::cli
