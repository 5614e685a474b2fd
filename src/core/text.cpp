// Primitive text operations: length, search, cutting, replacing, splitting,
// trimming, case folding, comparison.
#include "core/text.h"

#include <algorithm>
#include <cstring>

#include "core/text_scan.h"

namespace velmora {
namespace {

using detail::CharLength;
using detail::FindAtCharStart;
using detail::kNoMatch;

constexpr unsigned char kFullWidthSpaceByte = 0xA1;

bool IsFullWidthSpaceAt(const Text& text, std::size_t i) {
    return static_cast<unsigned char>(text[i]) == kFullWidthSpaceByte && i + 1 < text.size() &&
           static_cast<unsigned char>(text[i + 1]) == kFullWidthSpaceByte;
}

bool IsLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Folds the ASCII letters that stand at character starts; the second byte of
// a double-byte character is never changed.
Text FoldCase(const Text& text, bool toUpper) {
    Text out = text;
    for (std::size_t i = 0; i < out.size();) {
        char& c = out[i];
        if (IsLead(c)) {
            i += 2;
            continue;
        }
        if (toUpper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (!toUpper && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        ++i;
    }
    return out;
}

}  // namespace

int TextLength(const Text& text) { return static_cast<int>(text.size()); }

int FindText(const Text& text, const Text& marker, int start, bool ignoreCase) {
    const auto length = static_cast<long long>(text.size());
    const long long first = std::max(start, 1);
    if (first > length) return -1;  // the searched region is empty
    if (marker.empty()) return static_cast<int>(first);
    const std::size_t q =
        FindAtCharStart(text, text.size(), static_cast<std::size_t>(first - 1), marker, ignoreCase);
    return q == kNoMatch ? -1 : static_cast<int>(q + 1);
}

int FindTextReverse(const Text& text, const Text& marker, int start, bool ignoreCase) {
    const auto length = static_cast<long long>(text.size());
    // In 64 bits: start - 1 must not overflow for the smallest int.
    const long long before = std::max(static_cast<long long>(start) - 1, 0LL);
    const long long region = start == kWholeText ? length : std::min(length, before);
    if (marker.empty()) return region > 0 ? 1 : -1;
    std::size_t from = 0;
    std::size_t lastMatch = kNoMatch;
    for (;;) {
        const std::size_t q =
            FindAtCharStart(text, static_cast<std::size_t>(region), from, marker, ignoreCase);
        if (q == kNoMatch) break;
        lastMatch = q;
        from = q + CharLength(text, q);  // occurrences may overlap
    }
    return lastMatch == kNoMatch ? -1 : static_cast<int>(lastMatch + 1);
}

Text TextLeft(const Text& text, int n) {
    if (n <= 0) return Text();
    return text.substr(0, static_cast<std::size_t>(n));
}

Text TextRight(const Text& text, int n) {
    if (n <= 0) return Text();
    const std::size_t count = std::min(static_cast<std::size_t>(n), text.size());
    return text.substr(text.size() - count);
}

Text TextMid(const Text& text, int start, int n) {
    if (start < 1 || static_cast<std::size_t>(start) > text.size() || n <= 0) return Text();
    return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n));
}

Text ReplaceText(const Text& text, const Text& oldText, const Text& newText, int start, int count,
                 bool ignoreCase) {
    const long long begin = std::max(static_cast<long long>(start) - 1, 0LL);
    if (text.empty() || oldText.empty() || static_cast<long long>(start) - 1 >= static_cast<long long>(text.size()) ||
        count == 0)
        return text;
    Text out;
    out.reserve(text.size());
    std::size_t pos = static_cast<std::size_t>(begin);
    out.append(text, 0, pos);
    int replaced = 0;
    for (;;) {
        const std::size_t q = FindAtCharStart(text, text.size(), pos, oldText, ignoreCase);
        if (q == kNoMatch) break;
        out.append(text, pos, q - pos);
        out += newText;
        pos = q + oldText.size();
        if (count > 0 && ++replaced == count) break;
    }
    out.append(text, pos, Text::npos);
    return out;
}

TextList SplitText(const Text& text, const Text& separator, int maxPieces) {
    TextList pieces;
    const bool limited = maxPieces != kAll;
    if (text.empty() || (limited && maxPieces <= 0)) return pieces;
    if (separator.empty()) return {text};
    std::size_t pos = 0;
    for (;;) {
        const std::size_t q = FindAtCharStart(text, text.size(), pos, separator, false);
        if (q == kNoMatch) break;
        pieces.emplace_back(text, pos, q - pos);
        pos = q + separator.size();
        if (limited && static_cast<int>(pieces.size()) == maxPieces) return pieces;
    }
    if (pos < text.size()) pieces.emplace_back(text, pos, Text::npos);
    return pieces;
}

Text TrimSpaces(const Text& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
        } else if (IsFullWidthSpaceAt(text, i)) {
            i += 2;
        } else {
            break;
        }
    }
    const std::size_t begin = i;
    std::size_t end = i;  // end of the last character that is not a space
    while (i < text.size()) {
        if (!IsLead(text[i])) {
            if (text[i] != ' ') end = i + 1;
            ++i;
        } else if (i + 1 == text.size()) {
            return text.substr(begin, i - begin);  // a lone lead byte goes, spaces before it stay
        } else {
            if (!IsFullWidthSpaceAt(text, i)) end = i + 2;
            i += 2;
        }
    }
    return text.substr(begin, end - begin);
}

Text RemoveSpaces(const Text& text) {
    Text out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (!IsLead(text[i])) {
            if (text[i] != ' ') out += text[i];
            ++i;
        } else if (i + 1 == text.size()) {
            break;  // a lone lead byte at the end is dropped
        } else {
            if (!IsFullWidthSpaceAt(text, i)) out.append(text, i, 2);
            i += 2;
        }
    }
    return out;
}

Text ToLowerCase(const Text& text) { return FoldCase(text, false); }

Text ToUpperCase(const Text& text) { return FoldCase(text, true); }

Text BytesToText(const Bytes& bytes) {
    const std::size_t zero = bytes.find('\0');
    return zero == Bytes::npos ? bytes : bytes.substr(0, zero);
}

Text BlankText(int n) { return n < 1 ? Text() : Text(static_cast<std::size_t>(n), ' '); }

Text CharFromCode(int code) {
    const char c = static_cast<char>(code & 0xFF);
    return c == '\0' ? Text() : Text(1, c);
}

int CompareText(const Text& a, const Text& b) {
    const std::size_t common = std::min(a.size(), b.size());
    const int order = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
    if (order != 0) return order < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace velmora
