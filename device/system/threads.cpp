#include <pthread.h>
#include <unistd.h>

#include <atomic>

#include "system/handle_table.h"
#include "system/mutex_ownership.h"
#include "system/win32_result.h"
#include "win/sync.h"

using namespace qf::device;

namespace {

// Identifiers are handed out once per thread and never reused within the process.
std::atomic<DWORD> next_thread_id{0x100};
thread_local DWORD current_thread_id = 0;

class ThreadObject : public KernelObject {
  public:
    explicit ThreadObject(DWORD id) : id_(id) {}

    DWORD id() const { return id_; }

    // Any thread. STILL_ACTIVE while the thread runs.
    DWORD ExitCode() {
        std::lock_guard lock(KernelLock());
        return finished_ ? exit_code_ : STILL_ACTIVE;
    }

    // The ending thread itself.
    void Finish(DWORD exit_code) {
        {
            std::lock_guard lock(KernelLock());
            exit_code_ = exit_code;
            finished_ = true;
        }
        KernelStateChanged().notify_all();
    }

    AcquireResult TryAcquire(DWORD) override {
        return finished_ ? AcquireResult::kAcquired : AcquireResult::kBusy;
    }
    void UndoAcquire(DWORD, AcquireResult) override {}

  private:
    const DWORD id_;
    bool finished_ = false;  // guarded by KernelLock()
    DWORD exit_code_ = 0;    // guarded by KernelLock()
};

struct ThreadStart {
    std::shared_ptr<ThreadObject> thread;  // keeps the object alive while the thread runs
    LPTHREAD_START_ROUTINE start;
    LPVOID parameter;
};

void* RunThread(void* raw) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(raw));
    current_thread_id = start->thread->id();
    DWORD exit_code = start->start(start->parameter);
    // As on the device, mutexes the thread still owns are abandoned by the time its handle signals.
    AbandonMutexesOfThisThread();
    start->thread->Finish(exit_code);
    return nullptr;
}

}  // namespace

QF_EXTERN_C DWORD WINAPI GetCurrentThreadId() {
    if (current_thread_id == 0) current_thread_id = next_thread_id++;
    return current_thread_id;
}

QF_EXTERN_C DWORD WINAPI GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }

// The requested stack size is not used: the host's default stack is larger than any the device gives.
QF_EXTERN_C HANDLE WINAPI CreateThread(void* security, DWORD, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                                       DWORD flags, LPDWORD thread_id) {
    if (security != nullptr || start == nullptr || (flags & CREATE_SUSPENDED) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto thread = std::make_shared<ThreadObject>(next_thread_id++);
    auto run = std::make_unique<ThreadStart>(ThreadStart{thread, start, parameter});
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t host_thread;
    int error = pthread_create(&host_thread, &attributes, RunThread, run.get());
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    run.release();  // now owned by the new thread
    if (thread_id != nullptr) *thread_id = thread->id();
    return AddHandle(thread);
}

QF_EXTERN_C BOOL WINAPI GetExitCodeThread(HANDLE handle, LPDWORD exit_code) {
    if (exit_code == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    auto thread = FindHandleOf<ThreadObject>(handle);
    if (!thread) return FailWith(ERROR_INVALID_HANDLE);
    *exit_code = thread->ExitCode();
    return TRUE;
}
