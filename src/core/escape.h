// Escape decoding (%uXXXX, %XX and \uXXXX after preparation) and hex numbers.
#pragma once

#include <cstdint>

#include "core/text.h"

namespace velmora {

// Decodes every escape in `text` to code page 936, leaving the rest as it was.
// Native decoder with the results of JScript unescape; no script is built.
Text DecodeUnicodeEscapes(const Text& text);
// The hand-written decoder (four-digit groups that read as decimal 0 are kept).
Text EscapeFallbackDecode(const Text& prepared);
// One UTF-16 code unit (from the low bytes of `unit`) as code page 936 text.
Text GbkFromCodeUnit(int64_t unit);
// Hexadecimal digits in either case; each non-digit byte counts as -2.
int64_t HexToNumber(const Text& text);

}  // namespace velmora
