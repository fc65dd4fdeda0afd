#include "viewer/archive_listing.h"

#include <zip.h>

#include <memory>

namespace gleanery {
namespace {

struct ArchiveCloser {
    // Opened read-only, so nothing is ever written back.
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

}  // namespace

QString archiveListing(const std::string& lsFile, const QLocale& locale) {
    // The C locale omits group separators unless asked; the listing always shows them.
    QLocale grouped = locale;
    grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);

    int error = 0;
    const std::unique_ptr<zip_t, ArchiveCloser> archive{zip_open(lsFile.c_str(), ZIP_RDONLY, &error)};
    if (!archive) return {};

    QString sFileList;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t entry;
        zip_stat_init(&entry);
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &entry) != 0) continue;
        if (!(entry.valid & ZIP_STAT_NAME) || !(entry.valid & ZIP_STAT_SIZE)) continue;
        sFileList += QString::fromUtf8(entry.name) + QStringLiteral(", ") + grouped.toString(qulonglong(entry.size)) +
                     QStringLiteral("\r\n");
    }
    return sFileList;
}

}  // namespace gleanery
