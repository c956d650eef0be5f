#pragma once
// Backslash escapes in a TEXT argument, so control characters (record
// separators of identity-card data, line breaks) can be typed on a shell line.

#include <string>
#include <string_view>

namespace barquill::cli {

struct EscapeResult {
    bool ok = false;
    std::string bytes;  // the decoded data when ok
    std::string error;  // what is wrong and how to write it instead, when not ok
};

// Decodes \n, \r, \t, \\ and \xHH (exactly two hex digits); any other escape
// is refused rather than guessed at.
EscapeResult decodeEscapes(std::string_view text);

}  // namespace barquill::cli
