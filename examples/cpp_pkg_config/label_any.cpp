// SPDX-License-Identifier: MIT
// A PDF417 label in the format its file name asks for (.png, .gif, .svg,
// else BMP), through the C++ interface; built with pkg-config:
//   c++ -std=c++20 label_any.cpp $(pkg-config --cflags --libs barquill)
//   label_any OUTPUT TEXT [LEVEL]
#include <barquill/barquill.hpp>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: label_any OUTPUT TEXT [LEVEL]\n");
        return 1;
    }
    barquill::Options options;
    if (argc == 4) options.level = std::atoi(argv[3]);
    const auto symbol = barquill::encode(argv[2], options);
    if (!symbol) {
        const barquill::Error& e = symbol.error();
        // The code and the field tell the program what went wrong; the
        // message is for the person.
        std::fprintf(stderr, "error %d (%s): %s\n", static_cast<int>(e.code), e.field.c_str(),
                     e.message.c_str());
        return 2;
    }
    const auto file = barquill::render(*symbol, barquill::formatFromName(argv[1]));
    if (!file) {
        std::fprintf(stderr, "%s\n", file.error().message.c_str());
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || std::fwrite(file->data(), 1, file->size(), out) != file->size() ||
        std::fclose(out) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 3;
    }
    return 0;
}
