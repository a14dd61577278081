#include "http/cookies.h"

#include "text/primitives.h"

namespace tarvelle::http {

using text::Text;
using text::TextArray;

Text MergeCookies(Text& current, Text& received) {
    current = text::StripSpaces(current);
    received = text::StripSpaces(received);

    const TextArray held = text::SplitByDelimiter(current, ";");
    TextArray merged = text::SplitByDelimiter(received, ";");
    for (const Text& entry : held) {
        if (!HasCookieName(merged, CookieName(entry))) merged.push_back(entry);
    }

    Text joined;
    for (const Text& entry : merged) {
        if (text::RightOf(entry, 8) != "=deleted") joined += entry + "; ";
    }
    joined = text::LeftOf(joined, text::ByteLength(joined) - 2);
    current = JoinDistinct(joined, "; ");
    return current;
}

Text CookieName(const Text& entry) {
    const int equals = text::FindSubtext(entry, "=");
    return text::TrimSpaces(equals == -1 ? entry : text::LeftOf(entry, equals - 1));
}

bool HasCookieName(const TextArray& entries, const Text& name) {
    for (const Text& entry : entries) {
        if (CookieName(entry) == name) return true;
    }
    return false;
}

Text JoinDistinct(const Text& text, const Text& separator) {
    TextArray seen;
    Text out;
    for (const Text& piece : text::SplitByDelimiter(text, separator)) {
        if (IndexOfText(seen, piece) == -1) {
            seen.push_back(piece);
            out += piece + separator;
        }
    }
    return text::LeftOf(out, text::ByteLength(out) - text::ByteLength(separator));
}

int IndexOfText(const TextArray& array, const Text& text) {
    for (size_t i = 0; i < array.size(); ++i) {
        if (array[i] == text) return static_cast<int>(i) + 1;
    }
    return -1;
}

}  // namespace tarvelle::http
