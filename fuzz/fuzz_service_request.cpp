// SPDX-License-Identifier: MIT
// The service's request parsing on any bytes: the query, a JSON body's
// members (each value a part of the body, whatever it nests), and the
// requests of both endpoints built from them. No crash, and a refusal
// always says what it refuses.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <variant>

#include "service/json_body.h"
#include "service/label_request.h"
#include "service/query.h"

namespace {

using namespace barquill::service;

template <class T>
void checkAnswer(const Answer<T>& answer) {
    if (const auto* error = std::get_if<ApiError>(&answer))
        if (error->code.empty() || error->status < 400 || error->message.empty()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider input(bytes, size);
    const std::string queryText = input.ConsumeRandomLengthString(256);
    const std::string body = input.ConsumeRemainingBytesAsString();

    const ParsedQuery query = parseQuery(queryText);
    if (const auto members = objectMembers(body))
        for (const JsonMember& member : *members)
            if (member.value.empty() || member.value.data() < body.data() ||
                member.value.data() + member.value.size() > body.data() + body.size())
                std::abort();
    (void)jsonOptions(body);
    checkAnswer(profileRequest("hub3", query.parameters, body));
    checkAnswer(profileRequest("", query.parameters, body));
    checkAnswer(requestFromBody("application/json", body, query.parameters));
    checkAnswer(requestFromBody("text/plain; charset=utf-8", body, query.parameters));
    return 0;
}
