// SPDX-License-Identifier: MIT
// Verification of what is written: every format verifies as it is made,
// and a file spoiled between its writer and the disk is refused with
// nothing left at the target.
#include "lib/written_check.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "barquill/barquill.hpp"

namespace barquill {
namespace {

Symbol symbolOf(const std::string& text) {
    auto symbol = encode(std::string_view(text));
    EXPECT_TRUE(symbol.ok());
    return std::move(symbol).value();
}

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Folder {
public:
    Folder() {
        path_ = std::filesystem::temp_directory_path() /
                ("barquill-written-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    std::filesystem::path path_;
};

// PDF and EPS carry the second they were made in: two makings of one
// document may straddle a second.
Bytes withoutCreationDate(Bytes document) {
    const std::string_view key = "CreationDate";
    auto at = std::search(document.begin(), document.end(), key.begin(), key.end());
    if (at == document.end()) return document;
    const auto end =
        std::find_if(at, document.end(), [](std::uint8_t c) { return c == '\n' || c == ')'; });
    document.erase(at, end);
    return document;
}

// A faithful file of each format verifies, and verifying changes nothing.
TEST(WrittenCheck, EveryFormatVerifiesAsRenderWritesIt) {
    const Symbol symbol = symbolOf("LOT 4711, best before 2027-03");
    Render coloured;
    coloured.bar = {0x33, 0x22, 0x66};
    coloured.space = {0xFF, 0xFF, 0xEE};
    Render wide;
    wide.moduleWidth = 9;  // bars that cross byte boundaries unevenly
    wide.rowHeight = 3;
    wide.quietZone = 3;
    wide.dpi = 600;  // a receipt printer as wide as these dots: 80 mm paper at 600 dpi
    Render printed;
    printed.dpi = 300;
    Render native;
    native.printerEncodes = true;
    for (const FormatInfo& info : formats())
        for (const Render& render : {Render{}, coloured, wide, printed, native}) {
            SCOPED_TRACE(std::string(info.name) + " module width " +
                         std::to_string(render.moduleWidth));
            auto verified = renderVerified(symbol, info.format, render);
            if (!verified && info.format == Format::pdf) continue;  // no vector module here
            ASSERT_TRUE(verified.ok()) << verified.error().message;
            auto plain = barquill::render(symbol, info.format, render);
            ASSERT_TRUE(plain.ok());
            EXPECT_EQ(withoutCreationDate(*verified), withoutCreationDate(*plain));
        }
}

void setCrc(Bytes& png, std::size_t chunk) {
    const std::size_t length = static_cast<std::size_t>(png[chunk]) << 24 |
                               static_cast<std::size_t>(png[chunk + 1]) << 16 |
                               static_cast<std::size_t>(png[chunk + 2]) << 8 | png[chunk + 3];
    const uLong crc = crc32(0, png.data() + chunk + 4, static_cast<uInt>(length + 4));
    for (int i = 0; i < 4; ++i)
        png[chunk + 8 + length + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

std::size_t find(const Bytes& bytes, std::string_view what) {
    const auto at = std::search(bytes.begin(), bytes.end(), what.begin(), what.end());
    return at == bytes.end() ? 0 : static_cast<std::size_t>(at - bytes.begin());
}

// Each way a writer could spoil its file, as the hook spoils it after the
// writer and before the check.
struct Spoiling {
    const char* name;
    Format format;
    void (*spoil)(Format, Bytes&);
    const char* says;  // in the message
};

const Spoiling spoilings[] = {
    {"PNG bar colour one step off, checksum right", Format::png,
     [](Format, Bytes& png) {
         const std::size_t chunk = find(png, "PLTE") - 4;
         png[chunk + 8 + 5] ^= 1;  // the blue of palette entry 1, the bars
         setCrc(png, chunk);
     },
     "the PNG file as written differs from its picture at pixel"},
    {"PNG pixel data damaged", Format::png,
     [](Format, Bytes& png) { png[find(png, "IDAT") + 6] ^= 0x10; },
     "the PNG file as written cannot be read back"},
    {"PNG cut short", Format::png, [](Format, Bytes& png) { png.resize(png.size() - 20); },
     "the PNG file as written cannot be read back"},
    {"BMP one pixel of a bar cleared", Format::bmp,
     [](Format, Bytes& bmp) {
         const auto pixels = static_cast<std::size_t>(bmp[10] | bmp[11] << 8);
         const auto row = static_cast<std::size_t>(((bmp[18] | bmp[19] << 8) + 31) / 32 * 4);
         // The first pixel of the start pattern in the bottom symbol row:
         // 10 rows of quiet zone up, 10 pixels in.
         bmp[pixels + 10 * row + 1] ^= 0x20;
     },
     "the BMP file as written differs from its picture at pixel"},
    {"GIF background colour changed", Format::gif, [](Format, Bytes& gif) { gif[13] ^= 0x01; },
     "the GIF file as written differs from its picture at pixel (0, 0)"},
    {"GIF codes cut short", Format::gif, [](Format, Bytes& gif) { gif.resize(gif.size() / 2); },
     "the GIF file as written cannot be read back"},
    {"SVG bar drawn in the quiet zone", Format::svg,
     [](Format, Bytes& svg) {
         const std::size_t path = find(svg, " d=\"") + 4;
         const std::string extra = "M0 0h1v1h-1z";
         svg.insert(svg.begin() + static_cast<std::ptrdiff_t>(path), extra.begin(), extra.end());
     },
     "the SVG file as written is not the symbol's modules"},
    {"SVG first bar one pixel to the right", Format::svg,
     [](Format, Bytes& svg) { ++svg[find(svg, " d=\"M10 10h") + 6]; },
     "the SVG file as written is not the symbol's modules"},
    {"ZPL first row black", Format::zpl,
     [](Format, Bytes& zpl) {
         std::size_t at = find(zpl, "^GFA,");
         for (int commas = 0; commas < 4; ++at)
             if (zpl[at] == ',') ++commas;
         zpl[at] = '!';
     },
     "the ZPL file as written is not the symbol's modules"},
    {"ESC/POS dot set in the quiet zone", Format::escpos,
     [](Format, Bytes& escpos) { escpos[8] |= 0x80; },
     "the ESC/POS file as written is not the symbol's modules"},
};

TEST(WrittenCheck, ASpoiledFileIsRefusedAndNothingIsWritten) {
    Folder folder;
    Label label;
    label.symbols.push_back(symbolOf("LOT 4711"));
    for (const Spoiling& s : spoilings) {
        SCOPED_TRACE(s.name);
        const std::string name = std::string("label.") + std::string(formatInfo(s.format).name);
        const std::string target = folder / name;
        setWrittenFileHook(s.spoil);
        auto made = renderVerified(label.symbols.front(), s.format);
        auto saved = saveLabel(label, target);
        // A file that was there stays as it was.
        { std::ofstream(folder / "kept.png") << "an earlier label"; }
        auto replaced = saveLabel(label, folder / "kept.png",
                                  WriteOptions{.format = s.format, .replaceReadOnly = true});
        setWrittenFileHook(nullptr);
        ASSERT_FALSE(made.ok());
        EXPECT_EQ(made.error().code, ErrorCode::notVerified);
        EXPECT_EQ(made.error().mismatch, Mismatch::picture);
        EXPECT_NE(made.error().message.find(s.says), std::string::npos) << made.error().message;
        ASSERT_FALSE(saved.ok());
        EXPECT_EQ(saved.error().code, ErrorCode::notVerified);
        EXPECT_FALSE(replaced.ok());
        EXPECT_EQ(folder.names(), std::vector<std::string>{"kept.png"});
        EXPECT_EQ(contents(folder / "kept.png"), "an earlier label");
        // Unverified, the same label is written: the check is what refused it.
        EXPECT_TRUE(saveLabel(label, target, {}, Verification::off).ok());
        std::filesystem::remove(target);
    }
}

// One spoiled file of a series: none of the series is written.
TEST(WrittenCheck, ASeriesWithOneSpoiledFileIsNotWrittenAtAll) {
    Folder folder;
    Settings settings;
    settings.split = true;
    settings.series.segments = 3;
    auto label = makeLabel(std::string_view(std::string(300, 'm')), settings);
    ASSERT_TRUE(label.ok()) << label.error().message;
    static int made = 0;
    made = 0;
    setWrittenFileHook([](Format, Bytes& png) {
        if (++made == 2) png.resize(png.size() - 1);
    });
    auto saved = saveLabel(*label, folder / "series.png");
    setWrittenFileHook(nullptr);
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error().code, ErrorCode::notVerified);
    EXPECT_EQ(saved.error().symbol, 1);
    EXPECT_TRUE(folder.names().empty());
    EXPECT_TRUE(saveLabel(*label, folder / "series.png").ok());
    EXPECT_EQ(folder.names().size(), 3u);
}

}  // namespace
}  // namespace barquill
