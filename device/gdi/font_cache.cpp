#include "gdi/font_cache.h"

#include <algorithm>

#include "qfdevice/device.h"

namespace qf::device::gdi {
namespace {

// Sizes beyond this are clamped: nothing on a 640-pixel screen needs larger text, and glyph caches stay
// bounded whatever a caller asks for.
constexpr int kMaxEmPx = 512;

std::string ResolveKey(const LOGFONTW& logfont, int default_em_px) {
    std::string key;
    for (int i = 0; i < LF_FACESIZE && logfont.lfFaceName[i] != 0; ++i) {
        key.push_back(static_cast<char>(logfont.lfFaceName[i] & 0xFF));
        key.push_back(static_cast<char>(logfont.lfFaceName[i] >> 8));
    }
    key += '|' + std::to_string(logfont.lfHeight) + '|' + std::to_string(logfont.lfWeight >= 600) + '|' +
           std::to_string(logfont.lfItalic != 0) + '|' + std::to_string(default_em_px);
    return key;
}

}  // namespace

FontCache::FontCache() {
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
}

FontCache::~FontCache() {
    // Everything FreeType handed out goes before the library itself.
    resolved_.clear();
    sized_.clear();
    faces_.clear();
    if (library_ != nullptr) FT_Done_FreeType(library_);
}

void FontCache::RefreshCatalog() {
    std::filesystem::path root = DeviceRoot();
    if (catalog_loaded_ && root == catalog_root_) return;
    catalog_.clear();
    resolved_.clear();
    if (auto windows = MapPath(u"\\Windows")) catalog_ = ScanFontFolder(library_, *windows);
    // The host's fonts come last, so they only stand in for families the device lacks.
    std::vector<FontFile> fallback = HostFallbackFonts(library_);
    catalog_.insert(catalog_.end(), fallback.begin(), fallback.end());
    catalog_root_ = std::move(root);
    catalog_loaded_ = true;
}

FT_Face FontCache::OpenFace(const std::filesystem::path& path) {
    auto found = faces_.find(path);
    if (found != faces_.end()) return found->second.get();
    FT_Face face = nullptr;
    if (FT_New_Face(library_, path.c_str(), 0, &face) != 0) return nullptr;
    faces_.emplace(path, FacePtr(face));
    return face;
}

SizedFont* FontCache::SizedFace(const FaceChoice& choice, const LOGFONTW& logfont, int default_em_px) {
    FT_Face face = OpenFace(choice.path);
    if (face == nullptr) return nullptr;
    int em_px = logfont.lfHeight < 0   ? -logfont.lfHeight
                : logfont.lfHeight > 0 ? SizedFont::EmForCellHeight(face, logfont.lfHeight)
                                       : default_em_px;
    em_px = std::clamp(em_px, 1, kMaxEmPx);
    std::string key =
        choice.path.string() + '|' + (choice.embolden ? "b" : "r") + '|' + std::to_string(em_px);
    auto& sized = sized_[key];
    if (!sized)
        sized = std::make_unique<SizedFont>(face, em_px, choice.embolden ? Embolden::kYes : Embolden::kNo);
    return sized.get();
}

SizedFont* FontCache::Resolve(const LOGFONTW& logfont, int default_em_px) {
    if (library_ == nullptr) return nullptr;
    RefreshCatalog();
    std::string key = ResolveKey(logfont, default_em_px);
    auto found = resolved_.find(key);
    if (found != resolved_.end()) return found->second;
    std::u16string_view face_name(
        logfont.lfFaceName,
        std::find(logfont.lfFaceName, logfont.lfFaceName + LF_FACESIZE, u'\0') - logfont.lfFaceName);
    SizedFont* sized = nullptr;
    if (auto choice = ChooseFace(catalog_, face_name, logfont.lfWeight, logfont.lfItalic != 0)) {
        sized = SizedFace(*choice, logfont, default_em_px);
    }
    // Failures are remembered too, so that a missing font costs one lookup per LOGFONT.
    resolved_[key] = sized;
    return sized;
}

}  // namespace qf::device::gdi
