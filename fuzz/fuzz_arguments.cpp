// SPDX-License-Identifier: MIT
// The command-line parser with any arguments (NUL-separated in the input):
// no crash, and every accepted request within the ranges the tool relies on.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
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
    const barquill::Settings& settings = request.settings;
    const barquill::Options& options = settings.options;
    const auto within = [](const std::optional<int>& value, int low, int high) {
        return !value || (*value >= low && *value <= high);
    };
    if (options.level < barquill::autoLevel || options.level > barquill::maxLevel ||
        options.columns < 0 || options.columns > barquill::maxColumns ||
        (options.rows != 0 &&
         (options.rows < barquill::minRows || options.rows > barquill::maxRows)) ||
        settings.quietZone < 0 || settings.quietZone > barquill::maxQuietZone || request.jobs < 0 ||
        request.jobs > 256 || !within(settings.size.moduleWidth, 1, barquill::maxModuleWidth) ||
        !within(settings.size.rowHeight, 1, barquill::maxRowHeight) ||
        !within(settings.size.dpi, 1, barquill::maxDpi) || barquill::checkSettings(settings) ||
        (request.outputPath.empty() && !request.batchPath && !request.explain &&
         request.explainData.empty()))
        std::abort();
    return 0;
}
