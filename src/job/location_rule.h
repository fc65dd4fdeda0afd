#pragma once
// Gleanery refuses to grab its own web site.

#include <string>

namespace gleanery {

class JobSettings;
class Messages;

inline constexpr const char* kProductHost = "gleanery.org";

// The check run when the start address loses the focus (and by Begin and
// Resume): an address that names the product's own host is refused with a
// message and emptied. True when the address was refused.
bool refuseOwnSite(JobSettings& settings, Messages& messages);

}  // namespace gleanery
