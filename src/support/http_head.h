#pragma once
// Reading an HTTP head as it arrived: a start line (status or request),
// then header lines, each ending "\r\n" or "\n".

#include <string_view>

namespace gleanery {

// The value of the first header of that name (any case), without the
// blanks around it; "" when the head has none.
std::string_view httpHeaderValue(std::string_view head, std::string_view name);
// The status code of a response head as written ("200" of "HTTP/1.1 200 OK",
// of "HTTP/2 200"); "" without a status line.
std::string_view httpStatusText(std::string_view head);

}  // namespace gleanery
