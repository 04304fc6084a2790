// Opening an item's web link in the browser: the link itself, or with WebLinkMode 2 the item's stored
// full content written to a local page. Opening a link changes nothing in the database.
#pragma once

#include "host/item_window.h"

namespace qf::host {

// User-interface thread. Opens the link of web-link icon `icon` of the last paint with the browser of
// General/Browser, falling back to the device's own browser; failures are silent.
void OpenWebLink(ItemWindow& item, int icon);

}  // namespace qf::host
