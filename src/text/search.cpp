#include "search.h"

#include <algorithm>
#include <cstring>

namespace tarvelle::text {

namespace {

constexpr size_t kWindowBytes = 64 * 1024;

bool isAsciiLetter(char c) { return static_cast<unsigned char>((c | 0x20) - 'a') < 26; }

size_t findBytes(std::string_view hay, size_t from, std::string_view needle) {
    if (from >= hay.size()) return std::string_view::npos;
    const void* hit = memmem(hay.data() + from, hay.size() - from, needle.data(), needle.size());
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - hay.data())
               : std::string_view::npos;
}

}  // namespace

BoundaryMatcher::BoundaryMatcher(std::string_view haystack, std::string_view needle,
                                 bool caseInsensitive, size_t searchEnd)
    : m_haystack(haystack),
      m_searched(haystack.substr(0, searchEnd)),
      m_needle(needle),
      // Without letters in the needle, folding changes nothing a match depends on.
      m_caseInsensitive(caseInsensitive &&
                        std::any_of(needle.begin(), needle.end(), isAsciiLetter)) {
    if (!m_caseInsensitive) return;
    m_foldedNeedle.resize(needle.size());
    std::transform(needle.begin(), needle.end(), m_foldedNeedle.begin(), foldAsciiByte);
    m_needle = m_foldedNeedle;
}

size_t BoundaryMatcher::next(size_t from) {
    for (size_t at = nextCandidate(from); at != npos; at = nextCandidate(at + 1)) {
        if (startsCharacter(at)) return at;
    }
    return npos;
}

size_t BoundaryMatcher::nextCandidate(size_t from) {
    if (!m_caseInsensitive) return findBytes(m_searched, from, m_needle);

    // Case-insensitive: fold the haystack a window at a time and search the
    // folded needle in it.
    const size_t m = m_needle.size();
    while (from + m <= m_searched.size()) {
        const bool inWindow = !m_window.empty() && from >= m_windowStart &&
                              from + m <= m_windowStart + m_window.size();
        if (!inWindow) {
            // Windows overlap by m - 1 bytes so that no match straddles two.
            const size_t len = std::min(kWindowBytes + m - 1, m_searched.size() - from);
            m_window.resize(len);
            std::transform(m_searched.begin() + static_cast<std::ptrdiff_t>(from),
                           m_searched.begin() + static_cast<std::ptrdiff_t>(from + len),
                           m_window.begin(), foldAsciiByte);
            m_windowStart = from;
        }
        const size_t hit = findBytes(m_window, from - m_windowStart, m_needle);
        if (hit != npos) return m_windowStart + hit;
        from = m_windowStart + m_window.size() - m + 1;
    }
    return npos;
}

bool BoundaryMatcher::startsCharacter(size_t at) {
    size_t base = at;
    while (base > m_knownBoundary && static_cast<unsigned char>(m_haystack[base - 1]) >= 0x80) {
        --base;
    }
    // `base` starts a character, and every byte from it up to `at` is a lead
    // byte taking the next one with it.
    const bool boundary = (at - base) % 2 == 0;
    m_knownBoundary = boundary ? at : at - 1;
    // A lead byte with nothing after it ends the scan: no match starts there.
    if (boundary && at + 1 == m_haystack.size() &&
        static_cast<unsigned char>(m_haystack[at]) >= 0x80) {
        return false;
    }
    return boundary;
}

}  // namespace tarvelle::text
