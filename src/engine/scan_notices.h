#pragma once
// How a scan's events reach the user as messages, in the system's own words.
// The windows connect them queued, so that no message box opens inside a
// step of the scan; the command line prints them at once.

#include <Qt>

namespace gleanery {

class Messages;
class ScanController;

void showScanNotices(ScanController& scan, Messages& messages, Qt::ConnectionType connection);

}  // namespace gleanery
