#pragma once
// The main window: a frame of document windows with the menus, the scan
// toolbar and the status bar. It hosts the job window and the viewers of
// downloaded files, opens jobs, and shuts the program down.

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "engine/connection_set.h"
#include "jobwindow/job_window.h"
#include "shell/setup_file_dialog.h"
#include "support/messages.h"
#include "compat/processes.h"

namespace gleanery {

class Clock;
class frmDisplay;
class ScanStatusBar;
class ScanToolBar;
class UpdateCheck;
struct MainMenus;

// The product's home page, opened by the Help menu.
inline constexpr const char* kHomePage = "https://gleanery.org/";

class MainMenu : public QMainWindow {
    Q_OBJECT
public:
    MainMenu(const Clock& clock, FetchFactory makeConnection, QWidget* parent = nullptr);
    ~MainMenu() override;

    // Start-up: the connection limit (the user may be offered to raise it),
    // New Setup and Load Setup, and the automatic update check, once.
    void MDIForm_Load();
    // Opens the job of a setup file in a new job window, as Load Setup does
    // after its dialog; an open job window is closed first.
    void openJob(const std::string& setupFile);

    frmGeneralRobot* jobWindow() { return job_; }
    // The viewer of a download slot (1 to 10); nullptr when none is open.
    frmDisplay* viewer(int slot) const;
    int giMaxConnections() const { return giMaxConnections_; }
    bool updateStarted() const { return bUpdateStarted_; }

    // Seams: where questions go, who answers the setup file dialog, and
    // which process table shut-down searches.
    void useMessages(Messages& messages) { messages_ = &messages; }
    void setSetupFileChooser(SetupFileChooser chooser) { chooseSetupFile_ = std::move(chooser); }
    void useProcessTable(std::string procRoot) { procRoot_ = std::move(procRoot); }

    QMdiArea& mdiArea() { return *mdi_; }
    ScanToolBar& toolBar() { return *Toolbar1_; }
    ScanStatusBar& status() { return *SB_; }
    const MainMenus& menus() const { return *menus_; }

    void mnuNew_Click();
    void mnuLoad_Click();
    void mnuExit_Click();
    void mnuGleaneryHelp_Click();
    void mnuGLHomePage_Click();
    void mnuAbout_Click();
    void mnuDebug_Click();
    void Toolbar1_ButtonClick(const QString& key);

    // The update check: automatic at start-up, manual from the Update menu.
    // A downloaded installer closes the program and is started once it has closed.
    void CheckNewVersion();
    void mnuCheckForUpdate_Click();
    UpdateCheck& updateCheck();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool MDIForm_QueryUnload();
    // Closes every document window, newest first; false when one refused.
    bool MDIForm_Unload();
    void endFetchComponent();
    // Closes the job window; false when it refused (a transfer is running).
    bool unloadJobWindow();
    void chooseAndOpen(bool newFile);
    void jobUnloaded();
    void showDownload(int slot, const QString& file, bool display);
    void closeViewer(int slot);
    void installerDownloaded(const QString& installer);

    const Clock& clock_;
    FetchFactory makeConnection_;
    std::unique_ptr<Messages> ownMessages_;
    Messages* messages_;
    SetupFileChooser chooseSetupFile_;
    std::string procRoot_ = ModProcesses::kProcRoot;

    QMdiArea* mdi_;
    std::unique_ptr<MainMenus> menus_;
    ScanToolBar* Toolbar1_;
    ScanStatusBar* SB_;

    QPointer<frmGeneralRobot> job_;
    QPointer<QMdiSubWindow> jobFrame_;
    // Index = slot number; 0 is unused.
    std::array<QPointer<QMdiSubWindow>, kConnectionCount + 1> viewers_;

    std::unique_ptr<UpdateCheck> update_;
    QString pendingInstaller_;  // downloaded, started when the program closes

    int giMaxConnections_ = 2;
    bool bUpdateStarted_ = false;
};

}  // namespace gleanery
