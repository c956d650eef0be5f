// SPDX-License-Identifier: MIT
// The IATA bar-coded boarding pass (Resolution 792), mandatory items: the
// passenger once, then each leg's fixed fields, its conditional section's
// size in hexadecimal and that section as given.

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "profiles/builders.h"
#include "profiles/characters.h"
#include "profiles/field_set.h"

namespace barquill::profiles {

namespace {

using Code = ProfileErrorCode;
using FieldResult = Result<std::string, ProfileError>;

constexpr char formatCode = 'M';
constexpr std::size_t maxLegs = 4;
constexpr std::size_t nameLength = 20;
constexpr std::size_t maxConditional = 255;  // its size has two hexadecimal digits
constexpr int lastJulianDay = 366;
constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view legsPrefix = "legs.";

// The keys each leg takes, in the order of the leg's fields.
constexpr std::array<std::string_view, 11> legKeys = {
    "pnr",         "from", "to",       "carrier", "flight",     "date",
    "compartment", "seat", "sequence", "status",  "conditional"};

struct LegValue {
    std::string key;  // as given, for errors
    std::string value;
};

using Leg = std::array<std::optional<LegValue>, legKeys.size()>;

std::size_t legKeyIndex(std::string_view key) {
    return static_cast<std::size_t>(std::find(legKeys.begin(), legKeys.end(), key) -
                                    legKeys.begin());
}

ProfileError errorAt(Code code, const FieldDefinition& definition, const std::string& key,
                     std::size_t position = 0, long length = 0, long limit = 0) {
    ProfileError error = fieldError(code, definition, position, length, limit);
    error.field = key;
    return error;
}

std::string padded(const std::string& value, std::size_t width) {
    return value + std::string(width - value.size(), ' ');
}

// The checks most fields share: only allowed characters, at most `width`
// of them; the value space padded on the right.
FieldResult paddedField(const FieldDefinition& definition, const std::string& key,
                        const std::string& value, std::size_t width, bool (*allowed)(char)) {
    if (const std::size_t bad = firstRefused(value, allowed); bad != npos)
        return errorAt(Code::badCharacter, definition, key, characterPosition(value, bad));
    if (value.size() > width)
        return errorAt(Code::tooLong, definition, key, width + 1, static_cast<long>(value.size()),
                       static_cast<long>(width));
    return padded(value, width);
}

bool isCodeCharacter(char c) {
    return isCapitalLetter(c) || isDigit(c);
}

// Digits and an optional capital letter ("834", "12C"): the digits padded
// with zeros to `digits`, then the letter or `noLetter`. Nothing when the
// value is not of that form.
std::optional<std::string> numberAndLetter(const std::string& value, std::size_t digits,
                                           const char* noLetter) {
    const std::size_t count = std::min(value.find_first_not_of("0123456789"), value.size());
    const std::string rest = value.substr(count);
    if (count == 0 || count > digits || rest.size() > 1 ||
        (rest.size() == 1 && !isCapitalLetter(rest[0])))
        return std::nullopt;
    return std::string(digits - count, '0') + value.substr(0, count) +
           (rest.empty() ? noLetter : rest);
}

FieldResult airport(const FieldDefinition& definition, const std::string& key,
                    const std::string& value) {
    if (const std::size_t bad = firstRefused(value, isCapitalLetter); bad != npos)
        return errorAt(Code::badCharacter, definition, key, characterPosition(value, bad));
    if (value.size() != 3)
        return errorAt(Code::wrongLength, definition, key, 0, static_cast<long>(value.size()), 3);
    return value;
}

FieldResult carrier(const FieldDefinition& definition, const std::string& key,
                    const std::string& value) {
    if (value.size() < 2)
        return errorAt(Code::wrongLength, definition, key, 0, static_cast<long>(value.size()), 2);
    return paddedField(definition, key, value, 3, isCodeCharacter);
}

FieldResult flight(const FieldDefinition& definition, const std::string& key,
                   const std::string& value) {
    if (auto written = numberAndLetter(value, 4, " ")) return *written;
    const std::size_t count = std::min(value.find_first_not_of("0123456789"), value.size());
    if (count > 4) return errorAt(Code::tooLong, definition, key, 5, static_cast<long>(count), 4);
    // The first character out of place: a missing digit, a second letter, a non-letter.
    const std::size_t bad =
        count == 0 ? 0
                   : (count < value.size() && isCapitalLetter(value[count]) ? count + 1 : count);
    return errorAt(Code::badCharacter, definition, key, characterPosition(value, bad));
}

FieldResult julianDay(const FieldDefinition& definition, const std::string& key,
                      const std::string& value) {
    if (const std::size_t bad = firstRefused(value, isDigit); bad != npos)
        return errorAt(Code::badCharacter, definition, key, characterPosition(value, bad));
    const std::size_t first = std::min(value.find_first_not_of('0'), value.size());
    const std::string digits = value.substr(first, 4);  // more cannot be a day
    const int day = digits.empty() ? 0 : std::stoi(digits);
    if (day < 1 || day > lastJulianDay) {
        ProfileError error = errorAt(Code::outOfRange, definition, key, 0, day, lastJulianDay);
        error.minimum = 1;
        return error;
    }
    return std::string(3 - std::to_string(day).size(), '0') + std::to_string(day);
}

// Seat (3 digits and a letter) and check-in sequence (4 digits and a letter
// or space) written in full when given short; other values as given.
FieldResult numbered(const FieldDefinition& definition, const std::string& key,
                     const std::string& value, std::size_t width) {
    if (value.empty()) return std::string(width, ' ');
    if (auto written = numberAndLetter(value, width - 1, width == 4 ? "" : " ");
        written && written->size() == width)
        return *written;
    return paddedField(definition, key, value, width, isPrintableAscii);
}

FieldResult conditional(const FieldDefinition& definition, const std::string& key,
                        const std::string& value) {
    if (value.size() > maxConditional)
        return errorAt(Code::tooLong, definition, key, maxConditional + 1,
                       static_cast<long>(value.size()), static_cast<long>(maxConditional));
    static constexpr char hex[] = "0123456789ABCDEF";
    return std::string{hex[value.size() / 16], hex[value.size() % 16]} + value;
}

FieldResult legField(const FieldDefinition& definition, const std::string& key,
                     const std::string& value) {
    const std::string_view name = definition.key;
    if (name == "pnr") return paddedField(definition, key, value, 7, isCodeCharacter);
    if (name == "from" || name == "to") return airport(definition, key, value);
    if (name == "carrier") return carrier(definition, key, value);
    if (name == "flight") return flight(definition, key, value);
    if (name == "date") return julianDay(definition, key, value);
    if (name == "compartment") return paddedField(definition, key, value, 1, isCapitalLetter);
    if (name == "seat") return numbered(definition, key, value, 4);
    if (name == "sequence") return numbered(definition, key, value, 5);
    if (name == "status") return paddedField(definition, key, value, 1, isPrintableAscii);
    return conditional(definition, key, value);
}

// Sorts a field into its leg: plain leg keys are leg 0, legs.N.KEY leg N.
std::optional<ProfileError> addLegField(const Field& field, std::vector<Leg>& legs) {
    std::size_t leg = 0;
    std::string_view key = field.key;
    if (key.substr(0, legsPrefix.size()) == legsPrefix) {
        const std::string_view rest = key.substr(legsPrefix.size());
        const std::size_t dot = rest.find('.');
        const std::string_view number = rest.substr(0, dot);
        if (dot == npos || number.empty() || number.size() > 3 ||
            firstRefused(number, isDigit) != npos)
            return keyError(Code::unknownField, field.key);
        leg = static_cast<std::size_t>(std::stoi(std::string(number)));
        key = rest.substr(dot + 1);
        if (leg >= maxLegs) {
            return keyError(Code::tooManyLegs, field.key, "at most 4 legs, legs.0 to legs.3", 0,
                            static_cast<long>(leg + 1), static_cast<long>(maxLegs));
        }
    }
    const std::size_t index = legKeyIndex(key);
    if (index == legKeys.size()) return keyError(Code::unknownField, field.key);
    if (field.value.empty()) {  // as if not given
        if (leg < legs.size()) legs[leg][index].reset();
        return std::nullopt;
    }
    if (legs.size() <= leg) legs.resize(leg + 1);
    legs[leg][index] = LegValue{field.key, field.value};
    return std::nullopt;
}

bool isEmpty(const Leg& leg) {
    return std::none_of(leg.begin(), leg.end(),
                        [](const auto& value) { return value.has_value(); });
}

FieldResult legData(const Profile& profile, const Leg& leg, std::size_t number) {
    std::string data;
    for (std::size_t i = 0; i < legKeys.size(); ++i) {
        const FieldDefinition& definition = fieldDefinition(profile, legKeys[i]);
        std::string key =
            leg[i]
                ? leg[i]->key
                : (number == 0 ? std::string(legKeys[i])
                               : "legs." + std::to_string(number) + "." + std::string(legKeys[i]));
        const std::string value = leg[i] ? leg[i]->value : "";
        if (value.empty() && definition.required)
            return errorAt(Code::missingField, definition, key);
        const FieldResult part = legField(definition, key, value);
        if (!part) return part;
        data += *part;
    }
    return data;
}

}  // namespace

BuildResult buildBcbp(const Profile& profile, const FieldValues& values, const BuildChoices&) {
    const FieldSet fields(values);
    // In the order given, so that of "from" and "legs.0.from" the later wins.
    std::vector<Leg> legs;
    for (const auto& [key, value] : values) {
        if (key == "name" || key == "eticket") continue;
        if (auto error = addLegField({key, value}, legs)) return *error;
    }
    while (legs.size() > 1 && isEmpty(legs.back())) legs.pop_back();
    if (legs.empty()) legs.resize(1);

    const FieldDefinition& nameDefinition = fieldDefinition(profile, "name");
    const auto name = fieldValue(nameDefinition, fields);
    if (!name) return name.error();
    const FieldResult passenger =
        paddedField(nameDefinition, "name", *name, nameLength, isPrintableAscii);
    if (!passenger) return passenger.error();
    const FieldDefinition& eticketDefinition = fieldDefinition(profile, "eticket");
    const auto eticket = fieldValue(eticketDefinition, fields);
    if (!eticket) return eticket.error();
    const FieldResult indicator =
        paddedField(eticketDefinition, "eticket", *eticket, 1, isPrintableAscii);
    if (!indicator) return indicator.error();

    Built built;
    built.bytes =
        std::string(1, formatCode) + static_cast<char>('0' + legs.size()) + *passenger + *indicator;
    for (std::size_t i = 0; i < legs.size(); ++i) {
        const FieldResult leg = legData(profile, legs[i], i);
        if (!leg) return leg.error();
        built.bytes += *leg;
    }
    built.settings = profile.settings;
    built.eci = profile.settings.eci;
    return built;
}

}  // namespace barquill::profiles
