// What the network stand-ins share inside the runtime.
#pragma once

#include <functional>

#include "qfdevice/network.h"

namespace qf::device {

// Any thread. Adds a request to RecentRequests().
void RecordRequest(RequestRecord record);

// Any thread. Registers a callback run (on the calling thread of NotifyLinkDown) when this process sees
// the link go down; answers an id for removal.
int AddLinkDownListener(std::function<void()> listener);
void RemoveLinkDownListener(int id);
// Any thread. Runs the listeners.
void NotifyLinkDown();

}  // namespace qf::device
