// SPDX-License-Identifier: MIT
#include "service/api_error.h"

#include <array>
#include <nlohmann/json.hpp>

#include "barquill/settings.hpp"

namespace barquill::service {

namespace {

struct LibraryRow {
    ErrorCode code;
    std::string_view name;
    int status;
};

// Bad options or data are the client's to mend (400); data that is well
// formed but does not fit a symbol is 422; a symbol that does not read back
// is ours (500).
constexpr std::array libraryRows{
    LibraryRow{ErrorCode::emptyData, "emptyData", 400},
    LibraryRow{ErrorCode::dataTooLong, "dataTooLong", 422},
    LibraryRow{ErrorCode::columnsDoNotFit, "columnsDoNotFit", 422},
    LibraryRow{ErrorCode::shapeDoesNotFit, "shapeDoesNotFit", 422},
    LibraryRow{ErrorCode::invalidText, "invalidText", 400},
    LibraryRow{ErrorCode::invalidEscape, "invalidEscape", 400},
    LibraryRow{ErrorCode::invalidOption, "invalidOption", 400},
    LibraryRow{ErrorCode::invalidRender, "invalidRender", 400},
    LibraryRow{ErrorCode::conflictingOptions, "conflictingOptions", 400},
    LibraryRow{ErrorCode::missingOption, "missingOption", 400},
    LibraryRow{ErrorCode::labelTooSmall, "labelTooSmall", 422},
    LibraryRow{ErrorCode::seriesTooShort, "seriesTooShort", 422},
    LibraryRow{ErrorCode::notOnPage, "notOnPage", 400},
    LibraryRow{ErrorCode::notExpressible, "notExpressible", 422},
    LibraryRow{ErrorCode::invalidField, "invalidField", 422},
    LibraryRow{ErrorCode::profileConflict, "profileConflict", 400},
    LibraryRow{ErrorCode::renderFailed, "renderFailed", 500},
    LibraryRow{ErrorCode::writeFailed, "writeFailed", 500},
    LibraryRow{ErrorCode::readOnly, "readOnly", 500},
    LibraryRow{ErrorCode::notVerified, "notVerified", 500},
    LibraryRow{ErrorCode::verifyUnavailable, "verifyUnavailable", 501},
    LibraryRow{ErrorCode::outsideFolder, "outsideFolder", 500},
    LibraryRow{ErrorCode::invalidArgument, "invalidArgument", 500},
    LibraryRow{ErrorCode::outOfMemory, "outOfMemory", 503},
};

struct RefusalRow {
    Refusal refusal;
    std::string_view name;
    int status;
    std::string_view message;
    bool namesField;  // the message ends with the field at fault
};

constexpr std::array refusalRows{
    RefusalRow{Refusal::malformedQuery, "malformedQuery", 400,
               "a percent sign must be followed by two hexadecimal digits in", true},
    RefusalRow{Refusal::repeatedParameter, "repeatedParameter", 400, "give only once:", true},
    RefusalRow{Refusal::notServed, "notServed", 400, "the service writes no files; leave out",
               true},
    RefusalRow{Refusal::invalidJson, "invalidJson", 400,
               "the body must be a JSON object with data or data_base64 and options", false},
    RefusalRow{Refusal::unsupportedMediaType, "unsupportedMediaType", 415,
               "send application/octet-stream, text/plain (UTF-8, US-ASCII or ISO-8859-1) or "
               "application/json, not",
               true},
    RefusalRow{Refusal::bodyTooLarge, "bodyTooLarge", 413, "the body is larger than the limit",
               false},
    RefusalRow{Refusal::urlTooLong, "urlTooLong", 414, "the URL is longer than the limit", false},
    RefusalRow{Refusal::headersTooLarge, "headersTooLarge", 431, "the headers are too large",
               false},
    RefusalRow{Refusal::tooManySymbols, "tooManySymbols", 422,
               "the data makes a series of several symbols and a response holds one", false},
    RefusalRow{Refusal::notFound, "notFound", 404, "no such resource", false},
    RefusalRow{Refusal::methodNotAllowed, "methodNotAllowed", 405,
               "this resource does not take this method", false},
    RefusalRow{Refusal::overloaded, "overloaded", 503, "the service is busy; try again shortly",
               false},
    RefusalRow{Refusal::missingHost, "missingHost", 400,
               "an HTTP/1.1 request needs exactly one Host header", false},
    RefusalRow{Refusal::invalidTarget, "invalidTarget", 400,
               "the request target holds a space or a control byte; percent-encode it", false},
    RefusalRow{Refusal::ambiguousLength, "ambiguousLength", 400,
               "the body's length is in doubt: send one Content-Length, or Transfer-Encoding: "
               "chunked without Content-Length",
               false},
    RefusalRow{Refusal::unsupportedTransferCoding, "unsupportedTransferCoding", 501,
               "the only transfer coding taken is chunked, not", true},
    RefusalRow{Refusal::pictureTooLarge, "pictureTooLarge", 422,
               "the picture has more pixels than the limit: make module-width, row-height or "
               "margin smaller",
               false},
    RefusalRow{Refusal::unreadableColours, "unreadableColours", 422,
               "readers cannot tell these bars from this background: use dark bars on a light "
               "background",
               false},
    RefusalRow{Refusal::internal, "internal", 500, "the service failed", false},
};

// The setting's name as the query spells it ("margin" for quietZone); data
// errors name the data.
std::string queryName(std::string_view field) {
    if (field.empty()) return "data";
    for (const SettingInfo& setting : settingTable())
        if (setting.field == field) return std::string(setting.name);
    return std::string(field);
}

}  // namespace

ApiError apiError(Refusal refusal, std::string field, std::optional<long> needed,
                  std::optional<long> available) {
    ApiError error;
    for (const RefusalRow& row : refusalRows) {
        if (row.refusal != refusal) continue;
        error.status = row.status;
        error.code = row.name;
        error.message = row.message;
        if (row.namesField && !field.empty()) error.message += " " + field;
    }
    if (needed && available)
        error.message +=
            " (" + std::to_string(*needed) + ", at most " + std::to_string(*available) + ")";
    error.field = std::move(field);
    error.needed = needed;
    error.available = available;
    return error;
}

ApiError apiError(const Error& error) {
    ApiError result;
    result.status = statusOf(error.code);
    result.code = "internal";
    for (const LibraryRow& row : libraryRows)
        if (row.code == error.code) result.code = row.name;
    result.field = queryName(error.field);
    switch (error.code) {
        case ErrorCode::conflictingOptions:
            result.message =
                "give " + result.field + " or " + queryName(error.other) + ", not both";
            break;
        case ErrorCode::missingOption:
            result.message = result.field + " needs " + queryName(error.other);
            break;
        case ErrorCode::invalidOption:
        case ErrorCode::renderFailed:
            // The settings table words its refusals with the query's names
            // already; a picture that cannot be made says why.
            result.message = error.message.empty() ? describe(error, result.field) : error.message;
            break;
        default:
            result.message = describe(error, result.field);
    }
    if (error.needed != 0 || error.available != 0) {
        result.needed = error.needed;
        result.available = error.available;
    }
    return result;
}

int statusOf(ErrorCode code) {
    for (const LibraryRow& row : libraryRows)
        if (row.code == code) return row.status;
    return 500;
}

std::string errorJson(const ApiError& error) {
    // Keys in the order people read them.
    using json = nlohmann::ordered_json;
    const auto number = [](const std::optional<long>& value) {
        return value ? json(*value) : json(nullptr);
    };
    const json body = {{"error",
                        {{"code", error.code},
                         {"field", error.field.empty() ? json(nullptr) : json(error.field)},
                         {"message", error.message},
                         {"needed", number(error.needed)},
                         {"available", number(error.available)}}}};
    // A message may quote what the client sent, which need not be UTF-8.
    return body.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace barquill::service
