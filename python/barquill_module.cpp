// SPDX-License-Identifier: MIT
// The Python module `barquill` over the C++ library. encode() and
// encode_many() take the settings table's names and go through makeLabel,
// as every front end does; drawing and writing run without the GIL, so
// threads encode in parallel; the symbol's modules are shared with Python
// through the buffer protocol.

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <tuple>
#include <variant>
#include <vector>

#include "barquill/barquill.hpp"
#include "barquill/batch.hpp"

namespace py = pybind11;

namespace {

// The module's EncodeError, owned by the module object (its attribute), so
// nothing of ours outlives the interpreter.
py::handle encodeErrorType;

// How a call spells the library's fields in its keywords.
enum class Spelling {
    render,    // png(), save(), ...: the drawing's own names, module_width
    settings,  // encode(), encode_many(), explain(): the settings table's names
    series,    // encode_series(): its own keywords, file_id, time_stamp
    fields,    // profiles: a scheme's field keys as the caller gave them (DL.DCS)
};

// moduleWidth -> module_width, macro.fileName -> macro.file_name.
std::string snakeCase(std::string_view field) {
    std::string name;
    for (char c : field) {
        if (c >= 'A' && c <= 'Z') {
            name += '_';
            c = static_cast<char>(c - 'A' + 'a');
        }
        name += c;
    }
    return name;
}

// A setting's name as a keyword: module-width -> module_width.
std::string keywordOf(std::string_view name) {
    std::string keyword(name);
    std::replace(keyword.begin(), keyword.end(), '-', '_');
    return keyword;
}

const barquill::SettingInfo* settingOfField(std::string_view field) {
    for (const barquill::SettingInfo& info : barquill::settingTable())
        if (info.field == field) return &info;
    return nullptr;
}

// The field as the call's keywords name it: quietZone is margin for
// encode(), quiet_zone for png(); series.segments is segments.
std::string pythonField(std::string_view field, Spelling spelling) {
    if (field.empty() || spelling == Spelling::fields) return std::string(field);
    if (spelling == Spelling::settings)
        if (const barquill::SettingInfo* info = settingOfField(field)) return keywordOf(info->name);
    if (spelling != Spelling::render && field.starts_with("series."))
        return snakeCase(field.substr(7));
    return snakeCase(field);
}

// `index`: the item of encode_many at fault, named in the message. A
// message made here (`ownMessage`) is kept; the library's is worded again
// with the names the call took.
[[noreturn]] void raise(const barquill::Error& e, Spelling spelling,
                        std::optional<std::size_t> index = std::nullopt, bool ownMessage = false) {
    const std::string field = pythonField(e.field, spelling);
    barquill::Error named = e;
    named.other = pythonField(e.other, spelling);
    std::string message = e.message;
    const barquill::SettingInfo* setting =
        spelling == Spelling::settings ? settingOfField(e.field) : nullptr;
    if (ownMessage) {
    } else if (setting && message.starts_with(std::string(setting->name) + " ")) {
        // The table's own sentence ("columns must be a whole number from 1 to 30 ...").
        message = field + message.substr(setting->name.size());
    } else if (message.empty() || field != e.field || named.other != e.other) {
        message = barquill::describe(named, field);
    }
    if (index) message = "item " + std::to_string(*index) + ": " + message;
    py::object error = encodeErrorType(message);
    error.attr("index") = index ? py::object(py::int_(*index)) : py::object(py::none());
    error.attr("code") = py::cast(e.code);
    error.attr("field") = field.empty() ? py::object(py::none()) : py::object(py::str(field));
    error.attr("value") = e.value;
    error.attr("minimum") = e.minimum;
    error.attr("maximum") = e.maximum;
    error.attr("needed") = e.needed;
    error.attr("available") = e.available;
    error.attr("message") = message;
    PyErr_SetObject(encodeErrorType.ptr(), error.ptr());
    throw py::error_already_set();
}

template <class T>
T take(barquill::Result<T>&& result, Spelling spelling) {
    if (!result) raise(result.error(), spelling);
    return std::move(result).value();
}

// Runs `work` without the GIL and returns what it gives.
template <class Work>
auto released(Work&& work) {
    std::optional<decltype(work())> result;
    {
        py::gil_scoped_release release;
        result.emplace(work());
    }
    return std::move(*result);
}

std::string typeName(const py::handle& value) {
    return py::str(py::type::handle_of(value).attr("__name__"));
}

// A whole number for a C++ int: not a bool (Python would take it as 0 or 1),
// and one too large for an int is out of range, not a failed cast.
int intOf(const py::handle& value, std::string_view field, barquill::ErrorCode code,
          Spelling spelling) {
    if (py::isinstance<py::bool_>(value) || !py::isinstance<py::int_>(value))
        throw py::type_error(pythonField(field, spelling) + " must be an int, not " +
                             typeName(value));
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow == 0 && number >= INT_MIN && number <= INT_MAX) return static_cast<int>(number);
    barquill::Error e;
    e.code = code;
    e.field = field;
    e.given = py::str(value);
    raise(e, spelling);
}

void deprecated(const std::string& message) {
    if (PyErr_WarnEx(PyExc_DeprecationWarning, message.c_str(), 1) != 0)
        throw py::error_already_set();
}

using Colour = std::tuple<int, int, int>;

barquill::Rgb rgb(const py::handle& colour, const char* field) {
    if (!py::isinstance<py::tuple>(colour) && !py::isinstance<py::list>(colour))
        throw py::type_error(std::string(field) + " must be (red, green, blue), not " +
                             typeName(colour));
    const py::sequence parts = py::reinterpret_borrow<py::sequence>(colour);
    if (py::len(parts) != 3)
        throw py::type_error(std::string(field) + " must be (red, green, blue): three ints");
    int values[3] = {};
    for (std::size_t i = 0; i < 3; ++i) {
        const int part =
            intOf(parts[i], field, barquill::ErrorCode::invalidRender, Spelling::render);
        if (part < 0 || part > 255) {
            barquill::Error e;
            e.code = barquill::ErrorCode::invalidRender;
            e.field = field;
            e.value = part;
            e.maximum = 255;
            raise(e, Spelling::render);
        }
        values[i] = part;
    }
    return {static_cast<std::uint8_t>(values[0]), static_cast<std::uint8_t>(values[1]),
            static_cast<std::uint8_t>(values[2])};
}

// A symbol as Python holds it: with the drawing, the warnings and the
// writing of the label it came from, so that png() and save() draw it as
// encode() was asked to, and a drawing asked otherwise is read back too.
struct Drawn {
    barquill::Symbol symbol;
    barquill::Render render{};
    std::vector<barquill::Warning> warnings{};
    barquill::WriteOptions write{};
    bool verify = false;
};

// The drawing keywords of png(), save(), ...: None keeps the label's.
struct RenderArgs {
    py::object moduleWidth, rowHeight, quietZone, bar, space, dpi;
    barquill::Render over(barquill::Render r) const {
        const auto number = [](const py::object& value, const char* field, int& target) {
            if (!value.is_none())
                target = intOf(value, field, barquill::ErrorCode::invalidRender, Spelling::render);
        };
        number(moduleWidth, "moduleWidth", r.moduleWidth);
        number(rowHeight, "rowHeight", r.rowHeight);
        number(quietZone, "quietZone", r.quietZone);
        number(dpi, "dpi", r.dpi);
        if (!bar.is_none()) r.bar = rgb(bar, "bar");
        if (!space.is_none()) r.space = rgb(space, "space");
        return r;
    }
};

#define BARQUILL_RENDER_ARGS                                                                 \
    py::kw_only(), py::arg("module_width") = py::none(), py::arg("row_height") = py::none(), \
                   py::arg("quiet_zone") = py::none(), py::arg("bar") = py::none(),          \
                   py::arg("space") = py::none(), py::arg("dpi") = py::none()

// A symbol read back at its label's drawing is read back again when it is
// drawn at another geometry or in other colours.
void checkDrawing(const Drawn& d, const barquill::Render& r) {
    if (!d.verify || r.printerEncodes) return;
    const barquill::Render& made = d.render;
    if (r.moduleWidth == made.moduleWidth && r.rowHeight == made.rowHeight &&
        r.quietZone == made.quietZone && r.bar == made.bar && r.space == made.space)
        return;
    const barquill::Render checked = r;
    if (auto error = released([&] { return barquill::verifySymbol(d.symbol, checked); }))
        raise(*error, Spelling::render);
}

// A picture in memory, shared with Python through the buffer protocol.
struct Image {
    barquill::Image image;
};

py::bytes toBytes(const barquill::Bytes& bytes) {
    return py::bytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Data as the module takes it: str is typed text (UTF-8), bytes and
// bytearray are bytes as they are.
struct Data {
    std::string bytes;
    bool isText = false;
};

bool isData(const py::handle& data) {
    return py::isinstance<py::str>(data) || py::isinstance<py::bytes>(data) ||
           py::isinstance<py::bytearray>(data);
}

// A str that UTF-8 cannot hold (a lone surrogate) is the data's fault, named
// with its place, not a failed cast.
Data dataOf(const py::handle& data, std::optional<std::size_t> index = std::nullopt) {
    if (py::isinstance<py::str>(data)) {
        Py_ssize_t size = 0;
        if (const char* utf8 = PyUnicode_AsUTF8AndSize(data.ptr(), &size))
            return {std::string(utf8, static_cast<std::size_t>(size)), true};
        PyErr_Clear();
        const Py_ssize_t length = PyUnicode_GetLength(data.ptr());
        Py_ssize_t at = 0;
        Py_UCS4 character = 0;
        for (; at < length; ++at) {
            character = PyUnicode_ReadChar(data.ptr(), at);
            if (character >= 0xD800 && character <= 0xDFFF) break;
        }
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
        barquill::Error e;
        e.code = barquill::ErrorCode::invalidText;
        e.field = "data";
        e.value = static_cast<long>(at + 1);
        e.message = "data holds a lone surrogate " + std::string(code) + " at character " +
                    std::to_string(at + 1) + ", which is no character UTF-8 can hold";
        raise(e, Spelling::settings, index, true);
    }
    if (py::isinstance<py::bytes>(data) || py::isinstance<py::bytearray>(data))
        return {data.cast<std::string>(), false};
    throw py::type_error((index ? "item " + std::to_string(*index) + ": " : std::string()) +
                         "data must be str, bytes or bytearray, not " + typeName(data));
}

barquill::Result<barquill::Label> labelOf(const Data& d, const barquill::Settings& settings) {
    return d.isText ? barquill::makeLabel(std::string_view(d.bytes), settings)
                    : barquill::makeLabel(
                          std::span(reinterpret_cast<const std::uint8_t*>(d.bytes.data()),
                                    d.bytes.size()),
                          settings);
}

// The symbols of a label, each with the label's drawing and its own
// warnings: one Symbol, or a list for a series.
py::object symbolsOf(barquill::Label&& label, const barquill::WriteOptions& write, bool verify) {
    py::list symbols;
    for (std::size_t i = 0; i < label.symbols.size(); ++i) {
        Drawn d{std::move(label.symbols[i]), label.render, {}, write, verify};
        for (const barquill::Warning& w : label.warnings)
            if (w.symbol < 0 || static_cast<std::size_t>(w.symbol) == i) d.warnings.push_back(w);
        symbols.append(py::cast(std::move(d)));
    }
    if (py::len(symbols) == 1) return symbols[0];
    return symbols;
}

// "png, gif, ..." from the library's list of formats.
std::string formatNames(std::string_view last) {
    std::string names;
    const auto list = barquill::formats();
    for (std::size_t i = 0; i < list.size(); ++i)
        names += (i == 0                 ? ""
                  : i + 1 == list.size() ? std::string(last)
                                         : std::string(", ")) +
                 std::string(list[i].name);
    return names;
}

// "PNG, GIF, ... files, or commands for ZPL label and ESC/POS receipt
// printers": every format the library writes, for the module's docstring.
std::string formatsInWords() {
    std::vector<std::string> pictures, printers;
    for (const barquill::FormatInfo& info : barquill::formats()) {
        std::string name(info.printer ? info.caption : info.name);
        if (!info.printer)
            for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        (info.printer ? printers : pictures).push_back(std::move(name));
    }
    const auto listed = [](const std::vector<std::string>& items, const char* last) {
        std::string text;
        for (std::size_t i = 0; i < items.size(); ++i)
            text += (i == 0 ? "" : i + 1 == items.size() ? last : ", ") + items[i];
        return text;
    };
    return listed(pictures, " or ") + " files, or commands for " + listed(printers, " and ") +
           " printers";
}

// ".png, .gif, ..." of the formats a file name can ask for.
std::string extensionNames() {
    std::string names;
    for (const barquill::FormatInfo& info : barquill::formats())
        names += (names.empty() ? "" : ", ") + std::string(info.extension);
    return names;
}

// Settings by the table's names, keyword for keyword.

// Two numbers joined as the table writes a size ("50x30") or a place ("20,30").
std::optional<std::string> pairText(const py::handle& value, const char* separator) {
    if (!py::isinstance<py::tuple>(value) && !py::isinstance<py::list>(value)) return std::nullopt;
    const py::sequence pair = py::reinterpret_borrow<py::sequence>(value);
    if (py::len(pair) != 2) return std::nullopt;
    for (const py::handle part : pair)
        if (py::isinstance<py::bool_>(part) ||
            !(py::isinstance<py::int_>(part) || py::isinstance<py::float_>(part)))
            return std::nullopt;
    return std::string(py::str(pair[0])) + separator + std::string(py::str(pair[1]));
}

// (red, green, blue) as #RRGGBB; parts out of range are left for the
// table to refuse in its words.
std::optional<std::string> colourText(const py::handle& value) {
    if (!py::isinstance<py::tuple>(value) && !py::isinstance<py::list>(value)) return std::nullopt;
    const py::sequence parts = py::reinterpret_borrow<py::sequence>(value);
    if (py::len(parts) != 3) return std::nullopt;
    std::string text = "#";
    for (const py::handle part : parts) {
        if (py::isinstance<py::bool_>(part) || !py::isinstance<py::int_>(part)) return std::nullopt;
        int overflow = 0;
        const long long number = PyLong_AsLongLongAndOverflow(part.ptr(), &overflow);
        if (overflow != 0 || number < 0 || number > 255) return std::nullopt;
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(number));
        text += hex;
    }
    return text;
}

// [1, 2] as the file ID's text 001002.
std::optional<std::string> fileIdText(const py::handle& value) {
    if (!py::isinstance<py::tuple>(value) && !py::isinstance<py::list>(value)) return std::nullopt;
    std::string text;
    for (const py::handle part : py::reinterpret_borrow<py::sequence>(value)) {
        if (py::isinstance<py::bool_>(part) || !py::isinstance<py::int_>(part)) return std::nullopt;
        int overflow = 0;
        const long long number = PyLong_AsLongLongAndOverflow(part.ptr(), &overflow);
        if (overflow != 0 || number < 0 || number > 999) return std::nullopt;
        char group[4];
        std::snprintf(group, sizeof group, "%03d", static_cast<int>(number));
        text += group;
    }
    return text;
}

// A keyword's value as the table takes its text; nothing for None (the
// default). A bool is only a flag's value, and a flag takes only a bool.
std::optional<std::string> settingText(const barquill::SettingInfo& info, const std::string& key,
                                       const py::handle& value) {
    if (value.is_none()) return std::nullopt;
    const std::string takes = key + " takes " + std::string(info.values);
    if (info.kind == barquill::SettingKind::flag) {
        if (!py::isinstance<py::bool_>(value))
            throw py::type_error(key + " must be True or False, not " + typeName(value));
        return value.cast<bool>() ? "true" : "false";
    }
    if (py::isinstance<py::bool_>(value)) throw py::type_error(takes + ", not a bool");
    if (py::isinstance<py::str>(value)) return std::string(py::str(value));
    if (py::isinstance<py::int_>(value)) {
        if (info.name == "level" && py::int_(barquill::autoLevel).equal(value)) return "auto";
        return std::string(py::str(value));
    }
    if (py::isinstance<py::float_>(value) && info.kind != barquill::SettingKind::number)
        return std::string(py::str(value));
    std::optional<std::string> text;
    if (info.name == "fg" || info.name == "bg") text = colourText(value);
    if (info.name == "page" || info.name == "fit") text = pairText(value, "x");
    if (info.name == "position") text = pairText(value, ",");
    if (info.name == "file-id") text = fileIdText(value);
    if (text) return text;
    if (py::isinstance<py::tuple>(value) || py::isinstance<py::list>(value))
        return std::string(py::str(value));  // the table refuses it in its words
    throw py::type_error(takes + ", not " + typeName(value));
}

// Today's keywords that the table names otherwise, kept for one release.
struct Renamed {
    const char* old;
    const char* now;
};
constexpr Renamed renamed[] = {{"quiet_zone", "margin"}, {"bar", "fg"}, {"space", "bg"}};

// The keywords of encode(), encode_many() and explain(): the settings
// table's names with _ for -. `verify`: read back unless verify=False.
barquill::Settings settingsOf(const py::kwargs& keywords, const char* call, bool verify) {
    barquill::Settings settings;
    bool verifyGiven = false;
    std::optional<bool> fillLevel;
    std::optional<barquill::Macro> macro;
    for (const auto& [name, value] : keywords) {
        std::string key = py::str(name);
        for (const Renamed& r : renamed)
            if (key == r.old) {
                deprecated(key + " is deprecated: give " + r.now);
                key = r.now;
            }
        if (key == "fill_level") {
            deprecated("fill_level is deprecated: give level='fill'");
            if (!py::isinstance<py::bool_>(value))
                throw py::type_error("fill_level must be True or False, not " + typeName(value));
            fillLevel = value.cast<bool>();
            continue;
        }
        if (key == "macro" && py::isinstance<barquill::Macro>(value)) {
            deprecated(
                "macro=Macro(...) is deprecated: macro=True or segments=N make a series, "
                "and encode_series gives its symbols");
            macro = value.cast<barquill::Macro>();
            continue;
        }
        const std::string settingName = [&key] {
            std::string n = key;
            std::replace(n.begin(), n.end(), '_', '-');
            return n;
        }();
        const barquill::SettingInfo* info =
            key.find('-') == std::string::npos ? barquill::findSetting(settingName) : nullptr;
        if (!info)
            throw py::type_error(std::string(call) + "() got an unexpected keyword argument '" +
                                 key + "'");
        // 0 once meant "the library chooses" where the table says auto or
        // leaves the setting out.
        const bool zero = (py::isinstance<py::int_>(value) && !py::isinstance<py::bool_>(value) &&
                           py::int_(0).equal(value)) ||
                          (py::isinstance<py::float_>(value) && py::float_(0.0).equal(value));
        if (zero && (key == "columns" || key == "rows" || key == "aspect")) {
            deprecated(key + "=0 is deprecated: leave " + key + " out" +
                       (key == "aspect" ? "" : " or give 'auto'"));
            continue;
        }
        const std::optional<std::string> text = settingText(*info, key, value);
        if (!text) continue;
        if (auto error = barquill::applySetting(settings, info->name, *text))
            raise(*error, Spelling::settings);
        if (info->name == "verify") verifyGiven = true;
    }
    if (fillLevel) settings.options.fillLevel = *fillLevel;
    if (macro) settings.options.macro = std::move(macro);
    if (!verifyGiven) settings.verify = verify;
    if (auto error = barquill::checkSettings(settings)) raise(*error, Spelling::settings);
    return settings;
}

// Every setting, for the docstrings: "  module_width=PIXELS  Module width
// in pixels (2)".
const std::string& settingsHelp() {
    static const std::string help = [] {
        std::string text;
        for (const barquill::SettingInfo& info : barquill::settingTable()) {
            std::string keyword =
                keywordOf(info.name) + "=" +
                (info.kind == barquill::SettingKind::flag ? std::string("True")
                                                          : std::string(info.valueName));
            keyword.resize(std::max<std::size_t>(keyword.size() + 2, 24), ' ');
            text += "    " + keyword + std::string(info.help) + "\n";
        }
        return text;
    }();
    return help;
}

void bindErrors(py::module_& m) {
    encodeErrorType = PyErr_NewExceptionWithDoc(
        "barquill.EncodeError",
        "Raised when data cannot be encoded or an option is out of range. Its attributes "
        "tell why:\n\n"
        "    code        the ErrorCode\n"
        "    field       the keyword or profile field at fault (module_width, DL.DCS), or None\n"
        "    value       the value as given; INVALID_TEXT and INVALID_ESCAPE: the 1-based "
        "position\n"
        "    minimum     the least value the option takes\n"
        "    maximum     the greatest\n"
        "    needed      DATA_TOO_LONG, COLUMNS_DO_NOT_FIT, SHAPE_DOES_NOT_FIT: the codewords "
        "the symbol needs\n"
        "    available   and those it holds\n"
        "    message     the message, with the names the call took (str(error) too)\n"
        "    index       encode_many(): the item at fault, else None",
        PyExc_ValueError, nullptr);
    // The module holds the one reference.
    m.attr("EncodeError") = py::reinterpret_steal<py::object>(encodeErrorType);

    py::enum_<barquill::ErrorCode>(m, "ErrorCode", py::arithmetic())
        .value("EMPTY_DATA", barquill::ErrorCode::emptyData)
        .value("DATA_TOO_LONG", barquill::ErrorCode::dataTooLong)
        .value("COLUMNS_DO_NOT_FIT", barquill::ErrorCode::columnsDoNotFit)
        .value("SHAPE_DOES_NOT_FIT", barquill::ErrorCode::shapeDoesNotFit)
        .value("INVALID_TEXT", barquill::ErrorCode::invalidText)
        .value("INVALID_ESCAPE", barquill::ErrorCode::invalidEscape)
        .value("INVALID_OPTION", barquill::ErrorCode::invalidOption)
        .value("INVALID_RENDER", barquill::ErrorCode::invalidRender)
        .value("CONFLICTING_OPTIONS", barquill::ErrorCode::conflictingOptions)
        .value("MISSING_OPTION", barquill::ErrorCode::missingOption)
        .value("SERIES_TOO_SHORT", barquill::ErrorCode::seriesTooShort)
        .value("RENDER_FAILED", barquill::ErrorCode::renderFailed)
        .value("WRITE_FAILED", barquill::ErrorCode::writeFailed)
        .value("READ_ONLY", barquill::ErrorCode::readOnly)
        .value("NOT_VERIFIED", barquill::ErrorCode::notVerified)
        .value("VERIFY_UNAVAILABLE", barquill::ErrorCode::verifyUnavailable)
        .value("LABEL_TOO_SMALL", barquill::ErrorCode::labelTooSmall)
        .value("NOT_ON_PAGE", barquill::ErrorCode::notOnPage)
        .value("NOT_EXPRESSIBLE", barquill::ErrorCode::notExpressible)
        .value("INVALID_FIELD", barquill::ErrorCode::invalidField)
        .value("PROFILE_CONFLICT", barquill::ErrorCode::profileConflict)
        .value("OUTSIDE_FOLDER", barquill::ErrorCode::outsideFolder);
}

void bindMacro(py::module_& m) {
    using barquill::Macro;
    py::class_<Macro>(m, "Macro", "The control block of one symbol of a Macro PDF417 series.")
        .def(py::init([](int segmentIndex, std::vector<int> fileId, bool lastSegment,
                         std::optional<int> segmentCount, std::string fileName,
                         std::optional<std::int64_t> timeStamp, std::string sender,
                         std::string addressee, std::optional<std::int64_t> fileSize,
                         std::optional<std::uint16_t> checksum) {
                 return Macro{segmentIndex,      std::move(fileId),    lastSegment,
                              segmentCount,      std::move(fileName),  timeStamp,
                              std::move(sender), std::move(addressee), fileSize,
                              checksum};
             }),
             py::kw_only(), py::arg("segment_index") = 0, py::arg("file_id") = std::vector<int>{},
             py::arg("last_segment") = false, py::arg("segment_count") = py::none(),
             py::arg("file_name") = "", py::arg("time_stamp") = py::none(), py::arg("sender") = "",
             py::arg("addressee") = "", py::arg("file_size") = py::none(),
             py::arg("checksum") = py::none())
        .def_readwrite("segment_index", &Macro::segmentIndex)
        .def_readwrite("file_id", &Macro::fileId)
        .def_readwrite("last_segment", &Macro::lastSegment)
        .def_readwrite("segment_count", &Macro::segmentCount)
        .def_readwrite("file_name", &Macro::fileName)
        .def_readwrite("time_stamp", &Macro::timeStamp)
        .def_readwrite("sender", &Macro::sender)
        .def_readwrite("addressee", &Macro::addressee)
        .def_readwrite("file_size", &Macro::fileSize)
        .def_readwrite("checksum", &Macro::checksum);

    m.def(
        "macro_checksum",
        [](const py::bytes& data) {
            const std::string_view bytes(data);
            return barquill::macroChecksum(
                std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
        },
        py::arg("data"), "The Macro checksum field's value for the whole data.");
}

// A page for PDF and EPS: None (the label's), "A4", "Letter" or (width,
// height) in mm; position (x, y) in mm, None the label's.
std::optional<barquill::Page> pageOf(const std::optional<barquill::Page>& made,
                                     const py::object& page, const py::object& position) {
    std::optional<barquill::Page> chosen = made;
    if (py::isinstance<py::str>(page)) {
        barquill::Settings settings;
        if (auto error = barquill::applySetting(settings, "page", std::string(py::str(page))))
            raise(*error, Spelling::render);
        chosen = settings.page;
    } else if (py::isinstance<py::tuple>(page) || py::isinstance<py::list>(page)) {
        const auto [width, height] = page.cast<std::tuple<double, double>>();
        chosen = barquill::Page{width, height};
    } else if (!page.is_none()) {
        throw py::type_error("page must be None, 'A4', 'Letter' or (width, height) in mm, not " +
                             typeName(page));
    }
    if (!chosen) return chosen;
    if (!position.is_none()) {
        const auto [x, y] = position.cast<std::tuple<double, double>>();
        chosen->xMm = x;
        chosen->yMm = y;
    } else {
        chosen->xMm = made ? made->xMm : 0;
        chosen->yMm = made ? made->yMm : 0;
    }
    return chosen;
}

py::bytes fileOf(const Drawn& d, barquill::Format format, const barquill::Render& r) {
    checkDrawing(d, r);
    return toBytes(
        take(released([&] { return barquill::render(d.symbol, format, r); }), Spelling::render));
}

Image imageOf(const Drawn& d, const barquill::Render& r, const std::string& format) {
    if (format != "mono1" && format != "grey8")
        throw py::value_error("format must be grey8 or mono1");
    const auto pixels =
        format == "mono1" ? barquill::PixelFormat::mono1 : barquill::PixelFormat::grey8;
    checkDrawing(d, r);
    return Image{
        take(released([&] { return barquill::toImage(d.symbol, r, pixels); }), Spelling::render)};
}

py::list warningsOf(const std::vector<barquill::Warning>& warnings) {
    py::module_ types = py::module_::import("types");
    py::list list;
    for (const barquill::Warning& w : warnings)
        list.append(types.attr("SimpleNamespace")(
            py::arg("id") = w.id, py::arg("message") = w.message, py::arg("change") = w.change,
            py::arg("value") = w.value, py::arg("limit") = w.limit));
    return list;
}

// A path as open() takes it: str, bytes or os.PathLike, in the file
// system's encoding.
std::string pathOf(const py::object& path) {
    const py::bytes encoded = py::module_::import("os").attr("fsencode")(path);
    std::string name = encoded;
    // As open() does: the system would read the name only up to the NUL.
    if (name.find('\0') != std::string::npos) throw py::value_error("embedded null byte");
    return name;
}

const std::string& saveHelp() {
    static const std::string help =
        "Writes the file in the format given to encode() (format=), else in that of the name's "
        "extension (" +
        extensionNames() + "; any other name " +
        std::string(barquill::formatInfo(barquill::formatFromName("")).name) +
        "), drawn as encode() sized it unless told otherwise here. path: str, bytes or "
        "os.PathLike. An existing file is replaced only by a complete new one; a read-only "
        "file is refused unless encode() was given force=True.";
    return help;
}

void bindSymbol(py::module_& m) {
    using barquill::Format;
    auto file = [](Format format) {
        return
            [format](const Drawn& d, const py::object& w, const py::object& h, const py::object& q,
                     const py::object& bar, const py::object& space, const py::object& dpi) {
                return fileOf(d, format, RenderArgs{w, h, q, bar, space, dpi}.over(d.render));
            };
    };
    py::class_<Drawn>(m, "Symbol", py::buffer_protocol())
        .def_property_readonly("rows", [](const Drawn& d) { return d.symbol.rows(); })
        .def_property_readonly("columns", [](const Drawn& d) { return d.symbol.columns(); })
        .def_property_readonly("width", [](const Drawn& d) { return d.symbol.width(); })
        .def_property_readonly("level", [](const Drawn& d) { return d.symbol.level(); })
        .def_property_readonly("data_codewords",
                               [](const Drawn& d) { return d.symbol.dataCodewords(); })
        .def_property_readonly("capacity", [](const Drawn& d) { return d.symbol.capacity(); })
        .def_property_readonly("compact", [](const Drawn& d) { return d.symbol.compact(); })
        // rows x width bytes, 1 a bar; read-only and shared, not copied.
        .def_buffer([](const Drawn& d) {
            const barquill::Symbol& s = d.symbol;
            return py::buffer_info(const_cast<std::uint8_t*>(s.modules().data()), 1,
                                   py::format_descriptor<std::uint8_t>::format(), 2,
                                   {s.rows(), s.width()},
                                   {static_cast<py::ssize_t>(s.width()), py::ssize_t{1}}, true);
        })
        .def_property_readonly(
            "matrix", [](py::object self) { return py::memoryview(self); },
            "The modules as a read-only rows x width memoryview of bytes, 1 a bar.")
        .def("png", file(Format::png), BARQUILL_RENDER_ARGS,
             "The PNG file, drawn as encode() sized it; a keyword given here (None: as "
             "encode() sized it) draws it otherwise.")
        .def("gif", file(Format::gif), BARQUILL_RENDER_ARGS, "The GIF file, drawn as png().")
        .def("bmp", file(Format::bmp), BARQUILL_RENDER_ARGS, "The BMP file, drawn as png().")
        .def(
            "svg",
            [](const Drawn& d, const py::object& w, const py::object& h, const py::object& q,
               const py::object& bar, const py::object& space, const py::object& dpi) {
                const barquill::Render r = RenderArgs{w, h, q, bar, space, dpi}.over(d.render);
                checkDrawing(d, r);
                return take(released([&] { return barquill::toSvg(d.symbol, r); }),
                            Spelling::render);
            },
            BARQUILL_RENDER_ARGS, "The SVG drawing as str, drawn as png().")
        .def(
            "save",
            [](const Drawn& d, const py::object& path, const py::object& w, const py::object& h,
               const py::object& q, const py::object& bar, const py::object& space,
               const py::object& dpi) {
                const std::string name = pathOf(path);
                const barquill::Render r = RenderArgs{w, h, q, bar, space, dpi}.over(d.render);
                checkDrawing(d, r);
                take(released([&] { return barquill::save(d.symbol, name, r, d.write); }),
                     Spelling::render);
            },
            py::arg("path"), BARQUILL_RENDER_ARGS, saveHelp().c_str())
        .def(
            "pdf",
            [](const Drawn& d, const py::object& w, const py::object& h, const py::object& q,
               const py::object& bar, const py::object& space, const py::object& dpi,
               const py::object& page, const py::object& position) {
                barquill::Render r = RenderArgs{w, h, q, bar, space, dpi}.over(d.render);
                r.page = pageOf(d.render.page, page, position);
                return fileOf(d, Format::pdf, r);
            },
            BARQUILL_RENDER_ARGS, py::arg("page") = py::none(), py::arg("position") = py::none(),
            "A PDF of the symbol: vector bars, each pixel 1/dpi inch (a point without dpi); "
            "page None (encode()'s page, else the symbol's size), 'A4', 'Letter' or (width, "
            "height) in mm, the symbol at position (x, y) mm from the top left.")
        .def(
            "eps",
            [](const Drawn& d, const py::object& w, const py::object& h, const py::object& q,
               const py::object& bar, const py::object& space, const py::object& dpi) {
                return fileOf(d, Format::eps, RenderArgs{w, h, q, bar, space, dpi}.over(d.render));
            },
            BARQUILL_RENDER_ARGS, "An EPS drawing of the symbol, sized as pdf() sizes it.")
        .def(
            "zpl",
            [](const Drawn& d, const py::object& w, const py::object& h, const py::object& q,
               const py::object& bar, const py::object& space, const py::object& dpi,
               const py::object& native) {
                barquill::Render r = RenderArgs{w, h, q, bar, space, dpi}.over(d.render);
                if (!native.is_none()) r.printerEncodes = native.cast<bool>();
                return fileOf(d, Format::zpl, r);
            },
            BARQUILL_RENDER_ARGS, py::arg("native") = py::none(),
            "ZPL for a label printer: the picture at its dots, or native=True the printer's own "
            "^B7 command (which the printer encodes itself, unverified).")
        .def(
            "escpos",
            [](const Drawn& d, const py::object& w, const py::object& h, const py::object& q,
               const py::object& bar, const py::object& space, const py::object& dpi,
               const py::object& native) {
                barquill::Render r = RenderArgs{w, h, q, bar, space, dpi}.over(d.render);
                if (!native.is_none()) r.printerEncodes = native.cast<bool>();
                return fileOf(d, Format::escpos, r);
            },
            BARQUILL_RENDER_ARGS, py::arg("native") = py::none(),
            "ESC/POS for a receipt printer: GS v 0 of the picture, or native=True GS ( k.")
        .def(
            "image",
            [](const Drawn& d, const py::object& w, const py::object& h, const py::object& q,
               const py::object& bar, const py::object& space, const py::object& dpi,
               const std::string& format) {
                return imageOf(d, RenderArgs{w, h, q, bar, space, dpi}.over(d.render), format);
            },
            BARQUILL_RENDER_ARGS, py::arg("format") = "grey8",
            "The picture in memory, no file in between: numpy.asarray(symbol.image()) is a "
            "height x width array of grey levels (format='mono1': packed bits, 1 a bar).")
        .def_property_readonly(
            "warnings", [](const Drawn& d) { return warningsOf(d.warnings); },
            "What may keep the symbol, drawn as encode() sized it, from scanning well: objects "
            "with id, message, change, value and limit.")
        .def("__eq__",
             [](const Drawn& a, const py::object& b) -> py::object {
                 if (!py::isinstance<Drawn>(b))
                     return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                 return py::bool_(a.symbol == b.cast<const Drawn&>().symbol);
             })
        .def("__repr__", [](const Drawn& d) {
            const barquill::Symbol& s = d.symbol;
            return "<barquill.Symbol " + std::to_string(s.rows()) + " rows x " +
                   std::to_string(s.columns()) + " columns, level " + std::to_string(s.level()) +
                   ">";
        });
}

// encode_series's level: None for automatic, or a whole number.
int levelOf(const py::object& level) {
    if (level.is_none()) return barquill::autoLevel;
    return intOf(level, "level", barquill::ErrorCode::invalidOption, Spelling::series);
}

void bindImage(py::module_& m) {
    py::class_<Image>(m, "Image", py::buffer_protocol())
        .def_property_readonly("width", [](const Image& i) { return i.image.width; })
        .def_property_readonly("height", [](const Image& i) { return i.image.height; })
        .def_property_readonly("stride", [](const Image& i) { return i.image.stride; })
        .def_property_readonly("format",
                               [](const Image& i) {
                                   return i.image.format == barquill::PixelFormat::mono1 ? "mono1"
                                                                                         : "grey8";
                               })
        .def_buffer([](const Image& i) {
            const auto columns = static_cast<py::ssize_t>(i.image.stride);
            return py::buffer_info(const_cast<std::uint8_t*>(i.image.pixels.data()), 1,
                                   py::format_descriptor<std::uint8_t>::format(), 2,
                                   {static_cast<py::ssize_t>(i.image.height), columns},
                                   {columns, py::ssize_t{1}}, true);
        });
}

py::object explanationsOf(const std::vector<barquill::Explanation>& explanations) {
    py::module_ json = py::module_::import("json");
    if (explanations.size() == 1) return json.attr("loads")(explanations.front().json);
    py::list list;
    for (const barquill::Explanation& e : explanations) list.append(json.attr("loads")(e.json));
    return list;
}

// Fields as a dict and as keyword arguments: keys with a dot (DL.DCS) or
// lists of legs come in the dict, the rest may come either way.
barquill::Fields fieldsOf(const py::object& fields, const py::kwargs& more) {
    barquill::Fields out;
    auto add = [&out](const py::handle& key, const py::handle& value) {
        if (py::isinstance<py::dict>(value) || py::isinstance<py::list>(value)) {
            py::module_ json = py::module_::import("json");
            py::dict wrapped;
            wrapped[key] = value;
            const std::string text = py::str(json.attr("dumps")(wrapped));
            auto flat = barquill::parseFieldsJson(text);
            if (!flat) raise(flat.error(), Spelling::fields);
            out.insert(out.end(), flat->begin(), flat->end());
            return;
        }
        out.emplace_back(py::str(key), py::isinstance<py::bytes>(value)
                                           ? value.cast<std::string>()
                                           : std::string(py::str(value)));
    };
    if (!fields.is_none())
        for (const auto& [key, value] : fields.cast<py::dict>()) add(key, value);
    for (const auto& [key, value] : more) add(key, value);
    return out;
}

void bindProfiles(py::module_& m) {
    py::module_ profiles = m.def_submodule("profiles", "Symbols that laws and industries mandate.");
    profiles.def(
        "list",
        [] {
            py::list names;
            for (const barquill::ProfileInfo& info : barquill::availableProfiles())
                names.append(py::make_tuple(info.name, info.title));
            return names;
        },
        "(name, title) of every profile.");
    profiles.def(
        "build",
        [](const std::string& name, const py::object& fields, const std::string& charset,
           const py::kwargs& more) {
            barquill::ProfileRequest request{name, fieldsOf(fields, more), charset, {}, false};
            const auto made =
                take(released([&] { return barquill::buildProfile(request); }), Spelling::fields);
            const barquill::Options& o = made.settings.options;
            py::dict options;
            options["level"] =
                o.level == barquill::autoLevel ? py::object(py::none()) : py::int_(o.level);
            // Keywords encode() takes as they are: None leaves a setting to
            // the library, macro splits data too large for one symbol.
            options["columns"] = o.columns == 0 ? py::object(py::none()) : py::int_(o.columns);
            options["eci"] = o.eci == barquill::noEci ? py::object(py::none()) : py::int_(o.eci);
            options["compaction"] = o.compaction == barquill::Compaction::byte ? "byte" : "auto";
            options["compact"] = o.compact;
            options["macro"] = made.settings.split;
            return py::make_tuple(py::bytes(made.data), options);
        },
        py::arg("name"), py::arg("fields") = py::none(), py::kw_only(), py::arg("charset") = "",
        "The scheme's data bytes from its fields, and the options to encode them with.");
    m.def(
        "encode_profile",
        [](const std::string& name, const py::object& fields, const std::string& charset,
           const py::kwargs& more) {
            barquill::ProfileRequest request{name, fieldsOf(fields, more), charset, {}, false};
            auto label = take(released([&] { return barquill::makeProfileLabel(request); }),
                              Spelling::fields);
            return symbolsOf(std::move(label), {}, false);
        },
        py::arg("name"), py::arg("fields") = py::none(), py::kw_only(), py::arg("charset") = "",
        "The symbol of a profile's fields (a list of symbols when the scheme splits its data).");
}

const std::string& encodeHelp() {
    static const std::string help =
        "encode(data, **settings) -> Symbol, or a list of Symbols for a series\n\n"
        "Makes the symbol of str (typed text, UTF-8), bytes or bytearray the way the command "
        "line does: escapes, the character set, a Macro PDF417 series, print sizing, fitting "
        "a label, the scan warnings of the drawing asked for, and read-back before anything "
        "is returned (verify=False skips it). png(), save() and the rest draw the symbol as "
        "sized here. Settings by the command line's names, _ for -; None leaves one out:\n\n" +
        settingsHelp() +
        "\nfg and bg also take (red, green, blue), page and fit (width, height), position "
        "(x, y) and file_id a list of numbers. Deprecated, for one release: fill_level "
        "(level='fill'), macro=Macro(...), columns, rows or aspect 0, and quiet_zone, bar and "
        "space (margin, fg, bg).";
    return help;
}

const std::string& encodeManyHelp() {
    static const std::string help =
        "encode_many(items, format='png', threads=0, **settings) -> list of files\n\n"
        "Every item (str, bytes or bytearray) made as encode(item, **settings) makes it and "
        "written as `format` (" +
        formatNames(" or ") +
        "), in order: bytes, or str for svg. The work runs on the library's threads (threads "
        "0: one per core) without the GIL, a share of the list at a time, so Ctrl-C stops it "
        "between shares. The settings are encode()'s, but one symbol per item: no series. "
        "The first item that fails raises EncodeError with .index and \"item N: \" before "
        "the message; a setting at fault raises before any item is made.";
    return help;
}

// Threads for encode_many: 0 (one per core) or more.
int threadsOf(const py::object& threads) {
    const auto refuse = [&threads] {
        return py::value_error("threads must be 0 (one per core) or more, not " +
                               std::string(py::repr(threads)));
    };
    if (py::isinstance<py::bool_>(threads) || !py::isinstance<py::int_>(threads)) throw refuse();
    int overflow = 0;
    const long long count = PyLong_AsLongLongAndOverflow(threads.ptr(), &overflow);
    if (overflow != 0 || count < 0 || count > INT_MAX) throw refuse();
    return static_cast<int>(count);
}

void bindEncode(py::module_& m) {
    m.def(
        "encode",
        [](const py::object& data, const py::kwargs& keywords) {
            const barquill::Settings settings = settingsOf(keywords, "encode", true);
            const Data d = dataOf(data);
            auto label = take(released([&] { return labelOf(d, settings); }), Spelling::settings);
            return symbolsOf(std::move(label), settings.write, settings.verify);
        },
        py::arg("data"), encodeHelp().c_str());

    m.def(
        "encode_series",
        [](const py::object& data, const py::object& level, int columns, int rows, bool compact,
           std::optional<std::string> charset, std::optional<int> eci, int segments,
           std::vector<int> fileId, std::string fileName, std::string sender, std::string addressee,
           std::optional<std::int64_t> timeStamp, bool fileSize, bool checksum, bool verify) {
            barquill::Options options;
            options.level = levelOf(level);
            options.columns = columns;
            options.rows = rows;
            options.compact = compact;
            options.charset = charset.value_or("");
            options.eci = eci.value_or(barquill::noEci);
            const barquill::Series series{segments,
                                          std::move(fileId),
                                          std::move(fileName),
                                          std::move(sender),
                                          std::move(addressee),
                                          timeStamp,
                                          fileSize,
                                          checksum};
            const Data d = dataOf(data);
            auto label = take(
                released([&]() -> barquill::Result<barquill::Label> {
                    auto symbols =
                        d.isText
                            ? barquill::encodeSeries(std::string_view(d.bytes), options, series)
                            : barquill::encodeSeries(
                                  std::span(reinterpret_cast<const std::uint8_t*>(d.bytes.data()),
                                            d.bytes.size()),
                                  options, series);
                    if (!symbols) return symbols.error();
                    barquill::Label made{std::move(symbols).value(), {}, {}};
                    made.warnings = barquill::checkLabel(
                        made, d.isText ? barquill::DataKind::text : barquill::DataKind::bytes);
                    if (verify)
                        if (auto error = barquill::verifyLabel(made)) return *error;
                    return made;
                }),
                Spelling::series);
            py::list symbols;
            for (std::size_t i = 0; i < label.symbols.size(); ++i) {
                Drawn one{std::move(label.symbols[i]), label.render, {}, {}, verify};
                for (const barquill::Warning& w : label.warnings)
                    if (w.symbol < 0 || static_cast<std::size_t>(w.symbol) == i)
                        one.warnings.push_back(w);
                symbols.append(py::cast(std::move(one)));
            }
            return symbols;
        },
        py::arg("data"), py::kw_only(), py::arg("level") = py::none(), py::arg("columns") = 0,
        py::arg("rows") = 0, py::arg("compact") = false, py::arg("charset") = py::none(),
        py::arg("eci") = py::none(), py::arg("segments") = 0,
        py::arg("file_id") = std::vector<int>{}, py::arg("file_name") = "", py::arg("sender") = "",
        py::arg("addressee") = "", py::arg("time_stamp") = py::none(), py::arg("file_size") = false,
        py::arg("checksum") = false, py::arg("verify") = true,
        "Splits str or bytes over a Macro PDF417 series of symbols of one size; segments 0 "
        "takes as few as hold the data. Every symbol is read back unless verify=False.");
}

// Every item made through makeLabel on the library's threads, without the
// GIL, a share of the list at a time: between shares the GIL is taken back
// to let Ctrl-C through.
void bindEncodeMany(py::module_& m) {
    m.def(
        "encode_many",
        [](const py::object& items, const std::string& format, const py::object& threadCount,
           const py::kwargs& keywords) {
            // A lone str is a sequence of one-character strs, never a list of items.
            if (isData(items))
                throw py::type_error("items must be a list of data, not a lone " + typeName(items) +
                                     ": give [data]");
            if (!py::isinstance<py::sequence>(items))
                throw py::type_error("items must be a sequence of str, bytes or bytearray, not " +
                                     typeName(items));
            const std::optional<barquill::Format> parsed = barquill::parseFormat(format);
            if (!parsed)
                throw py::value_error("format must be " + formatNames(" or ") + ", not '" + format +
                                      "'");
            const int threads = threadsOf(threadCount);
            const barquill::Settings settings = settingsOf(keywords, "encode_many", true);
            if (settings.split) {
                barquill::Error e;
                e.code = barquill::ErrorCode::invalidOption;
                e.field = settings.series.segments > 0 ? "series.segments" : "split";
                e.message = pythonField(e.field, Spelling::settings) +
                            " makes a series, which encode() makes; encode_many makes one "
                            "symbol of each item";
                raise(e, Spelling::settings, std::nullopt, true);
            }
            // Copied while the GIL is held: a bytearray may change once it is not.
            const py::sequence list = py::reinterpret_borrow<py::sequence>(items);
            const std::size_t count = py::len(list);
            std::vector<Data> data;
            data.reserve(count);
            for (std::size_t i = 0; i < count; ++i) data.push_back(dataOf(list[i], i));
            std::vector<barquill::BatchData> views;
            views.reserve(data.size());
            for (const Data& d : data) views.push_back({d.bytes, d.isText});

            const std::size_t workers = threads > 0
                                            ? static_cast<std::size_t>(threads)
                                            : std::max(1u, std::thread::hardware_concurrency());
            // Enough items per share that starting the threads costs little.
            const std::size_t share = 32 * workers;
            py::list files;
            for (std::size_t begin = 0; begin < count; begin += share) {
                const auto part = std::span(views).subspan(begin, std::min(share, count - begin));
                const std::vector<barquill::Result<barquill::Bytes>> results = released(
                    [&] { return barquill::makeLabelFiles(part, settings, *parsed, threads); });
                for (std::size_t i = 0; i < results.size(); ++i) {
                    if (!results[i]) raise(results[i].error(), Spelling::settings, begin + i);
                    const barquill::Bytes& file = *results[i];
                    if (*parsed == barquill::Format::svg)
                        files.append(
                            py::str(reinterpret_cast<const char*>(file.data()), file.size()));
                    else
                        files.append(toBytes(file));
                }
                if (PyErr_CheckSignals() != 0) throw py::error_already_set();
            }
            return files;
        },
        py::arg("items"), py::arg("format") = "png", py::arg("threads") = 0,
        encodeManyHelp().c_str());
}

const std::string& explainHelp() {
    static const std::string help =
        "How the data became the symbol, as a dict (a list of dicts for a series): segments, "
        "every codeword with its role, the shape, the row indicators. Settings as encode() "
        "takes them:\n\n" +
        settingsHelp();
    return help;
}

void bindExplain(py::module_& m) {
    m.def(
        "explain",
        [](const py::object& data, const py::kwargs& keywords) {
            const barquill::Settings settings = settingsOf(keywords, "explain", false);
            const Data d = dataOf(data);
            const auto explained = take(
                released([&] {
                    return d.isText ? barquill::explain(std::string_view(d.bytes), settings)
                                    : barquill::explain(
                                          std::span(
                                              reinterpret_cast<const std::uint8_t*>(d.bytes.data()),
                                              d.bytes.size()),
                                          settings);
                }),
                Spelling::settings);
            return explanationsOf(explained);
        },
        py::arg("data"), explainHelp().c_str());
}

}  // namespace

PYBIND11_MODULE(barquill, m) {
    m.doc() = py::str("PDF417 barcodes: encode text or bytes, get " + formatsInWords() + ".");
    py::tuple names(barquill::formats().size());
    for (std::size_t i = 0; i < barquill::formats().size(); ++i)
        names[i] = std::string(barquill::formats()[i].name);
    m.attr("FORMATS") = names;
    m.attr("__version__") = barquill::version();
    m.attr("AUTO") = barquill::autoLevel;
    // What pybind11 could not convert is the caller's type, not our fault.
    py::register_exception_translator([](std::exception_ptr raised) {
        try {
            if (raised) std::rethrow_exception(raised);
        } catch (const py::cast_error& e) {
            PyErr_SetString(PyExc_TypeError, e.what());
        }
    });
    bindErrors(m);
    bindMacro(m);
    bindImage(m);
    bindSymbol(m);
    bindEncode(m);
    bindExplain(m);
    bindProfiles(m);
    bindEncodeMany(m);
}
