// SPDX-License-Identifier: MIT
#pragma once
// `barquill serve`: its options, and running the server until SIGTERM or
// SIGINT, after which the requests in flight are answered and it exits 0.

#include <string>
#include <variant>
#include <vector>

#include "service/server.h"

namespace barquill::service {

// The options after "serve"; help text or a usage error as text.
struct ServeUsage {
    int exitStatus = 0;
    std::string text;
};
std::variant<ServerConfig, ServeUsage> parseServeArguments(const std::vector<std::string>& args);

// args[0] is the program, args[1] "serve". Returns the exit status.
int runServe(const std::vector<std::string>& args);

}  // namespace barquill::service
