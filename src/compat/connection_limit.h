#pragma once
// How many simultaneous connections to one web server the scan may use: the
// per-server limits of the user's Internet Settings, with an offer to raise
// them to 10.

#include "support/messages.h"

namespace gleanery {

inline constexpr const char* kInternetSettingsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// The smaller of the two per-server values, but at least 2. With bAsk and a
// limit below 10 the user is asked whether inet.reg of the program's data may
// be imported; on OK it is, and the result is 10. Failures are skipped
// without a report.
int CheckConnectionLimit(bool bAsk, Messages& messages);

}  // namespace gleanery
