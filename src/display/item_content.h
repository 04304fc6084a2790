// What the item shows: a message, one item as a ticker, or a page of list rows; and for a message, its
// text. Decided from the item window's state before anything is drawn.
#pragma once

#include <windows.h>

#include <string>

namespace qf::display {

enum class ItemContent { kMessage, kTicker, kList };

// The part of the item window's state that decides the content.
struct ContentState {
    std::u16string status_text;  // shown instead of the list while not empty
    std::u16string about_text;   // shown in bold while the status text is "ABOUT"
    bool database_unusable = false;
    std::u16string database_message;
    int current_view_index = -1;  // -1: no view
    int listing_item_count = 0;   // items in the current view's listing
    int list_row_count = 0;
    bool list_mode = false;
    bool details_shown = false;  // list mode showing one item
};

// The status text that asks for the About text instead.
inline constexpr char16_t kAboutStatus[] = u"ABOUT";
inline constexpr char16_t kNoViewMessage[] = u"No View items are available:  Please configure Quillfeed.";
inline constexpr char16_t kEmptyViewMessage[] = u"Current View does not have any unread items.";

// Any thread. A message when there is one to show (status text, unusable database, or nothing to list);
// else one item when not in list mode or while details are shown; else the list.
ItemContent ChooseContent(const ContentState& state);

struct MessageText {
    std::u16string text;
    LONG weight = FW_NORMAL;
};
// Any thread. The message of message mode, most important first: the database warning, the About text
// (bold), the no-view message, the empty-view message, the status text.
MessageText ChooseMessage(const ContentState& state);

}  // namespace qf::display
