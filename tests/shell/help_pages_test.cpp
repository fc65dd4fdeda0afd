// The help window and the help pages shipped with the program: the window
// opens the start page and goes Home and Back; every page can be reached from
// the start page, and every link of every page leads to an existing page (and
// to an existing place in it).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <map>
#include <set>

#include "engine/fetch_completion_watch.h"
#include "shell/help_window.h"
#include "support/scoped_home.h"

namespace gleanery::test {
namespace {

const QString kHelpDir = QStringLiteral(GLEANERY_TEST_DATA_DIR "/HELP");

struct Page {
    QString title;
    std::set<QString> anchors;  // names of places in the page
    std::vector<QString> links;
};

// A page as the help browser reads it.
Page readPage(const QString& file) {
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(f.readAll()));
    Page page;
    page.title = doc.metaInformation(QTextDocument::DocumentTitle);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString& name : format.anchorNames()) page.anchors.insert(name);
            if (!format.anchorHref().isEmpty()) page.links.push_back(format.anchorHref());
        }
    }
    return page;
}

std::map<QString, Page> allPages() {
    std::map<QString, Page> pages;
    for (const QString& name : QDir(kHelpDir).entryList({"*.HTM"}, QDir::Files)) pages[name] = readPage(kHelpDir + "/" + name);
    return pages;
}

TEST(HelpPages, EveryLinkLeadsToAnExistingPageAndPlace) {
    const std::map<QString, Page> pages = allPages();
    ASSERT_TRUE(pages.count("HELPMAIN.HTM"));
    ASSERT_GE(pages.size(), 8u);
    int links = 0;
    for (const auto& [name, page] : pages) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(page.title.isEmpty());
        for (const QString& href : page.links) {
            SCOPED_TRACE(href.toStdString());
            ++links;
            const QUrl url(href);
            if (url.scheme() == "https" || url.scheme() == "http") continue;
            ASSERT_TRUE(url.scheme().isEmpty()) << "help pages link to each other by relative names";
            const QString target = url.path().isEmpty() ? name : url.path();
            ASSERT_TRUE(pages.count(target)) << "no such page";
            if (url.hasFragment()) {
                EXPECT_TRUE(pages.at(target).anchors.count(url.fragment())) << "no such place";
            }
        }
    }
    EXPECT_GT(links, 50);
}

TEST(HelpPages, EveryPageCanBeReachedFromTheStartPage) {
    const std::map<QString, Page> pages = allPages();
    std::set<QString> reached{"HELPMAIN.HTM"};
    std::vector<QString> todo{"HELPMAIN.HTM"};
    while (!todo.empty()) {
        const QString name = todo.back();
        todo.pop_back();
        for (const QString& href : pages.at(name).links) {
            const QString target = QUrl(href).path();
            if (pages.count(target) && reached.insert(target).second) todo.push_back(target);
        }
    }
    for (const auto& [name, page] : pages) EXPECT_TRUE(reached.count(name)) << name.toStdString();
}

// The texts a user sees in the status bar, each explained by the help.
TEST(HelpPages, StatusTextsOfTheScanAreExplained) {
    QFile f(kHelpDir + "/STATUS.HTM");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(f.readAll()));
    const QString text = doc.toPlainText();
    for (const char* status :
         {"Scanning...", "Scanning: ", "Stopping Execution", "Execution Stopped", "Execution Stopped... Low Disk Space",
          "Site Scanned", "Execution Haulted", "Download limit(s) exceeded... Pausing scan",
          "Pausing scan due to time restrictions", "Daily limit exceeded... Waiting",
          "Paused due to time restrictions... Waiting: ", "Not Busy", "Parsing File"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(status))) << status;
}

class HelpWindow : public ::testing::Test {
protected:
    HelpWindow() {
        QDir().mkpath(QString::fromStdString(home.path("HELP")));
        for (const QString& name : QDir(kHelpDir).entryList(QDir::Files))
            QFile::copy(kHelpDir + "/" + name, QString::fromStdString(home.path("HELP/")) + name);
    }
    testing::ScopedHome home;
};

TEST_F(HelpWindow, OpensTheStartPageOfTheProgramDataAndGoesHomeAndBack) {
    frmHelp help;
    EXPECT_EQ(help.windowTitle(), "Gleanery - Help");
    const QUrl start = QUrl::fromLocalFile(QString::fromStdString(home.path("HELP/HELPMAIN.HTM")));
    EXPECT_EQ(frmHelp::homePage(), start);
    QTextBrowser& browser = help.browser();
    EXPECT_EQ(browser.source(), start);
    EXPECT_TRUE(browser.toPlainText().contains("Gleanery Help"));

    help.mnuBack_Click();  // nothing earlier: stays
    EXPECT_EQ(browser.source(), start);

    browser.setSource(QUrl("SETTINGS.HTM"));
    browser.setSource(QUrl("MAINWIN.HTM#toolbar"));
    EXPECT_TRUE(browser.toPlainText().contains("Stop Scan"));
    help.mnuBack_Click();
    EXPECT_EQ(browser.source().fileName(), "SETTINGS.HTM");
    EXPECT_TRUE(browser.toPlainText().contains("Maximum Depth:"));
    help.mnuHome_Click();
    EXPECT_EQ(browser.source(), start);

    QStringList items;
    for (QAction* a : help.findChildren<QAction*>()) items << a->objectName() + "=" + a->text();
    items.sort();
    EXPECT_EQ(items, (QStringList{"mnuBack=Back", "mnuHome=Home"}));
}

}  // namespace
}  // namespace gleanery::test
