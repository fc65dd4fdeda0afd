#pragma once
// The files the program keeps about updating itself, all in the per-user data
// folder: GLSETUP.INI with the update settings, the fetched version
// descriptor and the downloaded installer.
//
// GLSETUP.INI, section "SETTINGS":
//   CHECKUPDATE  "True" or "False" (any case): whether the check runs at start-up.
//   UPDATEURL    address of the version descriptor, replacing kDescriptorUrl
//                (a mirror, or a local server in tests); absent or empty: the default.

#include <string>
#include <string_view>

namespace gleanery {

struct TransferPolicy;

// What the update transfers ask: over https only, never redirected to http,
// so that nobody on the way can hand the program another descriptor or
// installer.
const TransferPolicy& updateTransferPolicy();

inline constexpr const char* kDescriptorUrl = "https://gleanery.org/glversion.txt";

std::string setupIniPath();
std::string versionFilePath();
std::string installerFilePath();

// "SETTINGS"/"CHECKUPDATE" cleaned, or defaultValue when absent.
std::string checkUpdateSetting(std::string_view defaultValue);
// Writes "True" or "False"; throws std::runtime_error when GLSETUP.INI cannot be written.
void writeCheckUpdate(bool on);
std::string descriptorUrl();

}  // namespace gleanery
