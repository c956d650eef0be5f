// SPDX-License-Identifier: MIT
// A series on disk: its names, its cut where characters begin, and its
// files written whole or not at all, so an older series is never mixed
// with a newer one.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "barquill/barquill.hpp"

namespace barquill {
namespace {

namespace fs = std::filesystem;

std::span<const std::uint8_t> bytesOf(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class SeriesFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/barquill-series-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    // Every entry, hidden ones included: a file's bytes, or what else it is.
    std::map<std::string, std::string> contents() const {
        std::map<std::string, std::string> entries;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            std::string& seen = entries[entry.path().filename().string()];
            if (entry.is_symlink())
                seen = "link to " + fs::read_symlink(entry.path()).string();
            else if (entry.is_directory())
                seen = "folder";
            else
                seen = readAll(entry.path());
        }
        return entries;
    }

    std::string folder_;
};

TEST(SeriesNames, OneSymbolKeepsItsNameASeriesNumbersEach) {
    const struct {
        const char* path;
        int count;
        std::vector<std::string> names;
    } cases[] = {
        {"label.png", 1, {"label.png"}},
        {"part%d.png", 1, {"part%d.png"}},
        {"s.png", 3, {"s-01.png", "s-02.png", "s-03.png"}},
        {"out/%03d.gif", 2, {"out/001.gif", "out/002.gif"}},
        {"noext", 2, {"noext-01", "noext-02"}},
    };
    for (const auto& c : cases) EXPECT_EQ(seriesFileNames(c.path, c.count), c.names) << c.path;
    EXPECT_EQ(seriesFileNames("s.png", 100).back(), "s-100.png");
    EXPECT_EQ(seriesFileNames("s.png", 100).front(), "s-001.png");
}

TEST(SeriesNames, ANameBeneathItsFolderIsRefusedByItsTextWithWhatLeadsOut) {
    const struct {
        const char* name;
        const char* leadsOut;  // nullptr: allowed
    } cases[] = {
        {"a.png", nullptr}, {"sub/a.png", nullptr}, {"..a/b..", nullptr}, {"./a", nullptr},
        {"/etc/x", "/"},    {"..", ".."},           {"a/../../b", ".."},  {"a/..", ".."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto refused = checkNameBeneath(c.name);
        ASSERT_EQ(refused.has_value(), c.leadsOut != nullptr);
        if (!refused) continue;
        EXPECT_EQ(refused->code, ErrorCode::outsideFolder);
        EXPECT_EQ(refused->path, c.name);
        EXPECT_EQ(refused->given, c.leadsOut);
    }
}

// Characters of two bytes and one: each cut falls where one begins, and
// the count asked is made whenever there are characters enough.
TEST(SeriesCut, EveryCountUpToTheCharactersIsMadeAndCutsOnlyWhereOneBegins) {
    const struct {
        const char* charset;
        std::string text;  // UTF-8
        int characters;
    } cases[] = {
        // Seven characters of one byte and three of two: 13 bytes.
        {"Shift_JIS",
         "\xef\xbd\xb1\xef\xbd\xb2\xef\xbd\xb3\xef\xbd\xb4\xef\xbd\xb5\xef\xbd\xb6\xef\xbd\xb7"
         "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e",
         10},
        {"UTF-8",
         "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"
         "bc",
         6},
        {"Shift_JIS",
         "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"
         "abc",
         6},
    };
    for (const auto& c : cases) {
        // Where the characters begin in the set's bytes: each converted alone.
        std::set<std::size_t> starts;
        std::string whole;
        for (std::size_t i = 0; i < c.text.size();) {
            std::size_t next = i + 1;
            while (next < c.text.size() && (c.text[next] & 0xc0) == 0x80) ++next;
            const auto one =
                encode(std::string_view(c.text).substr(i, next - i), {.charset = c.charset});
            ASSERT_TRUE(one) << one.error().message;
            starts.insert(whole.size());
            whole.append(one->data().begin(), one->data().end());
            i = next;
        }
        ASSERT_EQ(starts.size(), static_cast<std::size_t>(c.characters));
        for (int segments = 2; segments <= c.characters + 1; ++segments) {
            SCOPED_TRACE(std::string(c.charset) + ", " + std::to_string(segments) + " symbols");
            const auto series = encodeSeries(std::string_view(c.text), {.charset = c.charset},
                                             {.segments = segments});
            if (segments > c.characters) {
                ASSERT_FALSE(series);
                EXPECT_EQ(series.error().code, ErrorCode::seriesTooShort);
                continue;
            }
            ASSERT_TRUE(series) << series.error().message;
            ASSERT_EQ(series->size(), static_cast<std::size_t>(segments));
            std::string joined;
            for (const Symbol& symbol : *series) {
                EXPECT_TRUE(starts.contains(joined.size())) << "a cut inside a character";
                ASSERT_FALSE(symbol.data().empty());
                joined.append(symbol.data().begin(), symbol.data().end());
            }
            EXPECT_EQ(joined, whole);
        }
    }
}

TEST_F(SeriesFiles, AThirdFileInTheWayLeavesTheOlderSeriesByteForByte) {
    const auto series = encodeSeries(bytesOf(std::string(400, 'q')), {}, {.segments = 4});
    ASSERT_TRUE(series) << series.error().message;
    struct Case {
        const char* what;
        std::function<void()> inTheWay;
        ErrorCode code;
    };
    const Case cases[] = {
        {"read-only",
         [&] {
             write("s-03.png", "older 3");
             ASSERT_EQ(chmod(path("s-03.png").c_str(), 0444), 0);
         },
         ErrorCode::readOnly},
        {"a folder", [&] { fs::create_directory(path("s-03.png")); }, ErrorCode::writeFailed},
        {"a link to a full device", [&] { fs::create_symlink("/dev/full", path("s-03.png")); },
         ErrorCode::writeFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& entry : fs::directory_iterator(folder_)) fs::remove_all(entry.path());
        write("s-01.png", "older 1");
        write("s-02.png", "older 2");
        write("s-04.png", "older 4");
        c.inTheWay();
        const auto before = contents();
        const auto written = saveAll(*series, path("s.png"), {}, {});
        ASSERT_FALSE(written);
        EXPECT_EQ(written.error().code, c.code);
        EXPECT_EQ(written.error().path, path("s-03.png"));
        EXPECT_EQ(written.error().symbol, 2);
        EXPECT_EQ(contents(), before);
    }
}

TEST_F(SeriesFiles, ASeriesReplacesEveryFileAndLeavesNothingElse) {
    const auto series = encodeSeries(bytesOf(std::string(400, 'q')), {}, {.segments = 3});
    ASSERT_TRUE(series);
    write("s-02.png", "older 2");
    const auto written = saveAll(*series, path("s.png"), {}, {});
    ASSERT_TRUE(written) << written.error().message;
    EXPECT_EQ(*written, seriesFileNames(path("s.png"), 3));
    const auto files = contents();
    ASSERT_EQ(files.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto png = render((*series)[i], Format::png, {});
        ASSERT_TRUE(png);
        EXPECT_EQ(files.at("s-0" + std::to_string(i + 1) + ".png"),
                  std::string(png->begin(), png->end()));
    }
}

// A descriptor takes one stream: a series to it is refused before anything
// is written, whichever way the path names it.
TEST_F(SeriesFiles, ASeriesToAnOpenDescriptorIsRefused) {
    const auto series = encodeSeries(bytesOf(std::string(400, 'q')), {}, {.segments = 2});
    ASSERT_TRUE(series);
    for (const char* target : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/2", "/dev/fd/%d"}) {
        SCOPED_TRACE(target);
        const auto written = saveAll(*series, target, {}, {});
        ASSERT_FALSE(written);
        EXPECT_EQ(written.error().code, ErrorCode::conflictingOptions);
        EXPECT_EQ(written.error().field, "path");
        EXPECT_EQ(written.error().given, target);
        EXPECT_FALSE(fs::exists(std::string(target) + "-01"));
    }
}

}  // namespace
}  // namespace barquill
