// ReplaceFile where a careless replacement would lose data or hand out
// rights: paths that name an open descriptor, another user's file, special
// mode bits, read-only files, and a write the file size limit cuts short.
#include "image/replace_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>

#include "replace_fixtures.h"

using namespace barquill::image;
using namespace replace_test;

namespace {

// With SIGXFSZ ignored, as the command line does, the file size limit makes
// the system refuse the write (EFBIG). That is a Write failure, also when
// the write function ignores the stream's failure or the failure comes only
// with the final flush; only a write function that notices it itself
// reports Content, with the same errno. Nothing is left behind either way.
TEST(ReplaceFile, TheFileSizeLimitFailsTheWriteWithEfbigAndLeavesNothing) {
    const std::string big(100000, 'b');
    struct Case {
        const char* writer;
        std::function<bool(std::FILE*)> write;
        ReplaceFailure failure;
    };
    const Case cases[] = {
        {"ignoring fwrite's count",
         [&](std::FILE* stream) {
             std::fwrite(big.data(), 1, big.size(), stream);
             return true;
         },
         ReplaceFailure::Write},
        {"failing at the final flush", writing(std::string(200, 's')), ReplaceFailure::Write},
        {"noticing the short fwrite", writing(big), ReplaceFailure::Content},
        {"writing after the failure",
         [&](std::FILE* stream) {
             std::fwrite(big.data(), 1, big.size(), stream);
             std::fputs("more", stream);
             return std::fflush(stream) == 0;
         },
         ReplaceFailure::Content},
    };
    ScratchFolder scratch;
    const std::string existing = scratch.path("label.png");
    writeText(existing, "the earlier label");
    for (const Case& c : cases) {
        for (const char* name : {"label.png", "fresh.png"}) {
            SCOPED_TRACE(std::string(c.writer) + ", " + name);
            const Outcome outcome = inChild([&] {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{};
                getrlimit(RLIMIT_FSIZE, &limit);
                limit.rlim_cur = 64;
                if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return Outcome{ReplaceFailure::None, -2};
                errno = 0;
                const ReplaceFailure failure =
                    ReplaceFile(scratch.path(name).c_str(), c.write, ReplaceOptions{});
                return Outcome{failure, errno};
            });
            EXPECT_EQ(outcome, (Outcome{c.failure, EFBIG}));
            EXPECT_EQ(readText(existing), "the earlier label");
            EXPECT_EQ(scratch.names(), std::set<std::string>{"label.png"});
        }
    }
}

}  // namespace
