// SPDX-License-Identifier: MIT
// One bad request, one answer: each request of the table goes to encode()
// (or encodeSeries()), to makeLabel(), to the C interface and to the
// command line as a process, and each face refuses it with the same error
// code naming the same field. The C interface has no series: it is asked
// the same rule of its one Macro symbol, whose fields are "macro." ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "barquill/barquill.h"
#include "barquill/barquill.hpp"
#include "tests/cli/process.h"

namespace barquill {
namespace {

const std::string DATA = "LOT 4711";

struct Case {
    const char* name;
    // The request in the library's fields.
    double aspect = 0;
    int rows = 0;
    bool series = false;
    int segments = 0;
    std::vector<int> fileId{};
    std::string fileName{};
    // The same request on the command line.
    std::vector<std::string> arguments;
    ErrorCode code;
    std::string field;
    bool inC = true;  // the C interface can ask it
};

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

const std::vector<Case>& cases() {
    static const std::vector<Case> table = {
        {.name = "aspect above the largest",
         .aspect = 1000,
         .arguments = {"--aspect", "1000"},
         .code = ErrorCode::invalidOption,
         .field = "aspect"},
        {.name = "aspect below the smallest",
         .aspect = 0.001,
         .arguments = {"--aspect", "1:1000"},
         .code = ErrorCode::invalidOption,
         .field = "aspect"},
        {.name = "aspect with rows",
         .aspect = 3,
         .rows = 10,
         .arguments = {"--aspect", "3", "--rows", "10"},
         .code = ErrorCode::conflictingOptions,
         .field = "aspect"},
        {.name = "Macro text not printable",
         .series = true,
         .fileName = "line\tbreak",
         .arguments = {"--macro", "--file-name", "line\tbreak"},
         .code = ErrorCode::invalidOption,
         .field = "series.fileName"},
        {.name = "Macro text too long",
         .series = true,
         .fileName = std::string(maxMacroText + 1, 'x'),
         .arguments = {"--macro", "--file-name", std::string(maxMacroText + 1, 'x')},
         .code = ErrorCode::invalidOption,
         .field = "series.fileName"},
        {.name = "file ID codeword above 899",
         .series = true,
         .fileId = {1, 900},
         .arguments = {"--macro", "--file-id", "001900"},
         .code = ErrorCode::invalidOption,
         .field = "series.fileId"},
        {.name = "file ID too long",
         .series = true,
         .fileId = std::vector<int>(maxFileIdCodewords + 1, 1),
         .arguments = {"--macro", "--file-id", repeated("001", maxFileIdCodewords + 1)},
         .code = ErrorCode::invalidOption,
         .field = "series.fileId"},
        {.name = "segment count above the largest",
         .series = true,
         .segments = maxSegments + 1,
         .arguments = {"--segments", std::to_string(maxSegments + 1)},
         .code = ErrorCode::invalidOption,
         .field = "series.segments",
         .inC = false},
    };
    return table;
}

Options optionsOf(const Case& c) {
    Options options;
    options.aspect = c.aspect;
    options.rows = c.rows;
    return options;
}

Series seriesOf(const Case& c) {
    Series series;
    series.segments = c.segments;
    series.fileId = c.fileId;
    series.fileName = c.fileName;
    return series;
}

TEST(OneAnswer, EncodeGivesTheCodeAndField) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const Error error = c.series ? encodeSeries(DATA, optionsOf(c), seriesOf(c)).error()
                                     : encode(DATA, optionsOf(c)).error();
        EXPECT_EQ(error.code, c.code) << error.message;
        EXPECT_EQ(error.field, c.field) << error.message;
    }
}

TEST(OneAnswer, MakeLabelGivesTheCodeAndField) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        Settings settings;
        settings.options = optionsOf(c);
        settings.split = c.series;
        settings.series = seriesOf(c);
        const Result<Label> label = makeLabel(DATA, settings);
        ASSERT_FALSE(label);
        EXPECT_EQ(label.error().code, c.code) << label.error().message;
        EXPECT_EQ(label.error().field, c.field) << label.error().message;
    }
}

// The series' rule asked of the one Macro symbol C can make.
TEST(OneAnswer, TheCInterfaceGivesTheCodeAndField) {
    for (const Case& c : cases()) {
        if (!c.inC) continue;
        SCOPED_TRACE(c.name);
        barquill_options options;
        barquill_options_init(&options);
        options.aspect = c.aspect;
        options.rows = c.rows;
        std::vector<std::int32_t> fileId(c.fileId.begin(), c.fileId.end());
        if (c.series) {
            options.macro = 1;
            if (fileId.empty()) fileId = {1};
            options.macro_file_id = fileId.data();
            options.macro_file_id_count = fileId.size();
            options.macro_file_name = c.fileName.c_str();
        }
        barquill_symbol* symbol = nullptr;
        barquill_error error;
        const barquill_status status =
            barquill_encode(DATA.data(), DATA.size(), &options, &symbol, &error);
        EXPECT_EQ(symbol, nullptr);
        EXPECT_EQ(static_cast<int>(status), static_cast<int>(c.code));
        EXPECT_EQ(static_cast<int>(error.code), static_cast<int>(c.code));
        std::string field = c.field;
        if (field.starts_with("series.")) field.replace(0, 6, "macro");
        EXPECT_EQ(std::string(error.field), field) << error.message;
    }
}

// The command line answers in its exit status (1 for a bad request, as for
// every option error) and names the option of the field.
TEST(OneAnswer, TheCommandLineGivesTheStatusAndNamesTheOption) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        std::string option;
        for (const SettingInfo& info : settingTable())
            if (info.field == c.field) option = "--" + std::string(info.name);
        ASSERT_FALSE(option.empty()) << "no option sets " << c.field;
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"-o", "never-written.png", DATA});
        const auto run = testing::runProcess(BARQUILL_EXECUTABLE, arguments);
        EXPECT_EQ(run.exitStatus, 1) << run.err;
        EXPECT_NE(run.err.find(option), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_FALSE(std::filesystem::exists("never-written.png"));
        std::filesystem::remove("never-written.png");
    }
}

}  // namespace
}  // namespace barquill
