#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tarvelle::http {

// Bounds that make every read of ours end. Exceeding one is a failed read.
struct Limits {
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds totalTimeout{60'000};
    // A transfer slower than stallBytesPerSecond for this long is given up.
    std::chrono::seconds stallTime{20};
    long stallBytesPerSecond = 1;
    long maxRedirects = 10;
    std::int64_t maxBodyBytes = std::int64_t{64} * 1024 * 1024;
    // Certificate authorities to verify servers against; empty: the system's store.
    std::string caFile;
};

Limits limits();
// Applies to requests started afterwards (tests shorten the time-outs with it).
void setLimits(const Limits& newLimits);

}  // namespace tarvelle::http
