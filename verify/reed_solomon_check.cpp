// SPDX-License-Identifier: MIT
#include "verify/reed_solomon_check.h"

#include <array>

namespace barquill::verify {

namespace {

constexpr std::uint32_t PRIME = 929;
constexpr std::size_t MAX_ERROR_CORRECTION = 512;  // level 8

}  // namespace

bool syndromesVanish(const std::int32_t* codewords, int count, int errorCorrection) {
    if (errorCorrection < 0 || static_cast<std::size_t>(errorCorrection) > MAX_ERROR_CORRECTION)
        return false;
    const auto k = static_cast<std::size_t>(errorCorrection);
    std::array<std::uint32_t, MAX_ERROR_CORRECTION> roots, syndromes;
    syndromes.fill(0);
    std::uint32_t root = 1;
    for (std::size_t j = 0; j < k; ++j) {
        root = root * 3 % PRIME;
        roots[j] = root;
    }
    // Horner's rule for every root at once, one codeword at a time.
    for (int i = 0; i < count; ++i) {
        const auto c = static_cast<std::uint32_t>(codewords[i]);
        for (std::size_t j = 0; j < k; ++j) syndromes[j] = (syndromes[j] * roots[j] + c) % PRIME;
    }
    for (std::size_t j = 0; j < k; ++j)
        if (syndromes[j] != 0) return false;
    return true;
}

}  // namespace barquill::verify
