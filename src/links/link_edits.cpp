#include "links/link_edits.h"

namespace gleanery {

std::string ApplyEdits(std::string_view text, const std::vector<LinkEdit>& edits) {
    std::size_t size = text.size();
    for (const LinkEdit& e : edits) size += e.text.size() - (e.end - e.begin);
    std::string out;
    out.reserve(size);
    std::size_t copied = 0;
    for (const LinkEdit& e : edits) {
        out.append(text.substr(copied, e.begin - copied)).append(e.text);
        copied = e.end;
    }
    return out.append(text.substr(copied));
}

}  // namespace gleanery
