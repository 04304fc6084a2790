#include "parse/xml_tag.h"

#include <algorithm>

#include "parse/wide_text.h"

namespace qf::xml {
namespace {

bool IsTagBreak(char16_t c) { return c == u' ' || c == u'\r' || c == u'\n' || c == u'\t'; }

// The first word of a tag: what NormalizeTag would leave before its first blank, found on the raw text.
std::u16string_view FirstWord(std::u16string_view tag) {
    tag = text::TrimLeft(tag);
    size_t end = 0;
    while (end < tag.size() && !IsTagBreak(tag[end])) ++end;
    return tag.substr(0, end);
}

}  // namespace

std::u16string NormalizeTag(std::u16string_view tag) {
    std::u16string normalized;
    normalized.reserve(tag.size());
    for (size_t i = 0; i < tag.size(); ++i) {
        const char16_t c = tag[i];
        if (c == u'\r' && i + 1 < tag.size() && tag[i + 1] == u'\n') {
            normalized.push_back(u' ');
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            normalized.push_back(u' ');
        } else if (c == u'\t') {
            normalized.append(4, u' ');
        } else {
            normalized.push_back(c);
        }
    }
    return normalized;
}

bool NeedsNormalizing(std::u16string_view tag) {
    return std::any_of(tag.begin(), tag.end(),
                       [](char16_t c) { return c == u'\r' || c == u'\n' || c == u'\t'; });
}

std::u16string_view ElementName(std::u16string_view tag) {
    std::u16string_view name = FirstWord(tag);
    if (!name.empty() && name.back() == u'/') name.remove_suffix(1);
    return name;
}

std::u16string_view ClosingTagName(std::u16string_view tag) {
    const std::u16string_view word = FirstWord(tag);
    if (word.empty() || word[0] != u'/') return {};
    return word.substr(1);
}

std::u16string_view TrimAttributeName(std::u16string_view before_marker) {
    std::u16string_view name = text::Trim(before_marker);
    const size_t blank = name.rfind(u' ');
    return blank == std::u16string_view::npos ? name : name.substr(blank + 1);
}

bool IsComment(std::u16string_view tag) {
    return tag.size() >= 3 && tag[0] == u'!' && tag[1] == u'-' && tag[2] == u'-';
}

bool IsDeclaration(std::u16string_view tag) {
    if (tag.empty()) return false;
    if (tag[0] == u'?') return true;
    // Most tags are elements; look at the names only after a "!".
    return tag[0] == u'!' && (tag.starts_with(u"!DOCTYPE") || tag.starts_with(u"!ATTLIST") ||
                              tag.starts_with(u"!ELEMENT") || tag.starts_with(u"!ENTITY"));
}

}  // namespace qf::xml
