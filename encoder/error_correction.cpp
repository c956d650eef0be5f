// SPDX-License-Identifier: MIT
// Reed-Solomon error correction over GF(929), as PDF417 prescribes.

#include <algorithm>
#include <array>

#include "encoder/encoding_steps.h"

namespace barquill::encoder {

namespace {

constexpr int PRIME = 929;

// Coefficients of g(x) = (x - 3)(x - 3^2)...(x - 3^k) for k = 2, 4, ..., 512,
// lowest power first, the leading 1 left out.
constexpr std::array<std::int32_t, 1022> generatorCoefficients() {
    std::array<std::int32_t, 1022> table{};
    int offset = 0;
    for (int level = 0; level <= 8; ++level) {
        const int k = 2 << level;
        std::int32_t poly[513] = {1};  // poly[j] is the coefficient of x^j
        int degree = 0;
        std::int32_t root = 1;
        for (int i = 1; i <= k; ++i) {
            root = root * 3 % PRIME;
            poly[degree + 1] = 0;
            for (int j = degree + 1; j >= 0; --j) {
                const std::int32_t lower = j > 0 ? poly[j - 1] : 0;
                poly[j] = (lower + PRIME - root * poly[j] % PRIME) % PRIME;
            }
            ++degree;
        }
        std::copy_n(poly, k, table.begin() + offset);
        offset += k;
    }
    return table;
}

}  // namespace

extern constexpr std::array<std::int32_t, 1022> ecCoefficients = generatorCoefficients();

namespace {

// -a[j] mod 929 for every coefficient, so that the division step is a pure
// multiply-add.
constexpr std::array<std::uint32_t, 1022> negatedCoefficients() {
    std::array<std::uint32_t, 1022> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<std::uint32_t>((PRIME - ecCoefficients[i]) % PRIME);
    }
    return table;
}
constexpr auto NEGATED = negatedCoefficients();

}  // namespace

void appendErrorCorrection(CodewordList* list, int ecLevel) {
    const int k = 2 << ecLevel;
    const std::uint32_t* minusA = NEGATED.data() + (k - 2);
    const int n = list->count;

    // The remainder of the message polynomial divided by g(x), computed as an
    // LFSR with registers c[0..k-1]. Instead of shifting the registers by one
    // place for every codeword, the window c[j] = window[base + j] slides down
    // the buffer, and the registers are reduced modulo 929 only when read:
    // each one takes at most k additions below 929 * 929, which stays under
    // 2^32 for k up to 512.
    std::uint32_t window[MAX_CODEWORDS + 512];
    std::fill(window, window + n + k, 0u);
    int base = n;
    for (int i = 0; i < n; ++i) {
        const std::uint32_t t1 =
            (window[base + k - 1] + static_cast<std::uint32_t>(list->entries[i])) % PRIME;
        --base;  // the old c[k-1] leaves; the new c[0] starts at zero
        std::uint32_t* c = window + base;
        for (int j = 0; j < k; ++j) c[j] += minusA[j] * t1;
    }
    for (int j = k - 1; j >= 0; --j) {
        const std::uint32_t c = window[base + j] % PRIME;
        appendCodeword(list, static_cast<std::int32_t>(c != 0 ? PRIME - c : 0));
    }
}

}  // namespace barquill::encoder
