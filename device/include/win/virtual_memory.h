// Reserving and committing pages of the process's address space. On the host, committed ranges of 2 MB
// and more ask for transparent huge pages: a large block then costs a few page faults instead of one per
// 4 KB page (which dominates building a big tree on a virtual machine).
#pragma once

#include <cstddef>

#include "win/types.h"

using SIZE_T = std::size_t;

#define MEM_COMMIT 0x1000
#define MEM_RESERVE 0x2000
#define MEM_RELEASE 0x8000
#define PAGE_NOACCESS 0x01
#define PAGE_READWRITE 0x04

// Any thread. MEM_RESERVE (address null) reserves `size` bytes of address space without memory;
// MEM_COMMIT makes pages of a reserved range at `address` usable (zero-filled when first touched); both
// together reserve and commit at once. `protect` is PAGE_READWRITE for a commit, or PAGE_NOACCESS for a
// reservation alone. The base address of the range (rounded to pages), or null with the last error
// ERROR_INVALID_PARAMETER or ERROR_NOT_ENOUGH_MEMORY. The caller owns a reservation until VirtualFree.
QF_EXTERN_C LPVOID WINAPI VirtualAlloc(LPVOID address, SIZE_T size, DWORD type, DWORD protect);
// Any thread. MEM_RELEASE (size 0) gives back the whole reservation that VirtualAlloc returned at
// `address`; FALSE with ERROR_INVALID_PARAMETER for anything else.
QF_EXTERN_C BOOL WINAPI VirtualFree(LPVOID address, SIZE_T size, DWORD type);
