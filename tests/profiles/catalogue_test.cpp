// SPDX-License-Identifier: MIT
// The profiles as a whole: documents taken as given, the settings each
// scheme requires against the user's, printing advice, help text, and the
// tables behind the rules.

#include <gtest/gtest.h>

#include <algorithm>

#include "profiles/iban.h"
#include "profiles/transliteration.h"
#include "tests/profiles/profile_cases.h"

namespace barquill::profiles {
namespace {

using testing::profile;
using Code = ProfileErrorCode;

const std::string stamp =
    "<TED version=\"1.0\"><DD><RE>97975000-5</RE><TD>33</TD><F>1</F>"
    "<RSR>Compa\xF1\xED"
    "a</RSR></DD></TED>";

TEST(Documents, DataGoesAsGivenWithTheSchemeSettings) {
    for (const char* name : {"sii-cl", "aeat-es"}) {
        SCOPED_TRACE(name);
        // The last "data" wins; the bytes, NUL included, are not touched.
        const std::string data = stamp + std::string(1, '\0') + "\xFF";
        const auto built = build(profile(name), {{"data", "first"}, {"data", data}});
        ASSERT_TRUE(built.ok()) << describe(built.error());
        EXPECT_EQ(built->bytes, data);
        EXPECT_EQ(built->eci, -1);
        EXPECT_EQ(built->settings.level, 5);
        EXPECT_TRUE(built->settings.byteCompaction);
        EXPECT_TRUE(built->warnings.empty());
    }
    const ProfileSettings& sii = profile("sii-cl").settings;
    EXPECT_EQ(sii.rowHeightModules, 3);
    EXPECT_EQ(sii.quietZoneInches, 0.25);
    EXPECT_TRUE(sii.neverCompact);
    EXPECT_FALSE(sii.splitIntoMacro);
    EXPECT_TRUE(profile("aeat-es").settings.splitIntoMacro);
}

TEST(Documents, StampSavedAsUtf8IsWarnedAbout) {
    const auto built = build(profile("sii-cl"), {{"data",
                                                  "<RSR>Compa\xC3\xB1\xC3\xAD"
                                                  "a</RSR>"}});
    ASSERT_TRUE(built.ok());
    ASSERT_EQ(built->warnings.size(), 1u);
    EXPECT_EQ(built->warnings[0].code, WarningCode::dataLooksUtf8);
    EXPECT_TRUE(build(profile("sii-cl"), {{"data", "<TED/>"}})->warnings.empty());
    EXPECT_TRUE(build(profile("aeat-es"), {{"data",
                                            "Compa\xC3\xB1\xC3\xAD"
                                            "a"}})
                    ->warnings.empty());
}

TEST(Documents, MissingOrUnknownFieldsAreRefused) {
    for (const char* name : {"sii-cl", "aeat-es"}) {
        SCOPED_TRACE(name);
        testing::expectRefusal(profile(name), {{"data", stamp}},
                               {"empty", {{"data", ""}}, Code::missingField, "data"});
        testing::expectRefusal(profile(name), {{"data", stamp}},
                               {"unknown", {{"file", "x"}}, Code::unknownField, "file"});
    }
}

TEST(Catalogue, ProfilesAreFoundByExactName) {
    for (const char* name : {"hub3", "aamva", "bcbp", "sii-cl", "aeat-es"}) {
        const Profile* found = findProfile(name);
        ASSERT_NE(found, nullptr) << name;
        EXPECT_EQ(found->name, name);
    }
    EXPECT_EQ(findProfile("HUB3"), nullptr);
    EXPECT_EQ(findProfile(""), nullptr);
    EXPECT_EQ(findProfile("sii"), nullptr);
}

// The faces build forms and tool tips from these.
TEST(Catalogue, EveryFieldHasALabelAndARuleAndAppearsInTheHelp) {
    const std::string list = profileList();
    for (const Profile& p : profiles()) {
        SCOPED_TRACE(p.name);
        EXPECT_NE(list.find(p.name + "  "), std::string::npos);
        EXPECT_NE(list.find(p.title + "\n"), std::string::npos);
        const std::string help = fieldHelp(p);
        EXPECT_NE(help.find(describeSettings(p.settings)), std::string::npos);
        for (const FieldDefinition& field : p.fields) {
            EXPECT_FALSE(field.label.empty()) << field.key;
            EXPECT_FALSE(field.rule.empty()) << field.key;
            EXPECT_NE(help.find("  " + field.key), std::string::npos) << field.key;
        }
    }
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'),
              static_cast<std::ptrdiff_t>(profiles().size()));
}

// A rule of our own reading is told apart from one a scheme publishes.
TEST(Catalogue, TheHelpMarksTheRulesThatAreOurOwnChoice) {
    const std::string mark = "(our own choice";
    const struct {
        const char* profile;
        const char* key;
        bool ownChoice;
    } cases[] = {
        {"hub3", "reference", true}, {"hub3", "iban", false}, {"bcbp", "seat", true},
        {"bcbp", "sequence", true},  {"bcbp", "from", false}, {"aamva", "version", true},
        {"aamva", "DL.DCS", true},   {"aamva", "iin", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.profile) + " " + c.key);
        const std::string help = fieldHelp(profile(c.profile));
        const std::size_t at = help.find("\n  " + std::string(c.key));
        ASSERT_NE(at, std::string::npos);
        // The field's own lines are those indented beneath it.
        std::size_t end = help.find('\n', at + 1);
        while (end != std::string::npos && help.compare(end, 7, "\n      ") == 0)
            end = help.find('\n', end + 1);
        const std::string lines = help.substr(at, end - at);
        EXPECT_EQ(lines.find(mark) != std::string::npos, c.ownChoice) << lines;
    }
}

TEST(Catalogue, SettingsAreDescribedInWords) {
    EXPECT_EQ(describeSettings(profile("hub3").settings),
              "error-correction level 4, 9 data columns, data in ISO-8859-2, ECI 4");
    EXPECT_EQ(describeSettings(profile("sii-cl").settings),
              "error-correction level 5, a full symbol, never compact, byte compaction only, "
              "rows 3 module widths high, a quiet zone of at least 0.25 in on every side, "
              "data in ISO-8859-1, no ECI designator");
    EXPECT_EQ(describeSettings(profile("bcbp").settings), "none: the symbol is the user's choice");
}

TEST(Settings, UserSettingsThatBreakTheSchemeAreNamed) {
    using Given = void (*)(UserSettings&);
    struct Case {
        const char* name;
        const char* profile;
        Given given;
        BuildChoices choices;
        std::vector<Setting> conflicts;
    };
    const Case cases[] = {
        {"nothing given", "sii-cl", [](UserSettings&) {}, {}, {}},
        {"the scheme's own values",
         "hub3",
         [](UserSettings& u) {
             u.level = 4;
             u.columns = 9;
         },
         {},
         {}},
        {"other level and columns",
         "hub3",
         [](UserSettings& u) {
             u.level = 5;
             u.columns = 8;
         },
         {},
         {Setting::level, Setting::columns}},
        {"compact where allowed", "hub3", [](UserSettings& u) { u.compact = true; }, {}, {}},
        {"compact where never",
         "sii-cl",
         [](UserSettings& u) { u.compact = true; },
         {},
         {Setting::compact}},
        {"text compaction",
         "sii-cl",
         [](UserSettings& u) { u.compaction = Compaction::text; },
         {},
         {Setting::compaction}},
        {"byte compaction",
         "aeat-es",
         [](UserSettings& u) { u.compaction = Compaction::byte; },
         {},
         {}},
        {"row height",
         "sii-cl",
         [](UserSettings& u) { u.rowHeightModules = 4; },
         {},
         {Setting::rowHeight}},
        {"row height met",
         "sii-cl",
         [](UserSettings& u) { u.rowHeightModules = 6.0 / 2.0; },
         {},
         {}},
        {"small quiet zone",
         "sii-cl",
         [](UserSettings& u) { u.quietZoneInches = 0.1; },
         {},
         {Setting::quietZone}},
        {"larger quiet zone", "sii-cl", [](UserSettings& u) { u.quietZoneInches = 0.5; }, {}, {}},
        {"stamp converted",
         "sii-cl",
         [](UserSettings& u) { u.charset = "UTF-8"; },
         {},
         {Setting::charset}},
        {"stamp's own set", "sii-cl", [](UserSettings& u) { u.charset = "iso8859_1"; }, {}, {}},
        {"stamp with an ECI", "sii-cl", [](UserSettings& u) { u.eci = 3; }, {}, {Setting::eci}},
        {"slip set as chosen",
         "hub3",
         [](UserSettings& u) {
             u.charset = "utf-8";
             u.eci = 26;
         },
         {Hub3Charset::utf8},
         {}},
        {"slip set other than chosen",
         "hub3",
         [](UserSettings& u) { u.charset = "UTF-8"; },
         {},
         {Setting::charset}},
        {"slip ASCII has no ECI",
         "hub3",
         [](UserSettings& u) {
             u.charset = "ascii";
             u.eci = 27;
         },
         {Hub3Charset::ascii},
         {Setting::eci}},
        {"licence level", "aamva", [](UserSettings& u) { u.level = 3; }, {}, {Setting::level}},
        {"boarding pass leaves all to the user",
         "bcbp",
         [](UserSettings& u) {
             u.level = 2;
             u.columns = 3;
             u.compact = true;
             u.compaction = Compaction::text;
             u.rowHeightModules = 1;
             u.quietZoneInches = 0;
             u.charset = "UTF-8";
             u.eci = 26;
         },
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UserSettings user;
        c.given(user);
        std::vector<Setting> found;
        for (const SettingConflict& conflict : checkSettings(profile(c.profile), user, c.choices)) {
            found.push_back(conflict.setting);
            EXPECT_FALSE(conflict.rule.empty());
        }
        EXPECT_EQ(found, c.conflicts);
    }
    UserSettings level;
    level.level = 2;
    const auto conflicts = checkSettings(profile("hub3"), level);
    ASSERT_EQ(conflicts.size(), 1u);
    EXPECT_EQ(conflicts[0].given, 2);
    EXPECT_EQ(conflicts[0].required, 4);
    EXPECT_EQ(describe(conflicts[0]), "the scheme requires error-correction level 4");
}

TEST(Settings, PrintedSizeOutsideTheAdviceIsWarned) {
    struct Case {
        const char* name;
        double module;
        double row;
        std::vector<WarningCode> warnings;
    };
    const Case cases[] = {
        {"within", 0.254, 0.762, {}},
        {"least module", 0.17, 0.51, {}},
        {"narrow module", 0.1, 0.3, {WarningCode::moduleTooNarrow}},
        {"wide module", 0.5, 1.5, {WarningCode::moduleTooWide}},
        {"low rows", 0.25, 0.5, {WarningCode::rowsTooLow}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<WarningCode> found;
        for (const Warning& w : checkPrintSize(profile("aamva"), c.module, c.row))
            found.push_back(w.code);
        EXPECT_EQ(found, c.warnings);
    }
    EXPECT_TRUE(checkPrintSize(profile("hub3"), 0.01, 0.01).empty());
    const auto low = checkPrintSize(profile("aamva"), 0.25, 0.5);
    ASSERT_EQ(low.size(), 1u);
    EXPECT_EQ(low[0].value, 2);
    EXPECT_EQ(low[0].limit, 3);
}

// Sizes come from printer dots, so their millimetres carry binary noise
// that a person must not have to read.
TEST(PrintAdvice, WarningsShowSizesAsPeopleWriteThem) {
    const double sixDotsAt300 = 6 * 25.4 / 300;  // 0.5079999999999999
    const struct {
        double module;
        double row;
        std::string text;
    } cases[] = {
        {sixDotsAt300, 3 * sixDotsAt300, "modules 0.51 mm wide, wider than 0.38 mm"},
        {0.1695, 3 * 0.1695, "modules 0.1695 mm wide, narrower than 0.17 mm"},
        {0.3, 0.3 * 1.4999999999999998, "rows 1.5 module widths high, lower than 3"},
    };
    for (const auto& c : cases) {
        const auto warnings = checkPrintSize(profile("aamva"), c.module, c.row);
        ASSERT_EQ(warnings.size(), 1u) << c.text;
        EXPECT_EQ(describe(warnings[0]), c.text);
    }
}

TEST(Tables, LetterFormsAreSortedAsciiLetters) {
    const auto& forms = letterForms();
    for (std::size_t i = 0; i < forms.size(); ++i) {
        EXPECT_GE(forms[i].letter, 0xC0u);
        if (i > 0) {
            EXPECT_LT(forms[i - 1].letter, forms[i].letter) << "lookup needs order";
        }
        const std::string ascii = forms[i].ascii;
        EXPECT_FALSE(ascii.empty());
        for (char c : ascii) EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
    }
    // The Croatian letters, as a slip in ASCII writes them.
    const std::pair<char32_t, const char*> croatian[] = {
        {U'č', "c"}, {U'ć', "c"}, {U'đ', "d"}, {U'š', "s"}, {U'ž', "z"},
        {U'Č', "C"}, {U'Ć', "C"}, {U'Đ', "D"}, {U'Š', "S"}, {U'Ž', "Z"}};
    for (const auto& [letter, ascii] : croatian) EXPECT_EQ(asciiForm(letter), ascii);
    EXPECT_EQ(asciiForm(U'€'), "");
    EXPECT_EQ(asciiForm(U'×'), "");  // in ISO-8859-1 but not a letter
}

TEST(Tables, IbanCheckDigitsFollowMod97) {
    // From the IBAN registry's examples, one per country.
    for (const char* iban :
         {"HR1210010051863000160", "DE89370400440532013000", "GB29NWBK60161331926819",
          "SI56263300012039086", "AT611904300234573201"})
        EXPECT_TRUE(ibanCheckDigitsMatch(iban)) << iban;
    for (const char* iban : {"HR1310010051863000160", "HR1210010051863000161",
                             "DE89370400440532013001", "GB29NWBK60161331926818"})
        EXPECT_FALSE(ibanCheckDigitsMatch(iban)) << iban;
    // One less in the check digits leaves the remainder 0, not 1: a check
    // that took "divides evenly" for valid would pass these.
    for (const char* iban :
         {"HR1110010051863000160", "DE88370400440532013000", "GB28NWBK60161331926819"})
        EXPECT_FALSE(ibanCheckDigitsMatch(iban)) << iban;
}

}  // namespace
}  // namespace barquill::profiles
