// Code page 936 conversions through iconv. Each thread keeps its own
// converters, so calls from several threads share nothing.
#include "core/codepage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace velmora {
namespace {

// One iconv descriptor, opened on first use and reset before every call.
class Converter {
public:
    Converter(const char* to, const char* from) : to_(to), from_(from) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }

    // Converts `in`. At a sequence the converter rejects, `skip` tells how many
    // input bytes to step over and `replacement` is written in its place.
    template <typename Skip>
    std::string Run(std::string_view in, std::string_view replacement, Skip skip) {
        std::string out;
        if (!open()) return out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.reserve(in.size() * 2 + 8);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            const int error = errno;
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1)) break;
            if (error == E2BIG) continue;
            // EILSEQ (unconvertible or invalid) or EINVAL (cut off at the end).
            out.append(replacement);
            const std::size_t step =
                error == EINVAL ? srcLeft : std::min(srcLeft, std::max<std::size_t>(1, skip(src, srcLeft)));
            src += step;
            srcLeft -= step;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        // Flush any shift state the target encoding may hold.
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        return out;
    }

private:
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    bool open() {
        if (!ok()) cd_ = iconv_open(to_, from_);
        return ok();
    }

    const char* to_;
    const char* from_;
    iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

// Length of the UTF-8 sequence announced by its first byte (1 for a bad byte).
std::size_t Utf8SequenceLength(const char* p, std::size_t left) {
    const auto c = static_cast<unsigned char>(p[0]);
    std::size_t n = 1;
    if (c >= 0xF0 && c <= 0xF4) n = 4;
    else if (c >= 0xE0) n = 3;
    else if (c >= 0xC2 && c < 0xE0) n = 2;
    if (n > left) return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) return 1;
    return n;
}

// A surrogate pair counts as one character: two code units, four bytes.
std::size_t Utf16CharBytes(const char* p, std::size_t left) {
    if (left < 4) return 2;
    char16_t first, second;
    std::memcpy(&first, p, 2);
    std::memcpy(&second, p + 2, 2);
    const bool pair = first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF;
    return pair ? 4 : 2;
}

// Native byte order of char16_t.
constexpr const char* kUtf16 =
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? "UTF-16LE" : "UTF-16BE";

}  // namespace

std::string Utf8FromCp936(std::string_view cp936) {
    thread_local Converter converter("UTF-8", "CP936");
    // One undecodable byte is replaced; the next byte is tried again, so an
    // ASCII byte after a bad lead byte survives.
    return converter.Run(cp936, "\xEF\xBF\xBD", [](const char*, std::size_t) { return 1; });
}

Text Cp936FromUtf8(std::string_view utf8) {
    thread_local Converter converter("CP936", "UTF-8");
    return converter.Run(utf8, "?", Utf8SequenceLength);
}

Text Cp936FromUtf16(std::u16string_view utf16) {
    thread_local Converter converter("CP936", kUtf16);
    const std::string_view bytes(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2);
    return converter.Run(bytes, "?", Utf16CharBytes);
}

}  // namespace velmora
