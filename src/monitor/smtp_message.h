// The alert mail as an Internet message: header lines and a base64 body.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "core/text.h"

namespace velmora {

struct MailMessage {
    Text from;     // the sending account
    Text to;       // the one recipient
    Text subject;  // code page 936
    Text body;     // code page 936
};

// An address typed by the user, cut at its first control byte (CR, LF, tab,
// ...), so it can never end a header line or an SMTP command early.
Text SafeMailAddress(const Text& address);

std::string Base64Encode(std::string_view bytes);
// The text itself when it is all ASCII, else RFC 2047 "B" encoded words in
// gb2312, split between characters and folded so no word exceeds 75 bytes.
std::string EncodeHeaderText(const Text& text);
// RFC 5322 date of a moment in local time, for instance
// "Fri, 11 Dec 2026 12:21:34 +0000"; independent of the C locale.
std::string MailDate(std::time_t when);

// From, To, Reply-To (the sender), Subject, Date, MIME-Version, Content-Type (us-ascii when every
// body byte is below 0x80, else gb2312), Content-Transfer-Encoding base64, then
// the body in base64 lines of 76 characters. Lines end in CRLF.
std::string BuildMailMessage(const MailMessage& message, std::time_t when);

}  // namespace velmora
