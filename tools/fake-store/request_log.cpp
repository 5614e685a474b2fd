#include "request_log.h"

namespace fakestore {

RequestLog::~RequestLog() {
    if (file_) std::fclose(file_);
}

bool RequestLog::Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "ab");
    return file_ != nullptr;
}

void RequestLog::Write(const HttpRequest& req) {
    std::string block = req.requestLine + "\n";
    for (const auto& line : req.headerLines) block += line + "\n";
    block += "\n";
    std::lock_guard<std::mutex> lock(mutex_);
    if (!file_) return;
    std::fwrite(block.data(), 1, block.size(), file_);
    std::fflush(file_);
}

}  // namespace fakestore
