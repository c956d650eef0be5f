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

#include "tests/cli/image_files.h"
#include "tests/cli/process.h"
#include "tests/support/pdf417_reader.h"

namespace barquill::testing {
namespace {

using namespace std::string_literals;

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/barquill-cli-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    ProcessResult run(const std::vector<std::string>& args, const std::string& input = "",
                      long maxFileBytes = 0) {
        return runProcess(BARQUILL_EXECUTABLE, args, input, directory_, maxFileBytes);
    }
    std::string path(const std::string& name) const { return directory_ + "/" + name; }
    std::string file(const std::string& name) const { return readFile(path(name)); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path(name)); }
    std::vector<std::string> listing() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(directory_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Decodes an output file of any of the four formats into grey pixels.
    std::optional<DecodedImage> decode(const std::string& name, int svgDpi = 96) {
        const std::string bytes = file(name);
        if (name.ends_with(".png")) return readPng(bytes);
        if (name.ends_with(".gif")) return readGif(bytes);
        if (name.ends_with(".svg")) {
            const std::string dpi = std::to_string(svgDpi);
            const ProcessResult rendered = runProcess(
                RSVG_CONVERT, {"--dpi-x", dpi, "--dpi-y", dpi, "-o", "rendered.png", name}, "",
                directory_);
            if (rendered.exitStatus != 0) return std::nullopt;
            return readPng(file("rendered.png"));
        }
        return readBmp(bytes);
    }

    std::optional<Bytes> read(const DecodedImage& image) {
        return readPdf417Grey(image.grey.data(), image.width, image.height, image.width);
    }

    std::string directory_;
};

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

TEST_F(CommandLine, BatchWritesEveryGoodLineAndReportsTheFailingOnes) {
    std::filesystem::create_directory(path("labels"));
    const std::string list = "first\n\nthird\tnamed.gif\n" + std::string(2000, '\x80') +
                             "\r\nfifth\r\n" + "sixth\tno/such/dir/x.png\n";
    write("list.txt", list);
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(jobs);
        const ProcessResult result =
            run({"--batch", "list.txt", "--names", "-o", "labels/%03d.png", "-j", jobs});
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_NE(result.err.find("barquill: line 4: error: input string too long (PDF error 2)"),
                  std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find("barquill: line 6: cannot write labels/no/such/dir/x.png"),
                  std::string::npos);
        EXPECT_NE(result.err.find("3 of 5 written, 2 failed"), std::string::npos);
        EXPECT_EQ(read(*decode("labels/001.png")), toBytes("first"));
        EXPECT_EQ(read(*decode("labels/named.gif")), toBytes("third"));
        EXPECT_EQ(read(*decode("labels/005.png")), toBytes("fifth"));
        EXPECT_FALSE(exists("labels/002.png") || exists("labels/003.png") ||
                     exists("labels/004.png") || exists("labels/006.png"));
        std::filesystem::remove_all(path("labels"));
        std::filesystem::create_directory(path("labels"));
    }
}

// A tab in the text is text; a name never leaves the output folder, is
// never a control byte, and is written once.
TEST_F(CommandLine, BatchNamesCannotEscapeTheirFolderNorRepeat) {
    std::filesystem::create_directories(path("out/sub"));
    const ProcessResult unnamed =
        run({"--batch", "-", "-o", "out/%d.png"}, "tab\t../escaped.png\ncut\t/tmp/x.png\n");
    ASSERT_EQ(unnamed.exitStatus, 0) << unnamed.err;
    EXPECT_EQ(read(*decode("out/1.png")), toBytes("tab\t../escaped.png"));
    EXPECT_EQ(read(*decode("out/2.png")), toBytes("cut\t/tmp/x.png"));
    EXPECT_FALSE(exists("escaped.png"));

    const std::string list =
        "a\t../a.png\n"         // 1
        "b\t/tmp/b.png\n"       // 2
        "c\tc\x1b[2J.png\n"     // 3
        "d\tsub/d.png\n"        // 4 written
        "e\tsub/./d.png\n"      // 5 the same file as line 4
        "f\tsub/../../f.png\n"  // 6
        "g\n"                   // 7 named by the counter
        "h\t7.png\n"            // 8 the counter's name for line 7
        "i\t\n";                // 9 a tab and no name: the counter's
    const ProcessResult named = run({"--batch", "-", "--names", "-o", "out/%d.png"}, list);
    EXPECT_EQ(named.exitStatus, 2);
    for (const char* message : {
             "line 1: the name \"../a.png\" has a \"..\" part",
             "line 2: the name \"/tmp/b.png\" is absolute",
             "line 3: the name after the tab holds a control byte",
             "line 5: \"out/sub/./d.png\" is named by an earlier line",
             "line 6: the name \"sub/../../f.png\" has a \"..\" part",
             "line 8: \"out/7.png\" is named by an earlier line",
             "3 of 9 written, 6 failed",
         })
        EXPECT_NE(named.err.find(message), std::string::npos) << message << "\n" << named.err;
    EXPECT_EQ(read(*decode("out/sub/d.png")), toBytes("d"));
    EXPECT_EQ(read(*decode("out/7.png")), toBytes("g"));
    EXPECT_EQ(read(*decode("out/9.png")), toBytes("i"));
    EXPECT_EQ(listing(), std::vector<std::string>{"out"});
    EXPECT_FALSE(std::filesystem::exists("/tmp/b.png"));
}

TEST_F(CommandLine, BatchSkipsBlankLinesAndRefusesAnItemOverTheDataLimit) {
    const std::string list = "\n \t\r\n\r\n\t\n" + std::string((1 << 20) + 1, 'x') + "\nlast\n";
    const ProcessResult result = run({"--batch", "-", "-o", "%d.png"}, list);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err,
              "barquill: line 5: error: the item is more than 1048576 bytes, far more than any "
              "symbol holds\nbarquill: 1 of 2 written, 1 failed\n");
    EXPECT_EQ(read(*decode("6.png")), toBytes("last"));
    EXPECT_EQ(listing(), std::vector<std::string>{"6.png"});
}

TEST_F(CommandLine, NulSeparatedBatchFromStandardInputKeepsLineFeeds) {
    const ProcessResult result =
        run({"--batch", "-", "--batch-nul", "-o", "%d.bmp"}, "two\nlines\0tab\there\0"s);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(read(*decode("1.bmp")), toBytes("two\nlines"));
    EXPECT_EQ(read(*decode("2.bmp")), toBytes("tab\there"));
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
    EXPECT_NE(warned.err.find("barquill: warning: a module is only 2 printer dots wide"),
              std::string::npos)
        << warned.err;
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

pid_t spawnQuietly(const std::vector<std::string>& args, const std::string& directory) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        if (chdir(directory.c_str()) != 0) _exit(127);
        std::vector<char*> argv{const_cast<char*>(BARQUILL_EXECUTABLE)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(BARQUILL_EXECUTABLE, argv.data());
        _exit(127);
    }
    return pid;
}

long residentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// An endless list (one endless line) is read in bounded memory, where it
// once grew until the process aborted.
TEST_F(CommandLine, AnEndlessListRunsInBoundedMemory) {
    const pid_t pid = spawnQuietly({"--batch", "/dev/zero", "-o", "%d.png"}, directory_);
    ASSERT_GT(pid, 0);
    long peak = 0;
    for (int i = 0; i < 20; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        peak = std::max(peak, residentKilobytes(pid));
    }
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0) << "still reading after two seconds";
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 256 * 1024) << "kB resident";
    EXPECT_EQ(listing(), std::vector<std::string>{});
}

// A run killed half-way leaves only complete files under their final names
// and no temporary file, whichever signal ends it.
TEST_F(CommandLine, AKilledBatchLeavesOnlyCompleteFiles) {
    std::string list;
    for (int i = 1; i <= 20000; ++i) list += "parcel " + std::to_string(i) + "\n";
    write("list.txt", list);
    for (const int signal : {SIGKILL, SIGTERM, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        std::filesystem::remove_all(path("labels"));
        std::filesystem::create_directory(path("labels"));
        // Every other early name exists already, so some files replace others.
        constexpr int kEarlier = 1000;
        for (int i = 1; i < 2 * kEarlier; i += 2)
            write("labels/" + std::to_string(i) + ".png", "an earlier file");
        const pid_t pid = spawnQuietly({"--batch", "list.txt", "-o", "labels/%d.png"}, directory_);
        ASSERT_GT(pid, 0);
        // Wait until the run is well under way.
        auto written = [&] {
            const auto entries = std::filesystem::directory_iterator(path("labels"));
            return std::distance(begin(entries), end(entries)) - kEarlier;
        };
        for (int tries = 0; tries < 2000 && written() < 300; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_EQ(kill(pid, signal), 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "ended by the signal, not by finishing";
        EXPECT_EQ(WTERMSIG(status), signal);

        int complete = 0;
        for (const auto& entry : std::filesystem::directory_iterator(path("labels"))) {
            const std::string name = entry.path().filename().string();
            ASSERT_NE(name[0], '.') << "temporary file left: " << name;
            const std::string bytes = readFile(entry.path().string());
            if (bytes == "an earlier file") continue;
            const std::optional<DecodedImage> image = readPng(bytes);
            ASSERT_TRUE(image) << name;
            const int line = std::stoi(name);
            EXPECT_EQ(read(*image), toBytes("parcel " + std::to_string(line))) << name;
            ++complete;
        }
        EXPECT_GE(complete, 300);
        EXPECT_LT(complete, 20000) << "killed before the end";
    }
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
    for (const char* output : {"label.png", "label.svg", "-"}) {
        SCOPED_TRACE(output);
        write("label.png", "an earlier label");
        std::vector<std::string> args = alike;
        args.insert(args.end(), {"--verify", "--format", "png", "-o", output, "x"});
        const ProcessResult result = run(args);
        EXPECT_EQ(result.exitStatus, 4);
        EXPECT_EQ(result.err, "barquill: " + (output == "-"s ? "" : output + ": "s) + message);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(file("label.png"), "an earlier label");
        EXPECT_EQ(listing(), std::vector<std::string>{"label.png"});
    }
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
