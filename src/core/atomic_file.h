// Whole-file writes that never leave a half-written file: the bytes go to a
// temporary file beside the target, are flushed, and then renamed over it.
#pragma once

#include <filesystem>
#include <sys/types.h>

#include "core/text.h"

namespace velmora {

// Replaces the file at `path` with `bytes`. On failure the previous file, if
// any, is left whole and no temporary file remains. The written file gets
// `mode` (less the umask), also when it replaces an older one.
bool WriteFileAtomically(const std::filesystem::path& path, const Bytes& bytes,
                         mode_t mode = 0666);

}  // namespace velmora
