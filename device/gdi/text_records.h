// The texts drawn into one bitmap, kept so that hosts can tell what a window shows without reading
// pixels. Texts follow their pixels: an opaque fill or blit over a text's whole rectangle forgets it, a
// blit carries the texts of its source area to the destination.
#pragma once

#include <cstddef>
#include <deque>
#include <vector>

#include "gdi/rect.h"
#include "qfdevice/window_surface.h"

namespace qf::device::gdi {

// How a blit maps source coordinates to destination coordinates: x' = dst.left + (x - src.left) *
// dst.Width() / src.Width(), likewise for y. Negative sizes mirror.
struct BlitMapping {
    Rect src;
    Rect dst;
    Rect Map(const Rect& r) const;
};

class TextRecords {
  public:
    // Beyond this many the oldest records go, so a surface drawn without frames cannot grow forever.
    static constexpr std::size_t kMaxRecords = 4096;

    // Adds `text` with its rectangle clipped to `clip`; nothing when that leaves it empty.
    void Add(DrawnText text, const Rect& clip);
    // Forgets the texts whose rectangles lie wholly inside `area`.
    void Cover(const Rect& area);
    // Adds the texts of `source` that meet `mapping.src`, mapped and clipped to `clip` (the part of the
    // destination the blit wrote). `source` may be this object.
    void Carry(const TextRecords& source, const BlitMapping& mapping, const Rect& clip);
    // Clips every rectangle to `bounds`, dropping those left empty (the bitmap was resized).
    void ClipTo(const Rect& bounds);
    void Clear() { records_.clear(); }

    std::vector<DrawnText> Snapshot() const { return {records_.begin(), records_.end()}; }
    std::size_t size() const { return records_.size(); }

  private:
    std::deque<DrawnText> records_;
};

}  // namespace qf::device::gdi
