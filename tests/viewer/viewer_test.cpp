// The downloaded-file viewer: a ".zip" archive is listed entry by entry with
// its sizes, anything else is shown as a picture; damaged, missing or
// unreadable files leave an empty list or picture, and no file is held open.
#include <gtest/gtest.h>

#include <zip.h>

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "viewer/display_window.h"

namespace gleanery {
namespace {

// Downloaded files written into a temporary folder: archives built with libzip,
// pictures written by QImage, and broken files.
class ViewerFiles {
public:
    // Some names are not UTF-8, which QTemporaryDir cannot remove.
    ViewerFiles() { dir_.setAutoRemove(false); }
    ~ViewerFiles() { std::filesystem::remove_all(dir_.path().toStdString()); }

    std::string path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }

    std::string writeBytes(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }

    std::string writeArchive(const std::string& name,
                             const std::vector<std::pair<std::string, std::string>>& entries) const {
        int error = 0;
        zip_t* archive = zip_open(path(name).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        for (const auto& [entryName, content] : entries)
            zip_file_add(archive, entryName.c_str(), zip_source_buffer(archive, content.data(), content.size(), 0),
                         ZIP_FL_ENC_UTF_8);
        zip_close(archive);
        return path(name);
    }

    // libzip removes an archive left without entries, so this one is written
    // by hand: nothing but the end-of-directory record.
    std::string writeEmptyArchive(const std::string& name) const {
        return writeBytes(name, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    }

    std::string writePicture(const std::string& name, int width, int height) const {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        picture.save(&buffer, "PNG");
        return writeBytes(name, bytes.toStdString());
    }

private:
    QTemporaryDir dir_;
};

// How many of this process's open file handles refer to the file.
inline int openHandlesTo(const std::string& file) {
    const auto target = std::filesystem::canonical(file);
    int count = 0;
    for (const auto& handle : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(handle.path(), error) == target) ++count;
    }
    return count;
}

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        area.resize(400, 300);
        area.show();
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    // Hosted as the main window hosts it.
    frmDisplay& open(const std::string& file) {
        auto* viewer = new frmDisplay;
        area.addSubWindow(viewer);
        viewer->Display(file, 2);
        return *viewer;
    }
    static QString listed(frmDisplay& viewer) {
        auto* list = viewer.findChild<QPlainTextEdit*>("txtList");
        return list->isVisible() ? list->toPlainText() : "<no list>";
    }
    static QLabel& picture(frmDisplay& viewer) { return *viewer.findChild<QLabel*>("picDisplay"); }

    ViewerFiles files;
    QMdiArea area;
};

TEST_F(ViewerTest, ArchiveEntriesAreListedWithTheirSizesAndTheArchiveIsNotHeldOpen) {
    const std::string file = files.writeArchive(
        "pack.zip", {{"index.html", std::string(12345, 'h')}, {"img/big.bin", std::string(1234567, 'x')}, {"e", ""}});
    EXPECT_EQ(listed(open(file)).toStdString(), "index.html, 12,345\nimg/big.bin, 1,234,567\ne, 0\n");
    EXPECT_EQ(openHandlesTo(file), 0);
}

TEST_F(ViewerTest, EmptyDamagedOrMissingArchivesGiveAnEmptyList) {
    for (const std::string& file :
         {files.writeEmptyArchive("empty.zip"), files.writeBytes("damaged.zip", "PK\x03\x04 not what it claims to be"),
          files.path("missing.zip")})
        EXPECT_EQ(listed(open(file)), "") << file;
}

TEST_F(ViewerTest, UnreadablePicturesLeaveAnEmptyPictureAndGoodOnesAreNotHeldOpen) {
    const std::pair<std::string, QSize> cases[] = {
        {files.writePicture("ok.gif", 30, 20), {30, 20}},     // told by its content, not by its name
        {files.writePicture("caf\xE9.png", 12, 8), {12, 8}},  // a name that is not UTF-8
        {files.writeBytes("broken.png", "\x89PNG\r\n\x1a\n truncated"), {0, 0}},
        {files.path("missing.jpg"), {0, 0}},
    };
    for (const auto& [file, shown] : cases) {
        frmDisplay& viewer = open(file);
        EXPECT_TRUE(picture(viewer).isVisible()) << file;
        EXPECT_EQ(picture(viewer).pixmap().size(), shown) << file;
        if (!shown.isEmpty()) {
            EXPECT_EQ(openHandlesTo(file), 0) << file;
        }
    }
}

}  // namespace
}  // namespace gleanery
