// SPDX-License-Identifier: MIT
#include "profiles/field_set.h"

#include <algorithm>

namespace barquill::profiles {

FieldSet::FieldSet(const FieldValues& values) {
    for (const auto& [key, value] : values) {
        const auto [place, added] = index_.try_emplace(key, fields_.size());
        if (added)
            fields_.push_back({key, value});
        else
            fields_[place->second].value = value;
    }
}

const std::string* FieldSet::find(std::string_view key) const {
    const auto found = index_.find(std::string(key));
    return found == index_.end() ? nullptr : &fields_[found->second].value;
}

std::optional<ProfileError> unknownKey(const Profile& profile, const FieldSet& fields) {
    for (const Field& field : fields.fields()) {
        const bool known = std::any_of(
            profile.fields.begin(), profile.fields.end(),
            [&](const FieldDefinition& definition) { return definition.key == field.key; });
        if (!known) return keyError(ProfileErrorCode::unknownField, field.key);
    }
    return std::nullopt;
}

const FieldDefinition& fieldDefinition(const Profile& profile, std::string_view key) {
    return *std::find_if(profile.fields.begin(), profile.fields.end(),
                         [&](const FieldDefinition& definition) { return definition.key == key; });
}

Result<std::string, ProfileError> fieldValue(const FieldDefinition& definition,
                                             const FieldSet& fields) {
    const std::string* given = fields.find(definition.key);
    std::string value = given && !given->empty() ? *given : definition.defaultValue;
    if (value.empty() && definition.required)
        return fieldError(ProfileErrorCode::missingField, definition);
    return value;
}

ProfileError keyError(ProfileErrorCode code, std::string key, std::string rule,
                      std::size_t position, long length, long limit) {
    ProfileError error;
    error.code = code;
    error.field = std::move(key);
    error.rule = std::move(rule);
    error.position = position;
    error.length = length;
    error.limit = limit;
    return error;
}

ProfileError fieldError(ProfileErrorCode code, const FieldDefinition& definition,
                        std::size_t position, long length, long limit) {
    return keyError(code, definition.key, definition.rule, position, length, limit);
}

}  // namespace barquill::profiles
