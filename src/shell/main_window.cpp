#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QIcon>
#include <QInputDialog>
#include <QUrl>

#include "job/job_settings.h"
#include "shell/about_window.h"
#include "shell/help_window.h"
#include "shell/main_menus.h"
#include "shell/scan_status_bar.h"
#include "shell/scan_toolbar.h"
#include "compat/blowfish.h"
#include "compat/connection_limit.h"
#include "support/failure.h"
#include "support/program_paths.h"
#include "support/ui/message_boxes.h"
#include "support/ui/twips.h"
#include "update/update_check.h"
#include "viewer/display_window.h"

namespace gleanery {

namespace {
constexpr const char* kModule = "MainMenu";
constexpr const char* kFetchComponent = "Fetchbox.exe";

std::string fileSystemName(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Slots are the robot's connection numbers, ints everywhere else; at() still
// rejects one out of range.
std::size_t slotIndex(int slot) { return static_cast<std::size_t>(slot); }
}  // namespace

MainMenu::MainMenu(const Clock& clock, FetchFactory makeConnection, QWidget* parent)
    : QMainWindow(parent),
      clock_(clock),
      makeConnection_(std::move(makeConnection)),
      ownMessages_(std::make_unique<MessageBoxes>(this)),
      messages_(ownMessages_.get()),
      chooseSetupFile_(askWithFileDialog),
      mdi_(new QMdiArea(this)),
      menus_(std::make_unique<MainMenus>(*menuBar())),
      Toolbar1_(new ScanToolBar(this)),
      SB_(new ScanStatusBar(this)) {
    setObjectName("MainMenu");
    setWindowTitle(QString::fromUtf8(kAppTitle));
    // Every window of the program shows the program's own icon.
    QApplication::setWindowIcon(QIcon(QString::fromStdString(programDataDir() + "/gleanery.png")));
    setContextMenuPolicy(Qt::PreventContextMenu);
    resize(twips(12255), twips(9030));
    mdi_->setObjectName("MDIClient");
    setCentralWidget(mdi_);
    addToolBar(Qt::TopToolBarArea, Toolbar1_);
    setStatusBar(SB_);
    Toolbar1_->hide();
    SB_->hide();

    connect(menus_->mnuNew, &QAction::triggered, this, &MainMenu::mnuNew_Click);
    connect(menus_->mnuLoad, &QAction::triggered, this, &MainMenu::mnuLoad_Click);
    connect(menus_->mnuExit, &QAction::triggered, this, &MainMenu::mnuExit_Click);
    connect(menus_->mnuCheckForUpdate, &QAction::triggered, this, &MainMenu::mnuCheckForUpdate_Click);
    connect(menus_->mnGleaneryHelp, &QAction::triggered, this, &MainMenu::mnuGleaneryHelp_Click);
    connect(menus_->mnuGLHomePage, &QAction::triggered, this, &MainMenu::mnuGLHomePage_Click);
    connect(menus_->mnuAbout, &QAction::triggered, this, &MainMenu::mnuAbout_Click);
    connect(menus_->mnuDebug, &QAction::triggered, this, &MainMenu::mnuDebug_Click);
    connect(Toolbar1_, &ScanToolBar::buttonClicked, this, &MainMenu::Toolbar1_ButtonClick);
}

MainMenu::~MainMenu() = default;

void MainMenu::MDIForm_Load() {
    const Routine step{kModule, "MDIForm_Load"};
    step([&] { giMaxConnections_ = CheckConnectionLimit(true, *messages_); });
    menus_->mnuNew->setEnabled(true);
    menus_->mnuLoad->setEnabled(true);
    if (!bUpdateStarted_) {
        bUpdateStarted_ = true;
        CheckNewVersion();
    }
}

void MainMenu::CheckNewVersion() { updateCheck().CheckNewVersion(); }

void MainMenu::mnuCheckForUpdate_Click() { updateCheck().mnuCheckForUpdate_Click(); }

UpdateCheck& MainMenu::updateCheck() {
    // Made on first use, so that it asks its questions where the window does.
    if (!update_) {
        update_ = std::make_unique<UpdateCheck>(*messages_, makeConnection_, this);
        connect(update_.get(), &UpdateCheck::installerDownloaded, this, &MainMenu::installerDownloaded);
    }
    return *update_;
}

void MainMenu::installerDownloaded(const QString& installer) {
    // The installer replaces this program, so it starts only once every window
    // has closed and saved; a running scan refuses the close, and the
    // installer then waits for the user's own Exit.
    pendingInstaller_ = installer;
    close();
}

void MainMenu::mnuNew_Click() { chooseAndOpen(true); }

void MainMenu::mnuLoad_Click() { chooseAndOpen(false); }

void MainMenu::chooseAndOpen(bool newFile) {
    const Routine step{kModule, newFile ? "mnuNew_Click" : "mnuLoad_Click"};
    // A job window whose scan still transfers stays, and nothing else happens.
    if (!unloadJobWindow()) return;
    QString chosen;
    step([&] { chosen = chooseSetupFile_(this, setupFileQuestion(newFile)); });
    if (chosen.isEmpty()) return;
    openJob(fileSystemName(chosen));
}

void MainMenu::openJob(const std::string& setupFile) {
    if (!unloadJobWindow()) return;
    auto* window = new frmGeneralRobot(*messages_, clock_, makeConnection_);
    job_ = window;
    jobFrame_ = mdi_->addSubWindow(window);
    ScanController& scan = window->scan();
    SB_->reset();
    SB_->follow(scan);
    Toolbar1_->follow(scan);
    connect(&scan, &ScanController::downloadFinished, this, &MainMenu::showDownload);
    connect(window, &frmGeneralRobot::unloaded, this, &MainMenu::jobUnloaded);
    Toolbar1_->show();
    SB_->show();
    window->Display(setupFile);
    rememberSetupFile(setupFile);
}

bool MainMenu::unloadJobWindow() {
    if (!jobFrame_) return true;
    return jobFrame_->close();
}

void MainMenu::jobUnloaded() {
    if (job_) {
        ScanController& scan = job_->scan();
        SB_->stopFollowing(scan);
        Toolbar1_->stopFollowing(scan);
        disconnect(&scan, nullptr, this, nullptr);
    }
    job_ = nullptr;
    jobFrame_ = nullptr;
    Toolbar1_->hide();
    SB_->hide();
}

frmDisplay* MainMenu::viewer(int slot) const {
    const QPointer<QMdiSubWindow>& frame = viewers_.at(slotIndex(slot));
    return frame ? qobject_cast<frmDisplay*>(frame->widget()) : nullptr;
}

void MainMenu::closeViewer(int slot) {
    if (QPointer<QMdiSubWindow> frame = viewers_.at(slotIndex(slot))) {
        viewers_.at(slotIndex(slot)) = nullptr;
        frame->close();
    }
}

// A viewer beside a maximized job window would cover it, and with thumbnails
// asked for the job window's panes show the files; otherwise each slot's
// latest file gets a viewer of its own.
void MainMenu::showDownload(int slot, const QString& file, bool display) {
    if (!display || !job_ || slot < 1 || slot > kConnectionCount) return;
    closeViewer(slot);
    if ((jobFrame_ && jobFrame_->isMaximized()) || job_->session().settings().checked(Field::chkThumbnail)) return;
    auto* shown = new frmDisplay;
    QMdiSubWindow* frame = mdi_->addSubWindow(shown);
    viewers_.at(slotIndex(slot)) = frame;
    skipSilently([&] { shown->Display(file.toStdString(), slot); });
    frame->show();
}

void MainMenu::Toolbar1_ButtonClick(const QString& key) {
    const Routine step{kModule, "Toolbar1_ButtonClick"};
    if (!job_) return;
    step([&] {
        if (key == QLatin1String("Stop"))
            job_->cmdStop_Click();
        else if (key == QLatin1String("Resume"))
            job_->cmdResume_Click();
        else if (key == QLatin1String("Begin"))
            job_->cmdBegin_Click();
    });
}

void MainMenu::mnuExit_Click() { close(); }

void MainMenu::mnuGleaneryHelp_Click() {
    frmHelp help(this);
    help.exec();
}

void MainMenu::mnuAbout_Click() {
    frmSplash about(this);
    about.exec();
}

void MainMenu::mnuGLHomePage_Click() { QDesktopServices::openUrl(QUrl(QString::fromUtf8(kHomePage))); }

// A developer's check that the cipher runs; both results are dropped.
void MainMenu::mnuDebug_Click() {
    bool ok = false;
    const QString answer = QInputDialog::getText(this, QString::fromUtf8(kAppTitle), QStringLiteral("hello"),
                                                 QLineEdit::Normal, QString(), &ok);
    if (!ok) return;
    std::string text = answer.toStdString();
    clsBlowfish cipher;
    skipSilently([&] {
        cipher.DecryptString(text);
        cipher.EncryptString(text);
    });
}

void MainMenu::closeEvent(QCloseEvent* event) {
    if (!MDIForm_QueryUnload() || !MDIForm_Unload()) {
        event->ignore();
        return;
    }
    endFetchComponent();
    event->accept();
    if (!pendingInstaller_.isEmpty()) startInstaller(pendingInstaller_);
}

bool MainMenu::MDIForm_QueryUnload() { return !job_ || job_->isIdle(); }

bool MainMenu::MDIForm_Unload() {
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::CreationOrder);
    bool all = true;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) all = (*it)->close() && all;
    return all;
}

// A fetch component left running by an earlier program would hold its
// connections open; only the first one found is ended.
void MainMenu::endFetchComponent() {
    const Routine step{kModule, "MDIForm_Unload"};
    step([&] {
        if (const std::uint32_t id = ModProcesses::FindProcessId(kFetchComponent, *messages_, procRoot_); id > 0)
            ModProcesses::KillProcess(id);
    });
}

}  // namespace gleanery
