// SPDX-License-Identifier: MIT
#pragma once
// What the profile tests share: building a profile by name, and refusal
// cases written as a good field set with one change.

#include <gtest/gtest.h>

#include <string>

#include "profiles/profiles.h"

namespace barquill::profiles::testing {

inline const Profile& profile(std::string_view name) {
    const Profile* found = findProfile(name);
    if (!found) throw std::runtime_error("no profile " + std::string(name));
    return *found;
}

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
