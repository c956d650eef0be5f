// SPDX-License-Identifier: MIT
#pragma once
// The API's JSON bodies, read flat: the members of the body's object with
// each value as the bytes sent, and an object of options whose values are
// strings, numbers or booleans. Nothing nested is built or re-written: a
// value's own reader (the library's, for a profile's fields) reads it, with
// its own bounds.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/query.h"

namespace barquill::service {

struct JsonMember {
    std::string key;         // decoded
    std::string_view value;  // as sent, without the blanks around it
};

// The members of the one JSON object that is `text`, in order; nothing when
// the text is no object. A nested value is stepped over by counting its
// open brackets, so its depth costs neither memory nor stack; whether it
// is well formed is for its reader to say.
std::optional<std::vector<JsonMember>> objectMembers(std::string_view text);

// The string that is the whole of `value`, decoded; nothing otherwise.
std::optional<std::string> jsonString(std::string_view value);

// An object of options as the query would spell them (true, 2.5, "x"), or
// the key whose value is not a string, a number or a boolean ("" when the
// text is no object).
struct JsonOptions {
    std::vector<QueryParameter> options;
    std::optional<std::string> refused;
};
JsonOptions jsonOptions(std::string_view text);

}  // namespace barquill::service
