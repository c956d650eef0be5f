// SPDX-License-Identifier: MIT
// The Croatian payment slip (HUB-3A): a header and thirteen fields, each on
// its own line, limits counted in bytes of the chosen character set.

#include <cctype>

#include "encoder/charset.h"
#include "profiles/builders.h"
#include "profiles/characters.h"
#include "profiles/field_set.h"
#include "profiles/iban.h"
#include "profiles/transliteration.h"

namespace barquill::profiles {

namespace {

using FieldResult = Result<std::string, ProfileError>;
using Code = ProfileErrorCode;

constexpr std::string_view header = "HRVHUB30";
constexpr std::size_t currencyLength = 3;
constexpr std::size_t amountDigits = 15;  // cents
constexpr std::size_t amountDecimals = 2;
constexpr std::size_t croatianIbanLength = 21;  // HR, two check digits, 17 digits
constexpr std::size_t modelLength = 4;          // HR and two digits
constexpr std::size_t purposeLength = 4;
constexpr std::size_t npos = std::string_view::npos;

encoder::Charset charsetOf(Hub3Charset choice) {
    switch (choice) {
        case Hub3Charset::utf8:
            return *encoder::findCharset("UTF-8");
        case Hub3Charset::ascii:
            return *encoder::findCharset("US-ASCII");
        case Hub3Charset::iso8859_2:
            break;
    }
    return *encoder::findCharset("ISO-8859-2");
}

// The bytes of one character of valid UTF-8 in the chosen set.
std::size_t encodedLength(std::string_view utf8, std::size_t offset, Hub3Charset choice) {
    switch (choice) {
        case Hub3Charset::iso8859_2:
            return 1;
        case Hub3Charset::utf8:
            return utf8Length(utf8, offset);
        case Hub3Charset::ascii:
            break;
    }
    const char32_t point = codePointAt(utf8, offset);
    return point < 0x80 ? 1 : asciiForm(point).size();
}

// The 1-based position of the first character that no longer fits in
// `limit` bytes.
std::size_t firstOverflowing(std::string_view utf8, Hub3Charset choice, std::size_t limit) {
    std::size_t bytes = 0;
    std::size_t position = 0;
    for (std::size_t offset = 0; offset < utf8.size(); offset += utf8Length(utf8, offset)) {
        ++position;
        bytes += encodedLength(utf8, offset, choice);
        if (bytes > limit) return position;
    }
    return 0;
}

FieldResult encodeText(const FieldDefinition& definition, const std::string& value,
                       Hub3Charset choice, std::vector<Warning>& warnings) {
    const encoder::Conversion valid = encoder::convertText(value, charsetOf(Hub3Charset::utf8));
    if (!valid.ok()) return fieldError(Code::invalidUtf8, definition, valid.position);
    if (choice == Hub3Charset::utf8) return value;
    if (choice == Hub3Charset::ascii) {
        Transliteration ascii = transliterate(value);
        if (ascii.unknownPosition != 0) {
            ProfileError error =
                fieldError(Code::notRepresentable, definition, ascii.unknownPosition);
            error.character = ascii.unknownCharacter;
            return error;
        }
        if (ascii.replaced > 0)
            warnings.push_back({WarningCode::transliterated, definition.key, ascii.firstReplaced,
                                static_cast<double>(ascii.replaced), 0});
        return std::move(ascii.text);
    }
    encoder::Conversion converted = encoder::convertText(value, charsetOf(choice));
    if (!converted.ok()) {
        ProfileError error = fieldError(Code::notRepresentable, definition, converted.position);
        error.character = converted.character;
        return error;
    }
    return std::move(converted.bytes);
}

FieldResult freeText(const FieldDefinition& definition, const std::string& value,
                     Hub3Charset choice, std::vector<Warning>& warnings) {
    // A line feed would start the next field.
    if (const std::size_t bad = firstControl(value); bad != npos) {
        ProfileError error =
            fieldError(Code::badCharacter, definition, characterPosition(value, bad));
        error.character = codePointName(value, bad);
        return error;
    }
    FieldResult bytes = encodeText(definition, value, choice, warnings);
    if (!bytes) return bytes;
    const std::size_t limit = static_cast<std::size_t>(definition.maxLength);
    if (bytes->size() > limit)
        return fieldError(Code::tooLong, definition, firstOverflowing(value, choice, limit),
                          static_cast<long>(bytes->size()), static_cast<long>(limit));
    return bytes;
}

FieldResult currency(const FieldDefinition& definition, const std::string& value) {
    if (const std::size_t bad = firstRefused(value, isCapitalLetter); bad != npos)
        return fieldError(Code::badCharacter, definition, characterPosition(value, bad));
    if (value.size() != currencyLength)
        return fieldError(Code::wrongLength, definition, 0, static_cast<long>(value.size()),
                          static_cast<long>(currencyLength));
    return value;
}

// "123", "123.45" or "123,45" as 15 digits of cents.
FieldResult amount(const FieldDefinition& definition, const std::string& value) {
    if (!value.empty() && value[0] == '-') return fieldError(Code::negativeAmount, definition, 1);
    const std::size_t separator = value.find_first_of(".,");
    const std::string whole = value.substr(0, separator);
    const std::string fraction = separator == npos ? "" : value.substr(separator + 1);
    if (whole.empty()) return fieldError(Code::badCharacter, definition, 1);
    if (const std::size_t bad = firstRefused(whole, isDigit); bad != npos)
        return fieldError(Code::badCharacter, definition, characterPosition(value, bad));
    if (const std::size_t bad = firstRefused(fraction, isDigit); bad != npos)
        return fieldError(Code::badCharacter, definition,
                          characterPosition(value, separator + 1 + bad));
    if (fraction.size() > amountDecimals)
        return fieldError(Code::tooManyDecimals, definition, separator + 1 + amountDecimals + 1,
                          static_cast<long>(fraction.size()), static_cast<long>(amountDecimals));
    std::string cents = whole + fraction + std::string(amountDecimals - fraction.size(), '0');
    cents.erase(0, std::min(cents.find_first_not_of('0'), cents.size()));
    if (cents.size() > amountDigits)
        return fieldError(Code::amountTooLarge, definition, 0, static_cast<long>(cents.size()),
                          static_cast<long>(amountDigits));
    return std::string(amountDigits - cents.size(), '0') + cents;
}

// The IBAN without its spaces, in capitals: HR, then 19 digits whose first
// two are the check digits.
FieldResult iban(const FieldDefinition& definition, const std::string& value) {
    std::string compact;
    std::vector<std::size_t> positions;  // of each kept character in the value
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == ' ') continue;
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(value[i])));
        if (!isDigit(c) && !isCapitalLetter(c))
            return fieldError(Code::badCharacter, definition, characterPosition(value, i));
        compact += c;
        positions.push_back(characterPosition(value, i));
    }
    for (std::size_t i = 0; i < compact.size() && i < 2; ++i)
        if (compact[i] != "HR"[i]) return fieldError(Code::badCharacter, definition, positions[i]);
    if (compact.size() != croatianIbanLength)
        return fieldError(Code::wrongLength, definition, 0, static_cast<long>(compact.size()),
                          static_cast<long>(croatianIbanLength));
    for (std::size_t i = 2; i < compact.size(); ++i)
        if (!isDigit(compact[i])) return fieldError(Code::badCharacter, definition, positions[i]);
    if (!ibanCheckDigitsMatch(compact)) return fieldError(Code::badCheckDigits, definition);
    return compact;
}

FieldResult model(const FieldDefinition& definition, const std::string& value) {
    if (value.empty()) return value;
    for (std::size_t i = 0; i < value.size() && i < modelLength; ++i) {
        const bool fits = i < 2 ? value[i] == "HR"[i] : isDigit(value[i]);
        if (!fits) return fieldError(Code::badCharacter, definition, characterPosition(value, i));
    }
    if (value.size() != modelLength)
        return fieldError(Code::wrongLength, definition, 0, static_cast<long>(value.size()),
                          static_cast<long>(modelLength));
    return value;
}

FieldResult reference(const FieldDefinition& definition, const std::string& value) {
    if (const std::size_t bad = firstRefused(value, [](char c) { return isDigit(c) || c == '-'; });
        bad != npos)
        return fieldError(Code::badCharacter, definition, characterPosition(value, bad));
    const std::size_t limit = static_cast<std::size_t>(definition.maxLength);
    if (value.size() > limit)
        return fieldError(Code::tooLong, definition, limit + 1, static_cast<long>(value.size()),
                          static_cast<long>(limit));
    return value;
}

FieldResult purpose(const FieldDefinition& definition, const std::string& value) {
    if (value.empty()) return value;
    if (const std::size_t bad = firstRefused(value, isCapitalLetter); bad != npos)
        return fieldError(Code::badCharacter, definition, characterPosition(value, bad));
    if (value.size() != purposeLength)
        return fieldError(Code::wrongLength, definition, 0, static_cast<long>(value.size()),
                          static_cast<long>(purposeLength));
    return value;
}

FieldResult hub3Field(const FieldDefinition& definition, const std::string& value,
                      Hub3Charset choice, std::vector<Warning>& warnings) {
    if (definition.key == "currency") return currency(definition, value);
    if (definition.key == "amount") return amount(definition, value);
    if (definition.key == "iban") return iban(definition, value);
    if (definition.key == "model") return model(definition, value);
    if (definition.key == "reference") return reference(definition, value);
    if (definition.key == "purpose") return purpose(definition, value);
    return freeText(definition, value, choice, warnings);
}

}  // namespace

std::optional<Hub3Charset> findHub3Charset(std::string_view name) {
    std::string key;
    for (char c : name)
        if (c != '-' && c != '_')
            key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (key == "ISO88592") return Hub3Charset::iso8859_2;
    if (key == "UTF8") return Hub3Charset::utf8;
    if (key == "ASCII" || key == "USASCII") return Hub3Charset::ascii;
    return std::nullopt;
}

ProfileSettings hub3Settings(const ProfileSettings& settings, Hub3Charset choice) {
    ProfileSettings chosen = settings;
    const encoder::Charset charset = charsetOf(choice);
    chosen.charset = charset.name;
    // ASCII readers take for granted: no designator.
    chosen.eci = choice == Hub3Charset::ascii ? -1 : charset.eci;
    return chosen;
}

BuildResult buildHub3(const Profile& profile, const FieldValues& values,
                      const BuildChoices& choices) {
    const FieldSet fields(values);
    if (auto unknown = unknownKey(profile, fields)) return *unknown;
    Built built;
    built.bytes = header;
    for (const FieldDefinition& definition : profile.fields) {
        const auto value = fieldValue(definition, fields);
        if (!value) return value.error();
        const FieldResult part = hub3Field(definition, *value, choices.hub3Charset, built.warnings);
        if (!part) return part.error();
        // A reference means nothing without the model that says how to read it.
        const std::string* givenModel = fields.find("model");
        if (definition.key == "reference" && !part->empty() && (!givenModel || givenModel->empty()))
            return fieldError(Code::missingField, fieldDefinition(profile, "model"));
        built.bytes += '\n';
        built.bytes += *part;
    }
    built.settings = hub3Settings(profile.settings, choices.hub3Charset);
    built.eci = built.settings.eci;
    return built;
}

}  // namespace barquill::profiles
