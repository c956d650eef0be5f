// SPDX-License-Identifier: MIT
#pragma once
// How much error correction data of a given size calls for: the level the
// encoder chooses by itself, and the least level the PDF417 standard
// recommends. One table serves both, so they cannot drift apart.

namespace barquill::encoder {

struct LevelStep {
    int maxDataCodewords;  // data codewords up to this many ...
    int level;             // ... get this level
};

// More data earns more error correction, so that a larger symbol survives
// proportionally as much damage. Up to level 5 these are the standard's
// recommended minimum; past 640 codewords the encoder adds margin of its own.
inline constexpr LevelStep AUTOMATIC_LEVELS[] = {
    {40, 2}, {160, 3}, {320, 4}, {640, 5}, {1280, 6},
};
inline constexpr int LEVEL_PAST_THE_TABLE = 7;

// The standard recommends no minimum above this level, whatever the size.
inline constexpr int HIGHEST_RECOMMENDED_MINIMUM = 5;

constexpr int automaticLevel(int dataCodewords) {
    for (const LevelStep& step : AUTOMATIC_LEVELS)
        if (dataCodewords <= step.maxDataCodewords) return step.level;
    return LEVEL_PAST_THE_TABLE;
}

constexpr int recommendedMinimumLevel(int dataCodewords) {
    const int level = automaticLevel(dataCodewords);
    return level < HIGHEST_RECOMMENDED_MINIMUM ? level : HIGHEST_RECOMMENDED_MINIMUM;
}

}  // namespace barquill::encoder
