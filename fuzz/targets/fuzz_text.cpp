// The text operations against plain reference walks: the searches honour the
// double-byte rule exactly as a character-by-character walk does, and the
// cutting helpers only ever return pieces of their input.
#include <cmath>

#include "core/text.h"
#include "fuzz_support.h"

namespace velmora::fuzz {
namespace {

bool Lead(unsigned char c) { return c >= 0x80; }

unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

bool MatchesAt(const Text& t, size_t p, const Text& m, bool ignoreCase) {
    for (size_t i = 0; i < m.size(); ++i) {
        const auto a = static_cast<unsigned char>(t[p + i]);
        const auto b = static_cast<unsigned char>(m[i]);
        if (ignoreCase && Lead(b)) {
            if (a != b) return false;
            if (++i < m.size() && t[p + i] != m[i]) return false;
        } else if (ignoreCase ? Fold(a) != Fold(b) : a != b) {
            return false;
        }
    }
    return true;
}

// First character start at or after `from` where the marker begins and ends
// within `searchLen` bytes; a lone lead byte at the very end never matches.
long RefFind(const Text& t, size_t searchLen, size_t from, const Text& m, bool ignoreCase) {
    for (size_t p = from; p + m.size() <= searchLen;) {
        const bool loneLead = Lead(t[p]) && p + 1 == t.size();
        if (!loneLead && MatchesAt(t, p, m, ignoreCase)) return static_cast<long>(p);
        p += (Lead(t[p]) && p + 1 < t.size()) ? 2 : 1;
    }
    return -1;
}

// A character start at or after `p` (positions of a 1-based start that lands
// on a second byte still search from there, as the operations do).
int RefFindText(const Text& t, const Text& m, int start, bool ic) {
    const long first = std::max(start, 1);
    if (first > static_cast<long>(t.size())) return -1;
    if (m.empty()) return static_cast<int>(first);
    const long q = RefFind(t, t.size(), static_cast<size_t>(first - 1), m, ic);
    return q < 0 ? -1 : static_cast<int>(q + 1);
}

int RefFindTextReverse(const Text& t, const Text& m, int start, bool ic) {
    const long len = static_cast<long>(t.size());
    const long region =
        start == kWholeText ? len : std::min<long>(len, std::max(static_cast<long>(start) - 1, 0L));
    if (m.empty()) return region > 0 ? 1 : -1;
    long last = -1;
    for (long q = RefFind(t, region, 0, m, ic); q >= 0;) {
        last = q;
        const size_t next = static_cast<size_t>(q) + ((Lead(t[q]) && q + 1 < len) ? 2 : 1);
        q = RefFind(t, region, next, m, ic);
    }
    return last < 0 ? -1 : static_cast<int>(last + 1);
}

Text RefReplace(const Text& t, const Text& o, const Text& n, int start, int count, bool ic) {
    if (t.empty() || o.empty() || static_cast<long>(start) - 1 >= static_cast<long>(t.size()) ||
        count == 0)
        return t;
    size_t pos = static_cast<size_t>(std::max(static_cast<long>(start) - 1, 0L));
    Text out = t.substr(0, pos);
    int done = 0;
    for (long q; (q = RefFind(t, t.size(), pos, o, ic)) >= 0;) {
        out += t.substr(pos, static_cast<size_t>(q) - pos) + n;
        pos = static_cast<size_t>(q) + o.size();
        if (count > 0 && ++done == count) break;
    }
    return out + t.substr(pos);
}

TextList RefSplit(const Text& t, const Text& sep, int maxPieces) {
    TextList pieces;
    if (t.empty() || (maxPieces != kAll && maxPieces <= 0)) return pieces;
    if (sep.empty()) return {t};
    size_t pos = 0;
    for (long q; (q = RefFind(t, t.size(), pos, sep, false)) >= 0;) {
        pieces.push_back(t.substr(pos, static_cast<size_t>(q) - pos));
        pos = static_cast<size_t>(q) + sep.size();
        if (maxPieces != kAll && static_cast<int>(pieces.size()) == maxPieces) return pieces;
    }
    if (pos < t.size()) pieces.push_back(t.substr(pos));
    return pieces;
}

// A start position around the text's range, including out-of-range values.
int StartFrom(uint8_t b, const Text& t) {
    if (b == 255) return kWholeText;
    if (b >= 250) return std::numeric_limits<int>::min() + (b - 250);
    return static_cast<int>(b % (t.size() + 8)) - 3;
}

}  // namespace
}  // namespace velmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    using namespace velmora::fuzz;
    FuzzInput in(data, size);
    const uint8_t startByte = in.Byte();
    const uint8_t countByte = in.Byte();
    const uint8_t flags = in.Byte();
    const Text text = in.NextText();
    const Text marker = in.NextText();
    const Text other = in.NextText();
    const bool ic = flags & 1;
    const int start = StartFrom(startByte, text);
    const int count = countByte == 255 ? kAll : countByte % 8;

    const int f = FindText(text, marker, start, ic);
    FUZZ_CHECK(f == RefFindText(text, marker, start, ic));
    FUZZ_CHECK(f == -1 || (f >= 1 && f <= TextLength(text)));
    const int r = FindTextReverse(text, marker, start, ic);
    FUZZ_CHECK(r == RefFindTextReverse(text, marker, start, ic));
    FUZZ_CHECK(r == -1 || (r >= 1 && r <= TextLength(text)));

    FUZZ_CHECK(ReplaceText(text, marker, other, start, count, ic) ==
               RefReplace(text, marker, other, start, count, ic));
    FUZZ_CHECK(SplitText(text, marker, count == 0 ? kAll : count) ==
               RefSplit(text, marker, count == 0 ? kAll : count));

    const Text trimmed = TrimSpaces(text);
    FUZZ_CHECK(Contains(text, trimmed));
    FUZZ_CHECK(RemoveSpaces(text).size() <= text.size());
    FUZZ_CHECK(ToLowerCase(text).size() == text.size());
    FUZZ_CHECK(ToUpperCase(text).size() == text.size());
    FUZZ_CHECK(TextLeft(text, start).size() <= text.size());
    FUZZ_CHECK(TextRight(text, start).size() <= text.size());
    FUZZ_CHECK(Contains(text, TextMid(text, start, countByte)));
    FUZZ_CHECK(CompareText(text, marker) == -CompareText(marker, text));

    // The cutting helpers: pieces of the text, bounded by their markers.
    const Text before = TextBefore(text, marker);
    FUZZ_CHECK(text.compare(0, before.size(), before) == 0);
    const Text afterLast = TextAfterLast(text, marker);
    FUZZ_CHECK(afterLast.size() <= text.size() &&
               text.compare(text.size() - afterLast.size(), afterLast.size(), afterLast) == 0);
    const Text between = TextBetween(text, marker, other);
    if (!between.empty() && (marker + other).find('#') == Text::npos) {
        FUZZ_CHECK(Contains(text, marker + between + other));
    }
    FUZZ_CHECK(Contains(text, between));
    TextList all;
    const int n = TextBetweenAll(text, marker, other, all);
    FUZZ_CHECK(n == static_cast<int>(all.size()));
    for (const Text& piece : all) {
        FUZZ_CHECK(!piece.empty() && Contains(text, piece));
    }

    // Number parsing: any text gives a number, never NaN.
    FUZZ_CHECK(!std::isnan(TextToNumber(text)));
    FUZZ_CHECK(!std::isnan(TextToFloat(text)));
    (void)TextToInt(text);
    FUZZ_CHECK(TextToInt(IntToText(TextToInt(text))) == TextToInt(text));
    return 0;
}
