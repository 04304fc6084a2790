#include "shell/notification_html.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace qf::device {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

std::u16string LowerCopy(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) c = Lower(c);
    return lower;
}

// One tag: its lower-case name ("/p" for an end tag) and attributes (lower-case names, raw values).
struct Tag {
    std::u16string name;
    std::vector<std::pair<std::u16string, std::u16string>> attributes;

    std::u16string Attribute(std::u16string_view wanted) const {
        for (const auto& [name, value] : attributes) {
            if (name == wanted) return value;
        }
        return {};
    }
};

// Reads the tag whose '<' is at `pos`; `pos` ends after its '>' (or at the end of a cut-off tag).
Tag ReadTag(std::u16string_view html, size_t& pos) {
    Tag tag;
    size_t i = pos + 1;
    auto word_end = [&](size_t from) {
        while (from < html.size() && !IsBlank(html[from]) && html[from] != u'>' && html[from] != u'=') ++from;
        return from;
    };
    size_t end = word_end(i);
    tag.name = LowerCopy(html.substr(i, end - i));
    i = end;
    while (i < html.size() && html[i] != u'>') {
        if (IsBlank(html[i]) || html[i] == u'/') {
            ++i;
            continue;
        }
        end = word_end(i);
        std::u16string name = LowerCopy(html.substr(i, end - i));
        i = end;
        std::u16string value;
        if (i < html.size() && html[i] == u'=') {
            ++i;
            if (i < html.size() && (html[i] == u'\'' || html[i] == u'"')) {
                char16_t quote = html[i++];
                size_t close = html.find(quote, i);
                if (close == std::u16string_view::npos) close = html.size();
                value = html.substr(i, close - i);
                i = close + 1;
            } else {
                end = i;
                while (end < html.size() && !IsBlank(html[end]) && html[end] != u'>') ++end;
                value = html.substr(i, end - i);
                i = end;
            }
        }
        if (name.empty()) {
            ++i;  // a stray '=' or quote: step over it
        } else {
            tag.attributes.emplace_back(std::move(name), std::move(value));
        }
    }
    pos = i < html.size() ? i + 1 : html.size();
    return tag;
}

// The command of a button named "cmd:N".
std::optional<UINT> CommandOf(const std::u16string& name) {
    if (name.size() < 5 || LowerCopy(name.substr(0, 4)) != u"cmd:") return std::nullopt;
    UINT command = 0;
    for (size_t i = 4; i < name.size(); ++i) {
        if (name[i] < u'0' || name[i] > u'9' || command > 0xFFFF) return std::nullopt;
        command = command * 10 + (name[i] - u'0');
    }
    return command;
}

// Decodes the entity at `pos` ('&'); `pos` ends after it. An unknown entity stays as its '&'.
char16_t ReadEntity(std::u16string_view html, size_t& pos) {
    static constexpr std::pair<std::u16string_view, char16_t> kNamed[] = {
        {u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''}, {u"nbsp", u' '}};
    // Entities are short; looking no further keeps a text full of bare '&' linear.
    size_t semicolon = html.substr(0, std::min(html.size(), pos + 10)).find(u';', pos);
    if (semicolon != std::u16string_view::npos) {
        std::u16string_view name = html.substr(pos + 1, semicolon - pos - 1);
        for (const auto& [entity, c] : kNamed) {
            if (name == entity) {
                pos = semicolon + 1;
                return c;
            }
        }
        if (name.size() > 1 && name[0] == u'#') {
            unsigned code = 0;
            bool digits = true;
            for (char16_t c : name.substr(1)) {
                digits = digits && c >= u'0' && c <= u'9';
                code = code * 10 + (c - u'0');
            }
            if (digits && code > 0 && code < 0xD800) {
                pos = semicolon + 1;
                return static_cast<char16_t>(code);
            }
        }
    }
    ++pos;
    return u'&';
}

bool BreaksLine(const std::u16string& tag) {
    return tag == u"p" || tag == u"/p" || tag == u"br" || tag == u"div" || tag == u"/div";
}

}  // namespace

NotificationContent ReadNotificationHtml(std::u16string_view html) {
    NotificationContent content;
    std::u16string& text = content.text;
    bool blank_pending = false;
    auto line_break = [&] {
        blank_pending = false;
        if (!text.empty() && text.back() != u'\n') text += u'\n';
    };
    size_t pos = 0;
    while (pos < html.size()) {
        char16_t c = html[pos];
        if (c == u'<') {
            Tag tag = ReadTag(html, pos);
            if (BreaksLine(tag.name)) line_break();
            std::optional<UINT> command = CommandOf(tag.Attribute(u"name"));
            if (tag.name == u"input" && command)
                content.buttons.push_back({tag.Attribute(u"value"), *command});
            continue;
        }
        if (IsBlank(c)) {
            blank_pending = true;
            ++pos;
            continue;
        }
        char16_t visible = c == u'&' ? ReadEntity(html, pos) : html[pos++];
        if (blank_pending && !text.empty() && text.back() != u'\n') text += u' ';
        blank_pending = false;
        text += visible;
    }
    while (!text.empty() && text.back() == u'\n') text.pop_back();
    return content;
}

}  // namespace qf::device
