#include "shell/setup_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "compat/ini_profile.h"
#include "update/update_files.h"

namespace gleanery {

SetupFileQuestion setupFileQuestion(bool newFile) {
    SetupFileQuestion q;
    q.newFile = newFile;
    q.title = newFile ? QStringLiteral("Select New Setup File") : QStringLiteral("Select Setup File");
    q.filter = QStringLiteral("Gleanery Setup (*.glf)");
    q.folder = QDir::homePath();
    const std::string last = lastSetupFile();
    if (!last.empty()) {
        const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(last)));
        if (info.absoluteDir().exists()) q.folder = info.absolutePath();
    }
    return q;
}

QString askWithFileDialog(QWidget* parent, const SetupFileQuestion& question) {
    QFileDialog dialog(parent, question.title, question.folder, question.filter);
    if (question.newFile) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("glf"));
        // An existing file is opened, not overwritten: its settings are loaded.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

std::string lastSetupFile() { return GetPrivateProfileString("SETTINGS", "LASTSETUP", "", setupIniPath()); }

void rememberSetupFile(const std::string& setupFile) {
    WritePrivateProfileString("SETTINGS", "LASTSETUP", setupFile, setupIniPath());
}

}  // namespace gleanery
