#include "archive/warc_writer.h"

#include <QUuid>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <utility>

#include "archive/cdxj_index.h"
#include "archive/warc_reader.h"
#include "support/write_all.h"

namespace gleanery {
namespace {

constexpr const char* kRevisitProfile = "http://netpreserve.org/warc/1.1/revisit/server-not-modified";
// Compressed bytes are written out when this many wait.
constexpr std::size_t kWriteChunk = 1024 * 1024;
// A smaller record is stored: compressing it saves a few dozen bytes and
// costs as much as compressing a page.
constexpr std::uint64_t kSmallestCompressed = 1024;

std::string recordId() { return "<urn:uuid:" + QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString() + ">"; }

std::string systemError() { return std::strerror(errno); }

}  // namespace

WarcWriter::WarcWriter(std::string base, std::uint64_t maxFileBytes, std::vector<WarcField> info)
    : base_(std::move(base)), maxFileBytes_(maxFileBytes), info_(std::move(info)) {}

WarcWriter::~WarcWriter() { close(); }

std::string WarcWriter::fileName(unsigned n) const {
    char number[16];
    std::snprintf(number, sizeof number, "-%05u.warc.gz", n);
    return base_ + number;
}

std::string WarcWriter::spoolFolder() const {
    const std::string folder = std::filesystem::path(base_).parent_path().string();
    return folder.empty() ? "." : folder;
}

bool WarcWriter::open() {
    problem_.clear();
    // The files of earlier runs, by number; one without its index was left
    // open by a run that was killed.
    std::map<unsigned, std::string> files;
    const std::string prefix = std::filesystem::path(base_).filename().string() + "-";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(spoolFolder(), error)) {
        const std::string name = entry.path().filename().string();
        unsigned n = 0;
        int used = 0;
        if (name.starts_with(prefix) && std::sscanf(name.c_str() + prefix.size(), "%5u.warc.gz%n", &n, &used) == 1 &&
            prefix.size() + std::size_t(used) == name.size())
            files[n] = entry.path().string();
    }
    if (error) return fail("its folder cannot be read: " + error.message());
    number_ = files.empty() ? 0 : files.rbegin()->first + 1;
    std::vector<std::string> indexes;
    for (const auto& [n, file] : files) {
        indexes.push_back(file + ".cdxj");
        if (std::filesystem::exists(indexes.back())) continue;
        const WarcFileScan scan = scanWarcFile(file);
        if (!scan.opened) return fail(file + " cannot be read");
        if (scan.soundBytes < scan.fileBytes && ::truncate(file.c_str(), off_t(scan.soundBytes)) != 0)
            return fail(file + " cannot be mended: " + systemError());
        if (!writeCdxjIndex(file, scan)) return fail(indexes.back() + " cannot be written");
    }
    earlierIndexes_ = std::move(indexes);
    return beginFile();
}

bool WarcWriter::beginFile() {
    const std::string file = fileName(number_);
    fd_ = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd_ < 0) return fail(file + " cannot be created: " + systemError());
    size_ = 0;
    transfersInFile_ = false;
    warcinfoId_ = recordId();
    const std::string block = warcFieldLines(info_);
    return writeRecord({{"WARC-Type", "warcinfo"},
                        {"WARC-Record-ID", warcinfoId_},
                        {"WARC-Date", warcDate(std::time(nullptr))},
                        {"WARC-Filename", std::filesystem::path(file).filename().string()},
                        {"Content-Type", "application/warc-fields"},
                        {"WARC-Block-Digest", warcDigestOf(block)}},
                       block, nullptr);
}

bool WarcWriter::close() {
    if (fd_ < 0) return true;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    const std::string file = fileName(number_++);
    earlierIndexes_.push_back(file + ".cdxj");
    if (!closed) return fail(file + " cannot be written: " + systemError());
    WarcFileScan written;
    written.records = std::exchange(indexed_, {});
    if (!writeCdxjIndex(file, written)) return fail(file + ".cdxj cannot be written");
    return true;
}

bool WarcWriter::write(const HttpExchange& exchange, std::string_view truncated) {
    if (fd_ < 0) return fail("the archive is closed");
    // A file holds at least one transfer however small its limit.
    if (transfersInFile_ && size_ >= maxFileBytes_ && !(close() && beginFile())) return false;
    const auto& hops = exchange.hops();
    for (std::size_t i = 0; i < hops.size(); ++i) {
        const bool last = i + 1 == hops.size();
        if (!hops[i]->answered()) continue;
        if (!writeHop(*hops[i], last ? truncated : std::string_view())) return false;
        transfersInFile_ = true;
    }
    return true;
}

bool WarcWriter::writeHop(const HttpHop& hop, std::string_view truncated) {
    if (hop.spoolFailed) return fail("a body could not be kept in " + spoolFolder() + " until it was archived");
    const std::string requestId = recordId();
    const std::string responseId = recordId();
    const std::string date = warcDate(hop.date);
    auto common = [&](const char* type, const std::string& id, const std::string& concurrent) {
        std::vector<WarcField> fields = {{"WARC-Type", type},
                                         {"WARC-Record-ID", id},
                                         {"WARC-Warcinfo-ID", warcinfoId_},
                                         {"WARC-Concurrent-To", concurrent},
                                         {"WARC-Target-URI", hop.targetUri},
                                         {"WARC-Date", date}};
        if (!hop.ipAddress.empty()) fields.push_back({"WARC-IP-Address", hop.ipAddress});
        return fields;
    };
    std::vector<WarcField> request = common("request", requestId, responseId);
    request.push_back({"Content-Type", "application/http;msgtype=request"});
    request.push_back({"WARC-Block-Digest", warcDigestOf(hop.request)});
    if (!writeRecord(request, hop.request, nullptr)) return false;

    const bool revisit = hop.status() == 304;
    std::vector<WarcField> response = common(revisit ? "revisit" : "response", responseId, requestId);
    response.push_back({"Content-Type", "application/http;msgtype=response"});
    response.push_back({"WARC-Block-Digest", hop.blockDigest.result()});
    if (!revisit) {
        response.push_back({"WARC-Payload-Digest", hop.payloadDigest.result()});
    } else {
        response.push_back({"WARC-Profile", kRevisitProfile});
        if (!earlier_) earlier_ = std::make_unique<EarlierPayloads>(earlierIndexes_);
        if (const EarlierPayload* earlier = earlier_->find(hop.targetUri)) {
            response.push_back({"WARC-Refers-To-Target-URI", hop.targetUri});
            response.push_back({"WARC-Refers-To-Date", earlier->date});
            response.push_back({"WARC-Payload-Digest", earlier->digest});
        }
    }
    if (!truncated.empty()) response.push_back({"WARC-Truncated", std::string(truncated)});
    const std::uint64_t start = size_;
    if (!writeRecord(response, hop.responseHead, &hop.body, hop.compressible())) return false;
    // Kept for the file's index, which would otherwise read the whole file again.
    WarcEntry entry{start, size_ - start, std::move(response), hop.responseHead};
    if (entry.httpHead.ends_with("\r\n\r\n")) entry.httpHead.resize(entry.httpHead.size() - 2);
    indexed_.push_back(std::move(entry));
    return true;
}

bool WarcWriter::writeRecord(const std::vector<WarcField>& fields, std::string_view head, const SpooledBytes* body,
                             bool compress) {
    const std::uint64_t start = size_;
    std::string pending;
    bool written = true;
    auto flush = [&] {
        written = written && writeAll(fd_, pending);
        size_ += pending.size();
        pending.clear();
        return written;
    };
    const std::uint64_t blockLength = head.size() + (body ? body->size() : 0);
    GzipMemberWriter& member = compressor_;
    member.begin(
        [&](std::string_view bytes) {
            pending.append(bytes);
            return pending.size() < kWriteChunk || flush();
        },
        compress && blockLength >= kSmallestCompressed);
    const bool compressed = member.add(warcRecordHead(fields, blockLength)) && member.add(head) &&
                            (!body || body->read([&](std::string_view bytes) { return member.add(bytes); })) &&
                            member.add(kWarcRecordEnd) && member.finish();
    if (compressed && flush()) return true;
    // Nothing of a record that failed stays in the file.
    const std::string reason = systemError();
    if (::ftruncate(fd_, off_t(start)) == 0) size_ = start;
    return fail(fileName(number_) + " cannot be written: " + reason);
}

bool WarcWriter::fail(std::string problem) {
    problem_ = std::move(problem);
    return false;
}

}  // namespace gleanery
