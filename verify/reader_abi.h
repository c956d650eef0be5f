// SPDX-License-Identifier: MIT
#ifndef BARQUILL_VERIFY_READER_ABI_H
#define BARQUILL_VERIFY_READER_ABI_H
/* The interface of the reader module (libbarquill-reader.so), loaded with
 * dlopen. Only C types cross it, so that a program with its own copy of the
 * C++ runtime can use a module linked against the system's. */

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Raised whenever a structure or a function below changes. */
#define BARQUILL_READER_VERSION 1

#define BARQUILL_READER_VERSION_SYMBOL "barquill_reader_version"
#define BARQUILL_READER_READ_SYMBOL "barquill_reader_read_grey"

/* An 8-bit grey raster, top row first. */
struct barquill_reader_image {
    const unsigned char* pixels;
    int width;
    int height;
    int stride;
    int pure; /* 1: the raster holds one upright symbol and its quiet zone only */
    /* 1: a pixel is dark at 127 and below, light above (a raster of two
     * known levels); 0: the reader chooses from the raster's histogram. */
    int fixed_threshold;
};

/* Filled by a read. The caller owns both buffers; a size larger than its
 * capacity means the read stopped with BARQUILL_READER_TOO_LONG. */
struct barquill_reader_result {
    unsigned char* bytes;
    size_t bytes_capacity;
    size_t bytes_size;
    char* file_id; /* Macro file id, each codeword as three digits */
    size_t file_id_capacity;
    size_t file_id_size;
    int eci;           /* -1: none */
    int segment_index; /* -1: no Macro control block */
    int segment_count; /* -1: not stated */
};

enum {
    BARQUILL_READER_READ = 0,
    BARQUILL_READER_NOT_FOUND = 1,
    BARQUILL_READER_TOO_LONG = 2,
    BARQUILL_READER_FAILED = 3 /* the reader itself failed (out of memory) */
};

typedef int (*barquill_reader_version_function)(void);
typedef int (*barquill_reader_read_function)(const struct barquill_reader_image* image,
                                             struct barquill_reader_result* result);

#ifdef __cplusplus
}
#endif

#endif
