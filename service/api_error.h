// SPDX-License-Identifier: MIT
#pragma once
// The service's refusals: every library error and every refusal of the
// service's own, each with its HTTP status from one table, and the JSON
// body clients read.

#include <optional>
#include <string>
#include <string_view>

#include "barquill/errors.hpp"

namespace barquill::service {

// Refusals that come from HTTP, not from the library.
enum class Refusal : int {
    malformedQuery,        // a percent sign without two hexadecimal digits
    repeatedParameter,     // a query parameter or option given twice
    notServed,             // an option about files, which the service does not write
    invalidJson,           // the body is not the JSON object the API takes
    unsupportedMediaType,  // a content type or character set the API does not take
    bodyTooLarge,          // `needed` bytes sent, `available` allowed
    urlTooLong,
    headersTooLarge,
    tooManySymbols,  // the data needs a series of `needed` symbols; one file holds one
    notFound,
    methodNotAllowed,
    overloaded,  // the queue is full; come back after Retry-After
    // HTTP/1.1 without exactly one Host header
    missingHost,
    // a request target with a space or a control byte
    invalidTarget,
    // Content-Length and Transfer-Encoding that leave the body's end in doubt
    ambiguousLength,
    // a transfer coding other than chunked, named in `field`
    unsupportedTransferCoding,
    // the picture has `needed` pixels, `available` allowed
    pictureTooLarge,
    // the symbol does not read back in the colours asked for
    unreadableColours,
    internal,
};

// What a client is told: the status, a stable code, the query parameter at
// fault as the client spelt it, and the numbers behind it.
struct ApiError {
    int status = 500;
    std::string code;
    std::string field;
    std::string message;
    std::optional<long> needed;
    std::optional<long> available;
};

ApiError apiError(Refusal refusal, std::string field = {}, std::optional<long> needed = {},
                  std::optional<long> available = {});

// A library error, its field named as the query names the setting.
ApiError apiError(const Error& error);

// The status of a library error code, from the same table.
int statusOf(ErrorCode code);

// {"error": {"code": ..., "field": ..., "message": ..., "needed": ..., "available": ...}}
std::string errorJson(const ApiError& error);

}  // namespace barquill::service
