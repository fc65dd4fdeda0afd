#pragma once
// Where the program's read-only data (template work store, help pages,
// inet.reg) and its per-user writable files live. GLEANERY_HOME overrides
// both, for tests and portable use.

#include <string>

namespace gleanery {

// Folder of the read-only program data.
std::string programDataDir();
// Per-user folder for files the program writes about itself
// (GLSETUP.INI, version.txt, the registry file, the downloaded installer).
std::string userDataDir();

}  // namespace gleanery
