// SPDX-License-Identifier: MIT
#pragma once
// Symbols for the print tests, built through the public interface.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "barquill/barquill.hpp"
#include "print/print_error.h"
#include "raster/symbol_picture.h"

namespace barquill::print::testing {

// A typical label's 40 characters, at level 2.
inline const std::string& typicalText() {
    static const std::string text = "SHIP TO DOCK 7 / LOT 2024-118 / QTY 0042";
    return text;
}

inline Symbol buildSymbol(const std::string& text, int level = 2) {
    barquill::Result<Symbol> symbol = encode(text, {.level = level});
    EXPECT_TRUE(symbol.ok()) << symbol.error().message;
    return std::move(symbol).value();
}

inline raster::ModuleMatrix matrixOf(const Symbol& symbol) {
    return {symbol.modules().data(), static_cast<std::size_t>(symbol.width()), symbol.rows(),
            symbol.width(), 1};
}

// A hand-drawn symbol from rows of '1' (bar) and '0', all of one length.
class DrawnModules {
public:
    explicit DrawnModules(const std::vector<std::string>& rows)
        : rows_(static_cast<int>(rows.size())), width_(static_cast<int>(rows.front().size())) {
        for (const std::string& row : rows) cells_ += row;
    }

    raster::ModuleMatrix matrix() const {
        return {reinterpret_cast<const std::uint8_t*>(cells_.data()),
                static_cast<std::size_t>(width_), rows_, width_, '1'};
    }

private:
    std::string cells_;
    int rows_;
    int width_;
};

// What a refused document's error should say.
struct Refusal {
    ErrorCode code = ErrorCode::ok;
    Setting setting = Setting::none;
    double value = 0;
};

template <class T>
void expectRefusal(const Result<T>& result, const Refusal& expected, const char* name) {
    ASSERT_FALSE(result.ok()) << name;
    EXPECT_EQ(result.error().code, expected.code) << name;
    EXPECT_EQ(result.error().setting, expected.setting) << name;
    EXPECT_EQ(result.error().value, expected.value) << name;
}

inline std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

}  // namespace barquill::print::testing
