// The post action's extraction on a 5 MB article page of today's markup
// (conversion, title, cover address and video link; no network), against the
// conversion alone on the same page. Prints the median ratio.
//
//   materials_bench [--benchmark_repetitions=N]   (default 15 repetitions)

#include <benchmark/benchmark.h>

#include <iostream>
#include <random>
#include <string>

#include "materials/materials.h"
#include "medians.h"
#include "text/codepage.h"

namespace {

using tarvelle::text::Text;

// Built as today's article pages are: og tags in the head, a long body of
// Chinese paragraphs with markup, a native video frame, the script
// variables near the end.
const std::string& todaysPage() {
    static const std::string page = [] {
        std::mt19937 rng(2026);
        std::string s =
            "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n"
            "<meta property=\"og:title\"\n    content=\"山间的一场雨\" />\n"
            "<meta property=\"og:image\"\n    content=\"https://img.example/c.jpg?a=1&amp;b=2\" "
            "/>\n"
            "</head><body><div id=\"js_content\">\n";
        const char* words[] = {"编辑",   "素材",  "公众号",
                               "文章",   "视频",  "封面图",
                               "，",     "。",    "<p style=\"margin:0\">",
                               "</p>\n", " Tea ", "2026 ",
                               "<br/>"};
        while (s.size() < (5u << 20)) s += words[rng() % std::size(words)];
        s += "<iframe class=\"video_iframe\" data-mpvid=\"wxv_1\" "
             "data-src=\"https://mp.example/v?a=1&amp;vid=wxv_1\"></iframe>\n</div>\n"
             "<script>\nvar msg_title = '山间的一场雨'.html(false);\n"
             "var msg_link = \"https://mp.example/s/1\";\n</script></body></html>\n";
        return s;
    }();
    return page;
}

void BM_Utf8ToGbk(benchmark::State& state) {
    const Text page(todaysPage());
    for (auto _ : state) benchmark::DoNotOptimize(tarvelle::text::Utf8ToGbk(page));
}

// What ExtractArticleMaterials does with the page once it has been read.
void BM_ConversionAndExtraction(benchmark::State& state) {
    const tarvelle::materials::Hosts hosts{"portal.example", "mp.example", "v.qq.com",
                                           "weishi.qq.com", "weishi.qq.com"};
    const Text utf8(todaysPage());
    for (auto _ : state) {
        const Text page = tarvelle::text::Utf8ToGbk(utf8);
        const Text cover = tarvelle::materials::CoverUrlOf(page);
        const Text title = tarvelle::materials::ArticleTitleOf(page);
        const Text video = tarvelle::materials::ExtractVideoLink(page, hosts);
        if (title.empty() || cover.empty() || video.empty()) {
            state.SkipWithError("the page's materials were not found");
        }
    }
}

BENCHMARK(BM_Utf8ToGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConversionAndExtraction)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Build the inputs before anything is timed.
    todaysPage();
    return tarvelle::bench::runWithMedians(argc, argv, [](tarvelle::bench::Medians& m) {
        if (m.size() < 2) return;
        std::cout << "\nmedian ratio\n"
                  << "  extraction time / Utf8ToGbk alone: "
                  << m["BM_ConversionAndExtraction"] / m["BM_Utf8ToGbk"] << "  (target <= 1.5)\n";
    });
}
