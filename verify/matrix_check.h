// SPDX-License-Identifier: MIT
#pragma once
// The exact check of a symbol's module matrix, without any reader.

#include "verify/verify.h"

namespace barquill::verify {

struct MatrixFault {
    Mismatch mismatch = Mismatch::None;  // None, or one of Shape .. ErrorCorrection
    int row = -1;
    int module = -1;  // the first module of the pattern at fault
};

// Checks that every row has its start and stop patterns, that every
// codeword is a pattern of its row's cluster, that the row indicators agree
// with one another and with the matrix's shape, and that the codewords in
// reading order are a Reed-Solomon code word with a true length descriptor.
MatrixFault checkMatrix(const ModuleView& modules, bool compact);

}  // namespace barquill::verify
