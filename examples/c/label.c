/* SPDX-License-Identifier: MIT */
/* A PDF417 label as PNG and SVG through the C interface; built with
 * pkg-config:
 *   cc label.c $(pkg-config --cflags --libs barquill)
 *   label OUTPUT_BASE TEXT          writes OUTPUT_BASE.png and OUTPUT_BASE.svg */
#include <barquill/barquill.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int writeFile(const char* base, const char* extension, const void* bytes, size_t size) {
    char path[4096];
    if (snprintf(path, sizeof path, "%s%s", base, extension) >= (int)sizeof path) return 0;
    FILE* out = fopen(path, "wb");
    if (out == NULL) return 0;
    const int ok = fwrite(bytes, 1, size, out) == size;
    return fclose(out) == 0 && ok;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: label OUTPUT_BASE TEXT\n");
        return 1;
    }
    barquill_options options;
    barquill_options_init(&options);
    options.level = 4;
    barquill_symbol* symbol = NULL;
    barquill_error error;
    if (barquill_encode(argv[2], strlen(argv[2]), &options, &symbol, &error) != BARQUILL_OK) {
        fprintf(stderr, "error %d: %s\n", (int)error.code, error.message);
        return 2;
    }

    barquill_render render;
    barquill_render_init(&render);
    render.module_width = 3;
    render.bar_color = 0x000080; /* navy */
    uint8_t* png = NULL;
    char* svg = NULL;
    size_t pngSize = 0, svgSize = 0;
    int status = 0;
    if (barquill_to_png(symbol, &render, &png, &pngSize, &error) != BARQUILL_OK ||
        barquill_to_svg(symbol, &render, &svg, &svgSize, &error) != BARQUILL_OK) {
        fprintf(stderr, "error %d: %s\n", (int)error.code, error.message);
        status = 2;
    } else if (!writeFile(argv[1], ".png", png, pngSize) ||
               !writeFile(argv[1], ".svg", svg, svgSize)) {
        fprintf(stderr, "cannot write %s\n", argv[1]);
        status = 3;
    } else {
        printf("%d rows, %d columns, level %d\n", barquill_symbol_rows(symbol),
               barquill_symbol_columns(symbol), barquill_symbol_level(symbol));
    }
    barquill_free(png);
    barquill_free(svg);
    barquill_symbol_free(symbol);

    /* A refused option names the field. */
    options.columns = 99;
    if (barquill_encode("x", 1, &options, &symbol, &error) != BARQUILL_INVALID_OPTION ||
        strcmp(error.field, "columns") != 0) {
        fprintf(stderr, "columns 99 was not refused\n");
        status = 4;
    }
    return status;
}
