// SPDX-License-Identifier: MIT
// The command-line parser with any arguments (NUL-separated in the input):
// no crash, and every accepted request within the ranges the tool relies on.
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::vector<std::string> args{"barquill"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(bytes[i]);
        }
    }
    args.push_back(current);
    const barquill::cli::ParseResult result = barquill::cli::parseArguments(args);
    if (!result.run) {
        if (result.text.empty()) std::abort();
        return 0;
    }
    const barquill::cli::Request& request = result.request;
    if (request.level < -1 || request.level > 8 || request.columns < 0 || request.columns > 30 ||
        request.margin < 0 || request.margin > 1000 || request.jobs < 0 || request.jobs > 256 ||
        request.geometry.moduleWidth < 1 || request.geometry.moduleWidth > 64 ||
        request.geometry.rowHeight < 1 || request.geometry.rowHeight > 256 ||
        request.geometry.dpi < 0 || request.geometry.dpi > 10000 ||
        (request.outputPath.empty() && !request.batchPath))
        std::abort();
    return 0;
}
