#pragma once
// Points GLEANERY_HOME (program data and per-user files, the registry file
// among them) at a fresh temporary folder for the life of the object.
#include <QByteArray>
#include <QTemporaryDir>
#include <string>

namespace gleanery::testing {

class ScopedHome {
public:
    ScopedHome() { qputenv("GLEANERY_HOME", dir_.path().toLocal8Bit()); }
    ~ScopedHome() { had_ ? void(qputenv("GLEANERY_HOME", previous_)) : void(qunsetenv("GLEANERY_HOME")); }

    std::string path(const char* name) const { return dir_.filePath(name).toStdString(); }

private:
    bool had_ = qEnvironmentVariableIsSet("GLEANERY_HOME");
    QByteArray previous_ = qgetenv("GLEANERY_HOME");
    QTemporaryDir dir_;  // not copyable, and so neither is the home
};

}  // namespace gleanery::testing
