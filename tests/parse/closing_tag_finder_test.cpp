#include "parse/closing_tag_finder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace qf {
namespace {

size_t PlainFind(std::u16string_view text, std::u16string_view name, size_t from) {
    return text.find(u"</" + std::u16string(name) + u">", from);
}

TEST(ClosingTagFinder, AnswersAsAPlainSearchAlsoAfterSwitchingToItsIndex) {
    // Tags of many names, most never closed, so that the remembered answers, the searches from the end
    // and (once the searches add up) the index all get asked.
    std::mt19937 random(7);
    std::u16string text;
    std::vector<std::pair<size_t, size_t>> names;  // position and length of each opening tag's name
    for (int i = 0; i < 4000; ++i) {
        const std::u16string name = u"n" + std::u16string(1, u'a' + random() % 26) +
                                    std::u16string(1, u'a' + random() % (i < 2000 ? 3 : 26));
        if (random() % 4 == 0) {
            text += u"</" + name + u">";
        } else {
            names.emplace_back(text.size() + 1, name.size());
            text += u"<" + name + u">x";
        }
    }
    xml::ClosingTagFinder finder;
    for (const auto& [position, length] : names) {
        const std::u16string_view name = std::u16string_view(text).substr(position, length);
        const size_t from = position + length;
        const size_t expected = PlainFind(text, name, from);
        if (random() % 2 == 0) {
            ASSERT_EQ(finder.Find(text, name, from), expected) << position;
        } else {
            ASSERT_EQ(finder.Exists(text, name, from), expected != std::u16string_view::npos) << position;
        }
    }
}

}  // namespace
}  // namespace qf
