// SPDX-License-Identifier: MIT
#include "print/vector_module.h"

namespace barquill::print {

namespace {

loader::ModuleLocation vectorLocation() {
    loader::ModuleLocation location;
    location.environment = VECTOR_ENVIRONMENT;
#ifdef BARQUILL_VECTOR_FILE_NAME
    location.fileName = BARQUILL_VECTOR_FILE_NAME;
    location.libdirFromBindir = BARQUILL_VECTOR_LIBDIR_FROM_BINDIR;
    location.installed = BARQUILL_VECTOR_INSTALLED;
    location.buildTree = BARQUILL_VECTOR_BUILD_TREE;
#endif
    return location;
}

VectorModule load() {
    loader::Module module = loader::openFirst(
        vectorLocation(), {BARQUILL_VECTOR_VERSION_SYMBOL, BARQUILL_VECTOR_VERSION});
    VectorModule vector;
    vector.draw = reinterpret_cast<barquill_vector_draw_function>(
        loader::symbol(module, BARQUILL_VECTOR_DRAW_SYMBOL));
    if (module.availability && !vector.draw)
        module.availability.state = loader::ModuleState::Incompatible;
    vector.availability = std::move(module.availability);
    return vector;
}

}  // namespace

const VectorModule& vectorModule() {
    static const VectorModule module = load();
    return module;
}

}  // namespace barquill::print
