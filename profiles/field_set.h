// SPDX-License-Identifier: MIT
#pragma once
// The fields a profile builder reads: each key once, with the last value
// given for it, in the order the keys first appeared.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "profiles/profiles.h"

namespace barquill::profiles {

struct Field {
    std::string key;
    std::string value;
};

class FieldSet {
public:
    explicit FieldSet(const FieldValues& values);

    // The value given for the key, or null.
    const std::string* find(std::string_view key) const;
    const std::vector<Field>& fields() const { return fields_; }

private:
    std::vector<Field> fields_;
    std::unordered_map<std::string, std::size_t> index_;  // key to its place in fields_
};

// The first key that is not one of the profile's fields, as an error.
std::optional<ProfileError> unknownKey(const Profile& profile, const FieldSet& fields);

// The definition of the key; the key must be one of the profile's.
const FieldDefinition& fieldDefinition(const Profile& profile, std::string_view key);

// The field's value, its default when absent or empty; an error when it is
// required and still empty.
Result<std::string, ProfileError> fieldValue(const FieldDefinition& definition,
                                             const FieldSet& fields);

// An error about a key, with the rule it breaks.
ProfileError keyError(ProfileErrorCode code, std::string key, std::string rule = {},
                      std::size_t position = 0, long length = 0, long limit = 0);

// An error about a field, with the field's rule.
ProfileError fieldError(ProfileErrorCode code, const FieldDefinition& definition,
                        std::size_t position = 0, long length = 0, long limit = 0);

}  // namespace barquill::profiles
