#pragma once
// The entries of a zip archive as the viewer lists them: one "name, size"
// line per entry, each ended by "\r\n", the size grouped by the locale's
// thousands separator ("12,345" or "12.345").

#include <QLocale>
#include <QString>
#include <string>

namespace gleanery {

// An unreadable, damaged or missing archive gives an empty listing; the
// archive is closed again before this returns.
QString archiveListing(const std::string& lsFile, const QLocale& locale = QLocale());

}  // namespace gleanery
