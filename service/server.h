// SPDX-License-Identifier: MIT
#pragma once
// The HTTP server: its limits, starting on an address, and stopping after
// the requests in flight are answered.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace barquill::service {

// Every limit the server keeps, with the defaults `barquill serve` starts
// with. A request over a limit is answered with its status, never queued.
struct ServerConfig {
    std::string address = "127.0.0.1";
    std::uint16_t port = 8417;  // 0: any free port
    unsigned threads = 0;       // 0: one per core
    std::size_t maxBody = 65536;
    std::size_t maxUrl = 8192;
    // Bytes of request line and headers together; more is 431 (414 for a
    // long request line), and a connection's memory stays this small.
    std::size_t maxHeaderBytes = 16384;
    unsigned maxHeaders = 64;
    // Connections beyond the threads before requests are refused with 503.
    unsigned maxQueue = 256;
    // Connections one client address may hold; more are closed at once, so
    // that one client cannot fill the queue for everyone.
    unsigned maxClientConnections = 32;
    // Pixels of one picture, quiet zone included; more is 422. 4096 x 4096
    // is far beyond any label's needs, and a 2 MiB BMP.
    long maxPixels = 16777216;
    // Bytes of answers held until their clients have read them; a symbol
    // that would pass it is refused with 503.
    std::size_t responseMemory = 64u << 20;
    // From a connection's start, or its previous answer, to the next answer.
    std::chrono::seconds requestTimeout{10};
    // Every symbol read back before it is sent unless a request says
    // verify=false; the server does not start when the reader cannot serve.
    // False (--no-verify): read back only what a request asks for.
    bool verify = true;
};

class Server {
public:
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Listening, or why not (also: verification asked for and the reader
    // cannot serve, named with its path and the reason).
    static std::variant<std::unique_ptr<Server>, std::string> start(const ServerConfig& config);

    std::uint16_t port() const;

    // What this server cannot do, found at start (a module that cannot
    // serve), a line each.
    const std::vector<std::string>& notices() const;

    // Stops taking connections, takes in those already waiting to be
    // accepted, waits until every request received is answered (at most
    // the request timeout), then closes the rest.
    void drain();

    struct State;

private:
    explicit Server(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace barquill::service
