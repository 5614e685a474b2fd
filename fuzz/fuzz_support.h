// Helpers shared by the fuzz targets: splitting one input into parameters and
// texts, invariant checks that abort (so both libFuzzer and the plain replay
// program report them), and a private scratch folder for targets that write files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"

#define FUZZ_CHECK(cond)                                                                       \
    do {                                                                                       \
        if (!(cond)) {                                                                         \
            std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace velmora::fuzz {

// An input read front to back: a few leading bytes as parameters, then texts
// separated by zero bytes (a text never holds one).
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size)
        : bytes_(reinterpret_cast<const char*>(data), size) {}

    // The next byte as a parameter; 0 once the input is used up.
    uint8_t Byte() {
        if (pos_ >= bytes_.size()) return 0;
        return static_cast<uint8_t>(bytes_[pos_++]);
    }
    // The bytes up to the next zero byte (or the end).
    Text NextText() {
        if (pos_ >= bytes_.size()) return Text();
        size_t zero = bytes_.find('\0', pos_);
        if (zero == std::string_view::npos) zero = bytes_.size();
        Text t(bytes_.substr(pos_, zero - pos_));
        pos_ = zero + 1;
        return t;
    }
    // Everything not read yet, zero bytes included.
    Bytes Rest() {
        Bytes rest(pos_ < bytes_.size() ? bytes_.substr(pos_) : std::string_view());
        pos_ = bytes_.size();
        return rest;
    }
    Bytes All() const { return Bytes(bytes_); }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

inline bool Contains(const Text& haystack, const Text& needle) {
    return haystack.find(needle) != Text::npos;
}

inline bool HasZeroByte(const Text& t) { return t.find('\0') != Text::npos; }

// A folder of this process's own, removed when the process ends. In memory
// where possible: every save flushes its file, which on a disk costs far more
// than the parsing under test.
inline const std::filesystem::path& ScratchDir() {
    static const std::filesystem::path dir = [] {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string templ = (base / "velmora-fuzz-XXXXXX").string();
        if (!::mkdtemp(templ.data())) std::abort();
        static std::filesystem::path made(templ);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(made, ec);
        });
        return made;
    }();
    return dir;
}

}  // namespace velmora::fuzz
