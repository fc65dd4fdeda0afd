#pragma once
// The life of a scan. Every change of state goes through the scan controller,
// which tells the fronts.

namespace gleanery {

enum class ScanState {
    Idle,      // nothing runs; Begin and Resume may start a scan
    Scanning,  // pages are fetched and files downloaded
    Paused,    // waiting for the daily limits or the allowed hours; restarts by itself
    Stopping,  // no new transfer starts; waiting for the running ones to end
};

enum class PauseReason { None, DailyLimit, Hours };

// Begin and Resume start a scan only from rest; Stop ends any scan.
inline bool canStart(ScanState state) { return state == ScanState::Idle; }
inline bool canStop(ScanState state) { return state == ScanState::Scanning || state == ScanState::Paused; }

}  // namespace gleanery
