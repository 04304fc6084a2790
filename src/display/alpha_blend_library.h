// The tab host's alpha-blending library (SBSHAlphaBlend.dll with fnAlphaBlend), through which the tab
// mode draws its masked skin pieces with soft edges. Optional: without it those pieces are drawn with
// red as the transparent colour instead.
#pragma once

#include <sbsh_alpha_blend.h>
#include <windows.h>

#include <string>

#include "display/skin_scale.h"

namespace qf::display {

// Owns the loaded library; move-only. User-interface thread.
class AlphaBlendLibrary {
  public:
    // Not loaded.
    AlphaBlendLibrary() = default;
    // Loads install folder + "\SBSHAlphaBlend.dll" and looks up fnAlphaBlend; not loaded when either fails.
    static AlphaBlendLibrary Load(const std::u16string& install_folder);
    ~AlphaBlendLibrary() { Unload(); }
    AlphaBlendLibrary(AlphaBlendLibrary&& other) noexcept;
    AlphaBlendLibrary& operator=(AlphaBlendLibrary&& other) noexcept;
    AlphaBlendLibrary(const AlphaBlendLibrary&) = delete;
    AlphaBlendLibrary& operator=(const AlphaBlendLibrary&) = delete;

    bool loaded() const { return blend_ != nullptr; }
    void Unload();

    // Composites `bitmap` through `mask` onto the area at (x, y) that is width x height layout pixels
    // (constants for scale 1, such as 38 x 20 for the control strip's menu button): the destination
    // area is copied to a memory bitmap, blended there by fnAlphaBlend and copied back; with the
    // low-resolution skin the bitmap is blended at its own size and the result stretched by the scale
    // factor. False (nothing drawn) when the library is not loaded or a GDI call fails.
    bool Draw(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, HBITMAP mask,
              const SkinScale& scale) const;

  private:
    HMODULE module_ = nullptr;
    FnAlphaBlend blend_ = nullptr;
};

}  // namespace qf::display
