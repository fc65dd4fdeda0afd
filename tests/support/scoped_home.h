#pragma once
// Points GLEANERY_HOME (program data and per-user files, the registry file
// among them) at a fresh temporary folder for the life of the object.
#include <QTemporaryDir>
#include <string>

#include "common/scoped_environment.h"

namespace gleanery::testing {

class ScopedHome {
public:
    std::string path(const char* name) const { return dir_.filePath(name).toStdString(); }

private:
    QTemporaryDir dir_;  // not copyable, and so neither is the home
    test::ScopedEnvironment home_{"GLEANERY_HOME", dir_.path().toLocal8Bit()};
};

}  // namespace gleanery::testing
