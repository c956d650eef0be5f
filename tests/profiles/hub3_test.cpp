// SPDX-License-Identifier: MIT
// The Croatian payment slip: data written out by hand from the HUB-3A
// layout, and each rule refused with its field and position.

#include <gtest/gtest.h>

#include "tests/profiles/profile_cases.h"

namespace barquill::profiles {
namespace {

using testing::profile;
using Code = ProfileErrorCode;

const FieldValues slip = {
    {"amount", "123,45"},
    {"payer_name", "Ivan Horvat"},
    {"payer_street", "Ilica 1"},
    {"payer_place", "10000 Zagreb"},
    {"recipient_name", "Tvrtka d.o.o."},
    {"recipient_street", "Vukovarska 2"},
    {"recipient_place", "21000 Split"},
    {"iban", "HR12 1001 0051 8630 0016 0"},
    {"model", "HR01"},
    {"reference", "7269-68-0002"},
    {"purpose", "COST"},
    {"description", "Uplata za ra\xC4\x8Dun 7"},  // č
};

// Only what the slip cannot go without.
const FieldValues least = {
    {"amount", "5"},
    {"recipient_name", "\xC4\x90uro \xC5\xA0imi\xC4\x87"},  // Đuro Šimić
    {"iban", "HR1210010051863000160"},
};

TEST(Hub3, FieldsAreWrittenLineByLineInTheChosenCharacterSet) {
    struct Case {
        const char* name;
        FieldValues fields;
        Hub3Charset charset;
        std::string expected;
        int eci;
    };
    const Case cases[] = {
        {"ISO-8859-2 by default", slip, Hub3Charset::iso8859_2,
         "HRVHUB30\nEUR\n000000000012345\nIvan Horvat\nIlica 1\n10000 Zagreb\nTvrtka d.o.o.\n"
         "Vukovarska 2\n21000 Split\nHR1210010051863000160\nHR01\n7269-68-0002\nCOST\n"
         "Uplata za ra\xE8un 7",
         4},
        {"UTF-8", slip, Hub3Charset::utf8,
         "HRVHUB30\nEUR\n000000000012345\nIvan Horvat\nIlica 1\n10000 Zagreb\nTvrtka d.o.o.\n"
         "Vukovarska 2\n21000 Split\nHR1210010051863000160\nHR01\n7269-68-0002\nCOST\n"
         "Uplata za ra\xC4\x8Dun 7",
         26},
        {"ASCII", slip, Hub3Charset::ascii,
         "HRVHUB30\nEUR\n000000000012345\nIvan Horvat\nIlica 1\n10000 Zagreb\nTvrtka d.o.o.\n"
         "Vukovarska 2\n21000 Split\nHR1210010051863000160\nHR01\n7269-68-0002\nCOST\n"
         "Uplata za racun 7",
         -1},
        {"empty fields stay as empty lines", least, Hub3Charset::iso8859_2,
         "HRVHUB30\nEUR\n000000000000500\n\n\n\n\xD0uro "
         "\xA9imi\xE6\n\n\nHR1210010051863000160\n\n\n\n",
         4},
        {"ASCII Croatian capitals", least, Hub3Charset::ascii,
         "HRVHUB30\nEUR\n000000000000500\n\n\n\nDuro Simic\n\n\nHR1210010051863000160\n\n\n\n", -1},
        {"currency, whole amount, lower-case IBAN",
         testing::with(
             least,
             {{"currency", "HRK"}, {"amount", "1000000"}, {"iban", "hr12 1001 0051 8630 0016 0"}}),
         Hub3Charset::iso8859_2,
         "HRVHUB30\nHRK\n000000100000000\n\n\n\n\xD0uro "
         "\xA9imi\xE6\n\n\nHR1210010051863000160\n\n\n\n",
         4},
        {"largest amount, one decimal, leading zeros",
         testing::with(least, {{"amount", "9999999999999.9"},
                               {"payer_name", "A"},
                               {"amount", "0009999999999999.99"}}),
         Hub3Charset::iso8859_2,
         "HRVHUB30\nEUR\n999999999999999\nA\n\n\n\xD0uro "
         "\xA9imi\xE6\n\n\nHR1210010051863000160\n\n\n\n",
         4},
        {"a tenth of a unit with a point", testing::with(least, {{"amount", "0.5"}}),
         Hub3Charset::utf8,
         "HRVHUB30\nEUR\n000000000000050\n\n\n\n\xC4\x90uro \xC5\xA0imi\xC4\x87\n\n\n"
         "HR1210010051863000160\n\n\n\n",
         26},
        // 29 letters and č: 30 bytes in ISO-8859-2, the limit.
        {"limit counted in bytes of the set",
         testing::with(least, {{"payer_name", std::string(29, 'A') + "\xC4\x8D"}}),
         Hub3Charset::iso8859_2,
         "HRVHUB30\nEUR\n000000000000500\n" + std::string(29, 'A') +
             "\xE8\n\n\n\xD0uro \xA9imi\xE6\n\n\nHR1210010051863000160\n\n\n\n",
         4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto built = build(profile("hub3"), c.fields, {c.charset});
        ASSERT_TRUE(built.ok()) << describe(built.error());
        EXPECT_EQ(built->bytes, c.expected);
        EXPECT_EQ(built->eci, c.eci);
        EXPECT_EQ(built->settings.level, 4);
        EXPECT_EQ(built->settings.columns, 9);
    }
}

TEST(Hub3, TransliterationIsReportedWithItsFirstPosition) {
    const auto built = build(profile("hub3"), least, {Hub3Charset::ascii});
    ASSERT_TRUE(built.ok());
    ASSERT_EQ(built->warnings.size(), 1u);
    EXPECT_EQ(built->warnings[0].code, WarningCode::transliterated);
    EXPECT_EQ(built->warnings[0].field, "recipient_name");
    EXPECT_EQ(built->warnings[0].position, 1u);
    EXPECT_EQ(built->warnings[0].value, 3);  // Đ, Š, ć
    EXPECT_TRUE(build(profile("hub3"), least, {Hub3Charset::iso8859_2})->warnings.empty());
}

TEST(Hub3, EachRuleIsRefusedWithFieldAndPosition) {
    const testing::Refusal refusals[] = {
        {"unknown key", {{"payee", "X"}}, Code::unknownField, "payee"},
        {"no amount", {{"amount", ""}}, Code::missingField, "amount"},
        {"no IBAN", {{"iban", ""}}, Code::missingField, "iban"},
        {"no recipient", {{"recipient_name", ""}}, Code::missingField, "recipient_name"},
        {"lower-case currency", {{"currency", "eur"}}, Code::badCharacter, "currency", 1},
        {"four-letter currency", {{"currency", "EURO"}}, Code::wrongLength, "currency", 0, 4, 3},
        {"negative amount", {{"amount", "-5"}}, Code::negativeAmount, "amount", 1},
        {"three decimals", {{"amount", "12.345"}}, Code::tooManyDecimals, "amount", 6, 3, 2},
        {"three decimals after a comma",
         {{"amount", "0,001"}},
         Code::tooManyDecimals,
         "amount",
         5,
         3,
         2},
        {"sixteen digits of cents",
         {{"amount", "10000000000000"}},
         Code::amountTooLarge,
         "amount",
         0,
         16,
         15},
        {"letter in amount", {{"amount", "12a"}}, Code::badCharacter, "amount", 3},
        {"two separators", {{"amount", "1.2.3"}}, Code::badCharacter, "amount", 4},
        {"thousands space", {{"amount", "1 000"}}, Code::badCharacter, "amount", 2},
        {"no units", {{"amount", ",50"}}, Code::badCharacter, "amount", 1},
        {"payer name too long",
         {{"payer_name", std::string(31, 'A')}},
         Code::tooLong,
         "payer_name",
         31,
         31,
         30},
        {"recipient street too long",
         {{"recipient_street", std::string(26, 'B')}},
         Code::tooLong,
         "recipient_street",
         26,
         26,
         25},
        {"line feed inside a field",
         {{"payer_street", "Ilica\n1"}},
         Code::badCharacter,
         "payer_street",
         6},
        {"next line (C1) inside a field",
         {{"payer_street",
           "Ilica\xC2\x85"
           "1"}},
         Code::badCharacter,
         "payer_street",
         6},
        {"paragraph separator inside a field",
         {{"description",
           "Rent\xE2\x80\xA9"
           "May"}},
         Code::badCharacter,
         "description",
         5},
        {"no form in ISO-8859-2",
         {{"payer_name", "S\xC3\xB8ren"}},
         Code::notRepresentable,
         "payer_name",
         2},
        {"not UTF-8", {{"payer_place", "Zagreb\xFF"}}, Code::invalidUtf8, "payer_place", 7},
        {"foreign IBAN", {{"iban", "DE89370400440532013000"}}, Code::badCharacter, "iban", 1},
        {"IBAN one digit short",
         {{"iban", "HR121001005186300016"}},
         Code::wrongLength,
         "iban",
         0,
         20,
         21},
        {"IBAN check digits", {{"iban", "HR1310010051863000160"}}, Code::badCheckDigits, "iban"},
        {"IBAN whose remainder is 0",
         {{"iban", "HR1110010051863000160"}},
         Code::badCheckDigits,
         "iban"},
        {"IBAN letter among digits",
         {{"iban", "HR12 1001 0051 8630 0016 X"}},
         Code::badCharacter,
         "iban",
         26},
        {"IBAN hyphen", {{"iban", "HR12-1001-0051-8630-0016-0"}}, Code::badCharacter, "iban", 5},
        {"short model", {{"model", "HR1"}}, Code::wrongLength, "model", 0, 3, 4},
        {"foreign model", {{"model", "SI01"}}, Code::badCharacter, "model", 1},
        {"model letter", {{"model", "HRx1"}}, Code::badCharacter, "model", 3},
        {"reference slash", {{"reference", "12/34"}}, Code::badCharacter, "reference", 3},
        {"reference too long",
         {{"reference", std::string(23, '1')}},
         Code::tooLong,
         "reference",
         23,
         23,
         22},
        {"reference without model", {{"model", ""}}, Code::missingField, "model"},
        {"lower-case purpose", {{"purpose", "cost"}}, Code::badCharacter, "purpose", 1},
        {"five-letter purpose", {{"purpose", "COSTS"}}, Code::wrongLength, "purpose", 0, 5, 4},
        {"description too long",
         {{"description", std::string(36, 'x')}},
         Code::tooLong,
         "description",
         36,
         36,
         35},
    };
    for (const auto& refusal : refusals) testing::expectRefusal(profile("hub3"), slip, refusal);
    // In UTF-8 these are representable, so only the line-break rule stops them.
    const testing::Refusal unicodeBreaks[] = {
        {"line separator in UTF-8",
         {{"payer_name",
           "A\xE2\x80\xA8"
           "B"}},
         Code::badCharacter,
         "payer_name",
         2},
        {"next line in UTF-8",
         {{"payer_name",
           "A\xC2\x85"
           "B"}},
         Code::badCharacter,
         "payer_name",
         2},
    };
    for (const auto& refusal : unicodeBreaks)
        testing::expectRefusal(profile("hub3"), slip, refusal, {Hub3Charset::utf8});
}

TEST(Hub3, LimitsCountBytesOfTheChosenSet) {
    // 34 letters and č: 35 bytes in ISO-8859-2, 36 in UTF-8.
    const FieldValues description = {{"description", std::string(34, 'x') + "\xC4\x8D"}};
    EXPECT_TRUE(build(profile("hub3"), testing::with(slip, description), {}).ok());
    testing::expectRefusal(
        profile("hub3"), slip,
        {"č takes two bytes in UTF-8", description, Code::tooLong, "description", 35, 36, 35},
        {Hub3Charset::utf8});
    // ß is written "ss" in ASCII.
    const FieldValues street = {{"payer_street", std::string(26, 'x') + "\xC3\x9F"}};
    EXPECT_TRUE(build(profile("hub3"), testing::with(slip, street), {}).ok());
    testing::expectRefusal(
        profile("hub3"), slip,
        {"ß takes two letters in ASCII", street, Code::tooLong, "payer_street", 27, 28, 27},
        {Hub3Charset::ascii});
    testing::expectRefusal(profile("hub3"), slip,
                           {"no ASCII form",
                            {{"description",
                              "Pla\xC4\x87"
                              "anje \xE2\x82\xAC"
                              "5"}},
                            Code::notRepresentable,
                            "description",
                            10},
                           {Hub3Charset::ascii});
}

TEST(Hub3, CharsetChoicesAreFoundByTheirUsualNames) {
    EXPECT_EQ(findHub3Charset("iso-8859-2"), Hub3Charset::iso8859_2);
    EXPECT_EQ(findHub3Charset("UTF_8"), Hub3Charset::utf8);
    EXPECT_EQ(findHub3Charset("us-ascii"), Hub3Charset::ascii);
    EXPECT_EQ(findHub3Charset("ascii"), Hub3Charset::ascii);
    EXPECT_FALSE(findHub3Charset("ISO-8859-1").has_value());
}

TEST(Hub3, AnInvisibleLineBreakIsNamedByItsCodePoint) {
    // The second value is not UTF-8: stray continuation bytes after the break
    // must not be read as part of its character.
    for (const std::string& street : {std::string("Ilica\xC2\x85"
                                                  "1"),
                                      "Ilica\xC2\x85" + std::string(40, '\xA8')}) {
        const auto built =
            build(profile("hub3"), testing::with(slip, {{"payer_street", street}}), {});
        ASSERT_FALSE(built.ok());
        EXPECT_NE(describe(built.error()).find("(U+0085) at character 6"), std::string::npos)
            << describe(built.error());
    }
}

}  // namespace
}  // namespace barquill::profiles
