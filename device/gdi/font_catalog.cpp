#include "gdi/font_catalog.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace qf::device::gdi {
namespace {

constexpr const char* kHostFallbackFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Face names are ASCII in practice; anything else simply matches no family.
std::string LowerAscii(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c == 0) break;
        out.push_back(c < 0x80 ? static_cast<char>(std::tolower(static_cast<int>(c))) : '?');
    }
    return out;
}

std::optional<FontFile> DescribeFile(FT_Library library, const std::filesystem::path& path) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) return std::nullopt;
    FontFile file{path, Lower(face->family_name ? face->family_name : ""),
                  (face->style_flags & FT_STYLE_FLAG_BOLD) != 0,
                  (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0};
    FT_Done_Face(face);
    return file;
}

bool HasFontExtension(const std::filesystem::path& path) {
    std::string ext = Lower(path.extension().string());
    return ext == ".ttf" || ext == ".otf";
}

}  // namespace

std::optional<FaceChoice> ChooseFace(const std::vector<FontFile>& files, std::u16string_view face_name,
                                     int weight, bool italic) {
    if (files.empty()) return std::nullopt;
    auto family_present = [&](std::string_view family) {
        return std::any_of(files.begin(), files.end(), [&](const FontFile& f) { return f.family == family; });
    };
    std::string family = LowerAscii(face_name);
    if (!family_present(family)) family = kDefaultFamily;
    if (!family_present(family)) family = kFallbackFamily;
    if (!family_present(family)) family = files.front().family;

    bool bold = weight >= 600;
    const FontFile* best = nullptr;
    int best_score = -1;
    for (const FontFile& f : files) {
        if (f.family != family) continue;
        // Boldness matters more than slant: a wrong weight changes every width.
        int score = (f.bold == bold ? 2 : 0) + (f.italic == italic ? 1 : 0);
        if (score > best_score) {
            best = &f;
            best_score = score;
        }
    }
    return FaceChoice{best->path, bold && !best->bold};
}

std::vector<FontFile> ScanFontFolder(FT_Library library, const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> paths;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error) && HasFontExtension(it->path())) paths.push_back(it->path());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<FontFile> files;
    for (const auto& path : paths) {
        if (auto file = DescribeFile(library, path)) files.push_back(std::move(*file));
    }
    return files;
}

std::vector<FontFile> HostFallbackFonts(FT_Library library) {
    std::vector<FontFile> files;
    for (const char* path : kHostFallbackFiles) {
        if (auto file = DescribeFile(library, path)) files.push_back(std::move(*file));
    }
    return files;
}

}  // namespace qf::device::gdi
