// Escape decoding: any text decodes without a zero byte in the result, and a
// text with nothing to decode comes back unchanged.
#include "core/escape.h"
#include "fuzz_support.h"

namespace {

// Bytes that neither decoder nor its preparation ever rewrites.
bool NothingToDecode(const velmora::Text& t) {
    for (char c : t) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 || c == '%' || c == '\\' || c == '{' || c == '\r') return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    using namespace velmora::fuzz;
    FuzzInput in(data, size);
    const Text text = in.NextText();
    const Text prepared = in.NextText();

    const Text decoded = DecodeUnicodeEscapes(text);
    FUZZ_CHECK(!HasZeroByte(decoded));
    if (NothingToDecode(text)) FUZZ_CHECK(decoded == text);

    const Text fallback = EscapeFallbackDecode(prepared);
    FUZZ_CHECK(!HasZeroByte(fallback));
    if (NothingToDecode(prepared)) FUZZ_CHECK(fallback == prepared);

    FUZZ_CHECK(!HasZeroByte(GbkFromCodeUnit(HexToNumber(text))));
    int64_t unit = 0;
    for (size_t i = 0; i < 8 && i < prepared.size(); ++i) {
        unit = static_cast<int64_t>(static_cast<uint64_t>(unit) << 8 |
                                    static_cast<unsigned char>(prepared[i]));
    }
    FUZZ_CHECK(!HasZeroByte(GbkFromCodeUnit(unit)));
    return 0;
}
