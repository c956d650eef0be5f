// SPDX-License-Identifier: MIT
// Verification asked for, by --verify or by a batch's or the service's
// default, is never dropped because the reader cannot serve: each refuses
// with the module's path and the reason, and only --no-verify goes on.
#include <gtest/gtest.h>

#include "tests/cli/command_line_fixture.h"

namespace barquill::testing {
namespace {

using namespace std::string_literals;

TEST_F(CommandLine, VerificationIsNeverSkippedInSilence) {
    write("text.so", "not a shared object\n");
    struct Case {
        std::string reader;
        std::string reason;
    };
    const Case cases[] = {
        {path("none.so"), "is missing"},
        {path("text.so"), "cannot be loaded: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reader);
        const std::string environment = "BARQUILL_READER=" + c.reader;
        const auto tool = [&](const std::vector<std::string>& args, const std::string& input) {
            std::vector<std::string> line{environment, BARQUILL_EXECUTABLE};
            line.insert(line.end(), args.begin(), args.end());
            return runProcess("/usr/bin/env", line, input, directory_);
        };
        const std::string cause = "the reader module " + c.reader + " " + c.reason;

        const ProcessResult batch = tool({"--batch", "-", "-o", "b%d.png"}, "one\ntwo\n");
        EXPECT_EQ(batch.exitStatus, 4) << batch.err;
        EXPECT_NE(batch.err.find(cause), std::string::npos) << batch.err;
        EXPECT_NE(batch.err.find("--no-verify"), std::string::npos) << batch.err;
        EXPECT_FALSE(exists("b1.png"));

        const ProcessResult one = tool({"--verify", "-o", "one.png", "X"}, "");
        EXPECT_EQ(one.exitStatus, 4) << one.err;
        EXPECT_NE(one.err.find("--verify: cannot read symbols back: " + cause), std::string::npos)
            << one.err;
        EXPECT_FALSE(exists("one.png"));

        // Bounded: a service that wrongly starts is stopped after a while.
        const ProcessResult serve = runProcess(
            "/usr/bin/env",
            {environment, "timeout", "60", BARQUILL_EXECUTABLE, "serve", "--listen", "127.0.0.1:0"},
            "", directory_);
        EXPECT_EQ(serve.exitStatus, 1) << serve.out << serve.err;
        EXPECT_NE(serve.err.find(cause), std::string::npos) << serve.err;
        EXPECT_NE(serve.err.find("--no-verify"), std::string::npos) << serve.err;
        EXPECT_EQ(serve.out.find("serving on"), std::string::npos) << serve.out;

        // Told to go on, the batch writes its files and the service starts
        // (stopped with SIGTERM once it says so, or after a bounded wait).
        const ProcessResult told = tool({"--batch", "-", "--no-verify", "-o", "t%d.png"}, "one\n");
        EXPECT_EQ(told.exitStatus, 0) << told.err;
        EXPECT_EQ(read(*decode("t1.png")), toBytes("one"));
        const std::string script =
            "'"s + BARQUILL_EXECUTABLE +
            "' serve --no-verify --listen 127.0.0.1:0 > started 2>&1 & pid=$!\n"
            "for i in $(seq 600); do grep -q 'serving on' started && break; sleep 0.1; done\n"
            "kill -TERM $pid; wait $pid; echo \"status $?\"; cat started\n";
        const ProcessResult served =
            runProcess("/usr/bin/env", {environment, "/bin/sh", "-c", script}, "", directory_);
        EXPECT_NE(served.out.find("status 0"), std::string::npos) << served.out;
        EXPECT_NE(served.out.find("serving on http://127.0.0.1:"), std::string::npos) << served.out;
    }
}

}  // namespace
}  // namespace barquill::testing
