#include "links/stored_page.h"

#include "links/link_rewriting.h"
#include "links/local_path.h"
#include "links/output_drives.h"
#include "links/url_utils.h"
#include "support/part_file.h"
#include "support/settings_view.h"

namespace gleanery {

bool ReplaceFile(const std::string& path, std::string_view bytes, std::int64_t modified) {
    PartFile file;
    return file.open(path) && file.write(bytes.data(), bytes.size()) && file.commit(modified);
}

bool StorePage(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
               const OutputDrives& drives, LinkQueue& queue, std::string_view baseUrl, LinkAdmission* admission,
               std::int64_t modified) {
    const std::string file = MakePath(MakeURL(pageUrl, settings), kFolderByFreeSpace, true, drives);
    if (!settings.checked(Field::chkTranslate)) return ReplaceFile(file, text, modified);
    return ReplaceFile(file, ConvertLocal(pageUrl, text, settings, drives, queue, baseUrl, admission), modified);
}

}  // namespace gleanery
