#include "core/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>

namespace velmora {
namespace {

bool WriteAll(int fd, const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A name beside `path` that no other writer in this or another process picks.
std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temp = path;
    temp += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    return temp;
}

// Removes temporary files of `path` left by writers that were killed before
// their rename. Only a writer that no longer runs is cleaned up after, so a
// save in progress in another process is never disturbed.
void RemoveStaleTemporaries(const std::filesystem::path& path) {
    const std::string prefix = path.filename().string() + ".tmp-";
    const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : ".";
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::size_t dash = name.find('-', prefix.size());
        const std::string pid = name.substr(prefix.size(), dash - prefix.size());
        if (dash == std::string::npos || pid.empty() ||
            pid.find_first_not_of("0123456789") != std::string::npos || pid.size() > 9)
            continue;
        const pid_t writer = static_cast<pid_t>(std::stol(pid));
        if (writer == ::getpid() || ::kill(writer, 0) == 0 || errno != ESRCH) continue;
        std::error_code removeError;
        std::filesystem::remove(it->path(), removeError);
    }
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, const Bytes& bytes, mode_t mode) {
    RemoveStaleTemporaries(path);
    const std::filesystem::path temp = TemporaryBeside(path);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // Makes the rename itself survive a crash; the file is whole either way.
    const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : ".";
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

}  // namespace velmora
