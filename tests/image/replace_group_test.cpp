// SPDX-License-Identifier: MIT
// Files replaced together, as a series is: whatever fails, at whichever
// step, and whatever signal ends the process meanwhile, every target keeps
// its old content and no temporary file is left.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "image/replace_file.h"
#include "replace_fixtures.h"

using namespace barquill::image;
using namespace replace_test;

namespace {

namespace fs = std::filesystem;

// Every entry of the folder: a file's content, or what else it is.
std::map<std::string, std::string> snapshot(const ScratchFolder& scratch) {
    std::map<std::string, std::string> entries;
    for (const std::string& name : scratch.names()) {
        const fs::path path = scratch.path(name);
        if (fs::is_symlink(path))
            entries[name] = "link to " + fs::read_symlink(path).string();
        else if (fs::is_directory(path))
            entries[name] = "folder";
        else
            entries[name] = readText(path.string()) + " mode " +
                            std::to_string(statOf(path.string()).st_mode & 07777);
    }
    return entries;
}

const std::vector<std::string> kTargets = {"s-1", "s-2", "s-3", "s-4"};

// s-1 and s-4 hold an older series; s-2 is new; s-3 is what the case puts
// in the way.
void olderSeries(const ScratchFolder& scratch) {
    writeText(scratch.path("s-1"), "old 1");
    writeText(scratch.path("s-4"), "old 4");
}

enum class Step { Check, Write, Commit };

struct Steps {
    Step failed = Step::Check;
    std::size_t target = 0;
    ReplaceFailure failure = ReplaceFailure::None;
};

// Runs the group's steps over the four targets; `beforeCommit` may break
// what was written. Stops at the first failure, as a caller does.
Steps replaceTogether(const ScratchFolder& scratch, const ReplaceOptions& options,
                      const std::function<void()>& beforeCommit = {}) {
    ReplaceGroup group(options);
    for (std::size_t i = 0; i < kTargets.size(); ++i)
        if (const auto failure = group.Check(scratch.path(kTargets[i]).c_str());
            failure != ReplaceFailure::None)
            return {Step::Check, i, failure};
    for (std::size_t i = 0; i < kTargets.size(); ++i)
        if (const auto failure = group.Write(i, writing("new " + std::to_string(i + 1)));
            failure != ReplaceFailure::None)
            return {Step::Write, i, failure};
    if (beforeCommit) beforeCommit();
    if (const auto failure = group.Commit(); failure != ReplaceFailure::None)
        return {Step::Commit, group.FailedTarget(), failure};
    return {Step::Commit, kTargets.size(), ReplaceFailure::None};
}

TEST(ReplaceGroup, AFailureAtAnyStepLeavesEveryTargetAsItWasAndNoTemporaryFile) {
    struct Case {
        const char* what;
        std::function<void(const ScratchFolder&)> inTheWay;
        Step step;
        ReplaceFailure failure;
    };
    const Case cases[] = {
        {"a read-only file",
         [](const ScratchFolder& s) {
             writeText(s.path("s-3"), "old 3");
             ASSERT_EQ(chmod(s.path("s-3").c_str(), 0444), 0);
         },
         Step::Check, ReplaceFailure::ReadOnly},
        {"a folder", [](const ScratchFolder& s) { fs::create_directory(s.path("s-3")); },
         Step::Check, ReplaceFailure::Create},
        // Found writable, then full: the first two are written by then.
        {"a link to a full device",
         [](const ScratchFolder& s) { fs::create_symlink("/dev/full", s.path("s-3")); },
         Step::Write, ReplaceFailure::Write},
        // Lost before it takes its name: the first two have theirs by then.
        {"a file whose new content vanishes",
         [](const ScratchFolder& s) { writeText(s.path("s-3"), "old 3"); }, Step::Commit,
         ReplaceFailure::Rename},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch;
        olderSeries(scratch);
        c.inTheWay(scratch);
        const auto before = snapshot(scratch);
        const Steps steps = replaceTogether(scratch, ReplaceOptions{false, false}, [&] {
            for (const std::string& name : scratch.names())
                if (name.starts_with(".s-3.")) fs::remove(scratch.path(name));
        });
        EXPECT_EQ(steps.failed, c.step);
        EXPECT_EQ(steps.target, 2u);
        EXPECT_EQ(steps.failure, c.failure);
        EXPECT_EQ(snapshot(scratch), before);
    }
}

TEST(ReplaceGroup, CommittedFilesTakeTheirNamesAndTheOldFilesModes) {
    ScratchFolder scratch;
    olderSeries(scratch);
    ASSERT_EQ(chmod(scratch.path("s-4").c_str(), 0640), 0);
    const Steps steps = replaceTogether(scratch, ReplaceOptions{});
    EXPECT_EQ(steps.failure, ReplaceFailure::None);
    std::map<std::string, std::string> expected;
    for (std::size_t i = 0; i < kTargets.size(); ++i)
        expected[kTargets[i]] = "new " + std::to_string(i + 1) + " mode " +
                                std::to_string(statOf(scratch.path(kTargets[i])).st_mode & 07777);
    EXPECT_EQ(snapshot(scratch), expected);
    EXPECT_EQ(statOf(scratch.path("s-4")).st_mode & 07777, 0640u);
}

// A signal that arrives while the group lives ends the process only once
// the group is taken back, at whichever step it arrives.
TEST(ReplaceGroup, ATerminationSignalEndsTheProcessOnlyAfterTheGroupIsTakenBack) {
    for (const Step step : {Step::Check, Step::Write, Step::Commit}) {
        SCOPED_TRACE(static_cast<int>(step));
        ScratchFolder scratch;
        olderSeries(scratch);
        const auto before = snapshot(scratch);
        std::fflush(stdout);
        std::fflush(stderr);
        const pid_t pid = fork();
        if (pid == 0) {
            std::signal(SIGTERM, SIG_DFL);
            InstallTerminationGuard();
            {
                ReplaceGroup group(ReplaceOptions{});
                for (std::size_t i = 0; i < kTargets.size(); ++i) {
                    if (step == Step::Check && i == 2) raise(SIGTERM);
                    group.Check(scratch.path(kTargets[i]).c_str());
                }
                for (std::size_t i = 0; i < kTargets.size(); ++i) {
                    if (step == Step::Write && i == 2) raise(SIGTERM);
                    group.Write(i, writing("new"));
                }
                if (step == Step::Commit) raise(SIGTERM);
                group.Commit();
            }
            // Not reached: the group's end ends the process.
            _exit(0);
        }
        ASSERT_GT(pid, 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
        EXPECT_EQ(snapshot(scratch), before);
    }
}

}  // namespace
