/* SPDX-License-Identifier: MIT */
/* A C caller may hand the interface any int as a status: C converts it
 * freely, where C++ may not name a value outside the enumeration's range. */
#include "barquill/barquill.h"

const char* statusTextFromC(int code);

const char* statusTextFromC(int code) {
    return barquill_status_text((barquill_status)code);
}
