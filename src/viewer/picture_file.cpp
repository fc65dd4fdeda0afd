#include "viewer/picture_file.h"

#include <QFile>
#include <QImageReader>
#include <cstdio>

namespace gleanery {

QImage loadPicture(const std::string& path) {
    std::FILE* handle = std::fopen(path.c_str(), "rb");
    if (!handle) return {};
    QFile file;
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        std::fclose(handle);
        return {};
    }
    // The reader tells the format from the content, not from the name.
    QImageReader reader(&file);
    return reader.read();
}

}  // namespace gleanery
