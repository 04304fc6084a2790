// Icons: pictures with transparency that are drawn onto a DC, never selected into one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "gdi/gdi_object.h"
#include "gdi/image_codec.h"

namespace qf::device::gdi {

class Icon : public GdiObject {
  public:
    static constexpr ObjectKind kKind = ObjectKind::kIcon;
    explicit Icon(DecodedImage image) : GdiObject(kKind, Lifetime::kOwned), image_(std::move(image)) {}
    const DecodedImage& image() const { return image_; }

  private:
    DecodedImage image_;
};

// Any thread. The image of an icon file (ICO) nearest in size to width x height: the exact size, else
// the smallest larger one, else the largest. Only PNG-compressed images are read; nullopt for a damaged
// file or when the chosen image is in another format.
std::optional<DecodedImage> DecodeIconFile(std::span<const std::uint8_t> bytes, int width, int height);

}  // namespace qf::device::gdi
