// SPDX-License-Identifier: MIT
// The installed manual page and bash completion against the built tool's
// --help and the library's list of formats.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "barquill/barquill.hpp"
#include "tests/cli/process.h"

namespace barquill::testing {
namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The man page's text as a reader sees it: hyphens unescaped, no fonts.
std::string manText() {
    std::string text = readText(BARQUILL_MAN_PAGE);
    EXPECT_FALSE(text.empty()) << BARQUILL_MAN_PAGE;
    text = std::regex_replace(text, std::regex(R"(\\f[BIR])"), "");
    return std::regex_replace(text, std::regex(R"(\\-)"), "-");
}

std::set<std::string> matches(const std::string& text, const std::regex& pattern) {
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it)
        found.insert(it->str(1));
    return found;
}

// Every long option named anywhere in a text.
std::set<std::string> longOptions(const std::string& text) {
    return matches(text, std::regex(R"((--[a-z][a-z0-9-]*[a-z0-9]))"));
}

// The long options the help lists, one a line (not those of examples).
std::set<std::string> listedOptions(const std::string& help) {
    return matches(help, std::regex(R"(\n  (?:-[a-z],)?(--[a-z][a-z0-9-]*[a-z0-9]))"));
}

TEST(ReferencePages, NameEveryLongOptionOfTheHelpAndNoOther) {
    const ProcessResult help = runProcess(BARQUILL_EXECUTABLE, {"--help"});
    ASSERT_EQ(help.exitStatus, 0);
    const std::set<std::string> helpOptions = listedOptions(help.out);
    ASSERT_TRUE(helpOptions.count("--batch") && helpOptions.count("--xdim"));
    // The man page's examples may call the service; the completion offers
    // the tool's own options and nothing more.
    const struct {
        const char* name;
        std::string text;
        bool onlyThose;
    } pages[] = {{"man page", manText(), false},
                 {"completion", readText(BARQUILL_COMPLETION), true}};
    for (const auto& page : pages) {
        const std::set<std::string> pageOptions = longOptions(page.text);
        for (const std::string& option : helpOptions)
            EXPECT_TRUE(pageOptions.count(option)) << page.name << " lacks " << option;
        for (const std::string& option : pageOptions)
            EXPECT_TRUE(!page.onlyThose || helpOptions.count(option))
                << page.name << " has " << option;
    }
}

class Completion : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/barquill-completion-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    // What bash offers for the last word of `words`, as it would at a TAB.
    std::set<std::string> offered(const std::vector<std::string>& words) {
        std::string line = "barquill";
        for (const std::string& word : words) line += " '" + word + "'";
        const std::string script = "shopt -s extglob; source '" + std::string(BARQUILL_COMPLETION) +
                                   "'; COMP_WORDS=(" + line +
                                   "); COMP_CWORD=" + std::to_string(words.size()) +
                                   "; _barquill; printf '%s\\n' \"${COMPREPLY[@]}\"";
        const ProcessResult result = runProcess("/bin/bash", {"-c", script}, "", directory_);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        std::set<std::string> words_;
        std::istringstream lines(result.out);
        for (std::string word; std::getline(lines, word);)
            if (!word.empty()) words_.insert(word);
        return words_;
    }

    std::string directory_;
};

TEST_F(Completion, OffersTheLibrarysFormatsAndExtensions) {
    std::set<std::string> files, names;
    for (const FormatInfo& info : formats()) {
        files.insert("label" + std::string(info.extension));
        names.emplace(info.name);
    }
    for (const std::string& file : files) std::ofstream(directory_ + "/" + file) << "x";
    std::ofstream(directory_ + "/notes.txt") << "x";
    std::filesystem::create_directory(directory_ + "/labels");

    std::set<std::string> outputs = files;
    outputs.insert("labels");
    const struct {
        std::vector<std::string> words;
        std::set<std::string> expected;
    } cases[] = {
        {{"-o", ""}, outputs},     {{"--output", "lab"}, outputs},
        {{"--format", ""}, names}, {{"--batch", "notes"}, {"notes.txt"}},
        {{"ser"}, {"serve"}},      {{"--no-v"}, {"--no-verify"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.front());
        EXPECT_EQ(offered(c.words), c.expected);
    }
}

}  // namespace
}  // namespace barquill::testing
