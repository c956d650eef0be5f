// SPDX-License-Identifier: MIT
// The reader module is found and loaded on first use only, says why it
// cannot be used when it cannot, and is not loaded as root from a place
// another user could change.
#include "verify/reader_module.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace barquill::verify {
namespace {

bool readerLibraryMapped() {
    std::ifstream maps("/proc/self/maps");
    const std::string text((std::istreambuf_iterator<char>(maps)),
                           std::istreambuf_iterator<char>());
    return text.find("libZXing") != std::string::npos;
}

// Each case in a fresh process, in which nothing has loaded the reader yet.
class FirstUse : public testing::Test {
protected:
    static void SetUpTestSuite() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(FirstUse, TheReaderIsLoadedOnlyWhenASymbolIsReadBack) {
    EXPECT_EXIT(
        {
            const bool before = readerLibraryMapped();
            const std::uint8_t white[64] = {};
            Reading reading;
            const ReadStatus status = readGrey({white, 8, 8, 8}, true, &reading);
            const bool after = readerLibraryMapped();
            std::exit(!before && status == ReadStatus::NotFound && after ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(FirstUse, TheEnvironmentNamesTheModule) {
    const std::string missing = testing::TempDir() + "no-such-reader.so";
    EXPECT_EXIT(
        {
            setenv(READER_ENVIRONMENT, missing.c_str(), 1);
            const Availability availability = available();
            Reading reading;
            const std::uint8_t white[64] = {};
            const bool refused =
                readGrey({white, 8, 8, 8}, true, &reading) == ReadStatus::Unavailable;
            std::exit(availability.state == ReaderState::Missing && availability.path == missing &&
                              refused && !readerLibraryMapped()
                          ? 0
                          : 1);
        },
        testing::ExitedWithCode(0), "");
}

// A folder of root's own beneath the temporary folder: as root, a module
// lying directly in the world-writable temporary folder is refused.
class PrivateFolder {
public:
    PrivateFolder() {
        std::string pattern = testing::TempDir() + "barquill-module-XXXXXX";
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~PrivateFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

TEST(ReaderModule, SaysWhyAFileCannotServe) {
    // In a folder only its owner can change, so that as root the loader's
    // own reason is reached, not the refusal.
    const PrivateFolder folder;
    const std::string notElf = folder / "reader-text.so";
    std::ofstream(notElf) << "not a shared object\n";
    struct Case {
        std::string path;
        ReaderState state;
        int version;
    };
    const Case cases[] = {
        {BARQUILL_TEST_READER, ReaderState::Ready, 1},
        {testing::TempDir() + "no-such-reader.so", ReaderState::Missing, 0},
        {notElf, ReaderState::LoadFailed, 0},
        {BARQUILL_TEST_NOT_A_READER, ReaderState::Incompatible, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const ReaderModule module = openReaderModule(c.path);
        EXPECT_EQ(module.availability.state, c.state);
        EXPECT_EQ(module.availability.path, c.path);
        EXPECT_EQ(module.availability.version, c.version);
        EXPECT_EQ(module.read != nullptr, c.state == ReaderState::Ready);
        EXPECT_EQ(module.availability.detail.empty(), c.state != ReaderState::LoadFailed);
    }
}

struct stat facts(uid_t owner, mode_t mode) {
    struct stat made {};
    made.st_uid = owner;
    made.st_gid = 100;
    made.st_mode = mode;
    return made;
}

// What root may load: only what nobody but root can change.
TEST(ModuleTrust, RootTrustsOnlyWhatOnlyRootCanChange) {
    using loader::PathRole;
    struct Case {
        uid_t owner;
        mode_t mode;
        PathRole role;
        const char* refusal;  // a part of the reason, or nullptr when trusted
    };
    const Case cases[] = {
        {0, S_IFREG | 0644, PathRole::File, nullptr},
        {0, S_IFREG | 0755, PathRole::File, nullptr},
        {1000, S_IFREG | 0644, PathRole::File, "owned by user 1000"},
        {0, S_IFREG | 0664, PathRole::File, "writable by group 100"},
        {0, S_IFREG | 0646, PathRole::File, "writable by every user"},
        {0, S_IFDIR | 0755, PathRole::Folder, nullptr},
        {1000, S_IFDIR | 0755, PathRole::Folder, "owned by user 1000"},
        {0, S_IFDIR | 0775, PathRole::Folder, "writable by group 100"},
        // Sticky or not, a new name can be made in the module's own folder.
        {0, S_IFDIR | 01777, PathRole::Folder, "writable by every user"},
        {0, S_IFDIR | 0777, PathRole::Above, "writable by every user"},
        {0, S_IFDIR | 0775, PathRole::Above, "writable by group 100"},
        // Above: as /tmp, nobody else can rename root's folder in it.
        {0, S_IFDIR | 01777, PathRole::Above, nullptr},
        {1000, S_IFDIR | 01777, PathRole::Above, "owned by user 1000"},
        {1000, S_IFDIR | 0755, PathRole::Above, "owned by user 1000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.owner << " " << std::oct << c.mode << " " << static_cast<int>(c.role));
        const std::string why = loader::untrusted(facts(c.owner, c.mode), c.role);
        if (c.refusal)
            EXPECT_NE(why.find(c.refusal), std::string::npos) << why;
        else
            EXPECT_EQ(why, "");
    }
}

// A real file each way it can be made changeable by another user, loaded
// as root; links are followed to the file they name.
TEST(ModuleTrust, RootRefusesAModuleAnotherUserCouldChange) {
    if (geteuid() != 0) GTEST_SKIP() << "the checks apply to root only";
    namespace fs = std::filesystem;
    const PrivateFolder folder;
    const fs::path open = folder / "open", owned = folder / "owned", link = folder / "link.so";
    fs::create_directory(open);
    fs::permissions(open, fs::perms::all);
    fs::create_directory(owned);
    fs::copy_file(BARQUILL_TEST_READER, open / "reader.so");
    fs::copy_file(BARQUILL_TEST_READER, owned / "reader.so");
    ASSERT_EQ(chown((owned / "reader.so").c_str(), 1000, 1000), 0);
    fs::create_symlink(open / "reader.so", link);
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {(open / "reader.so").string(), open.string() + " is writable by every user"},
        {link, open.string() + " is writable by every user"},
        {(owned / "reader.so").string(), "reader.so is owned by user 1000, not root"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const ReaderModule module = openReaderModule(c.path);
        EXPECT_EQ(module.availability.state, ReaderState::Refused);
        EXPECT_EQ(module.read, nullptr);
        EXPECT_NE(module.availability.detail.find(c.reason), std::string::npos)
            << module.availability.detail;
        EXPECT_NE(loader::reason(module.availability).find("as the program runs as root"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace barquill::verify
