#include "monitor/smtp_message.h"

#include <algorithm>
#include <cstdio>

namespace velmora {

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Longest run of whole characters of at most `limit` bytes starting at `from`:
// a double-byte character is never split between two encoded words.
size_t ChunkEnd(const Text& text, size_t from, size_t limit) {
    size_t end = from;
    while (end < text.size()) {
        size_t width = static_cast<unsigned char>(text[end]) >= 0x80 ? 2 : 1;
        if (end + width - from > limit) break;
        end = std::min(end + width, text.size());
    }
    return end;
}

}  // namespace

Text SafeMailAddress(const Text& address) {
    auto cut = std::find_if(address.begin(), address.end(),
                            [](char c) { return IsControl(static_cast<unsigned char>(c)); });
    return Text(address.begin(), cut);
}

std::string Base64Encode(std::string_view bytes) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                     static_cast<unsigned char>(bytes[i + 1]) << 8 |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string EncodeHeaderText(const Text& text) {
    if (IsAscii(text)) return SafeMailAddress(text);
    // 42 raw bytes give 56 base64 bytes: a 69-byte word, so even the first
    // line, after "Subject: ", stays within 78 characters.
    const size_t kRawPerWord = 42;
    std::string out;
    for (size_t from = 0; from < text.size();) {
        size_t end = ChunkEnd(text, from, kRawPerWord);
        if (!out.empty()) out += "\r\n ";
        out += "=?gb2312?B?" + Base64Encode(std::string_view(text).substr(from, end - from)) + "?=";
        from = end;
    }
    return out;
}

std::string MailDate(std::time_t when) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    localtime_r(&when, &local);
    long offset = local.tm_gmtoff / 60;
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0) offset = -offset;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s, %d %s %d %02d:%02d:%02d %c%02ld%02ld",
                  kDays[local.tm_wday % 7], local.tm_mday, kMonths[local.tm_mon % 12],
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec, sign,
                  offset / 60, offset % 60);
    return buffer;
}

std::string BuildMailMessage(const MailMessage& message, std::time_t when) {
    const char* charset = IsAscii(message.body) ? "us-ascii" : "gb2312";
    std::string out;
    out += "From: " + SafeMailAddress(message.from) + "\r\n";
    out += "To: " + SafeMailAddress(message.to) + "\r\n";
    out += "Reply-To: " + SafeMailAddress(message.from) + "\r\n";
    out += "Subject: " + EncodeHeaderText(message.subject) + "\r\n";
    out += "Date: " + MailDate(when) + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += std::string("Content-Type: text/plain; charset=\"") + charset + "\"\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    out += "\r\n";
    std::string body = Base64Encode(message.body);
    for (size_t at = 0; at < body.size(); at += 76) out += body.substr(at, 76) + "\r\n";
    return out;
}

}  // namespace velmora
