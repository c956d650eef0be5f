// SPDX-License-Identifier: MIT
#pragma once
// The page at / and its style and script, served from the binary.

#include <string_view>

namespace barquill::service {

struct PageFile {
    std::string_view path;  // "/", "/style.css", "/app.js"
    std::string_view mediaType;
    std::string_view body;
};

// The file at a path, or null.
const PageFile* findPageFile(std::string_view path);

}  // namespace barquill::service
