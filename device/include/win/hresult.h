// COM result codes.
#pragma once

#include "win/types.h"

#define S_OK 0L
#define S_FALSE 1L
#define E_FAIL static_cast<HRESULT>(0x80004005L)
#define E_INVALIDARG static_cast<HRESULT>(0x80070057L)
#define E_NOTIMPL static_cast<HRESULT>(0x80004001L)
#define E_POINTER static_cast<HRESULT>(0x80004003L)
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
