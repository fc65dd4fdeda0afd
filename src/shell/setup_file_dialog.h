#pragma once
// Choosing a job's setup file for New Setup and Load Setup. The dialog starts
// in the folder of the setup file opened last, which the program settings
// file GLSETUP.INI keeps in section "SETTINGS", key "LASTSETUP".

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

namespace gleanery {

struct SetupFileQuestion {
    bool newFile = false;  // New Setup: a name that does not exist yet may be typed
    QString title;
    QString folder;  // where the dialog starts
    QString filter;
};

// Answers with the chosen file's path, or an empty text when cancelled.
using SetupFileChooser = std::function<QString(QWidget* parent, const SetupFileQuestion& question)>;

// The question of New Setup (newFile) or Load Setup.
SetupFileQuestion setupFileQuestion(bool newFile);
// The file dialog: the save form for a new file, the open form otherwise.
QString askWithFileDialog(QWidget* parent, const SetupFileQuestion& question);

// The setup file opened last ("" when none has been); kept per user.
std::string lastSetupFile();
void rememberSetupFile(const std::string& setupFile);

}  // namespace gleanery
