// Hostile URLs of every shape must map strictly inside the output folder, to
// names the file system accepts.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/fake_settings.h"
#include "links/local_path.h"
#include "links/url_utils.h"

namespace gleanery {
namespace {

namespace fs = std::filesystem;

class HostileUrls {
public:
    explicit HostileUrls(unsigned seed) : rng_(seed) {}

    std::string next() {
        static const std::vector<std::string> schemes = {"http://", "https://", "HTTP://", "hTtPs://", "", "//",
                                                         "http:/", "ftp://"};
        static const std::vector<std::string> pieces = {
            "..", ".", "%2e%2e", "%2E%2e", ".%2e", "%2e", "%00", "%", "%%", "%2", "%2F", "%2f..%2f",
            "%5C", "\\", "..\\", "@", "u:p@", "a@b", "?", "&", "#", "#frag", "%23", "/", "//", "",
            "srv.dom.example", "localhost", ":8080", "a.htm", "index.html", "x", ".&.", ".?.", ".%3F.",
            "%0A", "%09", "%7F", "\t", "\x01", "%C3%BC", "\xC3", "=", ";", "!", "*", "|", "<", ">", "\"",
            " ", "~", "...", ".htm", "q=1/2", "%252e%252e"};
        std::string url = pick(schemes);
        const int count = int(rng_() % 14);
        for (int i = 0; i < count; ++i) {
            switch (rng_() % 9) {
                case 0: url += std::string(1 + rng_() % 600, char('a' + rng_() % 26)); break;  // long runs
                case 1: url += "/"; break;
                case 2: url += char(rng_() % 256); break;                                     // any byte
                default: url += pick(pieces);
            }
        }
        return url;
    }

private:
    const std::string& pick(const std::vector<std::string>& v) { return v[rng_() % v.size()]; }
    std::mt19937 rng_;
};

void expectConfined(const std::string& path, const std::string& root, const std::string& url) {
    const std::string normal = fs::path(path).lexically_normal().string();
    ASSERT_TRUE(path.starts_with(root + "/")) << url;
    ASSERT_TRUE(normal.starts_with(root + "/")) << url << " -> " << path;
    ASSERT_GT(normal.size(), root.size() + 1) << url;
    const std::string below = path.substr(root.size() + 1);
    std::size_t from = 0;
    for (;;) {
        const auto to = below.find('/', from);
        const std::string name = below.substr(from, to == std::string::npos ? std::string::npos : to - from);
        ASSERT_FALSE(name.empty()) << url << " -> " << path;
        ASSERT_LE(name.size(), 255u) << url << " -> " << path;
        ASSERT_NE(name, ".") << url;
        ASSERT_NE(name, "..") << url;
        ASSERT_EQ(name.find('\0'), std::string::npos) << url << " -> " << path;
        if (to == std::string::npos) break;
        from = to + 1;
    }
}

TEST(LocalPathConfinement, HostileUrlsStayInsideTheOutputFolder) {
    const std::string root = "/srv/mirror/out";
    HostileUrls urls(20240601);
    for (int i = 0; i < 30000; ++i) {
        const std::string url = urls.next();
        const std::string path = MakePathUnder(url, root, false);
        expectConfined(path, root, url);
        ASSERT_EQ(MakePathUnder(url, root, false), path) << "not deterministic: " << url;
        if (HasFatalFailure()) return;
    }
}

TEST(LocalPathConfinement, FolderCreationStaysInsideTheOutputFolder) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string parent = tmp.path().toStdString();
    const std::string root = parent + "/out";
    fs::create_directory(root);
    HostileUrls urls(7);
    for (int i = 0; i < 400; ++i) {
        const std::string url = urls.next();
        expectConfined(MakePathUnder(url, root, true), root, url);
        if (HasFatalFailure()) return;
    }
    // Nothing appeared beside the output folder.
    std::vector<std::string> beside;
    for (const auto& entry : fs::directory_iterator(parent)) beside.push_back(entry.path().filename());
    EXPECT_EQ(beside, std::vector<std::string>{"out"});
    // Names that are no valid UTF-8 defeat QTemporaryDir's own clean-up.
    fs::remove_all(root);
}

TEST(LocalPathConfinement, MakeUrlIsStableAndSchemeTwinsShareAFile) {
    FakeSettings settings;
    settings.set(Field::txtName.name, "jo").set(Field::txtPassword.name, "p@w");
    HostileUrls urls(99);
    for (int i = 0; i < 5000; ++i) {
        const std::string url = urls.next();
        const std::string once = MakeURL(url, settings);
        ASSERT_EQ(MakeURL(once, settings), once) << url;
        const std::string_view rest = StripScheme(once);
        ASSERT_EQ(MakePathUnder("https://" + std::string(rest), "/o", false),
                  MakePathUnder("http://" + std::string(rest), "/o", false))
            << url;
    }
}

}  // namespace
}  // namespace gleanery
