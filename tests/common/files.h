#pragma once
// Whole files as byte strings, and what a folder holds afterwards.
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <string>
#include <vector>

#include <sys/stat.h>

namespace gleanery::test {

inline std::string readFile(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
}

// Replaces the file (made if missing; its folder must exist); false when it cannot be written.
inline bool writeFile(const std::string& path, const std::string& bytes) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::WriteOnly) && f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

// The permission bits of a file.
inline unsigned fileMode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : ~0u;
}

// Every file under folder (hidden ones too), relative to it, sorted.
inline std::vector<std::string> filesUnder(const std::string& folder) {
    const QDir root(QString::fromStdString(folder));
    QStringList names;
    QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) names << root.relativeFilePath(it.next());
    names.sort();
    std::vector<std::string> out;
    for (const QString& n : names) out.push_back(n.toStdString());
    return out;
}

// Temporary files of downloads and stored pages that never became their file.
inline std::vector<std::string> temporaryFilesUnder(const std::string& folder) {
    std::vector<std::string> found;
    for (const std::string& name : filesUnder(folder)) {
        const std::string base = name.substr(name.rfind('/') + 1);
        const bool part = base.ends_with(".part") || base.find(".part-") != std::string::npos;
        if (part || base.rfind(".gleanery-", 0) == 0) found.push_back(name);
    }
    return found;
}

}  // namespace gleanery::test
