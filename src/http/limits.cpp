#include "http/limits.h"

#include <mutex>

namespace tarvelle::http {

namespace {

std::mutex& limitsMutex() {
    static std::mutex m;
    return m;
}

Limits& current() {
    static Limits l;
    return l;
}

}  // namespace

Limits limits() {
    std::lock_guard lock(limitsMutex());
    return current();
}

void setLimits(const Limits& newLimits) {
    std::lock_guard lock(limitsMutex());
    current() = newLimits;
}

}  // namespace tarvelle::http
