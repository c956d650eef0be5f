// SPDX-License-Identifier: MIT
#ifndef BARQUILL_H
#define BARQUILL_H
/* Barquill: PDF417 barcodes from C and from any language that binds to C.
 *
 *   barquill_symbol* symbol = NULL;
 *   barquill_error error;
 *   if (barquill_encode("Hello", 5, NULL, &symbol, &error) != BARQUILL_OK)
 *       fprintf(stderr, "%s\n", error.message);
 *   unsigned char* png = NULL;
 *   size_t size = 0;
 *   barquill_to_png(symbol, NULL, &png, &size, NULL);
 *   ...
 *   barquill_free(png);
 *   barquill_symbol_free(symbol);
 *
 * Nothing throws; every call returns a status. Structures passed in carry
 * their own size in the first field (set it with the _init functions), so a
 * program built against an older header keeps working with a newer library.
 * Buffers the library returns are released with barquill_free. */

#include <stddef.h>
#include <stdint.h>

#include "barquill/export.h"
#include "barquill/version.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The same numbers as barquill::ErrorCode. */
typedef enum barquill_status {
    BARQUILL_OK = 0,
    BARQUILL_EMPTY_DATA = 1,
    BARQUILL_DATA_TOO_LONG = 2,
    BARQUILL_COLUMNS_DO_NOT_FIT = 4,
    BARQUILL_SHAPE_DOES_NOT_FIT = 6,
    BARQUILL_INVALID_TEXT = 8,
    BARQUILL_INVALID_ESCAPE = 9,
    BARQUILL_INVALID_OPTION = 10,
    BARQUILL_INVALID_RENDER = 11,
    BARQUILL_CONFLICTING_OPTIONS = 12,
    BARQUILL_MISSING_OPTION = 13,
    BARQUILL_LABEL_TOO_SMALL = 14,
    BARQUILL_SERIES_TOO_SHORT = 15,
    BARQUILL_NOT_ON_PAGE = 16,
    BARQUILL_NOT_EXPRESSIBLE = 17,
    BARQUILL_INVALID_FIELD = 18,
    BARQUILL_PROFILE_CONFLICT = 19,
    BARQUILL_RENDER_FAILED = 20,
    BARQUILL_WRITE_FAILED = 21, /* error.value holds errno */
    BARQUILL_READ_ONLY = 22,
    BARQUILL_NOT_VERIFIED = 23,
    BARQUILL_VERIFY_UNAVAILABLE = 24,
    BARQUILL_OUTSIDE_FOLDER = 25,
    BARQUILL_INVALID_ARGUMENT = 30, /* a null pointer, a structure of unknown size, or an
                                      argument out of its range */
    BARQUILL_OUT_OF_MEMORY = 31
} barquill_status;

typedef enum barquill_format {
    BARQUILL_FORMAT_BMP = 0,
    BARQUILL_FORMAT_GIF = 1,
    BARQUILL_FORMAT_PNG = 2,
    BARQUILL_FORMAT_SVG = 3,
    BARQUILL_FORMAT_PDF = 4,
    BARQUILL_FORMAT_EPS = 5,
    BARQUILL_FORMAT_ZPL = 6,
    BARQUILL_FORMAT_ESCPOS = 7,
    /* Never a format: keeps the type as wide as an int, so that any value a
     * caller passes is one the library can check and refuse. */
    BARQUILL_FORMAT_MAX_ENUM = 0x7FFFFFFF
} barquill_format;

#define BARQUILL_AUTO_LEVEL (-1)

#define BARQUILL_NO_ECI (-1)

/* Fields added in later versions go at the end; `size` tells which a
 * caller knows. Pointers are only read during the call. */
typedef struct barquill_options {
    uint32_t size;        /* sizeof(barquill_options), set by barquill_options_init */
    int32_t level;        /* 0 to 8, or BARQUILL_AUTO_LEVEL */
    int32_t columns;      /* 1 to 30, 0 chooses them */
    int32_t compact;      /* nonzero: compact symbol */
    int32_t rows;         /* 3 to 90, 0 chooses them */
    double aspect;        /* printed width : height wanted, 0 none */
    int32_t module_width; /* a module's proportions for aspect, any unit */
    int32_t row_height;
    int32_t fill_level; /* nonzero: raise the level to fill a fixed shape */
    int32_t eci;        /* 0 to 811799, or BARQUILL_NO_ECI */
    /* Character set name such as "ISO-8859-2", or NULL: the data is taken to
     * be in it (barquill_encode_text converts UTF-8 text into it). */
    const char* charset;
    /* Macro PDF417: nonzero makes the symbol one segment of a series. */
    int32_t macro;
    int32_t macro_segment_index; /* 0-based */
    int32_t macro_segment_count; /* 0: not written */
    int32_t macro_last_segment;
    const int32_t* macro_file_id; /* macro_file_id_count codewords of 0 to 899 */
    size_t macro_file_id_count;
    const char* macro_file_name; /* NULL or empty: not written */
    const char* macro_sender;
    const char* macro_addressee;
    int64_t macro_time_stamp; /* -1: not written */
    int64_t macro_file_size;  /* -1: not written */
    int32_t macro_checksum;   /* 0 to 65535, -1: not written */
    int32_t compaction;       /* 0 by the characters, 1 all data as bytes */
} barquill_options;

typedef struct barquill_render {
    uint32_t size;        /* sizeof(barquill_render), set by barquill_render_init */
    int32_t module_width; /* pixels, 1 to 64 */
    int32_t row_height;   /* pixels, 1 to 256 */
    int32_t quiet_zone;   /* pixels on every side, 0 to 1000 */
    uint32_t bar_color;   /* 0xRRGGBB */
    uint32_t space_color; /* 0xRRGGBB */
    int32_t dpi;          /* 0 none, else 1 to 10000 */
    /* PDF and EPS: a page in mm (0 x 0: the symbol's size) and the symbol's
     * top left on it. */
    double page_width_mm;
    double page_height_mm;
    double page_x_mm;
    double page_y_mm;
    int32_t printer_encodes; /* ZPL and ESC/POS: nonzero for the printer's own command */
} barquill_render;

/* Something that may keep a symbol from scanning well (barquill::Warning). */
typedef struct barquill_warning {
    uint32_t size; /* sizeof(barquill_warning), set by the caller */
    char id[32];   /* stable: "compact", "low-level", "thin-module", ... */
    char message[256];
    char change[256];
    double value;
    double limit;
} barquill_warning;

typedef struct barquill_error {
    barquill_status code;
    char field[32]; /* the option at fault, or empty */
    long value;     /* the option's value and its allowed range */
    long minimum;
    long maximum;
    long needed; /* data codewords needed and available */
    long available;
    char message[256]; /* zero-terminated, cut short if longer */
} barquill_error;

/* barquill_error stays as it is, so that it never changes size under a
 * caller; the whole of a failure, which grows as the interface learns to
 * tell more, comes from barquill_last_error. Fields added in later versions
 * go at the end; `size` tells which a caller knows. */
typedef struct barquill_error_info {
    uint32_t size; /* sizeof(barquill_error_info), set by barquill_error_info_init */
    barquill_status code;
    char field[32]; /* as in barquill_error */
    int64_t value;
    int64_t minimum;
    int64_t maximum;
    int64_t needed;
    int64_t available;
    char message[256];
    char other[32];    /* BARQUILL_CONFLICTING_OPTIONS, BARQUILL_MISSING_OPTION: the other option */
    char character[8]; /* BARQUILL_INVALID_TEXT: the character, in UTF-8 */
    char suggestion[32]; /* BARQUILL_INVALID_TEXT: a character set that holds it */
    int32_t mismatch;    /* BARQUILL_NOT_VERIFIED: barquill::Mismatch's number */
    int32_t row;         /* BARQUILL_NOT_VERIFIED: the row and module at fault, or -1 */
    int32_t module;
} barquill_error_info;

typedef struct barquill_symbol barquill_symbol;

BARQUILL_API void barquill_options_init(barquill_options* options);
BARQUILL_API void barquill_render_init(barquill_render* render);

/* Encodes `length` bytes (which may hold zero bytes). `options` and `error`
 * may be NULL. On success *symbol is a new symbol for barquill_symbol_free. */
BARQUILL_API barquill_status barquill_encode(const void* data, size_t length,
                                             const barquill_options* options,
                                             barquill_symbol** symbol, barquill_error* error);
/* The same for zero-terminated UTF-8 text: valid UTF-8 that is not ASCII
 * goes with ECI 26 unless options name a charset or an ECI. */
BARQUILL_API barquill_status barquill_encode_text(const char* text, const barquill_options* options,
                                                  barquill_symbol** symbol, barquill_error* error);
BARQUILL_API void barquill_symbol_free(barquill_symbol* symbol);

BARQUILL_API int barquill_symbol_rows(const barquill_symbol* symbol);
BARQUILL_API int barquill_symbol_columns(const barquill_symbol* symbol);
BARQUILL_API int barquill_symbol_width(const barquill_symbol* symbol); /* modules per row */
BARQUILL_API int barquill_symbol_level(const barquill_symbol* symbol);
BARQUILL_API int barquill_symbol_data_codewords(const barquill_symbol* symbol);
BARQUILL_API int barquill_symbol_capacity(const barquill_symbol* symbol);
/* rows x width bytes, row after row, 1 a bar and 0 a space; owned by the symbol. */
BARQUILL_API const uint8_t* barquill_symbol_modules(const barquill_symbol* symbol);

/* The file in memory; *bytes is for barquill_free. `render` and `error` may
 * be NULL. SVG is zero-terminated as well (the terminator not counted). */
BARQUILL_API barquill_status barquill_to_format(const barquill_symbol* symbol,
                                                barquill_format format,
                                                const barquill_render* render, uint8_t** bytes,
                                                size_t* length, barquill_error* error);
BARQUILL_API barquill_status barquill_to_png(const barquill_symbol* symbol,
                                             const barquill_render* render, uint8_t** bytes,
                                             size_t* length, barquill_error* error);
BARQUILL_API barquill_status barquill_to_svg(const barquill_symbol* symbol,
                                             const barquill_render* render, char** text,
                                             size_t* length, barquill_error* error);
BARQUILL_API barquill_format barquill_format_from_name(const char* path);
/* Writes the file in the format its name asks for, verified first as the
 * C++ renderVerified verifies it (BARQUILL_NOT_VERIFIED, nothing written,
 * when it fails); an existing file is replaced only by a complete new one,
 * and one the user may not write by its mode is refused
 * (BARQUILL_READ_ONLY), as barquill::save refuses it. */
BARQUILL_API barquill_status barquill_save(const barquill_symbol* symbol, const char* path,
                                           const barquill_render* render, barquill_error* error);
BARQUILL_API void barquill_free(void* bytes);

/* The scan checks of a symbol drawn with `render` (NULL: the defaults):
 * how many warnings there are, and the one at `index` into *warning. */
BARQUILL_API size_t barquill_warning_count(const barquill_symbol* symbol,
                                           const barquill_render* render);
BARQUILL_API barquill_status barquill_warning_at(const barquill_symbol* symbol,
                                                 const barquill_render* render, size_t index,
                                                 barquill_warning* warning);

BARQUILL_API void barquill_error_info_init(barquill_error_info* info);
/* The outcome of the calling thread's last call that reports into a
 * barquill_error (whether or not it was given one), as far as `info`'s size
 * reaches: BARQUILL_OK with info->code filled in, or BARQUILL_INVALID_ARGUMENT
 * for a null pointer or a structure of unknown size. A call on another
 * thread never changes it. */
BARQUILL_API barquill_status barquill_last_error(barquill_error_info* info);

/* A fixed text for each status, never NULL: barquill::errorText's. */
BARQUILL_API const char* barquill_status_text(barquill_status status);
BARQUILL_API const char* barquill_version(void);

#ifdef __cplusplus
}
#endif

#endif /* BARQUILL_H */
