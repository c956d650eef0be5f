// SPDX-License-Identifier: MIT
#pragma once
// The command line's words for the library's errors and for what was built:
// options named as the command line spells them, and what to change.

#include <string>
#include <string_view>
#include <vector>

#include "barquill/label.hpp"

namespace barquill::cli {

// The option that sets a field: "--xdim" for "moduleMm".
std::string optionName(std::string_view field);

// A refused option or combination of options, in one line.
std::string usageText(const Error& error);

// Why the data could not be made into symbols or written, in lines a person
// can act on; `dataBytes` is the data's length.
std::vector<std::string> failureLines(const Error& error, std::size_t dataBytes);

// The exit status for a failure of the library.
int exitStatusOf(const Error& error);

// The lines -v prints: each symbol's shape, level, capacity used and picture size.
std::vector<std::string> describeLabel(const Label& label);

// "warning (id): reason; change", or with kind "error" under --strict.
std::string warningText(const Warning& warning, const char* kind = "warning");

}  // namespace barquill::cli
