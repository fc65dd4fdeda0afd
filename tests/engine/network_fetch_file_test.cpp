// File transfers: the target appears complete after a 2xx response and in no
// other case, and no temporary file is ever left behind.
#include "engine/network_fetch_fixture.h"

#include <fstream>

namespace gleanery::test {
namespace {

using NetworkFetchFile = NetworkFetchTest;

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST_F(NetworkFetchFile, A200BodyBecomesTheFileInANewFolder) {
    std::string body;
    for (int i = 0; i < 300'000; ++i) body += static_cast<char>(i * 7);
    server.page("/pics/photo.jpg", body, "image/jpeg");
    const std::string target = inFolder("site/pics/photo.jpg");

    ASSERT_EQ(run(server.url("/pics/photo.jpg"), target), 200);
    EXPECT_EQ(readFile(target), body);
    EXPECT_TRUE(fetch.Content().empty());
    EXPECT_EQ(folderContents(), Files{"site/pics/photo.jpg"});
}

TEST_F(NetworkFetchFile, AFailedTransferKeepsTheEarlierFileAndASuccessfulOneReplacesIt) {
    server.status("/new.zip", 404);
    EXPECT_EQ(run(server.url("/new.zip"), inFolder("out/new.zip")), 404);
    EXPECT_EQ(folderContents(), Files{});

    const std::string target = inFolder("file.txt");
    writeFile(target, "earlier copy");

    server.status("/file.txt", 500);
    EXPECT_EQ(run(server.url("/file.txt"), target), 500);
    EXPECT_EQ(readFile(target), "earlier copy");

    server.page("/file.txt", "new copy", "text/plain");
    EXPECT_EQ(run(server.url("/file.txt"), target), 200);
    EXPECT_EQ(readFile(target), "new copy");
    EXPECT_EQ(folderContents(), Files{"file.txt"});
}

TEST_F(NetworkFetchFile, AGzipFileLabelledAsGzipEncodedIsStoredPacked) {
    // gzip of "hello", sent the way misconfigured servers send .gz files.
    const std::string packed(
        "\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03\xcb\x48\xcd\xc9\xc9\x07\x00"
        "\x86\xa6\x10\x36\x05\x00\x00\x00",
        25);
    server.handle("/hello.gz", [&packed](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Encoding", "gzip");
        response.set_content(packed, "application/x-gzip");
    });

    ASSERT_EQ(run(server.url("/hello.gz"), inFolder("hello.gz")), 200);
    EXPECT_EQ(readFile(inFolder("hello.gz")), packed);
}

TEST_F(NetworkFetchFile, AFolderThatCannotBeMadeIsReportedAsNotWritable) {
    writeFile(inFolder("blocker"), "a file where a folder should be");
    server.page("/x.bin", "x");

    CompletionWatch watch(fetch);
    fetch.StartTransfer(server.url("/x.bin"), inFolder("blocker/x.bin"));
    EXPECT_EQ(watch.count(), 0);
    ASSERT_TRUE(watch.wait());
    EXPECT_EQ(fetch.ResultCode(), kFetchFileNotWritable);
    EXPECT_EQ(server.hits("/x.bin"), 0);
    EXPECT_EQ(folderContents(), Files{"blocker"});
}

TEST_F(NetworkFetchFile, ATimeoutOrACutMidBodyLeavesNoFile) {
    fetch.setIdleTimeout(std::chrono::milliseconds(300));
    server.handle("/stalls.bin", [this](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("application/octet-stream",
                                              [this](std::size_t offset, httplib::DataSink& sink) {
                                                  if (offset == 0) return sink.write("first piece", 11);
                                                  return !server.pause(std::chrono::seconds(20));
                                              });
    });
    server.handle("/cut.bin", [](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(1000, "application/octet-stream",
                                      [](std::size_t, std::size_t, httplib::DataSink& sink) {
                                          sink.write("partial", 7);
                                          return false;
                                      });
    });

    EXPECT_EQ(run(server.url("/stalls.bin"), inFolder("stalls.bin")), kFetchTimeout);
    EXPECT_EQ(run(server.url("/cut.bin"), inFolder("cut.bin")), kFetchNetworkError);
    EXPECT_EQ(folderContents(), Files{});
}

TEST_F(NetworkFetchFile, DestroyingTheObjectMidTransferLeavesNoFileAndEmitsNothing) {
    server.trickle("/slow.bin", std::string(4000, 'z'), 100, std::chrono::milliseconds(50));
    auto doomed = std::make_unique<NetworkFetch>();
    CompletionWatch watch(*doomed);
    doomed->StartTransfer(server.url("/slow.bin"), inFolder("slow.bin"));
    ASSERT_TRUE(spinUntil([&] { return doomed->BytesReceived() > 0; }));

    doomed.reset();
    EXPECT_EQ(folderContents(), Files{});
    spinFor(std::chrono::milliseconds(200));
    EXPECT_EQ(watch.count(), 0);
}

TEST_F(NetworkFetchFile, AVeryLongFileNameStillGetsItsTemporaryFile) {
    const std::string name(250, 'n');
    server.page("/long", "long name");
    ASSERT_EQ(run(server.url("/long"), inFolder(name)), 200);
    EXPECT_EQ(folderContents(), Files{name});
}

}  // namespace
}  // namespace gleanery::test
