// SPDX-License-Identifier: MIT
#pragma once
// Modules opened with dlopen on first use: where they are looked for, and
// why one cannot serve. Only C types cross a module's interface, so that a
// program with its own copy of the C++ runtime can use a module linked
// against the system's.

#include <sys/stat.h>

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
    Refused,        // running as root, the file is one another user could change; `detail` says how
};

struct Availability {
    ModuleState state = ModuleState::NotBuilt;
    std::string path;    // the module file (found or last tried)
    std::string detail;  // LoadFailed: the dynamic loader's own text; Refused: the reason
    int version = 0;     // Incompatible: the module's interface version, 0 if none
    explicit operator bool() const { return state == ModuleState::Ready; }
};

// Why the module cannot serve, as words to follow its path: "is missing",
// "cannot be loaded: " and the loader's text, the interface it reports, the
// refusal as root. Empty when it is ready or the build made none.
std::string reason(const Availability& availability);

// Where one module is looked for. The environment variable, when set and
// not empty, names the file alone; it is ignored in a set-user-ID,
// set-group-ID or capability-raised program (secure mode), whose
// environment is its caller's. Otherwise, when the build made the module
// (fileName set): next to the program or library holding this code, in its
// barquill/ folder, in the installed library folder reached from a program
// folder (libdirFromBindir), at the installed path, and in the build tree,
// the last only while the code running lives in the build tree itself: an
// installed program never looks there.
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

// How a file or folder on a module's path lets another user change what is
// loaded: the module file, its own folder, or a folder above it.
enum class PathRole { File, Folder, Above };

// Why a process running as root must not trust a path with these facts:
// empty when only root can change it. Another owner than root, or a group
// or other write bit, is refused; a folder above may be writable by all
// when it is root's and sticky (as /tmp), since then nobody else can
// rename what lies in it.
std::string untrusted(const struct stat& facts, PathRole role);

// Loads the module file at `path` and checks its interface version. Running
// as root, the file (symbolic links resolved) and every folder up to / must
// pass untrusted() first.
Module open(const std::string& path, const Interface& interface);

// The first candidate that exists, loaded.
Module openFirst(const ModuleLocation& location, const Interface& interface);

// A function of a ready module, or nullptr.
void* symbol(const Module& module, const char* name);

}  // namespace barquill::loader
