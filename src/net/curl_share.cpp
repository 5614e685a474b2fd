#include "net/curl_share.h"

#include <array>
#include <mutex>

namespace velmora {
namespace {

// One mutex per kind of shared data, so a cookie lookup never waits for a
// DNS cache update.
std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;

void Lock(CURL*, curl_lock_data data, curl_lock_access, void*) {
    locks[static_cast<size_t>(data)].lock();
}

void Unlock(CURL*, curl_lock_data data, void*) { locks[static_cast<size_t>(data)].unlock(); }

CURLSH* MakeShare() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    CURLSH* share = curl_share_init();
    if (share == nullptr) return nullptr;
    curl_share_setopt(share, CURLSHOPT_LOCKFUNC, Lock);
    curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, Unlock);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    return share;
}

}  // namespace

CURLSH* CurlShare() {
    // Lives until the process ends: worker threads may still be using it
    // while static objects are destroyed.
    static CURLSH* const share = MakeShare();
    return share;
}

}  // namespace velmora
