// SPDX-License-Identifier: MIT
// A batch list becomes numbered items and names inside the output folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "cli/batch_input.h"

namespace barquill::cli {
namespace {

using namespace std::string_literals;

// The text of a line is the whole line; only with names does a tab split
// off a name. Blank lines are skipped but keep their numbers.
TEST(BatchLists, SplitIntoNumberedItemsWithOptionalOutputNames) {
    struct Item {
        int line;
        std::string data, name;
        bool tooLong = false;
    };
    struct Case {
        std::string input;
        BatchListFormat format;
        std::vector<Item> items;
        std::size_t limit = 100;
    };
    const BatchListFormat lines{false, false}, names{false, true}, nul{true, false};
    const Case cases[] = {
        {"one\ntwo\n", lines, {{1, "one", ""}, {2, "two", ""}}},
        {"one\ntwo", lines, {{1, "one", ""}, {2, "two", ""}}},
        {"one\r\n\n \t\r\n\r\n\t\nsix\r\n", lines, {{1, "one", ""}, {6, "six", ""}}},
        {"data\tout.png\n../x\t/etc/passwd\n",
         lines,
         {{1, "data\tout.png", ""}, {2, "../x\t/etc/passwd", ""}}},
        {"data\tout.png\nmore\twith tab\tb.gif\nunnamed\n\t\n",
         names,
         {{1, "data", "out.png"}, {2, "more\twith tab", "b.gif"}, {3, "unnamed", ""}}},
        {"", lines, {}},
        {"a\nb\tc\r\0x\0\0 \0"s, nul, {{1, "a\nb\tc\r", ""}, {2, "x", ""}, {4, " ", ""}}},
        {"\0\0"s, nul, {}},
        // Over the limit of 8 bytes: refused by number, the rest still read.
        {"12345678\n123456789\r\n" + std::string(200000, 'z') + "\nlast",
         lines,
         {{1, "12345678", ""}, {2, "", "", true}, {3, "", "", true}, {4, "last", ""}},
         8},
        {"12345678\r\n", lines, {{1, "12345678", ""}}, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 40));
        const std::vector<BatchItem> items = splitBatch(c.input, c.format, c.limit);
        ASSERT_EQ(items.size(), c.items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].line, c.items[i].line);
            EXPECT_EQ(items[i].data, c.items[i].data);
            EXPECT_EQ(items[i].outputName, c.items[i].name);
            EXPECT_EQ(items[i].tooLong, c.items[i].tooLong);
        }
    }
}

// An endless list (a device such as /dev/zero) is read in bounded memory:
// its one endless item is refused, and a read error ends the list.
TEST(BatchLists, AnEndlessListIsReadInBoundedMemory) {
    std::size_t served = 0;
    BatchSplitter splitter(
        [&](char* buffer, std::size_t size) -> long {
            if (served >= (std::size_t{64} << 20)) {
                errno = EIO;
                return -1;
            }
            std::memset(buffer, 0, size);
            served += size;
            return static_cast<long>(size);
        },
        {false, false}, 1 << 20);
    BatchItem item;
    EXPECT_EQ(splitter.next(&item), ListStatus::readError);
    EXPECT_GE(served, std::size_t{64} << 20);
}

TEST(BatchLists, GivenNamesStayInsideTheOutputFolder) {
    struct Case {
        std::string name;
        NameProblem problem;
    };
    const Case cases[] = {
        {"a.png", NameProblem::none},
        {"sub/dir/a.png", NameProblem::none},
        {"./a..png", NameProblem::none},
        {"..a/b", NameProblem::none},
        {"", NameProblem::empty},
        {"/etc/x", NameProblem::absolute},
        {"..", NameProblem::parentFolder},
        {"../x", NameProblem::parentFolder},
        {"a/../../x", NameProblem::parentFolder},
        {"a/..", NameProblem::parentFolder},
        {"a\0b"s, NameProblem::controlByte},
        {"a\x1b[2Jb", NameProblem::controlByte},
        {"a\rb", NameProblem::controlByte},
        {"a\x7f", NameProblem::controlByte},
        {"caf\xc3\xa9.png", NameProblem::none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(checkOutputName(c.name), c.problem);
    }
}

}  // namespace
}  // namespace barquill::cli
