// rate_limit.h: submissions per client address and minute, kept by each server process for itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

// A bucket per address holds up to the limit and refills at the limit per minute; each submission
// takes one. A burst of the whole limit is allowed, then one every 60/limit seconds.
class RateLimiter {
  public:
    explicit RateLimiter(uint32_t per_minute); // 0: no limit

    // Counts one submission from the address: false when it is over the limit.
    bool allow(const std::string &address);

  private:
    using Clock = std::chrono::steady_clock;
    struct Bucket {
        double tokens;
        Clock::time_point filled; // when 'tokens' was last brought up to date
    };

    const uint32_t per_minute_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};
