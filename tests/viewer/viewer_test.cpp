// The downloaded-file viewer: archives listed, pictures shown, broken files survived.
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

namespace fs = std::filesystem;

std::string writeBytes(const std::string& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

std::string writeArchive(const std::string& file, const std::vector<std::pair<std::string, std::string>>& entries) {
    int error = 0;
    zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, content] : entries)
        zip_file_add(archive, name.c_str(), zip_source_buffer(archive, content.data(), content.size(), 0),
                     ZIP_FL_ENC_UTF_8);
    zip_close(archive);
    return file;
}

std::string writePicture(const std::string& file, int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    picture.save(&buffer, "PNG");
    return writeBytes(file, bytes.toStdString());
}

int openHandlesTo(const std::string& file) {
    const auto target = fs::canonical(file);
    int count = 0;
    for (const auto& handle : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        count += fs::read_symlink(handle.path(), error) == target;
    }
    return count;
}

std::string shown(const frmDisplay& viewer) {
    const auto* list = viewer.findChild<QPlainTextEdit*>("txtList");
    const auto* picture = viewer.findChild<QLabel*>("picDisplay");
    if (list->isVisible()) return list->toPlainText().toStdString();
    const QSize size = picture->pixmap().size();
    return picture->isVisible() ? "picture " + std::to_string(size.width()) + "x" + std::to_string(size.height())
                                : "<nothing>";
}

TEST(Viewer, ListsArchivesShowsPicturesSurvivesBrokenFilesAndHoldsNoneOpen) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir dir;
    dir.setAutoRemove(false);  // some names are not UTF-8, which QTemporaryDir cannot remove
    const std::string in = dir.path().toStdString() + "/";
    QMdiArea area;  // hosts the viewers as the main window does
    area.resize(400, 300);
    area.show();
    // libzip removes an archive left without entries, so the empty one is
    // written by hand: nothing but the end-of-directory record.
    const std::pair<std::string, std::string> cases[] = {
        {writeArchive(in + "pack.zip",
                      {{"index.html", std::string(12345, 'h')}, {"img/big.bin", std::string(1234567, 'x')}, {"e", ""}}),
         "index.html, 12,345\nimg/big.bin, 1,234,567\ne, 0\n"},
        {writeBytes(in + "empty.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0')), ""},
        {writeBytes(in + "damaged.zip", "PK\x03\x04 not what it claims to be"), ""},
        {in + "missing.zip", ""},
        {writePicture(in + "ok.gif", 30, 20), "picture 30x20"},     // told by its content, not by its name
        {writePicture(in + "caf\xE9.png", 12, 8), "picture 12x8"},  // a name that is not UTF-8
        {writeBytes(in + "broken.png", "\x89PNG\r\n\x1a\n truncated"), "picture 0x0"},
        {in + "missing.jpg", "picture 0x0"},
    };
    for (const auto& [file, expected] : cases) {
        auto* viewer = new frmDisplay;
        area.addSubWindow(viewer);
        viewer->Display(file, 2);
        EXPECT_EQ(shown(*viewer), expected) << file;
        if (fs::exists(file)) {
            EXPECT_EQ(openHandlesTo(file), 0) << file;
        }
    }
    QLocale::setDefault(QLocale::system());
    fs::remove_all(in);
}

}  // namespace
}  // namespace gleanery
