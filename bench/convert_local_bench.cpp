// Rewriting the links of stored pages: generated pages of 100 KB to 20 MB,
// dense with links of every kind, under the job's default extension lists.
// Each size is followed by its double, and the fitted complexity shows how the
// time grows with the page.
#include <benchmark/benchmark.h>

#include <string>

#include "../tests/links/fake_link_queue.h"
#include "job/job_settings.h"
#include "links/link_rewriting.h"
#include "links/output_drives.h"

namespace {

using namespace gleanery;

// About 1 KB: fourteen links, absolute, root-relative and relative, in
// attributes and in running text, with fragments, queries and scripts.
const std::string kBlock =
    "<div class=\"item\"><a href=\"http://www.example.com/articles/2024/story.html#top\">Story.</a>\n"
    "<img src=\"/images/photos/thumb.jpg\" alt=\"Thumb, 1.5 MB\" width=120 height=90>\n"
    "<a href='gallery/page.htm?id=42&amp;s=1'>Gallery</a> <a href=../up.html>Up</a>\n"
    "<form action=\"/cgi-bin/search.cgi\" method=\"post\"><input name=q></form>\n"
    "<p>Download http://files.example.com/pub/archive.zip (12.3 MB) or /mirror/archive.zip.\n"
    "Also see movie.mpg, clip.avi and https://cdn.example.net/v/intro.mov for the intro.</p>\n"
    "<script src=\"https://cdn.example.net/js/app.js\"></script>\n"
    "<a href=\"#section2\">Next section.</a> <a href=\"javascript:void(0)\">Menu</a>\n"
    "<a href=\"mailto:info@example.com\">Mail us.</a> <img src='//img.example.org/a/b/c.gif'>\n"
    "<p>Version 2.0 is out. It is faster, smaller and simpler than 1.9 was, says the team.</p></div>\n";

std::string pageOf(std::size_t bytes) {
    std::string page;
    page.reserve(bytes + kBlock.size());
    while (page.size() < bytes) page += kBlock;
    page.resize(bytes);
    return page;
}

void BM_ConvertLocal(benchmark::State& state) {
    JobSettings settings;
    settings.setText(Field::txtSaveLocation, "/home/user/WS");
    const OutputDrives drives(settings);
    testing::FakeLinkQueue queue;
    const std::string page = pageOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ConvertLocal("http://www.example.com/articles/index.html", page, settings, drives, queue));
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ConvertLocal)
    ->Arg(100'000)
    ->Arg(200'000)
    ->Arg(1'000'000)
    ->Arg(2'000'000)
    ->Arg(10'000'000)
    ->Arg(20'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace

BENCHMARK_MAIN();
