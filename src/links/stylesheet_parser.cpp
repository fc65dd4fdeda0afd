#include "links/stylesheet_parser.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "links/css_references.h"
#include "links/link_admission.h"
#include "links/link_edits.h"
#include "links/local_link.h"
#include "links/stored_page.h"
#include "links/url_utils.h"
#include "support/file_time.h"
#include "support/failure.h"
#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

bool IsStylesheet(std::string_view url, std::string_view contentType) {
    const auto first = contentType.find_first_not_of(" \t");
    return GetExtension(url) == "CSS" ||
           (first != std::string_view::npos && startsWithNoCase(contentType.substr(first), "text/css"));
}

bool ParseStylesheet(std::string_view url, const std::string& file, const SettingsView& settings,
                     const OutputDrives& drives, LinkQueue& queue) {
    if (!settings.checked(Field::chkPageRequisites)) return true;
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string css = std::move(bytes).str();

    LinkAdmission admission(settings, drives, queue);
    LocalLinks links(url, settings, drives, queue);
    const bool translate = settings.checked(Field::chkTranslate);
    std::vector<LinkEdit> edits;
    ForEachCssReference(css, 0, css.size(), [&](std::size_t begin, std::size_t end) {
        const std::string_view link = std::string_view(css).substr(begin, end - begin);
        skipSilently([&] { admission.HandleResult(url, link, LinkRole::Requisite); });
        if (!translate) return;
        skipSilently([&] {
            if (auto local = links.replacement(link, LinkRole::Requisite, true))
                edits.push_back({begin, end, std::move(*local)});
        });
    });
    // The rewritten stylesheet keeps the server's time, which a refresh asks with.
    return edits.empty() || ReplaceFile(file, ApplyEdits(css, edits), ModifiedTime(file));
}

}  // namespace gleanery
