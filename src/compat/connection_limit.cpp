#include "compat/connection_limit.h"

#include <cmath>
#include <string>

#include "support/program_paths.h"
#include "compat/registry.h"
#include "support/text.h"

namespace gleanery {

int CheckConnectionLimit(bool bAsk, Messages& messages) {
    Registry registry;
    registry.OpenKey(HKEY_CURRENT_USER, kInternetSettingsKey, KEY_READ);
    int limit = 2;
    // An absent value reads as empty text, which counts as 0.
    const auto number = [&registry](const char* name) {
        return numericValue(textForm(registry.Values(std::string(name))));
    };
    const double perOneZeroServer = number("MaxConnectionsPer1_0Server");
    const double perServer = number("MaxConnectionsPerServer");
    // The limit is a 16-bit number: a value beyond that range leaves it as it was.
    const auto take = [&limit](double value) {
        const double whole = std::nearbyint(value);
        if (whole >= -32768 && whole <= 32767) limit = static_cast<int>(whole);
    };
    if (perServer <= perOneZeroServer) {
        if (perServer > limit) take(perServer);
    } else if (perOneZeroServer > limit) {
        take(perOneZeroServer);
    }
    if (bAsk && limit < 10 &&
        messages.confirm("For best performance, Gleanery needs to modify your registry in order to allow more "
                         "simultaneous connections to web-servers.",
                         "Allow Registry Changes?")) {
        importRegFile(programDataDir() + "/inet.reg");
        limit = 10;
    }
    return limit;
}

}  // namespace gleanery
