// SPDX-License-Identifier: MIT
#pragma once
// A URL's query as name and value pairs, percent-decoded strictly: a client
// that sends "%zz" made a mistake that guessing would only hide.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barquill::service {

struct QueryParameter {
    std::string name;
    std::string value;
};

struct ParsedQuery {
    std::vector<QueryParameter> parameters;  // in the order given
    // The first parameter (its name as sent) whose encoding is malformed.
    std::optional<std::string> malformed;
};

// "%HH" is the byte HH and "+" a space, as forms send them; any other
// percent sign is malformed. Bytes are kept as they are, NUL included.
std::optional<std::string> percentDecode(std::string_view text);

// "a=1&b=&c" gives a = "1", b = "" and c = "".
ParsedQuery parseQuery(std::string_view query);

}  // namespace barquill::service
