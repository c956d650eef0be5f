// SPDX-License-Identifier: MIT
// The Python module `barquill` over the C++ library. Encoding, drawing and
// writing run without the GIL, so threads encode in parallel; the symbol's
// modules are shared with Python through the buffer protocol.

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <variant>

#include "barquill/barquill.hpp"

namespace py = pybind11;

namespace {

// The module's EncodeError, owned by the module object (its attribute), so
// nothing of ours outlives the interpreter.
py::handle encodeErrorType;

// Fields are named as the keyword arguments are: moduleWidth -> module_width.
std::string pythonName(const std::string& field) {
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

// `index`: the item of encode_many at fault, named in the message.
[[noreturn]] void raise(const barquill::Error& e, std::optional<std::size_t> index = std::nullopt) {
    const std::string field = pythonName(e.field);
    // The library words the message with the field as Python spells it.
    std::string message = barquill::describe(e, field);
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
T take(barquill::Result<T>&& result) {
    if (!result) raise(result.error());
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

using Colour = std::tuple<int, int, int>;

barquill::Rgb rgb(const Colour& c, const char* field) {
    const auto [r, g, b] = c;
    for (int part : {r, g, b})
        if (part < 0 || part > 255) {
            barquill::Error e;
            e.code = barquill::ErrorCode::invalidRender;
            e.field = field;
            e.value = part;
            e.maximum = 255;
            raise(e);
        }
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
            static_cast<std::uint8_t>(b)};
}

struct RenderArgs {
    int moduleWidth, rowHeight, quietZone;
    Colour bar, space;
    int dpi;
    barquill::Render render() const {
        return {moduleWidth, rowHeight, quietZone, rgb(bar, "bar"), rgb(space, "space"), dpi};
    }
};

#define BARQUILL_RENDER_ARGS                                                     \
    py::kw_only(), py::arg("module_width") = 2, py::arg("row_height") = 4,       \
                   py::arg("quiet_zone") = 10, py::arg("bar") = Colour{0, 0, 0}, \
                   py::arg("space") = Colour{255, 255, 255}, py::arg("dpi") = 0

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

Data dataOf(const py::handle& data) {
    if (py::isinstance<py::str>(data)) return {data.cast<std::string>(), true};
    if (py::isinstance<py::bytes>(data) || py::isinstance<py::bytearray>(data))
        return {data.cast<std::string>(), false};
    throw py::type_error("data must be str, bytes or bytearray");
}

// A level: None for automatic, or a whole number (not a bool, which Python
// would take as 0 or 1).
int levelOf(const py::object& level) {
    if (level.is_none()) return barquill::autoLevel;
    if (py::isinstance<py::bool_>(level) || !py::isinstance<py::int_>(level))
        throw py::type_error("level must be None or an int from 0 to 8");
    return level.cast<int>();
}

py::bytes fileOf(const barquill::Symbol& symbol, barquill::Format format, const RenderArgs& args) {
    const barquill::Render r = args.render();
    return toBytes(take(released([&] { return barquill::render(symbol, format, r); })));
}

void bindErrors(py::module_& m) {
    encodeErrorType = PyErr_NewExceptionWithDoc(
        "barquill.EncodeError",
        "Raised when data cannot be encoded or an option is out of range; .code, .field and "
        "the numbers tell why.",
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

// A page for PDF and EPS: None, "A4", "Letter" or (width, height) in mm.
std::optional<barquill::Page> pageOf(const py::object& page,
                                     const std::tuple<double, double>& position) {
    if (page.is_none()) return std::nullopt;
    barquill::Settings settings;
    std::string text;
    if (py::isinstance<py::str>(page)) {
        text = page.cast<std::string>();
    } else {
        const auto [width, height] = page.cast<std::tuple<double, double>>();
        barquill::Page sized{width, height};
        sized.xMm = std::get<0>(position);
        sized.yMm = std::get<1>(position);
        return sized;
    }
    if (auto error = barquill::applySetting(settings, "page", text)) raise(*error);
    settings.page->xMm = std::get<0>(position);
    settings.page->yMm = std::get<1>(position);
    return settings.page;
}

Image imageOf(const barquill::Symbol& symbol, const RenderArgs& args, const std::string& format) {
    const barquill::Render r = args.render();
    const auto pixels =
        format == "mono1" ? barquill::PixelFormat::mono1 : barquill::PixelFormat::grey8;
    if (format != "mono1" && format != "grey8")
        throw py::value_error("format must be grey8 or mono1");
    return Image{take(released([&] { return barquill::toImage(symbol, r, pixels); }))};
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

void bindSymbol(py::module_& m) {
    using barquill::Format;
    using barquill::Symbol;
    auto file = [](Format format) {
        return [format](const Symbol& s, int w, int h, int q, const Colour& bar,
                        const Colour& space, int dpi) {
            return fileOf(s, format, {w, h, q, bar, space, dpi});
        };
    };
    py::class_<Symbol>(m, "Symbol", py::buffer_protocol())
        .def_property_readonly("rows", &Symbol::rows)
        .def_property_readonly("columns", &Symbol::columns)
        .def_property_readonly("width", &Symbol::width)
        .def_property_readonly("level", &Symbol::level)
        .def_property_readonly("data_codewords", &Symbol::dataCodewords)
        .def_property_readonly("capacity", &Symbol::capacity)
        .def_property_readonly("compact", &Symbol::compact)
        // rows x width bytes, 1 a bar; read-only and shared, not copied.
        .def_buffer([](const Symbol& s) {
            return py::buffer_info(const_cast<std::uint8_t*>(s.modules().data()), 1,
                                   py::format_descriptor<std::uint8_t>::format(), 2,
                                   {s.rows(), s.width()},
                                   {static_cast<py::ssize_t>(s.width()), py::ssize_t{1}}, true);
        })
        .def_property_readonly(
            "matrix", [](py::object self) { return py::memoryview(self); },
            "The modules as a read-only rows x width memoryview of bytes, 1 a bar.")
        .def("png", file(Format::png), BARQUILL_RENDER_ARGS)
        .def("gif", file(Format::gif), BARQUILL_RENDER_ARGS)
        .def("bmp", file(Format::bmp), BARQUILL_RENDER_ARGS)
        .def(
            "svg",
            [](const Symbol& s, int w, int h, int q, const Colour& bar, const Colour& space,
               int dpi) {
                const barquill::Render r = RenderArgs{w, h, q, bar, space, dpi}.render();
                return take(released([&] { return barquill::toSvg(s, r); }));
            },
            BARQUILL_RENDER_ARGS)
        .def(
            "save",
            [](const Symbol& s, const std::string& path, int w, int h, int q, const Colour& bar,
               const Colour& space, int dpi) {
                // As open() does: the system would read the name only up to the NUL.
                if (path.find('\0') != std::string::npos)
                    throw py::value_error("embedded null byte");
                const barquill::Render r = RenderArgs{w, h, q, bar, space, dpi}.render();
                take(released([&] { return barquill::save(s, path, r); }));
            },
            py::arg("path"), BARQUILL_RENDER_ARGS,
            "Writes the file in the format of its extension (.png, .gif, .svg, else BMP).")
        .def(
            "pdf",
            [](const Symbol& s, int w, int h, int q, const Colour& bar, const Colour& space,
               int dpi, const py::object& page, const std::tuple<double, double>& position) {
                barquill::Render r = RenderArgs{w, h, q, bar, space, dpi}.render();
                r.page = pageOf(page, position);
                return toBytes(take(released([&] { return barquill::render(s, Format::pdf, r); })));
            },
            BARQUILL_RENDER_ARGS, py::arg("page") = py::none(),
            py::arg("position") = std::tuple<double, double>{0, 0},
            "A PDF of the symbol: vector bars, each pixel 1/dpi inch (a point without dpi); "
            "page None (the symbol's size), 'A4', 'Letter' or (width, height) in mm, the symbol "
            "at position (x, y) mm from the top left.")
        .def(
            "eps",
            [](const Symbol& s, int w, int h, int q, const Colour& bar, const Colour& space,
               int dpi) {
                const barquill::Render r = RenderArgs{w, h, q, bar, space, dpi}.render();
                return toBytes(take(released([&] { return barquill::render(s, Format::eps, r); })));
            },
            BARQUILL_RENDER_ARGS, "An EPS drawing of the symbol, sized as pdf() sizes it.")
        .def(
            "zpl",
            [](const Symbol& s, int w, int h, int q, const Colour& bar, const Colour& space,
               int dpi, bool native) {
                barquill::Render r = RenderArgs{w, h, q, bar, space, dpi}.render();
                r.printerEncodes = native;
                return toBytes(take(released([&] { return barquill::render(s, Format::zpl, r); })));
            },
            BARQUILL_RENDER_ARGS, py::arg("native") = false,
            "ZPL for a label printer: the picture at its dots, or native=True the printer's own "
            "^B7 command (which the printer encodes itself, unverified).")
        .def(
            "escpos",
            [](const Symbol& s, int w, int h, int q, const Colour& bar, const Colour& space,
               int dpi, bool native) {
                barquill::Render r = RenderArgs{w, h, q, bar, space, dpi}.render();
                r.printerEncodes = native;
                return toBytes(
                    take(released([&] { return barquill::render(s, Format::escpos, r); })));
            },
            BARQUILL_RENDER_ARGS, py::arg("native") = false,
            "ESC/POS for a receipt printer: GS v 0 of the picture, or native=True GS ( k.")
        .def(
            "image",
            [](const Symbol& s, int w, int h, int q, const Colour& bar, const Colour& space,
               int dpi, const std::string& format) {
                return imageOf(s, {w, h, q, bar, space, dpi}, format);
            },
            BARQUILL_RENDER_ARGS, py::arg("format") = "grey8",
            "The picture in memory, no file in between: numpy.asarray(symbol.image()) is a "
            "height x width array of grey levels (format='mono1': packed bits, 1 a bar).")
        .def_property_readonly(
            "warnings",
            [](const Symbol& s) {
                return warningsOf(barquill::checkLabel(barquill::Label{{s}, {}, {}}));
            },
            "What may keep the symbol, drawn as by default, from scanning well: objects with "
            "id, message, change, value and limit.")
        .def("__eq__",
             [](const Symbol& a, const py::object& b) -> py::object {
                 if (!py::isinstance<Symbol>(b))
                     return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                 return py::bool_(a == b.cast<const Symbol&>());
             })
        .def("__repr__", [](const Symbol& s) {
            return "<barquill.Symbol " + std::to_string(s.rows()) + " rows x " +
                   std::to_string(s.columns()) + " columns, level " + std::to_string(s.level()) +
                   ">";
        });
}

barquill::Options optionsOf(const py::object& level, int columns, int rows, bool compact,
                            const std::optional<std::string>& charset, std::optional<int> eci) {
    barquill::Options options;
    options.level = levelOf(level);
    options.columns = columns;
    options.rows = rows;
    options.compact = compact;
    options.charset = charset.value_or("");
    options.eci = eci.value_or(barquill::noEci);
    return options;
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

// Options as keyword arguments for the calls that take the whole table:
// each one set by its setting's name (module_width is module-width).
barquill::Settings settingsOf(const py::kwargs& options,
                              std::vector<std::string>* given = nullptr) {
    barquill::Settings settings;
    for (const auto& [key, value] : options) {
        std::string name = py::str(key);
        std::replace(name.begin(), name.end(), '_', '-');
        std::string text;
        if (py::isinstance<py::bool_>(value))
            text = value.cast<bool>() ? "true" : "false";
        else if (value.is_none())
            continue;
        else
            text = py::str(value);
        if (auto error = barquill::applySetting(settings, name, text)) raise(*error);
        if (given) given->push_back(name);
    }
    if (auto error = barquill::checkSettings(settings)) raise(*error);
    return settings;
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
            if (!flat) raise(flat.error());
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
            const auto made = take(released([&] { return barquill::buildProfile(request); }));
            const barquill::Options& o = made.settings.options;
            py::dict options;
            options["level"] =
                o.level == barquill::autoLevel ? py::object(py::none()) : py::int_(o.level);
            options["columns"] = o.columns;
            options["eci"] = o.eci == barquill::noEci ? py::object(py::none()) : py::int_(o.eci);
            options["compaction"] = o.compaction == barquill::Compaction::byte ? "byte" : "auto";
            options["compact"] = o.compact;
            options["split"] = made.settings.split;
            return py::make_tuple(py::bytes(made.data), options);
        },
        py::arg("name"), py::arg("fields") = py::none(), py::kw_only(), py::arg("charset") = "",
        "The scheme's data bytes from its fields, and the options to encode them with.");
    m.def(
        "encode_profile",
        [](const std::string& name, const py::object& fields, const std::string& charset,
           const py::kwargs& more) {
            barquill::ProfileRequest request{name, fieldsOf(fields, more), charset, {}, false};
            auto label = take(released([&] { return barquill::makeProfileLabel(request); }));
            if (label.symbols.size() == 1) return py::cast(label.symbols.front());
            return py::cast(label.symbols);
        },
        py::arg("name"), py::arg("fields") = py::none(), py::kw_only(), py::arg("charset") = "",
        "The symbol of a profile's fields (a list of symbols when the scheme splits its data).");
}

void bindEncode(py::module_& m) {
    m.def(
        "encode",
        [](const py::object& data, const py::object& level, int columns, int rows, double aspect,
           int moduleWidth, int rowHeight, bool fillLevel, bool compact,
           std::optional<std::string> charset, std::optional<int> eci,
           std::optional<barquill::Macro> macro, const std::string& compaction) {
            barquill::Options options = optionsOf(level, columns, rows, compact, charset, eci);
            if (compaction != "auto" && compaction != "byte")
                throw py::value_error("compaction must be 'auto' or 'byte'");
            options.compaction =
                compaction == "byte" ? barquill::Compaction::byte : barquill::Compaction::automatic;
            options.aspect = aspect;
            options.moduleProportions = {moduleWidth, rowHeight};
            options.fillLevel = fillLevel;
            options.macro = std::move(macro);
            const Data d = dataOf(data);
            return take(released([&] {
                return d.isText
                           ? barquill::encode(std::string_view(d.bytes), options)
                           : barquill::encode(
                                 std::span(reinterpret_cast<const std::uint8_t*>(d.bytes.data()),
                                           d.bytes.size()),
                                 options);
            }));
        },
        py::arg("data"), py::kw_only(), py::arg("level") = py::none(), py::arg("columns") = 0,
        py::arg("rows") = 0, py::arg("aspect") = 0.0, py::arg("module_width") = 2,
        py::arg("row_height") = 4, py::arg("fill_level") = false, py::arg("compact") = false,
        py::arg("charset") = py::none(), py::arg("eci") = py::none(), py::arg("macro") = py::none(),
        py::arg("compaction") = "auto",
        "Encodes str, bytes or bytearray into a PDF417 symbol. level: 0 to 8 or None for "
        "automatic; columns 1 to 30 and rows 3 to 90, 0 for automatic; aspect: printed width : "
        "height wanted, modules module_width : row_height; charset: convert str into it (str "
        "that is not ASCII is UTF-8 with ECI 26 otherwise); eci: a designator by number; "
        "macro: a Macro control block; compaction: 'auto' or 'byte' (all data as bytes).");

    m.def(
        "encode_series",
        [](const py::object& data, const py::object& level, int columns, int rows, bool compact,
           std::optional<std::string> charset, std::optional<int> eci, int segments,
           std::vector<int> fileId, std::string fileName, std::string sender, std::string addressee,
           std::optional<std::int64_t> timeStamp, bool fileSize, bool checksum) {
            const barquill::Options options =
                optionsOf(level, columns, rows, compact, charset, eci);
            const barquill::Series series{segments,
                                          std::move(fileId),
                                          std::move(fileName),
                                          std::move(sender),
                                          std::move(addressee),
                                          timeStamp,
                                          fileSize,
                                          checksum};
            const Data d = dataOf(data);
            return take(released([&] {
                return d.isText
                           ? barquill::encodeSeries(std::string_view(d.bytes), options, series)
                           : barquill::encodeSeries(
                                 std::span(reinterpret_cast<const std::uint8_t*>(d.bytes.data()),
                                           d.bytes.size()),
                                 options, series);
            }));
        },
        py::arg("data"), py::kw_only(), py::arg("level") = py::none(), py::arg("columns") = 0,
        py::arg("rows") = 0, py::arg("compact") = false, py::arg("charset") = py::none(),
        py::arg("eci") = py::none(), py::arg("segments") = 0,
        py::arg("file_id") = std::vector<int>{}, py::arg("file_name") = "", py::arg("sender") = "",
        py::arg("addressee") = "", py::arg("time_stamp") = py::none(), py::arg("file_size") = false,
        py::arg("checksum") = false,
        "Splits str or bytes over a Macro PDF417 series of symbols of one size; segments 0 "
        "takes as few as hold the data.");
}

// Every item encoded and rendered on the library's threads, with the GIL
// released once for the whole list.
void bindEncodeMany(py::module_& m) {
    m.def(
        "encode_many",
        [](const py::sequence& items, const std::string& format, int threads,
           const py::object& level, int columns, int rows, double aspect, int moduleWidth,
           int rowHeight, int quietZone, const Colour& bar, const Colour& space, int dpi,
           bool fillLevel, bool compact, std::optional<std::string> charset,
           std::optional<int> eci) {
            const std::optional<barquill::Format> parsed = barquill::parseFormat(format);
            if (!parsed)
                throw py::value_error("format must be png, gif, bmp, svg, pdf, eps, zpl or escpos");
            if (threads < 0) throw py::value_error("threads must be 0 (one per core) or more");
            barquill::Options options = optionsOf(level, columns, rows, compact, charset, eci);
            options.aspect = aspect;
            options.moduleProportions = {moduleWidth, rowHeight};
            options.fillLevel = fillLevel;
            const barquill::Render render =
                RenderArgs{moduleWidth, rowHeight, quietZone, bar, space, dpi}.render();
            // Copied while the GIL is held: a bytearray may change once it is not.
            std::vector<Data> data;
            data.reserve(py::len(items));
            for (std::size_t i = 0; i < py::len(items); ++i) {
                const py::object item = items[i];
                if (!py::isinstance<py::str>(item) && !py::isinstance<py::bytes>(item) &&
                    !py::isinstance<py::bytearray>(item))
                    throw py::type_error("item " + std::to_string(i) +
                                         ": data must be str, bytes or bytearray");
                data.push_back(dataOf(item));
            }
            std::vector<barquill::BatchData> views;
            views.reserve(data.size());
            for (const Data& d : data) views.push_back({d.bytes, d.isText});
            const std::vector<barquill::Result<barquill::Bytes>> results = released(
                [&] { return barquill::encodeMany(views, options, *parsed, render, threads); });
            py::list files(results.size());
            for (std::size_t i = 0; i < results.size(); ++i) {
                if (!results[i]) raise(results[i].error(), i);
                const barquill::Bytes& file = *results[i];
                if (*parsed == barquill::Format::svg)
                    files[i] = py::str(reinterpret_cast<const char*>(file.data()), file.size());
                else
                    files[i] = toBytes(file);
            }
            return files;
        },
        py::arg("items"), py::arg("format") = "png", py::arg("threads") = 0, py::kw_only(),
        py::arg("level") = py::none(), py::arg("columns") = 0, py::arg("rows") = 0,
        py::arg("aspect") = 0.0, py::arg("module_width") = 2, py::arg("row_height") = 4,
        py::arg("quiet_zone") = 10, py::arg("bar") = Colour{0, 0, 0},
        py::arg("space") = Colour{255, 255, 255}, py::arg("dpi") = 0, py::arg("fill_level") = false,
        py::arg("compact") = false, py::arg("charset") = py::none(), py::arg("eci") = py::none(),
        "Encodes every item (str, bytes or bytearray) and returns the files in order: bytes, "
        "or str for svg. The work runs on the library's threads (threads 0: one per core) "
        "without the GIL. The first item that fails raises EncodeError with .index.");
}

}  // namespace

void bindExplain(py::module_& m) {
    m.def(
        "explain",
        [](const py::object& data, const py::kwargs& options) {
            const barquill::Settings settings = settingsOf(options);
            const Data d = dataOf(data);
            const auto explained = take(released([&] {
                return d.isText
                           ? barquill::explain(std::string_view(d.bytes), settings)
                           : barquill::explain(
                                 std::span(reinterpret_cast<const std::uint8_t*>(d.bytes.data()),
                                           d.bytes.size()),
                                 settings);
            }));
            return explanationsOf(explained);
        },
        py::arg("data"),
        "How the data became the symbol, as a dict (a list of dicts for a series): segments, "
        "every codeword with its role, the shape, the row indicators. Options by the command "
        "line's names: level=4, columns=3, compaction='byte', macro=True ...");
}

PYBIND11_MODULE(barquill, m) {
    m.doc() = "PDF417 barcodes: encode text or bytes, get PNG, GIF, BMP or SVG.";
    m.attr("__version__") = barquill::version();
    m.attr("AUTO") = barquill::autoLevel;
    bindErrors(m);
    bindMacro(m);
    bindImage(m);
    bindSymbol(m);
    bindEncode(m);
    bindExplain(m);
    bindProfiles(m);
    bindEncodeMany(m);
}
