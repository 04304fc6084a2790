#include "system/case_fold.h"

namespace qf::device {

char16_t FoldCase(char16_t c) {
    auto in = [c](char16_t first, char16_t last) { return c >= first && c <= last; };
    auto plus = [c](int delta) { return static_cast<char16_t>(c + delta); };
    if (in(u'A', u'Z')) return plus(0x20);
    if (c < 0xC0) return c;
    if (in(0xC0, 0xDE)) return c == 0xD7 ? c : plus(0x20);  // U+00D7 is the multiplication sign
    // Latin Extended-A pairs capitals with the next code point; the pairing switches from even to odd
    // capitals after the dotless i and again after U+0177. U+0130 and U+0149 have no simple partner.
    if (in(0x0100, 0x012F) || in(0x0132, 0x0137) || in(0x014A, 0x0177)) return c % 2 == 0 ? plus(1) : c;
    if (in(0x0139, 0x0148) || in(0x0179, 0x017E)) return c % 2 == 1 ? plus(1) : c;
    if (c == 0x0178) return 0x00FF;
    if (c == 0x0386) return 0x03AC;
    if (in(0x0388, 0x038A)) return plus(0x25);
    if (c == 0x038C) return 0x03CC;
    if (in(0x038E, 0x038F)) return plus(0x3F);
    if (in(0x0391, 0x03AB)) return c == 0x03A2 ? c : plus(0x20);  // U+03A2 is unassigned
    if (in(0x0400, 0x040F)) return plus(0x50);
    if (in(0x0410, 0x042F)) return plus(0x20);
    return c;
}

std::u16string FoldCase(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) c = FoldCase(c);
    return folded;
}

}  // namespace qf::device
