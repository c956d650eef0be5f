// SPDX-License-Identifier: MIT
#include "tests/print/printer_bitmap_reader.h"

#include <charconv>
#include <string>

namespace barquill::print::testing {

namespace {

// Reads a decimal number at `at` and the separator after it.
bool readNumber(std::string_view text, std::size_t& at, char separator, long& value) {
    const char* begin = text.data() + at;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc() || end == begin || end == text.data() + text.size() ||
        *end != separator)
        return false;
    at = static_cast<std::size_t>(end - text.data()) + 1;
    return true;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The rows of ZPL's ASCII data, compressed or plain, as hex digits.
std::optional<std::string> expandRows(std::string_view data, long digitsPerRow) {
    std::string rows, row;
    long count = 0;
    for (const char c : data) {
        if (c >= 'G' && c <= 'Y') {
            count += c - 'G' + 1;
        } else if (c >= 'g' && c <= 'z') {
            count += (c - 'g' + 1) * 20;
        } else if (hexValue(c) >= 0) {
            row.append(static_cast<std::size_t>(count > 0 ? count : 1), c);
            count = 0;
        } else if ((c == ',' || c == '!') && count == 0) {
            row.resize(static_cast<std::size_t>(digitsPerRow), c == ',' ? '0' : 'F');
        } else if (c == ':' && count == 0 && row.empty() && !rows.empty()) {
            row = rows.substr(rows.size() - static_cast<std::size_t>(digitsPerRow));
        } else {
            return std::nullopt;
        }
        if (static_cast<long>(row.size()) > digitsPerRow) return std::nullopt;
        if (static_cast<long>(row.size()) == digitsPerRow) {
            rows += row;
            row.clear();
        }
    }
    if (!row.empty() || count != 0) return std::nullopt;
    return rows;
}

}  // namespace

std::optional<DotPicture> readZplGraphic(std::string_view zpl) {
    constexpr std::string_view head = "^XA\n^FO", tail = "^FS\n^XZ\n";
    if (!zpl.starts_with(head) || !zpl.ends_with(tail)) return std::nullopt;
    DotPicture dots;
    std::size_t at = head.size();
    long x = 0, y = 0, binaryBytes = 0, graphicBytes = 0;
    if (!readNumber(zpl, at, ',', x) || !readNumber(zpl, at, '^', y)) return std::nullopt;
    if (zpl.substr(at, 4) != "GFA,") return std::nullopt;
    at += 4;
    if (!readNumber(zpl, at, ',', binaryBytes) || !readNumber(zpl, at, ',', graphicBytes) ||
        !readNumber(zpl, at, ',', dots.bytesPerRow) || dots.bytesPerRow <= 0)
        return std::nullopt;
    const std::string_view data = zpl.substr(at, zpl.size() - at - tail.size());
    const std::optional<std::string> hex = expandRows(data, 2 * dots.bytesPerRow);
    if (!hex) return std::nullopt;
    dots.height = static_cast<long>(hex->size()) / (2 * dots.bytesPerRow);
    const long total = dots.bytesPerRow * dots.height;
    if (binaryBytes != total || graphicBytes != total) return std::nullopt;
    for (std::size_t i = 0; i < hex->size(); i += 2)
        dots.bits.push_back(
            static_cast<std::uint8_t>(hexValue((*hex)[i]) << 4 | hexValue((*hex)[i + 1])));
    dots.x = static_cast<int>(x);
    dots.y = static_cast<int>(y);
    return dots;
}

std::optional<DotPicture> readEscPosRaster(std::span<const std::uint8_t> commands) {
    if (commands.size() < 8 || commands[0] != 0x1D || commands[1] != 'v' || commands[2] != '0' ||
        commands[3] != 0)
        return std::nullopt;
    DotPicture dots;
    dots.bytesPerRow = commands[4] | commands[5] << 8;
    dots.height = commands[6] | commands[7] << 8;
    if (commands.size() != 8 + static_cast<std::size_t>(dots.bytesPerRow * dots.height))
        return std::nullopt;
    dots.bits.assign(commands.begin() + 8, commands.end());
    return dots;
}

std::optional<barquill::testing::Bytes> decodeDots(const DotPicture& dots) {
    constexpr long margin = 20;
    const long width = dots.bytesPerRow * 8 + 2 * margin, height = dots.height + 2 * margin;
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(width * height), 255);
    for (long row = 0; row < dots.height; ++row)
        for (long column = 0; column < dots.bytesPerRow * 8; ++column)
            if (dots.black(column, row))
                grey[static_cast<std::size_t>((row + margin) * width + column + margin)] = 0;
    return barquill::testing::readPdf417Grey(grey.data(), static_cast<int>(width),
                                             static_cast<int>(height), static_cast<int>(width));
}

}  // namespace barquill::print::testing
