// SPDX-License-Identifier: MIT
#include <cstdio>

#include "verify/verify.h"

namespace barquill::verify {

MacroFields macroFields(int segmentIndex, std::optional<int> segmentCount,
                        const std::vector<std::int32_t>& fileId) {
    MacroFields fields;
    fields.segmentIndex = segmentIndex;
    fields.segmentCount = segmentCount.value_or(-1);
    char digits[16];
    for (const std::int32_t codeword : fileId) {
        std::snprintf(digits, sizeof digits, "%03d", static_cast<int>(codeword));
        fields.fileId += digits;
    }
    return fields;
}

Mismatch compare(const Reading& read, const Expected& expected) {
    if (read.bytes != expected.bytes) return Mismatch::Bytes;
    const bool unreported = expected.eci >= FIRST_UNREPORTED_ECI && read.eci == NO_ECI;
    if (read.eci != expected.eci && !unreported) return Mismatch::Eci;
    if (read.macro.has_value() != expected.macro.has_value()) return Mismatch::Macro;
    if (expected.macro) {
        const MacroFields& want = *expected.macro;
        const MacroFields& got = *read.macro;
        if (got.segmentIndex != want.segmentIndex || got.fileId != want.fileId ||
            (want.segmentCount >= 0 && got.segmentCount != want.segmentCount))
            return Mismatch::Macro;
    }
    return Mismatch::None;
}

}  // namespace barquill::verify
