#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "support/temp_device.h"
#include "support/watchdog.h"
#include "windows.h"

using namespace std::chrono_literals;

namespace {

// Owns a HANDLE for one test.
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

HANDLE NewEvent(BOOL manual_reset, BOOL initially_set, LPCWSTR name = nullptr) {
    return CreateEventW(nullptr, manual_reset, initially_set, name);
}

bool Signalled(HANDLE object) { return WaitForSingleObject(object, 0) == WAIT_OBJECT_0; }

// Runs `body` on a device thread and answers its handle.
template <typename Body>
HANDLE StartThread(Body* body, DWORD* thread_id = nullptr) {
    return CreateThread(
        nullptr, 0, [](LPVOID parameter) -> DWORD { return (*static_cast<Body*>(parameter))(); }, body, 0,
        thread_id);
}

TEST(Threads, HandleSignalsAndExitCodeAppearWhenTheThreadEndsAndWhatCannotBeDoneIsRefused) {
    qf::test::Watchdog watchdog(10s, "thread end");
    Handle go(NewEvent(TRUE, FALSE));
    std::atomic<DWORD> id_inside{0};
    auto body = [&]() -> DWORD {
        id_inside = GetCurrentThreadId();
        WaitForSingleObject(go.get(), INFINITE);
        return 42;
    };
    DWORD id = 0;
    Handle thread(StartThread(&body, &id));
    ASSERT_NE(thread.get(), nullptr);
    DWORD exit_code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread.get(), &exit_code));
    EXPECT_EQ(exit_code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 10), WAIT_TIMEOUT);

    SetEvent(go.get());
    EXPECT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0);  // stays signalled
    ASSERT_TRUE(GetExitCodeThread(thread.get(), &exit_code));
    EXPECT_EQ(std::pair(exit_code, id_inside.load()), std::pair(DWORD{42}, id));
    EXPECT_NE(id, GetCurrentThreadId());

    // What the device cannot do is refused; handles of other kinds are no threads.
    auto no_op = [](LPVOID) -> DWORD { return 0; };
    SetLastError(0);
    EXPECT_EQ(CreateThread(nullptr, 0, no_op, nullptr, CREATE_SUSPENDED, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);

    HANDLE event = NewEvent(FALSE, FALSE);
    EXPECT_FALSE(GetExitCodeThread(event, &exit_code));
    EXPECT_TRUE(CloseHandle(event));
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
}

TEST(Events, AutoResetLetsOneWaitThroughPerSetAndNamesAreSharedWithoutCase) {
    // Each step's action, then two waits (braces keep the waits in order).
    Handle automatic(NewEvent(FALSE, TRUE)), manual(NewEvent(TRUE, FALSE));
    auto waits = [](HANDLE event) { return std::pair{Signalled(event), Signalled(event)}; };
    EXPECT_EQ(waits(automatic.get()), std::pair(true, false));
    SetEvent(automatic.get());
    SetEvent(automatic.get());  // setting twice still lets only one through
    EXPECT_EQ(waits(automatic.get()), std::pair(true, false));
    EXPECT_FALSE(Signalled(manual.get()));
    SetEvent(manual.get());
    EXPECT_EQ(waits(manual.get()), std::pair(true, true));
    ResetEvent(manual.get());
    EXPECT_FALSE(Signalled(manual.get()));

    // Names are shared within the process without regard to case.
    Handle first(NewEvent(TRUE, FALSE, u"QuillfeedReload"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    Handle second(NewEvent(FALSE, TRUE, u"QUILLFEEDRELOAD"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_NE(second.get(), first.get());
    EXPECT_FALSE(Signalled(second.get()));  // the existing event keeps its state and mode
    SetEvent(first.get());
    EXPECT_EQ(waits(second.get()), std::pair(true, true));

    EXPECT_EQ(CreateMutexW(nullptr, FALSE, u"quillfeedreload"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Events, EverySetWakesExactlyOneBlockedWaiter) {
    qf::test::Watchdog watchdog(20s, "auto-reset event waiters");
    constexpr int kWaiters = 4;
    constexpr int kRounds = 200;
    Handle work(NewEvent(FALSE, FALSE));
    Handle done(NewEvent(FALSE, FALSE));
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < kWaiters; ++i) {
        waiters.emplace_back([&] {
            for (int round = 0; round < kRounds; ++round) {
                WaitForSingleObject(work.get(), INFINITE);
                ++woken;
                SetEvent(done.get());
            }
        });
    }
    for (int i = 0; i < kWaiters * kRounds; ++i) {
        SetEvent(work.get());
        ASSERT_EQ(WaitForSingleObject(done.get(), INFINITE), WAIT_OBJECT_0);
        EXPECT_EQ(woken.load(), i + 1);
    }
    for (auto& waiter : waiters) waiter.join();
}

TEST(Waits, AllTakesEveryObjectOrNoneAndAnyTakesTheFirstOnly) {
    qf::test::Watchdog watchdog(10s, "wait for all");
    Handle ready(NewEvent(FALSE, TRUE)), later(NewEvent(FALSE, FALSE));
    Handle mutex(CreateMutexW(nullptr, FALSE, nullptr));
    const HANDLE objects[] = {ready.get(), mutex.get(), later.get()};
    EXPECT_EQ(WaitForMultipleObjects(3, objects, TRUE, 0), WAIT_TIMEOUT);
    // Nothing was kept: the auto-reset event is still set and the mutex is free for another thread.
    std::thread other([&] { EXPECT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0); });
    other.join();  // ends as owner: the mutex is now abandoned
    EXPECT_TRUE(Signalled(ready.get()));
    SetEvent(ready.get());

    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        SetEvent(later.get());
    });
    EXPECT_EQ(WaitForMultipleObjects(3, objects, TRUE, INFINITE), WAIT_ABANDONED + 1);
    setter.join();
    EXPECT_FALSE(Signalled(ready.get()) || Signalled(later.get()));
    EXPECT_TRUE(ReleaseMutex(mutex.get()));

    const HANDLE unknown[] = {ready.get(), reinterpret_cast<HANDLE>(0x7FFFFFF0)};
    EXPECT_EQ(WaitForMultipleObjects(2, unknown, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    // Waiting for any takes the first signalled object only.
    Handle any0(NewEvent(FALSE, FALSE)), any1(NewEvent(FALSE, TRUE)), any2(NewEvent(FALSE, TRUE));
    const HANDLE first_of[] = {any0.get(), any1.get(), any2.get()};
    std::vector<DWORD> taken;
    for (int i = 0; i < 3; ++i) taken.push_back(WaitForMultipleObjects(3, first_of, FALSE, 0));
    EXPECT_EQ(taken, (std::vector<DWORD>{WAIT_OBJECT_0 + 1, WAIT_OBJECT_0 + 2, WAIT_TIMEOUT}));
}

TEST(Mutexes, OwnerMayTakeItAgainAndMustReleaseAsOftenAndNamesAreShared) {
    qf::test::Watchdog watchdog(10s, "mutex recursion");
    Handle mutex(CreateMutexW(nullptr, TRUE, nullptr));
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(mutex.get(), INFINITE), WAIT_OBJECT_0);
    auto other_thread_wait = [&](DWORD timeout_ms) {
        DWORD result = 0;
        std::thread other([&] {
            result = WaitForSingleObject(mutex.get(), timeout_ms);
            if (result == WAIT_OBJECT_0) ReleaseMutex(mutex.get());
            SetLastError(0);
            EXPECT_FALSE(ReleaseMutex(mutex.get()));
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
        });
        other.join();
        return result;
    };
    EXPECT_EQ(other_thread_wait(30), WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(mutex.get()) && ReleaseMutex(mutex.get()));
    EXPECT_EQ(other_thread_wait(0), WAIT_TIMEOUT);  // still held once
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
    EXPECT_FALSE(ReleaseMutex(mutex.get()));
    EXPECT_EQ(other_thread_wait(0), WAIT_OBJECT_0);

    // A second creation of a named mutex shares it without taking it again: one release frees it.
    qf::test::TempDevice device;
    Handle first(CreateMutexW(nullptr, TRUE, u"QuillfeedDBMutex"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    Handle second(CreateMutexW(nullptr, TRUE, u"quillfeeddbmutex"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(ReleaseMutex(second.get()));
    EXPECT_FALSE(ReleaseMutex(first.get()));
}

TEST(Mutexes, AThreadThatEndsOwningItAbandonsIt) {
    qf::test::Watchdog watchdog(10s, "abandoned mutex");
    Handle mutex(CreateMutexW(nullptr, FALSE, nullptr));
    auto take_and_leave = [&]() -> DWORD {
        WaitForSingleObject(mutex.get(), INFINITE);
        WaitForSingleObject(mutex.get(), INFINITE);
        return 0;
    };
    Handle thread(StartThread(&take_and_leave));
    ASSERT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_ABANDONED);
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
    EXPECT_FALSE(ReleaseMutex(mutex.get()));  // abandonment dropped both levels
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
}

// Forks a child that runs `child` and exits with its result; never returns in the child.
template <typename Child>
pid_t Fork(Child child) {
    pid_t pid = ::fork();
    if (pid == 0) ::_exit(child());
    return pid;
}

int ExitStatus(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(Mutexes, NamedMutexSerialisesProcesses) {
    qf::test::TempDevice device;
    constexpr int kRounds = 200;
    const auto counter = device.HostPath("counter");
    std::ofstream(counter) << 0;
    auto increment_under_mutex = [&] {
        HANDLE mutex = CreateMutexW(nullptr, FALSE, u"QuillfeedDBMutex");
        for (int i = 0; i < kRounds; ++i) {
            if (WaitForSingleObject(mutex, INFINITE) != WAIT_OBJECT_0) return 1;
            int value = 0;
            std::ifstream(counter) >> value;
            std::ofstream(counter) << value + 1;
            if (!ReleaseMutex(mutex)) return 2;
        }
        return 0;
    };
    qf::test::Watchdog watchdog(60s, "processes sharing a named mutex");
    pid_t first = Fork(increment_under_mutex), second = Fork(increment_under_mutex);
    ASSERT_TRUE(first > 0 && second > 0);
    EXPECT_EQ(std::pair(ExitStatus(first), ExitStatus(second)), std::pair(0, 0));
    int total = 0;
    std::ifstream(counter) >> total;
    EXPECT_EQ(total, 2 * kRounds);
}

TEST(Mutexes, AKilledOwnerProcessLeavesTheNamedMutexFree) {
    qf::test::TempDevice device;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = Fork([&] {
        HANDLE mutex = CreateMutexW(nullptr, FALSE, u"QuillfeedDBMutex");
        if (WaitForSingleObject(mutex, INFINITE) != WAIT_OBJECT_0) return 1;
        char held = 'h';
        if (::write(ready[1], &held, 1) != 1) return 2;
        for (;;) ::pause();
    });
    ASSERT_GT(child, 0);
    qf::test::Watchdog watchdog(30s, "named mutex after a killed owner");
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);

    Handle mutex(CreateMutexW(nullptr, FALSE, u"QUILLFEEDDBMUTEX"));
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 50), WAIT_TIMEOUT);
    ::kill(child, SIGKILL);
    EXPECT_EQ(ExitStatus(child), 128 + SIGKILL);
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 10'000), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
}

}  // namespace
