// SPDX-License-Identifier: MIT
// JSON fields nested to any depth: a value as deep as a profile may go is
// read with its whole joined key, one level deeper is refused naming that
// key and the limit, and a key past its bound is refused however deep.
// The raw bytes are read as JSON too, for crashes and for what an accepted
// text may hold.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "profiles/profiles.h"

namespace {

using namespace barquill::profiles;

void checkAny(std::string_view text) {
    const auto fields = parseFieldsJson(text);
    if (fields.ok()) {
        for (const auto& [key, value] : *fields)
            if (key.size() > maxJsonKeyBytes) std::abort();
        return;
    }
    const ProfileError& error = fields.error();
    if (error.code == ProfileErrorCode::jsonTooDeep &&
        (error.limit != maxJsonDepth || error.length != maxJsonDepth + 1 || error.field.empty()))
        std::abort();
    if (error.code == ProfileErrorCode::jsonKeyTooLong &&
        (error.length <= static_cast<long>(maxJsonKeyBytes) ||
         error.limit != static_cast<long>(maxJsonKeyBytes)))
        std::abort();
}

// {"k": L1 L2 ... value ...}: each level an array or an object with one
// short key, so the joined key is known and stays within its bound unless
// a long key is asked for.
void checkNested(FuzzedDataProvider& input) {
    const int levels = input.ConsumeIntegralInRange(0, 3 * maxJsonDepth);
    const bool longKey = input.ConsumeBool();
    std::string open = "{\"k\":", close = "}", key = "k";
    for (int level = 0; level < levels; ++level) {
        if (input.ConsumeBool()) {
            open += "[";
            close.insert(0, "]");
            key += ".0";
        } else {
            const std::string name(
                longKey && level == 0 ? maxJsonKeyBytes : static_cast<std::size_t>(1 + level % 3),
                static_cast<char>('a' + level % 26));
            open += "{\"" + name + "\":";
            close.insert(0, "}");
            key += "." + name;
        }
    }
    const int value = input.ConsumeIntegral<int>();
    const std::string text = open + std::to_string(value) + close;
    const auto fields = parseFieldsJson(text);
    const bool tooDeep = levels + 1 > maxJsonDepth;
    const bool tooLong = key.size() > maxJsonKeyBytes;
    if (!tooDeep && !tooLong) {
        if (!fields.ok() || fields->size() != 1 || fields->front().first != key ||
            fields->front().second != std::to_string(value))
            std::abort();
        return;
    }
    if (fields.ok()) std::abort();
    const ProfileError& error = fields.error();
    if (error.code != ProfileErrorCode::jsonTooDeep &&
        error.code != ProfileErrorCode::jsonKeyTooLong)
        std::abort();
    // Too deep is named by the key of the level that could not open.
    if (error.code == ProfileErrorCode::jsonTooDeep && !key.starts_with(error.field)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    checkAny(std::string_view(reinterpret_cast<const char*>(bytes), size));
    FuzzedDataProvider input(bytes, size);
    checkNested(input);
    return 0;
}
