// The text value and its byte-oriented operations.
//
// A Text is a byte string in code page 936 (GBK). Positions are 1-based byte
// offsets, lengths are byte counts and a search that finds nothing gives -1.
// The scanning operations walk character by character: a byte of 0x80 or above
// is the lead byte of a double-byte character, and the byte after it is never
// tried as the start of a match. The cutting operations count raw bytes.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace velmora {

using Text = std::string;      // code page 936, never holds a zero byte
using Bytes = std::string;     // counted bytes, may hold zero bytes
using TextList = std::vector<Text>;

// Start value meaning "the whole text" for FindTextReverse.
inline constexpr int kWholeText = std::numeric_limits<int>::max();
// Count value meaning "every occurrence" for ReplaceText and SplitText.
inline constexpr int kAll = -1;

struct DateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

int TextLength(const Text& text);
int FindText(const Text& text, const Text& marker, int start = 1, bool ignoreCase = false);
int FindTextReverse(const Text& text, const Text& marker, int start = kWholeText,
                    bool ignoreCase = false);
Text TextLeft(const Text& text, int n);
Text TextRight(const Text& text, int n);
Text TextMid(const Text& text, int start, int n);
Text ReplaceText(const Text& text, const Text& oldText, const Text& newText = Text(), int start = 1,
                 int count = kAll, bool ignoreCase = false);
TextList SplitText(const Text& text, const Text& separator = ",", int maxPieces = kAll);
Text TrimSpaces(const Text& text);
Text RemoveSpaces(const Text& text);
Text ToLowerCase(const Text& text);
Text ToUpperCase(const Text& text);
double TextToNumber(const Text& text);
int32_t TextToInt(const Text& text);
float TextToFloat(const Text& text);
Text IntToText(int32_t value);
Text BytesToText(const Bytes& bytes);
Text DateTimeToText(const DateTime& when);
Text ToHexText(int32_t value);
Text BlankText(int n);
Text CharFromCode(int code);
int CompareText(const Text& a, const Text& b);

// Extraction helpers: every search starts at the first byte, case-sensitive
// (TextBetweenAll ignores ASCII case).
Text TextBefore(const Text& text, const Text& marker);
Text TextAfterLast(const Text& text, const Text& marker);
// "#引号" in either marker stands for a double quote.
Text TextBetween(const Text& text, const Text& left, const Text& right);
// Fills `out` with every trimmed non-empty piece between a left marker and the
// next right marker; lets the window process pending events after each pair.
int TextBetweenAll(const Text& text, const Text& left, const Text& right, TextList& out);

// Local date and time of now, second resolution.
DateTime LocalNow();

}  // namespace velmora
