// Small helpers for the Win32 convention of reporting failure through the last-error code.
#pragma once

#include "win/base.h"

namespace qf::device {

// SetLastError(code); answers FALSE for the caller to return.
inline BOOL FailWith(DWORD code) {
    SetLastError(code);
    return FALSE;
}

}  // namespace qf::device
