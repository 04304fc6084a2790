// `--open-links`: what the device's browser was asked to show goes to the desktop's browser instead.
#pragma once

#include <optional>
#include <string>

#include "qfdevice/launches.h"

namespace qf::emu {

// Any thread. What the launch shows in a browser: an http(s) link given as its file or parameters, or
// the host path of a device page (.htm, .html) it opens; nullopt for anything else.
std::optional<std::string> DesktopTarget(const device::Launch& launch);

// Any thread. Hands `target` to xdg-open and returns without waiting for it.
void OpenOnDesktop(const std::string& target);

}  // namespace qf::emu
