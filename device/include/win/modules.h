// Libraries loaded at run time: a module is a shared library file of the device, named by a device path,
// and identified by its base address (any address inside it names it too).
#pragma once

#include "win/base.h"

#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_BAD_EXE_FORMAT 193L

using FARPROC = INT_PTR(WINAPI*)();

// Any thread. Loads the library at the device path `file` (a bare file name is looked for in \Windows)
// and answers its module handle; loading it again answers the same handle and counts one more use. Null
// with ERROR_MOD_NOT_FOUND when there is no such file, ERROR_BAD_EXE_FORMAT when it is no library.
QF_EXTERN_C HMODULE WINAPI LoadLibraryW(LPCWSTR file);
// Any thread. Ends one use of a loaded library; the last one unloads it. FALSE for an unknown module.
QF_EXTERN_C BOOL WINAPI FreeLibrary(HMODULE module);
// Any thread. The exported function `name` of a loaded module (null: the main program). Exports are
// found by name only: an ordinal (a MAKEINTRESOURCE value) fails with ERROR_PROC_NOT_FOUND, as does a
// name the module does not export.
QF_EXTERN_C FARPROC WINAPI GetProcAddressW(HMODULE module, LPCWSTR name);
#define GetProcAddress GetProcAddressW
