#pragma once
// What the warcinfo record of each archive file says of the crawl: the
// program, the job, and the settings that decide what was fetched and how.
// Never the password.

#include <string>
#include <vector>

#include "archive/warc_format.h"

namespace gleanery {

class JobSettings;

std::vector<WarcField> archiveDescription(const JobSettings& settings, const std::string& jobName);

}  // namespace gleanery
