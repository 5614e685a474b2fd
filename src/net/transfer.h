// Running one prepared easy handle to its end on the calling thread.
#pragma once

#include <curl/curl.h>

namespace velmora {

// Performs the transfer set up on `easy` and returns its result. Connections
// left open by earlier transfers of the same thread are reused when they lead
// to the same server.
CURLcode RunTransfer(CURL* easy);

}  // namespace velmora
