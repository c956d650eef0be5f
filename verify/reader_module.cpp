// Finding and loading the reader module. It is opened with dlopen on first
// use so that the reader and its libraries cost nothing to a program that
// never reads a symbol back, and so that a program linked statically
// against its C++ runtime can still use it.
#include "verify/reader_module.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace barquill::verify {

namespace {

// A read holds at most 928 codewords' worth of data; the buffers grow if a
// reader ever reports more.
constexpr std::size_t BYTES_CAPACITY = 4096;
constexpr std::size_t FILE_ID_CAPACITY = 256;

// The folder of the file this code was linked into: the program itself, or
// the shared library that holds it.
std::string ownFolder() {
    Dl_info info{};
    link_map* map = nullptr;
    static const int anchor = 0;
    std::string file;
    if (dladdr1(&anchor, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) != 0 && map &&
        map->l_name && map->l_name[0] != '\0') {
        file = map->l_name;
    } else {
        // The program's own name as the loader knows it may be relative or
        // bare; the kernel's is absolute.
        char path[4096];
        const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
        if (length <= 0) return {};
        file.assign(path, static_cast<std::size_t>(length));
    }
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

ReaderModule loadFirstCandidate() {
    const std::vector<std::string> candidates = readerCandidates();
    ReaderModule module;
    if (candidates.empty()) return module;  // NotBuilt
    for (const std::string& path : candidates) {
        if (access(path.c_str(), F_OK) == 0) return openReaderModule(path);
    }
    module.availability.state = ReaderState::Missing;
    module.availability.path = candidates.back();
    return module;
}

}  // namespace

std::vector<std::string> readerCandidates() {
    if (const char* named = std::getenv(READER_ENVIRONMENT); named && named[0] != '\0')
        return {named};
    std::vector<std::string> candidates;
#ifdef BARQUILL_READER_FILE_NAME
    const std::string folder = ownFolder();
    const std::string name = BARQUILL_READER_FILE_NAME;
    if (!folder.empty()) {
        candidates.push_back(folder + "/" + name);
        // The library installed in the library folder, the program in the
        // program folder beside it.
        candidates.push_back(folder + "/barquill/" + name);
        candidates.push_back(folder + "/" BARQUILL_READER_LIBDIR_FROM_BINDIR "/barquill/" + name);
    }
    candidates.push_back(BARQUILL_READER_INSTALLED);
    candidates.push_back(BARQUILL_READER_BUILD_TREE);
#endif
    return candidates;
}

ReaderModule openReaderModule(const std::string& path) {
    ReaderModule module;
    Availability& availability = module.availability;
    availability.path = path;
    if (access(path.c_str(), F_OK) != 0) {
        availability.state = ReaderState::Missing;
        return module;
    }
    // A program linked fully statically has no dynamic loader (the kernel
    // names none), and loading a module that needs the C library crashes it.
    if (getauxval(AT_BASE) == 0) {
        availability.state = ReaderState::StaticProgram;
        return module;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        availability.state = ReaderState::LoadFailed;
        const char* reason = dlerror();
        availability.detail = reason ? reason : "";
        return module;
    }
    const auto version = reinterpret_cast<barquill_reader_version_function>(
        dlsym(handle, BARQUILL_READER_VERSION_SYMBOL));
    const auto read =
        reinterpret_cast<barquill_reader_read_function>(dlsym(handle, BARQUILL_READER_READ_SYMBOL));
    availability.version = version ? version() : 0;
    if (availability.version != BARQUILL_READER_VERSION || !read) {
        availability.state = ReaderState::Incompatible;
        dlclose(handle);
        return module;
    }
    availability.state = ReaderState::Ready;
    module.read = read;
    return module;
}

const ReaderModule& readerModule() {
    static const ReaderModule module = loadFirstCandidate();
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
