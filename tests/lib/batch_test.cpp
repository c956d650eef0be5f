// SPDX-License-Identifier: MIT
// encodeMany: on any number of threads, the same files as encode() and
// render() one by one, in the items' order, with each failure in its place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "barquill/barquill.hpp"
#include "tests/cli/image_files.h"
#include "tests/support/pdf417_reader.h"

namespace barquill {
namespace {

struct Item {
    std::string data;
    bool isText;
};

// Text, bytes with every kind of byte, a text that is not ASCII, and two
// that fail: empty data, and more than any symbol holds.
const std::vector<Item>& items() {
    static const std::vector<Item> all = [] {
        std::vector<Item> list;
        for (int i = 0; i < 40; ++i) list.push_back({"LOT " + std::to_string(4711 + i * 37), true});
        list.insert(list.begin() + 3, {std::string("\x00\xff\x1e\r\n", 5), false});
        list.insert(list.begin() + 7, {"Grüße, 東京", true});
        list.insert(list.begin() + 11, {"", true});
        list.insert(list.begin() + 17, {std::string(3000, '\xb5'), false});
        return list;
    }();
    return all;
}

Result<Bytes> alone(const Item& item, const Options& options, Format format, const Render& r) {
    auto symbol = item.isText
                      ? encode(std::string_view(item.data), options)
                      : encode(std::span(reinterpret_cast<const std::uint8_t*>(item.data.data()),
                                         item.data.size()),
                               options);
    if (!symbol) return symbol.error();
    return render(*symbol, format, r);
}

TEST(EncodeMany, GivesWhatEachItemGivesAloneInOrder) {
    std::vector<BatchData> data;
    for (const Item& item : items()) data.push_back({item.data, item.isText});
    struct Case {
        Format format;
        int threads;
    };
    const Options options{.level = 3};
    const Render render{.moduleWidth = 3, .rowHeight = 9};
    for (const Case c : {Case{Format::png, 0}, Case{Format::png, 1}, Case{Format::png, 2},
                         Case{Format::svg, 3}, Case{Format::gif, 64}}) {
        SCOPED_TRACE(std::to_string(c.threads) + " threads");
        const std::vector<Result<Bytes>> results =
            encodeMany(data, options, c.format, render, c.threads);
        ASSERT_EQ(results.size(), items().size());
        for (std::size_t i = 0; i < results.size(); ++i) {
            const Result<Bytes> expected = alone(items()[i], options, c.format, render);
            ASSERT_EQ(results[i].ok(), expected.ok()) << "item " << i;
            if (expected.ok())
                EXPECT_EQ(results[i].value(), expected.value()) << "item " << i;
            else
                EXPECT_EQ(results[i].error().code, expected.error().code) << "item " << i;
        }
    }
}

TEST(EncodeMany, EachFileReadsAsItsOwnItem) {
    std::vector<BatchData> data;
    for (const Item& item : items()) data.push_back({item.data, item.isText});
    const std::vector<Result<Bytes>> results = encodeMany(data, {}, Format::png, {}, 2);
    EXPECT_EQ(results[11].error().code, ErrorCode::emptyData);
    EXPECT_EQ(results[17].error().code, ErrorCode::dataTooLong);
    for (std::size_t i : {std::size_t{0}, std::size_t{3}, std::size_t{20}, results.size() - 1}) {
        const auto image = testing::readPng(std::string(results[i]->begin(), results[i]->end()));
        ASSERT_TRUE(image) << "item " << i;
        const auto read =
            testing::readPdf417Grey(image->grey.data(), image->width, image->height, image->width);
        ASSERT_TRUE(read) << "item " << i;
        EXPECT_EQ(std::string(read->begin(), read->end()), items()[i].data) << "item " << i;
    }
}

TEST(EncodeMany, NoItemsNoResults) {
    EXPECT_TRUE(encodeMany({}, {}, Format::png).empty());
}

// A request the batch cannot honour is refused for every item, never run
// with a count or a series it does not mean.
TEST(EncodeMany, RefusesNegativeThreadsAndASeriesPerItem) {
    const std::vector<BatchData> data{{"one"}, {"two"}};
    Settings series;
    series.split = true;
    struct Case {
        const char* name;
        std::vector<Result<Bytes>> results;
        const char* field;
    };
    const Case cases[] = {
        {"negative threads", encodeMany(data, Options{}, Format::png, {}, -1), "threads"},
        {"negative threads, settings", makeLabelFiles(data, Settings{}, Format::png, -3),
         "threads"},
        {"a series", makeLabelFiles(data, series, Format::png), "split"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.results.size(), data.size());
        for (const Result<Bytes>& result : c.results) {
            ASSERT_FALSE(result.ok());
            EXPECT_EQ(result.error().code, ErrorCode::invalidOption);
            EXPECT_EQ(result.error().field, c.field);
        }
    }
}

// The settings' batch gives each item the file makeLabel and render give it
// alone: escapes decoded, print sizing applied, read back when asked.
TEST(MakeLabelFiles, GivesWhatMakeLabelGivesEachItem) {
    Settings settings;
    for (const auto& [name, value] : {std::pair{"escapes", "true"}, std::pair{"xdim", "0.33"},
                                      std::pair{"dpi", "300"}, std::pair{"level", "3"}})
        ASSERT_FALSE(applySetting(settings, name, value)) << name;
    settings.verify = canVerify();
    std::vector<BatchData> data;
    for (const Item& item : items()) data.push_back({item.data, item.isText});
    data.push_back({"tab\\there"});
    data.push_back({"bad \\q escape"});
    const std::vector<Result<Bytes>> results = makeLabelFiles(data, settings, Format::png, 2);
    ASSERT_EQ(results.size(), data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        auto label =
            data[i].isText
                ? makeLabel(data[i].bytes, settings)
                : makeLabel(std::span(reinterpret_cast<const std::uint8_t*>(data[i].bytes.data()),
                                      data[i].bytes.size()),
                            settings);
        ASSERT_EQ(results[i].ok(), label.ok()) << "item " << i;
        if (!label) {
            EXPECT_EQ(results[i].error().code, label.error().code) << "item " << i;
            continue;
        }
        EXPECT_EQ(label->render.moduleWidth, 4);  // 0.33 mm at 300 dpi
        EXPECT_EQ(results[i].value(),
                  render(label->symbols.front(), Format::png, label->render).value())
            << "item " << i;
    }
    EXPECT_EQ(results[data.size() - 1].error().code, ErrorCode::invalidEscape);
}

}  // namespace
}  // namespace barquill
