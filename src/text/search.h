#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvelle::text {

// What case-insensitive matching compares: every byte with A-Z lowered,
// trail bytes of double-byte characters included.
inline char foldAsciiByte(char c) {
    return static_cast<unsigned char>(c - 'A') < 26 ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Finds the occurrences of a needle that begin at a character boundary, in
// increasing order. A fast byte search proposes a candidate; the candidate
// counts only if it starts a character. Which positions start a character is
// decided by the run of lead bytes (>= 0x80) just before the candidate: a
// byte below 0x80 never leads, so the byte after it always starts one. The
// walk back stops at the last boundary already known, which keeps a whole
// scan linear however many candidates fail.
class BoundaryMatcher {
public:
    static constexpr size_t npos = std::string_view::npos;

    // Matches must end by `searchEnd`; boundaries still count from the
    // haystack's first byte.
    BoundaryMatcher(std::string_view haystack, std::string_view needle, bool caseInsensitive,
                    size_t searchEnd = npos);

    // First match at or after `from`; calls must not go backwards. The needle
    // must not be empty.
    size_t next(size_t from);

private:
    size_t nextCandidate(size_t from);
    bool startsCharacter(size_t at);

    std::string_view m_haystack;
    std::string_view m_searched;  // the part of the haystack a match may lie in
    std::string_view m_needle;    // folded when the search is case-insensitive
    bool m_caseInsensitive;

    size_t m_knownBoundary = 0;

    // Case-insensitive search folds the haystack one cache-sized window at a
    // time.
    std::string m_foldedNeedle;
    std::string m_window;
    size_t m_windowStart = 0;
};

}  // namespace tarvelle::text
