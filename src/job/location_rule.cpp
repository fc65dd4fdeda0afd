#include "job/location_rule.h"

#include "job/job_settings.h"
#include "support/messages.h"
#include "support/text.h"

namespace gleanery {

bool refuseOwnSite(JobSettings& settings, Messages& messages) {
    if (findNoCase(settings.text(Field::txtLocation), kProductHost) == std::string::npos) return false;
    messages.inform(std::string("Scanning the web site of Gleanery (") + kProductHost +
                    ") is not allowed with Gleanery.");
    settings.setText(Field::txtLocation, "");
    return true;
}

}  // namespace gleanery
