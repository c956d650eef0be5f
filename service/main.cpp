// SPDX-License-Identifier: MIT
// barquill-serve: the HTTP service, which `barquill serve` hands over to, so
// the command line stays free of the server's libraries.
#include <string>
#include <vector>

#include "service/serve_command.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    // Started as itself or by `barquill serve`: its options follow "serve".
    if (args.size() < 2 || args[1] != "serve") args.insert(args.begin() + 1, "serve");
    return barquill::service::runServe(args);
}
