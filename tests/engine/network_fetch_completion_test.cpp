// Complete comes exactly once per started transfer, later than StartTransfer
// returns, with IsBusy already false; Finish and a replacing StartTransfer
// keep that promise.
#include "engine/network_fetch_fixture.h"

namespace gleanery::test {
namespace {

using NetworkFetchCompletion = NetworkFetchTest;

TEST_F(NetworkFetchCompletion, CompleteComesOnceAndNeverInsideStartTransfer) {
    server.page("/ok.html", "ok");
    server.status("/missing.html", 404);
    const std::string urls[] = {server.url("/ok.html"), server.url("/missing.html"), closedPortUrl(), "not a url"};
    for (const std::string& url : urls) {
        SCOPED_TRACE(url);
        CompletionWatch watch(fetch);
        fetch.StartTransfer(url, "");
        EXPECT_EQ(watch.count(), 0);
        EXPECT_TRUE(fetch.IsBusy());

        ASSERT_TRUE(watch.wait());
        spinFor(std::chrono::milliseconds(150));
        EXPECT_EQ(watch.count(), 1);
        EXPECT_FALSE(watch.busyAtComplete());
        EXPECT_FALSE(fetch.IsBusy());
    }
}

TEST_F(NetworkFetchCompletion, FinishAfterCompleteKeepsTheOutcome) {
    server.page("/ok.html", "body");
    ASSERT_EQ(run(server.url("/ok.html")), 200);

    fetch.Finish();
    fetch.Finish();
    EXPECT_EQ(fetch.ResultCode(), 200);
    EXPECT_EQ(fetch.Content(), "body");
}

TEST_F(NetworkFetchCompletion, FinishDuringATransferCancelsItWithOneComplete) {
    server.stall("/slow.html", std::chrono::seconds(20));
    CompletionWatch watch(fetch);
    fetch.StartTransfer(server.url("/slow.html"), inFolder("slow.html"));
    ASSERT_TRUE(spinUntil([this] { return server.hits("/slow.html") > 0; }));

    fetch.Finish();
    fetch.Finish();
    EXPECT_EQ(watch.count(), 0);
    ASSERT_TRUE(watch.wait());
    spinFor(std::chrono::milliseconds(150));
    EXPECT_EQ(watch.count(), 1);
    EXPECT_EQ(fetch.ResultCode(), kFetchCancelled);
    EXPECT_EQ(folderContents(), Files{});
}

TEST_F(NetworkFetchCompletion, AStartWhileBusyReplacesTheRunningTransfer) {
    server.stall("/slow.html", std::chrono::seconds(20));
    server.page("/quick.html", "quick");
    CompletionWatch watch(fetch);
    fetch.StartTransfer(server.url("/slow.html"), inFolder("slow.html"));
    ASSERT_TRUE(spinUntil([this] { return server.hits("/slow.html") > 0; }));

    fetch.StartTransfer(server.url("/quick.html"), "");
    ASSERT_TRUE(watch.wait());
    spinFor(std::chrono::milliseconds(150));
    EXPECT_EQ(watch.count(), 1);
    EXPECT_EQ(fetch.ResultCode(), 200);
    EXPECT_EQ(fetch.Content(), "quick");
    EXPECT_EQ(folderContents(), Files{});
}

TEST_F(NetworkFetchCompletion, ANewTransferCanStartFromTheCompleteHandler) {
    server.page("/first.html", "first");
    server.page("/second.html", "second");
    std::vector<std::string> seen;
    QObject context;
    QObject::connect(&fetch, &FetchObject::Complete, &context, [&] {
        fetch.Finish();
        seen.push_back(fetch.Content());
        if (seen.size() == 1) fetch.StartTransfer(server.url("/second.html"), "");
    });

    fetch.StartTransfer(server.url("/first.html"), "");
    ASSERT_TRUE(spinUntil([&] { return seen.size() == 2; }));
    spinFor(std::chrono::milliseconds(150));
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
}

}  // namespace
}  // namespace gleanery::test
