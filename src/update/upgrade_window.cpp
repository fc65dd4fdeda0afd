#include "update/upgrade_window.h"

#include "support/failure.h"
#include "support/messages.h"
#include "support/text.h"
#include "update/update_files.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace gleanery {
namespace {

constexpr int kWaitBlinkMs = 750;
constexpr int kClosePollMs = 150;

QString fromBytes(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

bool isSuccess(int code) { return code >= 200 && code < 300; }

}  // namespace

bool frmUpgrade::Display(const VersionDescriptor& offer, Messages& messages, const FetchFactory& makeConnection,
                         QWidget* parent) {
    frmUpgrade window(offer, messages, makeConnection, parent);
    window.exec();
    return window.bDownloaded_;
}

frmUpgrade::frmUpgrade(const VersionDescriptor& offer, Messages& messages, const FetchFactory& makeConnection,
                       QWidget* parent)
    : QDialog(parent),
      messages_(messages),
      liInet_(makeConnection(0)),
      sDescription_(offer.description),
      sUrl_(offer.url),
      sManditory_(offer.manditory),
      sSha256_(offer.sha256),
      Label1_(new QLabel(this)),
      Text1_(new QPlainTextEdit(this)),
      chkFuture_(new QCheckBox(this)),
      Command1_(new QPushButton(this)),
      Command2_(new QPushButton(this)),
      lblWait_(new QLabel(this)) {
    setObjectName("frmUpgrade");
    setWindowTitle("Gleanery Upgrade ");
    setModal(true);

    Label1_->setObjectName("Label1");
    Label1_->setText(
        "A new version of Gleanery is available for download.  "
        "A description of the enhancements is listed below.");
    Label1_->setWordWrap(true);
    Text1_->setObjectName("Text1");
    Text1_->setReadOnly(true);
    chkFuture_->setObjectName("chkFuture");
    chkFuture_->setText("Check for update in the future");
    Command1_->setObjectName("Command1");
    Command1_->setText("Download/Install");
    Command1_->setAutoDefault(false);
    Command2_->setObjectName("Command2");
    Command2_->setText("Cancel");
    Command2_->setAutoDefault(false);
    lblWait_->setObjectName("lblWait");
    lblWait_->setText("Please wait... downloading update...");
    QPalette red = lblWait_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblWait_->setPalette(red);
    // The label blinks; its place stays reserved so nothing around it jumps.
    QSizePolicy keepPlace = lblWait_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    lblWait_->setSizePolicy(keepPlace);
    lblWait_->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblWait_, 1);
    buttons->addWidget(Command1_);
    buttons->addWidget(Command2_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1_);
    layout->addWidget(Text1_, 1);
    layout->addWidget(chkFuture_);
    layout->addLayout(buttons);
    resize(480, 320);

    tmrWait_.setInterval(kWaitBlinkMs);
    Timer1_.setInterval(kClosePollMs);
    connect(&tmrWait_, &QTimer::timeout, this, &frmUpgrade::tmrWait_Timer);
    connect(&Timer1_, &QTimer::timeout, this, &frmUpgrade::Timer1_Timer);
    connect(Command1_, &QPushButton::clicked, this, &frmUpgrade::Command1_Click);
    connect(Command2_, &QPushButton::clicked, this, &frmUpgrade::Command2_Click);
    connect(liInet_.get(), &FetchObject::Complete, this, &frmUpgrade::liInet_Complete);

    Form_Load();
}

frmUpgrade::~frmUpgrade() = default;

void frmUpgrade::Form_Load() {
    Text1_->setPlainText(fromBytes(sDescription_));
    chkFuture_->setChecked(asciiUpper(checkUpdateSetting("TRUE")) == "TRUE");
    if (asciiUpper(sManditory_) == "TRUE") Command1_Click();
}

void frmUpgrade::Command1_Click() {
    const Routine step{"frmUpgrade", "Command1_Click"};
    const std::string installer = installerFilePath();
    // An installer left from an earlier attempt must never pass for this one.
    step([&] {
        if (FileExists(installer)) std::filesystem::remove(installer);
    });
    Command1_->setEnabled(false);
    Command2_->setEnabled(false);
    tmrWait_.start();
    liInet_->Policy = &updateTransferPolicy();
    liInet_->StartTransfer(sUrl_, installer);
}

void frmUpgrade::Command2_Click() { close(); }

void frmUpgrade::tmrWait_Timer() { lblWait_->setVisible(lblWait_->isHidden()); }

void frmUpgrade::liInet_Complete() {
    liInet_->Finish();
    // The fetch object renames the body onto the installer only after a
    // complete 2xx answer; anything else (an error page, a cut-off body, the
    // address "0" of a descriptor without one) leaves no installer to start.
    bDownloaded_ = isSuccess(liInet_->ResultCode()) && FileExists(installerFilePath());
    const bool genuine = !bDownloaded_ || installerGenuine();
    if (!genuine) {
        bDownloaded_ = false;
        std::error_code ignored;
        std::filesystem::remove(installerFilePath(), ignored);
    }
    tmrWait_.stop();
    lblWait_->hide();
    // Told before the window starts closing itself, so it does not vanish under the message.
    if (!bDownloaded_) messages_.inform(genuine ? kUpdateNotDownloaded : kUpdateNotGenuine);
    Timer1_.start();
}

bool frmUpgrade::installerGenuine() const {
    if (sSha256_.empty()) return true;
    QFile installer(QFile::decodeName(QByteArray::fromStdString(installerFilePath())));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return installer.open(QIODevice::ReadOnly) && hash.addData(&installer) &&
           equalsNoCase(hash.result().toHex().toStdString(), sSha256_);
}

void frmUpgrade::Timer1_Timer() {
    if (!liInet_->IsBusy()) close();
}

void frmUpgrade::reject() {
    if (liInet_->IsBusy()) {
        messages_.inform("Gleanery is still downloading... Please wait...");
        return;
    }
    QDialog::reject();
}

void frmUpgrade::done(int result) {
    const Routine step{"frmUpgrade", "Form_Unload"};
    Timer1_.stop();
    tmrWait_.stop();
    step([&] { writeCheckUpdate(chkFuture_->isChecked()); });
    QDialog::done(result);
}

}  // namespace gleanery
