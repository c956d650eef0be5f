// SPDX-License-Identifier: MIT
// The AAMVA DL/ID card: data written out by hand from the layout (header,
// designators with offsets from the start, subfiles), each rule refused,
// and the layout read back.

#include "profiles/aamva.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/profiles/profile_cases.h"

namespace barquill::profiles {
namespace {

using testing::profile;
using Code = ProfileErrorCode;
using testing::licence;

const std::string licenceBody =
    "DLDCAC\nDCBNONE\nDCDNONE\nDBA08312030\nDCSSAMPLE\nDACJANE\nDADANN\nDBD08312022\n"
    "DBB08311980\nDBC2\nDAYBRO\nDAU064 in\nDAG123 MAIN STREET\nDAISACRAMENTO\nDAJCA\n"
    "DAK958140000\nDAQD1234567\nDCF00/00/0000NNNAN/ANFD/YY\nDCGUSA\nDDEN\nDDFN\nDDGN\r";

// An identification card from a Canadian issuer: dates CCYYMMDD.
const FieldValues card = {
    {"iin", "636012"},
    {"version", "10"},
    {"ID.DAQ", "123456789"},
    {"ID.DCS", "TREMBLAY"},
    {"ID.DAC", "MARIE"},
    {"ID.DAD", "NONE"},
    {"ID.DBD", "20220115"},
    {"ID.DBB", "19851231"},
    {"ID.DBA", "20270115"},
    {"ID.DBC", "2"},
    {"ID.DAY", "BLU"},
    {"ID.DAU", "165 cm"},
    {"ID.DAG", "1 RUE PRINCIPALE"},
    {"ID.DAI", "OTTAWA"},
    {"ID.DAJ", "ON"},
    {"ID.DAK", "K1A0B1"},
    {"ID.DCF", "XYZ123"},
    {"ID.DCG", "CAN"},
    {"ID.DDE", "N"},
    {"ID.DDF", "N"},
    {"ID.DDG", "N"},
};

TEST(Aamva, HeaderDesignatorsAndSubfilesFollowTheLayout) {
    struct Case {
        const char* name;
        FieldValues fields;
        std::string expected;
    };
    const Case cases[] = {
        // Header 21 bytes, two designators: the DL subfile starts at 41 and
        // holds 219 bytes, so the jurisdiction's starts at 260.
        {"licence with a jurisdiction subfile", licence,
         std::string("@\n\x1e\rANSI 636014100002DL00410219ZC02600009") + licenceBody +
             "ZCZCABLK\r"},
        {"identification card, Canadian dates, versions given",
         testing::with(card, {{"jurisdiction_version", "3"}, {"version", "9"}, {"version", "10"}}),
         "@\n\x1e\rANSI 636012100301ID00310180"
         "IDDAQ123456789\nDCSTREMBLAY\nDACMARIE\nDADNONE\nDBD20220115\nDBB19851231\n"
         "DBA20270115\nDBC2\nDAYBLU\nDAU165 cm\nDAG1 RUE PRINCIPALE\nDAIOTTAWA\nDAJON\n"
         "DAKK1A0B1\nDCFXYZ123\nDCGCAN\nDDEN\nDDFN\nDDGN\r"},
        // Before version 4 the given names went in DCT, and DAC, DAD and
        // the truncation indicators were not asked for.
        {"version 3",
         {{"iin", "636000"},
          {"version", "03"},
          {"ID.DCS", "DOE"},
          {"ID.DCT", "JOHN"},
          {"ID.DBA", "01012030"},
          {"ID.DBD", "01012020"},
          {"ID.DBB", "02292000"},
          {"ID.DBC", "1"},
          {"ID.DAY", "GRN"},
          {"ID.DAU", "070 in"},
          {"ID.DAG", "1 A ST"},
          {"ID.DAI", "X"},
          {"ID.DAJ", "VA"},
          {"ID.DAK", "22000"},
          {"ID.DAQ", "1"},
          {"ID.DCF", "2"},
          {"ID.DCG", "USA"}},
         "@\n\x1e\rANSI 636000030001ID00310122"
         "IDDCSDOE\nDCTJOHN\nDBA01012030\nDBD01012020\nDBB02292000\nDBC1\nDAYGRN\nDAU070 in\n"
         "DAG1 A ST\nDAIX\nDAJVA\nDAK22000\nDAQ1\nDCF2\nDCGUSA\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto built = build(profile("aamva"), c.fields);
        ASSERT_TRUE(built.ok()) << describe(built.error());
        EXPECT_EQ(built->bytes, c.expected);
        EXPECT_EQ(built->settings.level, 5);
        EXPECT_EQ(built->eci, -1);
    }
}

TEST(Aamva, EachRuleIsRefusedWithFieldAndPosition) {
    const testing::Refusal refusals[] = {
        {"no IIN", {{"iin", ""}}, Code::missingField, "iin"},
        {"short IIN", {{"iin", "63601"}}, Code::wrongLength, "iin", 0, 5, 6},
        {"letter in IIN", {{"iin", "63601X"}}, Code::badCharacter, "iin", 6},
        {"version 1", {{"version", "1"}}, Code::outOfRange, "version", 0, 1, 99},
        {"version 100", {{"version", "100"}}, Code::outOfRange, "version", 0, 100, 99},
        {"letter in version", {{"version", "1x"}}, Code::badCharacter, "version", 2},
        {"key without subfile", {{"DLDCS", "X"}}, Code::unknownField, "DLDCS"},
        {"lower-case subfile", {{"dl.DCS", "X"}}, Code::badSubfileType, "dl.DCS", 1},
        {"three-letter subfile", {{"DLX.DCS", "X"}}, Code::badSubfileType, "DLX.DCS", 0, 3, 2},
        // Two capital letters, yet neither DL, ID, nor Z and a letter.
        {"subfile XX", {{"XX.DCS", "X"}}, Code::badSubfileType, "XX.DCS", 1},
        {"subfile DX", {{"DX.DCS", "X"}}, Code::badSubfileType, "DX.DCS", 2},
        {"subfile IL", {{"IL.DCS", "X"}}, Code::badSubfileType, "IL.DCS", 2},
        {"subfile AZ", {{"AZ.ZAA", "X"}}, Code::badSubfileType, "AZ.ZAA", 1},
        {"short element ID", {{"DL.DC", "X"}}, Code::badElementId, "DL.DC", 0, 2, 3},
        {"lower-case element ID", {{"DL.dcs", "X"}}, Code::badElementId, "DL.dcs", 4},
        {"line feed in a value", {{"DL.DAG", "1 MAIN\nST"}}, Code::badCharacter, "DL.DAG", 7},
        {"record separator in a value", {{"ZC.ZCA", "A\x1e"}}, Code::badCharacter, "ZC.ZCA", 2},
        // Readers that split lines the Unicode way would shift every later element.
        {"next line (C1) in a value",
         {{"DL.DAG", "1 MAIN\xC2\x85ST"}},
         Code::badCharacter,
         "DL.DAG",
         7},
        {"C1 control in a value", {{"DL.DAG", "A\xC2\x9F"}}, Code::badCharacter, "DL.DAG", 2},
        {"line separator in a value",
         {{"DL.DAI", "X\xE2\x80\xA8Y"}},
         Code::badCharacter,
         "DL.DAI",
         2},
        {"no first name", {{"DL.DAC", ""}}, Code::missingElement, "DL.DAC"},
        {"no jurisdiction vehicle class", {{"DL.DCA", ""}}, Code::missingElement, "DL.DCA"},
        {"no truncation indicator", {{"DL.DDG", ""}}, Code::missingElement, "DL.DDG"},
        {"month 13", {{"DL.DBB", "13011980"}}, Code::badDate, "DL.DBB", 1},
        {"30 February", {{"DL.DBA", "02302030"}}, Code::badDate, "DL.DBA", 3},
        {"29 February outside a leap year", {{"DL.DBD", "02292021"}}, Code::badDate, "DL.DBD", 3},
        {"date of seven digits", {{"DL.DBB", "0831198"}}, Code::wrongLength, "DL.DBB", 0, 7, 8},
        {"date with a letter", {{"DL.DBB", "0831198X"}}, Code::badCharacter, "DL.DBB", 8},
        {"Canadian date written the US way", {{"DL.DCG", "CAN"}}, Code::badDate, "DL.DBA", 5},
        {"sex as a letter", {{"DL.DBC", "F"}}, Code::notAllowedValue, "DL.DBC"},
        {"unknown country", {{"DL.DCG", "MEX"}}, Code::notAllowedValue, "DL.DCG"},
        {"unknown truncation", {{"DL.DDE", "Y"}}, Code::notAllowedValue, "DL.DDE"},
        {"height of two digits", {{"DL.DAU", "64 in"}}, Code::badCharacter, "DL.DAU", 3},
        {"height in feet", {{"DL.DAU", "064 ft"}}, Code::notAllowedValue, "DL.DAU", 5},
        {"family name too long",
         {{"DL.DCS", std::string(41, 'A')}},
         Code::tooLong,
         "DL.DCS",
         41,
         41,
         40},
        // ZC, ZCA and BLK, LF, ZCB and 10000 letters, CR.
        {"subfile longer than four digits count",
         {{"ZC.ZCB", std::string(10000, 'A')}},
         Code::dataTooLarge,
         "ZC",
         0,
         10013,
         9999},
    };
    for (const auto& refusal : refusals) testing::expectRefusal(profile("aamva"), licence, refusal);
    testing::expectRefusal(
        profile("aamva"), card,
        {"US date from a Canadian issuer", {{"ID.DBB", "12311985"}}, Code::badDate, "ID.DBB", 5});
    testing::expectRefusal(profile("aamva"), {{"iin", "636014"}, {"ZC.ZCA", "X"}},
                           {"no holder subfile", {}, Code::missingSubfile, "DL"});
}

TEST(Aamva, BuiltDataReadsBackAsGiven) {
    const FieldValues fields = testing::with(licence, {{"ZC.ZCB", "12"}, {"DL.DAH", "APT 4"}});
    const auto built = build(profile("aamva"), fields);
    ASSERT_TRUE(built.ok()) << describe(built.error());
    const auto read = parseAamva(built->bytes);
    ASSERT_TRUE(read.ok()) << describe(read.error());
    EXPECT_EQ(read->iin, "636014");
    EXPECT_EQ(read->version, 10);
    EXPECT_EQ(read->jurisdictionVersion, 0);
    FieldValues readBack = {{"iin", read->iin}};
    for (const AamvaSubfile& subfile : read->subfiles)
        for (const AamvaValue& element : subfile.elements)
            readBack.emplace_back(subfile.type + "." + element.id, element.value);
    // The elements in the order given, grouped by subfile.
    FieldValues expected;
    for (const auto& field : fields)
        if (field.first.rfind("DL.", 0) == 0 || field.first == "iin") expected.push_back(field);
    for (const auto& field : fields)
        if (field.first.rfind("ZC.", 0) == 0) expected.push_back(field);
    EXPECT_EQ(readBack, expected);
    ASSERT_EQ(read->subfiles.size(), 2u);
    EXPECT_EQ(read->subfiles[0].offset, 41u);
    EXPECT_EQ(read->subfiles[1].offset + read->subfiles[1].length, built->bytes.size());
}

TEST(Aamva, MalformedDataIsRefusedAtItsByte) {
    const std::string good = std::string("@\n\x1e\rANSI 636014100001ZC00310009") + "ZCZCABLK\r";
    ASSERT_TRUE(parseAamva(good).ok());
    struct Case {
        const char* name;
        std::string data;
        std::string part;
        std::size_t position;
    };
    const Case cases[] = {
        {"empty", "", "header", 1},
        {"no record separator", "@\n\x1d\rANSI 636014100001ZC00310009ZCZCABLK\r", "header", 3},
        {"other file type", "@\n\x1e\rAAMVA636014100001ZC00310009ZCZCABLK\r", "header", 6},
        {"letter in the IIN", "@\n\x1e\rANSI 63601X100001ZC00310009ZCZCABLK\r", "iin", 15},
        {"no entries", "@\n\x1e\rANSI 636014100000", "entries", 20},
        {"designator cut short", "@\n\x1e\rANSI 636014100001ZC0031", "designator 1", 28},
        {"lower-case subfile type", "@\n\x1e\rANSI 636014100001zC00310009ZCZCABLK\r",
         "designator 1", 22},
        {"subfile type XX", "@\n\x1e\rANSI 636014100001XX00310009XXZCABLK\r", "designator 1", 22},
        {"subfile type DZ", "@\n\x1e\rANSI 636014100001DZ00310009DZZCABLK\r", "designator 1", 23},
        {"subfile past the end", "@\n\x1e\rANSI 636014100001ZC00310010ZCZCABLK\r", "designator 1",
         24},
        {"subfile of another type", "@\n\x1e\rANSI 636014100001ZC00310009ZDZCABLK\r", "ZC subfile",
         32},
        {"no segment terminator", "@\n\x1e\rANSI 636014100001ZC00310009ZCZCABLK\n", "ZC subfile",
         40},
        {"empty element", "@\n\x1e\rANSI 636014100001ZC00310015ZCZCABLK\n\nZCB1\r", "ZC subfile",
         41},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto read = parseAamva(c.data);
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.error().code, Code::malformedData);
        EXPECT_EQ(read.error().field, c.part);
        EXPECT_EQ(read.error().position, c.position);
    }
}

TEST(Aamva, ExplanationNamesEachElement) {
    const auto read = parseAamva(std::string("@\n\x1e\rANSI 636014100102DL00410014ZC00550009") +
                                 "DLDCSDOE\nDBC1\rZCZCABLK\r");
    ASSERT_TRUE(read.ok()) << describe(read.error());
    EXPECT_EQ(explainAamva(*read),
              "IIN 636014, AAMVA version 10, jurisdiction version 1\n"
              "DL subfile, bytes 42 to 55\n"
              "  DCS Customer family name: DOE\n"
              "  DBC Sex: 1\n"
              "ZC subfile, bytes 56 to 64\n"
              "  ZCA (the jurisdiction's own): BLK\n");
}

// The element table is generated from the CSV beside it; they must agree.
TEST(Aamva, ElementTableMatchesItsSource) {
    std::ifstream csv(BARQUILL_PROFILES_DIR "/aamva_elements.csv");
    ASSERT_TRUE(csv.good());
    std::string line;
    std::size_t row = 0;
    bool header = true;
    while (std::getline(csv, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (header) {
            header = false;
            continue;
        }
        std::vector<std::string> cells;
        std::stringstream split(line);
        for (std::string cell; std::getline(split, cell, ',');) cells.push_back(cell);
        ASSERT_EQ(cells.size(), 7u) << line;
        ASSERT_LT(row, aamvaElements().size());
        const AamvaElement& element = aamvaElements()[row++];
        EXPECT_EQ(element.id, cells[0]);
        EXPECT_EQ(element.name, cells[1]);
        EXPECT_EQ(element.mandatoryFrom, std::stoi(cells[2]));
        EXPECT_EQ(element.mandatoryUntil, std::stoi(cells[3]));
        EXPECT_EQ(element.mandatoryInLicences, cells[4].find("DL") != std::string::npos);
        EXPECT_EQ(element.mandatoryInIdCards, cells[4].find("ID") != std::string::npos);
        EXPECT_EQ(element.maxLength, std::stoi(cells[6]));
    }
    EXPECT_EQ(row, aamvaElements().size());
}

TEST(Aamva, Version10LicenceNeedsAtLeastTheCoreElements) {
    for (const char* id : {"DCS", "DAC", "DBB", "DBA", "DBD", "DAQ", "DBC", "DAY", "DAU", "DAG",
                           "DAI", "DAJ", "DAK", "DCF", "DCG"}) {
        SCOPED_TRACE(id);
        const AamvaElement* element = findAamvaElement(id);
        ASSERT_NE(element, nullptr);
        EXPECT_TRUE(isMandatory(*element, "DL", 10));
    }
}

}  // namespace
}  // namespace barquill::profiles
