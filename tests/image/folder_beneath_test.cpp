// SPDX-License-Identifier: MIT
// Names given beneath an output folder, as a batch list gives them, never
// lead out of it: not by "..", not by an absolute name, not by a symbolic
// link on the way or at the end, whichever way the kernel resolves them.
#include "image/folder_beneath.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "image/replace_file.h"
#include "replace_fixtures.h"

using namespace barquill::image;
using namespace replace_test;

namespace {

namespace fs = std::filesystem;

// out/ holds a real folder, links out of it (relative and absolute), a link
// that stays inside, links as final names, and a plain file; outside/ holds
// the file an attacker is after.
class Beneath : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(scratch.path("out/sub"));
        fs::create_directories(scratch.path("outside"));
        writeText(scratch.path("outside/victim.png"), "victim");
        writeText(scratch.path("out/plain.txt"), "plain");
        fs::create_directory_symlink("../outside", scratch.path("out/esc"));
        fs::create_directory_symlink(scratch.path("outside"), scratch.path("out/abs"));
        fs::create_directory_symlink("sub", scratch.path("out/inner"));
        fs::create_symlink("../outside/victim.png", scratch.path("out/evil.png"));
        fs::create_symlink("sub/kept.png", scratch.path("out/kept.png"));
        out = open(scratch.path("out").c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(out, 0);
    }
    void TearDown() override { close(out); }

    ScratchFolder scratch;
    int out = -1;
};

TEST_F(Beneath, ANameLeadingOutOfTheFolderIsRefusedAndWritesNothing) {
    struct Case {
        std::string name;
        ReplaceFailure failure;
        int error;  // for Create
    };
    const Case cases[] = {
        {"label.png", ReplaceFailure::None, 0},
        {"sub/label.png", ReplaceFailure::None, 0},
        {"./sub//second.png", ReplaceFailure::None, 0},
        {"esc/evil.png", ReplaceFailure::Escapes, 0},
        {"abs/evil.png", ReplaceFailure::Escapes, 0},
        {"esc/victim.png", ReplaceFailure::Escapes, 0},
        {"evil.png", ReplaceFailure::Escapes, 0},  // a final link out
        {"kept.png", ReplaceFailure::Escapes, 0},  // a final link inside: refused too
        {"inner/label.png", ReplaceFailure::Escapes, 0},
        {"../outside/evil.png", ReplaceFailure::Escapes, 0},
        {"sub/../label.png", ReplaceFailure::Escapes, 0},
        {scratch.path("outside/evil.png"), ReplaceFailure::Escapes, 0},
        {"missing/label.png", ReplaceFailure::Create, ENOENT},
        {"plain.txt/label.png", ReplaceFailure::Create, ENOTDIR},
        {"sub", ReplaceFailure::Create, EISDIR},
        {"sub/", ReplaceFailure::Create, EISDIR},
        {"", ReplaceFailure::Create, ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        errno = 0;
        const ReplaceFailure failure =
            ReplaceFileBeneath(out, c.name.c_str(), writing(c.name), ReplaceOptions{});
        const int error = errno;
        EXPECT_EQ(failure, c.failure);
        if (c.failure == ReplaceFailure::Create) {
            EXPECT_EQ(error, c.error);
        }
    }
    EXPECT_EQ(readText(scratch.path("out/label.png")), "label.png");
    EXPECT_EQ(readText(scratch.path("out/sub/label.png")), "sub/label.png");
    EXPECT_EQ(readText(scratch.path("out/sub/second.png")), "./sub//second.png");
    EXPECT_EQ(scratch.names("outside"), std::set<std::string>{"victim.png"});
    EXPECT_EQ(readText(scratch.path("outside/victim.png")), "victim");
    EXPECT_EQ(scratch.names("out"),
              (std::set<std::string>{"sub", "plain.txt", "esc", "abs", "inner", "evil.png",
                                     "kept.png", "label.png"}));
    EXPECT_EQ(scratch.names("out/sub"), (std::set<std::string>{"label.png", "second.png"}));
    for (const char* link : {"esc", "abs", "inner", "evil.png", "kept.png"})
        EXPECT_TRUE(fs::is_symlink(scratch.path("out/") + link)) << link;
}

// What is not a regular file is written into here too.
TEST_F(Beneath, AFifoBeneathTheFolderIsWrittenInto) {
    ASSERT_EQ(mkfifo(scratch.path("out/sub/fifo").c_str(), 0600), 0);
    const int reader = open(scratch.path("out/sub/fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(ReplaceFileBeneath(out, "sub/fifo", writing("through"), ReplaceOptions{}),
              ReplaceFailure::None);
    char text[16] = {};
    EXPECT_EQ(read(reader, text, sizeof text), 7);
    EXPECT_STREQ(text, "through");
    close(reader);
    EXPECT_TRUE(S_ISFIFO(statOf(scratch.path("out/sub/fifo")).st_mode));
}

// Kernels without openat2 get the walk; both keep the same rule.
TEST_F(Beneath, TheKernelAndTheWalkOpenTheSameFoldersAndRefuseTheSameNames) {
    struct Case {
        std::string folder;
        const char* opens;  // the folder opened, below the scratch folder, or null
        bool escapes;
        int error;
    };
    const Case cases[] = {
        {"", "out", false, 0},
        {".", "out", false, 0},
        {"sub", "out/sub", false, 0},
        {"./sub/", "out/sub", false, 0},
        {"esc", nullptr, true, 0},
        {"abs", nullptr, true, 0},
        {"inner", nullptr, true, 0},
        {"sub/../inner", nullptr, true, 0},
        {"..", nullptr, true, 0},
        {"/", nullptr, true, 0},
        {"missing", nullptr, false, ENOENT},
        {"plain.txt", nullptr, false, ENOTDIR},
    };
    using Resolver = FolderBeneath (*)(int, const std::string&);
    for (const Resolver resolve : {Resolver{OpenFolderBeneath}, Resolver{WalkFolderBeneath}}) {
        for (const Case& c : cases) {
            SCOPED_TRACE((resolve == WalkFolderBeneath ? "walk: " : "kernel: ") + c.folder);
            errno = 0;
            const FolderBeneath opened = resolve(out, c.folder);
            const int error = errno;
            EXPECT_EQ(opened.escapes, c.escapes);
            if (c.opens == nullptr) {
                EXPECT_LT(opened.fd, 0);
                if (!c.escapes) {
                    EXPECT_EQ(error, c.error);
                }
                continue;
            }
            ASSERT_GE(opened.fd, 0);
            struct stat status {};
            fstat(opened.fd, &status);
            EXPECT_EQ(status.st_ino, statOf(scratch.path(c.opens)).st_ino);
            close(opened.fd);
        }
    }
}

}  // namespace
