// The archive's files as a run leaves them: whole records only, a new file
// at the size limit, and what a killed run left mended by the next one.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "archive/warc_reader.h"
#include "archive/warc_writer.h"
#include "common/files.h"
#include "common/noise_bytes.h"

namespace gleanery::test {
namespace {

class WarcWriterFiles : public ::testing::Test {
protected:
    std::string base() const { return dir.filePath("job").toStdString(); }
    std::string file(unsigned n) const { return WarcWriter(base(), 0, {}).fileName(n); }
    static HttpExchange exchange(const std::string& path) {
        HttpExchange e("/tmp");
        e.requestSent("GET " + path + " HTTP/1.1\r\n\r\n", "http://h" + path, "127.0.0.1", 1765000000);
        e.responseHead("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n");
        e.responseBody("body of " + path);
        return e;
    }
    // The response records of a file, by target.
    static std::vector<std::string> responses(const std::string& path) {
        std::vector<std::string> targets;
        for (const WarcEntry& r : scanWarcFile(path).records)
            if (r.field("WARC-Type") == "response") targets.push_back(r.field("WARC-Target-URI"));
        return targets;
    }

    QTemporaryDir dir;
};

TEST_F(WarcWriterFiles, AFileFullToItsLimitIsIndexedAndTheNextOneBegun) {
    WarcWriter writer(base(), 1, {{"software", "test"}});
    ASSERT_TRUE(writer.open());
    for (const char* path : {"/a", "/b"}) ASSERT_TRUE(writer.write(exchange(path), "")) << writer.problem();
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(responses(file(0)), std::vector<std::string>{"http://h/a"});
    EXPECT_EQ(responses(file(1)), std::vector<std::string>{"http://h/b"});
    for (unsigned n : {0u, 1u}) {
        EXPECT_TRUE(scanWarcFile(file(n)).whole());
        EXPECT_NE(readFile(file(n) + ".cdxj").find("\"url\": \"http://h/"), std::string::npos);
    }
}

// A run killed in the middle of a record leaves its file open: no index, a
// torn tail. The next run cuts the tail, indexes the file and goes on in a new one.
TEST_F(WarcWriterFiles, TheNextRunMendsAndIndexesAFileAKilledRunLeftOpen) {
    {
        WarcWriter writer(base(), 1 << 30, {});
        ASSERT_TRUE(writer.open());
        for (const char* path : {"/a", "/b"}) ASSERT_TRUE(writer.write(exchange(path), ""));
    }
    std::filesystem::remove(file(0) + ".cdxj");
    const WarcFileScan whole = scanWarcFile(file(0));
    std::filesystem::resize_file(file(0), whole.fileBytes - 5);

    WarcWriter writer(base(), 1 << 30, {});
    ASSERT_TRUE(writer.open()) << writer.problem();
    EXPECT_EQ(std::filesystem::file_size(file(0)), whole.records.back().offset);
    EXPECT_TRUE(scanWarcFile(file(0)).whole());
    EXPECT_EQ(responses(file(0)), std::vector<std::string>{"http://h/a"});
    EXPECT_NE(readFile(file(0) + ".cdxj").find("http://h/a"), std::string::npos);
    ASSERT_TRUE(writer.write(exchange("/c"), ""));
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(responses(file(1)), std::vector<std::string>{"http://h/c"});
}

// A full disk, as a file size limit: the record that does not fit leaves
// nothing of itself, and the writer says why.
TEST_F(WarcWriterFiles, ARecordThatCannotBeWrittenLeavesNothingOfItself) {
    WarcWriter writer(base(), 1 << 30, {});
    ASSERT_TRUE(writer.open());
    ASSERT_TRUE(writer.write(exchange("/a"), ""));
    const auto before = std::filesystem::file_size(file(0));
    HttpExchange large = exchange("/large");
    large.responseBody(noiseBytes(256 * 1024, 1));

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = before + 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool written = writer.write(large, "");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(writer.problem().find("cannot be written"), std::string::npos) << writer.problem();
    const WarcFileScan scan = scanWarcFile(file(0));
    EXPECT_TRUE(scan.whole());
    EXPECT_EQ(responses(file(0)), std::vector<std::string>{"http://h/a"});
}

}  // namespace
}  // namespace gleanery::test
