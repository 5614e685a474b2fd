// Profile (INI) files read and written with the semantics of the Windows
// profile-string API: "[section]" lines, "key=value" lines, names compared
// with ASCII letters folded and surrounding spaces ignored, values trimmed and
// one pair of enclosing quotes removed; a write replaces or adds one key's line
// and keeps every other line byte for byte.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>

#include "core/text.h"

namespace velmora {

// The profile API's value buffer, terminating zero included.
inline constexpr size_t kProfileBufferSize = 10240;

struct ProfileOptions {
    // Code page 936 content: a byte of 0x80 or above starts a two-byte
    // character, whose second byte is never read as "]" or a letter.
    // False for ASCII / UTF-8 files.
    bool doubleByte = true;
    size_t bufferSize = kProfileBufferSize;
};

// The key's value in `content`, or nullopt when the section or key is missing.
std::optional<Text> FindProfileValue(const Bytes& content, const Text& section, const Text& key,
                                     const ProfileOptions& options = {});
// `content` with the key's line replaced, or added at the end of its section,
// or a new section at the end of the file. A value is cut at its first CR or
// LF, so it can never add lines or keys of its own.
Bytes WithProfileValue(const Bytes& content, const Text& section, const Text& key,
                       const Text& value, const ProfileOptions& options = {});

// File forms, as GetPrivateProfileStringA / WritePrivateProfileStringA.
// A missing file or key gives `defaultValue` (cut to the buffer like a value).
Text ReadProfileString(const std::filesystem::path& path, const Text& section, const Text& key,
                       const Text& defaultValue, const ProfileOptions& options = {});
// Creates the file (owner-only) and the section when missing; written
// atomically. False when the file cannot be read or written.
bool WriteProfileString(const std::filesystem::path& path, const Text& section, const Text& key,
                        const Text& value, const ProfileOptions& options = {});

// Writes `content` as a profile file: owner read/write only, atomically.
bool WriteProfileFile(const std::filesystem::path& path, const Bytes& content);

}  // namespace velmora
