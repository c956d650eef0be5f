// SPDX-License-Identifier: MIT
// ReplaceFile where a careless replacement would lose data or hand out
// rights: paths that name an open descriptor, another user's file, special
// mode bits, read-only files, and a write the file size limit cuts short.
#include "image/replace_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>

#include "replace_fixtures.h"

using namespace barquill::image;
using namespace replace_test;

namespace {

std::string withOwnPid(std::string path) {
    const std::size_t at = path.find("{pid}");
    if (at != std::string::npos) path.replace(at, 5, std::to_string(getpid()));
    return path;
}

// `( echo HEADER; barquill -o /dev/stdout ...; echo TRAILER ) > out` and the
// same with `>>`: the output lands between what the shell wrote before and
// after, in the same file, whichever way the path names the descriptor.
TEST(ReplaceFile, PathsNamingAnOpenDescriptorAreWrittenAtItsPositionNotReplaced) {
    struct Case {
        const char* path;
        int descriptor;
    };
    const Case cases[] = {
        {"/dev/stdout", 1},
        {"/dev/stderr", 2},
        {"/dev/fd/1", 1},
        {"/dev/fd/9", 9},
        {"/proc/self/fd/1", 1},
        {"/proc/{pid}/fd/1", 1},
        {"/proc/thread-self/fd/1", 1},
        {"link-to-stdout", 1},  // a link to /dev/stdout
        {"fd-folder/9", 9},     // a link to /dev/fd on the way
    };
    ScratchFolder scratch;
    std::filesystem::create_symlink("/dev/stdout", scratch.path("link-to-stdout"));
    std::filesystem::create_symlink("/dev/fd", scratch.path("fd-folder"));
    for (const bool append : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.path) + (append ? " opened for appending" : ""));
            const std::string output = scratch.path("out");
            std::filesystem::remove(output);
            const int fd =
                open(output.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC),
                     0644);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(write(fd, "HEADER\n", 7), 7);
            // Appending writes at the end from wherever the position is.
            if (append) lseek(fd, 0, SEEK_SET);
            const ino_t before = statOf(output).st_ino;
            const std::string path = c.path[0] == '/' ? std::string(c.path) : scratch.path(c.path);
            const Outcome outcome = inChild([&] {
                dup2(fd, c.descriptor);
                const ReplaceFailure failure =
                    ReplaceFile(withOwnPid(path).c_str(), writing("BODY\n"), ReplaceOptions{});
                return Outcome{failure, errno};
            });
            EXPECT_EQ(outcome.failure, ReplaceFailure::None);
            ASSERT_EQ(write(fd, "TRAILER\n", 8), 8);
            close(fd);
            EXPECT_EQ(readText(output), "HEADER\nBODY\nTRAILER\n");
            EXPECT_EQ(statOf(output).st_ino, before) << "replaced, not written into";
        }
    }
}

// Opening the path anew would reach the file behind the descriptor; it is
// the descriptor that was named, and it cannot take the content.
TEST(ReplaceFile, ADescriptorNotOpenForWritingFailsAndLeavesItsFileAlone) {
    ScratchFolder scratch;
    const std::string file = scratch.path("read-only-use");
    writeText(file, "kept");
    const int reading = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(reading, 0);
    const int closed = 1000;
    ASSERT_EQ(fcntl(closed, F_GETFD), -1);
    for (const std::string& path :
         {"/proc/self/fd/" + std::to_string(reading), "/dev/fd/" + std::to_string(closed)}) {
        SCOPED_TRACE(path);
        errno = 0;
        const ReplaceFailure failure = ReplaceFile(path.c_str(), writing("new"), ReplaceOptions{});
        const int error = errno;
        EXPECT_EQ(failure, ReplaceFailure::Create);
        EXPECT_EQ(error, EBADF);
    }
    close(reading);
    EXPECT_EQ(readText(file), "kept");
    EXPECT_EQ(scratch.names(), std::set<std::string>{"read-only-use"});
}

// Root replacing a user's file gives the new one back to that user, with the
// same permission bits, and never a set-user-ID, set-group-ID or sticky bit
// that would let anyone run it with the writer's rights. A user who cannot
// give a file away keeps it himself.
TEST(ReplaceFile, TheNewFileKeepsOwnerGroupAndPermissionsButNoSpecialBits) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to own files as another user";
    struct Case {
        bool asNobody;
        uid_t owner;
        gid_t group;
        mode_t mode;
        uid_t expectedOwner;
        gid_t expectedGroup;
        mode_t expectedMode;
    };
    const Case cases[] = {
        {false, kNobody, kNobody, 0600, kNobody, kNobody, 0600},
        {false, kNobody, kNobody, 04777, kNobody, kNobody, 0777},
        {false, kNobody, 0, 02755, kNobody, 0, 0755},
        {false, 0, kNobody, 01640, 0, kNobody, 0640},
        {false, kNobody, kNobody, 06711, kNobody, kNobody, 0711},
        {true, 0, 0, 0666, kNobody, kNobody, 0666},
        {true, kNobody, kNobody, 04755, kNobody, kNobody, 0755},
    };
    ScratchFolder scratch;
    ASSERT_EQ(chmod(scratch.path().c_str(), 0777), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.owner) + ":" + std::to_string(c.group) + " mode " +
                     std::to_string(c.mode) + (c.asNobody ? " replaced by 65534" : ""));
        const std::string file = scratch.path("label.png");
        writeText(file, "old");
        ASSERT_EQ(chown(file.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
        const Outcome outcome = inChild([&] {
            if (c.asNobody && !becomeNobody()) return Outcome{ReplaceFailure::Create, -2};
            return Outcome{ReplaceFile(file.c_str(), writing("new"), ReplaceOptions{}), errno};
        });
        ASSERT_EQ(outcome.failure, ReplaceFailure::None) << outcome.error;
        EXPECT_EQ(readText(file), "new");
        const struct stat status = statOf(file);
        EXPECT_EQ(status.st_uid, c.expectedOwner);
        EXPECT_EQ(status.st_gid, c.expectedGroup);
        EXPECT_EQ(status.st_mode & 07777, c.expectedMode);
    }
}

// A file is read-only by its mode bits as they apply to the user (owner's,
// else group's, else others' write bit; for root, any of them), for root
// too: only asking for it replaces such a file.
TEST(ReplaceFile, AFileReadOnlyByItsModeIsReplacedOnlyWhenAskedWhoeverRunsIt) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to run as root and as another user";
    struct Case {
        bool asNobody;
        uid_t owner;
        gid_t group;
        mode_t mode;
        bool readOnly;
    };
    const Case cases[] = {
        {false, kNobody, kNobody, 0444, true},
        {false, 0, 0, 0400, true},
        {false, 0, 0, 0555, true},
        {false, kNobody, kNobody, 0200, false},
        {false, kNobody, kNobody, 0002, false},
        {true, kNobody, kNobody, 0466, true},  // the owner's bit decides for the owner
        {true, 0, kNobody, 0646, true},        // the group's bit for the group
        {true, 0, 0, 0664, true},              // the others' bit for the rest
        {true, 0, 0, 0646, false},
        {true, kNobody, kNobody, 0644, false},
    };
    ScratchFolder scratch;
    ASSERT_EQ(chmod(scratch.path().c_str(), 0777), 0);
    const std::string file = scratch.path("label.png");
    for (const Case& c : cases) {
        for (const bool asked : {false, true}) {
            SCOPED_TRACE(std::to_string(c.owner) + ":" + std::to_string(c.group) + " mode " +
                         std::to_string(c.mode) + (c.asNobody ? " as 65534" : " as root") +
                         (asked ? ", asked to replace read-only files" : ""));
            writeText(file, "old");
            ASSERT_EQ(chown(file.c_str(), c.owner, c.group), 0);
            ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
            const Outcome outcome = inChild([&] {
                if (c.asNobody && !becomeNobody()) return Outcome{ReplaceFailure::Create, -2};
                const ReplaceOptions options{false, asked};
                return Outcome{ReplaceFile(file.c_str(), writing("new"), options), errno};
            });
            const bool refused = c.readOnly && !asked;
            EXPECT_EQ(outcome.failure, refused ? ReplaceFailure::ReadOnly : ReplaceFailure::None)
                << outcome.error;
            EXPECT_EQ(readText(file), refused ? "old" : "new");
            EXPECT_EQ(scratch.names(), std::set<std::string>{"label.png"});
        }
    }
}

// With SIGXFSZ ignored, as the command line does, the file size limit makes
// the system refuse the write (EFBIG). That is a Write failure, also when
// the write function ignores the stream's failure or the failure comes only
// with the final flush; only a write function that notices it itself
// reports Content, with the same errno. Nothing is left behind either way.
TEST(ReplaceFile, TheFileSizeLimitFailsTheWriteWithEfbigAndLeavesNothing) {
    const std::string big(100000, 'b');
    struct Case {
        const char* writer;
        std::function<bool(std::FILE*)> write;
        ReplaceFailure failure;
    };
    const Case cases[] = {
        {"ignoring fwrite's count",
         [&](std::FILE* stream) {
             std::fwrite(big.data(), 1, big.size(), stream);
             return true;
         },
         ReplaceFailure::Write},
        {"failing at the final flush", writing(std::string(200, 's')), ReplaceFailure::Write},
        {"noticing the short fwrite", writing(big), ReplaceFailure::Content},
        {"writing after the failure",
         [&](std::FILE* stream) {
             std::fwrite(big.data(), 1, big.size(), stream);
             std::fputs("more", stream);
             return std::fflush(stream) == 0;
         },
         ReplaceFailure::Content},
    };
    ScratchFolder scratch;
    const std::string existing = scratch.path("label.png");
    writeText(existing, "the earlier label");
    for (const Case& c : cases) {
        for (const char* name : {"label.png", "fresh.png"}) {
            SCOPED_TRACE(std::string(c.writer) + ", " + name);
            const Outcome outcome = inChild([&] {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{};
                getrlimit(RLIMIT_FSIZE, &limit);
                limit.rlim_cur = 64;
                if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return Outcome{ReplaceFailure::None, -2};
                errno = 0;
                const ReplaceFailure failure =
                    ReplaceFile(scratch.path(name).c_str(), c.write, ReplaceOptions{});
                return Outcome{failure, errno};
            });
            EXPECT_EQ(outcome, (Outcome{c.failure, EFBIG}));
            EXPECT_EQ(readText(existing), "the earlier label");
            EXPECT_EQ(scratch.names(), std::set<std::string>{"label.png"});
        }
    }
}

}  // namespace
