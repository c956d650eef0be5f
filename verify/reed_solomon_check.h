// SPDX-License-Identifier: MIT
#pragma once
// Whether a symbol's codewords are a Reed-Solomon code word as they stand.

#include <cstdint>

namespace barquill::verify {

// True when the `count` codewords (data first, the `errorCorrection` check
// codewords last) read as the polynomial c0 x^(n-1) + ... + c(n-1) vanish
// at 3, 3^2, ..., 3^errorCorrection in GF(929): the roots of the PDF417
// generator. Any codeword a reader would have to correct makes one of these
// syndromes non-zero.
bool syndromesVanish(const std::int32_t* codewords, int count, int errorCorrection);

}  // namespace barquill::verify
