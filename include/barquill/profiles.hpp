// SPDX-License-Identifier: MIT
#pragma once
// Application profiles: the symbols that laws and industries mandate
// (payment slips, driving licences, boarding passes, tax stamps). A profile
// fixes the settings its scheme requires, builds the data from named fields
// and refuses what breaks the scheme, naming the field and its rule.
//
//   barquill::ProfileRequest request{.profile = "hub3",
//                                    .fields = {{"amount", "12,50"}, {"iban", "HR12..."}}};
//   auto label = barquill::makeProfileLabel(request, {});

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "barquill/errors.hpp"
#include "barquill/export.h"
#include "barquill/label.hpp"
#include "barquill/settings.hpp"

namespace barquill {

// Fields as given, (key, value) in order; of two with one key the later wins.
using Fields = std::vector<std::pair<std::string, std::string>>;

struct ProfileField {
    std::string key;    // fixed, so scripts can rely on it
    std::string label;  // a short name for people
    std::string rule;   // one line: what the value must be
    bool required = false;
    std::string defaultValue;
    int maxLength = 0;      // bytes, 0 none
    bool document = false;  // the whole data, usually read from a file
    bool pattern = false;   // a family of keys, such as SUBFILE.ID
};

struct ProfileInfo {
    std::string name;      // as the user names it: "hub3"
    std::string title;     // one line for people
    std::string settings;  // what the scheme fixes, in words
    std::vector<ProfileField> fields;
};

// Every profile, in the order lists show them.
BARQUILL_API std::vector<ProfileInfo> availableProfiles();
BARQUILL_API std::optional<ProfileInfo> findProfile(std::string_view name);

// "hub3     Croatian payment slip (HUB-3A)", a line each.
BARQUILL_API std::string profileListText();
// The profile's title, its settings and each field with its rule.
BARQUILL_API std::string profileHelpText(std::string_view name);

// One JSON object of fields: nested objects join their keys with '.',
// arrays add the index (legs.0.from), numbers become their decimal text.
// invalidField with the line in `value` and the column in `needed`.
BARQUILL_API Result<Fields> parseFieldsJson(std::string_view json);

// JSON Lines: one object per line, blank lines skipped.
struct FieldsLine {
    int line = 0;
    std::optional<Fields> fields;  // or:
    std::optional<Error> error;
};
BARQUILL_API std::vector<FieldsLine> parseFieldsJsonLines(std::string_view text);

struct ProfileRequest {
    std::string profile{};
    Fields fields{};
    // A character set the scheme lets the user choose (HUB-3: ISO-8859-2,
    // UTF-8 or ASCII); empty, the scheme's default.
    std::string charset{};
    // The settings the user gave, as the table names them ("level",
    // "columns", "margin", ...): the profile's apply to all others, and a
    // given one that breaks the scheme is refused (profileConflict) unless
    // `relaxed`, which warns ("profile-rule") instead.
    std::vector<std::string> given{};
    bool relaxed = false;
};

// The scheme's data and the settings to encode it with: the profile's over
// `settings`. The data is final bytes (its character set and ECI are in the
// settings); warnings say what the scheme advises against.
struct ProfileData {
    std::string data;
    Settings settings;
    std::vector<Warning> warnings;
};
BARQUILL_API Result<ProfileData> buildProfile(const ProfileRequest& request,
                                              const Settings& settings = {});

// buildProfile, then makeLabel of its data; the warnings of both.
BARQUILL_API Result<Label> makeProfileLabel(const ProfileRequest& request,
                                            const Settings& settings = {});

// An AAMVA driving licence's data read back into its header and elements,
// a line each, for people to check what a card holds.
BARQUILL_API Result<std::string> explainAamvaData(std::string_view data);

}  // namespace barquill
