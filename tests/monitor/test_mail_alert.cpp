// Alert mail against a real SMTP server (aiosmtpd on loopback): what arrives,
// how often, and what a hostile address cannot do.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "monitor/alert_mail.h"
#include "monitor/check_item.h"
#include "monitor/monitoring_control.h"
#include "monitor/smtp_message.h"
#include "test_check_fixture.h"
#include "test_mail_server.h"

namespace velmora::testing {
namespace {

const char* const kAccount = "alert@127.0.0.1";
const char* const kPassword = "s3cret";
const char* const kRecipient = "me@127.0.0.1";

class MailFixture : public MonitorFixture {
protected:
    void UseServer(const SmtpServerProcess& server) {
        ASSERT_TRUE(server.Started()) << "SMTP server did not start";
        context->endpoints.mailServerHost = server.HostPort();
        port->SetMail({kAccount, kPassword, kRecipient});
        AlertSwitches s = QuietSwitches();
        s.priceAlert = s.stockAlert = s.mailAlert = true;
        port->SetSwitches(s);
    }
};

struct KindCase {
    const char* name;
    AlertKind kind;
    const char* mechanism;  // the only one the server offers
};

class MailKinds : public MailFixture, public ::testing::WithParamInterface<KindCase> {};

TEST_P(MailKinds, FirstAlertSendsOneMailAndLaterAlertsNone) {
    const KindCase& c = GetParam();
    SmtpServerProcess server(dir.Path(), kAccount, kPassword, false, c.mechanism);
    UseServer(server);
    if (c.kind == AlertKind::PriceAlert)
        SetProduct("701", "无货", "9.50", "9.90", "9.90");
    else
        SetProduct("701", "预订", "20", "20", "20");
    AddRow("701", "10");

    CheckItem(*context, 1);
    CheckItem(*context, 1);

    ASSERT_EQ(port->Balloons().size(), 2u);
    std::vector<SmtpMail> mails = server.Mails();
    ASSERT_EQ(mails.size(), 1u);
    const SmtpMail& m = mails[0];
    EXPECT_EQ(m.subject, MailSubject(c.kind));
    EXPECT_EQ(m.subjectCharset, "gb2312");
    EXPECT_EQ(m.body, MailSubject(c.kind) + "\r\n701\r\n" + context->endpoints.makerHomeUrl);
    EXPECT_EQ(m.bodyCharset, "gb2312");
    EXPECT_EQ(m.transferEncoding, "base64");
    EXPECT_TRUE(m.dateParses) << m.raw;
    EXPECT_EQ(m.envelopeFrom, kAccount);
    EXPECT_EQ(m.envelopeTo, std::vector<std::string>{kRecipient});
    EXPECT_EQ(m.fromHeader, kAccount);
    EXPECT_EQ(m.toHeader, kRecipient);
    std::vector<SmtpAuth> auths = server.Auths();
    ASSERT_EQ(auths.size(), 1u);
    EXPECT_EQ(auths[0].mechanism, c.mechanism);
    EXPECT_TRUE(auths[0].accepted);
    EXPECT_EQ(mailDone.load(), 1);
    EXPECT_EQ(mailAttempts.load(), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, MailKinds,
                         ::testing::Values(KindCase{"PriceLogin", AlertKind::PriceAlert, "LOGIN"},
                                           KindCase{"StockPlain", AlertKind::StockAlert, "PLAIN"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailFixture, RefusedLoginsStopAfterElevenAttemptsAboutASecondApart) {
    SmtpServerProcess server(dir.Path(), kAccount, kPassword, /*refuseAll=*/true);
    UseServer(server);
    // Five alerts at once share the one budget of attempts.
    std::vector<std::thread> alerts;
    for (int i = 0; i < 5; ++i)
        alerts.emplace_back([&] { SendAlertMail(*context, AlertKind::StockAlert, "702"); });
    for (auto& t : alerts) t.join();

    std::vector<SmtpAuth> auths = server.Auths();
    ASSERT_EQ(auths.size(), 11u);
    for (size_t i = 1; i < auths.size(); ++i) {
        double gap = auths[i].time - auths[i - 1].time;
        EXPECT_GE(gap, 0.95) << "attempt " << i;
        EXPECT_LT(gap, 3.0) << "attempt " << i;
    }
    EXPECT_FALSE(auths[0].accepted);
    EXPECT_EQ(mailDone.load(), 1);
    EXPECT_EQ(mailAttempts.load(), 10);

    SendAlertMail(*context, AlertKind::PriceAlert, "702");
    EXPECT_EQ(server.Auths().size(), 11u);
    EXPECT_TRUE(server.Mails().empty());
}

TEST_F(MailFixture, TwentyConcurrentAlertsGiveOneMail) {
    SmtpServerProcess server(dir.Path(), kAccount, kPassword);
    UseServer(server);
    for (int i = 0; i < 20; ++i) {
        std::string sku = std::to_string(800 + i);
        SetProduct(sku, "预订", "20", "20", "20");
        AddRow(sku, "10");
    }
    std::vector<std::thread> checks;
    for (int i = 1; i <= 20; ++i) checks.emplace_back([&, i] { CheckItem(*context, i); });
    for (auto& t : checks) t.join();

    EXPECT_EQ(port->Balloons().size(), 20u);
    EXPECT_EQ(server.Mails().size(), 1u);
    EXPECT_EQ(server.Auths().size(), 1u);
}

TEST_F(MailFixture, EachStartAllowsOneMailAgain) {
    SmtpServerProcess server(dir.Path(), kAccount, kPassword);
    UseServer(server);
    SetProduct("703", "预订", "20", "20", "20");
    AddRow("703", "10");
    RecordingControlPort control(log);
    auto pass = [&](auto&& handler) {
        handler(context, control);
        ASSERT_TRUE(WaitUntil([&] { return context.use_count() == 1; }, 20000));
    };

    pass(ToggleMonitoring);  // start: first pass alerts and mails
    pass(RunCheckPass);      // same run: alerts again, no mail
    EXPECT_EQ(server.Mails().size(), 1u);
    pass(ToggleMonitoring);  // stop
    pass(ToggleMonitoring);  // start again
    EXPECT_EQ(server.Mails().size(), 2u);
    EXPECT_EQ(port->Balloons().size(), 3u);
    pass(ToggleMonitoring);  // stop, so no timer-driven worker outlives the test
}

TEST_F(MailFixture, LineBreaksInAddressesInjectNothing) {
    SmtpServerProcess server(dir.Path(), kAccount, kPassword);
    UseServer(server);
    port->SetMail({std::string(kAccount) + "\r\nRCPT TO:<evil@127.0.0.1>", kPassword,
                   std::string(kRecipient) + "\r\nBcc: evil@127.0.0.1\r\n\r\nforged"});

    SendAlertMail(*context, AlertKind::StockAlert, "704");

    std::vector<SmtpMail> mails = server.Mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].envelopeFrom, kAccount);
    EXPECT_EQ(mails[0].envelopeTo, std::vector<std::string>{kRecipient});
    EXPECT_EQ(mails[0].toHeader, kRecipient);
    EXPECT_EQ(mails[0].raw.find("evil"), std::string::npos) << mails[0].raw;
    EXPECT_EQ(mails[0].raw.find("forged"), std::string::npos);
}

// Deliveries that cannot succeed fail with an error text, promptly, and the
// server sees no login.
TEST(MailDelivery, UnusableAddressesFailWithoutLoggingIn) {
    TempDir dir;
    SmtpServerProcess server(dir.Path(), kAccount, kPassword);
    ASSERT_TRUE(server.Started());
    const std::string message = "Subject: x\r\n\r\nx\r\n";
    const std::pair<MailServer, SmtpDelivery> cases[] = {
        {{"127.0.0.1", server.Port()}, {kAccount, kPassword, kAccount, "", message}},
        {{"127.0.0.1", server.Port()}, {kAccount, kPassword, kAccount, "\r\nme@x", message}},
        {{"", 25}, {kAccount, kPassword, kAccount, kRecipient, message}},
        {{"127.0.0.1/x?y", server.Port()}, {kAccount, kPassword, kAccount, kRecipient, message}},
    };
    for (const auto& [address, delivery] : cases)
        EXPECT_NE(SendSmtpMail(address, delivery), "") << address.host << " " << delivery.recipient;
    EXPECT_TRUE(server.Auths().empty());
    EXPECT_TRUE(server.Mails().empty());
}

// A server that accepts the connection and never answers: the reply limit ends
// the attempt instead of holding the worker.
TEST(MailDelivery, SilentServerEndsTheAttempt) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(fd, 4), 0);  // the kernel completes the handshake; nobody speaks
    ASSERT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length), 0);
    MailServer address{"127.0.0.1", ntohs(addr.sin_port)};

    auto start = std::chrono::steady_clock::now();
    Text error = SendSmtpMail(address, {kAccount, kPassword, kAccount, kRecipient, "x\r\n"});
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    close(fd);
    EXPECT_NE(error, "");
    EXPECT_GE(seconds, 1.5);   // it did wait for the greeting
    EXPECT_LT(seconds, 15.0);  // and gave up on its own
}

// A server offering STARTTLS gets it; when its certificate cannot be trusted
// the attempt fails before any login, so the password never travels in clear.
TEST(MailDelivery, StartTlsIsUsedAndAnUntrustedServerGetsNoLogin) {
    TempDir dir;
    SmtpServerProcess server(dir.Path(), kAccount, kPassword, false, "", MAIL_TLS_PEM);
    ASSERT_TRUE(server.Started());
    MailServer address{"127.0.0.1", server.Port()};
    std::string message = BuildMailMessage({kAccount, kRecipient, "x", "x"}, 1800000000);

    EXPECT_NE(SendSmtpMail(address, {kAccount, kPassword, kAccount, kRecipient, message}), "");
    EXPECT_EQ(server.StartTlsCount(), 1);
    EXPECT_TRUE(server.Auths().empty());
    EXPECT_TRUE(server.Mails().empty());
}

TEST(MailAddress, CutAtTheFirstControlByte) {
    const std::pair<const char*, const char*> cases[] = {
        {"a@b.cn", "a@b.cn"},
        {"a@b.cn\r\nBcc: x@y", "a@b.cn"},
        {"a@b.cn\nRCPT TO:<x@y>", "a@b.cn"},
        {"a@b.cn\rDATA", "a@b.cn"},
        {"a@b.cn\tx", "a@b.cn"},
        {"a@b.cn\x7f", "a@b.cn"},
        {"\r\na@b.cn", ""},
        {"", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(SafeMailAddress(in), out) << in;
}

// Messages built here and decoded by Python's email package.
struct MessageCase {
    const char* name;
    std::string subject;
    std::string body;
    const char* subjectCharset;
    const char* bodyCharset;
};

class MailMessages : public MailFixture, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(MailMessages, DecodeToWhatWasSent) {
    const MessageCase& c = GetParam();
    SmtpServerProcess server(dir.Path(), kAccount, kPassword);
    ASSERT_TRUE(server.Started());
    MailServer address{"127.0.0.1", server.Port()};
    std::string message = BuildMailMessage({kAccount, kRecipient, c.subject, c.body}, 1800000000);
    EXPECT_EQ(SendSmtpMail(address, {kAccount, kPassword, kAccount, kRecipient, message}), "");

    std::vector<SmtpMail> mails = server.Mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].subject, c.subject);
    EXPECT_EQ(mails[0].body, c.body);
    EXPECT_EQ(mails[0].subjectCharset, c.subjectCharset);
    EXPECT_EQ(mails[0].bodyCharset, c.bodyCharset);
    // Every header line stays within the 78 characters a line should keep to.
    std::string head = message.substr(0, message.find("\r\n\r\n") + 2);
    for (size_t at = 0, end; (end = head.find("\r\n", at)) != std::string::npos; at = end + 2)
        EXPECT_LE(end - at, 78u) << head.substr(at, end - at);
}

std::string LongChinese() {
    std::string s;
    for (int i = 0; i < 40; ++i) s += G("价格变化");
    return "Vornik" + s;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MailMessages,
    ::testing::Values(MessageCase{"Ascii", "price alert", "sku 1\r\nhttp://x", "-", "us-ascii"},
                      MessageCase{"Chinese", G("Vornik，提醒你，有货啦！"), G("有货\r\n1\r\nu"),
                                  "gb2312", "gb2312"},
                      MessageCase{"LongSubjectFolds", LongChinese(), LongChinese() + LongChinese(),
                                  "gb2312", "gb2312"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::testing
