#pragma once
// What the command line asks of the symbol beyond level and columns: its
// shape, its character set, and a Macro PDF417 series.

#include <optional>
#include <string>
#include <vector>

#include "cli/geometry.h"
#include "encoder/macro_series.h"
#include "encoder/pdf417.h"
#include "encoder/symbol_options.h"

namespace CLI {
class App;
}  // namespace CLI

namespace barquill::cli {

struct Request;

// A label area for --fit, in millimetres.
struct FitArea {
    double widthMm = 0.0;
    double heightMm = 0.0;
};

struct SymbologyRequest {
    int rows = 0;         // --rows; 0 automatic
    double aspect = 0.0;  // --aspect; 0 none
    std::optional<FitArea> fit;
    bool fillLevel = false;  // --level fill
    // --charset: unset follows the default rule (TEXT that is not ASCII
    // becomes UTF-8 with ECI 26); "none" keeps the bytes without ECI.
    std::optional<std::string> charset;
    int eci = encoder::NO_ECI;  // --eci
    bool macro = false;         // --macro or --segments
    encoder::MacroSeriesOptions series;
};

// The options' raw values while the command line is parsed.
struct SymbologyArguments {
    std::string rows, aspect, fit, charset, eci, segments, fileId, fileName, sender, addressee,
        timestamp;
    bool macro = false, checksum = false, fileSize = false;
};

// Adds --rows, --aspect, --fit, --charset, --eci and the Macro options.
void addSymbologyOptions(CLI::App& app, SymbologyArguments* arguments);

// Checks the values into request->symbology; the usage error, or empty.
std::string resolveSymbology(const SymbologyArguments& arguments, Request* request);

// The data as the character set options ask: converted from UTF-8 (with
// its ECI in *eci), or kept. `fromText`: the data came as a TEXT argument.
// False with *error (exit status 2) when a character has no form in the set.
bool applyCharset(const Request& request, bool fromText, std::string* data, int* eci,
                  std::string* error);

// --fit: the largest whole-dot module (rows three times as high) with which
// the built symbol and its margin fit the area. False with *error, the
// smallest area that would do, when even one dot is too large.
bool fitGeometry(const encoder::SymbolJob& job, const Request& request, ModuleGeometry* geometry,
                 std::string* error);

// The shape options for the encoder from the request and the ECI.
encoder::SymbolOptions shapeOptions(const Request& request, int eci);

// The output name of segment `index` (0-based) of `count`: -o's counter
// (%d) when it has one, else "-01" (as many digits as the count needs, at
// least two) before the extension.
std::string segmentName(const std::string& output, int index, int count);

// Why the encoder refused, in lines a person can act on.
std::vector<std::string> explainReport(const encoder::SymbolReport& report, std::size_t dataBytes);

}  // namespace barquill::cli
