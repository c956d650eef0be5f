// SPDX-License-Identifier: MIT
#pragma once
// The reader module behind verification: found, loaded once, and called
// through its C interface.

#include <string>
#include <vector>

#include "verify/reader_abi.h"
#include "verify/verify.h"

namespace barquill::verify {

struct ReaderModule {
    Availability availability;
    barquill_reader_read_function read = nullptr;
};

// Loads the module file at `path` (not cached; a loaded module stays
// loaded). The reason when it is missing, not loadable or of another version.
ReaderModule openReaderModule(const std::string& path);

// The places the module is looked for, in order: the environment's choice
// alone when it names one.
std::vector<std::string> readerCandidates();

// The module of this process: the first candidate that exists, loaded on
// the first call.
const ReaderModule& readerModule();

// An 8-bit grey raster, top row first.
struct GreyImage {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    // Dark at 127 and below, light above, instead of a threshold the reader
    // finds in the raster.
    bool midGreyThreshold = false;
};

enum class ReadStatus {
    Read,
    NotFound,
    Unavailable,  // the module cannot be loaded
    Failed,       // the reader itself failed
};

// Reads the one symbol in `image`; `pure` tells the reader that the raster
// holds one upright symbol and its quiet zone only.
ReadStatus readGrey(const GreyImage& image, bool pure, Reading* reading);

}  // namespace barquill::verify
