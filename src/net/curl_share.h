// The process-wide libcurl state: libcurl initialised once, and one share
// handle that keeps cookies, resolved host names and TLS sessions for every
// transfer of the process.
#pragma once

#include <curl/curl.h>

namespace velmora {

// Initialises libcurl on first use (thread-safe) and returns the share handle.
// Every easy handle of the program should attach it with CURLOPT_SHARE.
CURLSH* CurlShare();

}  // namespace velmora
