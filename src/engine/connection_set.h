#pragma once
// The job's transfer slots. Slot 1 fetches pages; the others download
// files, and with pages on all connections any free slot takes either. A job
// uses up to ten connections, one transfer each; a connection that
// multiplexes (HTTP/2) carries up to thirty transfers at once (as many as
// wget2 sends on one), so a job has 300 slots, each made on its first use.
// Slot k shows in connection pane (k - 1) % 10 + 1.
// A slot carries its load from the start of a transfer until its arrival has
// been recorded; it counts as busy (transferring) only until its completion
// has been handled, whatever the connection itself reports.

#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "engine/fetch_object.h"

namespace gleanery {

inline constexpr int kConnectionCount = 10;
inline constexpr int kStreamsPerConnection = 30;
inline constexpr int kSlotCount = kConnectionCount * kStreamsPerConnection;
inline constexpr int kPageSlot = 1;

inline int paneOf(int slot) { return (slot - 1) % kConnectionCount + 1; }

using FetchFactory = std::function<std::unique_ptr<FetchObject>(int slot)>;
// Told of each connection when it is made, before its first transfer.
using FetchMade = std::function<void(int slot, FetchObject& connection)>;

enum class Load { None, Page, File };

class ConnectionSet {
public:
    ConnectionSet(FetchFactory makeConnection, FetchMade made);

    // The slot's connection, made on first use.
    FetchObject& at(int slot);
    // Only for a slot that carries a load.
    const FetchObject& at(int slot) const { return *connections_.at(std::size_t(slot - 1)); }

    void start(int slot, Load load, const std::string& url, const std::string& localFile);
    // Every transfer started from now on follows this policy.
    void setPolicy(const TransferPolicy& policy) { policy_ = &policy; }
    // The first step of every completion handler: the slot's transfer is over.
    FetchObject& arrived(int slot);
    // Its arrival is recorded: the slot may take the next load.
    void release(int slot) { loads_[std::size_t(slot - 1)] = Load::None; }

    Load load(int slot) const { return loads_[std::size_t(slot - 1)]; }
    bool free(int slot) const { return load(slot) == Load::None && !busy(slot); }
    bool busy(int slot) const;
    int busyCount() const;
    // Slots whose load is of this kind, transferring or waiting to be recorded.
    int carrying(Load load) const;

private:
    FetchFactory make_;
    FetchMade made_;
    const TransferPolicy* policy_ = nullptr;
    std::array<std::unique_ptr<FetchObject>, kSlotCount> connections_;
    std::array<bool, kSlotCount> inFlight_{};
    std::array<Load, kSlotCount> loads_{};
};

// Releases a slot when it goes out of scope, also when recording its arrival fails.
class ReleaseOnExit {
public:
    ReleaseOnExit(ConnectionSet& set, int slot) : set_(set), slot_(slot) {}
    ~ReleaseOnExit() { set_.release(slot_); }
    ReleaseOnExit(const ReleaseOnExit&) = delete;
    ReleaseOnExit& operator=(const ReleaseOnExit&) = delete;

private:
    ConnectionSet& set_;
    int slot_;
};

}  // namespace gleanery
