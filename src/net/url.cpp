#include "net/url.h"

namespace velmora {
namespace {

bool StartsWithHttps(const Text& url) {
    return CompareText(TextLeft(ToLowerCase(url), 5), "https") == 0;
}

// The host as written between the scheme and the first "/", port included.
Text HostWithPort(const Text& url) {
    Text t = ToLowerCase(url);
    // A "/" must follow the host even when the URL has no path.
    if (CompareText(TextRight(t, 1), "/") != 0) t += "/";
    if (CompareText(TextLeft(t, 8), "https://") == 0) return TextBetween(t, "https://", "/");
    if (FindText(t, "http://") == -1) t = "http://" + t;
    return TextBetween(t, "http://", "/");
}

}  // namespace

Text UrlHost(const Text& url) {
    Text h = HostWithPort(url);
    const int p = FindText(h, ":");
    if (p != -1) h = TextLeft(h, p - 1);
    return h;
}

int UrlPort(const Text& url) {
    const Text h = HostWithPort(url);
    const int p = FindTextReverse(h, ":");
    if (p != -1) return TextToInt(TextRight(h, TextLength(h) - p));
    return StartsWithHttps(url) ? 443 : 80;
}

Text UrlPath(const Text& url) {
    // The host starts right after the scheme (or at the first byte when there
    // is none). Searching for the host's name from the first byte instead
    // would match a short host such as "h" inside the scheme itself.
    const Text t = ToLowerCase(url);
    int hostStart = 1;
    if (CompareText(TextLeft(t, 8), "https://") == 0) {
        hostStart = 9;
    } else if (const int p = FindText(t, "http://"); p != -1) {
        hostStart = p + 7;
    }
    // The first "/" at or after the host skips any colon and port.
    const int b = FindText(url, "/", hostStart);
    if (b <= 0) return "/";
    return TextRight(url, TextLength(url) - b + 1);
}

}  // namespace velmora
