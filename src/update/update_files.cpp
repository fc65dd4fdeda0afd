#include "update/update_files.h"

#include "compat/ini_profile.h"
#include "engine/fetch_object.h"
#include "support/program_paths.h"
#include "support/text.h"

#include <stdexcept>

namespace gleanery {
namespace {

constexpr const char* kSection = "SETTINGS";

std::string inUserData(const char* name) { return userDataDir() + "/" + name; }

}  // namespace

std::string setupIniPath() { return inUserData("GLSETUP.INI"); }
std::string versionFilePath() { return inUserData("version.txt"); }
std::string installerFilePath() { return inUserData("GLUP.EXE"); }

std::string checkUpdateSetting(std::string_view defaultValue) {
    return CleanString(GetPrivateProfileString(kSection, "CHECKUPDATE", defaultValue, setupIniPath()));
}

void writeCheckUpdate(bool on) {
    const std::string path = setupIniPath();
    if (!WritePrivateProfileString(kSection, "CHECKUPDATE", on ? "True" : "False", path))
        throw std::runtime_error("cannot write " + path);
}

const TransferPolicy& updateTransferPolicy() {
    static const TransferPolicy policy = [] {
        TransferPolicy p;
        p.httpsOnly = true;
        return p;
    }();
    return policy;
}

std::string descriptorUrl() {
    const std::string url = CleanString(GetPrivateProfileString(kSection, "UPDATEURL", "", setupIniPath()));
    return url.empty() ? kDescriptorUrl : url;
}

}  // namespace gleanery
