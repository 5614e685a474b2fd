#include "monitor/alert_mail.h"

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

#include "monitor/monitoring_flags.h"
#include "monitor/smtp_message.h"
#include "storage/endpoints_file.h"

namespace velmora {

namespace {

// One connect, send and disconnect with the mail edits as they are now.
bool TryOnce(MonitorContext& context, AlertKind kind, const Text& sku) {
    MailSettings mail = context.window->Mail();
    Text account = SafeMailAddress(mail.account);
    MailMessage message{account, mail.recipient, MailSubject(kind),
                        MailBody(kind, sku, context.endpoints.makerHomeUrl)};
    SmtpDelivery delivery{account, mail.password, account, mail.recipient,
                          BuildMailMessage(message, std::time(nullptr))};
    return SendSmtpMail(MailServerFor(context.endpoints, account), delivery).empty();
}

}  // namespace

void SendAlertMail(MonitorContext& context, AlertKind kind, const Text& sku) {
    std::lock_guard lock(context.mailMutex);
    while (mailDone.load() == 0) {
        if (TryOnce(context, kind, sku)) mailDone.store(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        if (mailAttempts.load() == 10)
            mailDone.store(1);
        else
            mailAttempts.fetch_add(1);
    }
}

}  // namespace velmora
