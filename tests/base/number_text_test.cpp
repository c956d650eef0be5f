// SPDX-License-Identifier: MIT
#include "base/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace barquill {
namespace {

TEST(NumberText, ShowsAtMostTwoDecimalsWithoutTrailingZeros) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.5079999999999999, "0.51"},  // 6 dots at 300 dpi, in mm
        {1.4999999999999998, "1.5"},
        {3, "3"},
        {2.96, "2.96"},
        {0.25, "0.25"},
        {0.125, "0.12"},  // a tie goes to the even digit
        {0.1, "0.1"},
        {100, "100"},
        {10.004, "10"},
        {0.004, "0"},
        {-0.004, "0"},
        {-1.25, "-1.25"},
        {1e20, "100000000000000000000"},
        {1e300, "1e+300"},
    };
    for (const auto& c : cases) EXPECT_EQ(numberText(c.value), c.text) << c.value;
    EXPECT_EQ(numberText(0.16949, 4), "0.1695");
}

TEST(NumberText, KeepsAValueApartFromTheLimitItMissed) {
    const struct {
        double value, limit;
        const char* text;
    } cases[] = {
        {0.5079999999999999, 0.38, "0.51"},
        {0.1695, 0.17, "0.1695"},
        {0.16999, 0.17, "0.16999"},
        {0.1699999999, 0.17, "0.17"},  // beyond six decimals nobody can act on it
        {2.9999, 3, "2.9999"},
        {3, 3, "3"},
    };
    for (const auto& c : cases) EXPECT_EQ(numberTextBeside(c.value, c.limit), c.text) << c.value;
}

TEST(NumberText, IgnoresTheLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale";
    EXPECT_EQ(numberText(1.5), "1.5");
    std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace barquill
