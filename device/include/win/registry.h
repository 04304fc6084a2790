// The device registry: keys and typed values below HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, kept in one
// SQLite file of the device root. Every call opens the hive, does its work in one transaction and closes
// it, so several processes share the registry safely and a value is never half-written.
#pragma once

#include "win/base.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)))

#define REG_NONE 0
#define REG_SZ 1
#define REG_BINARY 3
#define REG_DWORD 4

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F
#define REG_OPTION_NON_VOLATILE 0
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

// All functions: any thread; a key handle may be used from any thread until RegCloseKey. Key names are
// backslash paths matched without regard to case. Results are ERROR_SUCCESS or an error code.

// Opens an existing key below `key`; ERROR_FILE_NOT_FOUND when any part of `sub_key` is missing. Never
// creates anything. *result must be closed with RegCloseKey.
QF_EXTERN_C LONG WINAPI RegOpenKeyExW(HKEY key, LPCWSTR sub_key, DWORD options, REGSAM sam, PHKEY result);
// Opens `sub_key` below `key`, creating every missing part of the path. *disposition (may be null)
// tells REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
QF_EXTERN_C LONG WINAPI RegCreateKeyExW(HKEY key, LPCWSTR sub_key, DWORD reserved, LPWSTR class_name,
                                        DWORD options, REGSAM sam, void* security, PHKEY result,
                                        LPDWORD disposition);
// Reads a value (null or empty name: the key's default value). With `data` null only *type and
// *data_size are filled. ERROR_MORE_DATA (and the size needed in *data_size) when the buffer is too
// small; ERROR_FILE_NOT_FOUND for a missing value or a key deleted since it was opened.
QF_EXTERN_C LONG WINAPI RegQueryValueExW(HKEY key, LPCWSTR value_name, LPDWORD reserved, LPDWORD type,
                                         LPBYTE data, LPDWORD data_size);
// Writes a value of `type` (REG_SZ data is UTF-16 including its terminator; REG_DWORD is 4 bytes).
QF_EXTERN_C LONG WINAPI RegSetValueExW(HKEY key, LPCWSTR value_name, DWORD reserved, DWORD type,
                                       const BYTE* data, DWORD data_size);
QF_EXTERN_C LONG WINAPI RegDeleteValueW(HKEY key, LPCWSTR value_name);
// Deletes `sub_key` with all of its subkeys and values.
QF_EXTERN_C LONG WINAPI RegDeleteKeyW(HKEY key, LPCWSTR sub_key);
// Enumerates subkey names (index from 0); ERROR_NO_MORE_ITEMS past the last. *name_size is in characters.
QF_EXTERN_C LONG WINAPI RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_size, LPDWORD reserved,
                                      LPWSTR class_name, LPDWORD class_size, FILETIME* last_write);
// Enumerates values in name order; ERROR_NO_MORE_ITEMS past the last.
QF_EXTERN_C LONG WINAPI RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_size, LPDWORD reserved,
                                      LPDWORD type, LPBYTE data, LPDWORD data_size);
// Releases a handle from RegOpenKeyExW or RegCreateKeyExW; the predefined roots are ignored.
QF_EXTERN_C LONG WINAPI RegCloseKey(HKEY key);
