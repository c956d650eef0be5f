// SPDX-License-Identifier: MIT
// The profiles and their fields in words, for help and tool tips.

#include <algorithm>

#include "profiles/profiles.h"

namespace barquill::profiles {

std::string profileList() {
    std::size_t width = 0;
    for (const Profile& profile : profiles()) width = std::max(width, profile.name.size());
    std::string text;
    for (const Profile& profile : profiles())
        text +=
            profile.name + std::string(width + 2 - profile.name.size(), ' ') + profile.title + '\n';
    return text;
}

std::string fieldHelp(const Profile& profile) {
    std::string text = profile.name + ": " + profile.title + '\n';
    text += "Symbol: " + describeSettings(profile.settings) + '\n';
    text += "Fields:\n";
    for (const FieldDefinition& field : profile.fields) {
        text += "  " + field.key;
        if (field.required) text += "  (required)";
        if (!field.defaultValue.empty()) text += "  (default " + field.defaultValue + ")";
        text += "\n      " + field.label + ": " + field.rule + '\n';
        if (field.ownChoice)
            text +=
                "      (our own choice: no published source for this rule that we could read)\n";
    }
    return text;
}

}  // namespace barquill::profiles
