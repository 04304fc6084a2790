#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include "system/handle_table.h"
#include "system/win32_result.h"
#include "win/sync.h"

using namespace qf::device;
using SteadyClock = std::chrono::steady_clock;

namespace {

// How often a wait looks again at a mutex that another process holds: nothing tells this process when
// the other one lets go.
constexpr auto kCrossProcessPoll = std::chrono::milliseconds(5);

using Objects = std::vector<std::shared_ptr<KernelObject>>;

// KernelLock held. Takes the first signalled object; its WAIT_ code, or nullopt when none is.
std::optional<DWORD> TryAny(const Objects& objects, DWORD thread, bool& poll) {
    for (DWORD i = 0; i < objects.size(); ++i) {
        switch (objects[i]->TryAcquire(thread)) {
            case AcquireResult::kAcquired:
                return WAIT_OBJECT_0 + i;
            case AcquireResult::kAbandoned:
                return WAIT_ABANDONED + i;
            case AcquireResult::kBusyElsewhere:
                poll = true;
                break;
            case AcquireResult::kFailed:
                SetLastError(ERROR_ACCESS_DENIED);
                return WAIT_FAILED;
            case AcquireResult::kBusy:
                break;
        }
    }
    return std::nullopt;
}

// KernelLock held. Takes every object or none.
std::optional<DWORD> TryAll(const Objects& objects, DWORD thread, bool& poll) {
    std::vector<AcquireResult> taken;
    for (const auto& object : objects) {
        AcquireResult result = object->TryAcquire(thread);
        if (result == AcquireResult::kAcquired || result == AcquireResult::kAbandoned) {
            taken.push_back(result);
            continue;
        }
        for (size_t i = taken.size(); i-- > 0;) objects[i]->UndoAcquire(thread, taken[i]);
        if (result == AcquireResult::kFailed) {
            SetLastError(ERROR_ACCESS_DENIED);
            return WAIT_FAILED;
        }
        poll = poll || result == AcquireResult::kBusyElsewhere;
        return std::nullopt;
    }
    auto abandoned = std::find(taken.begin(), taken.end(), AcquireResult::kAbandoned);
    if (abandoned != taken.end()) return WAIT_ABANDONED + static_cast<DWORD>(abandoned - taken.begin());
    return WAIT_OBJECT_0;
}

DWORD Wait(const HANDLE* handles, DWORD count, bool wait_all, DWORD timeout_ms) {
    if (handles == nullptr || count == 0 || count > MAXIMUM_WAIT_OBJECTS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    Objects objects;  // declared before the lock so that the objects outlive it
    for (DWORD i = 0; i < count; ++i) {
        objects.push_back(FindHandle(handles[i]));
        if (!objects.back()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
    }
    if (wait_all) {
        Objects sorted = objects;
        std::sort(sorted.begin(), sorted.end());
        if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
            SetLastError(ERROR_INVALID_PARAMETER);  // one object twice, as the device refuses
            return WAIT_FAILED;
        }
    }
    const DWORD thread = GetCurrentThreadId();
    const bool forever = timeout_ms == INFINITE;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(forever ? 0 : timeout_ms);
    std::unique_lock lock(KernelLock());
    for (;;) {
        bool poll = false;
        std::optional<DWORD> result =
            wait_all ? TryAll(objects, thread, poll) : TryAny(objects, thread, poll);
        if (result) return *result;
        auto now = SteadyClock::now();
        if (!forever && now >= deadline) return WAIT_TIMEOUT;
        if (forever && !poll) {
            KernelStateChanged().wait(lock);
        } else {
            auto until = forever ? now + kCrossProcessPoll : deadline;
            if (poll) until = std::min(until, now + kCrossProcessPoll);
            KernelStateChanged().wait_until(lock, until);
        }
    }
}

}  // namespace

QF_EXTERN_C DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD timeout_ms) {
    return Wait(&object, 1, false, timeout_ms);
}

QF_EXTERN_C DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL wait_all,
                                                DWORD timeout_ms) {
    return Wait(objects, count, wait_all != FALSE, timeout_ms);
}
