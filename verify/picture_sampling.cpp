// SPDX-License-Identifier: MIT
// The exact check of a finished picture against its module matrix: each
// symbol row is drawn once into a line of the picture's own pixel format
// and compared with every picture line it covers, so a picture of any size
// is checked without a copy.
#include <algorithm>
#include <cstring>
#include <vector>

#include "verify/verify.h"

namespace barquill::verify {

namespace {

// A row drawn this many modules off its place still counts as shifted,
// not as a scatter of wrong modules.
constexpr int MAX_SHIFT = 3;
// Wider modules are drawn a run of bars at a time.
constexpr int MAX_PACKED_MODULE = 32;

class LinePainter {
public:
    LinePainter(const PictureView& picture, const Layout& layout)
        : picture_(picture), layout_(layout) {
        const auto width = static_cast<std::size_t>(picture.width);
        bytes_ = picture.format == PixelFormat::OneBit ? (width + 7) / 8 : width;
        const int tailBits = static_cast<int>(picture.width % 8);
        tailMask_ = tailBits == 0 ? 0xFF : static_cast<std::uint8_t>(0xFF << (8 - tailBits));
    }

    std::size_t bytes() const { return bytes_; }

    // The background line of the quiet zone.
    void blank(std::vector<std::uint8_t>* line) const {
        const std::uint8_t space = picture_.format == PixelFormat::Grey ? picture_.shades.space
                                   : picture_.barBit == 1               ? 0x00
                                                                        : 0xFF;
        line->assign(bytes_, space);
    }

    // Symbol row `row` drawn `shift` modules to the right of its place,
    // clipped to the picture.
    void draw(const ModuleView& modules, int row, int shift,
              std::vector<std::uint8_t>* line) const {
        blank(line);
        if (picture_.format == PixelFormat::OneBit && shift == 0 &&
            layout_.moduleWidth <= MAX_PACKED_MODULE) {
            pack(modules, row, line->data());
            return;
        }
        const long moduleWidth = layout_.moduleWidth;
        const long offset = layout_.margin + shift * moduleWidth;
        for (int module = 0; module < modules.width;) {
            if (!modules.isBar(row, module)) {
                ++module;
                continue;
            }
            const int first = module;
            while (module < modules.width && modules.isBar(row, module)) ++module;
            setBars(line->data(), std::max(0L, offset + first * moduleWidth),
                    std::min(picture_.width, offset + module * moduleWidth));
        }
    }

    bool same(const std::uint8_t* pictureLine, const std::vector<std::uint8_t>& line) const {
        if (bytes_ == 0) return true;
        const std::size_t whole = picture_.format == PixelFormat::OneBit ? bytes_ - 1 : bytes_;
        if (std::memcmp(pictureLine, line.data(), whole) != 0) return false;
        return whole == bytes_ || ((pictureLine[whole] ^ line[whole]) & tailMask_) == 0;
    }

    long firstDifference(const std::uint8_t* pictureLine,
                         const std::vector<std::uint8_t>& line) const {
        for (long x = 0; x < picture_.width; ++x)
            if (pixel(pictureLine, x) != pixel(line.data(), x)) return x;
        return -1;
    }

private:
    int pixel(const std::uint8_t* line, long x) const {
        if (picture_.format == PixelFormat::Grey) return line[x];
        return (line[x >> 3] >> (7 - (x & 7))) & 1;
    }

    // A row in its place packed a module at a time with no branch per
    // module: bars and spaces alternate in runs of one to six, which a
    // branch predicts badly.
    void pack(const ModuleView& modules, int row, std::uint8_t* line) const {
        const std::uint8_t* module = modules.data + static_cast<std::size_t>(row) * modules.stride;
        const int moduleWidth = layout_.moduleWidth;
        const std::uint64_t ones = (std::uint64_t{1} << moduleWidth) - 1;
        const auto invert = static_cast<std::uint8_t>(picture_.barBit == 1 ? 0x00 : 0xFF);
        std::uint8_t* byte = line + layout_.margin / 8;
        int pending = layout_.margin % 8;  // pixels in `bits` not yet stored
        std::uint64_t bits = 0;
        for (int i = 0; i < modules.width; ++i) {
            const std::uint64_t bar = 0 - static_cast<std::uint64_t>(module[i] == modules.bar);
            bits = (bits << moduleWidth) | (ones & bar);
            pending += moduleWidth;
            while (pending >= 8) {
                pending -= 8;
                *byte++ = static_cast<std::uint8_t>(bits >> pending) ^ invert;
            }
        }
        if (pending > 0) {
            // The rest of the last byte is quiet zone, already blank.
            const auto stored = static_cast<std::uint8_t>(0xFF << (8 - pending));
            const auto last = static_cast<std::uint8_t>(
                static_cast<std::uint8_t>(bits << (8 - pending)) ^ invert);
            *byte = static_cast<std::uint8_t>((last & stored) | (*byte & ~stored));
        }
    }

    // Pixels [begin, end) become bars.
    void setBars(std::uint8_t* line, long begin, long end) const {
        if (begin >= end) return;
        if (picture_.format == PixelFormat::Grey) {
            std::memset(line + begin, picture_.shades.bar, static_cast<std::size_t>(end - begin));
            return;
        }
        const long firstByte = begin >> 3, lastByte = (end - 1) >> 3;
        const auto head = static_cast<std::uint8_t>(0xFF >> (begin & 7));
        const auto tail = static_cast<std::uint8_t>(0xFF << (7 - ((end - 1) & 7)));
        for (long i = firstByte; i <= lastByte; ++i) {
            std::uint8_t bits = 0xFF;
            if (i == firstByte) bits &= head;
            if (i == lastByte) bits &= tail;
            if (picture_.barBit == 1)
                line[i] |= bits;
            else
                line[i] &= static_cast<std::uint8_t>(~bits);
        }
    }

    const PictureView& picture_;
    const Layout& layout_;
    std::size_t bytes_ = 0;
    std::uint8_t tailMask_ = 0xFF;
};

Outcome at(Mismatch mismatch, int row, int module, long x, long y) {
    Outcome outcome;
    outcome.mismatch = mismatch;
    outcome.row = row;
    outcome.module = module;
    outcome.x = x;
    outcome.y = y;
    return outcome;
}

}  // namespace

Outcome samplesBack(const PictureView& picture, const ModuleView& modules, const Layout& layout) {
    Outcome outcome;
    const long margin = layout.margin;
    const long symbolWidth = static_cast<long>(modules.width) * layout.moduleWidth;
    const long symbolHeight = static_cast<long>(modules.rows) * layout.rowHeight;
    LinePainter painter(picture, layout);
    if (!picture.top || !modules.data || modules.rows < 1 || modules.width < 1 ||
        layout.moduleWidth < 1 || layout.rowHeight < 1 || margin < 0 ||
        picture.width != 2 * margin + symbolWidth || picture.height != 2 * margin + symbolHeight ||
        static_cast<std::size_t>(picture.stride < 0 ? -picture.stride : picture.stride) <
            painter.bytes()) {
        outcome.mismatch = Mismatch::PictureSize;
        return outcome;
    }

    std::vector<std::uint8_t> blank, drawn, shifted;
    painter.blank(&blank);
    int drawnRow = -1;
    for (long y = 0; y < picture.height; ++y) {
        const std::uint8_t* line = picture.top + y * picture.stride;
        const bool inSymbol = y >= margin && y < margin + symbolHeight;
        const int row = inSymbol ? static_cast<int>((y - margin) / layout.rowHeight) : -1;
        if (inSymbol && row != drawnRow) {
            painter.draw(modules, row, 0, &drawn);
            drawnRow = row;
        }
        const std::vector<std::uint8_t>& expected = inSymbol ? drawn : blank;
        if (painter.same(line, expected)) continue;

        const long x = painter.firstDifference(line, expected);
        if (!inSymbol) return at(Mismatch::QuietZone, -1, -1, x, y);
        for (int shift = 1; shift <= MAX_SHIFT; ++shift) {
            for (const int signedShift : {shift, -shift}) {
                painter.draw(modules, row, signedShift, &shifted);
                if (painter.same(line, shifted)) return at(Mismatch::RowShifted, row, -1, x, y);
            }
        }
        if (x < margin || x >= margin + symbolWidth) return at(Mismatch::QuietZone, row, -1, x, y);
        return at(Mismatch::ModuleColour, row, static_cast<int>((x - margin) / layout.moduleWidth),
                  x, y);
    }
    return outcome;
}

}  // namespace barquill::verify
