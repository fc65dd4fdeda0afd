// The work store on a scan's hot path: admitting the links of many pages,
// taking the next route from a large queue, and marking finished downloads.
// Stores are written under GLEANERY_BENCH_DIR (default: the temporary folder);
// point it at the disk the jobs live on, as a RAM disk hides the cost of syncs.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "engine/work_store.h"

namespace {

namespace fs = std::filesystem;
using gleanery::WorkStore;

constexpr int kLinks = 100'000;      // routes, and as many targets
constexpr int kLinksPerPage = 50;    // half of them pages, half files
constexpr int kOperations = 10'000;  // selections, or completed downloads

// A new store in a folder of its own, removed with it.
class ScratchStore {
public:
    ScratchStore() {
        static int made = 0;
        const char* base = std::getenv("GLEANERY_BENCH_DIR");
        folder_ = fs::path(base && *base ? base : fs::temp_directory_path().string()) /
                  ("gleanery-bench-" + std::to_string(::getpid()) + "-" + std::to_string(++made));
        fs::create_directories(folder_);
        store.open((folder_ / "bench.GLD").string(), "");
    }
    ~ScratchStore() {
        store.close();
        fs::remove_all(folder_);
    }
    ScratchStore(const ScratchStore&) = delete;
    ScratchStore& operator=(const ScratchStore&) = delete;

    WorkStore store;

private:
    fs::path folder_;
};

std::string link(const char* kind, int n) {
    return "http://www.example.com/" + std::string(kind) + "/" + std::to_string(n) + ".html";
}

// Writes pages as the completion handler does: each page's links and the
// mark of its own route in one batch.
void admitPages(WorkStore& store, int links) {
    const std::string referrer = "http://www.example.com/index.html";
    int page = 0;
    for (int first = 0; first < links; first += kLinksPerPage / 2) {
        WorkStore::Batch batch(store);
        for (int n = first; n < first + kLinksPerPage / 2 && n < links; ++n) {
            store.insertRoute(link("page", n), referrer, 1 + n % 3);
            store.insertTarget(link("file", n), referrer, "/home/user/WS/www.example.com/file/" + std::to_string(n));
        }
        store.markRouteScanned(++page, 200);
        batch.commit();
    }
}

void BM_AdmitLinksInPageBatches(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        {
            ScratchStore scratch;
            state.ResumeTiming();
            admitPages(scratch.store, kLinks);
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 2 * kLinks);
}
BENCHMARK(BM_AdmitLinksInPageBatches)->Unit(benchmark::kMillisecond)->UseRealTime();

// Most links of a page are known already: the store refuses them.
void BM_RefuseKnownLinksInPageBatches(benchmark::State& state) {
    ScratchStore scratch;
    admitPages(scratch.store, kLinks);
    for (auto _ : state) admitPages(scratch.store, kLinks);
    state.SetItemsProcessed(state.iterations() * 2 * kLinks);
}
BENCHMARK(BM_RefuseKnownLinksInPageBatches)->Unit(benchmark::kMillisecond)->UseRealTime();

// The scheduler's step from a queue of 100,000 routes: take the next route
// and mark it scanned on its own, as a route of a blocked domain is marked.
void BM_NextRouteFromLargeQueue(benchmark::State& state) {
    const bool newestFirst = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            ScratchStore scratch;
            admitPages(scratch.store, kLinks);
            state.ResumeTiming();
            for (int i = 0; i < kOperations; ++i) {
                const auto route = scratch.store.nextRoute(newestFirst);
                scratch.store.markRouteScanned(route->RouteID, 0);
            }
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kOperations);
    state.SetLabel(newestFirst ? "newest first" : "oldest first");
}
BENCHMARK(BM_NextRouteFromLargeQueue)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The download runner marks each finished download on its own.
void BM_MarkTargetCompleted(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        {
            ScratchStore scratch;
            admitPages(scratch.store, kLinks);
            const auto pending = scratch.store.pendingTargets();
            state.ResumeTiming();
            // Spread over the table, as downloads finish out of order.
            for (int i = 0; i < kOperations; ++i) scratch.store.markTargetCompleted(pending[i * 7].TargetID, 200);
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kOperations);
}
BENCHMARK(BM_MarkTargetCompleted)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
