#include "host/about.h"

#include "common/settings_store.h"
#include "display/item_content.h"
#include "host/repaint.h"

namespace qf::host {
namespace {

constexpr int kAboutTicks = 4;

}  // namespace

std::u16string AboutText() {
    std::u16string last_refresh = AppSettings().Read(setting::kLastRefreshDate);
    return u"Quillfeed version 2.0 Release 18\n\nThornbeckvale Quillfeed for Pocket PC\n\nLast Refresh: " +
           last_refresh;
}

BOOL ShowAbout(ItemWindow& item) {
    item.tick_counter = -kAboutTicks;
    item.status_text = display::kAboutStatus;
    return Repaint(item);
}

}  // namespace qf::host
