// SPDX-License-Identifier: MIT
#include "loader/module_loader.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace barquill::loader {

namespace {

using VersionFunction = int (*)();

// The file this code was linked into: the program itself, or the shared
// library that holds it.
std::string ownFile() {
    Dl_info info{};
    link_map* map = nullptr;
    static const int anchor = 0;
    if (dladdr1(&anchor, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) != 0 && map &&
        map->l_name && map->l_name[0] != '\0')
        return map->l_name;
    // The program's own name as the loader knows it may be relative or
    // bare; the kernel's is absolute.
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    return std::string(path, static_cast<std::size_t>(length));
}

std::string folderOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

std::string realPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// The build tree's modules are for the programs and tests built beside
// them. An installed copy of the same program must not load what a later
// build, or whoever takes over that folder, leaves there.
bool runningFromBuildTree() {
#ifdef BARQUILL_BUILD_ROOT
    const std::string root = realPath(BARQUILL_BUILD_ROOT);
    const std::string self = realPath(ownFile());
    return !root.empty() && self.size() > root.size() && self.compare(0, root.size(), root) == 0 &&
           self[root.size()] == '/';
#else
    return false;
#endif
}

// Running as root: the reason another user could change what `path` loads,
// or empty. The file with its links resolved, then each folder up to /.
std::string refusalAsRoot(const std::string& path) {
    const std::string real = realPath(path);
    if (real.empty()) return {};  // gone meanwhile: the loader will say so
    std::string current = real;
    PathRole role = PathRole::File;
    for (;;) {
        struct stat facts {};
        if (stat(current.c_str(), &facts) != 0) return current + " cannot be examined";
        if (std::string why = untrusted(facts, role); !why.empty())
            return (role == PathRole::File ? real : real + "'s folder " + current) + " " + why;
        if (current == "/") return {};
        current = folderOf(current);
        role = role == PathRole::File ? PathRole::Folder : PathRole::Above;
    }
}

}  // namespace

std::string untrusted(const struct stat& facts, PathRole role) {
    const bool stickyRoot =
        role == PathRole::Above && (facts.st_mode & S_ISVTX) && facts.st_uid == 0;
    if (facts.st_uid != 0) return "is owned by user " + std::to_string(facts.st_uid) + ", not root";
    if ((facts.st_mode & S_IWOTH) && !stickyRoot) return "is writable by every user";
    if ((facts.st_mode & S_IWGRP) && !stickyRoot)
        return "is writable by group " + std::to_string(facts.st_gid);
    return {};
}

std::string reason(const Availability& availability) {
    switch (availability.state) {
        case ModuleState::Missing:
            return "is missing";
        case ModuleState::LoadFailed:
            return "cannot be loaded: " + availability.detail;
        case ModuleState::Incompatible:
            return availability.version == 0
                       ? std::string("is no module of this program")
                       : "is a module of interface version " +
                             std::to_string(availability.version) + ", not this program's";
        case ModuleState::StaticProgram:
            return "cannot be loaded by a program linked without the dynamic loader";
        case ModuleState::Refused:
            return "is refused, as the program runs as root and " + availability.detail;
        default:
            return {};
    }
}

std::vector<std::string> candidates(const ModuleLocation& location) {
    // In secure mode the environment is the unprivileged caller's.
    if (location.environment)
        if (const char* named = secure_getenv(location.environment); named && named[0] != '\0')
            return {named};
    std::vector<std::string> found;
    if (!location.fileName) return found;
    const std::string self = ownFile();
    const std::string folder = self.empty() ? std::string() : folderOf(self);
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
    if (location.buildTree && runningFromBuildTree()) found.push_back(location.buildTree);
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
    // Root runs the code of whoever could change the file or a folder above it.
    if (geteuid() == 0)
        if (std::string why = refusalAsRoot(path); !why.empty()) {
            availability.state = ModuleState::Refused;
            availability.detail = std::move(why);
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
