// SPDX-License-Identifier: MIT
// Finding and loading the reader module. It is opened with dlopen on first
// use so that the reader and its libraries cost nothing to a program that
// never reads a symbol back, and so that a program linked statically
// against its C++ runtime can still use it.
#include "verify/reader_module.h"

#include <algorithm>

#include "loader/module_loader.h"

namespace barquill::verify {

namespace {

// A read holds at most 928 codewords' worth of data; the buffers grow if a
// reader ever reports more.
constexpr std::size_t BYTES_CAPACITY = 4096;
constexpr std::size_t FILE_ID_CAPACITY = 256;

constexpr loader::Interface READER_INTERFACE{BARQUILL_READER_VERSION_SYMBOL,
                                             BARQUILL_READER_VERSION};

ReaderModule readerOf(loader::Module module) {
    ReaderModule reader;
    reader.read = reinterpret_cast<barquill_reader_read_function>(
        loader::symbol(module, BARQUILL_READER_READ_SYMBOL));
    if (module.availability && !reader.read) module.availability.state = ReaderState::Incompatible;
    reader.availability = std::move(module.availability);
    return reader;
}

loader::ModuleLocation readerLocation() {
    loader::ModuleLocation location;
    location.environment = READER_ENVIRONMENT;
#ifdef BARQUILL_READER_FILE_NAME
    location.fileName = BARQUILL_READER_FILE_NAME;
    location.libdirFromBindir = BARQUILL_READER_LIBDIR_FROM_BINDIR;
    location.installed = BARQUILL_READER_INSTALLED;
    location.buildTree = BARQUILL_READER_BUILD_TREE;
#endif
    return location;
}

}  // namespace

std::vector<std::string> readerCandidates() {
    return loader::candidates(readerLocation());
}

ReaderModule openReaderModule(const std::string& path) {
    return readerOf(loader::open(path, READER_INTERFACE));
}

const ReaderModule& readerModule() {
    static const ReaderModule module =
        readerOf(loader::openFirst(readerLocation(), READER_INTERFACE));
    return module;
}

Availability available() {
    return readerModule().availability;
}

ReadStatus readGrey(const GreyImage& image, bool pure, Reading* reading) {
    const ReaderModule& module = readerModule();
    if (!module.read) return ReadStatus::Unavailable;
    const barquill_reader_image view{image.pixels, image.width,  image.height,
                                     image.stride, pure ? 1 : 0, image.midGreyThreshold ? 1 : 0};
    std::string fileId;
    std::size_t bytesCapacity = BYTES_CAPACITY, fileIdCapacity = FILE_ID_CAPACITY;
    for (;;) {
        reading->bytes.resize(bytesCapacity);
        fileId.resize(fileIdCapacity);
        barquill_reader_result result{};
        result.bytes = reinterpret_cast<unsigned char*>(reading->bytes.data());
        result.bytes_capacity = bytesCapacity;
        result.file_id = fileId.data();
        result.file_id_capacity = fileIdCapacity;
        switch (module.read(&view, &result)) {
            case BARQUILL_READER_READ:
                break;
            case BARQUILL_READER_NOT_FOUND:
                return ReadStatus::NotFound;
            case BARQUILL_READER_TOO_LONG:
                bytesCapacity = std::max(bytesCapacity, result.bytes_size);
                fileIdCapacity = std::max(fileIdCapacity, result.file_id_size);
                continue;
            default:
                return ReadStatus::Failed;
        }
        reading->bytes.resize(result.bytes_size);
        reading->eci = result.eci < 0 ? NO_ECI : result.eci;
        reading->macro.reset();
        if (result.segment_index >= 0) {
            fileId.resize(result.file_id_size);
            reading->macro = MacroFields{result.segment_index, result.segment_count, fileId};
        }
        return ReadStatus::Read;
    }
}

}  // namespace barquill::verify
