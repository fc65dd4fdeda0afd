#pragma once
// Downloaded files for the viewer tests, written into a temporary folder:
// archives built with libzip, pictures written by QImage, and broken files.

#include <zip.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace gleanery::testing {

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

}  // namespace gleanery::testing
