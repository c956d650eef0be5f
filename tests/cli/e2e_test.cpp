// SPDX-License-Identifier: MIT
// The built tool, run as scripts run it: every output format decodes to the
// exact input bytes, every exit status comes with its message, and failures
// leave existing files alone.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <thread>

#include "tests/cli/command_line_fixture.h"

namespace barquill::testing {
namespace {

using namespace std::string_literals;

std::string allByteValuesAndANewline() {
    std::string bytes(256, '\0');
    std::iota(bytes.begin(), bytes.end(), '\0');
    return bytes + "\n";
}

TEST_F(CommandLine, EveryFormatIsOneBitDeepAndDecodesToTheExactText) {
    for (const char* name : {"hello.png", "hello.gif", "hello.bmp", "hello.svg", "HELLO.PNG"}) {
        SCOPED_TRACE(name);
        const ProcessResult result = run({"-o", name, "Hello, World!"});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(result.err, "");
        std::string lower = name;
        for (char& c : lower) c = static_cast<char>(std::tolower(c));
        if (lower != name) std::filesystem::rename(path(name), path(lower));
        const std::optional<DecodedImage> image = decode(lower);
        ASSERT_TRUE(image);
        EXPECT_EQ(read(*image), toBytes("Hello, World!"));
        if (!lower.ends_with(".svg")) {
            EXPECT_TRUE(image->paletted);
            EXPECT_EQ(image->paletteSize, 2);
        }
        if (lower.ends_with(".png") || lower.ends_with(".bmp")) {
            EXPECT_EQ(image->bitsPerPixel, 1);
        }
    }
    EXPECT_EQ(file("hello.svg").find("<svg "), 39u);
}

TEST_F(CommandLine, DataFromStandardInputOrAFileIsTakenByteForByte) {
    const std::string data = allByteValuesAndANewline();
    write("data.bin", data);
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string expected;
    };
    const Case cases[] = {
        {{"-o", "out.png"}, data, data},
        {{"-o", "out.png", "-i", "data.bin"}, "", data},
        {{"-o", "out.png", "--strip-newline"}, data, data.substr(0, data.size() - 1)},
        {{"-o", "out.png", "--strip-newline"}, "line\r\n", "line"},
        {{"-o", "out.png"}, "\0\0\0"s, "\0\0\0"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const ProcessResult result = run(c.args, c.input);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        const std::optional<DecodedImage> image = decode("out.png");
        ASSERT_TRUE(image);
        EXPECT_EQ(read(*image), toBytes(c.expected));
    }
}

TEST_F(CommandLine, EscapesTypeTheControlCharactersOfIdentityCardData) {
    const ProcessResult result =
        run({"--escapes", "-o", "card.gif", R"(@\n\x1e\rANSI 6360\x1dDAQ D123\\456\tEND)"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::optional<DecodedImage> image = decode("card.gif");
    ASSERT_TRUE(image);
    EXPECT_EQ(read(*image), toBytes("@\n\x1e\rANSI 6360\x1d"
                                    "DAQ D123\\456\tEND"));
}

TEST_F(CommandLine, StandardOutputGetsTheFileOnlyWhenTheSymbolWasBuilt) {
    for (const char* format : {"png", "svg", "bmp", "gif"}) {
        SCOPED_TRACE(format);
        const ProcessResult result = run({"-o", "-", "--format", format, "to stdout"});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        write(std::string("piped.") + format, result.out);
        const std::optional<DecodedImage> image = decode(std::string("piped.") + format);
        ASSERT_TRUE(image);
        EXPECT_EQ(read(*image), toBytes("to stdout"));
    }
    const ProcessResult failed = run({"-o", "-", "--format", "png"}, std::string(2000, '\x80'));
    EXPECT_EQ(failed.exitStatus, 2);
    EXPECT_EQ(failed.out, "");
}

TEST_F(CommandLine, EveryExitStatusComesWithAMessageAndWritesNothing) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {{"Hello"}, "", 1, {"barquill: no output file: give -o FILE"}},
        {{"--bogus", "-o", "out.png", "x"}, "", 1, {"--bogus", "--help"}},
        {{"-o", "out.png", "-l", "9", "x"},
         "",
         1,
         {"--level must be a whole number from 0 to 8, auto or fill"}},
        {{"-o", "out.png", "--rows", "2", "x"}, "", 1, {"--rows must be 3 to 90"}},
        {{"-o", "out.png", "--charset", "latin", "x"}, "", 1, {"--charset \"latin\" is not known"}},
        {{"-o", "out.png", "--file-name", "a.txt", "x"}, "", 1, {"add --macro or --segments"}},
        {{"-o", "out.png", "--fit", "50x30", "x"}, "", 1, {"--fit needs --dpi"}},
        {{"-o", "out.png", "--charset", "ISO-8859-1", "Price: 12 \xe2\x82\xac"},
         "",
         2,
         {"barquill: error: '\xe2\x82\xac' at 11 has no ISO-8859-1 form: use --charset UTF-8 or "
          "ISO-8859-15"}},
        {{"-o", "out.png", "--macro", "-c", "1", "-l", "8"},
         std::string(3000, 'x'),
         2,
         {"cannot be split into symbols", "even a symbol with one byte of data needs"}},
        {{"-o", "out.png", "--segments", "2", "-l", "8"},
         std::string(3000, '\x80'),
         2,
         {"the largest of the 2 symbols needs", "give more --segments"}},
        {{"-o", "out.png", "--segments", "5", "abc"},
         "",
         2,
         {"cannot be split into 5 symbols", "give fewer --segments"}},
        {{"-o", "out.png", "--rows", "20", "-c", "9", "-l", "2"},
         std::string(500, 'x'),
         2,
         {"needs 13 columns at 20 rows, or 29 rows at 9 columns"}},
        {{"-o", "out.png", "-c", "31", "x"},
         "",
         1,
         {"--columns must be a whole number from 1 to 30"}},
        {{"-o", "", "x"}, "", 1, {"--output needs a value"}},
        {{"-i", "", "-o", "out.png"}, "stdin", 1, {"--input needs a value"}},
        {{"--batch", "-"}, "x\n", 1, {"a batch needs -o with a counter"}},
        {{"-o", "-", "x"}, "", 1, {"needs --format"}},
        {{"-o", "out.png", "-i", "missing.txt"}, "", 1, {"cannot read missing.txt"}},
        {{"--escapes", "-o", "out.png", R"(bad\q)"}, "", 1, {R"(unknown escape \q)"}},
        {{"-o", "out.png", ""}, "", 2, {"barquill: nothing to encode"}},
        {{"-o", "out.png"}, "", 2, {"barquill: nothing to encode"}},
        {{"-o", "out.png"},
         std::string(2000, '\x80'),
         2,
         {"barquill: error: input string too long (PDF error 2)", "1668 data codewords"}},
        {{"-o", "out.png", "-c", "1", "-l", "4"},
         std::string(400, 'x'),
         2,
         {"error: data too long for specified number of columns (PDF error 4)",
          "more than 2 columns hold", "give -c 3 to 30, or -c auto"}},
        {{"-o", "no/such/dir/out.png", "x"}, "", 3, {"cannot write no/such/dir/out.png"}},
        {{"-o", ".", "--format", "png", "x"}, "", 3, {"cannot write .: Is a directory"}},
        {{"-o", "/", "--format", "png", "x"}, "", 3, {"cannot write /: Is a directory"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.messages.front());
        const ProcessResult result = run(c.args, c.input);
        EXPECT_EQ(result.exitStatus, c.status);
        for (const std::string& message : c.messages)
            EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(listing(), std::vector<std::string>{}) << "left behind";
    }
    const ProcessResult help = run({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("Usage: barquill [OPTIONS] [TEXT]"), std::string::npos);
}

TEST_F(CommandLine, TextThatIsNotAsciiCarriesItsCharacterSet) {
    const std::string greek = "\xce\x9a\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1";
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string input;
        bool hasEci;
    } cases[] = {
        {"TEXT as UTF-8", {"-o", "out.png", greek}, "", true},
        {"TEXT in ISO-8859-7", {"-o", "out.png", "--charset", "ISO-8859-7", greek}, "", true},
        {"standard input byte for byte", {"-o", "out.png"}, greek, false},
        {"standard input converted", {"-o", "out.png", "--charset", "utf-8"}, greek, true},
        {"ASCII as before", {"-o", "out.png", "Hello"}, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult result = run(c.args, c.input);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        const std::optional<DecodedImage> image = decode("out.png");
        ASSERT_TRUE(image);
        const auto reading =
            readPdf417GreyDetails({image->grey.data(), image->width, image->height});
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->hasECI, c.hasEci);
        if (c.hasEci) {
            EXPECT_EQ(reading->text, greek);
        } else {
            EXPECT_EQ(reading->bytes, toBytes(c.input.empty() ? c.args.back() : c.input));
        }
    }
}

TEST_F(CommandLine, MacroSeriesIsNamedFromTheOutputAndMergesToTheData) {
    std::string data(6000, '\0');
    unsigned seed = 12345;
    for (char& c : data) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> files;
    } cases[] = {
        {"counter in the name",
         {"--segments", "10", "-o", "part%02d.png", "--file-id", "123045"},
         {"part01.png", "part02.png", "part03.png", "part04.png", "part05.png", "part06.png",
          "part07.png", "part08.png", "part09.png", "part10.png"}},
        {"suffix before the extension",
         {"--macro", "-o", "ticket.png", "--file-name", "data.bin", "--checksum"},
         {"ticket-01.png", "ticket-02.png", "ticket-03.png", "ticket-04.png", "ticket-05.png",
          "ticket-06.png"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directory(directory_);
        const ProcessResult result = run(c.args, data);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(listing(), c.files);
        std::vector<DecodedImage> images;
        for (const std::string& name : c.files) images.push_back(*decode(name));
        std::vector<GreyImage> views;
        for (std::size_t i = 0; i < images.size(); ++i) {
            views.push_back({images[i].grey.data(), images[i].width, images[i].height});
            EXPECT_EQ(images[i].width, images.front().width);  // one size for all
            EXPECT_EQ(images[i].height, images.front().height);
            const auto one = readPdf417GreyDetails(views.back());
            ASSERT_TRUE(one);
            EXPECT_EQ(one->sequenceIndex, static_cast<int>(i));
            EXPECT_EQ(one->sequenceSize, static_cast<int>(c.files.size()));
        }
        const auto merged = readPdf417GreySeries(views);
        ASSERT_TRUE(merged);
        EXPECT_EQ(merged->bytes, toBytes(data));
    }
    // Data that fits one symbol is written as one ordinary symbol.
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directory(directory_);
    ASSERT_EQ(run({"--macro", "-o", "small.png", "small"}).exitStatus, 0);
    EXPECT_EQ(listing(), std::vector<std::string>{"small.png"});
}

TEST_F(CommandLine, AFailedRunLeavesAnExistingOutputUnchanged) {
    const std::string precious = "an earlier label";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-o", "label.png", "-l", "12", "x"},
          std::vector<std::string>{"-o", "label.png", ""},
          std::vector<std::string>{"-o", "label.png", "-c", "1", "-l", "4",
                                   std::string(400, 'x')}}) {
        write("label.png", precious);
        const ProcessResult result = run(args);
        EXPECT_NE(result.exitStatus, 0);
        EXPECT_EQ(file("label.png"), precious);
        EXPECT_EQ(listing(), std::vector<std::string>{"label.png"});
    }
    // A disk that fills up while the new file is written.
    write("label.png", precious);
    const ProcessResult full = run({"-o", "label.png", "a longer label than fits"}, "", 64);
    EXPECT_EQ(full.exitStatus, 3);
    EXPECT_NE(full.err.find("barquill: cannot write label.png: File too large"), std::string::npos)
        << full.err;
    EXPECT_EQ(file("label.png"), precious);
    EXPECT_EQ(listing(), std::vector<std::string>{"label.png"});

    // A successful run replaces it.
    ASSERT_EQ(run({"-o", "label.png", "new"}).exitStatus, 0);
    EXPECT_EQ(read(*decode("label.png")), toBytes("new"));
    struct stat info {};
    ASSERT_EQ(stat(path("label.png").c_str(), &info), 0);
    EXPECT_NE(info.st_mode & 0044, 0u) << "readable by others, as a file made by any tool";
}

TEST_F(CommandLine, PrinterSizingDrawsWholeDotsAndRecordsTheResolution) {
    const std::string text = "LOT 4711";
    ASSERT_EQ(run({"-o", "desktop.png", text}).exitStatus, 0);
    const ProcessResult sized = run({"--xdim", "0.25", "--dpi", "300", "-o", "printer.png", text});
    ASSERT_EQ(sized.exitStatus, 0) << sized.err;
    EXPECT_EQ(sized.err, "") << "3 dots per module need no warning";
    const DecodedImage desktop = *decode("desktop.png"), printer = *decode("printer.png");

    // 2 x 4 pixels per module on the desktop; 0.25 mm at 300 dpi is 2.95 dots,
    // drawn as 3 whole dots with rows three times as high.
    const int margin = 10;
    ASSERT_EQ((desktop.width - 2 * margin) % 2, 0);
    const int modules = (desktop.width - 2 * margin) / 2, rows = (desktop.height - 2 * margin) / 4;
    EXPECT_EQ(printer.width, 2 * margin + 3 * modules);
    EXPECT_EQ(printer.height, 2 * margin + 9 * rows);
    // The start pattern opens with eight bar modules, then one space module.
    for (int x = margin; x < margin + 24; ++x) EXPECT_LT(printer.at(x, margin), 128) << x;
    for (int x = margin + 24; x < margin + 27; ++x) EXPECT_GT(printer.at(x, margin), 128) << x;
    EXPECT_GT(printer.at(margin - 1, margin), 128);
    EXPECT_EQ(read(printer), toBytes(text));
    // 300 dots per inch are 11811 per metre.
    EXPECT_EQ(printer.pixelsPerMetreX, 11811);
    EXPECT_EQ(printer.pixelsPerMetreY, 11811);

    ASSERT_EQ(run({"--xdim", "0.25", "--dpi", "300", "-o", "printer.bmp", text}).exitStatus, 0);
    EXPECT_EQ(decode("printer.bmp")->pixelsPerMetreX, 11811);

    ASSERT_EQ(run({"--xdim", "0.25", "--dpi", "300", "-o", "printer.svg", text}).exitStatus, 0);
    char size[96];
    std::snprintf(size, sizeof size, "width=\"%gmm\"", printer.width * 25.4 / 300);
    EXPECT_NE(file("printer.svg").find(size), std::string::npos) << size;
    const std::optional<DecodedImage> vector = decode("printer.svg", 300);
    ASSERT_TRUE(vector);
    EXPECT_EQ(vector->width, printer.width);
    EXPECT_EQ(read(*vector), toBytes(text));
}

TEST_F(CommandLine, TooFewDotsPerModuleWarnUnlessQuiet) {
    const ProcessResult warned = run({"--xdim", "0.25", "--dpi", "203", "-o", "a.png", "x"});
    EXPECT_EQ(warned.exitStatus, 0);
    EXPECT_NE(warned.err.find("barquill: warning (thin-module): "), std::string::npos)
        << warned.err;
    EXPECT_NE(warned.err.find("2 printer dots"), std::string::npos) << warned.err;
    const ProcessResult quiet = run({"-q", "--xdim", "0.25", "--dpi", "203", "-o", "a.png", "x"});
    EXPECT_EQ(quiet.exitStatus, 0);
    EXPECT_EQ(quiet.err, "");
}

TEST_F(CommandLine, VerboseTellsWhatWasBuilt) {
    const ProcessResult result = run({"-v", "-l", "3", "-c", "4", "-o", "a.png", "verbose"});
    ASSERT_EQ(result.exitStatus, 0);
    const DecodedImage image = *decode("a.png");
    for (const std::string& part :
         // 6 rows of 4 columns hold 24 codewords; 16 correct errors and one is the
         // length descriptor, so 7 are for data.
         {"4 columns"s, "level 3 (16 error-correction codewords)"s, "of 7 data codewords"s,
          "of 90 rows"s,
          std::to_string(image.width) + " x " + std::to_string(image.height) + " pixels"})
        EXPECT_NE(result.err.find(part), std::string::npos) << part << "\n" << result.err;
}

// What is not a regular file is written into, never replaced; links are
// followed; a folder or a loop of links is an error.
TEST_F(CommandLine, OutputThatIsNoRegularFileIsWrittenIntoNotReplaced) {
    const ProcessResult full = run({"-o", "/dev/full", "x"});
    EXPECT_EQ(full.exitStatus, 3);
    EXPECT_EQ(full.err, "barquill: cannot write /dev/full: No space left on device\n");
    struct stat device {};
    ASSERT_EQ(stat("/dev/full", &device), 0);
    EXPECT_TRUE(S_ISCHR(device.st_mode));

    // /dev/stdout is a link to the process's pipe.
    const ProcessResult piped = run({"-o", "/dev/stdout", "--format", "png", "piped"});
    ASSERT_EQ(piped.exitStatus, 0) << piped.err;
    write("piped.png", piped.out);
    EXPECT_EQ(read(*decode("piped.png")), toBytes("piped"));

    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    std::string fromFifo;
    std::thread reader([&] { fromFifo = readFile(path("fifo")); });
    const ProcessResult fifo = run({"-o", "fifo", "--format", "png", "through a fifo"});
    reader.join();
    ASSERT_EQ(fifo.exitStatus, 0) << fifo.err;
    struct stat info {};
    ASSERT_EQ(lstat(path("fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    write("fifo.png", fromFifo);
    EXPECT_EQ(read(*decode("fifo.png")), toBytes("through a fifo"));

    // A dangling link makes the file it names; the link stays a link.
    std::filesystem::create_directory(path("real"));
    std::filesystem::create_symlink("real/target.png", path("dangling.png"));
    ASSERT_EQ(run({"-o", "dangling.png", "linked"}).exitStatus, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(path("dangling.png")));
    EXPECT_EQ(read(*decode("real/target.png")), toBytes("linked"));
    ASSERT_EQ(run({"-o", "dangling.png", "again"}).exitStatus, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(path("dangling.png")));
    EXPECT_EQ(read(*decode("real/target.png")), toBytes("again"));

    std::filesystem::create_symlink("loop-b", path("loop-a"));
    std::filesystem::create_symlink("loop-a", path("loop-b"));
    const ProcessResult loop = run({"-o", "loop-a", "x"});
    EXPECT_EQ(loop.exitStatus, 3);
    EXPECT_EQ(loop.err, "barquill: cannot write loop-a: Too many levels of symbolic links\n");
    EXPECT_EQ(listing(), (std::vector<std::string>{"dangling.png", "fifo", "fifo.png", "loop-a",
                                                   "loop-b", "piped.png", "real"}));
}

// As cp does: a file its owner made read-only is not replaced without --force.
// Run as an ordinary user, since for root every file is writable.
TEST_F(CommandLine, AReadOnlyFileIsReplacedOnlyWithForce) {
    std::vector<std::string> prefix;
    if (geteuid() == 0) {
        prefix = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                  BARQUILL_EXECUTABLE};
        ASSERT_EQ(chmod(directory_.c_str(), 0777), 0);
    }
    const auto runAsUser = [&](std::vector<std::string> args) {
        if (prefix.empty()) return run(args);
        args.insert(args.begin(), prefix.begin() + 1, prefix.end());
        return runProcess(prefix.front(), args, "", directory_);
    };
    ASSERT_EQ(runAsUser({"-o", "label.png", "first"}).exitStatus, 0);
    ASSERT_EQ(chmod(path("label.png").c_str(), 0444), 0);
    const ProcessResult refused = runAsUser({"-o", "label.png", "second"});
    EXPECT_EQ(refused.exitStatus, 3);
    EXPECT_EQ(refused.err,
              "barquill: cannot write label.png: the file is read-only; give --force to replace "
              "it\n");
    EXPECT_EQ(read(*decode("label.png")), toBytes("first"));
    const ProcessResult forced = runAsUser({"--force", "-o", "label.png", "second"});
    ASSERT_EQ(forced.exitStatus, 0) << forced.err;
    EXPECT_EQ(read(*decode("label.png")), toBytes("second"));
    struct stat info {};
    ASSERT_EQ(stat(path("label.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u) << "the replaced file keeps its permissions";
}

// A disk that fills up: the failure names the file and nothing else is said.
TEST_F(CommandLine, AFullDiskIsReportedByNameAndLeavesNothingPartWritten) {
    for (const char* name : {"label.png", "label.gif", "label.bmp", "label.svg"}) {
        SCOPED_TRACE(name);
        const ProcessResult result = run({"-o", name, std::string(300, 'a')}, "", 100);
        EXPECT_EQ(result.exitStatus, 3);
        EXPECT_EQ(result.err, "barquill: cannot write " + std::string(name) + ": File too large\n");
        EXPECT_EQ(listing(), std::vector<std::string>{});
    }
    const ProcessResult toStdout = runProcess(
        "/bin/sh", {"-c", "exec \"$0\" -o - --format png x > /dev/full", BARQUILL_EXECUTABLE}, "",
        directory_);
    EXPECT_EQ(toStdout.exitStatus, 3);
    EXPECT_EQ(toStdout.err, "barquill: cannot write standard output: No space left on device\n");

    std::filesystem::create_directory(path("labels"));
    const ProcessResult batch = run({"--batch", "-", "-o", "labels/%d.png"}, "one\ntwo\n", 100);
    EXPECT_EQ(batch.exitStatus, 3);
    EXPECT_EQ(batch.err,
              "barquill: line 1: cannot write labels/1.png: File too large\n"
              "barquill: line 2: cannot write labels/2.png: File too large\n"
              "barquill: 0 of 2 written, 2 failed\n");
    EXPECT_TRUE(std::filesystem::is_empty(path("labels")));
}

// Two runs writing the same name at once leave one complete file of either.
TEST_F(CommandLine, TwoRunsWritingOneNameLeaveOneCompleteFile) {
    for (int round = 0; round < 10; ++round) {
        const std::string a(600, 'a'), b(600, 'b');
        const pid_t first = spawnQuietly({"--module-width", "8", "-o", "same.png", a}, directory_);
        const pid_t second = spawnQuietly({"--module-width", "8", "-o", "same.png", b}, directory_);
        int status = 0;
        ASSERT_EQ(waitpid(first, &status, 0), first);
        EXPECT_EQ(WEXITSTATUS(status), 0);
        ASSERT_EQ(waitpid(second, &status, 0), second);
        EXPECT_EQ(WEXITSTATUS(status), 0);
        const std::optional<Bytes> decoded = read(*decode("same.png"));
        EXPECT_TRUE(decoded == toBytes(a) || decoded == toBytes(b));
        EXPECT_EQ(listing(), std::vector<std::string>{"same.png"});
    }
}

// A symbol the reader cannot read back is not written: bars and background
// of nearly one brightness are the case a user can make.
TEST_F(CommandLine, ASymbolThatDoesNotReadBackIsNotWritten) {
    const std::vector<std::string> alike = {"--fg", "#808080", "--bg", "#7f7f7f"};
    const std::string message =
        "verification failed: the reader finds no symbol in the picture (are bars and "
        "background too alike in brightness?)\n";
    // Verified by default, as with --verify.
    for (const char* output : {"label.png", "label.svg", "-"})
        for (const bool asked : {true, false}) {
            SCOPED_TRACE(output + (asked ? " --verify"s : ""s));
            write("label.png", "an earlier label");
            std::vector<std::string> args = alike;
            if (asked) args.push_back("--verify");
            args.insert(args.end(), {"--format", "png", "-o", output, "x"});
            const ProcessResult result = run(args);
            EXPECT_EQ(result.exitStatus, 4);
            EXPECT_EQ(result.err, "barquill: " + (output == "-"s ? "" : output + ": "s) + message);
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(file("label.png"), "an earlier label");
            EXPECT_EQ(listing(), std::vector<std::string>{"label.png"});
        }
    std::vector<std::string> unchecked = alike;
    unchecked.insert(unchecked.end(), {"--no-verify", "-o", "label.png", "x"});
    EXPECT_EQ(run(unchecked).exitStatus, 0);
    EXPECT_NE(file("label.png"), "an earlier label");
    std::filesystem::remove(path("label.png"));
    // The ECI designator and the Macro fields are compared too, and agree.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--compact", "-o", "good.gif", "compact"},
          std::vector<std::string>{"--charset", "ISO-8859-1", "-o", "eci.png", "Prix: 12 \xc3\xa9"},
          std::vector<std::string>{"--segments", "2", "--file-id", "017899", "-o", "series.png",
                                   std::string(300, 'm')}}) {
        std::vector<std::string> verified = {"--verify"};
        verified.insert(verified.end(), args.begin(), args.end());
        const ProcessResult result = run(verified);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
    }
    EXPECT_EQ(read(*decode("good.gif")), toBytes("compact"));
    EXPECT_TRUE(exists("series-01.png") && exists("series-02.png"))
        << ::testing::PrintToString(listing());

    // A batch verifies each item by default and reports it by line.
    std::vector<std::string> args = alike;
    args.insert(args.end(), {"--batch", "-", "-o", "%d.png"});
    const ProcessResult batch = run(args, "one\ntwo\n");
    EXPECT_EQ(batch.exitStatus, 4);
    EXPECT_EQ(batch.err, "barquill: line 1: 1.png: " + message + "barquill: line 2: 2.png: " +
                             message + "barquill: 0 of 2 written, 2 failed\n");
    EXPECT_FALSE(exists("1.png") || exists("2.png"));
    args.push_back("--no-verify");
    EXPECT_EQ(run(args, "one\ntwo\n").exitStatus, 0);
    EXPECT_TRUE(exists("1.png") && exists("2.png"));
}

}  // namespace
}  // namespace barquill::testing
