#pragma once
// A network fetch object and a test server, with one call that runs a
// transfer to its Complete.

#include "common/test_server.h"
#include "engine/fetch_completion_watch.h"
#include "engine/fetch_result_codes.h"
#include "engine/network_fetch.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

#include <string>

namespace gleanery::test {

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

    // Every file under the test folder, as paths relative to it.
    QStringList folderContents() const {
        QStringList names;
        const QDir root(folder.path());
        QDirIterator files(folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) names << root.relativeFilePath(files.next());
        names.sort();
        return names;
    }

    TestServer server;
    NetworkFetch fetch;
    QTemporaryDir folder;
};

}  // namespace gleanery::test
