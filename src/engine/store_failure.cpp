// A work store that fails in the middle of a scan stops the scan with a
// message: going on would lose pages or fetch the same page for ever.
#include "engine/robot.h"

#include "support/failure.h"
#include "support/messages.h"

namespace gleanery {

bool Robot::storeStep(const char* routine, const std::function<void()>& statement) {
    try {
        statement();
        return true;
    } catch (const std::exception& e) {
        frmDebug::Display("frmGeneralRobot", routine, e.what());
        if (!stop_) {
            cmdStop_Click();
            messages_.inform(std::string("The work store of this job failed: ") + e.what() +
                             "\nThe scan stops; Resume goes on from the last page stored.");
        }
        return false;
    }
}

}  // namespace gleanery
