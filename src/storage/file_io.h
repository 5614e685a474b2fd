// Whole-file reads and atomic whole-file writes. A file is opened, read or
// written whole, and closed within one call.
#pragma once

#include <filesystem>
#include <optional>
#include <sys/types.h>

#include "core/text.h"

namespace velmora {

// Every byte of the file; nullopt when it does not exist or cannot be read.
std::optional<Bytes> ReadFileBytes(const std::filesystem::path& path);

// Writes `bytes` to a new file beside `path`, flushes it to disk and renames it
// over `path`, so `path` holds either its old content or the new one, never a
// part. The new file gets `mode` (less the umask unless `exactMode`). On
// failure the temporary file is removed and false comes back.
bool WriteFileAtomically(const std::filesystem::path& path, const Bytes& bytes, mode_t mode,
                         bool exactMode = false);

}  // namespace velmora
