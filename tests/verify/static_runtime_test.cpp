// SPDX-License-Identifier: MIT
// A program with its own copy of the C++ runtime, as the command line is
// linked, reads symbols back through the reader module: only C types cross
// between the two runtimes, and neither the reader nor the shared C++
// runtime is loaded before the first read-back.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "encoder/pdf417.h"
#include "verify/verify.h"

namespace barquill::verify {
namespace {

bool mapped(const std::string& library) {
    std::ifstream maps("/proc/self/maps");
    const std::string text((std::istreambuf_iterator<char>(maps)),
                           std::istreambuf_iterator<char>());
    return text.find(library) != std::string::npos;
}

TEST(StaticRuntime, ReadsBackThroughTheModule) {
    EXPECT_FALSE(mapped("libstdc++")) << "this program must carry its own C++ runtime";
    EXPECT_FALSE(mapped("libZXing"));

    const std::string data = "Static label 0042";
    auto job = std::make_unique<encoder::SymbolJob>();
    encoder::initSymbolJob(job.get());
    ASSERT_EQ(encoder::encodeSymbolBytes(
                  job.get(), reinterpret_cast<const unsigned char*>(data.data()), data.size()),
              encoder::STATUS_OK);
    const ModuleView modules{reinterpret_cast<const std::uint8_t*>(job->rowBits[0]),
                             encoder::ROW_CAPACITY, job->rows, job->width, '1'};
    const Outcome outcome = verifySymbol(modules, false, {data, NO_ECI, std::nullopt});
    EXPECT_EQ(outcome.mismatch, Mismatch::None);
    EXPECT_EQ(outcome.read.bytes, data);
    EXPECT_TRUE(mapped("libZXing"));
}

}  // namespace
}  // namespace barquill::verify
