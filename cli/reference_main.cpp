// SPDX-License-Identifier: MIT
// barquill-reference: writes the manual page or the bash completion, made
// from the tool's own options, at build time.
#include <cstdio>
#include <fstream>
#include <string>

#include "barquill/barquill.hpp"
#include "cli/reference_pages.h"

int main(int argc, char** argv) {
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind != "man" && kind != "completion") {
        std::fputs("usage: barquill-reference man|completion OUTPUT\n", stderr);
        return 1;
    }
    const barquill::cli::HelpPage page = barquill::cli::helpPage();
    const std::string text = kind == "man" ? barquill::cli::manPage(page, barquill::version())
                                           : barquill::cli::bashCompletion(page);
    std::ofstream out(argv[2], std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "barquill-reference: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
