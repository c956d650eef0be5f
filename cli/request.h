// SPDX-License-Identifier: MIT
#pragma once
// One run of the tool as the command line asked for it, checked: the
// library's settings, and what only a command line has (where the data
// comes from, where the files go, a batch).

#include <optional>
#include <string>

#include "barquill/settings.hpp"

namespace barquill::cli {

struct Request {
    Settings settings;

    // The data of a single symbol: the TEXT argument, else the file inputPath,
    // else standard input.
    std::optional<std::string> text;
    std::string inputPath;

    // "-" is standard output; in a batch, a name pattern with a counter.
    std::string outputPath;

    bool verbose = false;
    bool quiet = false;

    // Batch: a list of items, one per line (or NUL-separated), "-" for
    // standard input.
    std::optional<std::string> batchPath;
    bool batchNul = false;
    bool batchNames = false;  // lines are "text<TAB>name"
    int jobs = 0;             // worker threads; 0 means one per core
};

}  // namespace barquill::cli
