// SPDX-License-Identifier: MIT
#include "service/deadline_watch.h"

#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>

namespace barquill::service {

DeadlineWatch::DeadlineWatch(std::chrono::milliseconds limit)
    : limit_(limit), thread_([this] { run(); }) {}

DeadlineWatch::~DeadlineWatch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void DeadlineWatch::opened(const void* connection, int socket) {
    std::lock_guard lock(mutex_);
    connections_[connection] = {socket, Clock::now() + limit_, false};
}

void DeadlineWatch::answered(const void* connection) {
    std::lock_guard lock(mutex_);
    if (const auto found = connections_.find(connection); found != connections_.end())
        found->second.deadline = Clock::now() + limit_;
}

void DeadlineWatch::closeAfter(const void* connection, std::chrono::milliseconds grace) {
    std::lock_guard lock(mutex_);
    if (const auto found = connections_.find(connection); found != connections_.end())
        found->second.deadline = std::min(found->second.deadline, Clock::now() + grace);
}

void DeadlineWatch::closed(const void* connection) {
    std::lock_guard lock(mutex_);
    connections_.erase(connection);
}

std::size_t DeadlineWatch::openConnections() const {
    std::lock_guard lock(mutex_);
    return connections_.size();
}

bool DeadlineWatch::anyUnread() const {
    std::lock_guard lock(mutex_);
    for (const auto& [connection, watched] : connections_) {
        int waiting = 0;
        if (!watched.shut && ::ioctl(watched.socket, FIONREAD, &waiting) == 0 && waiting > 0)
            return true;
    }
    return false;
}

void DeadlineWatch::run() {
    // Checked a few times per limit: a deadline is kept to within a quarter
    // of it, and an idle server wakes at most four times a second.
    const auto period =
        std::clamp(limit_ / 4, std::chrono::milliseconds(50), std::chrono::milliseconds(250));
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, period, [this] { return stopping_; })) {
        const Clock::time_point now = Clock::now();
        for (auto& [connection, watched] : connections_) {
            if (watched.shut || now < watched.deadline) continue;
            // The server sees the end of the stream and closes the connection itself.
            ::shutdown(watched.socket, SHUT_RDWR);
            watched.shut = true;
        }
    }
}

}  // namespace barquill::service
