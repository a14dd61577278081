#include "primitives.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>

#include "search.h"

namespace tarvelle::text {

namespace {

constexpr unsigned char kFullWidthLead = 0xA1;  // 0xA1 0xA1 is the full-width space

bool isLead(unsigned char c) { return c >= 0x80; }

// Length of the character that starts at `i`: 2 for a lead byte with a byte
// after it, else 1.
int charLength(std::string_view s, size_t i) {
    return isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

bool isSpaceAt(std::string_view s, size_t i) {
    if (s[i] == ' ') return true;
    return static_cast<unsigned char>(s[i]) == kFullWidthLead && i + 1 < s.size() &&
           static_cast<unsigned char>(s[i + 1]) == kFullWidthLead;
}

size_t startIndex(int start) { return start < 1 ? 0 : static_cast<size_t>(start) - 1; }

}  // namespace

int ByteLength(const Text& text) { return text.size(); }

int FindSubtext(const Text& text, const Text& sought, int start, bool caseInsensitive) {
    const size_t from = startIndex(start);
    if (from >= text.view().size()) return -1;
    if (sought.empty()) return 1;
    BoundaryMatcher matcher(text.view(), sought.view(), caseInsensitive);
    const size_t at = matcher.next(from);
    return at == BoundaryMatcher::npos ? -1 : static_cast<int>(at) + 1;
}

int FindLastSubtext(const Text& text, const Text& sought, std::optional<int> start,
                    bool caseInsensitive) {
    const size_t n = text.view().size();
    size_t limit = n;
    if (start) {
        if (*start <= 1) return -1;
        limit = std::min(n, static_cast<size_t>(*start) - 1);
    }
    if (sought.empty()) return limit > 0 ? 1 : -1;
    BoundaryMatcher matcher(text.view(), sought.view(), caseInsensitive, limit);
    size_t last = BoundaryMatcher::npos;
    for (size_t at = matcher.next(0); at != BoundaryMatcher::npos; at = matcher.next(at + 1)) {
        last = at;
    }
    return last == BoundaryMatcher::npos ? -1 : static_cast<int>(last) + 1;
}

Text MiddleOf(const Text& text, int start, int count) {
    if (start < 1 || start > text.size() || count <= 0) return {};
    return Text(text.view().substr(static_cast<size_t>(start) - 1, static_cast<size_t>(count)));
}

Text LeftOf(const Text& text, int count) {
    if (count <= 0) return {};
    return Text(text.view().substr(0, static_cast<size_t>(count)));
}

Text RightOf(const Text& text, int count) {
    if (count <= 0) return {};
    const std::string_view s = text.view();
    return Text(s.substr(s.size() - std::min(s.size(), static_cast<size_t>(count))));
}

Text SubstituteText(const Text& text, const Text& sought, const Text& replacement, int start,
                    int count, bool caseSensitive) {
    const std::string_view s = text.view();
    const size_t from = startIndex(start);
    if (s.empty() || sought.empty() || from >= s.size() || count == 0) return text;

    BoundaryMatcher matcher(s, sought.view(), !caseSensitive);
    std::string out(s.substr(0, from));
    size_t pos = from;
    for (int made = 0; count < 0 || made < count; ++made) {
        const size_t at = matcher.next(pos);
        if (at == BoundaryMatcher::npos) break;
        out.append(s.substr(pos, at - pos)).append(replacement.view());
        pos = at + sought.view().size();
    }
    out.append(s.substr(pos));
    return Text(std::move(out));
}

TextArray SplitByDelimiter(const Text& text, const Text& delimiter,
                           std::optional<int> maximumCount) {
    TextArray parts;
    if ((maximumCount && *maximumCount <= 0) || text.empty()) return parts;
    if (delimiter.empty()) {
        parts.push_back(text);
        return parts;
    }
    const std::string_view s = text.view();
    BoundaryMatcher matcher(s, delimiter.view(), false);
    size_t pos = 0;
    while (!maximumCount || static_cast<int>(parts.size()) < *maximumCount) {
        const size_t at = matcher.next(pos);
        if (at == BoundaryMatcher::npos) {
            if (pos < s.size()) parts.emplace_back(s.substr(pos));
            break;
        }
        parts.emplace_back(s.substr(pos, at - pos));
        pos = at + delimiter.view().size();
    }
    return parts;
}

Text TrimSpaces(const Text& text) {
    const std::string_view s = text.view();
    size_t first = s.size();
    size_t end = 0;
    for (size_t i = 0; i < s.size(); i += static_cast<size_t>(charLength(s, i))) {
        if (isSpaceAt(s, i)) continue;
        first = std::min(first, i);
        end = i + static_cast<size_t>(charLength(s, i));
    }
    if (first >= end) return {};
    return Text(s.substr(first, end - first));
}

Text StripSpaces(const Text& text) {
    const std::string_view s = text.view();
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const size_t len = static_cast<size_t>(charLength(s, i));
        if (!isSpaceAt(s, i)) out.append(s.substr(i, len));
        i += len;
    }
    return Text(std::move(out));
}

Text LowerAscii(const Text& text) {
    std::string out = text.str();
    for (size_t i = 0; i < out.size(); i += static_cast<size_t>(charLength(out, i))) {
        if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
    return Text(std::move(out));
}

int ParseLeadingInt(const Text& text) {
    // Read full-width digits, signs and spaces (0xA3B0.., 0xA3AB, 0xA3AD,
    // 0xA1A1) as their ASCII forms; nothing else matters to the number.
    const std::string_view s = text.view();
    std::string half;
    half.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        if (charLength(s, i) == 1) {
            half.push_back(s[i++]);
            continue;
        }
        const auto trail = static_cast<unsigned char>(s[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            half.push_back(static_cast<char>(trail - 0x80));
        } else if (lead == kFullWidthLead && trail == kFullWidthLead) {
            half.push_back(' ');
        } else {
            half.push_back('x');  // any other character ends the number
        }
        i += 2;
    }

    size_t i = 0;
    while (i < half.size() && std::strchr(" \t\r\n\v\f", half[i]) && half[i] != '\0') ++i;
    bool negative = false;
    if (i < half.size() && (half[i] == '+' || half[i] == '-')) negative = half[i++] == '-';
    long long value = 0;
    for (; i < half.size() && half[i] >= '0' && half[i] <= '9'; ++i) {
        value = value * 10 + (half[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

Text TextFromBytes(const Bytes& bytes) { return Text(std::string_view(bytes)); }

Text TextFromBytes(Bytes&& bytes) { return Text(std::move(bytes)); }

Bytes BytesFromText(const Text& text) { return text.str(); }

}  // namespace tarvelle::text
