// SPDX-License-Identifier: MIT
#include "service/server.h"

#include <arpa/inet.h>
#include <iconv.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <unistd.h>

#include <thread>
#include <vector>

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
    int status = 0;
    std::string body;
    std::size_t received = 0;
};

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
    std::vector<iconv_t> converters;

    ~State() {
        if (daemon) MHD_stop_daemon(daemon);
        for (iconv_t converter : converters) iconv_close(converter);
    }

    bool overloaded() const { return watch->openConnections() > config.threads + config.maxQueue; }

    MHD_Result answer(MHD_Connection* connection, Exchange& exchange, int status,
                      std::string_view mediaType, std::string_view body,
                      const std::vector<Header>& headers = {}) {
        MHD_Response* response = MHD_create_response_from_buffer(
            body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
        if (!response) return MHD_NO;
        if (!mediaType.empty())
            MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE,
                                    std::string(mediaType).c_str());
        MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
        for (const Header& header : headers)
            MHD_add_response_header(response, header.name, header.value.c_str());
        // While draining, or over a limit with the body unread, the
        // connection ends with this answer.
        if (draining.load() || exchange.bodyTooLarge || status == MHD_HTTP_SERVICE_UNAVAILABLE)
            MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
        const MHD_Result queued =
            MHD_queue_response(connection, static_cast<unsigned>(status), response);
        MHD_destroy_response(response);
        exchange.status = status;
        exchange.answered = true;
        return queued;
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

    MHD_Result sendLabel(MHD_Connection* connection, Exchange& exchange,
                         const Answer<LabelRequest>& request, bool get) {
        if (const auto* error = std::get_if<ApiError>(&request))
            return refuse(connection, exchange, *error);
        auto made = makeLabelFile(std::get<LabelRequest>(request), verifyByDefault);
        if (const auto* error = std::get_if<ApiError>(&made))
            return refuse(connection, exchange, *error);
        const LabelFile& file = std::get<LabelFile>(made);
        metrics.symbolMade();
        const std::string cacheControl =
            get && file.immutable ? "public, max-age=31536000, immutable" : "no-store";
        std::vector<Header> headers{
            {MHD_HTTP_HEADER_ETAG, file.entityTag},
            {MHD_HTTP_HEADER_CACHE_CONTROL, cacheControl},
            {"X-Barquill-Rows", std::to_string(file.rows)},
            {"X-Barquill-Columns", std::to_string(file.columns)},
            {"X-Barquill-Level", std::to_string(file.level)},
        };
        const char* ifNoneMatch =
            MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_IF_NONE_MATCH);
        if (get && ifNoneMatch && matchesIfNoneMatch(ifNoneMatch, file.entityTag))
            return answer(connection, exchange, MHD_HTTP_NOT_MODIFIED, "", "", headers);
        const std::string_view bytes(reinterpret_cast<const char*>(file.bytes.data()),
                                     file.bytes.size());
        return answer(connection, exchange, MHD_HTTP_OK, file.mediaType, bytes, headers);
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

    // The first call, with the request line and headers complete: refusals
    // that need no body come before any body is read. An answer queued now
    // ends the connection after it, so everything else waits for the next
    // call, which comes once the body (if any) is in.
    MHD_Result begin(MHD_Connection* connection, Exchange& exchange, std::string_view method) {
        if (exchange.uri.size() > config.maxUrl)
            return refuse(connection, exchange,
                          apiError(Refusal::urlTooLong, {}, static_cast<long>(exchange.uri.size()),
                                   static_cast<long>(config.maxUrl)));
        const int headerCount =
            MHD_get_connection_values(connection, MHD_HEADER_KIND, nullptr, nullptr);
        if (headerCount > static_cast<int>(config.maxHeaders))
            return refuse(connection, exchange,
                          apiError(Refusal::headersTooLarge, {}, headerCount, config.maxHeaders));
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

    MHD_Result handle(MHD_Connection* connection, const char* method, const char* upload,
                      std::size_t* uploadSize, void** context) {
        auto* exchange = static_cast<Exchange*>(*context);
        if (!exchange) return MHD_NO;
        if (exchange->answered) {
            *uploadSize = 0;  // the rest of a refused body is dropped
            return MHD_YES;
        }
        if (!exchange->seen) {
            exchange->seen = true;
            return begin(connection, *exchange, method);
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
};

namespace {

Server::State& stateOf(void* closure) {
    return *static_cast<Server::State*>(closure);
}

void* requestLine(void* closure, const char* uri, MHD_Connection*) {
    auto* exchange = new Exchange;
    exchange->uri = uri;
    stateOf(closure).metrics.requestStarted();
    return exchange;
}

MHD_Result access(void* closure, MHD_Connection* connection, const char*, const char* method,
                  const char*, const char* upload, std::size_t* uploadSize, void** context) {
    return stateOf(closure).handle(connection, method, upload, uploadSize, context);
}

void completed(void* closure, MHD_Connection* connection, void** context,
               MHD_RequestTerminationCode) {
    Server::State& state = stateOf(closure);
    auto* exchange = static_cast<Exchange*>(*context);
    if (!exchange) return;
    const std::chrono::duration<double> seconds = Clock::now() - exchange->start;
    state.metrics.requestFinished(exchange->status, seconds.count());
    state.watch->answered(connection);
    delete exchange;
    *context = nullptr;
}

void connectionEvent(void* closure, MHD_Connection* connection, void**,
                     MHD_ConnectionNotificationCode code) {
    Server::State& state = stateOf(closure);
    if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
        state.watch->closed(connection);
        return;
    }
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    if (info) state.watch->opened(connection, info->connect_fd);
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

}  // namespace

Server::Server(std::unique_ptr<State> state) : state_(std::move(state)) {}

Server::~Server() = default;

std::variant<std::unique_ptr<Server>, std::string> Server::start(const ServerConfig& config) {
    auto state = std::make_unique<State>();
    state->config = config;
    if (state->config.threads == 0)
        state->config.threads = std::max(1u, std::thread::hardware_concurrency());
    // Loads the reader now rather than during the first request, and never
    // serves unread symbols as if they had been read back.
    if (config.verify)
        if (const std::optional<Error> problem = readerProblem())
            return problem->message +
                   "; give --no-verify to serve symbols without reading them back";
    state->verifyByDefault = config.verify;
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
    State* closure = state.get();
    state->daemon = MHD_start_daemon(
        flags, config.port, nullptr, nullptr, &access, closure, MHD_OPTION_SOCK_ADDR, address,
        MHD_OPTION_THREAD_POOL_SIZE, state->config.threads, MHD_OPTION_CONNECTION_LIMIT,
        connectionLimit, MHD_OPTION_CONNECTION_TIMEOUT, timeoutSeconds,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, config.maxHeaderBytes, MHD_OPTION_LISTEN_BACKLOG_SIZE,
        512u, MHD_OPTION_URI_LOG_CALLBACK, &requestLine, closure, MHD_OPTION_NOTIFY_COMPLETED,
        &completed, closure, MHD_OPTION_NOTIFY_CONNECTION, &connectionEvent, closure,
        MHD_OPTION_EXTERNAL_LOGGER, &quietLog, nullptr, MHD_OPTION_END);
    if (!state->daemon)
        return "cannot listen on " + config.address + ":" + std::to_string(config.port);
    return std::unique_ptr<Server>(new Server(std::move(state)));
}

std::uint16_t Server::port() const {
    const MHD_DaemonInfo* info = MHD_get_daemon_info(state_->daemon, MHD_DAEMON_INFO_BIND_PORT);
    return info ? info->port : 0;
}

void Server::drain() {
    state_->draining = true;
    const int listener = MHD_quiesce_daemon(state_->daemon);
    if (listener >= 0) ::close(listener);
    const Clock::time_point end = Clock::now() + state_->config.requestTimeout;
    while (state_->metrics.inFlight() > 0 && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    MHD_stop_daemon(state_->daemon);
    state_->daemon = nullptr;
}

}  // namespace barquill::service
