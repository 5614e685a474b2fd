// The request log: one block per request, the request line and the header lines
// exactly as received, then an empty line. Written and flushed before the answer
// goes out, so a client that has its answer finds its request in the file.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

#include "http_server.h"

namespace fakestore {

class RequestLog {
public:
    RequestLog() = default;
    ~RequestLog();
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    // Opens the file for appending; false when it cannot be opened.
    bool Open(const std::string& path);
    void Write(const HttpRequest& req);

private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

}  // namespace fakestore
