// SPDX-License-Identifier: MIT
// One line for people from each error, warning and conflict; the values in
// them stay the place to find out what went wrong.

#include <string>

#include "base/number_text.h"
#include "profiles/profiles.h"

namespace barquill::profiles {

namespace {

std::string number(long value) {
    return std::to_string(value);
}

std::string problem(const ProfileError& e) {
    const std::string at = " at character " + std::to_string(e.position);
    switch (e.code) {
        case ProfileErrorCode::unknownField:
            return "not a field of this profile";
        case ProfileErrorCode::missingField:
            return "required";
        case ProfileErrorCode::tooLong:
            return number(e.length) + " bytes where at most " + number(e.limit) + " fit" +
                   (e.position ? ", from character " + std::to_string(e.position) : "");
        case ProfileErrorCode::wrongLength:
            return number(e.length) + " characters where " + number(e.limit) + " are required";
        case ProfileErrorCode::badCharacter:
            return "a character not allowed" +
                   (e.character.empty() ? "" : " (" + e.character + ")") + at;
        case ProfileErrorCode::notAllowedValue:
            return "a value not allowed";
        case ProfileErrorCode::invalidUtf8:
            return "not UTF-8 at byte " + std::to_string(e.position);
        case ProfileErrorCode::notRepresentable:
            return "'" + e.character + "'" + at + " has no form in the chosen character set";
        case ProfileErrorCode::tooManyDecimals:
            return number(e.length) + " decimals, at most " + number(e.limit);
        case ProfileErrorCode::negativeAmount:
            return "a negative amount";
        case ProfileErrorCode::amountTooLarge:
            return number(e.length) + " digits of cents, at most " + number(e.limit);
        case ProfileErrorCode::badCheckDigits:
            return "the check digits do not match";
        case ProfileErrorCode::outOfRange:
            return number(e.length) + " is not within " + number(e.minimum) + " to " +
                   number(e.limit);
        case ProfileErrorCode::badDate:
            return "not a valid date" + at;
        case ProfileErrorCode::badSubfileType:
            return "not a subfile type";
        case ProfileErrorCode::badElementId:
            return "not an element ID";
        case ProfileErrorCode::missingElement:
            return "missing";
        case ProfileErrorCode::missingSubfile:
            return "missing";
        case ProfileErrorCode::tooManyLegs:
            return number(e.length) + " legs, at most " + number(e.limit);
        case ProfileErrorCode::dataTooLarge:
            return number(e.length) + " bytes, at most " + number(e.limit);
        case ProfileErrorCode::malformedData:
            return "malformed at byte " + std::to_string(e.position);
        case ProfileErrorCode::jsonSyntax:
            return "not JSON at line " + std::to_string(e.line) + ", column " +
                   std::to_string(e.position);
        case ProfileErrorCode::jsonNotObject:
            return "the JSON is not one object";
        case ProfileErrorCode::jsonUnsupportedValue:
            return "neither a string nor a number";
        case ProfileErrorCode::jsonTooDeep:
            return "objects and arrays nested more than " + number(e.limit) + " deep";
        case ProfileErrorCode::jsonKeyTooLong:
            return "a key of " + number(e.length) + " bytes, at most " + number(e.limit);
    }
    return {};
}

}  // namespace

std::string describe(const ProfileError& error) {
    std::string text = error.field.empty() ? problem(error) : error.field + ": " + problem(error);
    if (!error.rule.empty()) text += " (" + error.rule + ")";
    return text;
}

std::string describe(const Warning& warning) {
    const std::string prefix = warning.field.empty() ? "" : warning.field + ": ";
    switch (warning.code) {
        case WarningCode::transliterated:
            return prefix + numberText(warning.value) +
                   " characters written in ASCII letters, the first at character " +
                   std::to_string(warning.position);
        case WarningCode::dataLooksUtf8:
            return prefix + "the data reads as UTF-8 where the scheme expects ISO-8859-1";
        case WarningCode::moduleTooNarrow:
            return "modules " + numberTextBeside(warning.value, warning.limit) +
                   " mm wide, narrower than " + numberText(warning.limit) + " mm";
        case WarningCode::moduleTooWide:
            return "modules " + numberTextBeside(warning.value, warning.limit) +
                   " mm wide, wider than " + numberText(warning.limit) + " mm";
        case WarningCode::rowsTooLow:
            return "rows " + numberTextBeside(warning.value, warning.limit) +
                   " module widths high, lower than " + numberText(warning.limit);
    }
    return {};
}

std::string describe(const SettingConflict& conflict) {
    return "the scheme requires " + conflict.rule;
}

}  // namespace barquill::profiles
