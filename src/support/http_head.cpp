#include "support/http_head.h"

#include <algorithm>

#include "support/text.h"

namespace gleanery {

std::string_view httpHeaderValue(std::string_view head, std::string_view name) {
    head.remove_prefix(std::min(head.size(), head.find('\n') + 1));  // the start line
    while (!head.empty()) {
        const std::size_t end = head.find('\n');
        std::string_view line = head.substr(0, end);
        head.remove_prefix(end == std::string_view::npos ? head.size() : end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !equalsNoCase(line.substr(0, colon), name)) continue;
        line.remove_prefix(colon + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        return line;
    }
    return {};
}

std::string_view httpStatusText(std::string_view head) {
    const std::size_t space = head.find(' ');
    if (space == std::string_view::npos) return {};
    return head.substr(space + 1, head.find_first_of(" \r", space + 1) - space - 1);
}

}  // namespace gleanery
