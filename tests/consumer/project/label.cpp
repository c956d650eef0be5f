// SPDX-License-Identifier: MIT
// What an embedded library does: a PNG always, a PDF when cairo was found,
// and no read-back, since zxing-cpp is not looked for.
#include <barquill/barquill.hpp>
#include <cstdio>

int main() {
    const auto symbol = barquill::encode("EMBEDDED 42");
    if (!symbol) return 1;
    const auto png = barquill::toPng(*symbol);
    if (!png) return 1;
    const auto pdf = barquill::render(*symbol, barquill::Format::pdf);
    std::printf("png %zu\n", png->size());
    if (pdf)
        std::printf("pdf %zu\n", pdf->size());
    else
        std::printf("pdf refused %d\n", static_cast<int>(pdf.error().code));
    std::printf("verify %s\n", barquill::canVerify() ? "yes" : "no");
    return 0;
}
