// SPDX-License-Identifier: MIT
#ifndef BARQUILL_PRINT_VECTOR_ABI_H
#define BARQUILL_PRINT_VECTOR_ABI_H
/* The interface of the vector module (libbarquill-vector.so), loaded with
 * dlopen when a PDF or EPS is first written: cairo and its libraries are
 * loaded with it and never by a program that writes neither. Only C types
 * cross it. */

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Raised whenever a structure or a function below changes. */
#define BARQUILL_VECTOR_VERSION 1

#define BARQUILL_VECTOR_VERSION_SYMBOL "barquill_vector_version"
#define BARQUILL_VECTOR_DRAW_SYMBOL "barquill_vector_draw"

enum { BARQUILL_VECTOR_PDF = 0, BARQUILL_VECTOR_EPS = 1 };

/* A filled rectangle in millimetres from the page's top left corner. */
struct barquill_vector_area {
    double x;
    double y;
    double width;
    double height;
    unsigned char red;
    unsigned char green;
    unsigned char blue;
};

/* Receives the document's bytes in order; returns 0 when it took them. */
typedef int (*barquill_vector_write_function)(void* closure, const unsigned char* data,
                                              size_t size);

/* One page of `areas` painted in order, each in its own colour. */
struct barquill_vector_document {
    int format;        /* BARQUILL_VECTOR_PDF or BARQUILL_VECTOR_EPS */
    double page_width; /* millimetres */
    double page_height;
    const struct barquill_vector_area* areas;
    size_t area_count;
    barquill_vector_write_function write;
    void* closure;
};

/* Returns 0 when the whole document was written, BARQUILL_VECTOR_NO_TEMPORARY_FILE
 * when the document needs a temporary file (PostScript does) that the system
 * would not make, otherwise the drawing library's status, never 0. */
#define BARQUILL_VECTOR_NO_TEMPORARY_FILE (-1)
typedef int (*barquill_vector_version_function)(void);
typedef int (*barquill_vector_draw_function)(const struct barquill_vector_document* document);

#ifdef __cplusplus
}
#endif

#endif
