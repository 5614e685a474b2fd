// Test helper: code page 936 text written as readable UTF-8 literals.
#pragma once

#include "core/codepage.h"

namespace velmora::test {

inline Text G(const char* utf8) { return Cp936FromUtf8(utf8); }

}  // namespace velmora::test
