// SPDX-License-Identifier: MIT
// Reading the AAMVA DL/ID layout back: header, designators, subfiles.

#include <string>

#include "profiles/aamva.h"
#include "profiles/characters.h"

namespace barquill::profiles {

namespace {

constexpr std::string_view compliance = "@\n\x1e\r";
constexpr std::string_view fileType = "ANSI ";
constexpr std::size_t headerLength = 21;
constexpr std::size_t designatorLength = 10;

ProfileError malformed(std::string part, std::string rule, std::size_t offset) {
    ProfileError error;
    error.code = ProfileErrorCode::malformedData;
    error.field = std::move(part);
    error.rule = std::move(rule);
    error.position = offset + 1;
    return error;
}

// The offset of the first byte of data[offset, offset + length) that is no
// digit, or npos.
std::size_t firstNonDigit(std::string_view data, std::size_t offset, std::size_t length) {
    const std::size_t bad = firstRefused(data.substr(offset, length), isDigit);
    return bad == std::string_view::npos ? bad : offset + bad;
}

std::size_t number(std::string_view data, std::size_t offset, std::size_t length) {
    return static_cast<std::size_t>(std::stoul(std::string(data.substr(offset, length))));
}

std::optional<ProfileError> readHeader(std::string_view data, AamvaData& card) {
    if (data.size() < headerLength) return malformed("header", "21 bytes", data.size());
    for (std::size_t i = 0; i < compliance.size(); ++i)
        if (data[i] != compliance[i]) return malformed("header", "'@', LF, RS and CR", i);
    for (std::size_t i = 0; i < fileType.size(); ++i)
        if (data[4 + i] != fileType[i]) return malformed("header", "file type \"ANSI \"", 4 + i);
    struct HeaderNumber {
        const char* name;
        std::size_t offset;
        std::size_t length;
    };
    for (const HeaderNumber& field :
         {HeaderNumber{"iin", 9, 6}, HeaderNumber{"version", 15, 2},
          HeaderNumber{"jurisdiction_version", 17, 2}, HeaderNumber{"entries", 19, 2}})
        if (const std::size_t bad = firstNonDigit(data, field.offset, field.length);
            bad != std::string_view::npos)
            return malformed(field.name, "digits", bad);
    card.iin = std::string(data.substr(9, 6));
    card.version = static_cast<int>(number(data, 15, 2));
    card.jurisdictionVersion = static_cast<int>(number(data, 17, 2));
    if (number(data, 19, 2) == 0) return malformed("entries", "at least one subfile", 19);
    return std::nullopt;
}

std::optional<ProfileError> readDesignator(std::string_view data, std::size_t at,
                                           AamvaSubfile& subfile) {
    const std::string part =
        "designator " + std::to_string((at - headerLength) / designatorLength + 1);
    if (at + designatorLength > data.size())
        return malformed(part, "10 bytes: type, offset and length", data.size());
    for (std::size_t i = 0; i < 2; ++i)
        if (!isCapitalLetter(data[at + i]))
            return malformed(part, "type of two capital letters", at + i);
    if (const std::size_t bad = subfileTypeFault(data.substr(at, 2)); bad != std::string_view::npos)
        return malformed(part, "type DL, ID, or Z and a letter", at + bad);
    if (const std::size_t bad = firstNonDigit(data, at + 2, 8); bad != std::string_view::npos)
        return malformed(part, "offset and length of four digits each", bad);
    subfile.type = std::string(data.substr(at, 2));
    subfile.offset = number(data, at + 2, 4);
    subfile.length = number(data, at + 6, 4);
    if (subfile.offset + subfile.length > data.size() || subfile.length < 3)
        return malformed(part, "a subfile inside the data", at + 2);
    return std::nullopt;
}

std::optional<ProfileError> readSubfile(std::string_view data, AamvaSubfile& subfile) {
    const std::string part = subfile.type + " subfile";
    const std::string_view bytes = data.substr(subfile.offset, subfile.length);
    if (bytes.substr(0, 2) != subfile.type)
        return malformed(part, "starts with its type", subfile.offset);
    if (bytes.back() != '\r')
        return malformed(part, "ends with CR", subfile.offset + subfile.length - 1);
    const std::string_view body = bytes.substr(2, bytes.size() - 3);
    for (std::size_t start = 0; start < body.size();) {
        const std::size_t end = std::min(body.find('\n', start), body.size());
        const std::string_view element = body.substr(start, end - start);
        const std::size_t at = subfile.offset + 2 + start;
        for (std::size_t i = 0; i < 3; ++i)
            if (i >= element.size() || !isCapitalLetter(element[i]))
                return malformed(part, "element ID of three capital letters", at + i);
        subfile.elements.push_back(
            {std::string(element.substr(0, 3)), std::string(element.substr(3))});
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace

Result<AamvaData, ProfileError> parseAamva(std::string_view data) {
    AamvaData card;
    if (auto error = readHeader(data, card)) return *error;
    const std::size_t entries = number(data, 19, 2);
    for (std::size_t i = 0; i < entries; ++i) {
        AamvaSubfile subfile;
        if (auto error = readDesignator(data, headerLength + i * designatorLength, subfile))
            return *error;
        card.subfiles.push_back(std::move(subfile));
    }
    for (AamvaSubfile& subfile : card.subfiles)
        if (auto error = readSubfile(data, subfile)) return *error;
    return card;
}

}  // namespace barquill::profiles
