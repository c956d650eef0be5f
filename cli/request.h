// SPDX-License-Identifier: MIT
#pragma once
// One run of the tool as the command line asked for it, checked: the
// library's settings, and what only a command line has (where the data
// comes from, where the files go, a batch).

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "barquill/label.hpp"
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

    // Every file is verified where it is made, before it is written (the
    // library's saveLabel and renderVerified); --no-verify turns it off.
    Verification verify = Verification::on;

    bool verbose = false;
    bool quiet = false;
    bool strict = false;  // a warning is an error: nothing is written
    // --explain: print how the data became the symbol instead of writing it,
    // "text" or "json".
    std::optional<std::string> explain;

    // An application profile: its fields from --field (in order) and
    // --fields FILE.json (read when run), which the later given wins over.
    std::string profile;
    std::vector<std::pair<std::string, std::string>> fieldArguments;  // "--field" or "--fields"
    bool profileRelaxed = false;
    std::vector<std::string> given;  // the settings given on the command line
    std::string explainData;         // --explain-data FILE: show what a profile's data holds

    // Batch: a list of items, one per line (or NUL-separated), "-" for
    // standard input.
    std::optional<std::string> batchPath;
    bool batchNul = false;
    bool batchNames = false;  // lines are "text<TAB>name"
    int jobs = 0;             // worker threads; 0 means one per core
};

}  // namespace barquill::cli
