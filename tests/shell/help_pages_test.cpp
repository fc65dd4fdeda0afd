// The help pages shipped with the program: every page can be reached from
// the start page, and every link leads to an existing page and place.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>
#include <map>
#include <set>

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

TEST(HelpPages, EveryLinkLeadsToAnExistingPlaceAndEveryPageIsReachable) {
    const std::map<QString, Page> pages = allPages();
    ASSERT_TRUE(pages.count("HELPMAIN.HTM"));
    ASSERT_GE(pages.size(), 8u);
    std::set<QString> reached{"HELPMAIN.HTM"};
    std::vector<QString> todo{"HELPMAIN.HTM"};
    while (!todo.empty()) {
        const QString name = todo.back();
        todo.pop_back();
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(pages.at(name).title.isEmpty());
        for (const QString& href : pages.at(name).links) {
            SCOPED_TRACE(href.toStdString());
            const QUrl url(href);
            if (url.scheme() == "https" || url.scheme() == "http") continue;
            ASSERT_TRUE(url.scheme().isEmpty()) << "help pages link to each other by relative names";
            const QString target = url.path().isEmpty() ? name : url.path();
            ASSERT_TRUE(pages.count(target)) << "no such page";
            if (url.hasFragment()) {
                EXPECT_TRUE(pages.at(target).anchors.count(url.fragment())) << "no such place";
            }
            if (reached.insert(target).second) todo.push_back(target);
        }
    }
    for (const auto& [name, page] : pages) EXPECT_TRUE(reached.count(name)) << name.toStdString() << " unreachable";
}

}  // namespace
}  // namespace gleanery::test
