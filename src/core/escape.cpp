// Decoding of %uXXXX and %XX escapes (and \uXXXX, turned into %uXXXX first)
// into code page 936, with the results of JScript unescape. Nothing here
// builds or runs a script.
#include "core/escape.h"

#include <string>

#include "core/codepage.h"
#include "core/pending_events.h"

namespace velmora {
namespace {

const Text kLineBreak = "\r\n";
const Text kLineBreakMark = "{$}";
const Text kApostrophe = "'";
const Text kApostropheMark = "\xA1\xAF";  // ’ in code page 936

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads `count` hex digits at `pos`; -1 when any of them is not one.
long HexAt(const Text& t, std::size_t pos, std::size_t count) {
    if (pos + count > t.size()) return -1;
    long value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int d = HexDigitValue(t[pos + i]);
        if (d < 0) return -1;
        value = value * 16 + d;
    }
    return value;
}

// unescape: each "%u" with four hex digits and each "%" with two becomes that
// UTF-16 code unit; every other byte stays as it is. Consecutive code units
// are converted together, so a surrogate pair becomes one character. A zero
// code unit is dropped, because a text holds no zero byte.
Text NativeUnescape(const Text& t) {
    Text out;
    out.reserve(t.size());
    std::u16string units;
    auto flush = [&] {
        if (units.empty()) return;
        out += Cp936FromUtf16(units);
        units.clear();
    };
    for (std::size_t i = 0; i < t.size();) {
        if (t[i] == '%') {
            long unit = -1;
            std::size_t length = 0;
            if (i + 1 < t.size() && t[i + 1] == 'u') {
                unit = HexAt(t, i + 2, 4);
                length = 6;
            }
            if (unit < 0) {
                unit = HexAt(t, i + 1, 2);
                length = 3;
            }
            if (unit >= 0) {
                if (unit != 0) units += static_cast<char16_t>(unit);
                i += length;
                continue;
            }
        }
        flush();
        out += t[i];
        ++i;
    }
    flush();
    return out;
}

}  // namespace

Text DecodeUnicodeEscapes(const Text& text) {
    Text t = ReplaceText(text, kLineBreak, kLineBreakMark);
    if (!t.empty() && t[0] == '\r') t.erase(0, 1);
    if (FindText(t, "\\u") != -1) t = ReplaceText(t, "\\u", "%u");
    t = ReplaceText(t, kApostrophe, kApostropheMark);

    Text r = NativeUnescape(t);
    // The native decoder yields nothing only when the whole text decodes to
    // nothing; the hand-written decoder then has the last word.
    if (r.empty()) r = EscapeFallbackDecode(t);

    r = ReplaceText(r, kApostropheMark, kApostrophe);
    return ReplaceText(r, kLineBreakMark, kLineBreak);
}

Text EscapeFallbackDecode(const Text& t) {
    const int length = TextLength(t);
    Text out;
    out.reserve(t.size());
    int i = 1;
    while (i <= length) {
        const char c = t[static_cast<std::size_t>(i - 1)];
        if (c != '%') {
            out += c;
            i += 1;
        } else if (i + 5 <= length && t[static_cast<std::size_t>(i)] == 'u') {
            const Text digits = TextMid(t, i + 2, 4);
            if (TextToInt(digits) == 0) {
                // Digit groups such as 00A9 or FF0C read as 0 and are kept as written.
                out += '%';
                i += 1;
            } else {
                out += GbkFromCodeUnit(HexToNumber(digits));
                i += 6;
            }
        } else if (i + 2 <= length) {
            out += GbkFromCodeUnit(HexToNumber(TextMid(t, i + 1, 2)));
            i += 3;
        } else {
            out += '%';
            i += 1;
        }
        ProcessPendingEvents();
    }
    return out;
}

Text GbkFromCodeUnit(int64_t unit) {
    // The eight bytes of the number as four UTF-16 code units, up to the first zero.
    const auto bits = static_cast<uint64_t>(unit);
    std::u16string units;
    for (int k = 0; k < 4; ++k) {
        const auto u = static_cast<char16_t>((bits >> (16 * k)) & 0xFFFF);
        if (u == 0) break;
        units += u;
    }
    return BytesToText(Cp936FromUtf16(units));
}

int64_t HexToNumber(const Text& text) {
    const Text upper = ToUpperCase(text);
    constexpr double kMax = 9.2233720368547748e18;  // 2^63, just out of range
    int64_t n = 0;
    for (const char c : upper) {
        const int d = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -2;
        const double next = static_cast<double>(n) * 16.0 + d;
        // Saturates instead of overflowing on texts of more than 15 digits.
        if (next >= kMax) n = INT64_MAX;
        else if (next <= -kMax) n = INT64_MIN;
        else n = static_cast<int64_t>(next);
    }
    return n;
}

}  // namespace velmora
