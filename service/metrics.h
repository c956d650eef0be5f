// SPDX-License-Identifier: MIT
#pragma once
// The counters /metrics shows, in Prometheus' text format: requests by
// status, a latency histogram, symbols made and requests in flight. Updated
// from every server thread without a lock.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

namespace barquill::service {

class Metrics {
public:
    void requestStarted() { inFlight_.fetch_add(1, std::memory_order_relaxed); }
    void requestFinished(int status, double seconds);
    void symbolMade() { symbols_.fetch_add(1, std::memory_order_relaxed); }
    long inFlight() const { return inFlight_.load(std::memory_order_relaxed); }

    std::string text() const;

    // The histogram's upper bounds in seconds, as Prometheus' `le` labels.
    static constexpr std::array<double, 12> bucketBounds{0.0005, 0.001, 0.002, 0.005, 0.01, 0.025,
                                                         0.05,   0.1,   0.25,  0.5,   1.0,  5.0};

private:
    // Statuses 100 to 599 by their number; others are not sent.
    static constexpr int firstStatus = 100;
    static constexpr int statusCount = 500;
    std::array<std::atomic<std::uint64_t>, statusCount> byStatus_{};
    std::array<std::atomic<std::uint64_t>, bucketBounds.size() + 1> buckets_{};  // the last: +Inf
    std::atomic<std::uint64_t> microsecondsTotal_{0};
    std::atomic<std::uint64_t> symbols_{0};
    std::atomic<long> inFlight_{0};
};

}  // namespace barquill::service
