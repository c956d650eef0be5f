// SPDX-License-Identifier: MIT
#pragma once
// Telling a codeword from its 17 modules: the reverse of the pattern table.

#include <cstdint>

namespace barquill::verify {

// The value 0..928 whose pattern in cluster block `block` (0, 1, 2 for the
// clusters 0, 3, 6 of rows r with r mod 3 = block) is `pattern` (module 1 in
// bit 16, set bits for bars), or -1 when the cluster has no such pattern.
int codewordValue(std::uint32_t pattern, int block);

}  // namespace barquill::verify
