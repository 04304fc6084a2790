#include "windows.h"

namespace {

// Each thread keeps its own code, as on the device: a failure on the download thread must not
// overwrite what the user-interface thread is about to read.
thread_local DWORD last_error = ERROR_SUCCESS;

}  // namespace

QF_EXTERN_C DWORD WINAPI GetLastError() { return last_error; }

QF_EXTERN_C void WINAPI SetLastError(DWORD code) { last_error = code; }
