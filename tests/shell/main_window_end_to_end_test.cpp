// The whole program through its windows, from New Setup to a live local site
// scanned, its files on disk and the job saved when the program closes.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "shell/main_window_fixture.h"

namespace gleanery::test {
namespace {

// Types text into a field of the window as the user does.
void type(QWidget& window, const char* field, const std::string& text) {
    auto* edit = window.findChild<QLineEdit*>(field);
    ASSERT_NE(edit, nullptr) << field;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromStdString(text));
}

TEST_F(MainWindowTest, NewSetupTypedBegunAndScannedToTheEnd) {
    const std::vector<std::string> files = site.numberedFiles("img", 5, std::chrono::milliseconds(20));
    site.page("/", {"docs/", "about.htm", files[0]}, {files[1]});
    site.page("/docs/", {"../about.htm", files[2]}, {files[3]});
    site.page("/about.htm", {"/", files[4]});

    window->MDIForm_Load();
    const std::string setup = inDir("mirror.glf");
    dialogAnswers.push_back(QString::fromStdString(setup));
    window->menus().mnuNew->trigger();
    frmGeneralRobot* job = window->jobWindow();
    ASSERT_NE(job, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    std::vector<std::string> panel;
    int mismatches = 0;  // the toolbar's Stop, Resume and Begin against the scan's, after each change
    QObject listener;
    QObject::connect(&job->scan(), &ScanController::statusChanged, &listener,
                     [&] { panel.push_back(window->status().panelText(1).toStdString()); });
    QObject::connect(&job->scan(), &ScanController::stateChanged, &listener, [&] {
        const ScanState state = job->scan().state();
        ScanToolBar& bar = window->toolBar();
        mismatches += bar.button("Stop")->isEnabled() != canStop(state) ||
                      bar.button("Resume")->isEnabled() != canStart(state) ||
                      bar.button("Begin")->isEnabled() != canStart(state);
    });

    const std::string out = inDir("grabbed");
    type(*job, "txtLocation", server.url("/"));
    for (const char* field : {"txtSaveLocation", "txtSaveLocation2"}) type(*job, field, out);
    for (const char* field : {"txtSpacePrimary", "txtSpaceSecondary"}) type(*job, field, "0");

    auto* begin = job->findChild<QPushButton*>("cmdBegin");
    ASSERT_NE(begin, nullptr);
    const std::size_t shownBefore = messages.shown.size();
    messages.answers = {true};
    QTest::mouseClick(begin, Qt::LeftButton);
    EXPECT_EQ(messages.shown.size(), shownBefore + 1) << "the warning before the work store is emptied";
    EXPECT_FALSE(begin->isEnabled());

    ASSERT_TRUE(
        spinUntil([&] { return job->isIdle() && messages.count("Site Scanned") == 1; }, std::chrono::seconds(30)));
    EXPECT_NE(std::find(panel.begin(), panel.end(), "Site Scanned"), panel.end());
    EXPECT_TRUE(begin->isEnabled());
    EXPECT_EQ(mismatches, 0);

    EXPECT_EQ(readFile(out + "/127.0.0.1:" + std::to_string(server.port()) + files[4]), LiveSite::fileBytes(files[4]));

    window->menus().mnuExit->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_NE(GetPrivateProfileString("SETTINGS", "txtTotalFiles", "0", setup), "0")
        << "the statistics were saved on closing";
}

}  // namespace
}  // namespace gleanery::test
