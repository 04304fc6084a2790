#include "display/alpha_blend_library.h"

#include <utility>

#include "display/gdi_handles.h"

namespace qf::display {

AlphaBlendLibrary AlphaBlendLibrary::Load(const std::u16string& install_folder) {
    AlphaBlendLibrary library;
    library.module_ = LoadLibraryW((install_folder + u"\\SBSHAlphaBlend.dll").c_str());
    if (library.module_ == nullptr) return library;
    // Through the generic function type, which converts to any other without a warning.
    FARPROC found = GetProcAddress(library.module_, u"fnAlphaBlend");
    library.blend_ = reinterpret_cast<FnAlphaBlend>(reinterpret_cast<void (*)()>(found));
    if (library.blend_ == nullptr) library.Unload();
    return library;
}

AlphaBlendLibrary::AlphaBlendLibrary(AlphaBlendLibrary&& other) noexcept
    : module_(std::exchange(other.module_, nullptr)), blend_(std::exchange(other.blend_, nullptr)) {}

AlphaBlendLibrary& AlphaBlendLibrary::operator=(AlphaBlendLibrary&& other) noexcept {
    if (this != &other) {
        Unload();
        module_ = std::exchange(other.module_, nullptr);
        blend_ = std::exchange(other.blend_, nullptr);
    }
    return *this;
}

void AlphaBlendLibrary::Unload() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
    blend_ = nullptr;
}

bool AlphaBlendLibrary::Draw(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, HBITMAP mask,
                             const SkinScale& scale) const {
    if (!loaded() || bitmap == nullptr) return false;
    // The high-resolution skin's bitmaps are already drawn at the screen's scale.
    int bitmap_scale = scale.high_res_skin ? scale.scale_factor : 1;
    int stretch = scale.high_res_skin ? 1 : scale.scale_factor;
    int bitmap_width = width * bitmap_scale;
    int bitmap_height = height * bitmap_scale;
    MemoryDc memory(dc);
    GdiObject<HBITMAP> area(CreateCompatibleBitmap(dc, bitmap_width, bitmap_height));
    if (!memory || !area) return false;
    ScopedSelection selected(memory.get(), area.get());
    int screen_width = bitmap_width * stretch;
    int screen_height = bitmap_height * stretch;
    StretchBlt(memory.get(), 0, 0, bitmap_width, bitmap_height, dc, x, y, screen_width, screen_height,
               SRCCOPY);
    if (!blend_(memory.get(), 0, 0, bitmap_width, bitmap_height, bitmap, bitmap_width, bitmap_height, mask))
        return false;
    return StretchBlt(dc, x, y, screen_width, screen_height, memory.get(), 0, 0, bitmap_width, bitmap_height,
                      SRCCOPY) != FALSE;
}

}  // namespace qf::display
