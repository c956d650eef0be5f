// SPDX-License-Identifier: MIT
// The C interface: handles and caller-sized structures over the C++ one.
// Every entry point catches everything, so no exception crosses into C.

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <type_traits>

#include "barquill/barquill.h"
#include "barquill/barquill.hpp"
#include "lib/internal.h"

struct barquill_symbol {
    barquill::Symbol symbol;
};

namespace {

// A C caller may pass any int where an enumeration is declared, and C++ may
// not even read a value outside the enumeration's range: take its bits.
template <class Enum>
long rawValue(const Enum& value) {
    std::underlying_type_t<Enum> raw;
    static_assert(sizeof raw == sizeof value);
    std::memcpy(&raw, &value, sizeof raw);
    // C passes the enumeration as an int, so -1 is -1 here too.
    return static_cast<long>(static_cast<int>(raw));
}

// A field is read only when the caller's structure is long enough to hold
// it; shorter structures come from older headers and get the defaults.
#define BARQUILL_COVERS(s, field) \
    ((s)->size >=                 \
     offsetof(std::remove_cv_t<std::remove_pointer_t<decltype(s)>>, field) + sizeof((s)->field))

void copyText(char* target, std::size_t capacity, const std::string& text) {
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(target, text.data(), n);
    target[n] = '\0';
}

// Each thread's last outcome, for barquill_last_error.
thread_local barquill::Error lastError;

void remember(const barquill::Error& e) noexcept {
    try {
        lastError = e;
    } catch (...) {
        // Out of memory for the texts: the code at least.
        lastError.code = e.code;
        lastError.field.clear();
        lastError.message.clear();
    }
}

barquill_status report(barquill_error* error, const barquill::Error& e) {
    remember(e);
    if (error != nullptr) {
        std::memset(error, 0, sizeof *error);
        error->code = static_cast<barquill_status>(e.code);
        copyText(error->field, sizeof error->field, e.field);
        error->value = e.value;
        error->minimum = e.minimum;
        error->maximum = e.maximum;
        error->needed = e.needed;
        error->available = e.available;
        copyText(error->message, sizeof error->message, e.message);
    }
    return static_cast<barquill_status>(e.code);
}

barquill_status report(barquill_error* error, barquill_status status) {
    barquill::Error e;
    e.code = static_cast<barquill::ErrorCode>(status);
    e.message = barquill_status_text(status);
    return report(error, e);
}

barquill_status succeed(barquill_error* error) {
    return report(error, BARQUILL_OK);
}

barquill::Render renderFrom(const barquill_render* r) {
    barquill::Render render;
    if (r == nullptr) return render;
    const auto rgb = [](std::uint32_t c) {
        return barquill::Rgb{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                             static_cast<std::uint8_t>(c)};
    };
    if (BARQUILL_COVERS(r, module_width)) render.moduleWidth = r->module_width;
    if (BARQUILL_COVERS(r, row_height)) render.rowHeight = r->row_height;
    if (BARQUILL_COVERS(r, quiet_zone)) render.quietZone = r->quiet_zone;
    if (BARQUILL_COVERS(r, bar_color)) render.bar = rgb(r->bar_color);
    if (BARQUILL_COVERS(r, space_color)) render.space = rgb(r->space_color);
    if (BARQUILL_COVERS(r, dpi)) render.dpi = r->dpi;
    if (BARQUILL_COVERS(r, page_y_mm) && r->page_width_mm > 0)
        render.page =
            barquill::Page{r->page_width_mm, r->page_height_mm, r->page_x_mm, r->page_y_mm};
    if (BARQUILL_COVERS(r, printer_encodes)) render.printerEncodes = r->printer_encodes != 0;
    return render;
}

// Reads the fields the caller's structure holds; an error for a structure
// of an unknown size or a value the C++ options cannot hold.
std::optional<barquill::Error> optionsFrom(const barquill_options* c, barquill::Options* o) {
    if (c == nullptr) return std::nullopt;
    if (c->size < sizeof c->size || c->size > sizeof *c) {
        barquill::Error error;
        error.code = barquill::ErrorCode::invalidArgument;
        error.message = barquill::errorText(error.code);
        return error;
    }
    const auto text = [](const char* s) { return s != nullptr ? std::string(s) : std::string(); };
    if (BARQUILL_COVERS(c, level)) o->level = c->level;
    if (BARQUILL_COVERS(c, columns)) o->columns = c->columns;
    if (BARQUILL_COVERS(c, compact)) o->compact = c->compact != 0;
    if (BARQUILL_COVERS(c, rows)) o->rows = c->rows;
    if (BARQUILL_COVERS(c, aspect)) o->aspect = c->aspect;
    if (BARQUILL_COVERS(c, module_width)) o->moduleProportions.width = c->module_width;
    if (BARQUILL_COVERS(c, row_height)) o->moduleProportions.height = c->row_height;
    if (BARQUILL_COVERS(c, fill_level)) o->fillLevel = c->fill_level != 0;
    if (BARQUILL_COVERS(c, eci)) o->eci = c->eci;
    if (BARQUILL_COVERS(c, charset)) o->charset = text(c->charset);
    if (BARQUILL_COVERS(c, macro_checksum) && c->macro != 0) {
        barquill::Macro m;
        m.segmentIndex = c->macro_segment_index;
        if (c->macro_segment_count != 0) m.segmentCount = c->macro_segment_count;
        m.lastSegment = c->macro_last_segment != 0;
        if (c->macro_file_id != nullptr)
            m.fileId.assign(c->macro_file_id, c->macro_file_id + c->macro_file_id_count);
        m.fileName = text(c->macro_file_name);
        m.sender = text(c->macro_sender);
        m.addressee = text(c->macro_addressee);
        if (c->macro_time_stamp >= 0) m.timeStamp = c->macro_time_stamp;
        if (c->macro_file_size >= 0) m.fileSize = c->macro_file_size;
        if (c->macro_checksum >= 0) {
            // A checksum outside 16 bits is refused, not cut short.
            if (c->macro_checksum > 0xFFFF) {
                barquill::Error error;
                error.code = barquill::ErrorCode::invalidOption;
                error.field = "macro.checksum";
                error.value = c->macro_checksum;
                error.maximum = 0xFFFF;
                error.message = barquill::describe(error, {});
                return error;
            }
            m.checksum = static_cast<std::uint16_t>(c->macro_checksum);
        }
        o->macro = std::move(m);
    }
    if (BARQUILL_COVERS(c, compaction))
        o->compaction =
            c->compaction == 1 ? barquill::Compaction::byte : barquill::Compaction::automatic;
    return std::nullopt;
}

barquill_status finish(barquill::Result<barquill::Symbol>&& result, barquill_symbol** symbol,
                       barquill_error* error) {
    if (!result) return report(error, result.error());
    *symbol = new barquill_symbol{std::move(result).value()};
    return report(error, BARQUILL_OK);
}

// Copies into a block for barquill_free, one zero byte added after the end.
std::uint8_t* copyOut(const void* data, std::size_t size) {
    auto* block = static_cast<std::uint8_t*>(std::malloc(size + 1));
    if (block == nullptr) return nullptr;
    if (size > 0) std::memcpy(block, data, size);
    block[size] = 0;
    return block;
}

}  // namespace

extern "C" {

void barquill_options_init(barquill_options* options) {
    if (options == nullptr) return;
    std::memset(options, 0, sizeof *options);
    options->size = sizeof *options;
    options->level = BARQUILL_AUTO_LEVEL;
    const barquill::Options defaults;
    options->module_width = defaults.moduleProportions.width;
    options->row_height = defaults.moduleProportions.height;
    options->eci = BARQUILL_NO_ECI;
    options->macro_time_stamp = -1;
    options->macro_file_size = -1;
    options->macro_checksum = -1;
}

void barquill_render_init(barquill_render* render) {
    if (render == nullptr) return;
    const barquill::Render defaults;
    std::memset(render, 0, sizeof *render);
    render->size = sizeof *render;
    render->module_width = defaults.moduleWidth;
    render->row_height = defaults.rowHeight;
    render->quiet_zone = defaults.quietZone;
    render->bar_color = 0x000000;
    render->space_color = 0xFFFFFF;
    render->dpi = defaults.dpi;
}

barquill_status barquill_encode(const void* data, size_t length, const barquill_options* options,
                                barquill_symbol** symbol, barquill_error* error) {
    if (symbol == nullptr || (data == nullptr && length > 0))
        return report(error, BARQUILL_INVALID_ARGUMENT);
    *symbol = nullptr;
    try {
        barquill::Options o;
        if (auto wrong = optionsFrom(options, &o)) return report(error, *wrong);
        auto result = barquill::encode(
            std::span(static_cast<const std::uint8_t*>(data), data == nullptr ? 0 : length), o);
        return finish(std::move(result), symbol, error);
    } catch (...) {
        return report(error, BARQUILL_OUT_OF_MEMORY);
    }
}

barquill_status barquill_encode_text(const char* text, const barquill_options* options,
                                     barquill_symbol** symbol, barquill_error* error) {
    if (symbol == nullptr || text == nullptr) return report(error, BARQUILL_INVALID_ARGUMENT);
    *symbol = nullptr;
    try {
        barquill::Options o;
        if (auto wrong = optionsFrom(options, &o)) return report(error, *wrong);
        return finish(barquill::encode(std::string_view(text), o), symbol, error);
    } catch (...) {
        return report(error, BARQUILL_OUT_OF_MEMORY);
    }
}

void barquill_symbol_free(barquill_symbol* symbol) {
    delete symbol;
}

int barquill_symbol_rows(const barquill_symbol* s) {
    return s != nullptr ? s->symbol.rows() : 0;
}
int barquill_symbol_columns(const barquill_symbol* s) {
    return s != nullptr ? s->symbol.columns() : 0;
}
int barquill_symbol_width(const barquill_symbol* s) {
    return s != nullptr ? s->symbol.width() : 0;
}
int barquill_symbol_level(const barquill_symbol* s) {
    return s != nullptr ? s->symbol.level() : 0;
}
int barquill_symbol_data_codewords(const barquill_symbol* s) {
    return s != nullptr ? s->symbol.dataCodewords() : 0;
}
int barquill_symbol_capacity(const barquill_symbol* s) {
    return s != nullptr ? s->symbol.capacity() : 0;
}
const uint8_t* barquill_symbol_modules(const barquill_symbol* s) {
    return s != nullptr ? s->symbol.modules().data() : nullptr;
}

barquill_status barquill_to_format(const barquill_symbol* symbol, barquill_format format,
                                   const barquill_render* render, uint8_t** bytes, size_t* length,
                                   barquill_error* error) {
    if (symbol == nullptr || bytes == nullptr || length == nullptr)
        return report(error, BARQUILL_INVALID_ARGUMENT);
    const long formatNumber = rawValue(format);
    if (formatNumber < 0 || formatNumber > BARQUILL_FORMAT_ESCPOS)
        return report(error, barquill::rangeError(barquill::ErrorCode::invalidArgument, "format",
                                                  formatNumber, 0, BARQUILL_FORMAT_ESCPOS));
    if (render != nullptr && (render->size < sizeof render->size || render->size > sizeof *render))
        return report(error, BARQUILL_INVALID_ARGUMENT);
    *bytes = nullptr;
    *length = 0;
    try {
        auto result = barquill::render(symbol->symbol, static_cast<barquill::Format>(formatNumber),
                                       renderFrom(render));
        if (!result) return report(error, result.error());
        *bytes = copyOut(result->data(), result->size());
        if (*bytes == nullptr) return report(error, BARQUILL_OUT_OF_MEMORY);
        *length = result->size();
        return succeed(error);
    } catch (...) {
        return report(error, BARQUILL_OUT_OF_MEMORY);
    }
}

barquill_status barquill_to_png(const barquill_symbol* symbol, const barquill_render* render,
                                uint8_t** bytes, size_t* length, barquill_error* error) {
    return barquill_to_format(symbol, BARQUILL_FORMAT_PNG, render, bytes, length, error);
}

barquill_status barquill_to_svg(const barquill_symbol* symbol, const barquill_render* render,
                                char** text, size_t* length, barquill_error* error) {
    return barquill_to_format(symbol, BARQUILL_FORMAT_SVG, render,
                              reinterpret_cast<uint8_t**>(text), length, error);
}

barquill_format barquill_format_from_name(const char* path) {
    if (path == nullptr) return BARQUILL_FORMAT_BMP;
    return static_cast<barquill_format>(barquill::formatFromName(path));
}

barquill_status barquill_save(const barquill_symbol* symbol, const char* path,
                              const barquill_render* render, barquill_error* error) {
    if (symbol == nullptr || path == nullptr) return report(error, BARQUILL_INVALID_ARGUMENT);
    if (render != nullptr && (render->size < sizeof render->size || render->size > sizeof *render))
        return report(error, BARQUILL_INVALID_ARGUMENT);
    try {
        auto result = barquill::save(symbol->symbol, path, renderFrom(render));
        if (!result) return report(error, result.error());
        return succeed(error);
    } catch (...) {
        return report(error, BARQUILL_OUT_OF_MEMORY);
    }
}

void barquill_free(void* bytes) {
    std::free(bytes);
}

size_t barquill_warning_count(const barquill_symbol* symbol, const barquill_render* render) {
    if (symbol == nullptr) return 0;
    try {
        return barquill::checkLabel(barquill::Label{{symbol->symbol}, renderFrom(render), {}})
            .size();
    } catch (...) {
        return 0;
    }
}

barquill_status barquill_warning_at(const barquill_symbol* symbol, const barquill_render* render,
                                    size_t index, barquill_warning* warning) {
    if (symbol == nullptr || warning == nullptr || warning->size < sizeof warning->size ||
        warning->size > sizeof *warning)
        return BARQUILL_INVALID_ARGUMENT;
    try {
        const auto warnings =
            barquill::checkLabel(barquill::Label{{symbol->symbol}, renderFrom(render), {}});
        if (index >= warnings.size()) return BARQUILL_INVALID_ARGUMENT;
        const barquill::Warning& w = warnings[index];
        const std::uint32_t size = warning->size;
        std::memset(warning, 0, size);
        warning->size = size;
        if (BARQUILL_COVERS(warning, id)) copyText(warning->id, sizeof warning->id, w.id);
        if (BARQUILL_COVERS(warning, message))
            copyText(warning->message, sizeof warning->message, w.message);
        if (BARQUILL_COVERS(warning, change))
            copyText(warning->change, sizeof warning->change, w.change);
        if (BARQUILL_COVERS(warning, value)) warning->value = w.value;
        if (BARQUILL_COVERS(warning, limit)) warning->limit = w.limit;
        return BARQUILL_OK;
    } catch (...) {
        return BARQUILL_OUT_OF_MEMORY;
    }
}

void barquill_error_info_init(barquill_error_info* info) {
    if (info == nullptr) return;
    std::memset(info, 0, sizeof *info);
    info->size = sizeof *info;
    info->row = -1;
    info->module = -1;
}

barquill_status barquill_last_error(barquill_error_info* info) {
    if (info == nullptr || info->size < sizeof info->size || info->size > sizeof *info)
        return BARQUILL_INVALID_ARGUMENT;
    const barquill::Error& e = lastError;
    const std::uint32_t size = info->size;
    std::memset(info, 0, size);
    info->size = size;
    if (BARQUILL_COVERS(info, code)) info->code = static_cast<barquill_status>(e.code);
    if (BARQUILL_COVERS(info, field)) copyText(info->field, sizeof info->field, e.field);
    if (BARQUILL_COVERS(info, value)) info->value = e.value;
    if (BARQUILL_COVERS(info, minimum)) info->minimum = e.minimum;
    if (BARQUILL_COVERS(info, maximum)) info->maximum = e.maximum;
    if (BARQUILL_COVERS(info, needed)) info->needed = e.needed;
    if (BARQUILL_COVERS(info, available)) info->available = e.available;
    if (BARQUILL_COVERS(info, message)) copyText(info->message, sizeof info->message, e.message);
    if (BARQUILL_COVERS(info, other)) copyText(info->other, sizeof info->other, e.other);
    if (BARQUILL_COVERS(info, character))
        copyText(info->character, sizeof info->character, e.character);
    if (BARQUILL_COVERS(info, suggestion))
        copyText(info->suggestion, sizeof info->suggestion, e.suggestion);
    if (BARQUILL_COVERS(info, mismatch)) info->mismatch = static_cast<std::int32_t>(e.mismatch);
    if (BARQUILL_COVERS(info, row)) info->row = e.row;
    if (BARQUILL_COVERS(info, module)) info->module = e.module;
    return BARQUILL_OK;
}

const char* barquill_status_text(barquill_status status) {
    // The texts are literals, so the view is terminated.
    return barquill::errorText(static_cast<barquill::ErrorCode>(rawValue(status))).data();
}

const char* barquill_version(void) {
    return barquill::version();
}

}  // extern "C"
