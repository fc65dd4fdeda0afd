// The update window: what it shows, the future-check choice it saves, and
// when it reports a downloaded installer.
#include "update/upgrade_window.h"
#include "update_fixture.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QPlainTextEdit>

namespace gleanery::test {
namespace {

class UpgradeWindowTest : public UpdateFixture {
protected:
    bool display(const std::string& url, const std::string& manditory = "false", const std::string& sha256 = {}) {
        VersionDescriptor offer;
        offer.description = "Faster and safer";
        offer.url = url;
        offer.manditory = manditory;
        offer.sha256 = sha256;
        return frmUpgrade::Display(offer, messages, networkFetch);
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
        const ModalAnswer<frmUpgrade> driver([&](frmUpgrade& window) {
            EXPECT_EQ(window.findChild<QPlainTextEdit*>("Text1")->toPlainText(), "Faster and safer");
            EXPECT_FALSE(downloading(window));
            ticked = future(window).isChecked();
            future(window).setChecked(!ticked);
            c.byCancel ? press(window, "Command2") : void(window.close());
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
    const ModalAnswer<frmUpgrade> driver([&](frmUpgrade& window) {
        downloadingAtOpen = downloading(window);
        window.close();
        stayedOpen = window.isVisible();
    });
    EXPECT_TRUE(display(server.url("/GLUP.EXE"), "True"));  // mandatory in any case
    EXPECT_TRUE(downloadingAtOpen);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.count("Gleanery is still downloading... Please wait..."), 1);
    EXPECT_EQ(readFile(installerPath()), "#!/bin/sh\n");
}

TEST_F(UpgradeWindowTest, AFailedDownloadLeavesNoInstallerAndTellsTheUser) {
    server.status("/missing.EXE", 404);
    server.resetConnection("/reset.EXE");
    server.handle("/short.EXE", [](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(100'000, "application/octet-stream",
                                      [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          static const std::string half(50'000, 'h');
                                          return offset == 0 && sink.write(half.data(), half.size());
                                      });
    });
    // An installer over http, or redirected there, is never fetched.
    TestServer plain;
    plain.page("/GLUP.EXE", "#!/bin/sh\n", "application/octet-stream");
    server.redirect("/moved.EXE", plain.url("/GLUP.EXE"));
    // "0": the descriptor had no address.
    for (const std::string& url : {server.url("/missing.EXE"), server.url("/short.EXE"), server.url("/reset.EXE"),
                                   plain.url("/GLUP.EXE"), server.url("/moved.EXE"), std::string("0")}) {
        SCOPED_TRACE(url);
        writeFile(installerPath(), "installer of an earlier attempt");
        messages.shown.clear();
        const ModalAnswer<frmUpgrade> driver([](frmUpgrade& window) { press(window, "Command1"); });
        EXPECT_FALSE(display(url));
        EXPECT_FALSE(driver.timedOut());
        EXPECT_EQ(messages.count(kUpdateNotDownloaded), 1);
        EXPECT_FALSE(FileExists(installerPath()));
    }
    EXPECT_EQ(plain.hits("/GLUP.EXE"), 0);
}

TEST_F(UpgradeWindowTest, AnInstallerIsKeptOnlyWhenItMatchesTheChecksumOffered) {
    server.page("/GLUP.EXE", "#!/bin/sh\n", "application/octet-stream");
    const std::string sha256 =
        QCryptographicHash::hash("#!/bin/sh\n", QCryptographicHash::Sha256).toHex().toStdString();
    for (const bool genuine : {false, true}) {
        SCOPED_TRACE(genuine);
        messages.shown.clear();
        const ModalAnswer<frmUpgrade> driver([](frmUpgrade& window) { press(window, "Command1"); });
        // Upper case as a descriptor may write it; one changed digit is another file.
        const std::string offered =
            genuine ? asciiUpper(sha256) : std::string(sha256).replace(0, 1, sha256[0] == '0' ? "1" : "0");
        EXPECT_EQ(display(server.url("/GLUP.EXE"), "false", offered), genuine);
        EXPECT_EQ(messages.count(kUpdateNotGenuine), genuine ? 0 : 1);
        EXPECT_EQ(FileExists(installerPath()), genuine);
    }
}

}  // namespace
}  // namespace gleanery::test
