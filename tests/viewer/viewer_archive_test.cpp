// A downloaded ".zip" archive is listed entry by entry with its sizes; any
// other name is shown as a picture; a broken archive gives an empty list.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>

#include "viewer/archive_listing.h"
#include "viewer/display_window.h"
#include "viewer_files.h"

namespace gleanery {
namespace {

class ViewerArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        host.resize(900, 700);
        host.show();
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    QPlainTextEdit* displayed(frmDisplay& viewer, const std::string& file) {
        viewer.Display(file);
        return viewer.findChild<QPlainTextEdit*>("txtList");
    }

    testing::ViewerFiles files;
    QWidget host;
};

TEST_F(ViewerArchiveTest, OnlyANameEndingInZipInAnyCaseIsListedAsAnArchive) {
    const struct {
        const char* name;
        bool archive;
    } cases[] = {{"site.ZIP", true}, {"site.Zip", true}, {"site.zip.jpg", false}, {"zip", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = c.archive ? files.writeArchive(c.name, {{"a.txt", "abc"}})
                                           : files.writePicture(c.name, 20, 10);
        frmDisplay viewer(&host);
        QPlainTextEdit* list = displayed(viewer, file);
        EXPECT_EQ(list->isVisible(), c.archive);
        EXPECT_EQ(viewer.findChild<QLabel*>("picDisplay")->isVisible(), !c.archive);
        EXPECT_EQ(list->toPlainText(), c.archive ? QStringLiteral("a.txt, 3\n") : QString());
    }
}

TEST_F(ViewerArchiveTest, EntriesAreListedInOrderWithSizesGroupedByTheLocale) {
    const std::string file = files.writeArchive(
        "pack.zip", {{"index.html", std::string(12345, 'h')}, {"img/big.bin", std::string(1234567, 'x')}, {"e", ""}});
    frmDisplay viewer(&host);
    QPlainTextEdit* list = displayed(viewer, file);
    EXPECT_EQ(list->toPlainText().toStdString(), "index.html, 12,345\nimg/big.bin, 1,234,567\ne, 0\n");
    EXPECT_EQ(testing::openHandlesTo(file), 0);

    // The C locale leaves out group separators unless asked for them.
    EXPECT_EQ(archiveListing(file, QLocale::c()).toStdString(),
              "index.html, 12,345\r\nimg/big.bin, 1,234,567\r\ne, 0\r\n");
}

TEST_F(ViewerArchiveTest, EmptyDamagedOrMissingArchivesGiveAnEmptyList) {
    for (const std::string& file : {files.writeEmptyArchive("empty.zip"),
                                    files.writeBytes("damaged.zip", "PK\x03\x04 not what it claims to be"),
                                    files.path("missing.zip")}) {
        SCOPED_TRACE(file);
        frmDisplay viewer(&host);
        QPlainTextEdit* list = displayed(viewer, file);
        EXPECT_TRUE(list->isVisible());
        EXPECT_TRUE(list->toPlainText().isEmpty());
    }
}

}  // namespace
}  // namespace gleanery
