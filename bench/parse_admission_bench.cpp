// Parsing a fetched page and admitting its links into an in-memory queue
// (pages not stored), on pages of growing size: doubling the page should
// double the time. The ordinary page brings new links all the way, so the
// sets of known links grow with it and slowly leave the caches; the page of
// repeated links keeps them small. The hostile page packs keywords into long
// runs without delimiters and lists an empty extension entry, the cases that
// would turn a naive search quadratic.
#include <benchmark/benchmark.h>

#include <climits>
#include <string>

#include "../tests/common/fake_settings.h"
#include "../tests/links/fake_link_queue.h"
#include "links/output_drives.h"
#include "links/page_parser.h"

namespace {

using namespace gleanery;

constexpr const char* kPageUrl = "http://www.site.example/dir/index.html";

class FixedFreeSpace : public FreeSpaceSource {
public:
    std::uint64_t freeBytes(const std::string&) const override { return 100'000'000'000; }
};

// About a kilobyte of ordinary markup per item, with eleven links of every
// kind; items numbered modulo `distinct`, so the links repeat after that many.
std::string ordinaryPage(std::size_t bytes, int distinct) {
    std::string page = "<html><head><title>Catalogue</title></head><body>\n";
    for (int i = 0; page.size() < bytes; ++i) {
        const std::string n = std::to_string(i % distinct);
        page += "<div class=\"item\"><h2>Item " + n + "</h2>\n<a href=\"section" + std::to_string(i % 40) + "/page" +
                n + ".htm\">details</a> | <a href='/files/archive" + n + ".zip'>download</a> | " +
                "<A HREF=list.php?page=" + n + " class=\"nav\">list</A> | <a href=\"#top\">top</a> | " +
                "<a href=\"mailto:sales@site.example\">mail</a>\n<img src = \"img/photo" + n + ".jpg\" alt=\"Photo " +
                n + "\" width=120> <script src=/js/item" + n + ".js></script>\n<p>The picture (thumb" + n +
                ".gif) shows the item from the front; for spare parts see www.site.example/parts/" + n +
                "/ or our partner http://www.partner" + n + ".com/catalogue.html, and read the reviews at " +
                "www.reviews.org/items/" + n + ".htm before you order. Prices include tax and delivery within " +
                "the country; other destinations on request. Lorem ipsum dolor sit amet, consectetur " +
                "adipiscing elit, sed do eiusmod tempor incididunt ut labore et dolore magna aliqua.</p></div>\n";
    }
    return page + "</body></html>\n";
}

// Long runs of keywords without any delimiter, separated by blanks.
std::string hostilePage(std::size_t bytes) {
    std::string page;
    for (int i = 0; page.size() < bytes; ++i) {
        page += std::string(4'000, 'w') + ' ';
        for (int k = 0; k < 400; ++k) page += ".com";
        page += '\n';
        for (int k = 0; k < 300; ++k) page += "src=a";
        page += ' ';
        for (int k = 0; k < 300; ++k) page += "href=x";
        page += " word" + std::to_string(i) + ".jpg (pic" + std::to_string(i) + ".htm)\n";
    }
    return page;
}

FakeSettings jobSettings(bool emptyEntry) {
    FakeSettings s;
    s.set(Field::txtLocation.name, "http://www.site.example/")
        .set(Field::txtPageTypes.name, emptyEntry ? "JSP ASP  HTM HTML CGI PHP" : "JSP ASP HTM HTML CGI PHP")
        .set(Field::txtFileTypes.name, "JPG JPEG MPG MPEG AVI MOV ZIP GIF WMV JS")
        .set(Field::txtFileTypesNon.name, "JPG JPEG MPG MPEG AVI MOV ZIP GIF WMV JS")
        .set(Field::txtSaveLocation.name, "/nonexistent/gleanery-bench/primary")
        .set(Field::txtSaveLocation2.name, "/nonexistent/gleanery-bench/secondary")
        .set(Field::txtSpacePrimary.name, "10")
        .set(Field::txtSpaceSecondary.name, "10")
        .select(Field::optBrowse.name, 2)
        .choose(Field::cboMaxDepth.name, 12, "12")
        .tick(Field::chkScanExt.name);
    return s;
}

void run(benchmark::State& state, const std::string& page, bool emptyEntry) {
    const FakeSettings settings = jobSettings(emptyEntry);
    const FixedFreeSpace space;
    const OutputDrives drives(settings, space);
    testing::FakeLinkQueue queue;
    for (auto _ : state) {
        state.PauseTiming();
        queue.clear();  // every page finds its links new
        state.ResumeTiming();
        ParseResults(kPageUrl, page, settings, drives, queue);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["routes"] = static_cast<double>(queue.routes.size());
    state.counters["targets"] = static_cast<double>(queue.targets.size());
}

void BM_OrdinaryPage(benchmark::State& state) {
    run(state, ordinaryPage(static_cast<std::size_t>(state.range(0)), INT_MAX), false);
}

// The same markup with 500 items repeated: the sets of known links stay
// small, which isolates the search from the growth of the queue.
void BM_RepeatedLinksPage(benchmark::State& state) {
    run(state, ordinaryPage(static_cast<std::size_t>(state.range(0)), 500), false);
}

void BM_HostilePage(benchmark::State& state) {
    run(state, hostilePage(static_cast<std::size_t>(state.range(0))), true);
}

}  // namespace

BENCHMARK(BM_OrdinaryPage)
    ->Arg(100'000)
    ->Arg(200'000)
    ->Arg(1'000'000)
    ->Arg(2'000'000)
    ->Arg(10'000'000)
    ->Arg(20'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepeatedLinksPage)
    ->Arg(1'000'000)
    ->Arg(2'000'000)
    ->Arg(10'000'000)
    ->Arg(20'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostilePage)
    ->Arg(1'000'000)
    ->Arg(2'000'000)
    ->Arg(10'000'000)
    ->Arg(20'000'000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
