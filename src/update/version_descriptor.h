#pragma once
// The update server's version descriptor: an INI file whose section "INFO"
// names the newest version (MAJOR, MINOR, REV) and, for every older version,
// its own installer address, mandatory flag and description under keys
// suffixed with that version (URL.1.0.5, MANDITORY.1.0.5, DESCRIPTION.1.0.5),
// and optionally the SHA-256 of that installer in hexadecimal (SHA256.1.0.5).

#include <string>

namespace gleanery {

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int rev = 0;
};

// The version this program was built as.
ProgramVersion builtVersion();

// "." major "." minor "." rev, in plain decimal.
std::string versionKeySuffix(const ProgramVersion& version);

// Every value as read and cleaned; a missing file or key gives these defaults.
struct VersionDescriptor {
    std::string major = "0";
    std::string minor = "0";
    std::string rev = "0";
    std::string url = "0";
    std::string manditory = "false";
    std::string description = "0";
    std::string sha256;  // "" when the descriptor gives none
};

VersionDescriptor readVersionDescriptor(const std::string& path, const ProgramVersion& running);

// Compares the numbers at the start of the descriptor's texts, so "10" is newer than "2".
bool isNewer(const VersionDescriptor& descriptor, const ProgramVersion& running);

}  // namespace gleanery
