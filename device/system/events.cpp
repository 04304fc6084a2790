#include "system/handle_table.h"
#include "system/object_names.h"
#include "win/sync.h"

using namespace qf::device;

namespace {

enum class ResetMode { kManual, kAuto };

// State guarded by KernelLock().
class EventObject : public KernelObject {
  public:
    EventObject(ResetMode mode, bool signalled) : mode_(mode), signalled_(signalled) {}

    AcquireResult TryAcquire(DWORD) override {
        if (!signalled_) return AcquireResult::kBusy;
        if (mode_ == ResetMode::kAuto) signalled_ = false;
        return AcquireResult::kAcquired;
    }

    void UndoAcquire(DWORD, AcquireResult) override {
        if (mode_ == ResetMode::kAuto) signalled_ = true;
    }

    void Set(bool signalled) { signalled_ = signalled; }

  private:
    const ResetMode mode_;
    bool signalled_;
};

BOOL SetState(HANDLE handle, bool signalled) {
    auto event = FindHandleOf<EventObject>(handle);
    if (!event) return FailWith(ERROR_INVALID_HANDLE);
    {
        std::lock_guard lock(KernelLock());
        event->Set(signalled);
    }
    if (signalled) KernelStateChanged().notify_all();
    return TRUE;
}

}  // namespace

QF_EXTERN_C HANDLE WINAPI CreateEventW(void* security, BOOL manual_reset, BOOL initial_state, LPCWSTR name) {
    if (security != nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto create = [&] {
        return std::make_shared<EventObject>(manual_reset ? ResetMode::kManual : ResetMode::kAuto,
                                             initial_state != FALSE);
    };
    std::shared_ptr<EventObject> event;
    if (name == nullptr || *name == u'\0') {
        event = create();
        SetLastError(ERROR_SUCCESS);
    } else {
        // An existing event keeps its mode and state, as on the device.
        event = FindOrCreateNamed<EventObject>(name, create);
        if (!event) return nullptr;
    }
    DWORD error = GetLastError();
    HANDLE handle = AddHandle(event);
    SetLastError(error);
    return handle;
}

QF_EXTERN_C BOOL WINAPI SetEvent(HANDLE event) { return SetState(event, true); }

QF_EXTERN_C BOOL WINAPI ResetEvent(HANDLE event) { return SetState(event, false); }
