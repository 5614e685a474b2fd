// Splitting an absolute URL into the host to connect to, the port and the
// request path with its query.
#pragma once

#include "core/text.h"

namespace velmora {

Text UrlHost(const Text& url);   // lower case, without port
int UrlPort(const Text& url);    // 80 or 443 when the URL names none
Text UrlPath(const Text& url);   // path and query, at least "/"

}  // namespace velmora
