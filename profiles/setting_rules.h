// SPDX-License-Identifier: MIT
#pragma once
// The rules a profile's settings set for the symbol, each a phrase.

#include <string>
#include <utility>
#include <vector>

#include "profiles/profiles.h"

namespace barquill::profiles {

struct SettingRule {
    Setting setting;
    std::string phrase;  // e.g. "error-correction level 4"
};

std::vector<SettingRule> settingRules(const ProfileSettings& settings);

// The profile's settings with the user's choices applied.
ProfileSettings chosenSettings(const Profile& profile, const BuildChoices& choices);

}  // namespace barquill::profiles
