// Image files of the host file system into decoded pictures, and decoded pictures into GDI bitmaps: what
// SHLoadDIBitmap, DecompressImageIndirect and the module resources share.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "gdi/image_codec.h"
#include "win/gdi.h"

namespace qf::device::gdi {

// Image files larger than this are not skins or icons; they are refused rather than read whole.
inline constexpr std::uintmax_t kMaxImageFileBytes = 32u << 20;

// Any thread. The bytes of a host file; nullopt when it cannot be read or is larger than
// kMaxImageFileBytes.
std::optional<std::vector<std::uint8_t>> ReadImageBytes(const std::filesystem::path& file);

// Any thread. Decodes a host image file; on failure answers the Win32 error: ERROR_FILE_NOT_FOUND when it
// cannot be read, ERROR_BAD_FORMAT when it is no picture the device knows.
std::variant<DecodedImage, DWORD> DecodeHostFile(const std::filesystem::path& file);

// Any thread, GDI lock not held. A new top-down 32-bit DIB section holding the picture (alpha dropped);
// the caller owns it.
HBITMAP NewDibSection(const DecodedImage& image);

}  // namespace qf::device::gdi
