// `settle`: waits in real time for the item's download run to end, handling messages meanwhile, so that
// the run's status messages reach the item. The device clock does not move.
#pragma once

#include <chrono>

namespace qf::emu {

enum class SettleResult { kSettled = 0, kTimedOut = 1, kQuit = 2 };

// Main thread. Settled once AutoReload/BackgroundStatus is 0 and no item reports a download, steadily
// for a short while (the run's last message may still be on its way); kQuit when WM_QUIT turns up.
SettleResult SettleDownloads(std::chrono::milliseconds timeout);

}  // namespace qf::emu
