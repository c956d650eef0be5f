// SPDX-License-Identifier: MIT
#pragma once
// What the profile tests share: building a profile by name, sample field
// sets, and refusal cases written as a good field set with one change.

#include <gtest/gtest.h>

#include <string>

#include "profiles/profiles.h"

namespace barquill::profiles::testing {

inline const Profile& profile(std::string_view name) {
    const Profile* found = findProfile(name);
    if (!found) throw std::runtime_error("no profile " + std::string(name));
    return *found;
}

// Complete field sets that their profiles accept: a driving licence with a
// jurisdiction subfile and a one-leg boarding pass.
inline const FieldValues licence = {
    {"iin", "636014"},
    {"DL.DCA", "C"},
    {"DL.DCB", "NONE"},
    {"DL.DCD", "NONE"},
    {"DL.DBA", "08312030"},
    {"DL.DCS", "SAMPLE"},
    {"DL.DAC", "JANE"},
    {"DL.DAD", "ANN"},
    {"DL.DBD", "08312022"},
    {"DL.DBB", "08311980"},
    {"DL.DBC", "2"},
    {"DL.DAY", "BRO"},
    {"DL.DAU", "064 in"},
    {"DL.DAG", "123 MAIN STREET"},
    {"DL.DAI", "SACRAMENTO"},
    {"DL.DAJ", "CA"},
    {"DL.DAK", "958140000"},
    {"DL.DAQ", "D1234567"},
    {"DL.DCF", "00/00/0000NNNAN/ANFD/YY"},
    {"DL.DCG", "USA"},
    {"DL.DDE", "N"},
    {"DL.DDF", "N"},
    {"DL.DDG", "N"},
    {"ZC.ZCA", "BLK"},
};

inline const FieldValues pass = {
    {"name", "DESMARAIS/LUC"},
    {"pnr", "ABC123"},
    {"from", "YUL"},
    {"to", "FRA"},
    {"carrier", "AC"},
    {"flight", "834"},
    {"date", "326"},
    {"compartment", "J"},
    {"seat", "1A"},
    {"sequence", "25"},
    {"status", "1"},
};

// The fields with more appended: a later value wins, an empty one unsets.
inline FieldValues with(FieldValues fields, const FieldValues& changes) {
    fields.insert(fields.end(), changes.begin(), changes.end());
    return fields;
}

struct Refusal {
    const char* name;
    FieldValues changes;
    ProfileErrorCode code;
    std::string field;
    std::size_t position = 0;
    long length = 0;  // checked when the code carries numbers
    long limit = 0;
};

inline void expectRefusal(const Profile& profile, const FieldValues& good, const Refusal& refusal,
                          const BuildChoices& choices = {}) {
    SCOPED_TRACE(refusal.name);
    const auto built = build(profile, with(good, refusal.changes), choices);
    ASSERT_FALSE(built.ok()) << "built: " << built->bytes;
    const ProfileError& error = built.error();
    EXPECT_EQ(error.code, refusal.code) << describe(error);
    EXPECT_EQ(error.field, refusal.field) << describe(error);
    EXPECT_EQ(error.position, refusal.position) << describe(error);
    if (refusal.length != 0 || refusal.limit != 0) {
        EXPECT_EQ(error.length, refusal.length) << describe(error);
        EXPECT_EQ(error.limit, refusal.limit) << describe(error);
    }
    EXPECT_FALSE(describe(error).empty());
}

}  // namespace barquill::profiles::testing
