// The objects behind HANDLEs (threads, events, mutexes) and what waiting on them means.
//
// The state of every waitable object is guarded by one process-wide lock, and every change that can end
// a wait is announced on one condition variable. A wait on several objects of different kinds then
// needs no bookkeeping per object, and taking all of them at once is simple: with the lock held, try
// each and give back what was taken if one is not ready.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "win/types.h"

namespace qf::device {

// The lock that guards the state of every kernel object.
std::mutex& KernelLock();
// Waits sleep on this; whoever changes a state that can end a wait calls notify_all() (the lock may be
// held or not).
std::condition_variable& KernelStateChanged();

enum class AcquireResult {
    kAcquired,
    kAbandoned,      // acquired a mutex whose owner ended without releasing it
    kBusy,           // not signalled; a state change in this process will be announced
    kBusyElsewhere,  // held by another process: nothing announces its release, so keep polling
    kFailed,         // cannot ever be acquired (the host refused the lock file)
};

class KernelObject {
  public:
    virtual ~KernelObject() = default;
    // KernelLock held. Takes the object for the calling thread `thread` when it is signalled: an
    // auto-reset event resets, a mutex gains an owner or a recursion level; threads and manual-reset
    // events stay signalled.
    virtual AcquireResult TryAcquire(DWORD thread) = 0;
    // KernelLock held. Gives back exactly what TryAcquire took with result `taken`.
    virtual void UndoAcquire(DWORD thread, AcquireResult taken) = 0;
};

}  // namespace qf::device
