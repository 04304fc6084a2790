#include <algorithm>
#include <utility>
#include <vector>

#include "system/handle_table.h"
#include "system/mutex_ownership.h"
#include "system/object_names.h"
#include "system/process_lock.h"
#include "win/sync.h"

using namespace qf::device;

namespace {

class MutexObject;

// The mutexes the calling thread owns, so that they can be abandoned when it ends.
class OwnedMutexes {
  public:
    ~OwnedMutexes() { AbandonMutexesOfThisThread(); }
    std::vector<std::weak_ptr<MutexObject>> list;
};

thread_local OwnedMutexes owned_by_this_thread;

// A mutex: an owner thread with a recursion count, and for a named mutex the process lock that other
// processes of the device see. All state is guarded by KernelLock().
class MutexObject : public KernelObject, public std::enable_shared_from_this<MutexObject> {
  public:
    explicit MutexObject(std::optional<ProcessLock> process_lock) : process_lock_(std::move(process_lock)) {}

    AcquireResult TryAcquire(DWORD thread) override {
        if (owner_ == thread) {
            ++count_;
            return AcquireResult::kAcquired;
        }
        if (owner_ != 0) return AcquireResult::kBusy;
        if (process_lock_) {
            AcquireResult process = process_lock_->TryLock();
            if (process != AcquireResult::kAcquired) return process;
        }
        owner_ = thread;
        count_ = 1;
        owned_by_this_thread.list.push_back(weak_from_this());
        bool was_abandoned = std::exchange(abandoned_, false);
        return was_abandoned ? AcquireResult::kAbandoned : AcquireResult::kAcquired;
    }

    void UndoAcquire(DWORD, AcquireResult taken) override {
        if (--count_ > 0) return;
        Free();
        abandoned_ = taken == AcquireResult::kAbandoned;
    }

    // False when `thread` does not own the mutex.
    bool Release(DWORD thread) {
        if (owner_ != thread || count_ == 0) return false;
        if (--count_ == 0) Free();
        return true;
    }

    // The ending owner `thread` lets go of every level at once.
    void Abandon(DWORD thread) {
        if (owner_ != thread) return;
        count_ = 0;
        Free();
        abandoned_ = true;
    }

  private:
    void Free() {
        owner_ = 0;
        if (process_lock_) process_lock_->Unlock();
        auto& list = owned_by_this_thread.list;
        std::erase_if(list, [this](const std::weak_ptr<MutexObject>& entry) {
            auto locked = entry.lock();
            return !locked || locked.get() == this;
        });
    }

    std::optional<ProcessLock> process_lock_;
    DWORD owner_ = 0;  // 0: free
    int count_ = 0;
    bool abandoned_ = false;
};

}  // namespace

void qf::device::AbandonMutexesOfThisThread() {
    DWORD thread = GetCurrentThreadId();
    bool any = false;
    {
        std::lock_guard lock(KernelLock());
        // Abandon() edits the list, so walk a copy.
        std::vector<std::weak_ptr<MutexObject>> owned = owned_by_this_thread.list;
        for (const auto& entry : owned) {
            if (auto mutex = entry.lock()) {
                mutex->Abandon(thread);
                any = true;
            }
        }
        owned_by_this_thread.list.clear();
    }
    if (any) KernelStateChanged().notify_all();
}

QF_EXTERN_C HANDLE WINAPI CreateMutexW(void* security, BOOL initial_owner, LPCWSTR name) {
    if (security != nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<MutexObject> mutex;
    if (name == nullptr || *name == u'\0') {
        mutex = std::make_shared<MutexObject>(std::nullopt);
        SetLastError(ERROR_SUCCESS);
    } else {
        mutex = FindOrCreateNamed<MutexObject>(name, [name]() -> std::shared_ptr<MutexObject> {
            auto process_lock = ProcessLock::ForName(name);
            if (!process_lock) return nullptr;
            return std::make_shared<MutexObject>(std::move(process_lock));
        });
        if (!mutex) return nullptr;
    }
    DWORD creation_error = GetLastError();
    // A mutex that already existed is not taken, as on the device. One held by another process
    // existed there, so it is not taken either.
    if (initial_owner && creation_error != ERROR_ALREADY_EXISTS) {
        std::lock_guard lock(KernelLock());
        mutex->TryAcquire(GetCurrentThreadId());
    }
    SetLastError(creation_error);
    return AddHandle(mutex);
}

QF_EXTERN_C BOOL WINAPI ReleaseMutex(HANDLE handle) {
    auto mutex = FindHandleOf<MutexObject>(handle);
    if (!mutex) return FailWith(ERROR_INVALID_HANDLE);
    {
        std::lock_guard lock(KernelLock());
        if (!mutex->Release(GetCurrentThreadId())) return FailWith(ERROR_NOT_OWNER);
    }
    KernelStateChanged().notify_all();
    return TRUE;
}
