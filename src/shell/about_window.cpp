#include "shell/about_window.h"

#include <QEvent>
#include <QKeyEvent>
#include <QSysInfo>
#include <QVBoxLayout>

#include "support/messages.h"
#include "support/ui/twips.h"

namespace gleanery {

namespace {
QLabel* label(QWidget* parent, const char* name, const QString& text, int pointSizeDelta) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setPointSize(f.pointSize() + pointSizeDelta);
    l->setFont(f);
    return l;
}
}  // namespace

frmSplash::frmSplash(QWidget* parent) : QDialog(parent), Frame1_(new QFrame(this)), cmdDone_(new QPushButton(this)) {
    setObjectName("frmSplash");
    setWindowTitle(QString::fromUtf8(kAppTitle));
    setModal(true);
    setFixedSize(twips(7380), twips(4245));

    Frame1_->setObjectName("Frame1");
    Frame1_->setFrameStyle(QFrame::Box | QFrame::Raised);
    Frame1_->installEventFilter(this);
    auto* inner = new QVBoxLayout(Frame1_);
    inner->addStretch();
    inner->addWidget(label(Frame1_, "lblProductName", QString::fromUtf8(kAppTitle), 14));
    inner->addWidget(label(Frame1_, "lblVersion", versionText(), 2));
    inner->addWidget(label(Frame1_, "lblPlatform", QSysInfo::prettyProductName(), 0));
    inner->addStretch();

    cmdDone_->setObjectName("cmdDone");
    cmdDone_->setText(QStringLiteral("Done"));
    cmdDone_->hide();
    connect(cmdDone_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1_, 1);
    layout->addWidget(cmdDone_, 0, Qt::AlignRight);

    Timer1_.setObjectName("Timer1");
    Timer1_.setSingleShot(true);
    Timer1_.setInterval(kDoneDelayMs);
    connect(&Timer1_, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1_.start();
}

QString frmSplash::versionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(GLEANERY_VERSION_MAJOR)
        .arg(GLEANERY_VERSION_MINOR)
        .arg(GLEANERY_VERSION_PATCH);
}

void frmSplash::Timer1_Timer() {
    Timer1_.stop();
    cmdDone_->show();
}

void frmSplash::keyPressEvent(QKeyEvent*) { accept(); }

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Frame1_ && event->type() == QEvent::MouseButtonPress) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace gleanery
