// Text forms the store's answers use: code page 936 bytes for the product page
// and plain district names, \u escapes of UTF-16 code units for JSON-like answers,
// and percent-decoding for the admin calls.
#pragma once

#include <string>

namespace fakestore {

// UTF-8 to code page 936 (GBK); characters it cannot show become "?".
std::string GbkFromUtf8(const std::string& utf8);
// Every non-ASCII character, '"' and '\' as \uXXXX (lower-case hex, surrogate
// pairs for characters beyond the BMP); other ASCII stays as it is.
std::string UnicodeEscaped(const std::string& utf8);
// %XX becomes its byte; with plusIsSpace, '+' becomes a space.
std::string PercentDecoded(const std::string& s, bool plusIsSpace);

}  // namespace fakestore
