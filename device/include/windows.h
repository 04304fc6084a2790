// The Win32-style platform of the emulated device: include this to write code as for the device.
#pragma once

#include "win/types.h"
#include "win/base.h"
#include "win/strings.h"
#include "win/files.h"
#include "win/registry.h"
#include "win/time.h"
#include "win/sync.h"
#include "win/sysinfo.h"
#include "win/shell.h"
#include "win/geometry.h"
#include "win/gdi.h"
#include "win/window.h"
#include "win/modules.h"
#include "win/resources.h"
