#pragma once
// A downloaded picture read from its file. The path is a byte string, used as
// it is, so names that are not valid UTF-8 load too.

#include <QImage>
#include <string>

namespace gleanery {

// A null image when the file is missing or not a picture that can be decoded.
// The file is closed again before this returns.
QImage loadPicture(const std::string& path);

}  // namespace gleanery
