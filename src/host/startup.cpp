#include "host/startup.h"

#include "host/device_time.h"

namespace qf::host {

void RunStartupSequence(ItemWindow& item) {
    item.height_changed = false;
    item.repaint_requested = false;
    item.previous_tick_ms = DeviceLocalTimeMs();
    item.current_view_index = -1;
    item.current_view_name = u"None Active";
    item.status_text.clear();
    item.current_item_index = 0;
}

}  // namespace qf::host
