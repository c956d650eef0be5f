// SPDX-License-Identifier: MIT
// A process killed between giving a finished file its temporary name and
// renaming it over the target leaves that name; the next write into the
// folder removes it, and nothing else.
#include "image/replace_leftovers.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "image/replace_file.h"
#include "replace_fixtures.h"

using namespace barquill::image;
using namespace replace_test;

namespace {

// A pid that no process has any more: a child that ended and was reaped.
pid_t goneProcess() {
    const pid_t pid = fork();
    if (pid == 0) _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

// Read here from /proc, as an independent check of what the names carry.
std::string ownPidNamespace() {
    const std::string link = std::filesystem::read_symlink("/proc/self/ns/pid").string();
    return link.substr(link.find('[') + 1, link.find(']') - link.find('[') - 1);
}

TEST(ReplaceLeftovers, AKillBetweenLinkAndRenameLeavesACompleteFileTheNextWriteRemoves) {
    ScratchFolder scratch;
    const std::string target = scratch.path("label.png");
    writeText(target, "the earlier label");
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        betweenLinkAndRename = [] { raise(SIGKILL); };
        ReplaceFile(target.c_str(), writing("the new label"), ReplaceOptions{});
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "killed at the hook";

    std::set<std::string> names = scratch.names();
    ASSERT_EQ(names.size(), 2u);
    ASSERT_EQ(names.erase("label.png"), 1u);
    const std::string leftover = *names.begin();
    const std::string owner = ".barquill-" + ownPidNamespace() + "-" + std::to_string(child) + "-";
    EXPECT_TRUE(leftover.starts_with(".label.png" + owner) && leftover.ends_with(".tmp"))
        << leftover;
    EXPECT_EQ(readText(scratch.path(leftover)), "the new label");
    EXPECT_EQ(readText(target), "the earlier label");

    ASSERT_EQ(ReplaceFile(scratch.path("other.png").c_str(), writing("x"), ReplaceOptions{}),
              ReplaceFailure::None);
    EXPECT_EQ(scratch.names(), (std::set<std::string>{"label.png", "other.png"}));
    EXPECT_EQ(readText(target), "the earlier label");
}

// Only files of the marker's pattern go, only those of a process of this
// pid namespace, and only once that process is gone: a running writer's
// file, another container's, or a user's look-alike stay.
TEST(ReplaceLeftovers, OnlyLeftoversOfGoneProcessesOfThisNamespaceAreRemoved) {
    const std::string space = ownPidNamespace();
    const std::string gone = std::to_string(goneProcess());
    const std::string running = std::to_string(getppid());
    const std::string own = std::to_string(getpid());
    struct Case {
        std::string name;
        bool removed;
    };
    const Case cases[] = {
        {".a.png.barquill-" + space + "-" + gone + "-0.tmp", true},
        {".a.b.png.barquill-" + space + "-" + gone + "-17.tmp", true},
        {".a.png.barquill-" + space + "-" + running + "-0.tmp", false},
        {".a.png.barquill-" + space + "-" + own + "-0.tmp", false},
        {".a.png.barquill-1" + space + "-" + gone + "-0.tmp", false},
        {".a.png." + gone + ".0.tmp", false},
        {"a.png.barquill-" + space + "-" + gone + "-0.tmp", false},
        {".a.png.barquill-" + space + "-" + gone + "-0.tmp.bak", false},
        {".a.png.barquill-" + space + "-" + gone + "-x.tmp", false},
        {".a.png.barquill-" + space + "-" + gone + ".tmp", false},
        {".barquill-" + space + "-" + gone + "-0.tmp", false},
    };
    ScratchFolder scratch;
    std::set<std::string> kept;
    for (const Case& c : cases) {
        writeText(scratch.path(c.name), "x");
        if (!c.removed) kept.insert(c.name);
    }
    // A folder and a link of the pattern are not files this code makes.
    const std::string folder = ".f.barquill-" + space + "-" + gone + "-0.tmp";
    const std::string link = ".l.barquill-" + space + "-" + gone + "-0.tmp";
    std::filesystem::create_directory(scratch.path(folder));
    std::filesystem::create_symlink("a.png", scratch.path(link));
    kept.insert({folder, link, "new.png"});

    ASSERT_EQ(ReplaceFile(scratch.path("new.png").c_str(), writing("x"), ReplaceOptions{}),
              ReplaceFailure::None);
    EXPECT_EQ(scratch.names(), kept);
}

}  // namespace
