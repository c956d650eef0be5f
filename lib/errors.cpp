// SPDX-License-Identifier: MIT
// Default English texts for errors, made from their codes and numbers in
// this one place, so every front end that wants one gets the same words.

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "barquill/barquill.hpp"
#include "lib/internal.h"

namespace barquill {

namespace {

struct CodeText {
    ErrorCode code;
    std::string_view text;
};

constexpr std::array codeTexts{
    CodeText{ErrorCode::ok, "ok"},
    CodeText{ErrorCode::emptyData, "nothing to encode"},
    CodeText{ErrorCode::dataTooLong, "the data is more than any symbol holds"},
    CodeText{ErrorCode::columnsDoNotFit, "the data needs more than 90 rows at these columns"},
    CodeText{ErrorCode::shapeDoesNotFit, "the data does not fit the given rows and columns"},
    CodeText{ErrorCode::invalidText, "the text is not UTF-8 or has no form in the character set"},
    CodeText{ErrorCode::invalidEscape, "the text holds an unknown escape"},
    CodeText{ErrorCode::invalidOption, "an encoding option is out of range"},
    CodeText{ErrorCode::invalidRender, "a rendering option is out of range"},
    CodeText{ErrorCode::conflictingOptions, "two options cannot be given together"},
    CodeText{ErrorCode::missingOption, "an option needs another"},
    CodeText{ErrorCode::labelTooSmall, "the symbol does not fit the label"},
    CodeText{ErrorCode::seriesTooShort, "more symbols than characters of data"},
    CodeText{ErrorCode::notOnPage, "the symbol does not fit the page where it is placed"},
    CodeText{ErrorCode::notExpressible, "the printer's own command cannot express this symbol"},
    CodeText{ErrorCode::invalidField, "a field breaks its profile's rule"},
    CodeText{ErrorCode::profileConflict, "a setting breaks the profile's rule"},
    CodeText{ErrorCode::renderFailed, "the picture could not be made"},
    CodeText{ErrorCode::writeFailed, "the file could not be written"},
    CodeText{ErrorCode::readOnly, "the file is read-only"},
    CodeText{ErrorCode::notVerified, "the symbol did not read back as the data"},
    CodeText{ErrorCode::verifyUnavailable, "this build cannot read symbols back"},
    CodeText{ErrorCode::outsideFolder, "the name leaves its folder"},
    CodeText{ErrorCode::invalidArgument,
             "a null pointer, a structure of unknown size, or an argument out of its range"},
    CodeText{ErrorCode::outOfMemory, "out of memory"},
};

std::string number(long value) {
    return std::to_string(value);
}

// Greys at least this far apart (of 255) are not alike to a reader.
constexpr long distinctGreys = 64;

std::string mismatchText(const Error& e) {
    switch (e.mismatch) {
        case Mismatch::notFound:
            // The greys of bars and background, where the check knew them:
            // far apart, only the bars' being the lighter explains the miss.
            if (e.value - e.needed >= distinctGreys)
                return "the reader finds no symbol in the picture: its bars are lighter than "
                       "the background, and readers look for dark bars on a light ground; make "
                       "the bars darker than the background";
            return "the reader finds no symbol in the picture (are bars and background too "
                   "alike in brightness?)";
        case Mismatch::bytes:
            return "the symbol reads back as " + number(e.value) + " bytes instead of " +
                   number(e.needed) + ", differing from byte " + number(e.available);
        case Mismatch::eci:
            return "the symbol reads back with another ECI designator";
        case Mismatch::macro:
            return "the Macro PDF417 fields read back differ from those asked for";
        case Mismatch::picture:
            // A file that is not its picture says how.
            if (!e.given.empty()) return e.given;
            return "the picture does not sample back to the symbol's modules (row " +
                   number(e.row) + ", module " + number(e.module) + ")";
        case Mismatch::matrix:
            return "the symbol's modules are not exact at row " + number(e.row) + ", module " +
                   number(e.module);
        case Mismatch::none:
            break;
    }
    return "the symbol did not read back";
}

std::string shapeText(const Error& e) {
    const std::string needs = "the data needs " + number(e.needed) + " codewords at level " +
                              number(e.shape.level) + ", ";
    switch (e.code) {
        case ErrorCode::dataTooLong:
            if (e.shape.dataCodewords < 0)
                return number(e.needed) + " bytes are more than the " + number(e.available) +
                       " a symbol can be made of";
            return needs + "more than the " + number(e.available) + " a symbol holds: " +
                   (lowerLevelFits(e.shape) ? "shorten it or lower the level"
                                            : "split it into a Macro PDF417 series or shorten it");
        case ErrorCode::columnsDoNotFit:
            return needs + "more than " + number(maxRows) + " rows of " + number(e.shape.columns) +
                   " columns hold: give more columns or a lower level";
        default:
            return needs + "more than " + number(e.shape.rows) + " rows of " +
                   number(e.shape.columns) + " columns hold (" + number(e.available) + ")";
    }
}

// The printer's own PDF417 command, or its picture, and the measure at
// fault with its unit and limits.
std::string notExpressibleText(const Error& e, const std::string& field) {
    if (field.starts_with("picture.")) {
        const std::string unit = field == "picture.dotRows"       ? " dot rows"
                                 : field == "picture.bytesPerRow" ? " bytes per row"
                                                                  : " bytes";
        std::string text = "the printer's picture would be ";
        text += number(e.value);
        text += unit;
        text += ", more than the ";
        text += number(e.maximum);
        text += " its command takes";
        return text;
    }
    std::string text = "the printer's own PDF417 command cannot express ";
    if (field == "level") {
        text += "level ";
        text += number(e.value);
        text += ": it takes levels ";
        text += number(e.minimum);
        text += " to ";
        text += number(e.maximum);
        return text;
    }
    text += "the ";
    text += field;
    if (e.maximum > 0) {
        // Appended piece by piece: g++ 12 warns falsely on " " + string here.
        text += ' ';
        text += number(e.value);
        text += " (at most ";
        text += number(e.maximum);
        text += ')';
    }
    return text;
}

std::string messageFor(const Error& e, std::string_view fieldName) {
    const std::string field(fieldName.empty() ? std::string_view(e.field) : fieldName);
    const std::string which = e.symbol >= 0 ? "symbol " + number(e.symbol + 1) + ": " : "";
    switch (e.code) {
        case ErrorCode::dataTooLong:
        case ErrorCode::columnsDoNotFit:
        case ErrorCode::shapeDoesNotFit:
            return which + shapeText(e);
        case ErrorCode::invalidText:
            if (!e.character.empty())
                return "character " + number(e.value) + " (" + e.character +
                       ") has no form in charset " + e.given;
            if (e.value > 0) return "the text is not UTF-8: byte " + number(e.value);
            return "this system cannot convert into " + e.given;
        case ErrorCode::invalidEscape:
            return "unknown escape " + e.given + " at " + number(e.value) +
                   " (escapes are \\n \\r \\t \\\\ and \\xHH)";
        case ErrorCode::invalidOption:
        case ErrorCode::invalidRender:
            if (!e.other.empty() && e.field == "eci")
                return field + " " + number(e.value) + " contradicts " + e.other;
            if (!e.other.empty()) return "give " + field + " without " + e.other;
            if (!e.given.empty())
                return field + " \"" + e.given + "\" is not a valid value" +
                       (e.maximum > e.minimum
                            ? ": give " + number(e.minimum) + " to " + number(e.maximum)
                            : std::string());
            if (e.minimum == 0 && e.maximum == maxMacroText)
                return field + " must be printable ASCII of at most " + number(maxMacroText) +
                       " characters";
            return field + " " + number(e.value) + " is out of range" +
                   (e.maximum > e.minimum ? " " + number(e.minimum) + " to " + number(e.maximum)
                                          : std::string());
        case ErrorCode::conflictingOptions:
            return "give " + field + " or " + e.other + ", not both";
        case ErrorCode::missingOption:
            return field + " needs " + e.other;
        case ErrorCode::labelTooSmall:
            return "the symbol needs at least " + decimalText(e.widthMm, 1) + " x " +
                   decimalText(e.heightMm, 1) + " mm";
        case ErrorCode::seriesTooShort:
            return "more symbols than characters of data: " + number(e.needed) + " asked, " +
                   number(e.available) + " bytes";
        case ErrorCode::notOnPage:
            if (e.field == "printWidth")
                return "the ESC/POS picture is " + number(e.value) +
                       " dots wide, past the printer's print width of " + number(e.maximum) +
                       " dots (80 mm paper's 72 mm at the resolution, 203 dpi when none, or "
                       "the page's width)";
            if (e.other == "down")
                return "the symbol reaches " + decimalText(e.heightMm, 1) +
                       " mm down, past the page's bottom edge";
            return "the symbol reaches " + decimalText(e.widthMm, 1) +
                   " mm across, past the page's right edge";
        case ErrorCode::notExpressible:
            return notExpressibleText(e, field);
        case ErrorCode::invalidField:
        case ErrorCode::profileConflict:
            // The profile's own sentence for its rule, kept whole.
            return e.other.empty() ? field + ": " + e.given : e.other;
        case ErrorCode::writeFailed:
            return "cannot write " + e.path + ": " + std::strerror(static_cast<int>(e.value));
        case ErrorCode::readOnly:
            return e.path + " is read-only";
        case ErrorCode::outsideFolder:
            return e.path + " would be written outside its folder";
        case ErrorCode::notVerified:
            return which + "verification failed: " + mismatchText(e);
        case ErrorCode::invalidArgument:
            if (field.empty()) return std::string(errorText(e.code));
            return field + " " + number(e.value) + " is out of range " + number(e.minimum) +
                   " to " + number(e.maximum);
        case ErrorCode::verifyUnavailable:
            if (e.path.empty()) return "this build cannot read symbols back: it has no reader";
            return "cannot read symbols back: the reader module " + e.path + " " +
                   (e.given.empty() ? std::string("cannot serve") : e.given);
        default:
            return std::string(errorText(e.code));
    }
}

}  // namespace

bool isSymbolShape(Shape shape) {
    return shape.columns >= 1 && shape.columns <= maxColumns && shape.rows >= minRows &&
           shape.rows <= maxRows && shape.rows * shape.columns <= maxCodewords;
}

std::vector<Shape> fittingShapes(const ShapeNumbers& refused) {
    std::vector<Shape> shapes;
    if (const Shape wider{refused.columnsAtRows, refused.rows}; isSymbolShape(wider))
        shapes.push_back(wider);
    if (const Shape taller{refused.columns, refused.rowsAtColumns};
        refused.columns != 0 && isSymbolShape(taller))
        shapes.push_back(taller);
    return shapes;
}

bool lowerLevelFits(const ShapeNumbers& refused) {
    if (refused.level <= 0 || refused.dataCodewords < 0) return false;
    // Level 0's two error-correction codewords and the length descriptor.
    const int least = refused.dataCodewords + 1 + 2;
    int room = maxCodewords;
    if (refused.columns > 0)
        room = std::min(room, refused.columns * (refused.rows > 0 ? refused.rows : maxRows));
    else if (refused.rows > 0)
        room = std::min(room, refused.rows * maxColumns);
    return least <= room;
}

std::string_view errorText(ErrorCode code) {
    for (const CodeText& c : codeTexts)
        if (c.code == code) return c.text;
    return "unknown status";
}

std::string describe(const Error& error, std::string_view fieldName) {
    return messageFor(error, fieldName);
}

void finishMessage(Error& error, std::string_view fieldName) {
    error.message = messageFor(error, fieldName);
}

Error makeError(ErrorCode code) {
    Error error;
    error.code = code;
    finishMessage(error);
    return error;
}

Error pairError(ErrorCode code, std::string_view field, std::string_view other) {
    Error error;
    error.code = code;
    error.field = field;
    error.other = other;
    finishMessage(error);
    return error;
}

Error rangeError(ErrorCode code, const char* field, long value, long minimum, long maximum) {
    Error error;
    error.code = code;
    error.field = field;
    error.value = value;
    error.minimum = minimum;
    error.maximum = maximum;
    finishMessage(error);
    return error;
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string decimalText(double value, int decimals) {
    char text[64];
    const auto [end, failed] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return failed == std::errc() ? std::string(text, end) : std::string("?");
}

const char* version() {
    return BARQUILL_VERSION_STRING;
}

}  // namespace barquill
