// Reading the text of one tag (what stands between "<" and ">") for the feed document's reader.
#pragma once

#include <string>
#include <string_view>

namespace qf::xml {

// The tag text with "\r\n", then lone "\r" and "\n", turned into one blank each and tabs into four.
std::u16string NormalizeTag(std::u16string_view tag);
// True when NormalizeTag would change `tag`.
bool NeedsNormalizing(std::u16string_view tag);

// The element name: leading white space skipped, up to the first blank, line break or tab; a trailing
// "/" (as in "guid/") is not part of it. A view into `tag`.
std::u16string_view ElementName(std::u16string_view tag);
// For "/name" the name after the slash (a view into `tag`); empty for a tag that is not a closing tag.
std::u16string_view ClosingTagName(std::u16string_view tag);

// Calls `add(name, value)` for each attribute of a normalised tag, in order. One quote character per
// tag: '"' when the tag holds `="` anywhere, else '\''; "=" must be followed directly by the quote, and a
// value ends at the next quote of the same kind. Views into `tag`.
template <typename AddAttribute>
void ForEachAttribute(std::u16string_view tag, AddAttribute add);

// True when "</" + name + ">" stands at `lt` in `text`.
inline bool ClosesAt(std::u16string_view text, size_t lt, std::u16string_view name) {
    return text.size() - lt >= name.size() + 3 && text[lt + 1] == u'/' &&
           text[lt + 2 + name.size()] == u'>' && text.substr(lt + 2, name.size()) == name;
}

// True for "<!--", "<?", "<!DOCTYPE", "<!ATTLIST", "<!ELEMENT" and "<!ENTITY" tags (case-sensitive).
bool IsComment(std::u16string_view tag);
bool IsDeclaration(std::u16string_view tag);

// ---- Implementation ---------------------------------------------------------------------------------

std::u16string_view TrimAttributeName(std::u16string_view before_marker);

template <typename AddAttribute>
void ForEachAttribute(std::u16string_view tag, AddAttribute add) {
    const char16_t quote = tag.find(u"=\"") != std::u16string_view::npos ? u'"' : u'\'';
    const char16_t marker[] = {u'=', quote};
    const std::u16string_view marker_text(marker, 2);
    std::u16string_view rest = tag;
    for (size_t m = rest.find(marker_text); m != std::u16string_view::npos; m = rest.find(marker_text)) {
        const std::u16string_view name = TrimAttributeName(rest.substr(0, m));
        const std::u16string_view value_and_more = rest.substr(m + 2);
        const size_t end = value_and_more.find(quote);
        if (end == std::u16string_view::npos) return;
        add(name, value_and_more.substr(0, end));
        rest = value_and_more.substr(end + 1);
    }
}

}  // namespace qf::xml
