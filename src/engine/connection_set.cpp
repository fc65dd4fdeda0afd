#include "engine/connection_set.h"

namespace gleanery {

ConnectionSet::ConnectionSet(const FetchFactory& makeConnection) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        auto& c = connections_[std::size_t(slot - 1)];
        c = makeConnection(slot);
        c->SlotNumber = slot;
    }
}

void ConnectionSet::start(int slot, Load load, const std::string& url, const std::string& localFile) {
    inFlight_[std::size_t(slot - 1)] = true;
    loads_[std::size_t(slot - 1)] = load;
    at(slot).StartTransfer(url, localFile);
}

FetchObject& ConnectionSet::arrived(int slot) {
    FetchObject& c = at(slot);
    c.Finish();
    inFlight_[std::size_t(slot - 1)] = false;
    return c;
}

bool ConnectionSet::busy(int slot) const { return inFlight_[std::size_t(slot - 1)] || at(slot).IsBusy(); }

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
