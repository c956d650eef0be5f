// SPDX-License-Identifier: MIT
#include "verify/codeword_reading.h"

#include <algorithm>
#include <array>

#include "encoder/encoding_steps.h"

namespace barquill::verify {

namespace {

constexpr std::size_t VALUES = 929;
constexpr int VALUE_BITS = 10;

// Each cluster's patterns sorted, the value in the low bits beside the
// pattern, for a binary search: 11 kB instead of a 2^17-entry table.
using SortedCluster = std::array<std::uint32_t, VALUES>;

std::array<SortedCluster, 3> sortedClusters() {
    std::array<SortedCluster, 3> clusters{};
    for (std::size_t block = 0; block < 3; ++block) {
        for (std::size_t value = 0; value < VALUES; ++value)
            clusters[block][value] = encoder::codewordPatterns[block * VALUES + value]
                                         << VALUE_BITS |
                                     static_cast<std::uint32_t>(value);
        std::sort(clusters[block].begin(), clusters[block].end());
    }
    return clusters;
}

}  // namespace

int codewordValue(std::uint32_t pattern, int block) {
    static const std::array<SortedCluster, 3> clusters = sortedClusters();
    const SortedCluster& cluster = clusters[static_cast<std::size_t>(block)];
    const std::uint32_t key = pattern << VALUE_BITS;
    const auto found = std::lower_bound(cluster.begin(), cluster.end(), key);
    if (found == cluster.end() || (*found >> VALUE_BITS) != pattern) return -1;
    return static_cast<int>(*found & ((1u << VALUE_BITS) - 1));
}

}  // namespace barquill::verify
