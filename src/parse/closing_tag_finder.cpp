#include "parse/closing_tag_finder.h"

#include "parse/unit_search.h"
#include "parse/xml_tag.h"

namespace qf::xml {
namespace {

constexpr size_t kNone = std::u16string_view::npos;

std::uint64_t NameHash(std::u16string_view name) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (char16_t c : name) hash = (hash ^ c) * 0x100000001B3ull;
    return hash;
}

// The end of the text searched for a name's last closing tag; repeated elements close there.
constexpr size_t kEndSearchChars = 64 * 1024;

}  // namespace

ClosingTagFinder::Answer* ClosingTagFinder::Remembered(std::u16string_view text, std::u16string_view name) {
    const size_t name_position = static_cast<size_t>(name.data() - text.data());
    const auto [found, added] = answers_.try_emplace(NameHash(name));
    Answer& answer = found->second;
    if (added) {
        answer.name_position = name_position;
        answer.name_length = name.size();
        return &answer;
    }
    const bool same_name =
        answer.name_length == name.size() && text.substr(answer.name_position, name.size()) == name;
    return same_name ? &answer : nullptr;
}

void ClosingTagFinder::Spent(std::u16string_view text, size_t searched) {
    searched_ += searched;
    // Past a few passes over the text, an index answers the rest in linear time.
    if (!index_ && searched_ > 4 * text.size() + 4096) index_.emplace(text);
}

size_t ClosingTagFinder::Search(std::u16string_view text, std::u16string_view name, size_t from) {
    size_t lt = text::FindUnit(text, u'<', from);
    while (lt != kNone && !ClosesAt(text, lt, name)) lt = text::FindUnit(text, u'<', lt + 1);
    Spent(text, (lt == kNone ? text.size() : lt) - from);
    return lt;
}

size_t ClosingTagFinder::SearchBackFromEnd(std::u16string_view text, std::u16string_view name) {
    const size_t stop = text.size() > kEndSearchChars ? text.size() - kEndSearchChars : 0;
    size_t lt = text.size();
    while (lt > stop) {
        lt = text.substr(0, lt).rfind(u'<');
        if (lt == kNone || lt < stop) break;
        if (ClosesAt(text, lt, name)) {
            Spent(text, text.size() - lt);
            return lt;
        }
    }
    Spent(text, text.size() - stop);
    return kNone;
}

size_t ClosingTagFinder::Find(std::u16string_view text, std::u16string_view name, size_t from) {
    if (index_) return index_->Find(text, name, from);
    Answer* answer = Remembered(text, name);
    if (answer != nullptr && answer->searched && (answer->closing == kNone || answer->closing >= from))
        return answer->closing;
    const size_t closing = Search(text, name, from);
    if (answer != nullptr) {
        answer->closing = closing;
        answer->searched = true;
    }
    return closing;
}

bool ClosingTagFinder::Exists(std::u16string_view text, std::u16string_view name, size_t from) {
    if (index_) return index_->Find(text, name, from) != kNone;
    Answer* answer = Remembered(text, name);
    if (answer != nullptr) {
        if (answer->searched && (answer->closing == kNone || answer->closing >= from))
            return answer->closing != kNone;
        if (!answer->looked_at_end) {
            answer->last = SearchBackFromEnd(text, name);
            answer->looked_at_end = true;
        }
        if (answer->last != kNone) return answer->last >= from;
    }
    return Find(text, name, from) != kNone;
}

}  // namespace qf::xml
