#include "display/item_content.h"

namespace qf::display {

ItemContent ChooseContent(const ContentState& state) {
    bool nothing_to_show = state.list_mode ? state.list_row_count == 0 : state.listing_item_count == 0;
    if (!state.status_text.empty() || state.database_unusable || nothing_to_show)
        return ItemContent::kMessage;
    if (!state.list_mode || state.details_shown) return ItemContent::kTicker;
    return ItemContent::kList;
}

MessageText ChooseMessage(const ContentState& state) {
    if (state.database_unusable) return {state.database_message};
    if (state.status_text == kAboutStatus) return {state.about_text, FW_BOLD};
    if (state.current_view_index == -1) return {kNoViewMessage};
    if (state.status_text.empty() && state.listing_item_count == 0) return {kEmptyViewMessage};
    return {state.status_text};
}

}  // namespace qf::display
