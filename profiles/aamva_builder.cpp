// SPDX-License-Identifier: MIT
// The AAMVA DL/ID card data from fields: iin, version, jurisdiction_version
// and one field per element, keyed SUBFILE.ID (DL.DCS), in the order given.

#include <algorithm>
#include <string>

#include "profiles/aamva.h"
#include "profiles/builders.h"
#include "profiles/characters.h"
#include "profiles/field_set.h"

namespace barquill::profiles {

namespace {

using Code = ProfileErrorCode;

constexpr std::string_view headerStart = "@\n\x1e\rANSI ";
constexpr std::size_t headerLength = 21;  // headerStart, IIN, versions and entries
constexpr std::size_t designatorLength = 10;
constexpr std::size_t largestAddress = 9999;  // offsets and lengths have four digits
constexpr int maxEntries = 99;
constexpr std::size_t iinLength = 6;
// Before version 2 the header had no jurisdiction version.
constexpr int minVersion = 2;
constexpr int maxVersion = 99;
constexpr std::size_t npos = std::string_view::npos;

struct Element {
    std::string key;  // as given, for errors
    std::string id;
    std::string value;
};

struct Subfile {
    std::string type;
    std::vector<Element> elements;
};

Result<int, ProfileError> number(const FieldDefinition& definition, const std::string& value,
                                 int minimum, int maximum) {
    if (const std::size_t bad = firstRefused(value, isDigit); bad != npos)
        return fieldError(Code::badCharacter, definition, characterPosition(value, bad));
    const std::size_t first = std::min(value.find_first_not_of('0'), value.size());
    // Nine digits hold any number that could be in range and never overflow.
    const std::string digits = value.substr(first, 9);
    const long found = digits.empty() ? 0 : std::stol(digits);
    if (found < minimum || found > maximum) {
        ProfileError error = fieldError(Code::outOfRange, definition, 0, found, maximum);
        error.minimum = minimum;
        return error;
    }
    return static_cast<int>(found);
}

Result<std::string, ProfileError> iin(const FieldDefinition& definition, const std::string& value) {
    if (const std::size_t bad = firstRefused(value, isDigit); bad != npos)
        return fieldError(Code::badCharacter, definition, characterPosition(value, bad));
    if (value.size() != iinLength)
        return fieldError(Code::wrongLength, definition, 0, static_cast<long>(value.size()),
                          static_cast<long>(iinLength));
    return value;
}

std::string twoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10)) +
           static_cast<char>('0' + value % 10);
}

std::string fourDigits(std::size_t value) {
    std::string digits(4, '0');
    for (std::size_t i = 4; i-- > 0; value /= 10) digits[i] = static_cast<char>('0' + value % 10);
    return digits;
}

// An element field SUBFILE.ID checked for its form, added to its subfile.
std::optional<ProfileError> addElement(const Field& field, std::vector<Subfile>& subfiles) {
    const std::size_t dot = field.key.find('.');
    if (dot == npos) return keyError(Code::unknownField, field.key, "");
    const std::string type = field.key.substr(0, dot);
    const std::string id = field.key.substr(dot + 1);
    const std::string typeRule = "two capital letters: DL, ID, or Z and a letter";
    if (const std::size_t bad = firstRefused(type, isCapitalLetter); bad != npos)
        return keyError(Code::badSubfileType, field.key, typeRule, bad + 1);
    if (type.size() != 2)
        return keyError(Code::badSubfileType, field.key, typeRule, 0,
                        static_cast<long>(type.size()), 2);
    if (const std::size_t bad = subfileTypeFault(type); bad != npos)
        return keyError(Code::badSubfileType, field.key, typeRule, bad + 1);
    const std::string idRule = "three capital letters";
    if (const std::size_t bad = firstRefused(id, isCapitalLetter); bad != npos)
        return keyError(Code::badElementId, field.key, idRule, dot + 1 + bad + 1);
    if (id.size() != 3)
        return keyError(Code::badElementId, field.key, idRule, 0, static_cast<long>(id.size()), 3);
    // LF, CR and RS separate the layout's parts.
    if (const std::size_t bad = firstControl(field.value); bad != npos) {
        ProfileError error = keyError(Code::badCharacter, field.key, "no control characters",
                                      characterPosition(field.value, bad));
        error.character = codePointName(field.value, bad);
        return error;
    }
    if (field.value.empty()) return std::nullopt;  // as if not given
    auto subfile = std::find_if(subfiles.begin(), subfiles.end(),
                                [&](const Subfile& s) { return s.type == type; });
    if (subfile == subfiles.end()) subfile = subfiles.insert(subfiles.end(), {type, {}});
    subfile->elements.push_back({field.key, id, field.value});
    return std::nullopt;
}

int daysInMonth(int month, int year) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// The 1-based position of the part of an eight-digit date that is not
// valid (month or day), 0 when valid.
std::size_t badDatePart(const std::string& date, bool canadian) {
    const std::size_t yearAt = canadian ? 0 : 4;
    const std::size_t monthAt = canadian ? 4 : 0;
    const std::size_t dayAt = canadian ? 6 : 2;
    const int year = std::stoi(date.substr(yearAt, 4));
    const int month = std::stoi(date.substr(monthAt, 2));
    const int day = std::stoi(date.substr(dayAt, 2));
    if (month < 1 || month > 12) return monthAt + 1;
    if (day < 1 || day > daysInMonth(month, year)) return dayAt + 1;
    return 0;
}

std::optional<ProfileError> checkDate(const Element& element, bool canadian) {
    const std::string rule = canadian ? "a date as CCYYMMDD, as Canadian issuers (DCG CAN) write it"
                                      : "a date as MMDDCCYY, as US issuers write it";
    if (const std::size_t bad = firstRefused(element.value, isDigit); bad != npos)
        return keyError(Code::badCharacter, element.key, rule, bad + 1);
    if (element.value.size() != 8)
        return keyError(Code::wrongLength, element.key, rule, 0,
                        static_cast<long>(element.value.size()), 8);
    if (const std::size_t part = badDatePart(element.value, canadian); part != 0)
        return keyError(Code::badDate, element.key, rule, part);
    return std::nullopt;
}

std::optional<ProfileError> checkHeight(const Element& element, const std::string& rule) {
    const std::string& value = element.value;
    for (std::size_t i = 0; i < value.size() && i < 4; ++i) {
        const bool fits = i < 3 ? isDigit(value[i]) : value[i] == ' ';
        if (!fits) return keyError(Code::badCharacter, element.key, rule, i + 1);
    }
    const std::string unit = value.size() > 4 ? value.substr(4) : "";
    if (unit != "in" && unit != "cm")
        return keyError(Code::notAllowedValue, element.key, rule, value.size() > 4 ? 5 : 0);
    return std::nullopt;
}

std::optional<ProfileError> checkElement(const Element& element, bool canadian) {
    const AamvaElement* known = findAamvaElement(element.id);
    if (!known) return std::nullopt;  // a jurisdiction's own: anything printable
    const std::string rule = elementRule(*known);
    const std::string& value = element.value;
    switch (known->format) {
        case AamvaFormat::date:
            return checkDate(element, canadian);
        case AamvaFormat::height:
            return checkHeight(element, rule);
        case AamvaFormat::sex:
            if (value != "1" && value != "2" && value != "9") break;
            return std::nullopt;
        case AamvaFormat::country:
            if (value != "USA" && value != "CAN") break;
            return std::nullopt;
        case AamvaFormat::truncation:
            if (value != "T" && value != "N" && value != "U") break;
            return std::nullopt;
        case AamvaFormat::text: {
            const std::size_t limit = static_cast<std::size_t>(known->maxLength);
            if (value.size() > limit)
                return keyError(Code::tooLong, element.key, rule, limit + 1,
                                static_cast<long>(value.size()), static_cast<long>(limit));
            return std::nullopt;
        }
    }
    return keyError(Code::notAllowedValue, element.key, rule);
}

const Element* findElement(const Subfile& subfile, std::string_view id) {
    for (const Element& element : subfile.elements)
        if (element.id == id) return &element;
    return nullptr;
}

// Dates follow the issuer's country: the subfile's own DCG, else any
// subfile's. The IIN does not tell: Canadian issuers hold numbers in both
// the 604 and the 636 block.
bool isCanadian(const Subfile& subfile, const std::vector<Subfile>& subfiles) {
    if (const Element* country = findElement(subfile, "DCG")) return country->value == "CAN";
    for (const Subfile& other : subfiles)
        if (const Element* country = findElement(other, "DCG")) return country->value == "CAN";
    return false;
}

std::optional<ProfileError> checkMandatory(const Subfile& subfile, int version) {
    for (const AamvaElement& element : aamvaElements()) {
        if (!isMandatory(element, subfile.type, version) || findElement(subfile, element.id))
            continue;
        return keyError(Code::missingElement, subfile.type + "." + element.id,
                        std::string(element.name) + ", mandatory in the " + subfile.type +
                            " subfile from AAMVA version " + std::to_string(element.mandatoryFrom));
    }
    return std::nullopt;
}

std::optional<ProfileError> checkSubfiles(const std::vector<Subfile>& subfiles, int version) {
    const bool holder = std::any_of(subfiles.begin(), subfiles.end(), [](const Subfile& s) {
        return s.type == "DL" || s.type == "ID";
    });
    if (!holder)
        return keyError(Code::missingSubfile, "DL",
                        "a DL (licence) or ID (identification card) subfile");
    if (subfiles.size() > static_cast<std::size_t>(maxEntries)) {
        ProfileError error = keyError(Code::outOfRange, "subfiles", "1 to 99 subfiles", 0,
                                      static_cast<long>(subfiles.size()), maxEntries);
        error.minimum = 1;
        return error;
    }
    for (const Subfile& subfile : subfiles) {
        const bool canadian = isCanadian(subfile, subfiles);
        for (const Element& element : subfile.elements)
            if (auto error = checkElement(element, canadian)) return error;
    }
    for (const Subfile& subfile : subfiles)
        if (auto error = checkMandatory(subfile, version)) return error;
    return std::nullopt;
}

std::string subfileBody(const Subfile& subfile) {
    std::string body = subfile.type;
    for (std::size_t i = 0; i < subfile.elements.size(); ++i) {
        if (i > 0) body += '\n';
        body += subfile.elements[i].id + subfile.elements[i].value;
    }
    return body + '\r';
}

}  // namespace

BuildResult buildAamva(const Profile& profile, const FieldValues& values, const BuildChoices&) {
    const FieldSet fields(values);
    const auto iinValue = fieldValue(fieldDefinition(profile, "iin"), fields);
    if (!iinValue) return iinValue.error();
    const auto issuer = iin(fieldDefinition(profile, "iin"), *iinValue);
    if (!issuer) return issuer.error();
    int versions[2] = {};
    const char* versionKeys[2] = {"version", "jurisdiction_version"};
    for (int i = 0; i < 2; ++i) {
        const FieldDefinition& definition = fieldDefinition(profile, versionKeys[i]);
        const auto text = fieldValue(definition, fields);
        if (!text) return text.error();
        const auto found = number(definition, *text, i == 0 ? minVersion : 0, maxVersion);
        if (!found) return found.error();
        versions[i] = *found;
    }

    std::vector<Subfile> subfiles;
    for (const Field& field : fields.fields()) {
        if (field.key == "iin" || field.key == "version" || field.key == "jurisdiction_version")
            continue;
        if (auto error = addElement(field, subfiles)) return *error;
    }
    if (auto error = checkSubfiles(subfiles, versions[0])) return *error;

    std::string designators;
    std::string bodies;
    std::size_t offset = headerLength + designatorLength * subfiles.size();
    for (const Subfile& subfile : subfiles) {
        const std::string body = subfileBody(subfile);
        if (body.size() > largestAddress || offset > largestAddress)
            return keyError(Code::dataTooLarge, subfile.type,
                            "subfiles whose offsets and lengths have four digits", 0,
                            static_cast<long>(std::max(body.size(), offset)),
                            static_cast<long>(largestAddress));
        designators += subfile.type + fourDigits(offset) + fourDigits(body.size());
        bodies += body;
        offset += body.size();
    }

    Built built;
    built.bytes = std::string(headerStart) + *issuer + twoDigits(versions[0]) +
                  twoDigits(versions[1]) + twoDigits(static_cast<int>(subfiles.size())) +
                  designators + bodies;
    built.settings = profile.settings;
    built.eci = profile.settings.eci;
    return built;
}

}  // namespace barquill::profiles
