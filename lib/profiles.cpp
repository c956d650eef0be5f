// SPDX-License-Identifier: MIT
// Application profiles through the one path: the scheme's data built from
// its fields, its settings laid over the user's, and what breaks it refused
// or, relaxed, warned about.

#include "barquill/profiles.hpp"

#include <algorithm>
#include <cmath>

#include "lib/internal.h"
#include "profiles/aamva.h"
#include "profiles/profiles.h"

namespace barquill {

namespace {

ProfileInfo infoOf(const profiles::Profile& profile) {
    ProfileInfo info{profile.name, profile.title, profiles::describeSettings(profile.settings), {}};
    for (const profiles::FieldDefinition& f : profile.fields)
        info.fields.push_back({f.key, f.label, f.rule, f.required, f.defaultValue, f.maxLength,
                               f.kind == profiles::FieldKind::document,
                               f.kind == profiles::FieldKind::pattern});
    return info;
}

Error fieldError(const profiles::ProfileError& e) {
    Error error;
    error.code = ErrorCode::invalidField;
    error.field = e.field;
    error.given = e.rule;
    error.other = profiles::describe(e);
    error.value = static_cast<long>(e.position);
    error.needed = e.length;
    error.available = e.limit;
    error.minimum = e.minimum;
    error.character = e.character;
    finishMessage(error);
    return error;
}

Error unknownProfile(std::string_view name) {
    Error error;
    error.code = ErrorCode::invalidOption;
    error.field = "profile";
    error.given = name;
    error.message = "there is no profile " + std::string(name) + "; known are ";
    for (const profiles::Profile& p : profiles::profiles())
        error.message += (&p == &profiles::profiles().front() ? "" : ", ") + p.name;
    return error;
}

Warning warningOf(const profiles::Warning& w) {
    Warning warning;
    warning.id = warningId(static_cast<WarningKind>(static_cast<int>(WarningKind::transliterated) +
                                                    static_cast<int>(w.code)));
    warning.message = profiles::describe(w);
    warning.value = w.value;
    warning.limit = w.limit;
    return warning;
}

bool given(const ProfileRequest& request, std::string_view name) {
    return std::find(request.given.begin(), request.given.end(), name) != request.given.end();
}

// The user's settings as the profile's rules see them: only those given.
profiles::UserSettings userSettings(const ProfileRequest& request, const Settings& settings,
                                    const ModuleSize& size) {
    profiles::UserSettings user;
    if (given(request, "level")) user.level = settings.options.level;
    if (given(request, "columns")) user.columns = settings.options.columns;
    if (given(request, "compact")) user.compact = settings.options.compact;
    if (given(request, "compaction"))
        user.compaction = settings.options.compaction == Compaction::byte
                              ? profiles::Compaction::byte
                              : profiles::Compaction::automatic;
    if (given(request, "row-height"))
        user.rowHeightModules = static_cast<double>(size.rowHeight) / size.moduleWidth;
    if (given(request, "margin") && size.dpi > 0)
        user.quietZoneInches = static_cast<double>(settings.quietZone) / size.dpi;
    if (given(request, "charset")) user.charset = settings.options.charset;
    if (given(request, "eci")) user.eci = settings.options.eci;
    return user;
}

const char* settingName(profiles::Setting setting) {
    switch (setting) {
        case profiles::Setting::level:
            return "level";
        case profiles::Setting::columns:
            return "columns";
        case profiles::Setting::compact:
            return "compact";
        case profiles::Setting::compaction:
            return "compaction";
        case profiles::Setting::rowHeight:
            return "rowHeight";
        case profiles::Setting::quietZone:
            return "quietZone";
        case profiles::Setting::macro:
            return "split";
        case profiles::Setting::charset:
            return "charset";
        case profiles::Setting::eci:
            return "eci";
    }
    return "";
}

// The profile's settings over the user's: what the user gave stays (it was
// checked against the scheme), the rest is the scheme's.
void apply(const profiles::Built& built, const ProfileRequest& request, const ModuleSize& size,
           Settings& settings) {
    const profiles::ProfileSettings& fixed = built.settings;
    if (fixed.level >= 0 && !given(request, "level")) {
        settings.options.level = fixed.level;
        settings.options.fillLevel = false;
    }
    if (fixed.columns > 0 && !given(request, "columns")) settings.options.columns = fixed.columns;
    if (fixed.byteCompaction && !given(request, "compaction"))
        settings.options.compaction = Compaction::byte;
    if (fixed.neverCompact && !given(request, "compact")) settings.options.compact = false;
    if (fixed.rowHeightModules > 0 && !given(request, "row-height"))
        settings.size.rowHeight = fixed.rowHeightModules * size.moduleWidth;
    // The quiet zone is a length on paper: only a resolution makes it pixels.
    if (fixed.quietZoneInches > 0 && size.dpi > 0 && !given(request, "margin"))
        settings.quietZone = std::max(
            settings.quietZone, static_cast<int>(std::ceil(fixed.quietZoneInches * size.dpi)));
    if (fixed.splitIntoMacro) settings.split = true;
    // The data is final bytes in the scheme's set: no escapes, no
    // conversion, its ECI.
    settings.escapes = false;
    settings.stripNewline = false;
    settings.options.charset = std::string(rawBytes);
    settings.options.eci = built.eci;
}

}  // namespace

std::vector<ProfileInfo> availableProfiles() {
    std::vector<ProfileInfo> infos;
    for (const profiles::Profile& profile : profiles::profiles()) infos.push_back(infoOf(profile));
    return infos;
}

std::optional<ProfileInfo> findProfile(std::string_view name) {
    const profiles::Profile* profile = profiles::findProfile(name);
    if (profile == nullptr) return std::nullopt;
    return infoOf(*profile);
}

std::string profileListText() {
    return profiles::profileList();
}

std::string profileHelpText(std::string_view name) {
    const profiles::Profile* profile = profiles::findProfile(name);
    return profile != nullptr ? profiles::fieldHelp(*profile) : std::string();
}

Result<Fields> parseFieldsJson(std::string_view json) {
    auto parsed = profiles::parseFieldsJson(json);
    if (!parsed) {
        Error error = fieldError(parsed.error());
        error.value = parsed.error().line;
        error.needed = static_cast<long>(parsed.error().position);
        return error;
    }
    return Fields(parsed.value().begin(), parsed.value().end());
}

std::vector<FieldsLine> parseFieldsJsonLines(std::string_view text) {
    std::vector<FieldsLine> lines;
    for (profiles::FieldsRecord& record : profiles::parseFieldsJsonLines(text)) {
        FieldsLine line;
        line.line = record.line;
        if (record.fields) line.fields = Fields(record.fields->begin(), record.fields->end());
        if (record.error) line.error = fieldError(*record.error);
        lines.push_back(std::move(line));
    }
    return lines;
}

Result<ProfileData> buildProfile(const ProfileRequest& request, const Settings& settings) {
    const profiles::Profile* profile = profiles::findProfile(request.profile);
    if (profile == nullptr) return unknownProfile(request.profile);
    profiles::BuildChoices choices;
    if (!request.charset.empty()) {
        // The settings' own name for ASCII is the scheme's too.
        const auto charset = profiles::findHub3Charset(
            request.charset == "US-ASCII" ? std::string_view("ASCII") : request.charset);
        if (!charset || profile->name != "hub3") {
            Error error;
            error.code = ErrorCode::invalidOption;
            error.field = "charset";
            error.given = request.charset;
            error.message = "the " + profile->name + " profile takes no character set " +
                            request.charset +
                            (profile->name == "hub3" ? ": give ISO-8859-2, UTF-8 or ASCII"
                                                     : ": its data's set is fixed");
            return error;
        }
        choices.hub3Charset = *charset;
    }
    auto sized = sizeModules(settings.size);
    if (!sized) return sized.error();

    ProfileData made{{}, settings, {}};
    for (const profiles::SettingConflict& conflict :
         profiles::checkSettings(*profile, userSettings(request, settings, sized->size), choices)) {
        if (!request.relaxed) {
            Error error;
            error.code = ErrorCode::profileConflict;
            error.field = settingName(conflict.setting);
            error.given = conflict.rule;
            error.other = profiles::describe(conflict);
            finishMessage(error);
            return error;
        }
        Warning warning;
        warning.id = "profile-rule";
        warning.message = profiles::describe(conflict);
        warning.change =
            "leave the setting to the profile, or accept that the symbol breaks the scheme";
        warning.value = conflict.given;
        warning.limit = conflict.required;
        made.warnings.push_back(std::move(warning));
    }
    auto built = profiles::build(*profile, request.fields, choices);
    if (!built) return fieldError(built.error());
    made.data = std::move(built.value().bytes);
    apply(built.value(), request, sized->size, made.settings);
    for (const profiles::Warning& warning : built.value().warnings)
        made.warnings.push_back(warningOf(warning));
    if (sized->size.dpi > 0 && settings.size.moduleMm) {
        const auto moduleMm = dotsToMm(sized->size.moduleWidth, sized->size.dpi);
        const int rowDots = made.settings.size.rowHeight.value_or(sized->size.rowHeight);
        for (const profiles::Warning& warning :
             profiles::checkPrintSize(*profile, moduleMm, dotsToMm(rowDots, sized->size.dpi)))
            made.warnings.push_back(warningOf(warning));
    }
    return made;
}

Result<Label> makeProfileLabel(const ProfileRequest& request, const Settings& settings) {
    auto made = buildProfile(request, settings);
    if (!made) return made.error();
    auto label = makeLabelOf(made->data, DataKind::scheme, made->settings);
    if (!label) return label.error();
    Label result = std::move(label).value();
    result.warnings.insert(result.warnings.begin(), made->warnings.begin(), made->warnings.end());
    return result;
}

Result<std::string> explainAamvaData(std::string_view data) {
    auto parsed = profiles::parseAamva(data);
    if (!parsed) return fieldError(parsed.error());
    return profiles::explainAamva(parsed.value());
}

}  // namespace barquill
