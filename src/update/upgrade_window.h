#pragma once
// The update window: shows what a newer version brings and downloads its
// installer. It closes itself once the download is over and tells its caller
// whether a complete installer is now on disk.

#include <QDialog>
#include <QTimer>

#include <memory>
#include <string>

#include "engine/connection_set.h"
#include "update/version_descriptor.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace gleanery {

class Messages;

inline constexpr const char* kUpdateNotDownloaded = "The update could not be downloaded. Please try again later.";
inline constexpr const char* kUpdateNotGenuine =
    "The downloaded update does not match the checksum that the update server gives for it, so it was deleted "
    "and will not be installed.";

class frmUpgrade : public QDialog {
    Q_OBJECT
public:
    // Shows the window modally; true when the installer was downloaded
    // completely (a 2xx answer over https, the whole body in the installer
    // file) and, when the offer gives a SHA-256, matches it.
    static bool Display(const VersionDescriptor& offer, Messages& messages, const FetchFactory& makeConnection,
                        QWidget* parent = nullptr);

    ~frmUpgrade() override;

    // A close request from any source is refused while the installer downloads.
    void reject() override;
    // Every way out ends here: the future-check choice is saved.
    void done(int result) override;

private:
    frmUpgrade(const VersionDescriptor& offer, Messages& messages, const FetchFactory& makeConnection, QWidget* parent);
    // The installer on disk matches the offer's SHA-256 (or it gives none).
    bool installerGenuine() const;

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void tmrWait_Timer();
    void liInet_Complete();
    void Timer1_Timer();

    Messages& messages_;
    std::unique_ptr<FetchObject> liInet_;
    std::string sDescription_;
    std::string sUrl_;
    std::string sManditory_;
    std::string sSha256_;
    bool bDownloaded_ = false;

    QLabel* Label1_;
    QPlainTextEdit* Text1_;
    QCheckBox* chkFuture_;
    QPushButton* Command1_;
    QPushButton* Command2_;
    QLabel* lblWait_;
    QTimer tmrWait_;
    QTimer Timer1_;
};

}  // namespace gleanery
