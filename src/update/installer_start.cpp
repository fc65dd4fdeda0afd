#include "update/installer_start.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace gleanery {

bool startInstaller(const QString& path) {
    QFile installer(path);
    if (!installer.exists()) return false;
    // Downloads arrive without the execute bit.
    installer.setPermissions(installer.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    QProcess process;
    process.setProgram(QFileInfo(path).absoluteFilePath());
    process.setWorkingDirectory(QFileInfo(path).absolutePath());
    return process.startDetached();
}

}  // namespace gleanery
