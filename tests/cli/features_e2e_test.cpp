// SPDX-License-Identifier: MIT
// The command line's newer faces, run as scripts run them: print formats by
// extension, scan warnings after the file (and --strict), --explain in text
// and JSON, and application profiles from fields.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "tests/cli/command_line_fixture.h"

namespace barquill::testing {
namespace {

using namespace std::string_literals;

TEST_F(CommandLine, PrintFormatsFollowTheExtensionAndAPdfDecodes) {
    ASSERT_EQ(run({"-o", "label.pdf", "LOT 4711"}).exitStatus, 0);
    EXPECT_EQ(file("label.pdf").substr(0, 5), "%PDF-");
    const ProcessResult rendered = runProcess(
        "/usr/bin/pdftoppm", {"-r", "600", "-gray", "-png", "-singlefile", "label.pdf", "page"}, "",
        directory_);
    if (rendered.exitStatus != 0) GTEST_SKIP() << "pdftoppm is not installed";
    EXPECT_EQ(read(*decode("page.png")), toBytes("LOT 4711"));
    for (const auto& [name, start] : {std::pair{"label.eps"s, "%!PS-Adobe"s},
                                      {"label.zpl"s, "^XA"s},
                                      {"label.escpos"s, "\x1dv0"s}}) {
        ASSERT_EQ(run({"-o", name, "LOT 4711"}).exitStatus, 0) << name;
        EXPECT_EQ(file(name).substr(0, start.size()), start) << name;
    }
    ASSERT_EQ(run({"--zpl-native", "-l", "4", "-o", "native.zpl", "LOT 4711"}).exitStatus, 0);
    EXPECT_NE(file("native.zpl").find("^FDLOT 4711^FS"), std::string::npos);
    const ProcessResult unsayable = run({"--zpl-native", "-l", "0", "-o", "zero.zpl", "x"});
    EXPECT_EQ(unsayable.exitStatus, 2) << unsayable.err;
    EXPECT_FALSE(exists("zero.zpl"));
}

// What cannot be kept is refused with nothing written, never dropped in
// silence: the printer's own command in a picture, a read-back of what the
// printer encodes itself.
TEST_F(CommandLine, ANativeCommandIsNeitherDroppedNorPassedAsReadBack) {
    struct Case {
        std::vector<std::string> args;
        int exitStatus;
        const char* message;
        const char* output;
    };
    const Case cases[] = {
        {{"--zpl-native", "-o", "n.png", "X"}, 1, "need a .zpl or .escpos output", "n.png"},
        {{"--escpos-native", "--format", "svg", "-o", "n.svg", "X"}, 1, "not svg", "n.svg"},
        {{"--verify", "--zpl-native", "-o", "v.zpl", "X"}, 4, "cannot be read back", "v.zpl"},
        {{"--verify", "--escpos-native", "-o", "v.escpos", "X"}, 4, "--verify: ", "v.escpos"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.output);
        const ProcessResult result = run(c.args);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(exists(c.output));
    }
    // Verified by default, the native command is written with its symbol proven.
    EXPECT_EQ(run({"--escpos-native", "-o", "d.escpos", "X"}).exitStatus, 0);
}

TEST_F(CommandLine, LightBarsThatDoNotReadBackAreToldToBeDarker) {
    const ProcessResult result = run({"--fg", "#ffffff", "--bg", "#000000", "-o", "w.png", "X"});
    EXPECT_EQ(result.exitStatus, 4);
    EXPECT_NE(result.err.find("make the bars darker than the background"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("alike in brightness"), std::string::npos) << result.err;
}

// The stamp's set is ISO-8859-1 without an ECI by its scheme: --strict
// takes it.
TEST_F(CommandLine, AStampInItsSchemesCharacterSetPassesStrict) {
    write("ted.xml", "<TED><DD>Pe\xf1\x61lol\xe9n</DD></TED>");
    const ProcessResult result =
        run({"--profile", "sii-cl", "--field", "data=@ted.xml", "--strict", "-o", "s.png"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err.find("no-eci"), std::string::npos) << result.err;
}

TEST_F(CommandLine, WarningsComeAfterTheFileAndStrictWritesNothing) {
    const ProcessResult warned = run({"--compact", "-o", "a.png", "x"});
    EXPECT_EQ(warned.exitStatus, 0);
    EXPECT_TRUE(exists("a.png"));
    EXPECT_EQ(warned.err.rfind("barquill: warning (compact): ", 0), 0u) << warned.err;
    EXPECT_NE(warned.err.find("; "), std::string::npos) << "what to change: " << warned.err;
    EXPECT_EQ(run({"-q", "--compact", "-o", "q.png", "x"}).err, "");
    const ProcessResult strict = run({"--strict", "--compact", "-o", "s.png", "x"});
    EXPECT_EQ(strict.exitStatus, 2);
    EXPECT_NE(strict.err.find("barquill: error (compact): "), std::string::npos) << strict.err;
    EXPECT_FALSE(exists("s.png"));
    EXPECT_EQ(run({"--strict", "-o", "fine.png", "x"}).exitStatus, 0);
}

TEST_F(CommandLine, ExplainShowsEveryCodewordAndWritesNothing) {
    const ProcessResult text = run({"--explain", "PDF417"});
    ASSERT_EQ(text.exitStatus, 0) << text.err;
    EXPECT_NE(text.out.find("length descriptor"), std::string::npos) << text.out;
    const ProcessResult json = run({"--explain=json", "-l", "3", "Mixed 12345678901234 \xc3\xa9"});
    ASSERT_EQ(json.exitStatus, 0) << json.err;
    const auto explained = nlohmann::json::parse(json.out);
    EXPECT_EQ(explained["level"], 3);
    // The segments cover the data (UTF-8 with ECI 26: 23 bytes) once, in order.
    std::size_t next = 0;
    std::set<std::string> modes;
    for (const auto& segment : explained["segments"]) {
        EXPECT_EQ(segment["offset"].get<std::size_t>(), next);
        next += segment["length"].get<std::size_t>();
        modes.insert(segment["mode"].get<std::string>());
    }
    EXPECT_EQ(next, 23u);
    EXPECT_TRUE(modes.count("numeric") && modes.count("text")) << json.out;
    const auto& codewords = explained["codewords"];
    EXPECT_EQ(codewords.size(),
              explained["rows"].get<std::size_t>() * explained["columns"].get<std::size_t>());
    EXPECT_EQ(codewords[0]["role"], "length-descriptor");
    EXPECT_EQ(codewords[1]["role"], "eci");
    EXPECT_TRUE(listing().empty()) << "nothing written";
}

const std::vector<std::string> slip = {"--field", "amount=12,50",
                                       "--field", "recipient_name=Udruga \xc5\xbditnjak",
                                       "--field", "iban=HR1210010051863000160",
                                       "--field", "model=HR01",
                                       "--field", "reference=7269-68949637676-00019"};

TEST_F(CommandLine, AProfileBuildsItsSymbolFromFieldsAndKeepsItsRules) {
    const ProcessResult list = run({"--profile", "list"});
    EXPECT_EQ(list.exitStatus, 0);
    for (const char* name : {"hub3", "aamva", "bcbp", "sii-cl", "aeat-es"})
        EXPECT_NE(list.out.find(name), std::string::npos) << name;
    const ProcessResult help = run({"--profile", "hub3", "--help-fields"});
    EXPECT_NE(help.out.find("iban"), std::string::npos);

    std::vector<std::string> args = {"--profile", "hub3", "-o", "slip.png"};
    args.insert(args.end(), slip.begin(), slip.end());
    ASSERT_EQ(run(args).exitStatus, 0);
    const std::string expected =
        "HRVHUB30\nEUR\n000000000001250\n\n\n\nUdruga \xaeitnjak\n\n\nHR1210010051863000160\n"
        "HR01\n7269-68949637676-00019\n\n";
    EXPECT_EQ(read(*decode("slip.png")), toBytes(expected));

    // A setting that breaks the scheme is refused, or warned about when relaxed.
    args = {"--profile", "hub3", "-l", "2", "-o", "low.png"};
    args.insert(args.end(), slip.begin(), slip.end());
    const ProcessResult refused = run(args);
    EXPECT_EQ(refused.exitStatus, 1) << refused.err;
    EXPECT_NE(refused.err.find("level 4"), std::string::npos) << refused.err;
    args.push_back("--profile-relaxed");
    const ProcessResult relaxed = run(args);
    EXPECT_EQ(relaxed.exitStatus, 0) << relaxed.err;
    EXPECT_NE(relaxed.err.find("warning (profile-rule)"), std::string::npos) << relaxed.err;

    const ProcessResult badField =
        run({"--profile", "hub3", "--field", "amount=1.234", "-o", "x.png"});
    EXPECT_EQ(badField.exitStatus, 2);
    EXPECT_NE(badField.err.find("amount"), std::string::npos) << badField.err;
    EXPECT_FALSE(exists("x.png"));
}

TEST_F(CommandLine, RefusalsNameTheirCauseTheSideAndTheLimit) {
    const ProcessResult offPage =
        run({"--page", "A4", "--position", "200,30", "-o", "edge.pdf", "LOT 4711"});
    EXPECT_EQ(offPage.exitStatus, 2) << offPage.err;
    EXPECT_EQ(offPage.err.rfind("barquill: error: the symbol reaches ", 0), 0u) << offPage.err;
    EXPECT_NE(offPage.err.find(" mm across"), std::string::npos) << offPage.err;
    EXPECT_EQ(offPage.err.find(" down"), std::string::npos) << offPage.err;
    EXPECT_FALSE(exists("edge.pdf"));

    for (const auto& args : {std::vector<std::string>{"--module-width", "1"},
                             std::vector<std::string>{"--xdim", "1.5", "--dpi", "203"}}) {
        std::vector<std::string> full = {"--escpos-native", "-o", "r.escpos"};
        full.insert(full.end(), args.begin(), args.end());
        full.push_back("x");
        const ProcessResult width = run(full);
        EXPECT_EQ(width.exitStatus, 1) << width.err;
        EXPECT_NE(width.err.find("is outside the 2 to 8 this output takes"), std::string::npos)
            << width.err;
        EXPECT_EQ(width.err.find("empty"), std::string::npos) << width.err;
    }

    const ProcessResult wide = run({"--module-width", "20", "-o", "wide.escpos", "LOT 4711"});
    EXPECT_EQ(wide.exitStatus, 2) << wide.err;
    EXPECT_EQ(wide.err.rfind("barquill: error: the ESC/POS picture is ", 0), 0u) << wide.err;
    EXPECT_NE(wide.err.find("--page"), std::string::npos) << wide.err;
    EXPECT_FALSE(exists("wide.escpos"));

    // One byte over the limit: the reason is the size, not a stale errno.
    write("big.json", std::string((1 << 20) + 1, ' '));
    const ProcessResult big = run({"--profile", "hub3", "--fields", "big.json", "-o", "big.png"});
    EXPECT_EQ(big.exitStatus, 1) << big.err;
    EXPECT_NE(big.err.find("more than the 1048576 bytes"), std::string::npos) << big.err;
    EXPECT_FALSE(exists("big.png"));
}

TEST_F(CommandLine, AProfilesBatchTakesOneObjectOfFieldsPerLine) {
    write("slips.jsonl",
          R"({"amount": "1", "recipient_name": "A", "iban": "HR1210010051863000160"})"
          "\n"
          R"({"amount": "-1", "recipient_name": "B", "iban": "HR1210010051863000160"})"
          "\n");
    const ProcessResult batch =
        run({"--batch", "slips.jsonl", "--profile", "hub3", "-o", "%d.png"});
    EXPECT_EQ(batch.exitStatus, 2) << batch.err;
    EXPECT_TRUE(exists("1.png"));
    EXPECT_FALSE(exists("2.png"));
    EXPECT_NE(batch.err.find("line 2: "), std::string::npos) << batch.err;
}

// JSON nested 100,000 deep is refused at once with the key and the limit:
// in a batch as its line's error, the lines after it still made, and in a
// field file as the run's.
TEST_F(CommandLine, DeeplyNestedFieldsAreRefusedAndABatchGoesOn) {
    const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
    const std::string members =
        R"("amount": "1", "recipient_name": "A", "iban": "HR1210010051863000160")";
    write("memberss.jsonl",
          "{" + members + "}\n{" + members + R"(, "x": )" + deep + "}\n{" + members + "}\n");
    const ProcessResult batch =
        run({"--batch", "memberss.jsonl", "--profile", "hub3", "-o", "%d.png"});
    EXPECT_EQ(batch.exitStatus, 2) << batch.err;
    EXPECT_TRUE(exists("1.png"));
    EXPECT_FALSE(exists("2.png"));
    EXPECT_TRUE(exists("3.png"));
    EXPECT_NE(batch.err.find("line 2: x.0.0.0.0: objects and arrays nested more than 5 deep"),
              std::string::npos)
        << batch.err;

    write("deep.json", "{" + members + R"(, "x": )" + deep + "}");
    const ProcessResult file =
        run({"--profile", "hub3", "--fields", "deep.json", "-o", "deep.png"});
    EXPECT_EQ(file.exitStatus, 2) << file.err;
    EXPECT_NE(file.err.find("nested more than 5 deep"), std::string::npos) << file.err;
    EXPECT_FALSE(exists("deep.png"));
}

TEST_F(CommandLine, ExplainDataShowsWhatALicenceHolds) {
    const ProcessResult made = run({"--profile", "aamva", "--field", "iin=636000", "--field",
                                    "DL.DCS=SMITH", "--field", "DL.DAC=JOHN", "--explain"});
    ASSERT_NE(made.exitStatus, 0) << "a licence without its mandatory elements is refused";
    // A 21-byte header, one 10-byte designator, and the 11-byte subfile at 31.
    write("card.txt", "@\n\x1e\rANSI 636000100001DL00310011DLDCSSMITH\r");
    const ProcessResult shown = run({"--profile", "aamva", "--explain-data", "card.txt"});
    EXPECT_EQ(shown.exitStatus, 0) << shown.err;
    EXPECT_NE(shown.out.find("SMITH"), std::string::npos) << shown.out;
}

}  // namespace
}  // namespace barquill::testing
