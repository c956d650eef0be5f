// SPDX-License-Identifier: MIT
// Several threads encoding at once: each build sees only its own job. Runs
// again under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/encoder/encoder_test_support.h"

using namespace encoder_test;

namespace {

// The command-line tool encodes on several threads; no build may see another's
// runs or codewords.
TEST(SymbolJob, ThreadsEncodeIndependently) {
    std::vector<std::string> inputs;
    std::mt19937 random(4);
    for (int i = 0; i < 12; ++i) {
        std::string data(static_cast<std::size_t>(20 + 60 * i), '\0');
        for (char& c : data) c = "aZ7 ;\x01\xe9"[random() % 7];
        inputs.push_back(data);
    }
    std::vector<std::vector<std::string>> expected;
    for (const std::string& data : inputs) {
        auto job = makeJob();
        ASSERT_EQ(encode(job.get(), data), STATUS_OK);
        expected.push_back(rowsOf(*job));
    }
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 30; ++round) {
                for (std::size_t i = 0; i < inputs.size(); ++i) {
                    const std::size_t pick =
                        (i * 5 + static_cast<std::size_t>(t + round)) % inputs.size();
                    auto job = makeJob();
                    if (encode(job.get(), inputs[pick]) != STATUS_OK ||
                        rowsOf(*job) != expected[pick]) {
                        ++mismatches;
                    }
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
