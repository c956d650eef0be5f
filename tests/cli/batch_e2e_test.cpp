// SPDX-License-Identifier: MIT
// Batches, run as scripts run them: several workers write every good line and
// report the bad ones in order, in bounded memory, and a killed batch leaves
// only complete files. These run again under ThreadSanitizer.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/cli/command_line_fixture.h"

namespace barquill::testing {
namespace {

using namespace std::string_literals;

TEST_F(CommandLine, BatchWritesEveryGoodLineAndReportsTheFailingOnes) {
    std::filesystem::create_directory(path("labels"));
    const std::string list = "first\n\nthird\tnamed.gif\n" + std::string(2000, '\x80') +
                             "\r\nfifth\r\n" + "sixth\tno/such/dir/x.png\n";
    write("list.txt", list);
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(jobs);
        const ProcessResult result =
            run({"--batch", "list.txt", "--names", "-o", "labels/%03d.png", "-j", jobs});
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_NE(result.err.find("barquill: line 4: error: input string too long (PDF error 2)"),
                  std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find("barquill: line 6: cannot write labels/no/such/dir/x.png"),
                  std::string::npos);
        EXPECT_NE(result.err.find("3 of 5 written, 2 failed"), std::string::npos);
        EXPECT_EQ(read(*decode("labels/001.png")), toBytes("first"));
        EXPECT_EQ(read(*decode("labels/named.gif")), toBytes("third"));
        EXPECT_EQ(read(*decode("labels/005.png")), toBytes("fifth"));
        EXPECT_FALSE(exists("labels/002.png") || exists("labels/003.png") ||
                     exists("labels/004.png") || exists("labels/006.png"));
        std::filesystem::remove_all(path("labels"));
        std::filesystem::create_directory(path("labels"));
    }
}

// A tab in the text is text; a name never leaves the output folder, is
// never a control byte, and is written once.
TEST_F(CommandLine, BatchNamesCannotEscapeTheirFolderNorRepeat) {
    std::filesystem::create_directories(path("out/sub"));
    const ProcessResult unnamed =
        run({"--batch", "-", "-o", "out/%d.png"}, "tab\t../escaped.png\ncut\t/tmp/x.png\n");
    ASSERT_EQ(unnamed.exitStatus, 0) << unnamed.err;
    EXPECT_EQ(read(*decode("out/1.png")), toBytes("tab\t../escaped.png"));
    EXPECT_EQ(read(*decode("out/2.png")), toBytes("cut\t/tmp/x.png"));
    EXPECT_FALSE(exists("escaped.png"));

    const std::string list =
        "a\t../a.png\n"         // 1
        "b\t/tmp/b.png\n"       // 2
        "c\tc\x1b[2J.png\n"     // 3
        "d\tsub/d.png\n"        // 4 written
        "e\tsub/./d.png\n"      // 5 the same file as line 4
        "f\tsub/../../f.png\n"  // 6
        "g\n"                   // 7 named by the counter
        "h\t7.png\n"            // 8 the counter's name for line 7
        "i\t\n";                // 9 a tab and no name: the counter's
    const ProcessResult named = run({"--batch", "-", "--names", "-o", "out/%d.png"}, list);
    EXPECT_EQ(named.exitStatus, 2);
    for (const char* message : {
             "line 1: the name \"../a.png\" has a \"..\" part",
             "line 2: the name \"/tmp/b.png\" is absolute",
             "line 3: the name after the tab holds a control byte",
             "line 5: \"out/sub/./d.png\" is named by an earlier line",
             "line 6: the name \"sub/../../f.png\" has a \"..\" part",
             "line 8: \"out/7.png\" is named by an earlier line",
             "3 of 9 written, 6 failed",
         })
        EXPECT_NE(named.err.find(message), std::string::npos) << message << "\n" << named.err;
    EXPECT_EQ(read(*decode("out/sub/d.png")), toBytes("d"));
    EXPECT_EQ(read(*decode("out/7.png")), toBytes("g"));
    EXPECT_EQ(read(*decode("out/9.png")), toBytes("i"));
    EXPECT_EQ(listing(), std::vector<std::string>{"out"});
    EXPECT_FALSE(std::filesystem::exists("/tmp/b.png"));
}

TEST_F(CommandLine, BatchSkipsBlankLinesAndRefusesAnItemOverTheDataLimit) {
    const std::string list = "\n \t\r\n\r\n\t\n" + std::string((1 << 20) + 1, 'x') + "\nlast\n";
    const ProcessResult result = run({"--batch", "-", "-o", "%d.png"}, list);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err,
              "barquill: line 5: error: the item is more than 1048576 bytes, far more than any "
              "symbol holds\nbarquill: 1 of 2 written, 1 failed\n");
    EXPECT_EQ(read(*decode("6.png")), toBytes("last"));
    EXPECT_EQ(listing(), std::vector<std::string>{"6.png"});
}

TEST_F(CommandLine, NulSeparatedBatchFromStandardInputKeepsLineFeeds) {
    const ProcessResult result =
        run({"--batch", "-", "--batch-nul", "-o", "%d.bmp"}, "two\nlines\0tab\there\0"s);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(read(*decode("1.bmp")), toBytes("two\nlines"));
    EXPECT_EQ(read(*decode("2.bmp")), toBytes("tab\there"));
}

// An endless line is read in bounded memory, where it once grew until the
// process aborted: 64 MiB of one line, then the list ends; the tool's own
// peak, as the kernel kept it, is read when it is waited for, and compared
// with the peak of an empty list (the reader, and a sanitizer's shadow).
TEST_F(CommandLine, AnEndlessListRunsInBoundedMemory) {
    const auto peakOf = [this](int megabytes, int& exitStatus) {
        int list = -1;
        const pid_t pid = spawnReadingPipe({"--batch", "-", "-o", "%d.png"}, directory_, list);
        EXPECT_GT(pid, 0);
        const std::string block(1 << 20, '\0');
        for (int i = 0; i < megabytes; ++i)
            EXPECT_EQ(::write(list, block.data(), block.size()),
                      static_cast<ssize_t>(block.size()));
        close(list);
        int status = 0;
        rusage usage{};
        EXPECT_EQ(wait4(pid, &status, 0, &usage), pid);
        EXPECT_TRUE(WIFEXITED(status));
        exitStatus = WEXITSTATUS(status);
        return usage.ru_maxrss;
    };
    int emptyStatus = -1;
    const long empty = peakOf(0, emptyStatus);
    EXPECT_EQ(emptyStatus, 0);
    int status = -1;
    const long endless = peakOf(64, status);
    EXPECT_EQ(status, 2) << "the one item is over the item limit";
    EXPECT_GT(empty, 0);
    EXPECT_LT(endless - empty, 32 * 1024) << "kB resident at the peak beyond an empty list's";
    EXPECT_EQ(listing(), std::vector<std::string>{});
}

// A run killed half-way leaves only complete files under their final names
// and no temporary file, whichever signal ends it.
TEST_F(CommandLine, AKilledBatchLeavesOnlyCompleteFiles) {
    std::string list;
    for (int i = 1; i <= 20000; ++i) list += "parcel " + std::to_string(i) + "\n";
    write("list.txt", list);
    for (const int signal : {SIGKILL, SIGTERM, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        std::filesystem::remove_all(path("labels"));
        std::filesystem::create_directory(path("labels"));
        // Every other early name exists already, so some files replace others.
        constexpr int kEarlier = 1000;
        for (int i = 1; i < 2 * kEarlier; i += 2)
            write("labels/" + std::to_string(i) + ".png", "an earlier file");
        const pid_t pid = spawnQuietly({"--batch", "list.txt", "-o", "labels/%d.png"}, directory_);
        ASSERT_GT(pid, 0);
        // Wait until the run is well under way.
        // Final names only: a temporary file is no file written.
        auto written = [&] {
            long count = -kEarlier;
            for (const auto& entry : std::filesystem::directory_iterator(path("labels")))
                if (entry.path().filename().string()[0] != '.') ++count;
            return count;
        };
        for (int tries = 0; tries < 2000 && written() < 300; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_GE(written(), 300)
            << "the batch wrote fewer than 300 files in 10 s; nothing to kill";
        ASSERT_EQ(kill(pid, signal), 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "ended by the signal, not by finishing";
        EXPECT_EQ(WTERMSIG(status), signal);

        // A kill no process can catch may leave the file that was about to
        // take its name; the next write into the folder removes it.
        if (signal == SIGKILL) {
            ASSERT_EQ(run({"-o", "labels/after.png", "after"}).exitStatus, 0);
        }
        int complete = 0;
        for (const auto& entry : std::filesystem::directory_iterator(path("labels"))) {
            const std::string name = entry.path().filename().string();
            if (name == "after.png") continue;
            ASSERT_NE(name[0], '.') << "temporary file left: " << name;
            const std::string bytes = readFile(entry.path().string());
            if (bytes == "an earlier file") continue;
            const std::optional<DecodedImage> image = readPng(bytes);
            ASSERT_TRUE(image) << name;
            const int line = std::stoi(name);
            EXPECT_EQ(read(*image), toBytes("parcel " + std::to_string(line))) << name;
            ++complete;
        }
        EXPECT_GE(complete, 300);
        EXPECT_LT(complete, 20000) << "killed before the end";
    }
}

}  // namespace
}  // namespace barquill::testing
