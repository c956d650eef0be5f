// SPDX-License-Identifier: MIT
#pragma once
// A time limit on each request, from the connection's start or the previous
// answer to the next answer. The server's own timeout counts only silence,
// so a client that sends a byte a second would hold its connection for ever;
// this shuts such a connection down once its time is up.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <thread>

namespace barquill::service {

class DeadlineWatch {
public:
    explicit DeadlineWatch(std::chrono::milliseconds limit);
    ~DeadlineWatch();
    DeadlineWatch(const DeadlineWatch&) = delete;
    DeadlineWatch& operator=(const DeadlineWatch&) = delete;

    // `connection` identifies it; `socket` is shut down when time is up.
    // closed() must come before the socket is closed, so that a number the
    // system hands out again is never shut down.
    void opened(const void* connection, int socket);
    void answered(const void* connection);
    // The connection has been answered and ends: it is shut down after
    // `grace`, time for the client to read the answer before the rest of
    // what it sent is thrown away.
    void closeAfter(const void* connection, std::chrono::milliseconds grace);
    void closed(const void* connection);
    std::size_t openConnections() const;
    // Whether some connection has bytes the server has not read yet.
    bool anyUnread() const;

private:
    using Clock = std::chrono::steady_clock;
    struct Watched {
        int socket = -1;
        Clock::time_point deadline;
        bool shut = false;
    };
    void run();

    const std::chrono::milliseconds limit_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::map<const void*, Watched> connections_;
    std::thread thread_;
};

}  // namespace barquill::service
