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
// standard input and collecting both output streams.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "", const std::string& directory = ".");

}  // namespace barquill::testing
