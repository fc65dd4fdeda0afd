// The robot's side of link admission: the work store's queues.
#include "engine/robot.h"

#include "engine/work_store.h"

namespace gleanery {

bool Robot::insertRoute(const std::string& url, const std::string& referrer, int priority) {
    return store_.insertRoute(url, referrer, priority);
}

std::int64_t Robot::insertTarget(const std::string& url, const std::string& referrer, const std::string& file) {
    return store_.insertTarget(url, referrer, file);
}

bool Robot::holds(const std::string& url) { return store_.holds(url); }

bool Robot::isBlocked(const std::string& domain) { return store_.isBlocked(domain); }

void Robot::insertBlockedSite(const std::string& domain) { store_.insertBlockedSite(domain); }

}  // namespace gleanery
