#include "extract.h"

#include <algorithm>
#include <utility>

#include "primitives.h"

namespace tarvelle::text {

namespace {

// "#引号" in code page 936.
const Text kQuotePlaceholder = "#\xD2\xFD\xBA\xC5";

std::function<void()>& eventPump() {
    static std::function<void()> pump;
    return pump;
}

void yieldToEvents(int times) {
    for (int i = 0; i < times; ++i) {
        if (const auto& pump = eventPump()) pump();
    }
}

}  // namespace

void SetEventPump(std::function<void()> pump) { eventPump() = std::move(pump); }

Text ExtractBetween(const Text& source, const Text& startMarker, const Text& endMarker,
                    int startPosition, bool caseInsensitive) {
    const Text start = SubstituteText(startMarker, kQuotePlaceholder, "\"");
    const Text end = SubstituteText(endMarker, kQuotePlaceholder, "\"");

    int p = FindSubtext(source, start, startPosition, caseInsensitive);
    if (p == -1) return {};
    p += ByteLength(start);
    const int q = FindSubtext(source, end, p, caseInsensitive);
    if (q == -1) return {};
    return MiddleOf(source, p, q - p);
}

int ExtractAllBetween(const Text& source, const Text& startMarker, const Text& endMarker,
                      TextArray& results, bool caseInsensitive, int lengthLimit, const Text& prefix,
                      const Text& suffix, bool includeStartMarker, bool includeEndMarker,
                      int startPosition) {
    results.clear();
    int position = std::max(startPosition, 1);
    for (;;) {
        const int roundStart = position;
        // An empty marker is "found" at 1 wherever the search starts; a find
        // behind the search start means nothing more is there to find.
        const int p = FindSubtext(source, startMarker, position, caseInsensitive);
        if (p == -1 || p < position) break;
        const int afterStart = p + ByteLength(startMarker);
        const int q = FindSubtext(source, endMarker, afterStart, caseInsensitive);
        if (q == -1 || q < afterStart) break;

        position = afterStart;
        Text hit = prefix + TrimSpaces(MiddleOf(source, position, q - position)) + suffix;
        if (!hit.empty()) {
            if (includeStartMarker) hit = startMarker + hit;
            if (includeEndMarker) hit += endMarker;
            if (lengthLimit != 0) {
                if (ByteLength(hit) < lengthLimit) results.push_back(std::move(hit));
                yieldToEvents(1);
            } else {
                results.push_back(std::move(hit));
            }
            position = q;
        }
        yieldToEvents(3);
        if (position <= roundStart) break;  // only empty markers get here
    }
    return static_cast<int>(results.size());
}

}  // namespace tarvelle::text
