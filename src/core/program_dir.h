// The directory that holds the running program. Every file of the program
// lives there, whatever the working directory is.
#pragma once

#include <filesystem>

namespace velmora {

std::filesystem::path ProgramDir();
// ProgramDir() / name, where `name` is UTF-8.
std::filesystem::path ProgramFile(const char* utf8Name);

}  // namespace velmora
