#include "links/host_parts.h"

#include <libpsl.h>

#include <algorithm>
#include <string>

#include "support/text.h"

namespace gleanery {

namespace {

// The system's copy of the list when it is newer than the one built into
// libpsl. Never freed: lookups may run until the process ends.
const psl_ctx_t* publicSuffixes() {
    static const psl_ctx_t* const list = [] {
        const psl_ctx_t* latest = psl_latest(nullptr);
        return latest ? latest : psl_builtin();
    }();
    return list;
}

bool isNumber(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// No top-level domain is a number, so a name whose last label is one is an
// IPv4 address.
bool namesNoDomain(std::string_view name) {
    const auto lastDot = name.rfind('.');
    return lastDot == std::string_view::npos || isNumber(name.substr(lastDot + 1));
}

}  // namespace

HostParts SplitHost(std::string_view host) {
    // An IPv6 address in brackets holds colons of its own.
    if (host.starts_with('[')) return {{}, host};
    const std::string_view name = host.substr(0, host.find(':'));
    if (namesNoDomain(name)) return {{}, host};
    const std::string lowered = asciiLower(name);
    const char* registrable = psl_registrable_domain(publicSuffixes(), lowered.c_str());
    // None: the name is a public suffix itself.
    if (!registrable || registrable == lowered.c_str()) return {{}, host};
    // The list answers with a tail of the name that begins after a dot.
    const auto start = static_cast<std::size_t>(registrable - lowered.c_str());
    return {name.substr(0, start - 1), host.substr(start)};
}

}  // namespace gleanery
