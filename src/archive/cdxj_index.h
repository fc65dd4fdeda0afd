#pragma once
// The CDXJ index of a WARC file, as replay tools (pywb, ReplayWeb.page)
// read it: a line per response and revisit record, sorted, each
// "<SURT key> <14-digit time> {json}" with url, mime, status, digest,
// length, offset and filename.

#include "archive/warc_reader.h"

#include <string>
#include <string_view>
#include <vector>

namespace gleanery {

// The sort-friendly form of a URL: "http://www.Example.com:8080/a?b=2&a=1"
// gives "com,example:8080)/a?a=1&b=2".
std::string surtKey(std::string_view url);

// The index lines of these records, sorted; `fileName` names the WARC file
// in each line.
std::string cdxjLines(const std::vector<WarcEntry>& records, std::string_view fileName);

// Writes warcPath + ".cdxj" for the records the scan found, replacing any
// earlier index in one step. False when it could not be written.
bool writeCdxjIndex(const std::string& warcPath, const WarcFileScan& scan);

}  // namespace gleanery
