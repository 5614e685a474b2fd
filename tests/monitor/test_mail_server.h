// The loopback SMTP server (smtp_server.py under Debian's Python with aiosmtpd)
// as a child process for one test, and what it logged.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::testing {

struct SmtpAuth {
    double time = 0;
    std::string mechanism;
    std::string login;
    bool accepted = false;
};

struct SmtpMail {
    double time = 0;
    std::string envelopeFrom;
    std::vector<std::string> envelopeTo;
    std::string fromHeader;
    std::string toHeader;
    std::string subject;         // decoded bytes
    std::string subjectCharset;  // "-" when plain
    std::string body;            // decoded bytes
    std::string bodyCharset;
    std::string transferEncoding;
    bool dateParses = false;
    std::string raw;
};

class SmtpServerProcess {
public:
    // Accepts `user` with `password` only; with refuseAll every login fails.
    // `only` ("LOGIN" or "PLAIN") offers just that mechanism; `tlsPem` (key
    // and certificate) makes it offer STARTTLS.
    SmtpServerProcess(const std::filesystem::path& workDir, const std::string& user,
                      const std::string& password, bool refuseAll = false,
                      const std::string& only = "", const std::string& tlsPem = "");
    ~SmtpServerProcess();
    SmtpServerProcess(const SmtpServerProcess&) = delete;
    SmtpServerProcess& operator=(const SmtpServerProcess&) = delete;

    bool Started() const { return port_ > 0; }
    int Port() const { return port_; }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }
    std::vector<SmtpAuth> Auths() const;
    std::vector<SmtpMail> Mails() const;
    int StartTlsCount() const;

private:
    std::filesystem::path log_;
    pid_t pid_ = -1;
    int input_ = -1;  // the server leaves when this closes
    int output_ = -1;
    int port_ = -1;
};

std::string Base64Decode(const std::string& text);

}  // namespace velmora::testing
