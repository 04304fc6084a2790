// Globally unique identifiers as COM lays them out.
#pragma once

#include "win/types.h"

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
    bool operator==(const GUID&) const = default;
};
using CLSID = GUID;
using REFCLSID = const CLSID&;
