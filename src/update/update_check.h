#pragma once
// The program's check for a newer version of itself: fetches the update
// server's version descriptor, compares it with the running version and, when
// it names a newer one, opens the update window. Runs once at start-up (unless
// switched off in GLSETUP.INI) and whenever the user asks for it.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "engine/connection_set.h"
#include "update/installer_start.h"
#include "update/version_descriptor.h"

namespace gleanery {

class Messages;

class UpdateCheck : public QObject {
    Q_OBJECT
public:
    // Asked when the descriptor names a newer version; true when the
    // installer has been downloaded completely. By default the update window.
    using UpgradePrompt = std::function<bool(const VersionDescriptor& offer)>;

    UpdateCheck(Messages& messages, FetchFactory makeConnection, QWidget* dialogParent = nullptr);
    ~UpdateCheck() override;

    // Starts a check in the background, replacing one that is still running.
    void CheckNewVersion();
    // The menu item: switches the automatic check back on and checks now,
    // telling the user also when the version is current.
    void mnuCheckForUpdate_Click();

    void setRunningVersion(const ProgramVersion& version) { running_ = version; }
    void setUpgradePrompt(UpgradePrompt prompt) { prompt_ = std::move(prompt); }

signals:
    // The installer is complete at path; the main window closes and then starts it.
    void installerDownloaded(const QString& path);
    // A started check has been evaluated.
    void checkCompleted();

private:
    void liInet_Complete();
    void releaseConnection();

    Messages& messages_;
    FetchFactory makeConnection_;
    QPointer<QWidget> dialogParent_;
    UpgradePrompt prompt_;
    ProgramVersion running_ = builtVersion();
    std::unique_ptr<FetchObject> liInet_;
    bool bManualCheck_ = false;
};

}  // namespace gleanery
