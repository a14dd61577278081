// Throughput of the text toolkit against the raw facilities it is built on:
// FindSubtext against memmem over the same bytes, Utf8ToGbk against one call
// of the ICU converter. Prints the median ratios after the benchmark table.
//
//   text_bench [--benchmark_repetitions=N]   (default 15 repetitions)

#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>

#include <cstring>
#include <iostream>
#include <random>
#include <string>

#include "medians.h"
#include "text/codepage.h"
#include "text/primitives.h"

namespace {

using tarvelle::text::Text;

const std::string kPortalMarker = "#6#6#6#6";
const std::string kTitleMarker = "var msg_title = \"";  // sought case-insensitively
const std::string kTitleInText = "VAR Msg_Title = \"";  // as it stands in the text

// ~8 MB of code page 936: ASCII words and markup mixed with double-byte
// characters, the markers in the last kilobytes.
const std::string& gbkText() {
    static const std::string text = [] {
        std::mt19937 rng(936);
        std::string s;
        s.reserve(8u << 20);
        const char* ascii[] = {"<div class=\"p\">", "the ", "data-src=", "</p>", "&amp;", "0123 ",
                               "https://",          "#6#",  "var "};
        while (s.size() < (8u << 20) - 4096) {
            if (rng() % 3 == 0) {
                s += ascii[rng() % std::size(ascii)];
            } else {
                for (int i = 0, n = 1 + static_cast<int>(rng() % 12); i < n; ++i) {
                    s += static_cast<char>(0xB0 + rng() % 0x48);
                    s += static_cast<char>(0xA1 + rng() % 0x5E);
                }
            }
        }
        s += kTitleInText + "title\";" + kPortalMarker + "http://mp.example/s/abc#<";
        return s;
    }();
    return text;
}

// ~5 MB of UTF-8: an article page with Chinese paragraphs.
const std::string& utf8Page() {
    static const std::string page = [] {
        std::mt19937 rng(65001);
        std::string s = "<html><head><title>示例</title></head><body>";
        const char* words[] = {"编辑", "素材", "公众号", "文章",  "视频",  "封面图", "，",
                               "。",   "<p>",  "</p>",   " the ", "2026 ", "€"};
        while (s.size() < (5u << 20)) s += words[rng() % std::size(words)];
        return s + "</body></html>";
    }();
    return page;
}

void memmemSearch(benchmark::State& state, const std::string& needle) {
    const std::string& text = gbkText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(memmem(text.data(), text.size(), needle.data(), needle.size()));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void findSubtext(benchmark::State& state, const std::string& needle, bool caseInsensitive) {
    const Text text(gbkText());
    const Text sought(needle);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarvelle::text::FindSubtext(text, sought, 1, caseInsensitive));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(gbkText().size()));
}

void BM_Memmem(benchmark::State& state) { memmemSearch(state, kPortalMarker); }
void BM_FindSubtext(benchmark::State& state) { findSubtext(state, kPortalMarker, false); }
void BM_MemmemTitle(benchmark::State& state) { memmemSearch(state, kTitleInText); }
void BM_FindSubtextCaseInsensitive(benchmark::State& state) {
    findSubtext(state, kTitleMarker, true);
}

void BM_IcuConvert(benchmark::State& state) {
    const std::string& page = utf8Page();
    UErrorCode err = U_ZERO_ERROR;
    UConverter* from = ucnv_open("UTF-8", &err);
    UConverter* to = ucnv_open("windows-936-2000", &err);
    std::string out(page.size(), '\0');
    for (auto _ : state) {
        char* target = out.data();
        const char* source = page.data();
        err = U_ZERO_ERROR;
        ucnv_convertEx(to, from, &target, out.data() + out.size(), &source,
                       page.data() + page.size(), nullptr, nullptr, nullptr, nullptr, true, true,
                       &err);
        benchmark::DoNotOptimize(target);
    }
    ucnv_close(from);
    ucnv_close(to);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}

void BM_Utf8ToGbk(benchmark::State& state) {
    const Text page(utf8Page());
    for (auto _ : state) benchmark::DoNotOptimize(tarvelle::text::Utf8ToGbk(page));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(utf8Page().size()));
}

BENCHMARK(BM_Memmem);
BENCHMARK(BM_FindSubtext);
BENCHMARK(BM_MemmemTitle);
BENCHMARK(BM_FindSubtextCaseInsensitive);
BENCHMARK(BM_IcuConvert);
BENCHMARK(BM_Utf8ToGbk);

}  // namespace

int main(int argc, char** argv) {
    // Build the inputs before anything is timed.
    gbkText();
    utf8Page();
    return tarvelle::bench::runWithMedians(argc, argv, [](tarvelle::bench::Medians& m) {
        if (m.size() < 6) return;  // a filter left some out
        std::cout << "\nmedian ratios\n"
                  << "  FindSubtext throughput / memmem, case-sensitive:   "
                  << m["BM_Memmem"] / m["BM_FindSubtext"] << "  (target >= 0.5)\n"
                  << "  FindSubtext throughput / memmem, case-insensitive: "
                  << m["BM_MemmemTitle"] / m["BM_FindSubtextCaseInsensitive"]
                  << "  (target >= 0.25)\n"
                  << "  Utf8ToGbk time / raw ICU conversion:               "
                  << m["BM_Utf8ToGbk"] / m["BM_IcuConvert"] << "  (target <= 1.3)\n";
    });
}
