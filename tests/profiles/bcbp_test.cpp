// SPDX-License-Identifier: MIT
// The IATA boarding pass: mandatory items written out by hand from the
// Resolution 792 layout, and each rule refused with its field and position.

#include <gtest/gtest.h>

#include "tests/profiles/profile_cases.h"

namespace barquill::profiles {
namespace {

using testing::profile;
using Code = ProfileErrorCode;
using testing::pass;

TEST(Bcbp, MandatoryItemsFollowTheLayout) {
    struct Case {
        const char* name;
        FieldValues fields;
        std::string expected;
    };
    const Case cases[] = {
        {"one leg, short values written in full", pass,
         "M1DESMARAIS/LUC       EABC123 YULFRAAC 0834 326J001A0025 100"},
        {"two legs, conditional section passed through",
         {{"name", "SMITH/JOHN"},      {"legs.0.pnr", "XYZ789"},
          {"legs.0.from", "LHR"},      {"legs.0.to", "FRA"},
          {"legs.0.carrier", "BA"},    {"legs.0.flight", "902"},
          {"legs.0.date", "6"},        {"legs.0.compartment", "Y"},
          {"legs.0.seat", "23A"},      {"legs.0.sequence", "12"},
          {"legs.0.status", "0"},      {"legs.0.conditional", "ABCDEFGHIJKLMNOPQ"},
          {"legs.1.pnr", "ABC123"},    {"legs.1.from", "FRA"},
          {"legs.1.to", "GVA"},        {"legs.1.carrier", "LX"},
          {"legs.1.flight", "1234A"},  {"legs.1.date", "007"},
          {"legs.1.compartment", "Y"}, {"legs.1.seat", "12C"},
          {"legs.1.sequence", "0005"}, {"legs.1.status", "1"}},
         "M2SMITH/JOHN          E"
         "XYZ789 LHRFRABA 0902 006Y023A0012 011ABCDEFGHIJKLMNOPQ"
         "ABC123 FRAGVALX 1234A007Y012C0005 100"},
        {"plain keys are leg 0, later values win, optional items blank",
         testing::with(pass, {{"legs.0.from", "YYZ"},
                              {"compartment", ""},
                              {"seat", "INF"},
                              {"sequence", "25A"},
                              {"status", ""},
                              {"eticket", " "},
                              {"carrier", "4U"},
                              {"flight", "12"},
                              {"date", "045"}}),
         "M1DESMARAIS/LUC        ABC123 YYZFRA4U 0012 045 INF 0025A 00"},
        {"status as a letter, conditional of 255 bytes",
         testing::with(pass, {{"status", "A"}, {"conditional", std::string(255, '>')}}),
         "M1DESMARAIS/LUC       EABC123 YULFRAAC 0834 326J001A0025 AFF" + std::string(255, '>')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto built = build(profile("bcbp"), c.fields);
        ASSERT_TRUE(built.ok()) << describe(built.error());
        EXPECT_EQ(built->bytes, c.expected);
        EXPECT_EQ(built->settings.level, -1);
        EXPECT_EQ(built->settings.columns, 0);
    }
}

TEST(Bcbp, EachRuleIsRefusedWithFieldAndPosition) {
    const testing::Refusal refusals[] = {
        {"no name", {{"name", ""}}, Code::missingField, "name"},
        {"name too long", {{"name", "DESMARAIS/LUCIENNEXYZ"}}, Code::tooLong, "name", 21, 21, 20},
        {"name not ASCII", {{"name", "DESMARAIS/L\xC3\x89O"}}, Code::badCharacter, "name", 12},
        {"two ticket indicators", {{"eticket", "EE"}}, Code::tooLong, "eticket", 2, 2, 1},
        {"unknown key", {{"gate", "B12"}}, Code::unknownField, "gate"},
        {"no booking reference", {{"pnr", ""}}, Code::missingField, "pnr"},
        {"lower-case booking reference", {{"pnr", "abc123"}}, Code::badCharacter, "pnr", 1},
        {"booking reference too long", {{"pnr", "ABCDEFGH"}}, Code::tooLong, "pnr", 8, 8, 7},
        {"airport of two letters", {{"from", "YU"}}, Code::wrongLength, "from", 0, 2, 3},
        {"lower-case airport", {{"from", "yul"}}, Code::badCharacter, "from", 1},
        {"digit in airport", {{"to", "FR1"}}, Code::badCharacter, "to", 3},
        {"carrier of one letter", {{"carrier", "A"}}, Code::wrongLength, "carrier", 0, 1, 2},
        {"carrier of four", {{"carrier", "ACXX"}}, Code::tooLong, "carrier", 4, 4, 3},
        {"lower-case carrier", {{"carrier", "a1"}}, Code::badCharacter, "carrier", 1},
        {"flight of five digits", {{"flight", "12345"}}, Code::tooLong, "flight", 5, 5, 4},
        {"flight starting with letters", {{"flight", "AB12"}}, Code::badCharacter, "flight", 1},
        {"flight with two letters", {{"flight", "12AB"}}, Code::badCharacter, "flight", 4},
        {"flight with a hyphen", {{"flight", "12-"}}, Code::badCharacter, "flight", 3},
        {"day 0", {{"date", "0"}}, Code::outOfRange, "date", 0, 0, 366},
        {"day 367", {{"date", "367"}}, Code::outOfRange, "date", 0, 367, 366},
        {"day with a letter", {{"date", "1a"}}, Code::badCharacter, "date", 2},
        {"lower-case compartment", {{"compartment", "j"}}, Code::badCharacter, "compartment", 1},
        {"two compartments", {{"compartment", "JY"}}, Code::tooLong, "compartment", 2, 2, 1},
        {"seat too long", {{"seat", "12345"}}, Code::tooLong, "seat", 5, 5, 4},
        {"sequence too long", {{"sequence", "123456"}}, Code::tooLong, "sequence", 6, 6, 5},
        {"two status characters", {{"status", "12"}}, Code::tooLong, "status", 2, 2, 1},
        {"conditional section of 256",
         {{"conditional", std::string(256, 'x')}},
         Code::tooLong,
         "conditional",
         256,
         256,
         255},
        {"fifth leg", {{"legs.4.pnr", "X"}}, Code::tooManyLegs, "legs.4.pnr", 0, 5, 4},
        {"leg without number", {{"legs.x.pnr", "X"}}, Code::unknownField, "legs.x.pnr"},
        {"unknown leg key", {{"legs.1.gate", "X"}}, Code::unknownField, "legs.1.gate"},
        {"second leg incomplete", {{"legs.1.from", "FRA"}}, Code::missingField, "legs.1.pnr"},
        {"third leg without the second", {{"legs.2.pnr", "ABC"}}, Code::missingField, "legs.1.pnr"},
        {"error in a later leg names its key",
         {{"legs.1.pnr", "A"},
          {"legs.1.from", "FRA"},
          {"legs.1.to", "gva"},
          {"legs.1.carrier", "LX"},
          {"legs.1.flight", "1"},
          {"legs.1.date", "1"}},
         Code::badCharacter,
         "legs.1.to",
         1},
    };
    for (const auto& refusal : refusals) testing::expectRefusal(profile("bcbp"), pass, refusal);
}

}  // namespace
}  // namespace barquill::profiles
