// SPDX-License-Identifier: MIT
// The reader module is found and loaded on first use only, and says why it
// cannot be used when it cannot.
#include "verify/reader_module.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace barquill::verify {
namespace {

bool readerLibraryMapped() {
    std::ifstream maps("/proc/self/maps");
    const std::string text((std::istreambuf_iterator<char>(maps)),
                           std::istreambuf_iterator<char>());
    return text.find("libZXing") != std::string::npos;
}

// Each case in a fresh process, in which nothing has loaded the reader yet.
class FirstUse : public testing::Test {
protected:
    static void SetUpTestSuite() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(FirstUse, TheReaderIsLoadedOnlyWhenASymbolIsReadBack) {
    EXPECT_EXIT(
        {
            const bool before = readerLibraryMapped();
            const std::uint8_t white[64] = {};
            Reading reading;
            const ReadStatus status = readGrey({white, 8, 8, 8}, true, &reading);
            const bool after = readerLibraryMapped();
            std::exit(!before && status == ReadStatus::NotFound && after ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(FirstUse, TheEnvironmentNamesTheModule) {
    const std::string missing = testing::TempDir() + "no-such-reader.so";
    EXPECT_EXIT(
        {
            setenv(READER_ENVIRONMENT, missing.c_str(), 1);
            const Availability availability = available();
            Reading reading;
            const std::uint8_t white[64] = {};
            const bool refused =
                readGrey({white, 8, 8, 8}, true, &reading) == ReadStatus::Unavailable;
            std::exit(availability.state == ReaderState::Missing && availability.path == missing &&
                              refused && !readerLibraryMapped()
                          ? 0
                          : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(ReaderModule, SaysWhyAFileCannotServe) {
    const std::string notElf = testing::TempDir() + "reader-text.so";
    std::ofstream(notElf) << "not a shared object\n";
    struct Case {
        std::string path;
        ReaderState state;
        int version;
    };
    const Case cases[] = {
        {BARQUILL_TEST_READER, ReaderState::Ready, 1},
        {testing::TempDir() + "no-such-reader.so", ReaderState::Missing, 0},
        {notElf, ReaderState::LoadFailed, 0},
        {BARQUILL_TEST_NOT_A_READER, ReaderState::Incompatible, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const ReaderModule module = openReaderModule(c.path);
        EXPECT_EQ(module.availability.state, c.state);
        EXPECT_EQ(module.availability.path, c.path);
        EXPECT_EQ(module.availability.version, c.version);
        EXPECT_EQ(module.read != nullptr, c.state == ReaderState::Ready);
        EXPECT_EQ(module.availability.detail.empty(), c.state != ReaderState::LoadFailed);
    }
    std::remove(notElf.c_str());
}

}  // namespace
}  // namespace barquill::verify
