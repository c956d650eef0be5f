// SPDX-License-Identifier: MIT
// The symbol settings a scheme requires, and the user's settings that break
// them.

#include "profiles/setting_rules.h"

#include <cctype>
#include <cmath>

#include "base/number_text.h"
#include "profiles/builders.h"

namespace barquill::profiles {

namespace {

// Row heights and quiet zones come from pixel counts and resolutions.
constexpr double tolerance = 1e-6;

std::string normalised(std::string_view name) {
    std::string key;
    for (char c : name)
        if (c != '-' && c != '_')
            key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key == "ASCII" ? "USASCII" : key;
}

std::string phraseOf(const std::vector<SettingRule>& rules, Setting setting) {
    for (const SettingRule& rule : rules)
        if (rule.setting == setting) return rule.phrase;
    return {};
}

}  // namespace

std::vector<SettingRule> settingRules(const ProfileSettings& settings) {
    std::vector<SettingRule> rules;
    if (settings.level >= 0)
        rules.push_back(
            {Setting::level, "error-correction level " + std::to_string(settings.level)});
    if (settings.columns > 0)
        rules.push_back({Setting::columns, std::to_string(settings.columns) + " data columns"});
    if (settings.neverCompact) rules.push_back({Setting::compact, "a full symbol, never compact"});
    if (settings.byteCompaction) rules.push_back({Setting::compaction, "byte compaction only"});
    if (settings.rowHeightModules > 0)
        rules.push_back({Setting::rowHeight, "rows " + std::to_string(settings.rowHeightModules) +
                                                 " module widths high"});
    if (settings.quietZoneInches > 0)
        rules.push_back({Setting::quietZone, "a quiet zone of at least " +
                                                 numberText(settings.quietZoneInches) +
                                                 " in on every side"});
    if (settings.splitIntoMacro)
        rules.push_back(
            {Setting::macro, "a Macro PDF417 series when one symbol cannot hold the data"});
    if (!settings.charset.empty()) {
        rules.push_back({Setting::charset, "data in " + settings.charset});
        rules.push_back({Setting::eci, settings.eci >= 0 ? "ECI " + std::to_string(settings.eci)
                                                         : "no ECI designator"});
    }
    return rules;
}

ProfileSettings chosenSettings(const Profile& profile, const BuildChoices& choices) {
    if (profile.builder == buildHub3) return hub3Settings(profile.settings, choices.hub3Charset);
    return profile.settings;
}

std::string describeSettings(const ProfileSettings& settings) {
    std::string text;
    for (const SettingRule& rule : settingRules(settings))
        text += (text.empty() ? "" : ", ") + rule.phrase;
    return text.empty() ? "none: the symbol is the user's choice" : text;
}

std::vector<SettingConflict> checkSettings(const Profile& profile, const UserSettings& user,
                                           const BuildChoices& choices) {
    const ProfileSettings required = chosenSettings(profile, choices);
    const std::vector<SettingRule> rules = settingRules(required);
    std::vector<SettingConflict> conflicts;
    auto conflict = [&](Setting setting, double given, double wanted) {
        conflicts.push_back({setting, phraseOf(rules, setting), given, wanted});
    };
    if (user.level && required.level >= 0 && *user.level != required.level)
        conflict(Setting::level, *user.level, required.level);
    if (user.columns && required.columns > 0 && *user.columns != required.columns)
        conflict(Setting::columns, *user.columns, required.columns);
    if (user.compact.value_or(false) && required.neverCompact) conflict(Setting::compact, 1, 0);
    if (user.compaction && required.byteCompaction && *user.compaction != Compaction::byte)
        conflict(Setting::compaction, static_cast<double>(*user.compaction),
                 static_cast<double>(Compaction::byte));
    if (user.rowHeightModules && required.rowHeightModules > 0 &&
        std::abs(*user.rowHeightModules - required.rowHeightModules) > tolerance)
        conflict(Setting::rowHeight, *user.rowHeightModules, required.rowHeightModules);
    if (user.quietZoneInches && required.quietZoneInches > 0 &&
        *user.quietZoneInches < required.quietZoneInches - tolerance)
        conflict(Setting::quietZone, *user.quietZoneInches, required.quietZoneInches);
    if (!required.charset.empty()) {
        // Another set would convert or mislabel bytes the scheme fixes.
        if (!user.charset.empty() && normalised(user.charset) != normalised(required.charset))
            conflict(Setting::charset, 0, 0);
        if (user.eci && *user.eci != required.eci) conflict(Setting::eci, *user.eci, required.eci);
    }
    return conflicts;
}

}  // namespace barquill::profiles
