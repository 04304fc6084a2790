#include "gdi/blit.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace qf::device::gdi {
namespace {

// One axis of a blit, normalised to positive sizes with the mirroring kept aside.
struct Axis {
    int dst, size, src, src_size;
    bool mirrored;
};

// A negative size counts back from its origin, which stays inside: origin 3 and size -4 cover
// 0 to 3, so that (width - 1, -width) mirrors onto the same pixels as (0, width).
Axis Normalise(int dst, int size, int src, int src_size) {
    bool mirrored = false;
    if (size < 0) {
        dst += size + 1;
        size = -size;
        mirrored = !mirrored;
    }
    if (src_size < 0) {
        src += src_size + 1;
        src_size = -src_size;
        mirrored = !mirrored;
    }
    return {dst, size, src, src_size, mirrored};
}

// For each destination position in [first, last) of the axis, the source position it takes its pixel
// from (the source pixel under the centre of the destination pixel), or -1 outside the source bitmap.
std::vector<int> SourceMap(const Axis& axis, int first, int last, int src_limit) {
    std::vector<int> map;
    map.reserve(static_cast<std::size_t>(std::max(0, last - first)));
    for (int d = first; d < last; ++d) {
        std::int64_t offset =
            (2 * static_cast<std::int64_t>(d - axis.dst) + 1) * axis.src_size / (2 * axis.size);
        if (axis.mirrored) offset = axis.src_size - 1 - offset;
        std::int64_t s = axis.src + offset;
        map.push_back(s >= 0 && s < src_limit ? static_cast<int>(s) : -1);
    }
    return map;
}

void CopyPixels(Bitmap& dst, const Bitmap& src, const Axis& ax, const Axis& ay, const Rect& written,
                std::optional<std::uint32_t> transparent) {
    std::vector<int> columns = SourceMap(ax, written.left, written.right, src.width());
    std::vector<int> rows = SourceMap(ay, written.top, written.bottom, src.height());
    // Reading and writing the same bitmap: read from a copy so overlapping areas come out right.
    std::vector<std::uint32_t> snapshot;
    auto source_row = [&](int y) -> const std::uint32_t* {
        if (snapshot.empty()) return src.Row(y);
        return snapshot.data() + static_cast<std::size_t>(y) * src.width();
    };
    if (&dst == &src) {
        snapshot.reserve(static_cast<std::size_t>(src.width()) * src.height());
        for (int y = 0; y < src.height(); ++y)
            snapshot.insert(snapshot.end(), src.Row(y), src.Row(y) + src.width());
    }
    bool one_to_one = !ax.mirrored && ax.size == ax.src_size && !transparent;
    for (int i = 0; i < written.Height(); ++i) {
        if (rows[i] < 0) continue;
        const std::uint32_t* from = source_row(rows[i]);
        std::uint32_t* to = dst.Row(written.top + i) + written.left;
        for (int j = 0; j < written.Width(); ++j) {
            int column = columns[j];
            if (column < 0) continue;
            if (one_to_one) {
                // Columns map contiguously here: copy the rest of the run in one go.
                int run = std::min(written.Width() - j, src.width() - column);
                std::copy_n(from + column, run, to + j);
                j += run - 1;
                continue;
            }
            std::uint32_t pixel = from[column];
            if (!transparent || pixel != *transparent) to[j] = pixel;
        }
    }
}

}  // namespace

void Blit(Bitmap& dst, const Bitmap& src, const BlitAreas& areas, std::optional<std::uint32_t> transparent) {
    Axis ax = Normalise(ClampCoordinate(areas.x), ClampCoordinate(areas.width), ClampCoordinate(areas.src_x),
                        ClampCoordinate(areas.src_width));
    Axis ay = Normalise(ClampCoordinate(areas.y), ClampCoordinate(areas.height), ClampCoordinate(areas.src_y),
                        ClampCoordinate(areas.src_height));
    if (ax.size == 0 || ay.size == 0 || ax.src_size == 0 || ay.src_size == 0) return;
    Rect target = Rect::Sized(ax.dst, ay.dst, ax.size, ay.size);
    Rect written = target.Intersect(dst.bounds());
    if (written.IsEmpty()) return;
    CopyPixels(dst, src, ax, ay, written, transparent);

    // Within one bitmap the source's texts must be read before the destination's are covered.
    TextRecords own_texts;
    const TextRecords* source_texts = &src.texts();
    if (&dst == &src) {
        own_texts = src.texts();
        source_texts = &own_texts;
    }
    if (!transparent) dst.texts().Cover(written);
    // Mirroring shows as a destination rectangle whose edges are swapped.
    Rect mapped_dst = target;
    if (ax.mirrored) std::swap(mapped_dst.left, mapped_dst.right);
    if (ay.mirrored) std::swap(mapped_dst.top, mapped_dst.bottom);
    BlitMapping mapping{Rect::Sized(ax.src, ay.src, ax.src_size, ay.src_size), mapped_dst};
    dst.texts().Carry(*source_texts, mapping, written);
}

}  // namespace qf::device::gdi
