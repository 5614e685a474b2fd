#include "monitor/smtp_send.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "monitor/smtp_message.h"
#include "net/curl_share.h"

namespace velmora {

namespace {

// A host name, an IPv4 address or a bracketed IPv6 literal: nothing that could
// change the meaning of the URL built around it.
bool PlainHost(const Text& host) {
    if (host.empty()) return false;
    return std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
    });
}

struct Upload {
    const std::string* data;
    size_t offset = 0;
};

size_t ReadMessage(char* buffer, size_t size, size_t count, void* user) {
    auto* upload = static_cast<Upload*>(user);
    size_t room = size * count;
    size_t left = upload->data->size() - upload->offset;
    size_t n = std::min(room, left);
    std::memcpy(buffer, upload->data->data() + upload->offset, n);
    upload->offset += n;
    return n;
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

Text SendSmtpMail(const MailServer& server, const SmtpDelivery& delivery,
                  const SmtpLimits& limits) {
    if (!PlainHost(server.host)) return "not connected: no usable mail server";
    Text from = SafeMailAddress(delivery.from);
    Text recipient = SafeMailAddress(delivery.recipient);
    if (recipient.empty()) return "no recipient address";

    CurlShare();  // initialises libcurl once for the process
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) return "not connected: no transfer handle";
    std::unique_ptr<curl_slist, ListDeleter> recipients(
        curl_slist_append(nullptr, ("<" + recipient + ">").c_str()));
    if (!recipients) return "out of memory";

    Text url = "smtp://" + server.host + ":" + std::to_string(server.port);
    Text user = SafeMailAddress(delivery.user);
    Upload upload{&delivery.message};
    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    // libcurl logs in with whichever of LOGIN and PLAIN the server offers.
    curl_easy_setopt(h, CURLOPT_LOGIN_OPTIONS, "AUTH=*");
    curl_easy_setopt(h, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, delivery.password.c_str());
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, ("<" + from + ">").c_str());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, ReadMessage);
    curl_easy_setopt(h, CURLOPT_READDATA, &upload);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(delivery.message.size()));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, limits.replyTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs);

    CURLcode result = curl_easy_perform(h);
    if (result == CURLE_OK) return Text();
    return curl_easy_strerror(result);
}

}  // namespace velmora
