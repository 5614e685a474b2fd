#include "net/transfer.h"

namespace velmora {

CURLcode RunTransfer(CURL* easy) { return curl_easy_perform(easy); }

}  // namespace velmora
