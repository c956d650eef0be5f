// SPDX-License-Identifier: MIT
#include "image/byte_stream.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace barquill::image;

namespace {

// Shows the growth state the stream keeps to itself.
class InspectedMemoryStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    std::int32_t capacityNow() const { return capacity; }
};

TEST(MemoryStream, GrowsInStepsOf4096) {
    struct Case {
        std::vector<std::size_t> writes;
        std::int32_t capacity, size;
    };
    const Case cases[] = {
        {{14}, 4096, 14},
        {{14, 4082}, 4096, 4096},  // ending exactly at the capacity does not grow
        {{14, 4083}, 8192, 4097},
        {{8192}, 12288, 8192},  // a multiple of 4096 gets one more step
        {{1, 1, 1}, 4096, 3},
    };
    const std::vector<std::uint8_t> data(9000, 0x5A);
    for (const Case& c : cases) {
        InspectedMemoryStream stream;
        ASSERT_TRUE(stream.Open());
        EXPECT_EQ(stream.capacityNow(), 0);
        for (std::size_t bytes : c.writes) EXPECT_EQ(stream.Write(data.data(), 1, bytes), bytes);
        EXPECT_EQ(stream.capacityNow(), c.capacity);
        EXPECT_EQ(stream.Size(), c.size);
        EXPECT_EQ(stream.Tell(), c.size);
    }
}

TEST(MemoryStream, CountsWholeItemsLikeStdio) {
    MemoryStream stream;
    ASSERT_TRUE(stream.Open());
    const char text[] = "abcdefghijkl";
    EXPECT_EQ(stream.Write(text, 4, 3), 3u);
    EXPECT_EQ(stream.Tell(), 12);
    EXPECT_EQ(stream.Write(text, 0, 3), 0u);
    EXPECT_EQ(stream.Write(nullptr, 1, 3), 0u);

    ASSERT_TRUE(stream.Seek(2, SEEK_SET));
    char target[12] = {};
    EXPECT_EQ(stream.Read(target, 4, 3), 2u);  // 10 bytes left: two whole items
    EXPECT_EQ(std::memcmp(target, "cdefghijkl", 10), 0);
    EXPECT_EQ(stream.Tell(), 12);
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(stream.GetC(), -1);
    EXPECT_EQ(stream.Tell(), 12);

    EXPECT_TRUE(stream.Seek(-5, SEEK_SET));
    EXPECT_EQ(stream.Tell(), 0);
    EXPECT_EQ(stream.GetC(), 'a');
    EXPECT_TRUE(stream.Seek(-2, SEEK_END));
    EXPECT_EQ(stream.GetC(), 'k');
    EXPECT_TRUE(stream.Seek(-3, SEEK_CUR));
    EXPECT_EQ(stream.GetC(), 'i');
    EXPECT_FALSE(stream.Seek(0, 7));
    EXPECT_EQ(stream.Tell(), 9);
    EXPECT_FALSE(stream.Seek(0x7FFFFFFF, SEEK_END));  // beyond 32-bit positions
    EXPECT_TRUE(stream.Flush());
    EXPECT_EQ(stream.Error(), 0);
}

TEST(MemoryStream, WritingPastTheEndZeroFillsTheGap) {
    // A caller's buffer full of stale bytes, attached with no valid data:
    // growth keeps the stale bytes in place, so the gap must be cleared.
    for (bool usePutC : {false, true}) {
        auto* stale = static_cast<std::uint8_t*>(std::malloc(4096));
        std::memset(stale, 0xEE, 4096);
        MemoryStream stream(stale, 0);
        ASSERT_TRUE(stream.Seek(100, SEEK_SET));
        EXPECT_EQ(stream.Error(), 1);  // positioned past the data
        if (usePutC) {
            EXPECT_TRUE(stream.PutC('x'));
        } else {
            EXPECT_EQ(stream.Write("x", 1, 1), 1u);
        }
        EXPECT_EQ(stream.Size(), 101);
        EXPECT_EQ(stream.Error(), 0);
        const std::uint8_t* data = stream.GetBuffer(false);
        EXPECT_EQ(std::vector<std::uint8_t>(data, data + 100), std::vector<std::uint8_t>(100, 0))
            << usePutC;
        EXPECT_EQ(data[100], 'x');
    }
}

TEST(MemoryStream, ClosedStreamReportsItsFallbacks) {
    MemoryStream stream;
    std::uint8_t byte = 1;
    EXPECT_EQ(stream.Write(&byte, 1, 1), 0u);
    EXPECT_EQ(stream.Read(&byte, 1, 1), 0u);
    EXPECT_FALSE(stream.PutC(1));
    EXPECT_FALSE(stream.Seek(0, SEEK_SET));
    EXPECT_EQ(stream.Tell(), -1);
    EXPECT_EQ(stream.Size(), -1);
    EXPECT_EQ(stream.Error(), -1);
    EXPECT_FALSE(stream.Flush());
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(stream.GetC(), -1);
    EXPECT_TRUE(stream.Close());
}

TEST(MemoryStream, DetachedBufferOutlivesTheStream) {
    std::uint8_t* buffer = nullptr;
    {
        MemoryStream stream;
        ASSERT_TRUE(stream.Open());
        EXPECT_FALSE(stream.Open());  // already has a buffer
        stream.Write("barcode", 1, 7);
        buffer = stream.GetBuffer(true);
    }
    EXPECT_EQ(std::memcmp(buffer, "barcode", 7), 0);
    std::free(buffer);
}

TEST(FileStream, BorrowedFileStaysOpenAndOwnedFileCloses) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        FileStream stream(file);
        EXPECT_TRUE(stream.PutC('a'));
        EXPECT_EQ(stream.Write("bcd", 1, 3), 3u);
        EXPECT_EQ(stream.Tell(), 4);
        EXPECT_EQ(stream.Size(), 4);
        EXPECT_EQ(stream.Tell(), 4);  // Size restores the position
        EXPECT_TRUE(stream.Close());
        EXPECT_FALSE(stream.Open("unused", "rb"));  // a borrowed stream stays attached
    }
    EXPECT_EQ(std::fputc('e', file), 'e');  // still open
    std::rewind(file);
    FileStream reader(file);
    char text[5] = {};
    EXPECT_EQ(reader.Read(text, 1, 5), 5u);
    EXPECT_STREQ(std::string(text, 5).c_str(), "abcde");
    EXPECT_EQ(reader.GetC(), -1);
    EXPECT_TRUE(reader.Eof());
    std::fclose(file);

    FileStream empty;
    EXPECT_EQ(empty.Tell(), 0);
    EXPECT_EQ(empty.Size(), -1);
    EXPECT_EQ(empty.Error(), -1);
    EXPECT_TRUE(empty.Eof());
    EXPECT_FALSE(empty.PutC('x'));
    EXPECT_FALSE(empty.Open("no-such-folder/no-such-file", "rb"));
    EXPECT_TRUE(empty.Close());
}

TEST(ByteStream, PutCFailsWhenWriteWritesNothing) {
    class RefusingStream : public MemoryStream {
    public:
        std::size_t Write(const void*, std::size_t, std::size_t) override { return 0; }
        bool PutC(std::uint8_t byte) override { return ByteStream::PutC(byte); }
    };
    RefusingStream stream;
    stream.Open();
    EXPECT_FALSE(stream.PutC('x'));
}

}  // namespace
