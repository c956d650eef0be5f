// SPDX-License-Identifier: MIT
#pragma once
// The vector module behind PDF and EPS: found, loaded once, on the first
// document, and called through its C interface.

#include "loader/module_loader.h"
#include "print/vector_abi.h"

namespace barquill::print {

// The module is named by this environment variable when set; otherwise it
// is looked for as the reader module is (see loader/module_loader.h).
inline constexpr const char* VECTOR_ENVIRONMENT = "BARQUILL_VECTOR";

struct VectorModule {
    loader::Availability availability;
    barquill_vector_draw_function draw = nullptr;
};

// The module of this process, loaded on the first call (thread-safe).
const VectorModule& vectorModule();

}  // namespace barquill::print
