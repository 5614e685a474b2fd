#include "storage/file_io.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace velmora {

namespace {

std::atomic<unsigned> tempCounter{0};

// A name no other save (of this or another process) uses at the same time.
std::filesystem::path TempPathFor(const std::filesystem::path& path) {
    std::string name = "." + path.filename().string() + ".tmp-" + std::to_string(::getpid()) +
                       "-" + std::to_string(tempCounter.fetch_add(1));
    return path.parent_path() / name;
}

bool WriteAll(int fd, const Bytes& bytes) {
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Makes the rename itself durable; a failure here does not undo the save.
void SyncDirectory(const std::filesystem::path& dir) {
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

// O_NONBLOCK keeps a FIFO in the file's place from blocking the open.
std::optional<Bytes> ReadFileBytes(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    Bytes bytes;
    bytes.resize(static_cast<size_t>(info.st_size));
    size_t got = 0;
    for (;;) {
        if (got == bytes.size()) bytes.resize(bytes.size() + 65536);  // the file grew
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return bytes;
}

bool WriteFileAtomically(const std::filesystem::path& path, const Bytes& bytes, mode_t mode,
                         bool exactMode) {
    if (path.filename().empty()) return false;
    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = TempPathFor(path);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    bool ok = (!exactMode || ::fchmod(fd, mode) == 0) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncDirectory(path.parent_path());
    return true;
}

}  // namespace velmora
