// SPDX-License-Identifier: MIT
#include "loader/module_loader.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cstdlib>

namespace barquill::loader {

namespace {

using VersionFunction = int (*)();

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

}  // namespace

std::vector<std::string> candidates(const ModuleLocation& location) {
    if (location.environment)
        if (const char* named = std::getenv(location.environment); named && named[0] != '\0')
            return {named};
    std::vector<std::string> found;
    if (!location.fileName) return found;
    const std::string folder = ownFolder();
    const std::string name = location.fileName;
    if (!folder.empty()) {
        found.push_back(folder + "/" + name);
        // The library installed in the library folder, the program in the
        // program folder beside it.
        found.push_back(folder + "/barquill/" + name);
        if (location.libdirFromBindir)
            found.push_back(folder + "/" + location.libdirFromBindir + "/barquill/" + name);
    }
    if (location.installed) found.push_back(location.installed);
    if (location.buildTree) found.push_back(location.buildTree);
    return found;
}

Module open(const std::string& path, const Interface& interface) {
    Module module;
    Availability& availability = module.availability;
    availability.path = path;
    if (access(path.c_str(), F_OK) != 0) {
        availability.state = ModuleState::Missing;
        return module;
    }
    // A program linked fully statically has no dynamic loader (the kernel
    // names none), and loading a module that needs the C library crashes it.
    if (getauxval(AT_BASE) == 0) {
        availability.state = ModuleState::StaticProgram;
        return module;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        availability.state = ModuleState::LoadFailed;
        const char* reason = dlerror();
        availability.detail = reason ? reason : "";
        return module;
    }
    const auto version = reinterpret_cast<VersionFunction>(dlsym(handle, interface.versionSymbol));
    availability.version = version ? version() : 0;
    if (availability.version != interface.version) {
        availability.state = ModuleState::Incompatible;
        dlclose(handle);
        return module;
    }
    availability.state = ModuleState::Ready;
    module.handle = handle;
    return module;
}

Module openFirst(const ModuleLocation& location, const Interface& interface) {
    const std::vector<std::string> places = candidates(location);
    Module module;
    if (places.empty()) return module;  // NotBuilt
    for (const std::string& path : places)
        if (access(path.c_str(), F_OK) == 0) return open(path, interface);
    module.availability.state = ModuleState::Missing;
    module.availability.path = places.back();
    return module;
}

void* symbol(const Module& module, const char* name) {
    return module.handle ? dlsym(module.handle, name) : nullptr;
}

}  // namespace barquill::loader
