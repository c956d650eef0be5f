// SPDX-License-Identifier: MIT
// Big-endian byte order, as PNG stores every multi-byte value (lengths,
// sizes, CRCs), independent of the host's order.
#pragma once

#include <cstdint>

namespace barquill::image {

namespace big_endian {

inline void put32(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value >> 24);
    out[1] = static_cast<std::uint8_t>(value >> 16);
    out[2] = static_cast<std::uint8_t>(value >> 8);
    out[3] = static_cast<std::uint8_t>(value);
}

}  // namespace big_endian

}  // namespace barquill::image
