#pragma once
// Reads a .warc.gz file record by record, one gzip member each, and checks
// every record whole: its head, its declared length, its closing bytes and
// its block digest. Reading stops at the first member that is not a whole
// record: what lies before it is the file's sound part.

#include "archive/warc_format.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gleanery {

struct WarcEntry {
    std::uint64_t offset = 0;  // of its gzip member in the file
    std::uint64_t length = 0;  // of that member, compressed
    std::vector<WarcField> fields;
    // Of a request, response or revisit whose block is HTTP: the start
    // line and header lines up to the blank line; "" otherwise.
    std::string httpHead;

    // A field's value by its name in any case; "" when it has none.
    std::string field(std::string_view name) const;
};

struct WarcFileScan {
    std::vector<WarcEntry> records;
    std::uint64_t soundBytes = 0;  // the whole records from the start
    std::uint64_t fileBytes = 0;
    bool opened = false;  // false when the file could not be read
    // Every byte of the file belongs to a whole record.
    bool whole() const { return opened && soundBytes == fileBytes; }
};

WarcFileScan scanWarcFile(const std::string& path);

}  // namespace gleanery
