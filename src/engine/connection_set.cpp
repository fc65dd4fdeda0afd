#include "engine/connection_set.h"

#include <utility>

namespace gleanery {

ConnectionSet::ConnectionSet(FetchFactory makeConnection, FetchMade made)
    : make_(std::move(makeConnection)), made_(std::move(made)) {}

FetchObject& ConnectionSet::at(int slot) {
    auto& c = connections_.at(std::size_t(slot - 1));
    if (!c) {
        c = make_(slot);
        c->SlotNumber = slot;
        if (made_) made_(slot, *c);
    }
    return *c;
}

void ConnectionSet::start(int slot, Load load, const std::string& url, const std::string& localFile) {
    inFlight_[std::size_t(slot - 1)] = true;
    loads_[std::size_t(slot - 1)] = load;
    FetchObject& c = at(slot);
    c.Policy = policy_;
    c.StartTransfer(url, localFile);
}

FetchObject& ConnectionSet::arrived(int slot) {
    FetchObject& c = at(slot);
    c.Finish();
    inFlight_[std::size_t(slot - 1)] = false;
    return c;
}

bool ConnectionSet::busy(int slot) const {
    const auto& c = connections_[std::size_t(slot - 1)];
    return inFlight_[std::size_t(slot - 1)] || (c && c->IsBusy());
}

int ConnectionSet::busyCount() const {
    int n = 0;
    for (int slot = 1; slot <= kSlotCount; ++slot) n += busy(slot) ? 1 : 0;
    return n;
}

int ConnectionSet::carrying(Load kind) const {
    int n = 0;
    for (const Load l : loads_) n += l == kind ? 1 : 0;
    return n;
}

}  // namespace gleanery
