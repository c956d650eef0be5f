// SPDX-License-Identifier: MIT
// Character-set conversion with any text into every known set: no crash, a
// refusal that points inside the text, and text that is plain ASCII comes
// out unchanged from every set that extends ASCII.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "encoder/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider input(bytes, size);
    const auto& charsets = barquill::encoder::knownCharsets();
    const auto& charset =
        charsets[input.ConsumeIntegralInRange<std::size_t>(0, charsets.size() - 1)];
    const std::string text = input.ConsumeRemainingBytesAsString();
    const barquill::encoder::Conversion conversion = barquill::encoder::convertText(text, charset);
    using barquill::encoder::ConversionError;
    switch (conversion.error) {
        case ConversionError::None:
            if (text.empty() != conversion.bytes.empty()) std::abort();
            break;
        case ConversionError::InvalidUtf8:
            if (conversion.position < 1 || conversion.position > text.size()) std::abort();
            break;
        case ConversionError::NotRepresentable:
            if (conversion.character.empty() || conversion.position < 1 ||
                conversion.position > text.size())
                std::abort();
            break;
        case ConversionError::Unavailable:
            break;
    }
    return 0;
}
