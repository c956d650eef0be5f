// SPDX-License-Identifier: MIT
// The escape decoder with any text: no crash, decoded data never longer than
// the text, and every byte string comes back from its \xHH spelling and from
// the library's own escaped spelling.
#include <cstdlib>
#include <string>

#include "barquill/text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    const auto decoded = barquill::decodeEscapes(text);
    if (decoded ? decoded->size() > text.size() : decoded.error().message.empty()) std::abort();

    static const char hex[] = "0123456789abcdef";
    std::string spelled;
    for (const unsigned char c : text) spelled += {'\\', 'x', hex[c >> 4], hex[c & 15]};
    const auto back = barquill::decodeEscapes(spelled);
    if (!back || *back != text) std::abort();
    const auto again = barquill::decodeEscapes(barquill::encodeEscapes(text).text);
    if (!again || *again != text) std::abort();
    return 0;
}
