// SPDX-License-Identifier: MIT
// Hostile and careless use of the tool: descriptors written into, never
// replaced, and never given a series; list names that cannot leave their
// folder through links; a series written whole or not at all, also when a
// signal ends the run; empty values that never take the next argument; a
// slow list taken line by line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
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
    // Refused names, as absolute ones and ".." parts are: the list's fault.
    EXPECT_EQ(batch.exitStatus, 2) << batch.err;
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

// Every entry of the working folder, hidden ones included: a file's bytes
// and mode, or what else it is.
std::map<std::string, std::string> contents(const std::string& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string& seen = entries[entry.path().filename().string()];
        if (entry.is_directory()) {
            seen = "folder";
        } else {
            struct stat status {};
            ::stat(entry.path().c_str(), &status);
            seen =
                readFile(entry.path().string()) + " mode " + std::to_string(status.st_mode & 07777);
        }
    }
    return entries;
}

// A file in the way of the third symbol is found before the first is
// written: the older series stays as it was, every file of it.
TEST_F(CommandLine, AFileInTheWayOfASeriesLeavesTheOlderSeriesWhole) {
    struct Case {
        const char* what;
        std::function<void()> inTheWay;
        const char* message;
    };
    const Case cases[] = {
        {"read-only",
         [&] {
             write("s-03.png", "older 3");
             ASSERT_EQ(chmod(path("s-03.png").c_str(), 0444), 0);
         },
         "cannot write s-03.png: the file is read-only"},
        {"a folder", [&] { std::filesystem::create_directory(path("s-03.png")); },
         "cannot write s-03.png: Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(path("s-03.png"));
        write("s-01.png", "older 1");
        write("s-02.png", "older 2");
        write("s-04.png", "older 4");
        c.inTheWay();
        const auto before = contents(directory_);
        const ProcessResult series = run({"--segments", "4", "-o", "s.png", std::string(80, 'x')});
        EXPECT_EQ(series.exitStatus, 3) << series.err;
        EXPECT_NE(series.err.find(c.message), std::string::npos) << series.err;
        EXPECT_EQ(contents(directory_), before);
    }
}

// A path that names a descriptor takes one stream, as -o - does.
TEST_F(CommandLine, ASeriesToADescriptorPathIsRefusedAsToStandardOutput) {
    for (const char* output : {"-", "/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
        SCOPED_TRACE(output);
        const ProcessResult series =
            run({"--segments", "2", "--format", "png", "-o", output, "two symbols"});
        EXPECT_EQ(series.exitStatus, 1) << series.err;
        EXPECT_NE(series.err.find("a Macro series writes several files; -o "), std::string::npos)
            << series.err;
        EXPECT_NE(series.err.find("is for one symbol"), std::string::npos) << series.err;
        EXPECT_EQ(series.out, "");
        EXPECT_FALSE(std::filesystem::exists(std::string(output) + "-01"));
    }
    EXPECT_TRUE(listing().empty());
}

// A signal while a long series is being written ends the run, and the
// folder holds the older series as it was: no new file, no temporary one.
TEST_F(CommandLine, ASignalDuringASeriesLeavesTheOlderSeriesAndNothingElse) {
    std::string data;
    for (int i = 0; data.size() < 40000; ++i) data += std::to_string(i * 7919 % 100003) + ",";
    write("data.txt", data);
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        std::filesystem::remove_all(path("out"));
        std::filesystem::create_directory(path("out"));
        for (const char* older : {"out/s-00001.png", "out/s-00002.png", "out/s-20000.png"})
            write(older, "older");
        const auto before = contents(path("out"));
        const pid_t pid = spawnQuietly(
            {"--no-verify", "--segments", "20000", "-i", "data.txt", "-o", "out/s.png"},
            directory_);
        ASSERT_GT(pid, 0);
        // Under way once a new file waits, complete, under a temporary name.
        auto writing = [&] {
            for (const auto& entry : std::filesystem::directory_iterator(path("out")))
                if (entry.path().filename().string().starts_with(".")) return true;
            return false;
        };
        bool underWay = false;
        for (int tries = 0; tries < 4000 && !underWay; ++tries) {
            underWay = writing();
            if (!underWay) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_EQ(kill(pid, signal), 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(underWay) << "no file of the series was being written within 20 s";
        ASSERT_TRUE(WIFSIGNALED(status)) << "ended by the signal, not by finishing";
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(contents(path("out")), before);
    }
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
