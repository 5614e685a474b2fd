// Whole-file reads: a file is opened, read whole and closed within one call.
// (Writes go through core/atomic_file.h.)
#pragma once

#include <filesystem>
#include <optional>

#include "core/text.h"

namespace velmora {

// Every byte of the file; nullopt when it does not exist or cannot be read.
std::optional<Bytes> ReadFileBytes(const std::filesystem::path& path);

}  // namespace velmora
