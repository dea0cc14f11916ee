// rate_limit.cpp: token buckets per address, in a table of bounded size.
#include "rate_limit.h"

#include <algorithm>
#include <iterator>

namespace {

// Addresses tracked at once. A full bucket says nothing an absent one would not, so when the table is
// full the full buckets go; if every address is still refilling, a new address waits its turn.
constexpr size_t max_addresses = 65536;

} // namespace

RateLimiter::RateLimiter(uint32_t per_minute) : per_minute_(per_minute) {}

bool RateLimiter::allow(const std::string &address)
{
    if (per_minute_ == 0)
        return true;
    const double capacity = per_minute_;
    const double per_second = capacity / 60.0;
    Clock::time_point now = Clock::now();
    auto refill = [&](Bucket &bucket) {
        std::chrono::duration<double> elapsed = now - bucket.filled;
        bucket.tokens = std::min(capacity, bucket.tokens + elapsed.count() * per_second);
        bucket.filled = now;
    };

    std::lock_guard lock(mutex_);
    auto entry = buckets_.find(address);
    if (entry == buckets_.end()) {
        if (buckets_.size() >= max_addresses) {
            for (auto item = buckets_.begin(); item != buckets_.end();) {
                refill(item->second);
                item = item->second.tokens >= capacity ? buckets_.erase(item) : std::next(item);
            }
            if (buckets_.size() >= max_addresses)
                return false;
        }
        entry = buckets_.emplace(address, Bucket{capacity, now}).first;
    }
    Bucket &bucket = entry->second;
    refill(bucket);
    if (bucket.tokens < 1.0)
        return false;
    bucket.tokens -= 1.0;
    return true;
}
