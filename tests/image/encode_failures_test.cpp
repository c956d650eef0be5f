// SPDX-License-Identifier: MIT
// Every failure of the encoders returns false and leaves its text in the
// picture's last-error buffer.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "image/byte_stream.h"
#include "image/gif_writer.h"
#include "image/picture.h"
#include "image_fixtures.h"

using namespace barquill::image;

namespace {

using image_test::FailingStream;

TEST(EncodeFailures, RefusedRequestsCarryTheirTexts) {
    struct Case {
        const char* what;
        std::function<bool(Picture&)> attempt;
        const char* text;
    };
    const Case cases[] = {
        {"empty BMP",
         [](Picture& p) {
             p.Destroy();
             MemoryStream s;
             s.Open();
             return p.Encode(&s, IMAGE_FORMAT_BMP);
         },
         "null image!!!"},
        {"empty GIF",
         [](Picture& p) {
             p.Destroy();
             MemoryStream s;
             s.Open();
             return p.Encode(&s, IMAGE_FORMAT_GIF);
         },
         "null image!!!"},
        {"empty PNG",
         [](Picture& p) {
             p.Destroy();
             MemoryStream s;
             s.Open();
             return p.Encode(&s, IMAGE_FORMAT_PNG);
         },
         "null image!!!"},
        {"no stream BMP",
         [](Picture& p) { return p.Encode(static_cast<ByteStream*>(nullptr), IMAGE_FORMAT_BMP); },
         "null file handler"},
        {"no stream GIF",
         [](Picture& p) { return p.Encode(static_cast<ByteStream*>(nullptr), IMAGE_FORMAT_GIF); },
         "null file handler"},
        {"no FILE PNG",
         [](Picture& p) { return p.Encode(static_cast<std::FILE*>(nullptr), IMAGE_FORMAT_PNG); },
         "null file handler"},
        {"no stream RGBA",
         [](Picture& p) { return p.Encode2RGBA(static_cast<ByteStream*>(nullptr)); },
         "null file handler"},
        {"format 0",
         [](Picture& p) {
             MemoryStream s;
             s.Open();
             return p.Encode(&s, IMAGE_FORMAT_UNKNOWN);
         },
         "Encode: Unknown format"},
        {"format 7",
         [](Picture& p) {
             MemoryStream s;
             s.Open();
             return p.Encode(&s, 7);
         },
         "Encode: Unknown format"},
        {"buffer in use",
         [](Picture& p) {
             std::uint8_t byte = 0;
             std::uint8_t* buffer = &byte;
             std::int32_t size = 0;
             return p.Encode(buffer, size, IMAGE_FORMAT_BMP);
         },
         "the buffer must be empty"},
        {"several BMP",
         [](Picture& p) {
             Picture* frames[] = {&p};
             MemoryStream s;
             s.Open();
             return p.Encode(&s, frames, 1, IMAGE_FORMAT_BMP);
         },
         "Multipage Encode, Unsupported operation for this format"},
        {"several PNG",
         [](Picture& p) {
             Picture* frames[] = {&p};
             MemoryStream s;
             s.Open();
             return p.Encode(&s, frames, 1, IMAGE_FORMAT_PNG);
         },
         "Multipage Encode, Unsupported operation for this format"},
        {"GIF too wide",
         [](Picture& p) {
             p.Create(65536, 1, 1, 0);
             MemoryStream s;
             s.Open();
             return p.Encode(&s, IMAGE_FORMAT_GIF);
         },
         "GIF: image size or position exceeds 65535"},
        {"GIF placed off the screen",
         [](Picture& p) {
             p.SetOffset(-1, 0);
             MemoryStream s;
             s.Open();
             return p.Encode(&s, IMAGE_FORMAT_GIF);
         },
         "GIF: image size or position exceeds 65535"},
    };
    for (const Case& c : cases) {
        Picture picture = image_test::letterF(8, 9, 9);
        EXPECT_FALSE(c.attempt(picture)) << c.what;
        EXPECT_STREQ(picture.GetLastError(), c.text) << c.what;
    }
}

TEST(EncodeFailures, AnimationFramesAreCheckedBeforeAnythingIsWritten) {
    Picture good = image_test::letterF(8, 9, 9);
    Picture empty;
    Picture truecolour = image_test::letterF(24, 9, 9);
    struct Case {
        bool withStream;
        std::vector<Picture*> frames;
        std::int32_t count;
        const char* text;
    };
    const Case cases[] = {
        {false, {&good}, 1, "invalid file pointer"},
        {true, {}, 0, "multipage GIF, no images!"},
        {true, {&good}, 0, "multipage GIF, no images!"},
        {true, {nullptr, &good}, 2, "multipage GIF, no images!"},
        {true, {&good, nullptr}, 2, "Bad image pointer"},
        {true, {&good, &empty}, 2, "multipage GIF, empty image!"},
        {true, {&good, &truecolour}, 2, "multipage GIF, image without palette!"},
    };
    for (const Case& c : cases) {
        MemoryStream stream;
        stream.Open();
        PictureGIF gif;
        Picture** frames = c.frames.empty() ? nullptr : const_cast<Picture**>(c.frames.data());
        EXPECT_FALSE(gif.Encode(c.withStream ? &stream : nullptr, frames, c.count)) << c.text;
        EXPECT_STREQ(gif.GetLastError(), c.text);
        EXPECT_EQ(stream.Size(), 0) << c.text;
    }
    // Through the picture, the codec's text is carried back.
    Picture* frames[] = {&good, &empty};
    MemoryStream stream;
    stream.Open();
    EXPECT_FALSE(good.Encode(&stream, frames, 2, IMAGE_FORMAT_GIF));
    EXPECT_STREQ(good.GetLastError(), "multipage GIF, empty image!");
}

TEST(EncodeFailures, StreamsThatFailAreNeverReportedAsSuccess) {
    struct Case {
        std::uint32_t bpp, type, gifCompressor;
        const char* text;
    };
    const Case cases[] = {
        {24, IMAGE_FORMAT_BMP, 0, "Write Error in BMP file"},
        {8, IMAGE_FORMAT_PNG, 0, "Error saving PNG file"},
        {24, IMAGE_FORMAT_PNG, 0, "Error saving PNG file"},
        {8, IMAGE_FORMAT_GIF, 0, "Write Error in GIF file"},
        {8, IMAGE_FORMAT_GIF, 1, "Write Error in GIF file"},
        {8, IMAGE_FORMAT_GIF, 2, "Write Error in GIF file"},
        {24, IMAGE_FORMAT_GIF, 0, "Write Error in GIF file"},
        {24, IMAGE_FORMAT_GIF, 2, "Write Error in GIF file"},
    };
    for (FailingStream::Mode mode :
         {FailingStream::Mode::ShortWrites, FailingStream::Mode::ErrorState}) {
        for (const Case& c : cases) {
            for (std::size_t limit : {std::size_t{0}, std::size_t{20}, std::size_t{900}}) {
                SCOPED_TRACE(std::string(c.text) + ", compressor " +
                             std::to_string(c.gifCompressor) + ", limit " + std::to_string(limit) +
                             (mode == FailingStream::Mode::ShortWrites ? ", short writes"
                                                                       : ", error state"));
                Picture picture = image_test::randomPicture(c.bpp, 60, 40, 8);
                picture.SetCodecOption(c.gifCompressor, IMAGE_FORMAT_GIF);
                FailingStream stream(limit, mode);
                EXPECT_FALSE(picture.Encode(&stream, c.type));
                EXPECT_STREQ(picture.GetLastError(), c.text);
            }
        }
    }
}

}  // namespace
