#include "update/update_check.h"

#include "engine/fetch_result_codes.h"
#include "support/failure.h"
#include "support/messages.h"
#include "support/text.h"
#include "update/update_files.h"
#include "update/upgrade_window.h"

#include <QFile>

#include <filesystem>

namespace gleanery {

UpdateCheck::UpdateCheck(Messages& messages, FetchFactory makeConnection, QWidget* dialogParent)
    : messages_(messages), makeConnection_(std::move(makeConnection)), dialogParent_(dialogParent) {
    prompt_ = [this](const VersionDescriptor& offer) {
        return frmUpgrade::Display(offer, messages_, makeConnection_, dialogParent_);
    };
}

UpdateCheck::~UpdateCheck() { releaseConnection(); }

void UpdateCheck::CheckNewVersion() {
    const Routine step{"MainMenu", "CheckNewVersion"};
    if (asciiUpper(checkUpdateSetting("True")) == "FALSE") return;
    const std::string local = versionFilePath();
    // A failed fetch must leave no descriptor behind, or an old one would be read as the answer.
    step([&] {
        if (FileExists(local)) std::filesystem::remove(local);
    });
    releaseConnection();
    liInet_ = makeConnection_(0);
    liInet_->Policy = &updateTransferPolicy();
    connect(liInet_.get(), &FetchObject::Complete, this, &UpdateCheck::liInet_Complete);
    liInet_->StartTransfer(descriptorUrl(), local);
}

void UpdateCheck::mnuCheckForUpdate_Click() {
    const Routine step{"MainMenu", "mnuCheckForUpdate_Click"};
    step([] { writeCheckUpdate(true); });
    bManualCheck_ = true;
    CheckNewVersion();
}

void UpdateCheck::liInet_Complete() {
    liInet_->Finish();
    const int result = liInet_->ResultCode();
    // A descriptor that never came says nothing about the version: the
    // user who asked is told that the check failed, not that all is current.
    if (result < 200 || result >= 300) {
        if (bManualCheck_)
            messages_.inform("Gleanery could not check for a newer version: " + fetchResultText(result) + ".",
                             "Update Status");
        emit checkCompleted();
        return;
    }
    const VersionDescriptor descriptor = readVersionDescriptor(versionFilePath(), running_);
    if (isNewer(descriptor, running_)) {
        if (prompt_(descriptor)) {
            const QString installer = QFile::decodeName(QByteArray::fromStdString(installerFilePath()));
            // Queued: the main window closes on this signal and may take this
            // object with it, which must not happen inside the connection's
            // own completion signal.
            QMetaObject::invokeMethod(
                this, [this, installer] { emit installerDownloaded(installer); }, Qt::QueuedConnection);
        }
    } else if (bManualCheck_) {
        messages_.inform("Your version of Gleanery is current.", "Update Status");
    }
    emit checkCompleted();
}

void UpdateCheck::releaseConnection() {
    if (!liInet_) return;
    // The connection may be the sender of the signal being handled (a check
    // started from inside the update window), so it goes away later, silenced.
    liInet_->disconnect(this);
    liInet_.release()->deleteLater();
}

}  // namespace gleanery
