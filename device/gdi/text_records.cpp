#include "gdi/text_records.h"

#include <algorithm>
#include <cstdint>

namespace qf::device::gdi {
namespace {

Rect RectOf(const DrawnText& text) { return {text.left, text.top, text.right, text.bottom}; }

void SetRect(DrawnText& text, const Rect& r) {
    text.left = r.left;
    text.top = r.top;
    text.right = r.right;
    text.bottom = r.bottom;
}

int MapCoordinate(int v, int src_origin, int src_size, int dst_origin, int dst_size) {
    std::int64_t offset = static_cast<std::int64_t>(v - src_origin) * dst_size / src_size;
    return dst_origin + static_cast<int>(offset);
}

}  // namespace

Rect BlitMapping::Map(const Rect& r) const {
    int x1 = MapCoordinate(r.left, src.left, src.Width(), dst.left, dst.Width());
    int x2 = MapCoordinate(r.right, src.left, src.Width(), dst.left, dst.Width());
    int y1 = MapCoordinate(r.top, src.top, src.Height(), dst.top, dst.Height());
    int y2 = MapCoordinate(r.bottom, src.top, src.Height(), dst.top, dst.Height());
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

void TextRecords::Add(DrawnText text, const Rect& clip) {
    Rect r = RectOf(text).Intersect(clip);
    if (r.IsEmpty()) return;
    SetRect(text, r);
    records_.push_back(std::move(text));
    if (records_.size() > kMaxRecords) records_.pop_front();
}

void TextRecords::Cover(const Rect& area) {
    std::erase_if(records_, [&](const DrawnText& text) { return area.Contains(RectOf(text)); });
}

void TextRecords::Carry(const TextRecords& source, const BlitMapping& mapping, const Rect& clip) {
    if (mapping.src.Width() == 0 || mapping.src.Height() == 0) return;
    std::vector<DrawnText> carried;
    Rect src_area = {
        std::min(mapping.src.left, mapping.src.right), std::min(mapping.src.top, mapping.src.bottom),
        std::max(mapping.src.left, mapping.src.right), std::max(mapping.src.top, mapping.src.bottom)};
    for (const DrawnText& text : source.records_) {
        Rect inside = RectOf(text).Intersect(src_area);
        if (inside.IsEmpty()) continue;
        DrawnText moved = text;
        SetRect(moved, mapping.Map(inside));
        carried.push_back(std::move(moved));
    }
    // Added only now: `source` may be this very list, which Add changes.
    for (DrawnText& text : carried) Add(std::move(text), clip);
}

void TextRecords::ClipTo(const Rect& bounds) {
    std::erase_if(records_, [&](DrawnText& text) {
        Rect r = RectOf(text).Intersect(bounds);
        SetRect(text, r);
        return r.IsEmpty();
    });
}

}  // namespace qf::device::gdi
