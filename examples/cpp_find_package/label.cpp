// SPDX-License-Identifier: MIT
// One PDF417 label as a PNG file, through the C++ interface:
//   label OUTPUT.png TEXT
#include <barquill/barquill.hpp>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: label OUTPUT.png TEXT\n";
        return 1;
    }
    const auto symbol = barquill::encode(argv[2]);
    if (!symbol) {
        std::cerr << "cannot encode: " << symbol.error().message << '\n';
        return 2;
    }
    const auto png = barquill::toPng(*symbol, {.moduleWidth = 3, .rowHeight = 9, .dpi = 300});
    if (!png) {
        std::cerr << "cannot draw: " << png.error().message << '\n';
        return 2;
    }
    std::ofstream file(argv[1], std::ios::binary);
    file.write(reinterpret_cast<const char*>(png->data()),
               static_cast<std::streamsize>(png->size()));
    if (!file.flush()) {
        std::cerr << "cannot write " << argv[1] << '\n';
        return 3;
    }
    std::cout << symbol->rows() << " rows, " << symbol->columns() << " columns, level "
              << symbol->level() << ", barquill " << barquill::version() << '\n';
    return 0;
}
