// Conversion between code page 936 and UTF-8 / UTF-16. The only place that
// knows the platform's converter (iconv "CP936").
#pragma once

#include <string>
#include <string_view>

#include "core/text.h"

namespace velmora {

// Code page 936 bytes to UTF-8; undecodable bytes become U+FFFD.
std::string Utf8FromCp936(std::string_view cp936);
// UTF-8 to code page 936; characters code page 936 cannot show become "?".
Text Cp936FromUtf8(std::string_view utf8);
// UTF-16 code units to code page 936, with the converter's default character.
Text Cp936FromUtf16(std::u16string_view utf16);

}  // namespace velmora
