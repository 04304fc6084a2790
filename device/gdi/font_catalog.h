// Which font file draws a LOGFONT: the font files of the device's \Windows folder, matched by family
// name and weight, with DejaVu Sans from the host standing in when the device has none.
#pragma once

#include <ft2build.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include FT_FREETYPE_H

namespace qf::device::gdi {

struct FontFile {
    std::filesystem::path path;
    std::string family;  // lower case, as the font names itself ("tahoma")
    bool bold = false;
    bool italic = false;
};

// The faces asked for without a name (or with an unknown one) and the last resort.
inline constexpr std::string_view kDefaultFamily = "tahoma";
inline constexpr std::string_view kFallbackFamily = "dejavu sans";

// A file and whether its glyphs must be emboldened to reach the weight asked for.
struct FaceChoice {
    std::filesystem::path path;
    bool embolden = false;
    bool operator==(const FaceChoice&) const = default;
};

// Picks the file for `face_name` (any case), `weight` (600 and above is bold) and `italic` from `files`:
// the named family, else kDefaultFamily, else kFallbackFamily, else any file. Within the family the
// file whose boldness and slant match; a bold request served by a regular file is emboldened.
// nullopt only when `files` is empty.
std::optional<FaceChoice> ChooseFace(const std::vector<FontFile>& files, std::u16string_view face_name,
                                     int weight, bool italic);

// The TrueType/OpenType files (*.ttf, *.otf, any case) of `folder` that FreeType can open, in name order;
// empty when the folder does not exist.
std::vector<FontFile> ScanFontFolder(FT_Library library, const std::filesystem::path& folder);

// DejaVu Sans and DejaVu Sans Bold from the host's font folder, those that exist.
std::vector<FontFile> HostFallbackFonts(FT_Library library);

}  // namespace qf::device::gdi
