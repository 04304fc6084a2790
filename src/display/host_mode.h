// Which host the library is serving: the Today screen or the outside tab host. Chosen by the entry point
// that created the item window; painting, skins, menus and destruction depend on it.
#pragma once

namespace qf::display {

enum class HostMode { kToday = 0, kTab = 1 };

}  // namespace qf::display
