#pragma once
// The job's ten connections: slot 1 fetches pages, slots 2..10 download
// files. A slot counts as busy from the start of a transfer until its
// completion has been handled, whatever the connection itself reports.

#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "engine/fetch_object.h"

namespace gleanery {

inline constexpr int kConnectionCount = 10;
inline constexpr int kPageSlot = 1;

using FetchFactory = std::function<std::unique_ptr<FetchObject>(int slot)>;

class ConnectionSet {
public:
    explicit ConnectionSet(const FetchFactory& makeConnection);

    FetchObject& at(int slot) { return *connections_.at(std::size_t(slot - 1)); }
    const FetchObject& at(int slot) const { return *connections_.at(std::size_t(slot - 1)); }

    void start(int slot, const std::string& url, const std::string& localFile);
    // The first step of every completion handler: the slot's transfer is over.
    FetchObject& arrived(int slot);
    bool busy(int slot) const;
    int busyCount() const;
    int busyDownloads() const { return busyCount() - (busy(kPageSlot) ? 1 : 0); }

private:
    std::array<std::unique_ptr<FetchObject>, kConnectionCount> connections_;
    std::array<bool, kConnectionCount> inFlight_{};
};

}  // namespace gleanery
