#include "net/http_get.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "net/curl_share.h"
#include "net/request_url.h"
#include "net/transfer.h"
#include "net/url.h"

namespace velmora {
namespace {

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
// A redirect loop ends after this many hops, as a failure.
constexpr int kMaxRedirects = 10;
// Header lines of all hops together; a server that sends headers without end
// cannot exhaust memory.
constexpr size_t kMaxHeaderBytes = 1024 * 1024;

using Clock = std::chrono::steady_clock;

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlFree {
    void operator()(char* text) const { curl_free(text); }
};
using EasyPtr = std::unique_ptr<CURL, EasyDeleter>;
using ListPtr = std::unique_ptr<curl_slist, ListDeleter>;
using UrlPtr = std::unique_ptr<CURLU, UrlDeleter>;
using CurlText = std::unique_ptr<char, CurlFree>;

struct Received {
    Bytes body;
    size_t maxBody = 0;
    size_t headerBytes = 0;
    // Stall watch: armed once the connection stands, reset by every byte.
    std::chrono::milliseconds stallLimit{0};
    bool connected = false;
    Clock::time_point lastByte;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* received = static_cast<Received*>(user);
    const size_t length = size * count;
    // Returning less than given makes libcurl abandon the transfer.
    if (length > received->maxBody - received->body.size()) return 0;
    received->body.append(data, length);
    received->lastByte = Clock::now();
    return length;
}

size_t OnHeader(char*, size_t size, size_t count, void* user) {
    auto* received = static_cast<Received*>(user);
    const size_t length = size * count;
    received->headerBytes += length;
    received->lastByte = Clock::now();
    return received->headerBytes > kMaxHeaderBytes ? 0 : length;
}

int OnConnected(void* user, char*, char*, int, int) {
    auto* received = static_cast<Received*>(user);
    received->connected = true;
    received->lastByte = Clock::now();
    return CURL_PREREQFUNC_OK;
}

// libcurl's own low-speed check averages over several seconds, so a server
// that stops after a few bytes would hold the call that much longer than the
// stall limit; this check counts from the last byte itself.
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* received = static_cast<const Received*>(user);
    const bool stalled =
        received->connected && Clock::now() - received->lastByte > received->stallLimit;
    return stalled ? 1 : 0;
}

// Where one request goes: connection end point and exact request target.
struct Target {
    bool secure = false;
    Text host;
    int port = 0;
    Text path;
};

bool StartsWithHttps(const Text& url) {
    return CompareText(TextLeft(ToLowerCase(url), 5), "https") == 0;
}

bool TargetOf(const Text& url, Target& target) {
    target.secure = StartsWithHttps(url);
    target.host = UrlHost(url);
    target.port = UrlPort(url);
    target.path = UrlPath(url);
    // Port 0 stands for the scheme's default port, as in the platform's own API.
    if (target.port == 0) target.port = target.secure ? 443 : 80;
    return IsPlainHostName(target.host) && target.port > 0 && target.port <= 65535;
}

// The URL libcurl parses for the connection, the cookie path and relative
// redirects. The bytes sent as the request target come from
// CURLOPT_REQUEST_TARGET instead; here bytes above 0x7F are percent-encoded
// only so that libcurl's parser accepts them.
Text ParserUrl(const Target& target) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    Text url =
        (target.secure ? "https://" : "http://") + target.host + ":" + std::to_string(target.port);
    for (const char c : target.path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0x0F];
        } else {
            url += c;
        }
    }
    return url;
}

// Reads a redirect location resolved by libcurl back into a target. Only http
// and https are followed; user information and fragment are dropped.
bool TargetOfRedirect(const char* location, Target& target) {
    UrlPtr url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, location, 0) != CURLUE_OK) return false;
    auto get = [&](CURLUPart which, unsigned flags, Text& out) {
        char* part = nullptr;
        if (curl_url_get(url.get(), which, &part, flags) != CURLUE_OK) return false;
        const CurlText owned(part);
        out = owned.get();
        return true;
    };
    Text scheme, host, port, path, query;
    if (!get(CURLUPART_SCHEME, 0, scheme) || !get(CURLUPART_HOST, 0, host) ||
        !get(CURLUPART_PORT, CURLU_DEFAULT_PORT, port) || !get(CURLUPART_PATH, 0, path)) {
        return false;
    }
    if (scheme != "http" && scheme != "https") return false;
    const bool hasQuery = get(CURLUPART_QUERY, 0, query);
    const Text absolute =
        scheme + "://" + host + ":" + port + path + (hasQuery ? "?" + query : Text());
    return TargetOf(SafeRequestUrl(absolute), target);
}

ListPtr HeaderLines(const Text& referer) {
    // libcurl puts Host first, then these lines in this order; a line given
    // here replaces libcurl's own line of that name.
    const Text lines[] = {
        "Accept: */*",
        "Referer: " + referer,
        "Accept-Language: zh-cn",
        "Content-Type: application/x-www-form-urlencoded",
        Text("User-Agent: ") + kUserAgent,
    };
    curl_slist* list = nullptr;
    for (const Text& line : lines) {
        curl_slist* grown = curl_slist_append(list, line.c_str());
        if (grown == nullptr) {
            curl_slist_free_all(list);
            return nullptr;
        }
        list = grown;
    }
    return ListPtr(list);
}

long WholeSeconds(long ms) { return std::max(1L, (ms + 999) / 1000); }

bool SetCommonOptions(CURL* easy, curl_slist* headers, Received& received,
                      const HttpLimits& limits) {
    bool ok = true;
    auto set = [&](CURLoption option, auto value) {
        ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK;
    };
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_SHARE, CurlShare());
    set(CURLOPT_COOKIEFILE, "");  // cookie engine on, nothing read from disk
    set(CURLOPT_PROXY, "");       // direct, whatever the environment says
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_HTTPGET, 1L);
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    set(CURLOPT_FOLLOWLOCATION, 0L);  // redirects are followed hop by hop below
    set(CURLOPT_PATH_AS_IS, 1L);
    set(CURLOPT_HTTPHEADER, headers);
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
    set(CURLOPT_CONNECTTIMEOUT_MS, std::max(1L, limits.connectTimeoutMs));
    set(CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(CURLOPT_LOW_SPEED_TIME, WholeSeconds(limits.stallTimeoutMs));
    set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(received.maxBody));
    set(CURLOPT_WRITEFUNCTION, OnBody);
    set(CURLOPT_WRITEDATA, &received);
    set(CURLOPT_HEADERFUNCTION, OnHeader);
    set(CURLOPT_HEADERDATA, &received);
    set(CURLOPT_PREREQFUNCTION, OnConnected);
    set(CURLOPT_PREREQDATA, &received);
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, OnProgress);
    set(CURLOPT_XFERINFODATA, &received);
    return ok;
}

}  // namespace

Bytes HttpGet(const Text& url) { return HttpGet(url, HttpLimits{}); }

Bytes HttpGet(const Text& url, const HttpLimits& limits) {
    const Text safeUrl = SafeRequestUrl(url);
    Target target;
    if (!TargetOf(safeUrl, target)) return Bytes();

    EasyPtr easy(curl_easy_init());
    ListPtr headers = HeaderLines(safeUrl);
    if (!easy || !headers) return Bytes();

    Received received;
    received.maxBody = static_cast<size_t>(std::max(0LL, limits.maxBodyBytes));
    received.stallLimit = std::chrono::milliseconds(std::max(1L, limits.stallTimeoutMs));
    if (!SetCommonOptions(easy.get(), headers.get(), received, limits)) return Bytes();

    const auto deadline = Clock::now() + std::chrono::milliseconds(limits.totalTimeoutMs);
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return Bytes();
        received.body.clear();
        received.connected = false;
        const Text parserUrl = ParserUrl(target);
        if (curl_easy_setopt(easy.get(), CURLOPT_URL, parserUrl.c_str()) != CURLE_OK ||
            curl_easy_setopt(easy.get(), CURLOPT_REQUEST_TARGET, target.path.c_str()) != CURLE_OK ||
            curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT_MS, static_cast<long>(left)) != CURLE_OK) {
            return Bytes();
        }
        if (RunTransfer(easy.get()) != CURLE_OK) return Bytes();

        char* location = nullptr;
        curl_easy_getinfo(easy.get(), CURLINFO_REDIRECT_URL, &location);
        if (location == nullptr || *location == '\0') return std::move(received.body);

        const bool wasSecure = target.secure;
        if (!TargetOfRedirect(location, target)) return Bytes();
        // Leaving TLS for plain HTTP on a redirect is refused.
        if (wasSecure && !target.secure) return Bytes();
    }
    return Bytes();
}

}  // namespace velmora
