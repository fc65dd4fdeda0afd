// The check against a local update server, the update window and the installer's start.
#include "update/update_check.h"
#include "update/update_files.h"
#include "update/version_descriptor.h"
#include "update_fixture.h"

#include <QSignalSpy>

namespace gleanery::test {
namespace {

constexpr const char* kCurrent = "Your version of Gleanery is current.";

std::string descriptor(const std::string& version, const std::string& entries = "") {
    const QStringList n = QString::fromStdString(version).split('.');
    return "[INFO]\r\nMAJOR=" + n[0].toStdString() + "\r\nMINOR=" + n[1].toStdString() +
           "\r\nREV=" + n[2].toStdString() + "\r\n" + entries;
}

TEST(UpdateVersionComparison, ComparesNumbersNotTexts) {
    const struct {
        const char *major, *minor, *rev;
        bool newer;
    } cases[] = {{"1", "10", "3", false},     // the same version
                 {"1", "10", "4", true},      // a later revision
                 {"1", "2", "99", false},     // "2" sorts after "10" as text, not as a number
                 {"1", "11", "0", true},      // a later minor outweighs the revision
                 {"2", "0", "0", true},       // a later major outweighs everything
                 {"0", "99", "99", false},    // an older major
                 {"1", "10", "4beta", true},  // read as numbers are read everywhere
                 {"0", "0", "0", false}};     // what a missing descriptor gives
    for (const auto& c : cases) {
        VersionDescriptor offered;
        offered.major = c.major;
        offered.minor = c.minor;
        offered.rev = c.rev;
        EXPECT_EQ(isNewer(offered, ProgramVersion{1, 10, 3}), c.newer) << c.major << "." << c.minor << "." << c.rev;
    }
}

class UpdateCheckTest : public UpdateFixture {
protected:
    UpdateCheckTest() {
        check.setRunningVersion({1, 10, 3});
        check.setUpgradePrompt([this](const VersionDescriptor& offer) {
            prompts.push_back({offer.description, offer.url, offer.manditory, offer.sha256});
            return false;
        });
        QObject::connect(&check, &UpdateCheck::checkCompleted, [this] { ++completed; });
    }

    // Runs one check, automatic or from the menu, until it has been evaluated.
    bool runCheck(bool manual) {
        const int before = completed;
        manual ? check.mnuCheckForUpdate_Click() : check.CheckNewVersion();
        return spinUntil([&] { return completed > before; });
    }
    void serveDescriptor(const std::string& body) { server.page("/glversion.txt", body, "text/plain"); }

    UpdateCheck check{messages, networkFetch};
    std::vector<std::vector<std::string>> prompts;  // description, url, mandatory, SHA-256
    int completed = 0;
    TestServer plain;  // http, which updates never use
};

TEST_F(UpdateCheckTest, OpensTheWindowOnlyForANewerVersionAndTellsOnlyTheMenuItemOtherwise) {
    const struct {
        std::string body;
        bool manual, opensWindow, toldCurrent;
        std::string address = {};  // the descriptor's address when not the test server's
        std::string failure = {};  // the reason told when the check failed
    } cases[] = {                  // The automatic check first, as at start-up: once the menu item has been used,
                 // every later check tells the user the version is current.
                 {descriptor("1.10.4"), false, true, false},
                 {descriptor("1.10.3"), false, false, false},
                 {"", false, false, false},
                 {descriptor("1.11.0"), true, true, false},
                 {descriptor("1.10.3"), true, false, true},
                 {"not a descriptor", true, false, true},
                 // A server gone, and an address that is not https.
                 {"", true, false, false, TestServer(&kThrowawayTls).url("/glversion.txt"), "Connection refused"},
                 {descriptor("1.11.0"), true, false, false, plain.url("/glversion.txt"), "Malformed URL"}};
    // An old local copy must not stand in for the answer that never came.
    writeFile(home.path("version.txt"), descriptor("9.0.0"));
    QSignalSpy announced(&check, &UpdateCheck::installerDownloaded);
    for (const auto& c : cases) {
        serveDescriptor(c.body);
        setSetting("UPDATEURL", c.address.empty() ? server.url("/glversion.txt") : c.address);
        prompts.clear();
        messages.shown.clear();
        ASSERT_TRUE(runCheck(c.manual)) << c.body;
        EXPECT_EQ(prompts.size(), c.opensWindow ? 1u : 0u) << c.body << (c.manual ? " from the menu" : "");
        EXPECT_EQ(messages.shown.size(), c.toldCurrent || !c.failure.empty() ? 1u : 0u)
            << c.body << (c.manual ? " from the menu" : "");
        EXPECT_EQ(messages.count(kCurrent), c.toldCurrent ? 1 : 0);
        if (!c.failure.empty()) {
            EXPECT_EQ(messages.count("Gleanery could not check for a newer version: " + c.failure + "."), 1);
        }
    }
    EXPECT_EQ(announced.count(), 0) << "the update window is declined";
    EXPECT_EQ(plain.hits("/glversion.txt"), 0);
}

TEST_F(UpdateCheckTest, WindowGetsTheEntriesOfTheRunningVersion) {
    serveDescriptor(descriptor("2.0.0",
                               "URL.1.10.3=https://updates.example/GLUP-1.10.3.EXE\r\n"
                               "URL.1.1.3=https://updates.example/wrong.EXE\r\n"
                               "MANDITORY.1.10.3=TRUE\r\n"
                               "DESCRIPTION.1.10.30=wrong\r\n"
                               "DESCRIPTION.1.10.3=Resumes \x01"
                               "faster\r\n"
                               "SHA256.1.10.3=AB12\r\n"));
    ASSERT_TRUE(runCheck(false));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0],
              (std::vector<std::string>{"Resumes faster", "https://updates.example/GLUP-1.10.3.EXE", "TRUE", "AB12"}));
}

TEST_F(UpdateCheckTest, SwitchedOffSuppressesTheAutomaticCheckButNotTheMenuItem) {
    serveDescriptor(descriptor("1.10.3"));
    setSetting("CHECKUPDATE", "fALSE");  // in any case
    check.CheckNewVersion();
    spinFor(std::chrono::milliseconds(200));
    EXPECT_EQ(server.hits("/glversion.txt"), 0);

    ASSERT_TRUE(runCheck(true));
    EXPECT_EQ(setting("CHECKUPDATE"), "True");
    EXPECT_EQ(messages.count(kCurrent), 1);
    ASSERT_TRUE(runCheck(false));  // switched back on by the menu item
    EXPECT_EQ(server.hits("/glversion.txt"), 2);
}

TEST_F(UpdateFixture, UpdateWindowDownloadsTheInstallerThatIsThenAnnounced) {
    writeFile(installerPath(), "old installer");
    const std::string installer(200'000, 'I');
    server.page("/GLUP.EXE", installer, "application/octet-stream");
    server.page("/glversion.txt",
                descriptor("99.0.0", "URL" + versionKeySuffix(builtVersion()) + "=" + server.url("/GLUP.EXE")),
                "text/plain");
    UpdateCheck check(messages, networkFetch);
    QSignalSpy announced(&check, &UpdateCheck::installerDownloaded);
    const ModalAnswer<frmUpgrade> driver([](frmUpgrade& window) { press(window, "Command1"); });

    check.CheckNewVersion();
    ASSERT_TRUE(spinUntil([&] { return announced.count() > 0; }));
    EXPECT_FALSE(driver.timedOut());
    EXPECT_EQ(announced.at(0).at(0).toString().toStdString(), installerPath());
    EXPECT_EQ(readFile(installerPath()), installer);
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace gleanery::test
