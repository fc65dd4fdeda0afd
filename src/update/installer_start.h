#pragma once

#include <QString>

namespace gleanery {

// Makes the downloaded installer executable and starts it as a process of its
// own, in its own folder; the program does not wait for it. False when it
// could not be started (a missing file among other reasons).
bool startInstaller(const QString& path);

}  // namespace gleanery
