#pragma once
// A network fetch object and a test server, with one call that runs a
// transfer to its Complete.

#include "common/test_server.h"
#include "engine/fetch_completion_watch.h"
#include "engine/fetch_result_codes.h"
#include "engine/live_site.h"
#include "engine/network_fetch.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <string>
#include <vector>

namespace gleanery::test {

using Files = std::vector<std::string>;

class NetworkFetchTest : public ::testing::Test {
protected:
    // Starts the transfer, waits for its Complete and returns the ResultCode.
    int run(const std::string& url, const std::string& localFile = "") {
        CompletionWatch watch(fetch);
        fetch.StartTransfer(url, localFile);
        EXPECT_TRUE(watch.wait()) << "no Complete for " << url;
        return fetch.ResultCode();
    }

    std::string inFolder(const std::string& name) const {
        return folder.filePath(QString::fromStdString(name)).toStdString();
    }

    // A URL of a port that nothing listens on.
    static std::string closedPortUrl() {
        const int port = TestServer().port();
        return "http://127.0.0.1:" + std::to_string(port) + "/";
    }

    std::vector<std::string> folderContents() const { return filesUnder(folder.path().toStdString()); }

    TestServer server;
    NetworkFetch fetch;
    QTemporaryDir folder;
};

}  // namespace gleanery::test
