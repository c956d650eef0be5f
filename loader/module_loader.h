// SPDX-License-Identifier: MIT
#pragma once
// Modules opened with dlopen on first use: where they are looked for, and
// why one cannot serve. Only C types cross a module's interface, so that a
// program with its own copy of the C++ runtime can use a module linked
// against the system's.

#include <string>
#include <vector>

namespace barquill::loader {

enum class ModuleState {
    Ready,
    NotBuilt,       // this build made no such module and none was named
    Missing,        // no module file where it was looked for; `path` is the last place tried
    LoadFailed,     // the file is there but cannot be loaded; `detail` is the loader's reason
    Incompatible,   // the file is no module of this version; `version` is what it said
    StaticProgram,  // the program is linked without the dynamic loader, which modules need
};

struct Availability {
    ModuleState state = ModuleState::NotBuilt;
    std::string path;    // the module file (found or last tried)
    std::string detail;  // LoadFailed: the dynamic loader's own text
    int version = 0;     // Incompatible: the module's interface version, 0 if none
    explicit operator bool() const { return state == ModuleState::Ready; }
};

// Where one module is looked for. The environment variable, when set and
// not empty, names the file alone. Otherwise, when the build made the
// module (fileName set): next to the program or library holding this code,
// in its barquill/ folder, in the installed library folder reached from a
// program folder (libdirFromBindir), at the installed path, and in the
// build tree.
struct ModuleLocation {
    const char* environment = nullptr;
    const char* fileName = nullptr;
    const char* libdirFromBindir = nullptr;
    const char* installed = nullptr;
    const char* buildTree = nullptr;
};

std::vector<std::string> candidates(const ModuleLocation& location);

// An interface version and the symbol a module gives it by.
struct Interface {
    const char* versionSymbol = nullptr;
    int version = 0;
};

struct Module {
    Availability availability;
    void* handle = nullptr;  // set when ready; a loaded module stays loaded
};

// Loads the module file at `path` and checks its interface version.
Module open(const std::string& path, const Interface& interface);

// The first candidate that exists, loaded.
Module openFirst(const ModuleLocation& location, const Interface& interface);

// A function of a ready module, or nullptr.
void* symbol(const Module& module, const char* name);

}  // namespace barquill::loader
