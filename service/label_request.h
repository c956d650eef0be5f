// SPDX-License-Identifier: MIT
#pragma once
// From an HTTP request's query and body to the label's file: the data, the
// options by the settings table's names, and the file in its format. No
// sockets here, so tests call it directly.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "barquill/profiles.hpp"
#include "barquill/render.hpp"
#include "service/api_error.h"
#include "service/query.h"

namespace barquill::service {

struct LabelRequest {
    std::vector<QueryParameter> options;  // by the settings table's names, as given
    std::string data;
    bool text = true;  // typed text in UTF-8, else bytes as they are
    // An application profile: its name, and the fields it builds the data of.
    std::string profile;
    Fields fields;
};

struct LabelFile {
    Bytes bytes;
    std::string_view mediaType;
    std::string entityTag;
    int rows = 0;
    int columns = 0;
    int level = 0;
    // The same request gives the same bytes, unless it asks for the time of day.
    bool immutable = true;
    // The scan warnings' ids, ", " between them; empty when there are none.
    std::string warnings;
};

template <class T>
using Answer = std::variant<T, ApiError>;

// /v1/profiles/NAME: a query parameter that names a setting is an option,
// every other a field of the profile; a POST body is JSON {"fields": {...},
// "options": {...}}.
Answer<LabelRequest> profileRequest(std::string_view name, const std::vector<QueryParameter>& query,
                                    std::string_view body);

// GET: the data and the options in the query.
Answer<LabelRequest> requestFromQuery(const std::vector<QueryParameter>& query);

// POST: the data in the body (application/octet-stream bytes, text/plain
// text, or application/json {"data" | "data_base64", "options"}), options
// in the query too.
Answer<LabelRequest> requestFromBody(std::string_view contentType, std::string_view body,
                                     const std::vector<QueryParameter>& query);

// The label's one file; verification as `verifyByDefault` unless the
// request says otherwise. A picture over `maxPixels` (quiet zone included)
// is refused before it is drawn; a symbol that does not read back in the
// colours asked for is the client's to mend (422), not the service's fault.
Answer<LabelFile> makeLabelFile(const LabelRequest& request, bool verifyByDefault, long maxPixels);

}  // namespace barquill::service
