#include "cli/symbology.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "cli/batch_input.h"
#include "cli/numbers.h"
#include "cli/request.h"
#include "encoder/charset.h"

namespace barquill::cli {

namespace {

constexpr double MM_PER_INCH = 25.4;
constexpr double MAX_ASPECT = 100.0;
constexpr double MAX_FIT_MM = 10000.0;

// A positive length or ratio such as 2, 0.5 or 1.25.
bool parsePositive(const std::string& text, double* value) {
    return parseDecimal(text, value) && *value > 0.0;
}

// "3", "1.5" or "W:H" such as "3:1".
bool parseAspect(const std::string& text, double* value) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return parsePositive(text, value);
    double width = 0.0, height = 0.0;
    if (!parsePositive(text.substr(0, colon), &width) ||
        !parsePositive(text.substr(colon + 1), &height))
        return false;
    *value = width / height;
    return true;
}

// "WxH" in millimetres, such as "50x30" or "101.6x50.8".
bool parseArea(const std::string& text, FitArea* area) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    return parsePositive(text.substr(0, x), &area->widthMm) &&
           parsePositive(text.substr(x + 1), &area->heightMm) && area->widthMm <= MAX_FIT_MM &&
           area->heightMm <= MAX_FIT_MM;
}

// The file ID as readers show it: three digits per codeword, each group
// 000 to 899.
bool parseFileId(const std::string& text, std::vector<std::int32_t>* fileId) {
    if (text.empty() || text.size() % 3 != 0 || text.size() > 3 * encoder::MAX_FILE_ID_CODEWORDS ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    fileId->clear();
    for (std::size_t i = 0; i < text.size(); i += 3) {
        const int group = std::stoi(text.substr(i, 3));
        if (group > 899) return false;
        fileId->push_back(group);
    }
    return true;
}

// Seconds since 1970 UTC, "now", or an ISO 8601 UTC time 2026-12-10T14:30:00Z.
bool parseTimestamp(const std::string& text, std::int64_t* seconds) {
    if (text == "now") {
        *seconds = static_cast<std::int64_t>(std::time(nullptr));
        return true;
    }
    long long whole = 0;
    if (parseWholeNumber(text, 0, 999999999999LL, &whole)) {
        *seconds = whole;
        return true;
    }
    std::tm parts{};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char zone = 0, end = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c%c", &year, &month, &day, &hour,
                    &minute, &second, &zone, &end) != 7 ||
        zone != 'Z' || year < 1970 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
        minute > 59 || second > 60)
        return false;
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    *seconds = static_cast<std::int64_t>(timegm(&parts));
    return true;
}

bool printableAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c < 32 || c > 126) return false;
    return true;
}

std::string millimetres(double mm) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", mm);
    return text;
}

// Sets worth suggesting when a character has no form in the one asked
// for: the common Latin ones first, then every other set in ECI order.
std::string otherCharsetFor(const std::string& character, const encoder::Charset& refused) {
    std::vector<std::string> order{"ISO-8859-15", "Windows-1252", "ISO-8859-1", "ISO-8859-2",
                                   "Windows-1250"};
    for (const encoder::Charset& set : encoder::knownCharsets()) order.push_back(set.name);
    for (const std::string& name : order) {
        const auto set = encoder::findCharset(name);
        if (!set || set->eci == refused.eci || set->eci == encoder::ECI_UTF8 || set->eci == 25)
            continue;
        if (encoder::convertText(character, *set).ok()) return set->name;
    }
    return "";
}

std::string columnList(std::uint32_t mask) {
    std::string list;
    for (int c = 1; c <= encoder::MAX_COLUMNS; ++c) {
        if (!(mask & (1u << c))) continue;
        int last = c;
        while (last < encoder::MAX_COLUMNS && (mask & (1u << (last + 1)))) ++last;
        if (!list.empty()) list += ", ";
        list += std::to_string(c);
        if (last > c) list += (last == c + 1 ? ", " : " to ") + std::to_string(last);
        c = last;
    }
    return list;
}

}  // namespace

void addSymbologyOptions(CLI::App& app, SymbologyArguments* arguments) {
    const char* symbol = "Symbol";
    const char* text = "Character set";
    const char* macro = "Macro PDF417 (a series of symbols)";
    app.add_option("--rows", arguments->rows, "Rows 3 to 90: with -c a fixed size")
        ->type_name("N")
        ->group(symbol);
    app.add_option("--aspect", arguments->aspect, "Printed width : height wanted (3:1 or 3)")
        ->type_name("RATIO")
        ->group(symbol);
    app.add_option("--fit", arguments->fit,
                   "Largest module that fits the label, in mm (with --dpi)")
        ->type_name("WxH")
        ->group(symbol);
    app.add_option("--charset", arguments->charset,
                   "Convert the text into NAME and mark it with its ECI; none: bytes as given")
        ->type_name("NAME")
        ->group(text);
    app.add_option("--eci", arguments->eci, "Mark the data, already in that set, with ECI N")
        ->type_name("N")
        ->group(text);
    app.add_flag("--macro", arguments->macro, "Split data too large for one symbol into a series")
        ->group(macro);
    app.add_option("--segments", arguments->segments, "Split into exactly N symbols")
        ->type_name("N")
        ->group(macro);
    app.add_option("--file-id", arguments->fileId, "Series ID: groups of 3 digits, each up to 899")
        ->type_name("ID")
        ->group(macro);
    app.add_option("--file-name", arguments->fileName, "File name carried by the series")
        ->type_name("NAME")
        ->group(macro);
    app.add_option("--sender", arguments->sender, "Sender carried by the series")
        ->type_name("TEXT")
        ->group(macro);
    app.add_option("--addressee", arguments->addressee, "Addressee carried by the series")
        ->type_name("TEXT")
        ->group(macro);
    app.add_option("--timestamp", arguments->timestamp,
                   "Time stamp: now, seconds since 1970, or 2026-12-10T14:30:00Z")
        ->type_name("TIME")
        ->group(macro);
    app.add_flag("--file-size", arguments->fileSize, "Carry the data's size in bytes")
        ->group(macro);
    app.add_flag("--checksum", arguments->checksum, "Carry the data's CRC-16 checksum")
        ->group(macro);
}

std::string resolveSymbology(const SymbologyArguments& arguments, Request* request) {
    SymbologyRequest& symbology = request->symbology;
    long long number = 0;
    if (!arguments.rows.empty() && arguments.rows != "auto") {
        if (!parseWholeNumber(arguments.rows, encoder::MIN_ROWS, encoder::MAX_ROWS, &number))
            return "--rows must be 3 to 90 or auto, not \"" + arguments.rows + "\"";
        symbology.rows = static_cast<int>(number);
    }
    if (!arguments.aspect.empty()) {
        if (!parseAspect(arguments.aspect, &symbology.aspect) || symbology.aspect > MAX_ASPECT ||
            symbology.aspect < 1.0 / MAX_ASPECT)
            return "--aspect must be a ratio such as 3:1, 1:2 or 2.5, not \"" + arguments.aspect +
                   "\"";
        if (symbology.rows != 0 || request->columns != 0)
            return "--aspect chooses the columns: give it without --rows and --columns";
    }
    if (!arguments.fit.empty()) {
        FitArea area;
        if (!parseArea(arguments.fit, &area))
            return "--fit must be the label's width and height in mm, such as 50x30, not \"" +
                   arguments.fit + "\"";
        if (request->geometry.dpi == 0) return "--fit needs --dpi, the printer's resolution";
        if (request->geometry.moduleWidth != 2 || request->geometry.rowHeight != 4)
            return "--fit chooses the module size: give it without --xdim, --module-width or "
                   "--row-height";
        if (request->batchPath)
            return "--fit sizes one symbol to its label; in a batch give --xdim and --dpi";
        symbology.fit = area;
    }

    if (!arguments.charset.empty() && !arguments.eci.empty())
        return "give --charset or --eci, not both: --charset writes the ECI of the set it "
               "converts into";
    if (!arguments.charset.empty()) {
        if (arguments.charset != "none" && !encoder::findCharset(arguments.charset)) {
            std::string names;
            for (const encoder::Charset& set : encoder::knownCharsets())
                names += std::string(names.empty() ? "" : ", ") + set.name;
            return "--charset \"" + arguments.charset + "\" is not known; give none or one of " +
                   names;
        }
        symbology.charset = arguments.charset;
    }
    if (!arguments.eci.empty()) {
        if (!parseWholeNumber(arguments.eci, 0, encoder::MAX_ECI, &number))
            return "--eci must be 0 to " + std::to_string(encoder::MAX_ECI) + ", not \"" +
                   arguments.eci + "\"";
        symbology.eci = static_cast<int>(number);
    }

    encoder::MacroSeriesOptions& series = symbology.series;
    symbology.macro = arguments.macro || !arguments.segments.empty();
    if (!arguments.segments.empty()) {
        if (!parseWholeNumber(arguments.segments, 1, encoder::MAX_MACRO_SEGMENTS, &number))
            return "--segments must be 1 to " + std::to_string(encoder::MAX_MACRO_SEGMENTS) +
                   ", not \"" + arguments.segments + "\"";
        series.segments = static_cast<int>(number);
    }
    const bool macroDetails = !arguments.fileId.empty() || !arguments.fileName.empty() ||
                              !arguments.sender.empty() || !arguments.addressee.empty() ||
                              !arguments.timestamp.empty() || arguments.checksum ||
                              arguments.fileSize;
    if (macroDetails && !symbology.macro)
        return "--file-id, --file-name, --sender, --addressee, --timestamp, --file-size and "
               "--checksum belong to a series: add --macro or --segments";
    if (!arguments.fileId.empty() && !parseFileId(arguments.fileId, &series.fileId))
        return "--file-id must be 1 to 30 groups of three digits, each 000 to 899, such as "
               "123045, not \"" +
               arguments.fileId + "\"";
    for (auto [option, value, target] :
         {std::tuple{"--file-name", &arguments.fileName, &series.fileName},
          std::tuple{"--sender", &arguments.sender, &series.sender},
          std::tuple{"--addressee", &arguments.addressee, &series.addressee}}) {
        if (!printableAscii(*value) || value->size() > encoder::MAX_MACRO_TEXT)
            return std::string(option) + " must be printable ASCII of at most " +
                   std::to_string(encoder::MAX_MACRO_TEXT) + " characters";
        *target = *value;
    }
    if (!arguments.timestamp.empty()) {
        std::int64_t seconds = 0;
        if (!parseTimestamp(arguments.timestamp, &seconds))
            return "--timestamp must be now, seconds since 1970, or a UTC time such as "
                   "2026-12-10T14:30:00Z, not \"" +
                   arguments.timestamp + "\"";
        series.timeStamp = seconds;
    }
    series.checksum = arguments.checksum;
    series.fileSize = arguments.fileSize;
    if (symbology.macro) {
        if (request->batchPath)
            return "--macro and --segments make a series of one data, not a batch";
        if (request->outputPath == "-")
            return "a Macro series writes several files; -o - is for one symbol";
    }
    return "";
}

bool applyCharset(const Request& request, bool fromText, std::string* data, int* eci,
                  std::string* error) {
    const SymbologyRequest& symbology = request.symbology;
    *eci = symbology.eci;
    if (symbology.eci != encoder::NO_ECI) return true;
    if (!symbology.charset) {
        if (fromText) *eci = encoder::defaultTextEci(*data);
        return true;
    }
    if (*symbology.charset == "none") return true;
    const encoder::Charset charset = *encoder::findCharset(*symbology.charset);
    encoder::Conversion converted = encoder::convertText(*data, charset);
    switch (converted.error) {
        case encoder::ConversionError::None:
            *data = std::move(converted.bytes);
            *eci = charset.eci;
            return true;
        case encoder::ConversionError::NotRepresentable: {
            const std::string other = otherCharsetFor(converted.character, charset);
            *error = "'" + converted.character + "' at " + std::to_string(converted.position) +
                     " has no " + charset.name + " form: use --charset UTF-8" +
                     (other.empty() ? "" : " or " + other);
            return false;
        }
        case encoder::ConversionError::InvalidUtf8:
            *error = "the data is not UTF-8 text (byte " + std::to_string(converted.position) +
                     "), so it cannot be converted into " + charset.name +
                     ": give --charset none to encode the bytes as they are, or --eci N for "
                     "their character set";
            return false;
        default:
            *error = std::string("this system cannot convert text into ") + charset.name;
            return false;
    }
}

bool fitGeometry(const encoder::SymbolJob& job, const Request& request, ModuleGeometry* geometry,
                 std::string* error) {
    const FitArea& area = *request.symbology.fit;
    const int dpi = request.geometry.dpi;
    const long width = std::lround(std::floor(area.widthMm * dpi / MM_PER_INCH + 1e-9));
    const long height = std::lround(std::floor(area.heightMm * dpi / MM_PER_INCH + 1e-9));
    const long margins = 2L * request.margin;
    for (int dots = MAX_MODULE_WIDTH; dots >= 1; --dots) {
        if (margins + static_cast<long>(job.width) * dots <= width &&
            margins + static_cast<long>(job.rows) * 3 * dots <= height) {
            *geometry = ModuleGeometry{dots, 3 * dots, dpi};
            return true;
        }
    }
    *error =
        "the symbol (" + std::to_string(job.width) + " modules by " + std::to_string(job.rows) +
        " rows, with its " + std::to_string(request.margin) + "-pixel margin) needs at least " +
        millimetres((margins + job.width) * MM_PER_INCH / dpi) + " x " +
        millimetres((margins + 3L * job.rows) * MM_PER_INCH / dpi) + " mm at " +
        std::to_string(dpi) + " dpi: give a larger --fit, a smaller --margin, or a higher --dpi";
    return false;
}

encoder::SymbolOptions shapeOptions(const Request& request, int eci) {
    const SymbologyRequest& symbology = request.symbology;
    encoder::SymbolOptions options;
    options.rows = symbology.rows;
    options.aspect = symbology.aspect;
    options.moduleWidth = request.geometry.moduleWidth;
    options.rowHeight = request.geometry.rowHeight;
    options.fillLevel = symbology.fillLevel;
    options.eci = eci;
    // A label area with no shape asked for: a symbol of the label's proportions.
    if (symbology.fit && options.rows == 0 && options.aspect == 0.0 && request.columns == 0) {
        options.aspect = symbology.fit->widthMm / symbology.fit->heightMm;
        options.moduleWidth = 1;
        options.rowHeight = 3;
    }
    return options;
}

std::string segmentName(const std::string& output, int index, int count) {
    if (output.find('%') != std::string::npos) {
        std::string error;
        const CounterPattern pattern = CounterPattern::parse(output, &error);
        if (error.empty()) return pattern.nameFor(index + 1);
    }
    const std::size_t digits = std::max<std::size_t>(2, std::to_string(count).size());
    std::string counter = std::to_string(index + 1);
    const std::string number =
        "-" + std::string(digits - std::min(digits, counter.size()), '0') + counter;
    const std::size_t slash = output.find_last_of('/');
    const std::size_t dot = output.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return hasExtension ? output.substr(0, dot) + number + output.substr(dot) : output + number;
}

std::vector<std::string> explainReport(const encoder::SymbolReport& report, std::size_t dataBytes) {
    using encoder::SymbolError;
    std::vector<std::string> lines;
    if (report.dataCodewords < 0) {
        lines.push_back(std::to_string(dataBytes) +
                        " bytes are more than any symbol holds: shorten the data or split it "
                        "over several symbols with --macro");
        return lines;
    }
    const std::string need = "the data needs " + std::to_string(report.dataCodewords) +
                             " data codewords and level " + std::to_string(report.level) +
                             " adds " + std::to_string(report.errorCorrectionCodewords) +
                             " error-correction codewords";
    const std::string all =
        ": with the length descriptor " + std::to_string(report.needed) + " codewords";
    switch (report.error) {
        case SymbolError::TooLong:
            lines.push_back(need + all + ", more than the " +
                            std::to_string(encoder::MAX_SYMBOL_CODEWORDS) +
                            " one symbol holds: choose a lower level (-l), shorten the data, or "
                            "split it over several symbols with --macro");
            break;
        case SymbolError::ColumnsDoNotFit:
            lines.push_back(need + all + ", more than " + std::to_string(report.columns) +
                            " columns hold within 90 rows and 928 codewords" +
                            (report.fittingColumns != 0
                                 ? ": give -c " + columnList(report.fittingColumns) + ", or -c auto"
                                 : ": choose a lower level (-l)"));
            break;
        case SymbolError::ShapeDoesNotFit: {
            std::string what =
                need + all + ", more than " + std::to_string(report.rows) + " rows" +
                (report.columns != 0 ? " of " + std::to_string(report.columns) + " columns hold"
                                     : " of up to 30 columns hold within 928 codewords");
            std::string fits;
            if (report.columnsAtRows <= encoder::MAX_COLUMNS &&
                report.rows * report.columnsAtRows <= encoder::MAX_SYMBOL_CODEWORDS)
                fits = std::to_string(report.columnsAtRows) + " columns at " +
                       std::to_string(report.rows) + " rows";
            if (report.columns != 0 && report.rowsAtColumns <= encoder::MAX_ROWS &&
                report.rowsAtColumns * report.columns <= encoder::MAX_SYMBOL_CODEWORDS)
                fits += (fits.empty() ? "" : ", or ") + std::to_string(report.rowsAtColumns) +
                        " rows at " + std::to_string(report.columns) + " columns";
            lines.push_back(what + (fits.empty()
                                        ? ": give more rows or columns, or a lower level (-l)"
                                        : ": needs " + fits));
            break;
        }
        default:
            lines.push_back(report.option == encoder::SymbolOption::SegmentCount
                                ? "more symbols than bytes of data: give fewer --segments"
                                : "a symbol option is out of range");
            break;
    }
    return lines;
}

std::vector<std::string> explainSeries(const encoder::SymbolReport& report, int asked,
                                       std::size_t dataBytes) {
    if (report.error == encoder::SymbolError::InvalidOption)
        return explainReport(report, dataBytes);
    const std::string which = asked > 0 ? "the largest of the " + std::to_string(asked) + " symbols"
                                        : std::string("even a symbol with one byte of data");
    return {which + " needs " + std::to_string(report.dataCodewords) +
            " data codewords with its control block, and level " + std::to_string(report.level) +
            " adds " + std::to_string(report.errorCorrectionCodewords) +
            " error-correction codewords: more than one symbol of this level and shape holds: " +
            (asked > 0 ? "give more --segments (or --macro to choose), a lower level (-l)"
                       : "choose a lower level (-l)") +
            ", or more rows or columns"};
}

}  // namespace barquill::cli
