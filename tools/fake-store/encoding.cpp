#include "encoding.h"

#include <iconv.h>

#include <cstdio>
#include <vector>

namespace fakestore {
namespace {

// Decodes one UTF-8 sequence at s[i]; invalid bytes yield U+FFFD and advance one byte.
char32_t NextCodePoint(const std::string& s, std::size_t& i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    const int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra == 0) {
        ++i;
        return b;
    }
    if (extra < 0 || i + extra >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const unsigned char c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += extra + 1;
    return cp;
}

std::string Utf8Of(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Converts one character; empty when code page 936 has no form for it.
std::string GbkOfChar(iconv_t cd, const std::string& utf8) {
    std::vector<char> in(utf8.begin(), utf8.end());
    char out[8];
    char* inp = in.data();
    char* outp = out;
    size_t inLeft = in.size(), outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) return {};
    return std::string(out, outp);
}

}  // namespace

std::string GbkFromUtf8(const std::string& utf8) {
    iconv_t cd = iconv_open("CP936", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return utf8;
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = NextCodePoint(utf8, i);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
            continue;
        }
        std::string g = GbkOfChar(cd, Utf8Of(cp));
        out += g.empty() ? std::string("?") : g;
    }
    iconv_close(cd);
    return out;
}

std::string UnicodeEscaped(const std::string& utf8) {
    std::string out;
    auto unit = [&out](unsigned u) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "\\u%04x", u);
        out += buf;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = NextCodePoint(utf8, i);
        if (cp < 0x80 && cp != '"' && cp != '\\') {
            out += static_cast<char>(cp);
        } else if (cp < 0x10000) {
            unit(static_cast<unsigned>(cp));
        } else {
            char32_t v = cp - 0x10000;
            unit(0xD800 + static_cast<unsigned>(v >> 10));
            unit(0xDC00 + static_cast<unsigned>(v & 0x3FF));
        }
    }
    return out;
}

std::string PercentDecoded(const std::string& s, bool plusIsSpace) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
            out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
            i += 2;
        } else if (plusIsSpace && s[i] == '+') {
            out += ' ';
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace fakestore
