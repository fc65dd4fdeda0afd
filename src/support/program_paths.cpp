#include "support/program_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace gleanery {

namespace {
std::string homeOverride() {
    const QByteArray home = qgetenv("GLEANERY_HOME");
    return home.toStdString();
}
}  // namespace

std::string programDataDir() {
    if (auto home = homeOverride(); !home.empty()) return home;
    // The build tree and an installation share one layout: bin/ beside share/gleanery/.
    if (QCoreApplication::instance()) {
        const QString beside = QCoreApplication::applicationDirPath() + "/../share/gleanery";
        if (QDir(beside).exists()) return QDir(beside).canonicalPath().toStdString();
    }
    if (QDir(GLEANERY_INSTALL_DATA_DIR).exists()) return GLEANERY_INSTALL_DATA_DIR;
    return GLEANERY_BUILD_DATA_DIR;
}

std::string userDataDir() {
    if (auto home = homeOverride(); !home.empty()) return home;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/gleanery";
    QDir().mkpath(dir);
    return dir.toStdString();
}

}  // namespace gleanery
