// SPDX-License-Identifier: MIT
#include "service/server.h"

#include <arpa/inet.h>
#include <iconv.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <new>
#include <optional>
#include <thread>
#include <vector>

#include "barquill/render.hpp"
#include "barquill/symbol.hpp"
#include "barquill/text.hpp"
#include "barquill/verify.hpp"
#include "service/api_error.h"
#include "service/deadline_watch.h"
#include "service/entity_tag.h"
#include "service/label_request.h"
#include "service/metrics.h"
#include "service/page.h"
#include "service/query.h"

namespace barquill::service {

namespace {

using Clock = std::chrono::steady_clock;

// One request from its request line to its answer.
struct Exchange {
    Clock::time_point start = Clock::now();
    std::string uri;  // as sent, before any decoding
    bool seen = false;
    bool answered = false;
    bool bodyTooLarge = false;
    // Answered on the socket itself; the connection ends with it.
    bool closing = false;
    bool counted = false;  // its end is in the metrics
    bool failed = false;   // the service's own failure: the connection ends with its answer
    int status = 0;
    std::string body;
    std::size_t received = 0;
};

// A connection: its socket, and the request it is on. The server library
// does not report the end of every request it has reported the start of (a
// request it refuses itself may end unannounced), so the connection's end
// settles whatever request is left.
struct Link {
    int socket = -1;
    Exchange* exchange = nullptr;
};

Link* linkOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<Link*>(info->socket_context) : nullptr;
}

// A symbol's bytes while the server library sends them.
struct HeldAnswer {
    Server::State* state;
    Bytes bytes;
};

// Bytes of a request target that HTTP does not allow unencoded.
bool hasSpaceOrControl(std::string_view target) {
    return std::any_of(target.begin(), target.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    });
}

// A NUL byte in the target, which the server library's C strings cut the
// target at, so that "?data=a%00b" sent raw as "?data=a\0b" would make
// a symbol of "a". The library keeps the request line in one buffer, the
// target ending one byte before the version starts: a target shorter than
// that span was cut. Pointers that are not so laid out prove nothing.
bool cutAtNul(const Exchange& exchange, const char* url, const char* version) {
    if (!url || !version || version <= url) return false;
    const auto span = static_cast<std::size_t>(version - url) - 1;
    return span > exchange.uri.size() && span <= exchange.uri.size() + 65536 &&
           url[exchange.uri.size()] == '\0';
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool equalFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Every value of a header the request repeats.
std::vector<std::string_view> headerValues(MHD_Connection* connection, std::string_view name) {
    struct Search {
        std::string_view name;
        std::vector<std::string_view> values;
    } search{name, {}};
    MHD_get_connection_values(
        connection, MHD_HEADER_KIND,
        [](void* closure, MHD_ValueKind, const char* key, const char* value) {
            auto* found = static_cast<Search*>(closure);
            if (key && value && equalFolded(key, found->name)) found->values.emplace_back(value);
            return MHD_YES;
        },
        &search);
    return search.values;
}

// RFC 9112's Date, which an answer written on the socket carries as the
// server library's answers do.
std::string httpDate() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    static constexpr const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", days[utc.tm_wday % 7],
                  utc.tm_mday, months[utc.tm_mon % 12], utc.tm_year + 1900, utc.tm_hour, utc.tm_min,
                  utc.tm_sec);
    return text;
}

// The headers every answer carries.
struct Header {
    const char* name;
    std::string value;
};

constexpr const char* apiPath = "/v1/pdf417";
constexpr std::string_view profilesPath = "/v1/profiles/";

}  // namespace

struct Server::State {
    ServerConfig config;
    MHD_Daemon* daemon = nullptr;
    Metrics metrics;
    std::unique_ptr<DeadlineWatch> watch;
    bool verifyByDefault = false;
    std::atomic<bool> draining{false};
    std::atomic<std::size_t> heldBytes{0};
    std::vector<iconv_t> converters;
    std::vector<std::string> notices;

    ~State() {
        if (daemon) MHD_stop_daemon(daemon);
        for (iconv_t converter : converters) iconv_close(converter);
    }

    bool overloaded() const { return watch->openConnections() > config.threads + config.maxQueue; }

    // Sets aside `bytes` of the answers' memory, or says it is spent. One
    // answer is always taken, so a symbol never waits for itself.
    bool holdAnswer(std::size_t bytes) {
        std::size_t held = heldBytes.load();
        do {
            if (held > 0 && held + bytes > config.responseMemory) return false;
        } while (!heldBytes.compare_exchange_weak(held, held + bytes));
        return true;
    }

    static void releaseAnswer(void* closure) {
        auto* held = static_cast<HeldAnswer*>(closure);
        held->state->heldBytes -= held->bytes.size();
        delete held;
    }

    // The end of a request in the metrics, once.
    void finish(Exchange& exchange) {
        if (exchange.counted) return;
        exchange.counted = true;
        const std::chrono::duration<double> seconds = Clock::now() - exchange.start;
        metrics.requestFinished(exchange.status, seconds.count());
    }

    MHD_Result queue(MHD_Connection* connection, Exchange& exchange, int status,
                     MHD_Response* response, std::string_view mediaType,
                     const std::vector<Header>& headers) {
        if (!response) return MHD_NO;
        if (!mediaType.empty())
            MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE,
                                    std::string(mediaType).c_str());
        MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
        for (const Header& header : headers)
            MHD_add_response_header(response, header.name, header.value.c_str());
        // While draining, or over a limit with the body unread, the
        // connection ends with this answer.
        if (draining.load() || exchange.bodyTooLarge || exchange.failed ||
            status == MHD_HTTP_SERVICE_UNAVAILABLE)
            MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
        const MHD_Result queued =
            MHD_queue_response(connection, static_cast<unsigned>(status), response);
        MHD_destroy_response(response);
        exchange.status = status;
        exchange.answered = true;
        return queued;
    }

    MHD_Result answer(MHD_Connection* connection, Exchange& exchange, int status,
                      std::string_view mediaType, std::string_view body,
                      const std::vector<Header>& headers = {}) {
        return queue(connection, exchange, status,
                     MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()),
                                                     MHD_RESPMEM_MUST_COPY),
                     mediaType, headers);
    }

    MHD_Result refuse(MHD_Connection* connection, Exchange& exchange, const ApiError& error,
                      std::vector<Header> headers = {}) {
        headers.push_back({MHD_HTTP_HEADER_CACHE_CONTROL, "no-store"});
        if (error.status == MHD_HTTP_SERVICE_UNAVAILABLE ||
            error.status == MHD_HTTP_TOO_MANY_REQUESTS)
            headers.push_back({MHD_HTTP_HEADER_RETRY_AFTER, "1"});
        return answer(connection, exchange, error.status, "application/json", errorJson(error),
                      headers);
    }

    // A refusal after which the connection cannot go on: a request whose
    // end is in doubt, or one too large for the server library to answer
    // from its own buffer. Written on the socket at once, so it neither
    // waits for a body of unknown length nor needs that buffer; the
    // connection is shut after a grace for the client to read it.
    void refuseAndClose(MHD_Connection* connection, Exchange& exchange, const ApiError& error,
                        bool head) {
        const std::string body = errorJson(error);
        const char* reason = MHD_get_reason_phrase_for(static_cast<unsigned>(error.status));
        std::string text = "HTTP/1.1 " + std::to_string(error.status) + " " + reason +
                           "\r\nDate: " + httpDate() +
                           "\r\nConnection: close\r\nContent-Type: application/json\r\n"
                           "X-Content-Type-Options: nosniff\r\nCache-Control: no-store\r\n"
                           "Content-Length: " +
                           std::to_string(body.size()) + "\r\n\r\n";
        if (!head) text += body;
        if (const Link* link = linkOf(connection)) {
            // Nothing else is written on a connection while it reads a
            // request, and an answer this small fits the socket's buffer.
            std::size_t sent = 0;
            while (sent < text.size()) {
                const ssize_t n = ::send(link->socket, text.data() + sent, text.size() - sent,
                                         MSG_NOSIGNAL | MSG_DONTWAIT);
                if (n <= 0) break;
                sent += static_cast<std::size_t>(n);
            }
            ::shutdown(link->socket, SHUT_WR);
        }
        watch->closeAfter(connection, std::chrono::seconds(1));
        exchange.status = error.status;
        exchange.answered = true;
        exchange.closing = true;
        finish(exchange);
    }

    MHD_Result sendLabel(MHD_Connection* connection, Exchange& exchange,
                         const Answer<LabelRequest>& request, bool get) {
        if (const auto* error = std::get_if<ApiError>(&request))
            return refuse(connection, exchange, *error);
        auto made =
            makeLabelFile(std::get<LabelRequest>(request), verifyByDefault, config.maxPixels);
        if (const auto* error = std::get_if<ApiError>(&made))
            return refuse(connection, exchange, *error);
        LabelFile& file = std::get<LabelFile>(made);
        const std::string cacheControl =
            get && file.immutable ? "public, max-age=31536000, immutable" : "no-store";
        std::vector<Header> headers{
            {MHD_HTTP_HEADER_ETAG, file.entityTag},
            {MHD_HTTP_HEADER_CACHE_CONTROL, cacheControl},
            {"X-Barquill-Rows", std::to_string(file.rows)},
            {"X-Barquill-Columns", std::to_string(file.columns)},
            {"X-Barquill-Level", std::to_string(file.level)},
        };
        if (!file.warnings.empty()) headers.push_back({"X-Barquill-Warnings", file.warnings});
        const char* ifNoneMatch =
            MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_IF_NONE_MATCH);
        if (get && ifNoneMatch && matchesIfNoneMatch(ifNoneMatch, file.entityTag)) {
            metrics.symbolMade();
            return answer(connection, exchange, MHD_HTTP_NOT_MODIFIED, "", "", headers);
        }
        const std::size_t size = file.bytes.size();
        if (!holdAnswer(size)) return refuse(connection, exchange, apiError(Refusal::overloaded));
        metrics.symbolMade();
        // The symbol's own bytes go out, without a copy, and their memory
        // is given back once the client has them.
        auto* held = new HeldAnswer{this, std::move(file.bytes)};
        MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
            size, held->bytes.data(), &releaseAnswer, held);
        if (!response) {
            releaseAnswer(held);
            return MHD_NO;
        }
        return queue(connection, exchange, MHD_HTTP_OK, response, file.mediaType, headers);
    }
    MHD_Result sendPlain(MHD_Connection* connection, Exchange& exchange, std::string_view mediaType,
                         std::string_view body) {
        return answer(connection, exchange, MHD_HTTP_OK, mediaType, body,
                      {{MHD_HTTP_HEADER_CACHE_CONTROL, "no-store"}});
    }

    MHD_Result sendPage(MHD_Connection* connection, Exchange& exchange, const PageFile& file) {
        // The page talks to its own API and loads nothing from elsewhere.
        return answer(connection, exchange, MHD_HTTP_OK, file.mediaType, file.body,
                      {{MHD_HTTP_HEADER_CACHE_CONTROL, "no-cache"},
                       {"Content-Security-Policy",
                        "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' "
                        "blob:; connect-src 'self'; base-uri 'none'; form-action 'none'; "
                        "frame-ancestors 'none'"},
                       {"Referrer-Policy", "no-referrer"}});
    }

    // Where a complete request goes, by its path and method.
    MHD_Result route(MHD_Connection* connection, Exchange& exchange, std::string_view method) {
        const std::string_view uri = exchange.uri;
        const std::size_t question = uri.find('?');
        const std::string_view path = uri.substr(0, question);
        const std::string_view queryText =
            question == std::string_view::npos ? "" : uri.substr(question + 1);
        const bool get = method == MHD_HTTP_METHOD_GET || method == MHD_HTTP_METHOD_HEAD;
        const bool post = method == MHD_HTTP_METHOD_POST;
        const auto notAllowed = [&](const char* allow) {
            return refuse(connection, exchange, apiError(Refusal::methodNotAllowed),
                          {{MHD_HTTP_HEADER_ALLOW, allow}});
        };

        if (path == apiPath) {
            if (!get && !post) return notAllowed("GET, HEAD, POST");
            const ParsedQuery query = parseQuery(queryText);
            if (query.malformed)
                return refuse(connection, exchange,
                              apiError(Refusal::malformedQuery, *query.malformed));
            if (get)
                return sendLabel(connection, exchange, requestFromQuery(query.parameters), true);
            const char* type = MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                           MHD_HTTP_HEADER_CONTENT_TYPE);
            return sendLabel(connection, exchange,
                             requestFromBody(type ? type : "", exchange.body, query.parameters),
                             false);
        }
        if (path.starts_with(profilesPath)) {
            if (!get && !post) return notAllowed("GET, HEAD, POST");
            const ParsedQuery query = parseQuery(queryText);
            if (query.malformed)
                return refuse(connection, exchange,
                              apiError(Refusal::malformedQuery, *query.malformed));
            return sendLabel(
                connection, exchange,
                profileRequest(path.substr(profilesPath.size()), query.parameters,
                               post ? std::string_view(exchange.body) : std::string_view()),
                get);
        }
        const PageFile* page = findPageFile(path);
        const bool known = page || path == "/healthz" || path == "/metrics";
        if (!known) return refuse(connection, exchange, apiError(Refusal::notFound));
        if (!get) return notAllowed("GET, HEAD");
        if (page) return sendPage(connection, exchange, *page);
        if (path == "/healthz")
            return sendPlain(connection, exchange, "text/plain; charset=utf-8", "ok\n");
        return sendPlain(connection, exchange, "text/plain; version=0.0.4; charset=utf-8",
                         metrics.text());
    }

    // Refusals that end the connection, before anything else: a request
    // too large to answer from the server library's buffer, a target with
    // bytes HTTP does not allow, a missing or repeated Host, and a body
    // whose end is in doubt (RFC 9112: 400, and 501 for a transfer coding
    // not implemented).
    std::optional<ApiError> protocolRefusal(MHD_Connection* connection, const Exchange& exchange,
                                            const char* url, std::string_view version) {
        const int headerCount =
            MHD_get_connection_values(connection, MHD_HEADER_KIND, nullptr, nullptr);
        if (headerCount > static_cast<int>(config.maxHeaders))
            return apiError(Refusal::headersTooLarge, {}, headerCount, config.maxHeaders);
        const MHD_ConnectionInfo* size =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_REQUEST_HEADER_SIZE);
        if (size && size->header_size > config.maxHeaderBytes)
            return apiError(Refusal::headersTooLarge, {}, static_cast<long>(size->header_size),
                            static_cast<long>(config.maxHeaderBytes));
        if (hasSpaceOrControl(exchange.uri) || cutAtNul(exchange, url, version.data()))
            return apiError(Refusal::invalidTarget);
        const bool http11 = version == MHD_HTTP_VERSION_1_1;
        if (http11 && headerValues(connection, MHD_HTTP_HEADER_HOST).size() != 1)
            return apiError(Refusal::missingHost);
        const auto lengths = headerValues(connection, MHD_HTTP_HEADER_CONTENT_LENGTH);
        const auto codings = headerValues(connection, MHD_HTTP_HEADER_TRANSFER_ENCODING);
        for (const std::string_view length : lengths)
            if (trimmed(length) != trimmed(lengths.front()))
                return apiError(Refusal::ambiguousLength);
        if (codings.empty()) return std::nullopt;
        if (!lengths.empty() || !http11 || codings.size() > 1)
            return apiError(Refusal::ambiguousLength);
        std::string_view list = codings.front();
        while (!list.empty()) {
            const std::size_t comma = list.find(',');
            const std::string_view coding = trimmed(list.substr(0, comma));
            list = comma == std::string_view::npos ? "" : list.substr(comma + 1);
            if (!equalFolded(coding, "chunked"))
                return apiError(Refusal::unsupportedTransferCoding, std::string(coding));
        }
        if (!equalFolded(trimmed(codings.front()), "chunked"))
            return apiError(Refusal::ambiguousLength);
        return std::nullopt;
    }

    // The first call, with the request line and headers complete: refusals
    // that need no body come before any body is read. An answer queued now
    // ends the connection after it, so everything else waits for the next
    // call, which comes once the body (if any) is in.
    MHD_Result begin(MHD_Connection* connection, Exchange& exchange, std::string_view method,
                     const char* url, std::string_view version) {
        if (auto refusal = protocolRefusal(connection, exchange, url, version)) {
            refuseAndClose(connection, exchange, *refusal, method == MHD_HTTP_METHOD_HEAD);
            return MHD_YES;
        }
        if (overloaded()) return refuse(connection, exchange, apiError(Refusal::overloaded));
        if (method != std::string_view(MHD_HTTP_METHOD_POST)) return MHD_YES;
        if (const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                             MHD_HTTP_HEADER_CONTENT_LENGTH)) {
            const unsigned long long bytes = std::strtoull(length, nullptr, 10);
            if (bytes > config.maxBody) {
                exchange.bodyTooLarge = true;
                return refuse(
                    connection, exchange,
                    apiError(Refusal::bodyTooLarge, {},
                             static_cast<long>(std::min<unsigned long long>(bytes, LONG_MAX)),
                             static_cast<long>(config.maxBody)));
            }
        }
        return MHD_YES;
    }

    // An exception that reached the request's top: answered when it can
    // be (503 for memory that ran out), else the connection is closed.
    MHD_Result fail(MHD_Connection* connection, void* context, bool outOfMemory) {
        auto* exchange = static_cast<Exchange*>(context);
        if (!exchange || exchange->answered) return MHD_NO;
        exchange->failed = true;
        try {
            Error error;
            error.code = ErrorCode::outOfMemory;
            return refuse(connection, *exchange,
                          outOfMemory ? apiError(error) : apiError(Refusal::internal));
        } catch (...) {
            return MHD_NO;
        }
    }

    MHD_Result handle(MHD_Connection* connection, const char* url, const char* method,
                      const char* version, const char* upload, std::size_t* uploadSize,
                      void** context) {
        auto* exchange = static_cast<Exchange*>(*context);
        if (!exchange) return MHD_NO;
        if (exchange->closing) {
            // Answered already: what is still sent is read and dropped
            // until the request ends, then the connection closes.
            const bool first = !exchange->seen;
            exchange->seen = true;
            if (first || *uploadSize > 0) {
                *uploadSize = 0;
                return MHD_YES;
            }
            return MHD_NO;
        }
        if (exchange->answered) {
            *uploadSize = 0;  // the rest of a refused body is dropped
            return MHD_YES;
        }
        if (!exchange->seen) {
            exchange->seen = true;
            return begin(connection, *exchange, method, url, version ? version : "");
        }
        if (*uploadSize > 0) {
            // A body that outgrows the limit is counted and dropped; the
            // answer can only be queued once it has ended, and the request
            // timeout ends one that never does.
            exchange->received += *uploadSize;
            if (exchange->received > config.maxBody)
                exchange->body.clear();
            else
                exchange->body.append(upload, *uploadSize);
            *uploadSize = 0;
            return MHD_YES;
        }
        if (exchange->received > config.maxBody) {
            exchange->bodyTooLarge = true;
            return refuse(connection, *exchange,
                          apiError(Refusal::bodyTooLarge, {}, static_cast<long>(exchange->received),
                                   static_cast<long>(config.maxBody)));
        }
        return route(connection, *exchange, method);
    }

    // Takes in the connections the system has accepted and the server has
    // not: a client that sent its request before the listener closed is
    // answered, not reset.
    void adoptWaiting(int listener) {
        for (;;) {
            sockaddr_storage address{};
            socklen_t length = sizeof address;
            const int socket = ::accept4(listener, reinterpret_cast<sockaddr*>(&address), &length,
                                         SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (socket < 0) return;
            // On failure the server library closes the socket itself.
            MHD_add_connection(daemon, socket, reinterpret_cast<sockaddr*>(&address), length);
        }
    }
};

namespace {

Server::State& stateOf(void* closure) {
    return *static_cast<Server::State*>(closure);
}

// The request line is in: the request is in flight from here. A target
// past the limit is answered at once, since the headers that follow may
// not fit the server library's buffer, which would then close the
// connection without a word.
void* requestLine(void* closure, const char* uri, MHD_Connection* connection) {
    Server::State& state = stateOf(closure);
    Link* link = linkOf(connection);
    if (link && link->exchange) {
        // The previous request ended unannounced.
        state.finish(*link->exchange);
        delete link->exchange;
        link->exchange = nullptr;
    }
    auto* exchange = new Exchange;
    exchange->uri = uri;
    state.metrics.requestStarted();
    if (link) link->exchange = exchange;
    if (exchange->uri.size() > state.config.maxUrl)
        state.refuseAndClose(
            connection, *exchange,
            apiError(Refusal::urlTooLong, {}, static_cast<long>(exchange->uri.size()),
                     static_cast<long>(state.config.maxUrl)),
            false);
    return exchange;
}

MHD_Result access(void* closure, MHD_Connection* connection, const char* url, const char* method,
                  const char* version, const char* upload, std::size_t* uploadSize,
                  void** context) {
    // Nothing may unwind into the server library's C frames.
    try {
        return stateOf(closure).handle(connection, url, method, version, upload, uploadSize,
                                       context);
    } catch (const std::bad_alloc&) {
        return stateOf(closure).fail(connection, *context, true);
    } catch (...) {
        return stateOf(closure).fail(connection, *context, false);
    }
}

void completed(void* closure, MHD_Connection* connection, void** context,
               MHD_RequestTerminationCode) {
    Server::State& state = stateOf(closure);
    auto* exchange = static_cast<Exchange*>(*context);
    if (!exchange) return;
    if (exchange->status == 0) {
        // Refused by the server library itself: counted by its status.
        const MHD_ConnectionInfo* info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_HTTP_STATUS);
        if (info) exchange->status = static_cast<int>(info->http_status);
    }
    state.finish(*exchange);
    if (!exchange->closing) state.watch->answered(connection);
    if (Link* link = linkOf(connection); link && link->exchange == exchange)
        link->exchange = nullptr;
    delete exchange;
    *context = nullptr;
}

void connectionEvent(void* closure, MHD_Connection* connection, void** socketContext,
                     MHD_ConnectionNotificationCode code) {
    Server::State& state = stateOf(closure);
    if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
        state.watch->closed(connection);
        auto* link = static_cast<Link*>(*socketContext);
        if (link && link->exchange) {
            state.finish(*link->exchange);
            delete link->exchange;
        }
        delete link;
        *socketContext = nullptr;
        return;
    }
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    if (!info) return;
    *socketContext = new Link{info->connect_fd, nullptr};
    state.watch->opened(connection, info->connect_fd);
}

// libmicrohttpd's own complaints (a client that broke the protocol) are
// not ours to print for every connection.
void quietLog(void*, const char*, va_list) {}

// The character sets' converters stay loaded, so no request makes the
// system read a conversion module from disk.
std::vector<iconv_t> pinConverters() {
    std::vector<iconv_t> converters;
    for (const CharsetInfo& charset : charsets()) {
        const iconv_t converter = iconv_open(std::string(charset.name).c_str(), "UTF-8");
        if (converter != reinterpret_cast<iconv_t>(-1)) converters.push_back(converter);
    }
    return converters;
}

// A PDF and an EPS drawn once load the vector module and cairo; what stops
// either is said at start rather than at the first such request.
std::optional<std::string> openVectorModule() {
    const auto symbol = encode(std::string_view("x"));
    if (!symbol) return std::nullopt;
    for (const Format format : {Format::pdf, Format::eps})
        if (auto drawn = render(*symbol, format); !drawn)
            return std::string(formatInfo(format).name) +
                   " cannot be made: " + drawn.error().message;
    return std::nullopt;
}

}  // namespace

Server::Server(std::unique_ptr<State> state) : state_(std::move(state)) {}

Server::~Server() = default;

std::variant<std::unique_ptr<Server>, std::string> Server::start(const ServerConfig& config) {
    auto state = std::make_unique<State>();
    state->config = config;
    if (state->config.threads == 0)
        state->config.threads = std::max(1u, std::thread::hardware_concurrency());
    // The modules load now rather than during a request: the reader, and
    // the vector module with cairo for PDF and EPS. Unread symbols are never
    // served as if they had been read back.
    if (config.verify)
        if (const std::optional<Error> problem = readerProblem())
            return problem->message +
                   "; give --no-verify to serve symbols without reading them back";
    state->verifyByDefault = config.verify;
    if (auto problem = openVectorModule()) state->notices.push_back(std::move(*problem));
    state->converters = pinConverters();
    state->watch = std::make_unique<DeadlineWatch>(config.requestTimeout);

    sockaddr_in address4{};
    sockaddr_in6 address6{};
    const sockaddr* address = nullptr;
    unsigned flags =
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_ITC | MHD_USE_ERROR_LOG;
    if (inet_pton(AF_INET, config.address.c_str(), &address4.sin_addr) == 1) {
        address4.sin_family = AF_INET;
        address4.sin_port = htons(config.port);
        address = reinterpret_cast<const sockaddr*>(&address4);
    } else if (inet_pton(AF_INET6, config.address.c_str(), &address6.sin6_addr) == 1) {
        address6.sin6_family = AF_INET6;
        address6.sin6_port = htons(config.port);
        address = reinterpret_cast<const sockaddr*>(&address6);
        flags |= MHD_USE_IPv6;
    } else {
        return "not a numeric IPv4 or IPv6 address: " + config.address;
    }
    // Past the queue, connections are still taken up to the same number
    // again to be told 503; beyond that they are closed at once.
    const unsigned connectionLimit = state->config.threads + 2 * config.maxQueue;
    const unsigned timeoutSeconds = static_cast<unsigned>(config.requestTimeout.count());
    // Room past the header limit for the answer's own headers: a request
    // within the limit is always answered, one past it is refused by us
    // while it still fits, and only beyond that by the server library.
    const std::size_t connectionMemory = config.maxHeaderBytes + 4096;
    State* closure = state.get();
    state->daemon = MHD_start_daemon(
        flags, config.port, nullptr, nullptr, &access, closure, MHD_OPTION_SOCK_ADDR, address,
        MHD_OPTION_THREAD_POOL_SIZE, state->config.threads, MHD_OPTION_CONNECTION_LIMIT,
        connectionLimit, MHD_OPTION_PER_IP_CONNECTION_LIMIT, config.maxClientConnections,
        MHD_OPTION_CONNECTION_TIMEOUT, timeoutSeconds, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        connectionMemory, MHD_OPTION_LISTEN_BACKLOG_SIZE, 512u, MHD_OPTION_URI_LOG_CALLBACK,
        &requestLine, closure, MHD_OPTION_NOTIFY_COMPLETED, &completed, closure,
        MHD_OPTION_NOTIFY_CONNECTION, &connectionEvent, closure, MHD_OPTION_EXTERNAL_LOGGER,
        &quietLog, nullptr, MHD_OPTION_END);
    if (!state->daemon)
        return "cannot listen on " + config.address + ":" + std::to_string(config.port);
    return std::unique_ptr<Server>(new Server(std::move(state)));
}

const std::vector<std::string>& Server::notices() const {
    return state_->notices;
}

std::uint16_t Server::port() const {
    const MHD_DaemonInfo* info = MHD_get_daemon_info(state_->daemon, MHD_DAEMON_INFO_BIND_PORT);
    return info ? info->port : 0;
}

void Server::drain() {
    state_->draining = true;
    const int listener = MHD_quiesce_daemon(state_->daemon);
    if (listener >= 0) {
        state_->adoptWaiting(listener);
        ::close(listener);
    }
    // Done when no request is in flight and no connection holds bytes not
    // yet read, seen a few times in a row: between reading a request and
    // reporting its first line the server library shows neither.
    const Clock::time_point end = Clock::now() + state_->config.requestTimeout;
    int quiet = 0;
    while (quiet < 3 && Clock::now() < end) {
        const bool idle = state_->metrics.inFlight() == 0 && !state_->watch->anyUnread();
        quiet = idle ? quiet + 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    MHD_stop_daemon(state_->daemon);
    state_->daemon = nullptr;
}

}  // namespace barquill::service
