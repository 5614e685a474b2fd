// Marker search that honours the double-byte rule of code page 936: a match
// counts only where it begins at a character start. Shared by the scanning
// text operations; not part of the public text interface.
#pragma once

#include <cstddef>
#include <string_view>

namespace velmora::detail {

inline constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);

// First 0-based position at or after `from` where `marker` (non-empty) begins
// at a character start and ends within the first `searchLen` bytes of `text`.
// `from` must itself be a character start. A lead byte that is the last byte
// of the whole text is never a match start.
std::size_t FindAtCharStart(std::string_view text, std::size_t searchLen, std::size_t from,
                            std::string_view marker, bool ignoreCase);

// Byte length of the character that starts at `pos` (1 or 2, 1 at the end).
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
    return (static_cast<unsigned char>(text[pos]) >= 0x80 && pos + 1 < text.size()) ? 2 : 1;
}

}  // namespace velmora::detail
