#include "storage/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velmora {

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

}  // namespace velmora
