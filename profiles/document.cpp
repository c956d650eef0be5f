// SPDX-License-Identifier: MIT
// Schemes whose data is one document the user supplies: its bytes go into
// the symbol as they are.

#include "encoder/charset.h"
#include "profiles/builders.h"
#include "profiles/field_set.h"

namespace barquill::profiles {

namespace {

// Text that reads as UTF-8 and is not plain ASCII was most likely saved as
// UTF-8, where the scheme's readers expect one byte per character.
bool looksUtf8(const std::string& data) {
    return !encoder::isAscii(data) && encoder::defaultTextEci(data) == encoder::ECI_UTF8;
}

}  // namespace

BuildResult buildDocument(const Profile& profile, const FieldValues& values, const BuildChoices&) {
    const FieldSet fields(values);
    if (auto unknown = unknownKey(profile, fields)) return *unknown;
    const FieldDefinition& definition = fieldDefinition(profile, "data");
    auto data = fieldValue(definition, fields);
    if (!data) return data.error();
    Built built;
    built.bytes = std::move(data).value();
    built.settings = profile.settings;
    built.eci = profile.settings.eci;
    if (profile.settings.charset == "ISO-8859-1" && looksUtf8(built.bytes))
        built.warnings.push_back({WarningCode::dataLooksUtf8, definition.key, 0, 0, 0});
    return built;
}

}  // namespace barquill::profiles
