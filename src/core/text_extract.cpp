// Extraction helpers: cutting text before, after and between literal markers.
#include "core/pending_events.h"
#include "core/text.h"

namespace velmora {
namespace {

// "#引号" in code page 936: lets a marker name a double quote.
const Text kQuoteWord = "#\xD2\xFD\xBA\xC5";

}  // namespace

Text TextBefore(const Text& text, const Text& marker) {
    const int p = FindText(text, marker);
    return p == -1 ? Text() : TextLeft(text, p - 1);
}

Text TextAfterLast(const Text& text, const Text& marker) {
    const int p = FindTextReverse(text, marker);
    if (p == -1) return Text();
    return TextRight(text, TextLength(text) - TextLength(marker) - p + 1);
}

Text TextBetween(const Text& text, const Text& left, const Text& right) {
    const Text l = ReplaceText(left, kQuoteWord, "\"");
    const Text r = ReplaceText(right, kQuoteWord, "\"");
    const int p = FindText(text, l);
    if (p == -1) return Text();
    const int s = p + TextLength(l);
    const int q = FindText(text, r, s);
    return q == -1 ? Text() : TextMid(text, s, q - s);
}

int TextBetweenAll(const Text& text, const Text& left, const Text& right, TextList& out) {
    out.clear();
    // An empty left marker would find the same place for ever.
    if (left.empty()) return 0;
    int c = 1;
    for (;;) {
        const int f = FindText(text, left, c, true);
        if (f == -1) break;
        const int s = f + TextLength(left);
        const int g = FindText(text, right, s, true);
        if (g == -1) break;
        Text piece = TrimSpaces(TextMid(text, s, g - s));
        if (!piece.empty()) {
            out.push_back(std::move(piece));
            c = g;  // the next left marker may begin inside this right marker
        } else {
            c = s;
        }
        for (int i = 0; i < 3; ++i) ProcessPendingEvents();
    }
    return static_cast<int>(out.size());
}

}  // namespace velmora
