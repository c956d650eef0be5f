// SPDX-License-Identifier: MIT
// Peak memory of reading the largest symbol back, in a process of its own
// since the high-water mark only rises: `old` reads the whole picture
// (turned grey first), `new` samples the picture back and reads the matrix.
// Usage: verify_peak_memory old|new [module width] [row height]
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/verify/symbols.h"

namespace {

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace barquill;
    if (argc < 2 || (std::strcmp(argv[1], "old") != 0 && std::strcmp(argv[1], "new") != 0)) {
        std::fprintf(stderr, "usage: %s old|new [module width] [row height]\n", argv[0]);
        return 2;
    }
    const bool old = std::strcmp(argv[1], "old") == 0;
    const verify::Layout layout{argc > 2 ? std::atoi(argv[2]) : 2,
                                argc > 3 ? std::atoi(argv[3]) : 4, 10};
    const bench::DrawnSymbol symbol(bench::benchText(bench::LARGEST), layout);
    // Loading the reader is part of either path; load it before the mark.
    if (!verify::available()) {
        std::fprintf(stderr, "no reader module\n");
        return 1;
    }
    const long before = peakKilobytes();
    verify::Outcome outcome;
    if (old) {
        const std::vector<std::uint8_t> grey = symbol.greyPixels();
        outcome = verify::verifyGrey(grey.data(), static_cast<int>(symbol.view().width),
                                     static_cast<int>(symbol.view().height),
                                     static_cast<int>(symbol.view().width), symbol.expected());
    } else {
        outcome = verify::verifyPicture(symbol.view(), symbol.modules(), symbol.layout(), false,
                                        symbol.expected());
    }
    const long after = peakKilobytes();
    std::printf("%s read-back, picture %ld x %ld: %s; peak %ld kB, of which the read-back %ld kB\n",
                argv[1], symbol.view().width, symbol.view().height, outcome.ok() ? "ok" : "FAILED",
                after, after - before);
    return outcome.ok() ? 0 : 1;
}
