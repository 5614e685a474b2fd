// The optional endpoints file "endpoints.ini": where the store's services, the
// district and QR services, the mail server and the maker's pages live.
// Section [endpoints], one key per setting; ASCII or UTF-8. Never written.
#pragma once

#include <filesystem>

#include "core/endpoints.h"
#include "core/text.h"

namespace velmora {

inline constexpr char kEndpointsFileName[] = "endpoints.ini";

// The built-in defaults overridden by every non-empty key of the file; values
// are trimmed and trailing "/" removed. A missing file gives the defaults.
Endpoints LoadEndpointsFile(const std::filesystem::path& path);
// The same over the file's content (a UTF-8 byte-order mark is skipped).
Endpoints ParseEndpoints(const Bytes& content);

struct MailServer {
    Text host;  // empty when neither the setting nor the account names one
    int port = 25;

    bool operator==(const MailServer&) const = default;
};

// `MailServerHost` is "host" (port 25) or "host:port" (an IPv6 literal in
// brackets); when it is empty the host is "smtp." + the account's domain.
MailServer MailServerFor(const Endpoints& endpoints, const Text& account);

}  // namespace velmora
