// SPDX-License-Identifier: MIT
#pragma once
// Readers of the printers' bitmap commands, written for the tests from the
// commands' published layouts: they turn a ^GFA field or a GS v 0 image
// back into dots, which the PDF417 reader then decodes.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "tests/support/pdf417_reader.h"

namespace barquill::print::testing {

struct DotPicture {
    long bytesPerRow = 0;
    long height = 0;
    std::vector<std::uint8_t> bits;  // top row first, left dot in the high bit, 1 black
    int x = 0;                       // ^FO, for ZPL
    int y = 0;

    bool black(long column, long row) const {
        const auto byte = bits[static_cast<std::size_t>(row * bytesPerRow + column / 8)];
        return (byte >> (7 - column % 8) & 1) != 0;
    }
};

// One label "^XA\n^FOx,y^GFA,b,c,d,data^FS\n^XZ\n" with ASCII data,
// compressed or not; nothing when it does not follow the layout or its
// counts disagree with its data.
std::optional<DotPicture> readZplGraphic(std::string_view zpl);

// "GS v 0 m xL xH yL yH d..." and nothing after it.
std::optional<DotPicture> readEscPosRaster(std::span<const std::uint8_t> commands);

// The dots as a grey picture with a white margin, read by the PDF417 reader.
std::optional<barquill::testing::Bytes> decodeDots(const DotPicture& dots);

}  // namespace barquill::print::testing
