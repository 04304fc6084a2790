// A compact text form of a feed document's tree for comparing whole trees in tests:
// name[attr=value ...]"leaf text" / name/ for empty elements / name(child child ...).
#pragma once

#include <string>

#include "parse/feed_document.h"

namespace qf::test {

inline std::string Narrow(std::u16string_view text) {
    std::string narrow;
    for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

inline std::string Dump(const FeedNode* node) {
    if (node == nullptr) return "(none)";
    std::string out = Narrow(node->name);
    if (!node->attributes.empty()) {
        out += '[';
        for (size_t i = 0; i < node->attributes.size(); ++i) {
            out +=
                (i ? " " : "") + Narrow(node->attributes[i].name) + "=" + Narrow(node->attributes[i].value);
        }
        out += ']';
    }
    if (node->is_empty_element) out += '/';
    if (!node->text.empty()) out += '"' + Narrow(node->text) + '"';
    if (!node->children.empty()) {
        out += '(';
        for (size_t i = 0; i < node->children.size(); ++i) out += (i ? " " : "") + Dump(node->children[i]);
        out += ')';
    }
    return out;
}

}  // namespace qf::test
