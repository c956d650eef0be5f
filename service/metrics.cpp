// SPDX-License-Identifier: MIT
#include "service/metrics.h"

#include <charconv>

namespace barquill::service {

namespace {

// Prometheus reads numbers in C's notation whatever the host's locale.
std::string decimal(double value) {
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

}  // namespace

void Metrics::requestFinished(int status, double seconds) {
    if (status >= firstStatus && status < firstStatus + statusCount)
        byStatus_[static_cast<std::size_t>(status - firstStatus)].fetch_add(
            1, std::memory_order_relaxed);
    std::size_t bucket = 0;
    while (bucket < bucketBounds.size() && seconds > bucketBounds[bucket]) ++bucket;
    buckets_[bucket].fetch_add(1, std::memory_order_relaxed);
    microsecondsTotal_.fetch_add(static_cast<std::uint64_t>(seconds * 1e6),
                                 std::memory_order_relaxed);
    inFlight_.fetch_sub(1, std::memory_order_relaxed);
}

std::string Metrics::text() const {
    std::string out;
    out += "# HELP barquill_requests_total HTTP requests answered, by status.\n";
    out += "# TYPE barquill_requests_total counter\n";
    for (std::size_t i = 0; i < byStatus_.size(); ++i)
        if (const std::uint64_t count = byStatus_[i].load(std::memory_order_relaxed))
            out += "barquill_requests_total{status=\"" + std::to_string(i + firstStatus) + "\"} " +
                   std::to_string(count) + "\n";

    out += "# HELP barquill_request_duration_seconds Time from the request line to the answer.\n";
    out += "# TYPE barquill_request_duration_seconds histogram\n";
    std::uint64_t cumulative = 0;
    for (std::size_t i = 0; i < buckets_.size(); ++i) {
        cumulative += buckets_[i].load(std::memory_order_relaxed);
        const std::string bound = i < bucketBounds.size() ? decimal(bucketBounds[i]) : "+Inf";
        out += "barquill_request_duration_seconds_bucket{le=\"" + bound + "\"} " +
               std::to_string(cumulative) + "\n";
    }
    out += "barquill_request_duration_seconds_sum " +
           decimal(static_cast<double>(microsecondsTotal_.load(std::memory_order_relaxed)) / 1e6) +
           "\n";
    out += "barquill_request_duration_seconds_count " + std::to_string(cumulative) + "\n";

    out += "# HELP barquill_symbols_total Symbols made and sent.\n";
    out += "# TYPE barquill_symbols_total counter\n";
    out +=
        "barquill_symbols_total " + std::to_string(symbols_.load(std::memory_order_relaxed)) + "\n";
    out += "# HELP barquill_requests_in_flight Requests received and not yet answered.\n";
    out += "# TYPE barquill_requests_in_flight gauge\n";
    out += "barquill_requests_in_flight " + std::to_string(inFlight()) + "\n";
    return out;
}

}  // namespace barquill::service
