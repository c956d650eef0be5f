// SPDX-License-Identifier: MIT
#include "service/page.h"

#include <array>

namespace barquill::service {

namespace files {
// Generated from page/ at build time.
extern const std::string_view page_index_html;
extern const std::string_view page_style_css;
extern const std::string_view page_app_js;
}  // namespace files

const PageFile* findPageFile(std::string_view path) {
    static const std::array pageFiles{
        PageFile{"/", "text/html; charset=utf-8", files::page_index_html},
        PageFile{"/style.css", "text/css; charset=utf-8", files::page_style_css},
        PageFile{"/app.js", "text/javascript; charset=utf-8", files::page_app_js},
    };
    for (const PageFile& file : pageFiles)
        if (file.path == path) return &file;
    return nullptr;
}

}  // namespace barquill::service
