// SPDX-License-Identifier: MIT
#include <barquill/barquill.hpp>
#include <cstdio>

int main() {
    const auto symbol = barquill::encode("EMBEDDED 42");
    const auto png =
        symbol ? barquill::toPng(*symbol) : barquill::Result<barquill::Bytes>(symbol.error());
    if (!png) return 1;
    std::printf("%zu\n", png->size());
    return 0;
}
