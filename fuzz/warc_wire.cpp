// Whatever a server sends becomes whole archive records: a response, cut
// into the pieces the wire might bring, goes through the exchange and the
// WARC writer, and the reader must then find every record whole. The same
// file cut short at any byte must read as its whole records and no more,
// which is what mending a file torn by a kill relies on.
//
// Input: one byte, the size of the pieces less one; one byte, where to cut
// the copy; the rest is the response as received, head and body.

#include <unistd.h>

#include <filesystem>

#include "archive/warc_reader.h"
#include "archive/warc_writer.h"
#include "fuzz_support.h"

using namespace gleanery;
using namespace gleanery::fuzz;

namespace {

const std::string& folder() {
    static const std::string path = [] {
        const auto p = std::filesystem::temp_directory_path() / ("gleanery-fuzz-warc-" + std::to_string(getpid()));
        std::filesystem::create_directories(p);
        return p.string();
    }();
    return path;
}

void feed(std::string_view bytes, std::size_t piece, void (HttpExchange::*take)(std::string_view),
          HttpExchange& exchange) {
    for (std::size_t at = 0; at < bytes.size(); at += piece) (exchange.*take)(bytes.substr(at, piece));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const std::size_t piece = std::size_t(data[0]) + 1;
    const std::size_t cutFromEnd = std::size_t(data[1]) + 1;
    const std::string_view wire(reinterpret_cast<const char*>(data) + 2, size - 2);
    // curl hands the head over up to its blank line, then the body.
    const std::size_t headEnd = wire.find("\r\n\r\n");
    const std::size_t split = headEnd == std::string_view::npos ? wire.size() : headEnd + 4;

    HttpExchange exchange(folder());
    exchange.requestSent("GET / HTTP/1.1\r\nHost: h\r\n\r\n", "http://h/", "127.0.0.1", 0);
    feed(wire.substr(0, split), piece, &HttpExchange::responseHead, exchange);
    feed(wire.substr(split), piece, &HttpExchange::responseBody, exchange);

    for (const auto& entry : std::filesystem::directory_iterator(folder())) std::filesystem::remove(entry);
    const std::string base = folder() + "/job";
    std::string file;
    {
        WarcWriter writer(base, 1 << 30, {{"software", "fuzz"}});
        FUZZ_REQUIRE(writer.open(), "the archive opens", writer.problem());
        FUZZ_REQUIRE(writer.write(exchange, ""), "the exchange is written", writer.problem());
        FUZZ_REQUIRE(writer.close(), "the archive closes", writer.problem());
        file = writer.fileName(0);
    }
    const WarcFileScan whole = scanWarcFile(file);
    FUZZ_REQUIRE(whole.whole(), "every record written reads back whole", shown(wire));
    const std::size_t expected = exchange.hops().front()->answered() ? 3 : 1;
    FUZZ_REQUIRE(whole.records.size() == expected, "warcinfo, request and response", shown(wire));

    const std::uint64_t cut = whole.fileBytes - std::min<std::uint64_t>(cutFromEnd, whole.fileBytes);
    std::filesystem::resize_file(file, cut);
    const WarcFileScan torn = scanWarcFile(file);
    std::uint64_t sound = 0;
    for (const WarcEntry& r : whole.records)
        if (r.offset + r.length <= cut) sound = r.offset + r.length;
    FUZZ_REQUIRE(torn.soundBytes == sound, "a cut file reads as its whole records", std::to_string(cut));
    return 0;
}
