#include "display/font_size.h"

#include <array>
#include <utility>

namespace qf::display {
namespace {

constexpr int kPrimaryLanguageMask = 0x3ff;
constexpr int kLangChinese = 0x04;
constexpr int kLangJapanese = 0x11;
constexpr int kLangKorean = 0x12;

// Offsets from the base size. Both VGA names share one size: the menu offers two names for screens
// that differ only in how the user thinks of them.
constexpr std::array<std::pair<std::u16string_view, int>, 7> kSizeOffsets{{
    {u"smallest", -2},
    {u"smaller", -1},
    {u"normal", 0},
    {u"larger", 1},
    {u"largest", 2},
    {u"VGA - 16pt", 8},
    {u"VGA - 18pt", 8},
}};

int SizeOffset(std::u16string_view name) {
    for (const auto& [known, offset] : kSizeOffsets) {
        if (known == name) return offset;
    }
    return 0;
}

}  // namespace

int BaseFontPoints(LANGID system_lang) {
    int primary = system_lang & kPrimaryLanguageMask;
    bool far_east = primary == kLangChinese || primary == kLangJapanese || primary == kLangKorean;
    return far_east ? 9 : 8;
}

double ItemFontPoints(std::u16string_view font_size_name, LANGID system_lang, int multiplier) {
    double points = BaseFontPoints(system_lang) + SizeOffset(font_size_name);
    return points * multiplier;
}

LONG FontHeightForPoints(int logpixels_y, double points) {
    return -static_cast<LONG>(logpixels_y * points / 72.0 + 0.5);
}

}  // namespace qf::display
