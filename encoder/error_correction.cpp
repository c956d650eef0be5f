// Reed-Solomon error correction over GF(929), as PDF417 prescribes.

#include <array>

#include "encoder/encoding_steps.h"

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
        for (int j = 0; j < k; ++j) table[offset + j] = poly[j];
        offset += k;
    }
    return table;
}

}  // namespace

extern constexpr std::array<std::int32_t, 1022> ecCoefficients = generatorCoefficients();

void appendErrorCorrection(CodewordList* list, int ecLevel) {
    const int k = 2 << ecLevel;
    const std::int32_t* a = ecCoefficients.data() + (k - 2);
    // The remainder of the message polynomial divided by g(x), kept in an
    // LFSR; c[k-1] is the highest power.
    std::int32_t c[512] = {};
    for (int i = 0; i < list->count; ++i) {
        const std::int32_t t1 = (c[k - 1] + list->entries[i]) % PRIME;
        for (int j = k - 1; j >= 1; --j) {
            c[j] = (c[j - 1] + PRIME - a[j] * t1 % PRIME) % PRIME;
        }
        c[0] = (PRIME - a[0] * t1 % PRIME) % PRIME;
    }
    for (int j = k - 1; j >= 0; --j) {
        appendCodeword(list, c[j] != 0 ? PRIME - c[j] : 0);
    }
}
