// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "image/picture.h"
#include "image_fixtures.h"

using namespace barquill::image;

namespace {

namespace fs = std::filesystem;
using image_test::Bytes;

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "barquill-save-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    static Bytes read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static void write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::set<std::string> names() const {
        std::set<std::string> result;
        for (const auto& entry : fs::directory_iterator(folder))
            result.insert(entry.path().filename().string());
        return result;
    }

    fs::path folder;
};

TEST_F(SaveTest, WritesTheEncodedFileAndNothingElse) {
    Picture picture = image_test::letterF(24, 19, 17);
    for (std::uint32_t type : {IMAGE_FORMAT_BMP, IMAGE_FORMAT_GIF, IMAGE_FORMAT_PNG}) {
        const fs::path target = folder / ("symbol" + std::to_string(type));
        ASSERT_TRUE(picture.Save(target.c_str(), type)) << picture.GetLastError();
        EXPECT_EQ(read(target), image_test::encode(picture, type));
    }
    EXPECT_EQ(names(), (std::set<std::string>{"symbol1", "symbol2", "symbol3"}));
}

TEST_F(SaveTest, FailedEncodingLeavesAnExistingFileByteForByteAndCreatesNothing) {
    struct Case {
        bool emptyPicture;
        std::uint32_t type;
        const char* text;
    };
    const Case cases[] = {
        {false, 7, "Encode: Unknown format"},
        {false, IMAGE_FORMAT_UNKNOWN, "Encode: Unknown format"},
        {true, IMAGE_FORMAT_BMP, "null image!!!"},
        {true, IMAGE_FORMAT_GIF, "null image!!!"},
        {true, IMAGE_FORMAT_PNG, "null image!!!"},
    };
    const std::string precious = "the user's earlier symbol";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Picture picture = image_test::letterF(8, 9, 9);
        if (c.emptyPicture) picture.Destroy();
        const fs::path existing = folder / "existing.png";
        write(existing, precious);
        EXPECT_FALSE(picture.Save(existing.c_str(), c.type));
        EXPECT_STREQ(picture.GetLastError(), c.text);
        EXPECT_EQ(read(existing), Bytes(precious.begin(), precious.end()));

        const fs::path fresh = folder / "fresh.png";
        EXPECT_FALSE(picture.Save(fresh.c_str(), c.type));
        EXPECT_EQ(names(), std::set<std::string>{"existing.png"});
    }
}

TEST_F(SaveTest, FullDiskLeavesTheExistingFileAndReportsTheFailure) {
    // A file size limit makes every write past it fail, as a full disk does.
    struct Case {
        int width, height;
        std::uint32_t type, gifCompressor;
        const char* text;
    };
    const Case cases[] = {
        {300, 200, IMAGE_FORMAT_BMP, 0, "Write Error in BMP file"},
        {300, 200, IMAGE_FORMAT_PNG, 0, "Error saving PNG file"},
        {300, 200, IMAGE_FORMAT_GIF, 0, "Write Error in GIF file"},
        {300, 200, IMAGE_FORMAT_GIF, 1, "Write Error in GIF file"},
        {300, 200, IMAGE_FORMAT_GIF, 2, "Write Error in GIF file"},
        {3, 2, IMAGE_FORMAT_BMP, 0, "Write Error in BMP file"},  // fails only when flushed
    };
    const fs::path existing = folder / "symbol.bmp";
    const std::string precious(5000, 'p');
    write(existing, precious);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit tiny = previous;
    tiny.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.gifCompressor));
        Picture picture = image_test::randomPicture(24, c.width, c.height, 5);
        picture.SetCodecOption(c.gifCompressor, IMAGE_FORMAT_GIF);
        EXPECT_FALSE(picture.Save(existing.c_str(), c.type));
        EXPECT_STREQ(picture.GetLastError(), c.text);
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(read(existing), Bytes(precious.begin(), precious.end()));
    EXPECT_EQ(names(), std::set<std::string>{"symbol.bmp"});
}

TEST_F(SaveTest, UnopenableNameFailsWithoutTouchingTheLastError) {
    Picture picture = image_test::letterF(1, 9, 9);
    picture.Save((folder / "x").c_str(), 7);  // leaves a known text behind
    const fs::path target = folder / "no-such-folder" / "symbol.bmp";
    errno = 0;
    EXPECT_FALSE(picture.Save(target.c_str(), IMAGE_FORMAT_BMP));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_STREQ(picture.GetLastError(), "Encode: Unknown format");
    EXPECT_FALSE(picture.Save("", IMAGE_FORMAT_BMP));
    EXPECT_FALSE(picture.Save(nullptr, IMAGE_FORMAT_BMP));
    EXPECT_FALSE(picture.Save(folder.c_str(), IMAGE_FORMAT_BMP));  // a folder is not replaced
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(names().empty());
}

TEST_F(SaveTest, ReplacingKeepsPermissionsAndFollowsSymbolicLinks) {
    Picture picture = image_test::letterF(4, 9, 9);
    const fs::path real = folder / "real.gif";
    write(real, "old");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    const fs::path link = folder / "link.gif";
    fs::create_symlink(real, link);
    ASSERT_TRUE(picture.Save(link.c_str(), IMAGE_FORMAT_GIF));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read(real), image_test::encode(picture, IMAGE_FORMAT_GIF));
    struct stat status {};
    ASSERT_EQ(stat(real.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(names(), (std::set<std::string>{"real.gif", "link.gif"}));
}

}  // namespace
