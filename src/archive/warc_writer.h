#pragma once
// The job's WARC archive: files "<base>-00000.warc.gz", "<base>-00001..."
// beside the setup file, one gzip member per record. Each run begins a new
// file with a warcinfo record; a file that reaches its size limit is closed
// and the next one begun. Closing a file writes its CDXJ index beside it.
//
// A record is whole or absent: it is written in one piece at the end of the
// file, a failed write is cut off again, and a file that a killed run left
// open is cut back to its last whole record (and indexed) when the next run
// opens the archive.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/earlier_payloads.h"
#include "archive/http_exchange.h"
#include "archive/warc_format.h"
#include "archive/warc_reader.h"

namespace gleanery {

class WarcWriter {
public:
    // `info`: the warcinfo fields that describe the crawl.
    WarcWriter(std::string base, std::uint64_t maxFileBytes, std::vector<WarcField> info);
    ~WarcWriter();
    WarcWriter(const WarcWriter&) = delete;
    WarcWriter& operator=(const WarcWriter&) = delete;

    // Mends and indexes what earlier runs left open, and begins a new file.
    bool open();
    // The records of a finished transfer: a request and a response for each
    // hop of its redirect chain, a revisit for a "304 Not Modified" answer.
    // `truncated` says why the last response is incomplete ("length",
    // "time", "disconnect"; "" when it is whole).
    bool write(const HttpExchange& exchange, std::string_view truncated);
    // Indexes the current file and closes it.
    bool close();

    // Why the last step failed; "" after success.
    const std::string& problem() const { return problem_; }
    // Where large bodies wait to be archived.
    std::string spoolFolder() const;
    // The name of file number n.
    std::string fileName(unsigned n) const;

private:
    bool beginFile();
    bool writeHop(const HttpHop& hop, std::string_view truncated);
    // One record from its fields and its block, which is `head` followed by `body`.
    bool writeRecord(const std::vector<WarcField>& fields, std::string_view head, const SpooledBytes* body,
                     bool compress = true);
    bool fail(std::string problem);

    std::string base_;
    std::uint64_t maxFileBytes_;
    std::vector<WarcField> info_;
    std::string problem_;
    unsigned number_ = 0;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    bool transfersInFile_ = false;
    std::string warcinfoId_;
    // The indexes of the closed files, oldest first.
    std::vector<std::string> earlierIndexes_;
    std::unique_ptr<EarlierPayloads> earlier_;
    GzipMemberWriter compressor_;
    // The responses and revisits of the current file, for its index.
    std::vector<WarcEntry> indexed_;
};

}  // namespace gleanery
