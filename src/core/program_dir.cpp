#include "core/program_dir.h"

#include <system_error>

namespace velmora {

std::filesystem::path ProgramDir() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path(error);
    return exe.parent_path();
}

std::filesystem::path ProgramFile(const char* utf8Name) {
    return ProgramDir() / std::filesystem::path(reinterpret_cast<const char8_t*>(utf8Name));
}

}  // namespace velmora
