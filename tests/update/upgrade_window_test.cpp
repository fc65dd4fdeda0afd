// The update window: what it shows, the future-check choice it saves, and
// when it reports a downloaded installer.
#include "update/upgrade_window.h"
#include "update_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>

namespace gleanery::test {
namespace {

class UpgradeWindowTest : public UpdateFixture {
protected:
    bool display(const std::string& url, const std::string& manditory = "false") {
        return frmUpgrade::Display("Faster and safer", url, manditory, messages, networkFetch());
    }
    static QCheckBox& future(frmUpgrade& window) { return *window.findChild<QCheckBox*>("chkFuture"); }
    static bool downloading(frmUpgrade& window) { return !window.findChild<QPushButton*>("Command1")->isEnabled(); }
};

TEST_F(UpgradeWindowTest, ShowsTheSettingAndSavesTheChoiceHoweverItClosesWithoutDownloading) {
    const struct {
        const char* stored;  // nullptr: no CHECKUPDATE key
        bool ticked;         // as the window opens; the test then flips it
        bool byCancel;       // else the window's own close request
    } cases[] = {{nullptr, true, true},
                 {"true", true, false},
                 {"TRUE", true, true},
                 {"False", false, false},
                 {"yes", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "<absent>");
        if (c.stored) setSetting("CHECKUPDATE", c.stored);
        bool ticked = !c.ticked;
        const UpgradeWindowDriver driver([&](frmUpgrade& window) {
            EXPECT_EQ(window.findChild<QPlainTextEdit*>("Text1")->toPlainText(), "Faster and safer");
            EXPECT_FALSE(downloading(window));
            ticked = future(window).isChecked();
            future(window).setChecked(!ticked);
            c.byCancel ? UpgradeWindowDriver::press(window, "Command2") : void(window.close());
        });
        EXPECT_FALSE(display(server.url("/GLUP.EXE")));
        EXPECT_EQ(ticked, c.ticked);
        EXPECT_EQ(setting("CHECKUPDATE"), c.ticked ? "False" : "True");
    }
    EXPECT_EQ(server.hits("/GLUP.EXE"), 0);
}

TEST_F(UpgradeWindowTest, AMandatoryUpdateDownloadsAtOnceAndRefusesToCloseMeanwhile) {
    server.stall("/GLUP.EXE", std::chrono::milliseconds(1800), "#!/bin/sh\n");
    bool downloadingAtOpen = false;
    bool stayedOpen = false;
    bool waitShown = false;
    const UpgradeWindowDriver driver(
        [&](frmUpgrade& window) {
            downloadingAtOpen = downloading(window);
            window.close();
            stayedOpen = window.isVisible();
        },
        [&](frmUpgrade& window) { waitShown = waitShown || window.findChild<QLabel*>("lblWait")->isVisible(); });

    EXPECT_TRUE(display(server.url("/GLUP.EXE"), "True"));  // mandatory in any case
    EXPECT_TRUE(downloadingAtOpen);
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(waitShown);
    EXPECT_EQ(messages.count("Gleanery is still downloading... Please wait..."), 1);
    EXPECT_EQ(readFile(installerPath()), "#!/bin/sh\n");
}

struct FailedDownload {
    const char* name;
    std::function<void(TestServer&)> serve;  // nullptr: the descriptor had no address ("0")
};

void PrintTo(const FailedDownload& f, std::ostream* os) { *os << f.name; }

class UpgradeWindowFailedDownload : public UpgradeWindowTest, public ::testing::WithParamInterface<FailedDownload> {};

TEST_P(UpgradeWindowFailedDownload, LeavesNoInstallerAndTellsTheUser) {
    writeFile(installerPath(), "installer of an earlier attempt");
    if (GetParam().serve) GetParam().serve(server);
    const UpgradeWindowDriver driver([](frmUpgrade& window) { UpgradeWindowDriver::press(window, "Command1"); });
    EXPECT_FALSE(display(GetParam().serve ? server.url("/GLUP.EXE") : "0"));
    EXPECT_FALSE(driver.timedOut());
    EXPECT_EQ(messages.count(kUpdateNotDownloaded), 1);
    EXPECT_FALSE(FileExists(installerPath()));
}

void cutShort(TestServer& server) {
    server.handle("/GLUP.EXE", [](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(100'000, "application/octet-stream",
                                      [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          static const std::string half(50'000, 'h');
                                          return offset == 0 && sink.write(half.data(), half.size());
                                      });
    });
}

INSTANTIATE_TEST_SUITE_P(
    Causes, UpgradeWindowFailedDownload,
    ::testing::Values(FailedDownload{"NotFound", [](TestServer& s) { s.status("/GLUP.EXE", 404); }},
                      FailedDownload{"CutShort", cutShort},
                      FailedDownload{"NoResponse", [](TestServer& s) { s.resetConnection("/GLUP.EXE"); }},
                      FailedDownload{"AbsentAddress", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace gleanery::test
