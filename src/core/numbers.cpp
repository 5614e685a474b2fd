// Number parsing and conversions of numbers and dates to text.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <limits>
#include <string>

#include <locale.h>

#include "core/text.h"

namespace velmora {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Full-width forms 0xA3 0xA1..0xA3 0xFE become their one-byte counterparts and
// the full-width space becomes 0x20, character by character.
Text FoldFullWidth(const Text& text) {
    Text out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80 || i + 1 == text.size()) {
            out += text[i];
            ++i;
            continue;
        }
        const auto d = static_cast<unsigned char>(text[i + 1]);
        if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) {
            out += static_cast<char>(d - 0x80);
        } else if (c == 0xA1 && d == 0xA1) {
            out += ' ';
        } else {
            out.append(text, i, 2);
        }
        i += 2;
    }
    return out;
}

std::size_t SkipWhite(const Text& t, std::size_t i) {
    while (i < t.size() && IsWhite(t[i])) ++i;
    return i;
}

std::size_t SkipDigits(const Text& t, std::size_t i) {
    while (i < t.size() && IsDigit(t[i])) ++i;
    return i;
}

// strtod in the "C" locale: the process locale may use another decimal point.
double ParseCDouble(const std::string& number) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(number.c_str(), nullptr, cLocale);
}

}  // namespace

double TextToNumber(const Text& text) {
    const Text t = FoldFullWidth(text);
    const std::size_t begin = SkipWhite(t, 0);
    std::size_t i = begin;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    const std::size_t intEnd = SkipDigits(t, i);
    std::size_t end = intEnd;
    bool anyDigit = intEnd > i;
    if (end < t.size() && t[end] == '.') {
        const std::size_t fracEnd = SkipDigits(t, end + 1);
        anyDigit = anyDigit || fracEnd > end + 1;
        end = fracEnd;
    }
    if (!anyDigit) return 0.0;
    if (end < t.size() && (t[end] == 'e' || t[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < t.size() && (t[e] == '+' || t[e] == '-')) ++e;
        const std::size_t expEnd = SkipDigits(t, e);
        if (expEnd > e) end = expEnd;  // an exponent counts only with digits
    }
    // Only the validated number reaches strtod, so it cannot read hex, inf or nan.
    return ParseCDouble(t.substr(begin, end - begin));
}

int32_t TextToInt(const Text& text) {
    const Text t = FoldFullWidth(text);
    std::size_t i = SkipWhite(t, 0);
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    // Values beyond the 32-bit range saturate.
    constexpr long long kLimit = 1LL << 31;
    long long value = 0;
    for (; i < t.size() && IsDigit(t[i]); ++i) {
        value = value * 10 + (t[i] - '0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) return static_cast<int32_t>(-value);
    return static_cast<int32_t>(std::min(value, kLimit - 1));
}

float TextToFloat(const Text& text) { return static_cast<float>(TextToNumber(text)); }

Text IntToText(int32_t value) { return std::to_string(value); }

Text ToHexText(int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<uint32_t>(value));
    return buffer;
}

Text DateTimeToText(const DateTime& when) {
    // 年 月 日 时 分 秒 in code page 936.
    char buffer[128];
    int n = std::snprintf(buffer, sizeof buffer, "%d\xC4\xEA%d\xD4\xC2%d\xC8\xD5", when.year,
                          when.month, when.day);
    const std::size_t rest = sizeof buffer - static_cast<std::size_t>(n);
    if (when.second != 0) {
        std::snprintf(buffer + n, rest, "%d\xCA\xB1%d\xB7\xD6%d\xC3\xEB", when.hour, when.minute,
                      when.second);
    } else if (when.minute != 0) {
        std::snprintf(buffer + n, rest, "%d\xCA\xB1%d\xB7\xD6", when.hour, when.minute);
    } else if (when.hour != 0) {
        std::snprintf(buffer + n, rest, "%d\xCA\xB1", when.hour);
    }
    return buffer;
}

DateTime LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                    local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace velmora
