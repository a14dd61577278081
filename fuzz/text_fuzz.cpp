// Drives every text primitive and both extractors with random texts, markers,
// positions and flags, and checks them against plain reference scans.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "text/codepage.h"
#include "text/extract.h"
#include "text/primitives.h"

using namespace tarvelle::text;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void checkText(const Text& t) { check(t.str().find('\0') == std::string::npos); }

bool isBoundary(std::string_view s, size_t at) {
    size_t i = 0;
    while (i < at) i += static_cast<unsigned char>(s[i]) >= 0x80 && i + 1 < s.size() ? 2 : 1;
    return i == at;
}

char fold(char c, bool ci) { return ci && c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool matchesAt(std::string_view s, std::string_view n, size_t at, bool ci) {
    if (at + n.size() > s.size()) return false;
    for (size_t k = 0; k < n.size(); ++k) {
        if (fold(s[at + k], ci) != fold(n[k], ci)) return false;
    }
    return true;
}

// The scan as the text model describes it: one character at a time.
int referenceFind(std::string_view s, std::string_view n, int start, bool ci) {
    const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
    if (from >= s.size()) return -1;
    if (n.empty()) return 1;
    for (size_t i = 0; i < s.size();) {
        const bool lead = static_cast<unsigned char>(s[i]) >= 0x80;
        if (lead && i + 1 == s.size()) break;
        if (i >= from && matchesAt(s, n, i, ci)) return static_cast<int>(i) + 1;
        i += lead ? 2 : 1;
    }
    return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const bool ci = in.ConsumeBool();
    const int start = in.ConsumeIntegralInRange<int>(-3, 80);
    const int count = in.ConsumeIntegralInRange<int>(-3, 80);
    const Text a(in.ConsumeRandomLengthString(8));
    const Text b(in.ConsumeRandomLengthString(8));
    const Text prefix(in.ConsumeRandomLengthString(4));
    const Text source(in.ConsumeRemainingBytesAsString());
    const std::string_view s = source.view();

    const int found = FindSubtext(source, a, start, ci);
    check(found == referenceFind(s, a.view(), start, ci));
    if (found > 0 && !a.empty()) check(isBoundary(s, static_cast<size_t>(found) - 1));

    const int last = FindLastSubtext(source, a, start, ci);
    if (last > 0 && !a.empty()) {
        check(static_cast<size_t>(last) - 1 + a.view().size() <= static_cast<size_t>(start) - 1);
        check(referenceFind(s, a.view(), last, ci) == last);
    }

    for (const Text& t :
         {MiddleOf(source, start, count), LeftOf(source, count), RightOf(source, count)}) {
        checkText(t);
        check(t.empty() || s.find(t.view()) != std::string_view::npos);
    }

    const Text replaced = SubstituteText(source, a, b, start, count, !ci);
    checkText(replaced);
    if (count == 0 || a.empty()) check(replaced == source);

    const TextArray parts = SplitByDelimiter(source, a);
    if (!a.empty() && !ci) {
        std::string joined;
        for (size_t i = 0; i < parts.size(); ++i) {
            checkText(parts[i]);
            joined += (i ? a.str() : "") + parts[i].str();
        }
        check(joined == source.str() || joined + a.str() == source.str());
    }
    check(SplitByDelimiter(source, a, count).size() <= static_cast<size_t>(std::max(count, 0)));

    for (const Text& t : {TrimSpaces(source), StripSpaces(source), LowerAscii(source)}) {
        checkText(t);
        check(t.size() <= source.size());
    }
    ParseLeadingInt(source);

    const Text between = ExtractBetween(source, a, b, start, ci);
    checkText(between);
    check(between.empty() || s.find(between.view()) != std::string_view::npos);

    TextArray all{"stale"};
    const int n =
        ExtractAllBetween(source, a, b, all, ci, count, prefix, {}, start & 1, start & 2, start);
    check(n == static_cast<int>(all.size()));
    for (const Text& t : all) {
        checkText(t);
        check(!t.empty());
        if (count != 0) check(t.size() < count);
    }

    const Text gbk = Utf8ToGbk(source);
    checkText(gbk);
    check(gbk.size() <= source.size());
    check(MultiByteToWideText(source).size() % 2 == 0);
    checkText(WideTextToMultiByte(BytesFromText(source), 936));
    GbkToUtf8(source);
    return 0;
}
