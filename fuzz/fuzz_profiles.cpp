// SPDX-License-Identifier: MIT
// Profiles with any fields: no crash, a refusal names its field, and every
// AAMVA card built reads back. Any bytes read as JSON and as AAMVA data: no
// crash, errors point inside.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "profiles/aamva.h"
#include "profiles/profiles.h"

namespace {

using namespace barquill::profiles;

// Keys worth trying besides each profile's own.
const char* const extraKeys[] = {"DL.DAH",      "ID.DCS",     "ZC.ZCA",    "dl.X",    "DL.DBB",
                                 "legs.1.from", "legs.3.pnr", "legs.9.to", "legs..x", "data"};

std::string pickKey(FuzzedDataProvider& input, const Profile& profile) {
    const std::size_t own = profile.fields.size();
    const std::size_t choice =
        input.ConsumeIntegralInRange<std::size_t>(0, own + std::size(extraKeys));
    if (choice < own) return profile.fields[choice].key;
    if (choice < own + std::size(extraKeys)) return extraKeys[choice - own];
    return input.ConsumeRandomLengthString(12);
}

void checkJson(std::string_view text) {
    const auto fields = parseFieldsJson(text);
    if (fields.ok()) return;
    const ProfileError& error = fields.error();
    if (error.code == ProfileErrorCode::jsonSyntax &&
        (error.line < 1 || error.position < 1 || error.position > text.size() + 1))
        std::abort();
}

void checkAamvaData(std::string_view data) {
    const auto card = parseAamva(data);
    if (!card.ok() && (card.error().position < 1 || card.error().position > data.size() + 1))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(bytes), size);
    checkJson(raw);
    checkAamvaData(raw);

    FuzzedDataProvider input(bytes, size);
    const auto& all = profiles();
    const Profile& profile = all[input.ConsumeIntegralInRange<std::size_t>(0, all.size() - 1)];
    BuildChoices choices;
    choices.hub3Charset =
        input.PickValueInArray({Hub3Charset::iso8859_2, Hub3Charset::utf8, Hub3Charset::ascii});
    FieldValues fields;
    const int count = input.ConsumeIntegralInRange(0, 40);
    for (int i = 0; i < count && input.remaining_bytes() > 0; ++i) {
        std::string key = pickKey(input, profile);
        fields.emplace_back(std::move(key), input.ConsumeRandomLengthString(64));
    }
    const auto built = build(profile, fields, choices);
    if (!built.ok()) {
        // Only an unknown key may be empty.
        if (built.error().field.empty() && built.error().code != ProfileErrorCode::unknownField)
            std::abort();
        return 0;
    }
    if (profile.name == "aamva") {
        const auto card = parseAamva(built->bytes);
        if (!card.ok()) std::abort();
    }
    return 0;
}
