#include "cli/arguments.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdlib>

#include "cli/batch_input.h"
#include "cli/colour.h"
#include "cli/exit_status.h"
#include "cli/numbers.h"
#include "verify/verify.h"

#ifndef BARQUILL_VERSION
#define BARQUILL_VERSION "unknown"
#endif

namespace barquill::cli {

namespace {

constexpr const char* DESCRIPTION =
    "Makes a PDF417 barcode of TEXT, of the file given with -i, or of standard input\n"
    "(byte for byte), and writes it as PNG, GIF, BMP or SVG.\n";

constexpr const char* EXAMPLES = R"(
The format follows the output's extension: .png, .gif, .svg, anything else BMP.
--xdim needs --dpi; --dpi alone only records the resolution. In a batch, -o
names the files with a counter (labels/%05d.png); with --names a line may name
its own file after a tab, inside the folder of -o.

Exit status: 0 written; 1 usage error (nothing written); 2 the data cannot be
encoded (in a batch: any item); 3 an output could not be written; 4 a symbol
did not read back as asked (--verify) and was not written.

Examples:
  barquill -o hello.png "Hello, World!"
  barquill --xdim 0.25 --dpi 300 -o label.png "LOT 4711"
  barquill --escapes -o card.svg 'IDUSA\x1e0123456789\x1dDOE<<JOHN'
  printf 'one\ntwo\n' | barquill --batch - -o labels/%05d.png
  barquill -o - --format svg < ticket.txt > ticket.svg
)";

ParseResult usageError(const std::string& message) {
    ParseResult result;
    result.exitStatus = EXIT_USAGE;
    result.text = "barquill: " + message + "\nTry 'barquill --help' for more information.\n";
    return result;
}

}  // namespace

ParseResult parseArguments(const std::vector<std::string>& args) {
    CLI::App app(DESCRIPTION, "barquill");
    app.footer(EXAMPLES);
    app.get_formatter()->column_width(30);

    Request request;
    std::string text, level = "auto", columns = "auto", format, fg, bg, batch;
    std::string margin = std::to_string(DEFAULT_MARGIN), moduleWidth, rowHeight, xdim, dpi, jobs;
    bool version = false, verify = false, noVerify = false;

    const char* data = "Data";
    const char* output = "Output";
    const char* symbol = "Symbol";
    const char* size = "Size";
    const char* batchGroup = "Batch";
    CLI::Option* textOption =
        app.add_option("TEXT", text, "Data to encode (put -- before a TEXT that starts with -)")
            ->type_name("");
    CLI::Option* inputOption =
        app.add_option("-i,--input", request.inputPath, "Read the data from FILE, byte for byte")
            ->type_name("FILE")
            ->group(data);
    app.add_flag("--escapes", request.escapes, "Decode \\n \\r \\t \\\\ and \\xHH in the data")
        ->group(data);
    app.add_flag("--strip-newline", request.stripNewline, "Drop one line feed ending the data")
        ->group(data);
    CLI::Option* outputOption =
        app.add_option("-o,--output", request.outputPath, "Output file; - for standard output")
            ->type_name("FILE")
            ->group(output);
    CLI::Option* formatOption =
        app.add_option("--format", format, "png, gif, bmp or svg (default: the extension)")
            ->type_name("FORMAT")
            ->group(output);
    app.add_option("-l,--level", level, "Error-correction level 0 to 8, auto or fill")
        ->type_name("LEVEL")
        ->capture_default_str()
        ->group(symbol);
    app.add_option("-c,--columns", columns, "Data columns 1 to 30, or auto")
        ->type_name("N")
        ->capture_default_str()
        ->group(symbol);
    app.add_flag("--compact", request.compact, "The compact form: no right row indicator")
        ->group(symbol);
    app.add_option("--fg", fg, "Bar colour: #RRGGBB or a name (black)")
        ->type_name("COLOUR")
        ->group(symbol);
    app.add_option("--bg", bg, "Background colour (white)")->type_name("COLOUR")->group(symbol);
    app.add_option("-m,--margin", margin, "Quiet zone on every side, in pixels")
        ->type_name("PIXELS")
        ->capture_default_str()
        ->group(size);
    CLI::Option* moduleWidthOption =
        app.add_option("--module-width", moduleWidth, "Module width in pixels (2)")
            ->type_name("PIXELS")
            ->group(size);
    CLI::Option* rowHeightOption =
        app.add_option("--row-height", rowHeight, "Row height (2 x module width; 3 x with --xdim)")
            ->type_name("PIXELS")
            ->group(size);
    CLI::Option* xdimOption =
        app.add_option("--xdim", xdim, "Module width in mm, in whole printer dots")
            ->type_name("MM")
            ->group(size);
    CLI::Option* dpiOption = app.add_option("--dpi", dpi, "Printer resolution, stored in the file")
                                 ->type_name("N")
                                 ->group(size);
    CLI::Option* batchOption =
        app.add_option("--batch", batch, "One item per line of FILE (- for standard input)")
            ->type_name("FILE")
            ->group(batchGroup);
    CLI::Option* batchNulOption =
        app.add_flag("--batch-nul", request.batchNul, "Items are separated by NUL bytes")
            ->group(batchGroup);
    CLI::Option* namesOption = app.add_flag("--names", request.batchNames,
                                            "Lines are TEXT<TAB>NAME, NAME inside -o's folder")
                                   ->group(batchGroup);
    CLI::Option* jobsOption =
        app.add_option("-j,--jobs", jobs, "Worker threads, 1 to 256 (one per core)")
            ->type_name("N")
            ->group(batchGroup);
    CLI::Option* verifyOption =
        app.add_flag("--verify", verify,
                     "Read every symbol back before writing it; a mismatch writes nothing "
                     "(status 4). On by default in a batch")
            ->group(output);
    CLI::Option* noVerifyOption =
        app.add_flag("--no-verify", noVerify, "Write batch symbols without reading them back")
            ->group(output);
    app.add_flag("-f,--force", request.force, "Replace output files that are read-only")
        ->group(output);
    SymbologyArguments symbologyArguments;
    addSymbologyOptions(app, &symbologyArguments);
    app.add_flag("-v,--verbose", request.verbose, "Tell what was built, on standard error");
    app.add_flag("-q,--quiet", request.quiet, "No warnings");
    app.add_flag("--version", version, "Print the version and exit");

    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::CallForHelp&) {
        ParseResult result;
        result.text = app.help();
        return result;
    } catch (const CLI::ParseError& error) {
        return usageError(error.what());
    }
    if (version) {
        ParseResult result;
        result.text = "barquill " BARQUILL_VERSION "\n";
        return result;
    }

    // An empty value is a mistake (an unset shell variable), never a default.
    for (const CLI::Option* option : app.get_options()) {
        if (option->get_positional() || option->get_expected_min() == 0) continue;
        for (const std::string& value : option->results())
            if (value.empty())
                return usageError(option->get_name() + " needs a value, not an empty one");
    }

    // Whole numbers, each with its range; "auto" where the encoder chooses.
    struct NumberOption {
        const char* name;
        const std::string* text;
        int low, high;
        const char* unit;
        std::optional<int> automatic;  // the value "auto" stands for, where allowed
        int* value;
        const char* automaticWords = " or auto";
    };
    int levelValue = 0, columnsValue = 0, marginValue = 0, moduleWidthValue = 0, rowHeightValue = 0,
        dpiValue = 0, jobsValue = 0;
    const NumberOption numbers[] = {
        {"--level", &level, 0, 8, "", -1, &levelValue, ", auto or fill"},
        {"--columns", &columns, 1, 30, "", 0, &columnsValue},
        {"--margin", &margin, 0, MAX_MARGIN, " pixels", std::nullopt, &marginValue},
        {"--module-width", &moduleWidth, 1, MAX_MODULE_WIDTH, " pixels", std::nullopt,
         &moduleWidthValue},
        {"--row-height", &rowHeight, 1, MAX_ROW_HEIGHT, " pixels", std::nullopt, &rowHeightValue},
        {"--dpi", &dpi, 1, MAX_DPI, "", std::nullopt, &dpiValue},
        {"--jobs", &jobs, 1, 256, "", std::nullopt, &jobsValue},
    };
    // "fill" is the automatic level raised to fill the symbol's spare codewords.
    request.symbology.fillLevel = level == "fill";
    if (request.symbology.fillLevel) level = "auto";
    for (const NumberOption& number : numbers) {
        if (app.get_option(number.name)->count() == 0 && number.text->empty()) continue;
        if (number.automatic && *number.text == "auto") {
            *number.value = *number.automatic;
            continue;
        }
        if (!parseWholeNumber(*number.text, number.low, number.high, number.value))
            return usageError(std::string(number.name) + " must be a whole number from " +
                              std::to_string(number.low) + " to " + std::to_string(number.high) +
                              number.unit + (number.automatic ? number.automaticWords : "") +
                              ", not \"" + *number.text + "\"");
    }
    request.level = levelValue;
    request.columns = columnsValue;
    request.margin = marginValue;
    request.jobs = jobsValue;
    double xdimValue = 0.0;
    if (xdimOption->count() && !parseDecimal(xdim, &xdimValue))
        return usageError("--xdim must be a length in mm such as 0.25, not \"" + xdim + "\"");

    for (auto [option, value, target] : {std::tuple{"--fg", &fg, &request.barColor},
                                         std::tuple{"--bg", &bg, &request.spaceColor}}) {
        if (value->empty()) continue;  // not given: empty values were refused above
        const std::optional<std::uint32_t> colour = parseColour(*value);
        if (!colour)
            return usageError(std::string(option) + " \"" + *value +
                              "\" is no colour; give #RRGGBB or a name such as black or navy");
        *target = *colour;
    }
    if (request.barColor == request.spaceColor)
        return usageError("--fg and --bg are the same colour: no reader could see the bars");

    GeometryRequest geometry;
    if (moduleWidthOption->count()) geometry.moduleWidth = moduleWidthValue;
    if (rowHeightOption->count()) geometry.rowHeight = rowHeightValue;
    if (xdimOption->count()) geometry.xdimMm = xdimValue;
    if (dpiOption->count()) geometry.dpi = dpiValue;
    const GeometryResult sized = computeGeometry(geometry);
    if (!sized.ok) return usageError(sized.error);
    request.geometry = sized.geometry;
    if (!sized.warning.empty()) request.warnings.push_back(sized.warning);

    if (verifyOption->count() && noVerifyOption->count())
        return usageError("give --verify or --no-verify, not both");
    if (verifyOption->count() && !verify::available())
        return usageError("--verify needs the zxing-cpp reader, and this build has none");
    // Reading a symbol back costs less than writing its file, so a batch,
    // where nobody looks at each label, verifies unless told not to.
    request.verify = verifyOption->count() > 0 ||
                     (batchOption->count() && !noVerifyOption->count() && verify::available());

    if (formatOption->count()) {
        request.format = parseFormatName(format);
        if (!request.format)
            return usageError("--format must be png, gif, bmp or svg, not \"" + format + "\"");
    }

    if (batchOption->count()) {
        request.batchPath = batch;
        if (request.batchNul && request.batchNames)
            return usageError("--names takes tab-separated lines; --batch-nul items have no names");
        if (textOption->count() || inputOption->count())
            return usageError("--batch reads its data from the list; give no TEXT or -i");
        if (!outputOption->count() && !request.batchNames)
            return usageError(
                "a batch needs -o with a counter such as labels/%05d.png, or --names and a name "
                "after a tab on each line");
        if (outputOption->count()) {
            if (request.outputPath == "-")
                return usageError("a batch writes files; -o - is for a single symbol");
            std::string error;
            CounterPattern::parse(request.outputPath, &error);
            if (!error.empty()) return usageError(error);
        }
    } else {
        if (batchNulOption->count() || jobsOption->count() || namesOption->count())
            return usageError("--batch-nul, --names and --jobs belong to --batch");
        if (textOption->count() && inputOption->count())
            return usageError("give the data as TEXT or with -i, not both");
        if (textOption->count()) request.text = text;
        if (!outputOption->count())
            return usageError("no output file: give -o FILE (- for standard output)");
        if (request.outputPath == "-" && !request.format)
            return usageError("-o - writes to standard output and needs --format png|gif|bmp|svg");
    }

    if (const std::string error = resolveSymbology(symbologyArguments, &request); !error.empty())
        return usageError(error);

    ParseResult result;
    result.run = true;
    result.request = std::move(request);
    return result;
}

}  // namespace barquill::cli
