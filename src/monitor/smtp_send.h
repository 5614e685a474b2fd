// One SMTP delivery with libcurl: connect, STARTTLS when offered, AUTH LOGIN
// or PLAIN as offered, one message to one recipient, disconnect.
#pragma once

#include <string>

#include "core/text.h"
#include "storage/endpoints_file.h"

namespace velmora {

struct SmtpLimits {
    long connectTimeoutMs = 2000;  // connecting to the server
    long replyTimeoutSeconds = 2;  // each server reply
    long totalTimeoutMs = 30000;   // the whole exchange, so a trickling server cannot hold us
};

struct SmtpDelivery {
    Text user;
    Text password;
    Text from;            // envelope sender
    Text recipient;       // the one envelope recipient
    std::string message;  // header lines, blank line, body; CRLF line ends
};

// Empty when the server accepted the message, else a short error text.
Text SendSmtpMail(const MailServer& server, const SmtpDelivery& delivery,
                  const SmtpLimits& limits = SmtpLimits());

}  // namespace velmora
