// SPDX-License-Identifier: MIT
// The encoder with random data and every option, out-of-range values
// included: no crash, every built symbol within the standard's limits, and
// a sample of them read back by the independent reader as the exact data.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "encoder/pdf417.h"
#include "encoder/symbol_options.h"
#include "verify/verify.h"

namespace {

using namespace barquill;

// Reading back costs a hundred encodes; one symbol in this many is read.
constexpr unsigned kReadBackEvery = 16;

void readBack(const encoder::SymbolJob& job, const std::string& data,
              const encoder::SymbolOptions& options) {
    constexpr int kQuiet = 4, kModule = 2, kRow = 4;
    const int width = 2 * kQuiet + job.width * kModule, height = 2 * kQuiet + job.rows * kRow;
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(width) * height, 255);
    for (int row = 0; row < job.rows; ++row)
        for (int module = 0; module < job.width; ++module)
            if (job.rowBits[row][module] == '1')
                for (int y = 0; y < kRow; ++y)
                    for (int x = 0; x < kModule; ++x)
                        grey[static_cast<std::size_t>(kQuiet + row * kRow + y) * width + kQuiet +
                             module * kModule + x] = 0;
    verify::Expected expected{data, options.eci, std::nullopt};
    if (options.macro)
        expected.macro = verify::macroFields(options.macro->segmentIndex,
                                             options.macro->segmentCount, options.macro->fileId);
    const verify::Outcome outcome = verify::verifyGrey(grey.data(), width, height, width, expected);
    if (!outcome.ok()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider input(bytes, size);
    auto job = std::make_unique<encoder::SymbolJob>();
    encoder::initSymbolJob(job.get());
    job->variant = input.ConsumeBool() ? encoder::SYMBOL_COMPACT
                                       : input.PickValueInArray({encoder::SYMBOL_FULL, 0, 57});
    job->ecLevel = input.ConsumeIntegralInRange<std::int32_t>(-3, 11);
    job->columns = input.ConsumeIntegralInRange<std::int32_t>(-2, 33);
    const bool readIt = input.ConsumeIntegral<std::uint8_t>() % kReadBackEvery == 0;
    // Shape, ECI and Macro options, out-of-range values included.
    encoder::SymbolOptions options;
    const std::uint8_t which = input.ConsumeIntegral<std::uint8_t>();
    if (which & 1) options.rows = input.ConsumeIntegralInRange(-2, 93);
    if (which & 2) options.aspect = input.ConsumeFloatingPointInRange(-1.0, 40.0);
    if (which & 4) {
        options.moduleWidth = input.ConsumeIntegralInRange(-1, 70);
        options.rowHeight = input.ConsumeIntegralInRange(-1, 300);
    }
    options.fillLevel = (which & 8) != 0;
    if (which & 16) options.eci = input.ConsumeIntegralInRange(-2, 811801);
    if (which & 32) {
        encoder::MacroControl macro;
        macro.segmentIndex = input.ConsumeIntegralInRange(-1, 100000);
        for (int n = input.ConsumeIntegralInRange(0, 32); n > 0; --n)
            macro.fileId.push_back(input.ConsumeIntegralInRange(-1, 901));
        macro.lastSegment = input.ConsumeBool();
        if (input.ConsumeBool()) macro.segmentCount = input.ConsumeIntegralInRange(-1, 100000);
        if (input.ConsumeBool()) macro.fileName = input.ConsumeRandomLengthString(120);
        if (input.ConsumeBool()) macro.timeStamp = input.ConsumeIntegral<std::int64_t>();
        if (input.ConsumeBool()) macro.sender = input.ConsumeRandomLengthString(120);
        if (input.ConsumeBool()) macro.fileSize = input.ConsumeIntegral<std::int64_t>();
        if (input.ConsumeBool()) macro.checksum = input.ConsumeIntegral<std::uint16_t>();
        options.macro = macro;
    }
    const std::string data = input.ConsumeRemainingBytesAsString();

    encoder::SymbolReport report;
    const int status =
        encoder::encodeSymbolBytes(job.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                   data.size(), options, &report);
    if (status == encoder::STATUS_ERROR) {
        if (job->message[0] == '\0') std::abort();  // a refusal always says why
        return 0;
    }
    if (status != encoder::STATUS_OK && status != encoder::STATUS_WARNING) std::abort();
    if (data.empty()) return 0;
    if (job->rows < encoder::MIN_ROWS || job->rows > encoder::MAX_ROWS) std::abort();
    if (job->columns < 1 || job->columns > encoder::MAX_COLUMNS) std::abort();
    if (job->width < 1 || job->width >= encoder::ROW_CAPACITY) std::abort();
    for (int row = 0; row < job->rows; ++row)
        for (int module = 0; module < job->width; ++module)
            if (job->rowBits[row][module] != '0' && job->rowBits[row][module] != '1') std::abort();
    if (options.rows >= encoder::MIN_ROWS && job->rows != options.rows) std::abort();
    if (readIt) readBack(*job, data, options);
    return 0;
}
