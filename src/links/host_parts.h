#pragma once
// Cutting a host into its domain (the part one organisation registers) and
// its server (the names in front of it), as "Stay Within Domain" needs.

#include <string_view>

namespace gleanery {

struct HostParts {
    std::string_view server;  // without the dot that joins it to the domain
    std::string_view domain;  // with the host's port, if any
};

// The domain is the registrable domain the Public Suffix List gives for the
// host's name ("shop.co.uk" for "www.shop.co.uk", "foo.github.io" for itself;
// for a top-level domain the list does not know, the last two labels). A
// host that is itself a public suffix, an IP address, or a name without a
// dot ("localhost") is its own domain. Both parts are views into host, case
// as written.
HostParts SplitHost(std::string_view host);

}  // namespace gleanery
