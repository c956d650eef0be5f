/* SPDX-License-Identifier: MIT */
/* A C caller may hand the interface any int as a status or a format: C
 * converts it freely, where C++ may not name a value outside the
 * enumeration's range. */
#include "barquill/barquill.h"

const char* statusTextFromC(int code);
barquill_status toFormatFromC(const barquill_symbol* symbol, int format, uint8_t** bytes,
                              size_t* length, barquill_error* error);

const char* statusTextFromC(int code) {
    return barquill_status_text((barquill_status)code);
}

barquill_status toFormatFromC(const barquill_symbol* symbol, int format, uint8_t** bytes,
                              size_t* length, barquill_error* error) {
    return barquill_to_format(symbol, (barquill_format)format, NULL, bytes, length, error);
}
