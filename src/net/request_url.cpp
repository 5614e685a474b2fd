#include "net/request_url.h"

namespace velmora {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendPercentEncoded(Text& out, unsigned char byte) {
    out += '%';
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

}  // namespace

Text SafeRequestUrl(const Text& url) {
    Text out;
    out.reserve(url.size());
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\r' || byte == '\n') break;
        if (byte <= 0x20 || byte == 0x7F) {
            AppendPercentEncoded(out, byte);
        } else {
            out += c;
        }
    }
    return out;
}

bool IsPlainHostName(const Text& host) {
    if (host.empty()) return false;
    for (const char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        if (!ok) return false;
    }
    return true;
}

}  // namespace velmora
