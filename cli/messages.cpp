// SPDX-License-Identifier: MIT
#include "cli/messages.h"

#include <algorithm>
#include <charconv>

#include "barquill/text.hpp"
#include "cli/exit_status.h"

namespace barquill::cli {

namespace {

constexpr std::string_view seriesDetails =
    "--file-id, --file-name, --sender, --addressee, --timestamp, --file-size and --checksum";

std::string number(long value) {
    return std::to_string(value);
}

std::string percent(long part, long whole) {
    return whole > 0 ? std::to_string((part * 100 + whole / 2) / whole) + "%" : "-";
}

std::string millimetres(double mm, int decimals) {
    char text[32];
    const auto [end, failed] =
        std::to_chars(text, text + sizeof text, mm, std::chars_format::fixed, decimals);
    return failed == std::errc() ? std::string(text, end) : std::string("?");
}

std::string columnList(std::uint32_t mask) {
    std::string list;
    for (int c = 1; c <= maxColumns; ++c) {
        if (!(mask & (1u << c))) continue;
        int last = c;
        while (last < maxColumns && (mask & (1u << (last + 1)))) ++last;
        if (!list.empty()) list += ", ";
        list += std::to_string(c);
        if (last > c) list += (last == c + 1 ? ", " : " to ") + std::to_string(last);
        c = last;
    }
    return list;
}

std::string knownCharsets() {
    std::string names;
    for (const CharsetInfo& set : charsets())
        names += std::string(names.empty() ? "" : ", ") + std::string(set.name);
    return names;
}

// The encoder's first line for a shape it cannot make, as scripts know it.
std::string shapeHeadline(ErrorCode code) {
    switch (code) {
        case ErrorCode::dataTooLong:
            return "error: input string too long (PDF error 2)";
        case ErrorCode::columnsDoNotFit:
            return "error: data too long for specified number of columns (PDF error 4)";
        default:
            return "error: data does not fit the specified rows and columns";
    }
}

std::string shapeAdvice(const Error& e) {
    const ShapeNumbers& s = e.shape;
    const std::string need = "the data needs " + number(s.dataCodewords) +
                             " data codewords and level " + number(s.level) + " adds " +
                             number(s.errorCorrectionCodewords) + " error-correction codewords";
    const std::string all = ": with the length descriptor " + number(e.needed) + " codewords";
    switch (e.code) {
        case ErrorCode::dataTooLong:
            if (!lowerLevelFits(s))
                return need + all + ", more than the " + number(maxCodewords) +
                       " one symbol holds at any level: split it over several symbols with "
                       "--macro (or --segments N), or shorten the data";
            return need + all + ", more than the " + number(maxCodewords) +
                   " one symbol holds: choose a lower level (-l), shorten the data, or split it "
                   "over several symbols with --macro";
        case ErrorCode::columnsDoNotFit:
            return need + all + ", more than " + number(s.columns) + " columns hold within " +
                   number(maxRows) + " rows and " + number(maxCodewords) + " codewords" +
                   (s.fittingColumns != 0
                        ? ": give -c " + columnList(s.fittingColumns) + ", or -c auto"
                    : lowerLevelFits(s)
                        ? ": choose a lower level (-l)"
                        : ": split the data over several symbols with --macro, or shorten it");
        default: {
            // A shape past the codewords of a symbol is none whatever the data.
            if (s.columns != 0 && s.rows * s.columns > maxCodewords)
                return std::to_string(s.rows) + " rows of " + number(s.columns) + " columns are " +
                       number(s.rows * s.columns) + " codewords, more than the " +
                       number(maxCodewords) + " a symbol holds: give fewer rows or columns";
            std::string fits;
            for (const Shape& shape : fittingShapes(s)) {
                if (!fits.empty()) fits += ", or ";
                fits += shape.rows == s.rows
                            ? number(shape.columns) + " columns at " + number(shape.rows) + " rows"
                            : number(shape.rows) + " rows at " + number(shape.columns) + " columns";
            }
            return need + all + ", more than " + number(s.rows) + " rows" +
                   (s.columns != 0 ? " of " + number(s.columns) + " columns hold"
                                   : " of up to " + number(maxColumns) + " columns hold within " +
                                         number(maxCodewords) + " codewords") +
                   (fits.empty() ? ": give more rows or columns, or a lower level (-l)"
                                 : ": needs " + fits);
        }
    }
}

std::vector<std::string> seriesLines(const Error& e) {
    const int asked = e.shape.segments > 0 ? e.shape.segments : 0;
    const std::string which = asked > 0 ? "the largest of the " + number(asked) + " symbols"
                                        : std::string("even a symbol with one byte of data");
    return {"error: the data cannot be split into " +
                (asked > 0 ? number(asked) + " symbols" : std::string("symbols")) +
                " of this level and shape",
            which + " needs " + number(e.shape.dataCodewords) +
                " data codewords with its control block, and level " + number(e.shape.level) +
                " adds " + number(e.shape.errorCorrectionCodewords) +
                " error-correction codewords: more than one symbol of this level and shape "
                "holds: " +
                (asked > 0 ? "give more --segments (or --macro to choose), a lower level (-l)"
                           : "choose a lower level (-l)") +
                ", or more rows or columns"};
}

std::string textLine(const Error& e) {
    if (!e.character.empty())
        return "error: '" + e.character + "' at " + number(e.value) + " has no " + e.given +
               " form: use --charset UTF-8" +
               (e.suggestion.empty() ? std::string() : " or " + e.suggestion);
    if (e.value > 0)
        return "error: the data is not UTF-8 text (byte " + number(e.value) +
               "), so it cannot be converted into " + e.given +
               ": give --charset none to encode the bytes as they are, or --eci N for their "
               "character set";
    return "error: this system cannot convert text into " + e.given;
}

}  // namespace

std::string optionName(std::string_view field) {
    if (field == "split") return "--macro or --segments";
    if (field == "fileId" || field == "macro.fileId") return "--file-id";
    for (const SettingInfo& setting : settingTable())
        if (setting.field == field) return "--" + std::string(setting.name);
    return std::string(field);
}

std::string usageText(const Error& e) {
    const std::string option = optionName(e.field);
    switch (e.code) {
        case ErrorCode::conflictingOptions:
            if (e.field == "aspect")
                return "--aspect chooses the columns: give it without --rows and --columns";
            if (e.field == "fit")
                return "--fit chooses the module size: give it without --xdim, --module-width or "
                       "--row-height";
            if (e.field == "charset")
                return "give --charset or --eci, not both: --charset writes the ECI of the set it "
                       "converts into";
            if (e.field == "bar")
                return "--fg and --bg are the same colour: no reader could see the bars";
            if (e.field == "printerEncodes")
                return "--zpl-native and --escpos-native write the printer's own command: they "
                       "need a .zpl or .escpos output (or --format zpl or escpos), not " +
                       e.given;
            if (e.field == "path")
                return "a Macro series writes several files; -o " + e.given +
                       " names an open descriptor and, as -o -, is for one symbol";
            return "give either " + option + " or " + optionName(e.other) + ", not both";
        case ErrorCode::missingOption:
            if (e.other == "split")
                return std::string(seriesDetails) +
                       " belong to a series: add --macro or --segments";
            return option + " needs " + optionName(e.other) +
                   (e.other == "dpi" ? ", the printer's resolution" : "");
        case ErrorCode::invalidEscape:
            return e.message;
        default:
            break;
    }
    if (e.given.empty() && e.field == "moduleMm" && e.needed > 0)
        return "--xdim at this resolution needs " + number(e.needed) +
               " dots per module; at most " + number(e.available) + " are drawn";
    if (e.given.empty() && e.field == "moduleMm")
        return "--xdim must be above 0 and at most " + number(static_cast<long>(maxModuleMm)) +
               " mm";
    const SettingInfo* setting = nullptr;
    for (const SettingInfo& s : settingTable())
        if (s.field == e.field) setting = &s;
    if (setting == nullptr) return e.message;
    if (e.field == "bar" || e.field == "space")
        return option + " \"" + e.given + "\" is no colour; give " + std::string(setting->values);
    if (e.field == "charset")
        return "--charset \"" + e.given + "\" is not known; give none or one of " + knownCharsets();
    if (setting->maximum == maxMacroText && setting->minimum == 0)
        return option + " must be printable ASCII of at most " + number(maxMacroText) +
               " characters";
    // A value the library found out of range for the chosen output, not one
    // given as text: name it with the range that output takes.
    if (e.given.empty() && e.maximum > e.minimum)
        return option + " " + number(e.value) + " is outside the " + number(e.minimum) + " to " +
               number(e.maximum) + " this output takes" +
               (e.field == "moduleWidth" ? " (--xdim gives the dots it is at --dpi)" : "");
    if (e.given.empty() && setting->kind != SettingKind::flag)
        return option + " needs a value, not an empty one";
    return option + " must be " + std::string(setting->values) + ", not \"" + e.given + "\"";
}

std::vector<std::string> failureLines(const Error& e, std::size_t dataBytes) {
    switch (e.code) {
        case ErrorCode::dataTooLong:
            if (e.shape.dataCodewords < 0)
                return {shapeHeadline(e.code),
                        number(static_cast<long>(dataBytes)) +
                            " bytes are more than any symbol holds: shorten the data or split it "
                            "over several symbols with --macro"};
            [[fallthrough]];
        case ErrorCode::columnsDoNotFit:
        case ErrorCode::shapeDoesNotFit:
            if (e.shape.segments != 0) return seriesLines(e);
            return {shapeHeadline(e.code), shapeAdvice(e)};
        case ErrorCode::seriesTooShort:
            return {"error: the data cannot be split into " + number(e.needed) + " symbols",
                    "more symbols than characters of data: give fewer --segments"};
        case ErrorCode::invalidText:
            return {textLine(e)};
        case ErrorCode::labelTooSmall:
            return {"the symbol with its margin needs at least " + millimetres(e.widthMm, 1) +
                    " x " + millimetres(e.heightMm, 1) + " mm at " + number(e.value) +
                    " dpi: give a larger --fit, a smaller --margin, or a higher --dpi"};
        case ErrorCode::readOnly:
            return {"cannot write " + e.path +
                    ": the file is read-only; give --force to replace it"};
        case ErrorCode::outsideFolder:
            return {"cannot write " + e.path +
                    ": the name leads out of the output folder (a \"..\" part or a symbolic link)"};
        case ErrorCode::notOnPage:
            if (e.field == "printWidth")
                return {"error: " + e.message +
                        ": give a smaller --module-width or --xdim, or the paper's width with "
                        "--page"};
            return {"error: " + e.message + ": give a smaller --position or a larger --page"};
        case ErrorCode::notExpressible:
            return {"error: " + e.message};
        case ErrorCode::notVerified:
            return {e.message};
        case ErrorCode::verifyUnavailable:
            return {"verification failed: " + e.message};
        case ErrorCode::invalidOption:
        case ErrorCode::invalidRender:
        case ErrorCode::conflictingOptions:
        case ErrorCode::missingOption:
        case ErrorCode::invalidEscape:
            return {usageText(e)};
        default:
            return {e.message};
    }
}

int exitStatusOf(const Error& e) {
    switch (e.code) {
        case ErrorCode::invalidEscape:
        case ErrorCode::invalidOption:
        case ErrorCode::invalidRender:
        case ErrorCode::conflictingOptions:
        case ErrorCode::missingOption:
        case ErrorCode::profileConflict:
            return EXIT_USAGE;
        case ErrorCode::writeFailed:
        case ErrorCode::readOnly:
        case ErrorCode::renderFailed:
            return EXIT_NOT_WRITTEN;
        case ErrorCode::notVerified:
        case ErrorCode::verifyUnavailable:
            return EXIT_NOT_VERIFIED;
        default:
            return EXIT_NOT_ENCODABLE;
    }
}

std::vector<std::string> describeLabel(const Label& label) {
    std::vector<std::string> lines;
    const Render& r = label.render;
    for (const Symbol& s : label.symbols) {
        lines.push_back("symbol: " + number(s.rows()) + " rows, " + number(s.columns()) +
                        " columns, " + number(s.width()) + " modules wide, level " +
                        number(s.level()) + " (" + number(s.errorCorrectionCodewords()) +
                        " error-correction codewords)" + (s.compact() ? ", compact" : ""));
        lines.push_back("capacity used: " + number(s.dataCodewords()) + " of " +
                        number(s.capacity()) + " data codewords (" +
                        percent(s.dataCodewords(), s.capacity()) + "), " + number(s.rows()) +
                        " of " + number(maxRows) + " rows (" + percent(s.rows(), maxRows) + ")");
        const PictureSize size = pictureSize(s, r);
        std::string picture = "picture: " + number(size.width) + " x " + number(size.height) +
                              " pixels, modules of " + number(r.moduleWidth) + " x " +
                              number(r.rowHeight);
        if (r.dpi > 0)
            picture += " (" + millimetres(dotsToMm(size.width, r.dpi), 1) + " x " +
                       millimetres(dotsToMm(size.height, r.dpi), 1) + " mm at " + number(r.dpi) +
                       " dpi)";
        lines.push_back(picture);
    }
    return lines;
}

std::string warningText(const Warning& warning, const char* kind) {
    std::string text = std::string(kind) + " (" + warning.id + "): ";
    if (warning.symbol >= 0) text += "symbol " + std::to_string(warning.symbol + 1) + ": ";
    text += warning.message;
    if (!warning.change.empty()) text += "; " + warning.change;
    return text;
}

}  // namespace barquill::cli
