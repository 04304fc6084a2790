// Threads, events and named mutexes. Handles come from a process-wide table and are released with
// CloseHandle; an object lives until its last handle is closed (a thread also until it ends).
#pragma once

#include "win/base.h"

using LPTHREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID parameter);

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define STILL_ACTIVE 0x00000103u
#define MAXIMUM_WAIT_OBJECTS 64
#define CREATE_SUSPENDED 0x00000004

// Any thread. Starts `start(parameter)` on a new thread; the handle is signalled when it returns.
// `security` must be null; CREATE_SUSPENDED is not supported (null, ERROR_INVALID_PARAMETER). The stack
// size is not used (host threads get the host's larger default).
QF_EXTERN_C HANDLE WINAPI CreateThread(void* security, DWORD stack_size, LPTHREAD_START_ROUTINE start,
                                       LPVOID parameter, DWORD flags, LPDWORD thread_id);
// Any thread. The thread's result, or STILL_ACTIVE while it runs.
QF_EXTERN_C BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exit_code);
// Any thread. An identifier of the calling thread, unique in the process while it lives.
QF_EXTERN_C DWORD WINAPI GetCurrentThreadId();
// Any thread. Identifier of the calling process (the host pid).
QF_EXTERN_C DWORD WINAPI GetCurrentProcessId();
// Any thread. Releases a handle of any kind of this header; FALSE for an unknown handle.
QF_EXTERN_C BOOL WINAPI CloseHandle(HANDLE object);

// Any thread. An event, manual-reset or auto-reset (a wait that sees it signalled resets it). A named
// event is shared within the process (ERROR_ALREADY_EXISTS when it existed).
QF_EXTERN_C HANDLE WINAPI CreateEventW(void* security, BOOL manual_reset, BOOL initial_state, LPCWSTR name);
QF_EXTERN_C BOOL WINAPI SetEvent(HANDLE event);
QF_EXTERN_C BOOL WINAPI ResetEvent(HANDLE event);

// Any thread. A mutex; a named one is shared by every thread and process of the device (last error
// ERROR_ALREADY_EXISTS when it existed in this process). The owning thread may take it again and must
// release it as often. A mutex held by a process that dies is free again; one still owned by a thread
// that ends is abandoned (its next owner's wait answers WAIT_ABANDONED + index). `initial_owner` takes
// only a mutex new to this process, and not when another process holds it.
QF_EXTERN_C HANDLE WINAPI CreateMutexW(void* security, BOOL initial_owner, LPCWSTR name);
// Any thread. FALSE (ERROR_NOT_OWNER) when the calling thread does not own the mutex.
QF_EXTERN_C BOOL WINAPI ReleaseMutex(HANDLE mutex);

// Any thread. Waits until the object is signalled (thread ended, event set, mutex acquired) or
// `timeout_ms` of host time passed: WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED (bad handle).
QF_EXTERN_C DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD timeout_ms);
// Any thread. Waits for one (wait_all FALSE: answers WAIT_OBJECT_0 + index of the first signalled) or all
// of `count` objects.
QF_EXTERN_C DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL wait_all,
                                                DWORD timeout_ms);
