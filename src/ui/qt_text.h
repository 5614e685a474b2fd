// The one crossing between code page 936 texts and the widgets' QString.
#pragma once

#include <QString>

#include "core/codepage.h"
#include "core/text.h"

namespace velmora {

inline QString ToQString(const Text& text) { return QString::fromStdString(Utf8FromCp936(text)); }
inline Text ToText(const QString& text) { return Cp936FromUtf8(text.toStdString()); }

}  // namespace velmora
