// SPDX-License-Identifier: MIT
// The vector module is loaded with the first PDF or EPS only, and a module
// that cannot be loaded is an error value, not a crash.
#include "print/vector_module.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "print/print.h"
#include "tests/print/print_fixtures.h"

namespace barquill::print {
namespace {

bool cairoMapped() {
    std::ifstream maps("/proc/self/maps");
    const std::string text((std::istreambuf_iterator<char>(maps)),
                           std::istreambuf_iterator<char>());
    return text.find("libcairo") != std::string::npos;
}

// Each case in a fresh process, in which nothing has loaded the module yet.
class VectorModuleFirstUse : public ::testing::Test {
protected:
    static void SetUpTestSuite() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    const Symbol symbol = testing::buildSymbol(testing::typicalText());
};

TEST_F(VectorModuleFirstUse, CairoIsLoadedWithTheFirstDocumentOnly) {
#ifndef BARQUILL_TEST_HAVE_VECTOR
    GTEST_SKIP() << "this build has no vector module";
#endif
    const raster::ModuleMatrix modules = testing::matrixOf(symbol);
    EXPECT_EXIT(
        {
            const bool before = cairoMapped();
            const Result<Bytes> pdf = vectorDocument(modules, VectorFormat::pdf, {});
            std::exit(!before && pdf.ok() && cairoMapped() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(VectorModuleFirstUse, AModuleThatCannotServeIsAnErrorValue) {
    // In a folder of its own: as root, a module directly in the
    // world-writable temporary folder is refused before it is loaded.
    std::string folder = ::testing::TempDir() + "barquill-vector-XXXXXX";
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const std::string notElf = folder + "/vector-text.so";
    std::ofstream(notElf) << "not a shared object\n";
    struct Case {
        std::string path;
        loader::ModuleState state;
    };
    const Case cases[] = {
        {::testing::TempDir() + "no-such-vector.so", loader::ModuleState::Missing},
        {notElf, loader::ModuleState::LoadFailed},
    };
    const raster::ModuleMatrix modules = testing::matrixOf(symbol);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EXIT(
            {
                setenv(VECTOR_ENVIRONMENT, c.path.c_str(), 1);
                const Result<Bytes> eps = vectorDocument(modules, VectorFormat::eps, {});
                const loader::Availability& module = vectorModule().availability;
                std::exit(!eps.ok() && eps.error().code == ErrorCode::vectorUnavailable &&
                                  eps.error().value == static_cast<double>(c.state) &&
                                  module.state == c.state && module.path == c.path && !cairoMapped()
                              ? 0
                              : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }
    std::remove(notElf.c_str());
    rmdir(folder.c_str());
}

}  // namespace
}  // namespace barquill::print
