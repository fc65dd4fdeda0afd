#pragma once
// Points GLEANERY_HOME (program data and per-user files, the registry file
// among them) at a fresh temporary folder for the life of the object.
#include <QByteArray>
#include <QTemporaryDir>
#include <string>

namespace gleanery::testing {

class ScopedHome {
public:
    ScopedHome() : had_(qEnvironmentVariableIsSet("GLEANERY_HOME")), previous_(qgetenv("GLEANERY_HOME")) {
        qputenv("GLEANERY_HOME", dir_.path().toLocal8Bit());
    }
    ~ScopedHome() {
        if (had_)
            qputenv("GLEANERY_HOME", previous_);
        else
            qunsetenv("GLEANERY_HOME");
    }
    ScopedHome(const ScopedHome&) = delete;
    ScopedHome& operator=(const ScopedHome&) = delete;

    std::string path(const char* name) const { return dir_.filePath(name).toStdString(); }

private:
    QTemporaryDir dir_;
    bool had_;
    QByteArray previous_;
};

}  // namespace gleanery::testing
