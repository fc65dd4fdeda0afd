#pragma once
// A small web site served by the test server for whole scans: pages of links
// written in the three quoting styles the parser meets, and files of known
// bytes.

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/test_server.h"

namespace gleanery::test {

class LiveSite {
public:
    explicit LiveSite(TestServer& server) : server_(server) {}

    // A page whose links take the forms href="x", href='x' and href=x in turn
    // (src likewise); its body.
    std::string page(const std::string& path, const std::vector<std::string>& hrefs,
                     const std::vector<std::string>& srcs = {}) {
        static const char* const kQuotes[] = {"\"", "'", ""};
        std::string body = "<html><body>\n";
        for (std::size_t i = 0; i < hrefs.size(); ++i)
            body += std::string("<a href=") + kQuotes[i % 3] + hrefs[i] + kQuotes[i % 3] + ">link</a>\n";
        for (std::size_t i = 0; i < srcs.size(); ++i)
            body += std::string("<img src=") + kQuotes[i % 3] + srcs[i] + kQuotes[i % 3] + " alt=pic>\n";
        body += "</body></html>\n";
        server_.page(path, body);
        return body;
    }

    // A file with the bytes of fileBytes(path), answered after the delay.
    void file(const std::string& path, std::chrono::milliseconds delay = {}) {
        files_.push_back(path);
        server_.stall(path, delay, fileBytes(path), "application/octet-stream");
    }

    // count files "/<folder>/000.gif", "/<folder>/001.gif" ...; their paths.
    std::vector<std::string> numberedFiles(const std::string& folder, int count, std::chrono::milliseconds delay) {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i) {
            char name[24];  // room for any int, so the compiler sees no truncation
            std::snprintf(name, sizeof name, "/%03d.gif", i);
            paths.push_back("/" + folder + name);
            file(paths.back(), delay);
        }
        return paths;
    }

    // Binary bytes of every value, a length of their own, told apart by the path.
    static std::string fileBytes(const std::string& path) {
        std::string bytes = "GIF89a" + path + '\0';
        const std::size_t size = 700 + std::hash<std::string>{}(path) % 2000;
        for (std::size_t i = 0; bytes.size() < size; ++i) bytes += char((i * 37 + path.size()) & 0xFF);
        return bytes;
    }

    const std::vector<std::string>& files() const { return files_; }
    // Requests for the site's files so far.
    int filesRequested() const {
        int n = 0;
        for (const std::string& f : files_) n += server_.hits(f);
        return n;
    }

private:
    TestServer& server_;
    std::vector<std::string> files_;
};

}  // namespace gleanery::test
