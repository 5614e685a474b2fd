#include "net/transfer.h"

namespace velmora {
namespace {

// Each thread keeps its own multi handle: its connection cache holds the
// connections this thread's transfers left open, so consecutive calls to one
// server skip the connect. libcurl does not support sharing a connection
// cache between threads that run transfers at the same time, so the cache is
// per thread rather than in the process-wide share handle.
class ThreadConnections {
public:
    ThreadConnections() : multi_(curl_multi_init()) {
        if (multi_ != nullptr) curl_multi_setopt(multi_, CURLMOPT_MAXCONNECTS, 8L);
    }
    ~ThreadConnections() {
        if (multi_ != nullptr) curl_multi_cleanup(multi_);
    }
    ThreadConnections(const ThreadConnections&) = delete;
    ThreadConnections& operator=(const ThreadConnections&) = delete;

    CURLM* Multi() const { return multi_; }

private:
    CURLM* multi_;
};

CURLcode RunOn(CURLM* multi, CURL* easy) {
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) return curl_easy_perform(easy);
    CURLcode result = CURLE_RECV_ERROR;
    int running = 1;
    while (running > 0) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) break;
        if (running > 0 && curl_multi_poll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK) break;
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
            result = message->data.result;
        }
    }
    curl_multi_remove_handle(multi, easy);
    return result;
}

}  // namespace

CURLcode RunTransfer(CURL* easy) {
    thread_local ThreadConnections connections;
    if (connections.Multi() == nullptr) return curl_easy_perform(easy);
    return RunOn(connections.Multi(), easy);
}

}  // namespace velmora
