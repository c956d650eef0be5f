// SPDX-License-Identifier: MIT
// The tool starts as a small C program does: it needs only the C library,
// and loads the reader and the vector writer only for what needs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "tests/cli/command_line_fixture.h"

namespace barquill::testing {
namespace {

TEST(StartUp, TheToolNeedsOnlyTheCLibrary) {
    if (!BARQUILL_STATIC_TOOL) GTEST_SKIP() << "built with the sanitizers' shared runtimes";
    const ProcessResult dynamic = runProcess(READELF, {"-d", BARQUILL_EXECUTABLE});
    ASSERT_EQ(dynamic.exitStatus, 0) << dynamic.err;
    std::set<std::string> needed;
    std::istringstream lines(dynamic.out);
    for (std::string line; std::getline(lines, line);)
        if (line.find("(NEEDED)") != std::string::npos)
            needed.insert(line.substr(line.find('[') + 1, line.find(']') - line.find('[') - 1));
    EXPECT_FALSE(needed.empty()) << "a program without the dynamic loader cannot open modules";
    // The C library's parts: itself, its mathematics and its dynamic loader.
    for (const std::string& library : needed)
        EXPECT_TRUE(library == "libc.so.6" || library == "libm.so.6" ||
                    library.starts_with("ld-linux"))
            << library;
}

// The dynamic loader names every file it opens when LD_DEBUG=files.
TEST_F(CommandLine, ModulesAreLoadedOnlyForWhatNeedsThem) {
    struct Case {
        std::vector<std::string> args;
        bool reader;
        bool cairo;
    };
    const Case cases[] = {
        {{"--no-verify", "-o", "plain.png", "LOT 4711"}, false, false},
        {{"--version"}, false, false},
        {{"-o", "read.png", "LOT 4711"}, true, false},
        {{"--verify", "-o", "read.png", "LOT 4711"}, true, false},
        {{"--no-verify", "-o", "page.pdf", "LOT 4711"}, false, true},
        {{"--no-verify", "-o", "page.eps", "LOT 4711"}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        std::vector<std::string> args{"LD_DEBUG=files", BARQUILL_EXECUTABLE};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProcessResult result = runProcess("/usr/bin/env", args, "", directory_);
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.err.find("file=libZXing") != std::string::npos, c.reader);
        EXPECT_EQ(result.err.find("file=libcairo") != std::string::npos, c.cairo);
    }
}

// The build tree's module serves the programs built beside it; a copy of
// the same program installed elsewhere never loads it.
TEST_F(CommandLine, AnInstalledCopyNeverLoadsTheBuildTreesModule) {
#ifndef BARQUILL_TEST_READER
    GTEST_SKIP() << "this build has no reader module";
#else
    std::filesystem::create_directory(path("bin"));
    std::filesystem::copy_file(BARQUILL_EXECUTABLE, path("bin/barquill"));
    const std::string loaded = "file=" BARQUILL_TEST_READER " ";
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "installed copy" : "build tree");
        const ProcessResult result =
            runProcess("/usr/bin/env",
                       {"LD_DEBUG=files", installed ? path("bin/barquill") : BARQUILL_EXECUTABLE,
                        "--verify", "-o", "read.png", "LOT 4711"},
                       "", directory_);
        EXPECT_EQ(result.err.find(loaded) != std::string::npos, !installed) << result.err;
        if (!installed) {
            EXPECT_EQ(result.exitStatus, 0);
        }
    }
#endif
}

}  // namespace
}  // namespace barquill::testing
