#include <QDir>
#include <QFile>

#include "links/admission_fixture.h"
#include "links/link_rewriting.h"
#include "links/stored_page.h"

namespace gleanery::testing {
namespace {

class PageParserStore : public AdmissionTest {
protected:
    std::string folder() const { return primary() + "/www.site.example/dir"; }
    static std::string contents(const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
    }
    static QStringList entries(const std::string& folder) {
        return QDir(QString::fromStdString(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(PageParserStore, StoresByteForByteReplacingTheOldCopyOnlyWhenTicked) {
    const char raw[] = "<a href=\"a.htm\">\xE9t\xC3\xA9</a>\r\n\0\x01tail";
    const std::string page(raw, sizeof raw - 1);
    parse(page);
    EXPECT_EQ(contents(folder() + "/index.html"), "<missing>");
    settings.tick(Field::chkStorePages.name);
    parse("an older and longer copy of the page");
    parse(page);
    EXPECT_EQ(contents(folder() + "/index.html"), page);
    EXPECT_EQ(entries(folder()), QStringList{"index.html"});
    EXPECT_EQ(urls(queue.routes), (Urls{"http://www.site.example/dir/a.htm"}));
    // A folder in the way: the page is not stored and nothing is left behind.
    QDir().mkpath(QString::fromStdString(folder() + "/b.htm/x"));
    EXPECT_FALSE(ReplaceFile(folder() + "/b.htm", "page"));
    EXPECT_EQ(entries(folder()), (QStringList{"b.htm", "index.html"}));
}

TEST_F(PageParserStore, TranslatedCopyIsTheRewrittenTextButLinksComeFromTheOriginal) {
    settings.tick(Field::chkStorePages.name).tick(Field::chkTranslate.name);
    const std::string page = "<a href=\"http://www.site.example/x/b.htm\">b</a>";
    parse(page);
    const std::string stored = contents(folder() + "/index.html");
    EXPECT_EQ(stored, ConvertLocal(kPage, page, settings, drives, queue));
    EXPECT_NE(stored, page);
    EXPECT_EQ(urls(queue.routes), (Urls{"http://www.site.example/x/b.htm"}));
}

}  // namespace
}  // namespace gleanery::testing
