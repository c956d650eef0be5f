// SPDX-License-Identifier: MIT
#pragma once
// Runs the built tool as a separate process, the way scripts use it.

#include <string>
#include <vector>

namespace barquill::testing {

struct ProcessResult {
    int exitStatus = -1;  // -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs `program` with the arguments in `directory`, feeding `input` to its
// standard input and collecting both output streams. A maxFileBytes above 0
// makes every write past that size fail, as on a full disk.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "", const std::string& directory = ".",
                         long maxFileBytes = 0);

}  // namespace barquill::testing
