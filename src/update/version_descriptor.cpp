#include "update/version_descriptor.h"

#include "compat/ini_profile.h"
#include "support/text.h"

namespace gleanery {
namespace {

constexpr const char* kSection = "INFO";

}  // namespace

ProgramVersion builtVersion() { return {GLEANERY_VERSION_MAJOR, GLEANERY_VERSION_MINOR, GLEANERY_VERSION_PATCH}; }

std::string versionKeySuffix(const ProgramVersion& version) {
    return "." + decimal(version.major) + "." + decimal(version.minor) + "." + decimal(version.rev);
}

VersionDescriptor readVersionDescriptor(const std::string& path, const ProgramVersion& running) {
    const IniFile file(path);
    const std::string suffix = versionKeySuffix(running);
    const auto read = [&](const std::string& key, const std::string& defaultValue) {
        return CleanString(file.get(kSection, key, defaultValue));
    };
    VersionDescriptor d;
    d.major = read("MAJOR", d.major);
    d.minor = read("MINOR", d.minor);
    d.rev = read("REV", d.rev);
    d.url = read("URL" + suffix, d.url);
    d.manditory = read("MANDITORY" + suffix, d.manditory);
    d.description = read("DESCRIPTION" + suffix, d.description);
    d.sha256 = read("SHA256" + suffix, d.sha256);
    return d;
}

bool isNewer(const VersionDescriptor& descriptor, const ProgramVersion& running) {
    const double major = numericValue(descriptor.major);
    const double minor = numericValue(descriptor.minor);
    const double rev = numericValue(descriptor.rev);
    if (major != running.major) return major > running.major;
    if (minor != running.minor) return minor > running.minor;
    return rev > running.rev;
}

}  // namespace gleanery
