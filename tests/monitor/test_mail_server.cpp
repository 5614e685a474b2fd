#include "test_mail_server.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "services/fake_store_process.h"

namespace velmora::testing {

namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t')) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    return fields;
}

std::vector<std::vector<std::string>> LogLines(const std::filesystem::path& path,
                                               const std::string& kind) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> lines;
    std::string line;
    while (std::getline(in, line)) {
        auto fields = Fields(line);
        if (!fields.empty() && fields[0] == kind) lines.push_back(fields);
    }
    return lines;
}

}  // namespace

SmtpServerProcess::SmtpServerProcess(const std::filesystem::path& workDir, const std::string& user,
                                     const std::string& password, bool refuseAll,
                                     const std::string& only, const std::string& tlsPem)
    : log_(workDir / "smtp.log") {
    int in[2], out[2];
    if (pipe(in) != 0) return;
    if (pipe(out) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    std::vector<std::string> args = {"/usr/bin/python3",
                                     SMTP_SERVER_SCRIPT,
                                     "--log",
                                     log_.string(),
                                     "--user",
                                     user,
                                     "--password",
                                     password};
    if (refuseAll) args.push_back("--refuse-all");
    if (!only.empty()) {
        args.push_back("--only");
        args.push_back(only);
    }
    if (!tlsPem.empty()) {
        args.push_back("--tls-pem");
        args.push_back(tlsPem);
    }
    std::vector<char*> argv;  // built before fork: the child only execs
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    input_ = in[1];
    output_ = out[0];
    std::string line;
    while (pid_ > 0 && ReadLineWithin(output_, line, 15000)) {
        if (line.rfind("port ", 0) == 0) {
            port_ = std::stoi(line.substr(5));
            break;
        }
    }
}

SmtpServerProcess::~SmtpServerProcess() {
    if (input_ >= 0) close(input_);
    if (pid_ > 0) {
        bool gone = false;
        for (int i = 0; i < 100 && !gone; ++i) {
            gone = waitpid(pid_, nullptr, WNOHANG) == pid_;
            if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (!gone) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    if (output_ >= 0) close(output_);
}

std::vector<SmtpAuth> SmtpServerProcess::Auths() const {
    std::vector<SmtpAuth> auths;
    for (const auto& f : LogLines(log_, "AUTH")) {
        if (f.size() < 5) continue;
        auths.push_back({std::stod(f[1]), f[2], Base64Decode(f[3]), f[4] == "1"});
    }
    return auths;
}

int SmtpServerProcess::StartTlsCount() const {
    return static_cast<int>(LogLines(log_, "STARTTLS").size());
}

std::vector<SmtpMail> SmtpServerProcess::Mails() const {
    std::vector<SmtpMail> mails;
    for (const auto& f : LogLines(log_, "MAIL")) {
        if (f.size() < 13) continue;
        SmtpMail m;
        m.time = std::stod(f[1]);
        m.envelopeFrom = Base64Decode(f[2]);
        std::stringstream to(Base64Decode(f[3]));
        for (std::string r; std::getline(to, r, ',');) m.envelopeTo.push_back(r);
        m.fromHeader = Base64Decode(f[4]);
        m.toHeader = Base64Decode(f[5]);
        m.subject = Base64Decode(f[6]);
        m.subjectCharset = f[7];
        m.body = Base64Decode(f[8]);
        m.bodyCharset = f[9];
        m.transferEncoding = f[10];
        m.dateParses = f[11] == "1";
        m.raw = Base64Decode(f[12]);
        mails.push_back(m);
    }
    return mails;
}

std::string Base64Decode(const std::string& text) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return -1;
    };
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        int v = value(c);
        if (v < 0) continue;
        bits = bits << 6 | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<char>((bits >> count) & 0xFF));
        }
    }
    return out;
}

}  // namespace velmora::testing
