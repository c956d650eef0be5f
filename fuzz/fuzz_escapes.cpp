// The escape decoder with any text: no crash, decoded data never longer than
// the text, and every byte string comes back from its \xHH spelling.
#include <cstdlib>
#include <string>

#include "cli/escapes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    const barquill::cli::EscapeResult decoded = barquill::cli::decodeEscapes(text);
    if (decoded.ok ? decoded.bytes.size() > text.size() : decoded.error.empty()) std::abort();

    static const char hex[] = "0123456789abcdef";
    std::string spelled;
    for (const unsigned char c : text) spelled += {'\\', 'x', hex[c >> 4], hex[c & 15]};
    const barquill::cli::EscapeResult back = barquill::cli::decodeEscapes(spelled);
    if (!back.ok || back.bytes != text) std::abort();
    return 0;
}
