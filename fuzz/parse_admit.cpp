// A fetched page parsed and its links admitted into a real work store, with
// the page stored (and rewritten when chkTranslate is ticked) under two
// output folders in a sandbox. Each input runs in one store transaction that
// is rolled back afterwards, and the output folders are emptied, so every
// input starts from the same state.
//
// Invariants: nothing is ever created in the sandbox outside the two output
// folders (they sit eight folders deep, so a climb out of them lands in the
// sandbox and is seen); the stored page and every target's file lie inside
// the output folder chosen by free space; every admitted URL is the absolute
// URL admission promises: scheme, the job's credentials, no fragment, no
// query unless allowed, within the browsing scope and the required prefix,
// not on a blocked domain, routes within the depth limit.
//
// Input: two bytes of flags (see Job below), the line of the page's route
// (empty for the default page), then the page text.

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "common/fake_settings.h"
#include "engine/work_store.h"
#include "fuzz_support.h"
#include "links/link_queue.h"
#include "links/local_path.h"
#include "links/page_parser.h"
#include "links/url_utils.h"
#include "support/text.h"

using namespace gleanery;
using namespace gleanery::fuzz;
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDefaultPage = "http://www.site.example/dir/index.html";
constexpr std::string_view kBlockedDomain = "blocked.example";
constexpr int kPriority = 7;

// Link admission's view of the store, as the robot gives it.
class StoreQueue final : public LinkQueue {
public:
    explicit StoreQueue(WorkStore& store) : store_(store) {}
    bool insertRoute(const std::string& url, const std::string& referrer, int priority) override {
        return store_.insertRoute(url, referrer, priority);
    }
    std::int64_t insertTarget(const std::string& url, const std::string& referrer, const std::string& file) override {
        return store_.insertTarget(url, referrer, file);
    }
    bool holds(const std::string& url) override { return store_.holds(url); }
    bool isBlocked(const std::string& domain) override { return store_.isBlocked(domain); }
    void insertBlockedSite(const std::string& domain) override { store_.insertBlockedSite(domain); }
    void queueDownload(std::int64_t targetId) override { executed.push_back(targetId); }
    int currentPriority() const override { return kPriority; }
    const std::string& currentDomain() const override { return none_; }

    std::vector<std::int64_t> executed;

private:
    WorkStore& store_;
    const std::string none_;
};

struct Sandbox {
    Sandbox() : root(makeSandbox("parse_admit")) {
        const fs::path deep = root / "1/2/3/4/5/6/7/8";
        primary = (deep / "primary").string();
        secondary = (deep / "secondary").string();
        fs::create_directories(root / "store");
        store.open((root / "store/job.GLD").string(), (root / "no-template").string());
        store.insertBlockedSite(std::string(kBlockedDomain));
        resetFolders();
    }

    void resetFolders() const {
        for (const std::string& folder : {primary, secondary}) {
            fs::remove_all(folder);
            fs::create_directories(folder);
        }
    }

    // Everything in the sandbox lies in an output folder, or is the store or
    // one of the folders above the outputs.
    void checkNothingOutside() const {
        for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
            const std::string p = it->path().string();
            if (p == primary || p == secondary) {
                it.disable_recursion_pending();
                continue;
            }
            const std::string rel = it->path().lexically_relative(root).string();
            const bool expected = rel == "store" || rel.starts_with("store/job.GLD") ||
                                  (it->is_directory() && std::string_view("1/2/3/4/5/6/7/8").starts_with(rel));
            FUZZ_REQUIRE(expected, "nothing is created outside the output folders", shown(p));
        }
    }

    fs::path root;
    std::string primary, secondary;
    WorkStore store;
};

Sandbox& sandbox() {
    static Sandbox s;
    return s;
}

// The job a pair of flag bytes describes, over the site http://www.site.example/.
struct Job {
    Job(std::uint8_t a, std::uint8_t b, const Sandbox& box) {
        const char* types = "JPG JPEG MPG MPEG AVI MOV ZIP GIF WMV JS";
        browse = (a >> 4 & 3) % 3;
        allowParameters = a & 4;
        credentials = a & 64 ? "user:pass@" : "";
        folder = a & 128 ? box.secondary : box.primary;
        required = b & 2 ? "www.site.example/DIR" : "";
        depth = b >> 4;
        space.fullFolder = a & 128 ? box.primary : "";
        settings.set(Field::txtLocation.name, "http://www.site.example/")
            .set(Field::txtPageTypes.name, b & 8 ? "HTM  PHP" : "JSP ASP HTM HTML CGI PHP")
            .set(Field::txtFileTypes.name, b & 1 ? "*" : types)
            .set(Field::txtFileTypesNon.name, types)
            .set(Field::txtRequired.name, required)
            .set(Field::txtSaveLocation.name, box.primary)
            .set(Field::txtSaveLocation2.name, box.secondary)
            .set(Field::txtSpacePrimary.name, "10")
            .set(Field::txtSpaceSecondary.name, "10")
            .set(Field::txtName.name, a & 64 ? "user" : "")
            .set(Field::txtPassword.name, a & 64 ? "pass" : "")
            .tick(Field::chkStorePages.name)
            .tick(Field::chkTranslate.name, a & 1)
            .tick(Field::chkRelative.name, a & 2)
            .tick(Field::chkAllowParameters.name, allowParameters)
            .tick(Field::chkScanExt.name, a & 8)
            .tick(Field::chkImmediate.name, b & 4)
            .select(Field::optBrowse.name, browse)
            .choose(Field::cboMaxDepth.name, depth, decimal(depth));
    }

    void checkAdmitted(const std::string& url) const {
        const std::string_view scheme = url.starts_with("https://") ? "https://" : "http://";
        FUZZ_REQUIRE(url.starts_with(scheme), "an admitted URL has a scheme", shown(url));
        FUZZ_REQUIRE(url.substr(scheme.size()).starts_with(credentials), "an admitted URL carries the credentials",
                     shown(url));
        FUZZ_REQUIRE(url.find('#') == std::string::npos, "an admitted URL has no fragment", shown(url));
        if (!allowParameters)
            FUZZ_REQUIRE(url.find('?') == std::string::npos, "an admitted URL has no query unless allowed", shown(url));
        const std::string domain = GetDomain(url);
        if (browse == 0)
            FUZZ_REQUIRE(domain == "site.example" && GetServer(url) == "www", "an admitted URL stays on the server",
                         shown(url));
        if (browse == 1) FUZZ_REQUIRE(domain == "site.example", "an admitted URL stays in the domain", shown(url));
        FUZZ_REQUIRE(domain != kBlockedDomain, "a blocked domain admits nothing", shown(url));
        if (!required.empty())
            FUZZ_REQUIRE(startsWithNoCase(url.substr(scheme.size() + credentials.size()), required),
                         "an admitted URL begins with the required prefix", shown(url));
    }

    FakeSettings settings;
    FixedFreeSpace space;
    int browse;
    bool allowParameters;
    std::string credentials, folder, required;
    int depth;
};

std::string contentOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    makeApplication();
    sandbox();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Sandbox& box = sandbox();
    InputReader in(data, size);
    const std::uint8_t a = in.byte(), b = in.byte();
    const std::string_view line = in.line();
    const std::string_view text = in.rest();

    Job job(a, b, box);
    const std::string pageUrl = robotsPageUrl(line.empty() ? kDefaultPage : line, job.settings);
    const OutputDrives drives(job.settings, job.space);
    StoreQueue queue(box.store);
    {
        const WorkStore::Batch rolledBack(box.store);
        ParseResults(pageUrl, text, job.settings, drives, queue);

        for (const RouteRow& route : box.store.allRoutes()) {
            job.checkAdmitted(route.URL);
            FUZZ_REQUIRE(std::count(route.URL.begin(), route.URL.end(), '/') <= job.depth + 2,
                         "a route lies within the depth limit", shown(route.URL));
            FUZZ_REQUIRE(route.Referrer == pageUrl && route.Priority == kPriority && !route.Scanned,
                         "a route is new, from this page, at the current priority", shown(route.URL));
        }
        const std::vector<TargetRow> targets = box.store.allTargets();
        for (const TargetRow& target : targets) {
            job.checkAdmitted(target.URL);
            std::string why;
            FUZZ_REQUIRE(liesUnder(target.File, job.folder, &why), "a target's file lies in the folder with room", why);
            FUZZ_REQUIRE(target.Referrer == pageUrl && !target.Completed, "a target is new, from this page",
                         shown(target.URL));
        }
        for (const std::int64_t id : queue.executed)
            FUZZ_REQUIRE(id == 0 || std::any_of(targets.begin(), targets.end(),
                                                [&](const TargetRow& t) { return t.TargetID == id; }),
                         "only new targets are queued for download", std::to_string(id));
    }

    const std::string page = MakePathUnder(MakeURL(pageUrl, job.settings), job.folder, false);
    std::string why;
    FUZZ_REQUIRE(liesUnder(page, job.folder, &why), "the stored page lies in the folder with room", why);
    // Longer names than the system takes cannot be written; that failure is ignored.
    if (page.size() < 3800) {
        FUZZ_REQUIRE(FileExists(page), "the page is stored", shown(page));
        if (!(a & 1)) FUZZ_REQUIRE(contentOf(page) == text, "the page is stored byte for byte", shown(page));
    }
    box.checkNothingOutside();
    box.resetFolders();
    return 0;
}
