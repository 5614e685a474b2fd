// A private X server (Xvfb) on a display number it picks itself, and the
// built program started under it from a program directory of its own.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>

namespace velmora::testing {

class XDisplay {
public:
    XDisplay() {
        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            close(fds[0]);
            int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, STDERR_FILENO);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x900x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Xvfb writes the number and the line end separately, and dies if the
        // pipe is gone by then: read up to the line end, keep the pipe open.
        readEnd_ = fds[0];
        fcntl(readEnd_, F_SETFD, FD_CLOEXEC);
        std::string number;
        char c = 0;
        while (read(readEnd_, &c, 1) == 1 && c != '\n') number += c;
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
            Stop();
            throw std::runtime_error("Xvfb did not start");
        }
        name_ = ":" + number;
    }
    ~XDisplay() { Stop(); }
    const std::string& name() const { return name_; }

    // Runs a shell command with DISPLAY set to this display; its output.
    std::string Run(const std::string& command) const {
        std::string full = "export DISPLAY=" + name_ + "; " + command;
        FILE* pipe = popen(full.c_str(), "r");
        if (!pipe) return {};
        std::string out;
        std::array<char, 256> chunk;
        while (size_t got = fread(chunk.data(), 1, chunk.size(), pipe))
            out.append(chunk.data(), got);
        pclose(pipe);
        return out;
    }

private:
    void Stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        if (readEnd_ >= 0) close(readEnd_);
        readEnd_ = -1;
    }
    pid_t pid_ = -1;
    int readEnd_ = -1;
    std::string name_;
};

// A child process started with extra environment settings; killed at the end
// if it has not ended by itself.
class Child {
public:
    Child(const std::string& program, const std::string& workDir,
          std::initializer_list<std::pair<const char*, std::string>> env) {
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            for (const auto& [key, value] : env) setenv(key, value.c_str(), 1);
            if (chdir(workDir.c_str()) != 0) _exit(126);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Child() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    pid_t pid() const { return pid_; }
    // True when the process ended within `timeout`.
    bool WaitExit(std::chrono::milliseconds timeout, int* status = nullptr) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int s = 0;
            if (waitpid(pid_, &s, WNOHANG) == pid_) {
                exited_ = true;
                if (status) *status = s;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
};

// The id of the visible window captioned "Velmora" on `display`, waiting up
// to 30 s for it; empty when none appeared.
inline std::string WaitForVelmoraWindow(XDisplay& display) {
    std::string id = display.Run(
        "timeout 30 xdotool search --sync --onlyvisible --name '^Velmora$' 2>/dev/null"
        " | head -n 1");
    while (!id.empty() && (id.back() == '\n' || id.back() == ' ' || id.back() == '\r'))
        id.pop_back();
    return id;
}

}  // namespace velmora::testing
