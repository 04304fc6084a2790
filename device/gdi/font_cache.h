// FreeType and everything loaded through it: the catalog of font files, the open faces and the faces
// at each size with their glyphs. Lives inside GDI's state; every call holds GDI's lock.
#pragma once

#include <ft2build.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>
#include FT_FREETYPE_H

#include "gdi/font_catalog.h"
#include "gdi/sized_font.h"
#include "win/gdi.h"

namespace qf::device::gdi {

class FontCache {
  public:
    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The sized face that draws `logfont`; `default_em_px` is the character height for lfHeight 0.
    // The catalog is the device's \Windows folder, read again whenever the device root changes. Null
    // only when no font file at all can be opened.
    SizedFont* Resolve(const LOGFONTW& logfont, int default_em_px);

  private:
    struct FaceDeleter {
        void operator()(FT_Face face) const { FT_Done_Face(face); }
    };
    using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

    void RefreshCatalog();
    FT_Face OpenFace(const std::filesystem::path& path);
    SizedFont* SizedFace(const FaceChoice& choice, const LOGFONTW& logfont, int default_em_px);

    FT_Library library_ = nullptr;
    std::filesystem::path catalog_root_;
    bool catalog_loaded_ = false;
    std::vector<FontFile> catalog_;
    std::map<std::filesystem::path, FacePtr> faces_;
    // Sized faces by file, emboldening and size; they are few and never dropped.
    std::map<std::string, std::unique_ptr<SizedFont>> sized_;
    // What each LOGFONT resolved to since the catalog was last read: drawing text looks up here first.
    std::unordered_map<std::string, SizedFont*> resolved_;
};

}  // namespace qf::device::gdi
