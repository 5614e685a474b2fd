#include "core/text_scan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::detail {
namespace {

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

// The other ASCII case of a letter; any other byte stands for itself.
unsigned char OtherCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 'a' && c <= 'z') return c - 32;
    return c;
}

// Compares the marker with the bytes at `p`. When ignoring case, only ASCII
// letters at character starts fold; both bytes of a double-byte character
// must match exactly.
bool EqualAt(const unsigned char* p, std::string_view marker, bool ignoreCase) {
    const auto* m = reinterpret_cast<const unsigned char*>(marker.data());
    if (!ignoreCase) return std::memcmp(p, m, marker.size()) == 0;
    for (std::size_t i = 0; i < marker.size(); ++i) {
        if (m[i] >= 0x80) {
            if (p[i] != m[i]) return false;
            if (++i < marker.size() && p[i] != m[i]) return false;
        } else if (FoldAscii(p[i]) != FoldAscii(m[i])) {
            return false;
        }
    }
    return true;
}

// Whether `q` is a character start, knowing that `sync` <= q is one. Any byte
// below 0x80 (a one-byte character or a second byte) is followed by a
// character start, and every byte of 0x80 or above after a character start
// is a lead byte, so the parity of the run of high bytes before q decides.
bool IsCharStart(const unsigned char* t, std::size_t sync, std::size_t q) {
    std::size_t b = q;
    while (b > sync && t[b - 1] >= 0x80) --b;
    return ((q - b) & 1) == 0;
}

// How often a byte tends to occur in service answers and pages: punctuation,
// digits and spaces are everywhere, capitals are rare.
int Commonness(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return 0;
    if (c >= 'a' && c <= 'z') return 1;
    if (c >= 0x80) return 1;
    if (c >= '0' && c <= '9') return 2;
    switch (c) {
        case ' ': case '"': case ',': case ':': case '{': case '}': case '\r': case '\n':
        case '.': case '-': case '_': case '=': case '&': case '/': case '\t': case '\'':
            return 3;
        default: return 1;
    }
}

// Two marker offsets whose bytes are least likely to match by chance; the
// block search tests these first.
struct Probe {
    std::size_t a = 0, b = 0;
};

Probe ChooseProbe(std::string_view marker) {
    Probe probe;
    probe.b = marker.size() - 1;
    if (marker.size() <= 2) return probe;
    auto rank = [&](std::size_t i) { return Commonness(static_cast<unsigned char>(marker[i])); };
    std::size_t best = 0, second = marker.size() - 1;
    if (rank(second) < rank(best)) std::swap(best, second);
    for (std::size_t i = 1; i + 1 < marker.size(); ++i) {
        if (rank(i) < rank(best)) {
            second = best;
            best = i;
        } else if (rank(i) < rank(second)) {
            second = i;
        }
    }
    probe.a = best;
    probe.b = second;
    return probe;
}

// Byte-exact candidate search: positions where the two probe bytes of the
// marker fit (in either case when ignoring case) and the whole marker
// matches. Returns kNoMatch when none lies at or after `pos`.
std::size_t NextCandidate(const unsigned char* t, std::size_t end, std::size_t pos,
                          std::string_view marker, const Probe& probe, bool ignoreCase) {
    const std::size_t m = marker.size();
    if (end < m) return kNoMatch;
    const std::size_t lastStart = end - m;  // last position a match can begin
    const auto first = static_cast<unsigned char>(marker[probe.a]);
    const auto last = static_cast<unsigned char>(marker[probe.b]);
    const unsigned char firstAlt = ignoreCase ? OtherCase(first) : first;
    const unsigned char lastAlt = ignoreCase ? OtherCase(last) : last;

    if (!ignoreCase && m == 1) {
        if (pos > lastStart) return kNoMatch;
        const void* hit = std::memchr(t + pos, first, lastStart + 1 - pos);
        return hit ? static_cast<const unsigned char*>(hit) - t : kNoMatch;
    }
#if defined(__SSE2__)
    const __m128i f0 = _mm_set1_epi8(static_cast<char>(first));
    const __m128i f1 = _mm_set1_epi8(static_cast<char>(firstAlt));
    const __m128i l0 = _mm_set1_epi8(static_cast<char>(last));
    const __m128i l1 = _mm_set1_epi8(static_cast<char>(lastAlt));
    // A block covers the starts pos..pos+15; its loads end before pos+15+m.
    while (pos + 15 <= lastStart) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + pos + probe.a));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + pos + probe.b));
        const __m128i hitA = _mm_or_si128(_mm_cmpeq_epi8(a, f0), _mm_cmpeq_epi8(a, f1));
        const __m128i hitB = _mm_or_si128(_mm_cmpeq_epi8(b, l0), _mm_cmpeq_epi8(b, l1));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(hitA, hitB)));
        while (mask != 0) {
            const std::size_t q = pos + static_cast<std::size_t>(__builtin_ctz(mask));
            if (EqualAt(t + q, marker, ignoreCase)) return q;
            mask &= mask - 1;
        }
        pos += 16;
    }
#endif
    for (; pos <= lastStart; ++pos) {
        const unsigned char a = t[pos + probe.a];
        const unsigned char b = t[pos + probe.b];
        if ((a == first || a == firstAlt) && (b == last || b == lastAlt) &&
            EqualAt(t + pos, marker, ignoreCase))
            return pos;
    }
    return kNoMatch;
}

// Walks character by character from the character start `pos` over at most
// `span` bytes. Used where byte candidates keep landing on second bytes, so
// the walk beats restarting the block search for each of them. Sets `pos` to
// the character start where the walk stopped.
std::size_t WalkFrom(const unsigned char* t, std::size_t textLen, std::size_t end, std::size_t& pos,
                     std::size_t span, std::string_view marker, bool ignoreCase) {
    const std::size_t m = marker.size();
    const std::size_t stop = pos + span;
    const auto first = static_cast<unsigned char>(marker.front());
    const unsigned char firstAlt = ignoreCase ? OtherCase(first) : first;
    while (pos < stop && pos + m <= end) {
        const unsigned char c = t[pos];
        if ((c == first || c == firstAlt) && EqualAt(t + pos, marker, ignoreCase)) {
            if (pos + 1 == textLen && c >= 0x80) return kNoMatch;
            return pos;
        }
        pos += (c >= 0x80) ? 2 : 1;
    }
    return kNoMatch;
}

}  // namespace

std::size_t FindAtCharStart(std::string_view text, std::size_t searchLen, std::size_t from,
                            std::string_view marker, bool ignoreCase) {
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const Probe probe = ChooseProbe(marker);
    std::size_t sync = from;
    std::size_t pos = from;
    for (;;) {
        const std::size_t q = NextCandidate(t, searchLen, pos, marker, probe, ignoreCase);
        if (q == kNoMatch) return kNoMatch;
        if (IsCharStart(t, sync, q)) {
            // A lone lead byte at the very end ends the walk unmatched.
            if (q + 1 == text.size() && t[q] >= 0x80) return kNoMatch;
            return q;
        }
        // q is the second byte of a character, so q + 1 starts the next one.
        // Walk a stretch from there before searching by blocks again.
        pos = q + 1;
        const std::size_t hit = WalkFrom(t, text.size(), searchLen, pos, 64, marker, ignoreCase);
        if (hit != kNoMatch) return hit;
        if (pos + marker.size() > searchLen) return kNoMatch;
        sync = pos;
    }
}

}  // namespace velmora::detail
