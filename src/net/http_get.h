// The program's one HTTP GET: fixed request line, user agent and headers; the
// response body as bytes, or the empty byte string on any failure.
#pragma once

#include "core/text.h"

namespace velmora {

struct HttpLimits {
    long connectTimeoutMs = 30000;   // give up connecting after this long
    long stallTimeoutMs = 30000;     // abandon a transfer that moves no byte this long
    long long maxBodyBytes = 16LL * 1024 * 1024;  // a larger body is a failure
    // Whole call, redirects included: a server that trickles bytes just fast
    // enough to escape the stall limit still cannot hold a caller for ever.
    long totalTimeoutMs = 120000;
};

Bytes HttpGet(const Text& url);
Bytes HttpGet(const Text& url, const HttpLimits& limits);

}  // namespace velmora
