// SPDX-License-Identifier: MIT
#include "service/page.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <string>
#include <utility>

#include "barquill/render.hpp"
#include "barquill/settings.hpp"

namespace barquill::service {

namespace files {
// Generated from page/ at build time.
extern const std::string_view page_index_html;
extern const std::string_view page_style_css;
extern const std::string_view page_app_js;
}  // namespace files

namespace {

std::string hexColour(Rgb colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

// The page's choices, ranges and defaults from the library's tables, so
// that the page offers what the API takes and starts where it starts.
std::vector<std::pair<std::string, std::string>> pageValues() {
    std::vector<std::pair<std::string, std::string>> values;
    if (const SettingInfo* level = findSetting("level")) {
        std::string options;
        for (long n = level->minimum; n <= level->maximum; ++n)
            options += "<option>" + std::to_string(n) + "</option>";
        values.emplace_back("level.options", options);
    }
    if (const SettingInfo* columns = findSetting("columns"))
        values.emplace_back("columns.range", std::to_string(columns->minimum) + " to " +
                                                 std::to_string(columns->maximum));
    if (const SettingInfo* margin = findSetting("margin"))
        values.emplace_back("margin.default", std::string(margin->defaultText));
    const Settings defaults;
    values.emplace_back("fg.default", hexColour(defaults.bar));
    values.emplace_back("bg.default", hexColour(defaults.space));
    // Pictures only: the preview and the download are files to look at.
    std::string formatOptions;
    for (const FormatInfo& info : formats()) {
        if (info.printer) continue;
        std::string caption(info.name);
        for (char& c : caption) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        formatOptions +=
            "<option value=\"" + std::string(info.name) + "\">" + caption + "</option>";
    }
    values.emplace_back("format.options", formatOptions);
    return values;
}

std::string filledIndex() {
    std::string page(files::page_index_html);
    for (const auto& [name, value] : pageValues()) {
        const std::string mark = "{{" + name + "}}";
        for (std::size_t at = page.find(mark); at != std::string::npos;
             at = page.find(mark, at + value.size()))
            page.replace(at, mark.size(), value);
    }
    return page;
}

}  // namespace

const PageFile* findPageFile(std::string_view path) {
    static const std::string index = filledIndex();
    static const std::array pageFiles{
        PageFile{"/", "text/html; charset=utf-8", index},
        PageFile{"/style.css", "text/css; charset=utf-8", files::page_style_css},
        PageFile{"/app.js", "text/javascript; charset=utf-8", files::page_app_js},
    };
    for (const PageFile& file : pageFiles)
        if (file.path == path) return &file;
    return nullptr;
}

}  // namespace barquill::service
