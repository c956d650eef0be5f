// SPDX-License-Identifier: MIT
// Hostile and careless use of the tool: descriptors written into, never
// replaced; list names that cannot leave their folder through links; a
// series written whole or not at all; empty values that never take the
// next argument; a slow list taken line by line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/cli/command_line_fixture.h"

namespace barquill::testing {
namespace {

using namespace std::string_literals;

TEST_F(CommandLine, ADescriptorPathIsWrittenIntoAtItsPlaceNeverReplaced) {
    const std::string script = "( echo HEADER; '"s + BARQUILL_EXECUTABLE +
                               "' -o /dev/stdout --format png X; echo TRAILER ) > out; "
                               "echo old > log; '" +
                               BARQUILL_EXECUTABLE + "' -o /proc/self/fd/1 --format gif X >> log";
    ASSERT_EQ(runProcess("/bin/sh", {"-c", script}, "", directory_).exitStatus, 0);
    const std::string out = file("out");
    EXPECT_EQ(out.substr(0, 7), "HEADER\n");
    EXPECT_EQ(out.substr(7, 4), "\x89PNG");
    EXPECT_EQ(out.substr(out.size() - 8), "TRAILER\n");
    write("x.png", out.substr(7, out.size() - 15));
    EXPECT_EQ(read(*decode("x.png")), toBytes("X"));
    const std::string log = file("log");
    EXPECT_EQ(log.substr(0, 4), "old\n");
    EXPECT_EQ(log.substr(4, 3), "GIF");
}

TEST_F(CommandLine, ListNamesCannotLeaveTheirFolderThroughLinks) {
    std::filesystem::create_directories(path("out"));
    std::filesystem::create_directories(path("outside"));
    std::filesystem::create_directory_symlink("../outside", path("out/esc"));
    write("outside/victim.png", "precious");
    std::filesystem::create_symlink("../outside/victim.png", path("out/link.png"));
    const ProcessResult batch = run({"--batch", "-", "--names", "-o", "out/%d.png"},
                                    "first\tesc/evil.png\nsecond\tlink.png\nthird\tfine.png\n");
    EXPECT_EQ(batch.exitStatus, 3) << batch.err;
    EXPECT_NE(batch.err.find("line 1: "), std::string::npos) << batch.err;
    EXPECT_NE(batch.err.find("line 2: "), std::string::npos) << batch.err;
    EXPECT_FALSE(exists("outside/evil.png"));
    EXPECT_EQ(file("outside/victim.png"), "precious");
    EXPECT_EQ(read(*decode("out/fine.png")), toBytes("third"));
}

TEST_F(CommandLine, ASeriesThatCannotBeMadeWritesNoneOfItsFiles) {
    write("e-01.png", "older series");
    const ProcessResult split = run({"--segments", "6", "-o", "e.png", "\xe2\x82\xac\xe2\x82\xac"});
    EXPECT_EQ(split.exitStatus, 2) << split.err;
    EXPECT_NE(split.err.find("more symbols than characters"), std::string::npos) << split.err;
    EXPECT_EQ(file("e-01.png"), "older series");
    EXPECT_EQ(listing(), std::vector<std::string>{"e-01.png"});
}

TEST_F(CommandLine, AnEmptyValueNeverTakesTheNextArgument) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-o", "x.png", "--columns=", "7"},
          std::vector<std::string>{"--output=", "report.txt", "x"},
          std::vector<std::string>{"-o", "x.png", "--fg=", "red", "x"}}) {
        const ProcessResult result = run(args, "stdin data");
        EXPECT_EQ(result.exitStatus, 1) << args[0] << args[1];
        EXPECT_NE(result.err.find("needs a value"), std::string::npos) << result.err;
    }
    EXPECT_TRUE(listing().empty());
}

TEST_F(CommandLine, HelpThatCannotBeWrittenIsAFailure) {
    const ProcessResult full = runProcess(
        "/bin/sh", {"-c", "'"s + BARQUILL_EXECUTABLE + "' --help > /dev/full"}, "", directory_);
    EXPECT_NE(full.exitStatus, 0);
}

// A list from a slow pipe: each item is made as its line ends, not when a
// block of the list has arrived.
TEST_F(CommandLine, ASlowListIsTakenLineByLine) {
    int list = -1;
    const pid_t pid = spawnReadingPipe({"--batch", "-", "-o", "%d.png"}, directory_, list);
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::write(list, "first\n", 6), 6);
    bool madeBeforeTheEnd = false;
    for (int wait = 0; wait < 100 && !madeBeforeTheEnd; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        madeBeforeTheEnd = exists("1.png");
    }
    ASSERT_EQ(::write(list, "second\n", 7), 7);
    close(list);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(madeBeforeTheEnd) << "the first item waited for the rest of the list";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(exists("2.png"));
}

}  // namespace
}  // namespace barquill::testing
