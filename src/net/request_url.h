// Making a URL safe to put into a request line and a header line.
#pragma once

#include "core/text.h"

namespace velmora {

// The URL cut before its first carriage return or line feed, with every other
// control byte (0x00-0x1F, 0x7F) and every space percent-encoded, so that no
// byte of it can end the request line or a header line early or add a line.
// Bytes of 0x80 and above and everything else stay as they are.
Text SafeRequestUrl(const Text& url);

// True when the host can be connected to as written: not empty, and only
// ASCII letters, digits, '.', '-' and '_'.
bool IsPlainHostName(const Text& host);

}  // namespace velmora
