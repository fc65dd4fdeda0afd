#pragma once
// What the fuzz targets share: a broken invariant aborts with a message the
// fuzzer prints beside the reproducer, inputs are cut into header bytes and
// lines, and local file names are checked against the output folder they
// must stay in.

#include <QCoreApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "links/output_drives.h"
#include "links/url_utils.h"
#include "support/settings_view.h"

namespace gleanery::fuzz {

[[noreturn]] inline void broken(std::string_view invariant, std::string_view detail = {}) {
    std::fprintf(stderr, "\n*** invariant broken: %.*s\n", int(invariant.size()), invariant.data());
    if (!detail.empty()) std::fprintf(stderr, "*** %.*s\n", int(detail.size()), detail.data());
    std::abort();
}

// The detail is worked out only when the invariant is broken.
#define FUZZ_REQUIRE(holds, invariant, detail)                         \
    do {                                                               \
        if (!(holds)) ::gleanery::fuzz::broken((invariant), (detail)); \
    } while (false)

// "a" -> "b" with the bytes escaped, for messages.
inline std::string shown(std::string_view s) {
    std::string out = "\"";
    for (const unsigned char c : s) {
        if (c >= 32 && c < 127 && c != '\\' && c != '"') {
            out += char(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out + "\"";
}

// Reads an input from the front: header bytes, then lines, then the rest.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}
    std::uint8_t byte() {
        if (rest_.empty()) return 0;
        const auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    // Up to the next line feed, which is consumed.
    std::string_view line() {
        const auto end = rest_.find('\n');
        const std::string_view l = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return l;
    }
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

// Qt's file and text classes expect an application object; one for the
// whole run, made before the first input.
inline void makeApplication() {
    static int argc = 1;
    static char name[] = "gleanery-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// A fresh folder for one fuzzer process, in memory when /dev/shm exists.
// It is removed when the fuzzer ends; a crash leaves it for a look.
inline std::filesystem::path makeSandbox(const char* target) {
    static std::vector<std::filesystem::path> made;
    if (made.empty())
        std::atexit([] {
            std::error_code ignored;
            for (const auto& folder : made) std::filesystem::remove_all(folder, ignored);
        });
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/gleanery-fuzz-" + target + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) broken("the sandbox folder can be made", pattern);
    made.emplace_back(pattern);
    return made.back();
}

// A page reaches the parser under the URL the robot fetched it by: its
// route made absolute and percent-encoded, a folder's own page named.
inline std::string robotsPageUrl(std::string_view route, const SettingsView& settings) {
    std::string url = URLEncode(MakeURL(route, settings));
    if (url.ends_with('/')) url += "index.html";
    return url;
}

// A drive whose free space the target chooses.
class FixedFreeSpace final : public FreeSpaceSource {
public:
    std::uint64_t freeBytes(const std::string& folder) const override {
        return folder == fullFolder ? 0 : 100'000'000'000ull;
    }
    std::string fullFolder;  // the one folder that reads as full
};

// A local file name as local path mapping promises it: folder + "/" + names
// joined by "/", each name non-empty, not "." or "..", within the file
// system's limit of 255 bytes and free of NUL.
inline bool liesUnder(std::string_view path, std::string_view folder, std::string* why = nullptr) {
    const auto fail = [&](std::string reason) {
        if (why) *why = std::move(reason) + " in " + shown(path) + " under " + shown(folder);
        return false;
    };
    if (!path.starts_with(folder) || path.size() <= folder.size() + 1 || path[folder.size()] != '/')
        return fail("not inside the folder");
    std::string_view names = path.substr(folder.size() + 1);
    for (;;) {
        const auto slash = names.find('/');
        const std::string_view name = names.substr(0, slash);
        if (name.empty() || name == "." || name == "..") return fail("empty or dot name");
        if (name.size() > 255) return fail("name over 255 bytes");
        if (name.find('\0') != std::string_view::npos) return fail("name holds a NUL");
        if (slash == std::string_view::npos) return true;
        names.remove_prefix(slash + 1);
    }
}

}  // namespace gleanery::fuzz
