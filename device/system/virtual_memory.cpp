// VirtualAlloc and VirtualFree on mmap: a reservation is an inaccessible mapping, a commit makes part of
// it readable and writable.
#include <sys/mman.h>
#include <unistd.h>

#include <map>
#include <mutex>

#include "windows.h"

namespace {

constexpr size_t kHugePageBytes = size_t{2} << 20;

// The reservations made here (base -> bytes), so that MEM_RELEASE can unmap them whole and commits can
// be checked against them.
struct Reservations {
    std::mutex mutex;
    std::map<std::uintptr_t, size_t> bytes_at;
};

Reservations& TheReservations() {
    static Reservations* reservations = new Reservations;  // used until the process ends
    return *reservations;
}

size_t PageBytes() {
    static const size_t bytes = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return bytes;
}

// Whether [begin, begin + size) lies inside one reservation.
bool InsideReservation(std::uintptr_t begin, size_t size) {
    Reservations& reservations = TheReservations();
    std::lock_guard lock(reservations.mutex);
    auto after = reservations.bytes_at.upper_bound(begin);
    if (after == reservations.bytes_at.begin()) return false;
    const auto& [base, bytes] = *std::prev(after);
    return begin + size >= begin && begin + size <= base + bytes;
}

LPVOID Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

LPVOID Reserve(SIZE_T size, int protection) {
    void* base = mmap(nullptr, size, protection, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    Reservations& reservations = TheReservations();
    std::lock_guard lock(reservations.mutex);
    reservations.bytes_at[reinterpret_cast<std::uintptr_t>(base)] = size;
    return base;
}

void AskForHugePages(void* base, size_t size) {
    // Only a hint: the kernel may not have huge pages to give.
    if (size >= kHugePageBytes) madvise(base, size, MADV_HUGEPAGE);
}

}  // namespace

QF_EXTERN_C LPVOID WINAPI VirtualAlloc(LPVOID address, SIZE_T size, DWORD type, DWORD protect) {
    const bool reserve = (type & MEM_RESERVE) != 0, commit = (type & MEM_COMMIT) != 0;
    if (size == 0 || (type & ~(MEM_RESERVE | MEM_COMMIT)) != 0 || (!reserve && !commit) ||
        (protect != PAGE_READWRITE && !(protect == PAGE_NOACCESS && !commit)))
        return Fail(ERROR_INVALID_PARAMETER);
    if (reserve) {
        if (address != nullptr) return Fail(ERROR_INVALID_PARAMETER);
        LPVOID base = Reserve(size, commit ? PROT_READ | PROT_WRITE : PROT_NONE);
        if (base != nullptr && commit) AskForHugePages(base, size);
        return base;
    }
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(address) & ~(PageBytes() - 1);
    const size_t bytes = reinterpret_cast<std::uintptr_t>(address) + size - begin;
    if (address == nullptr || !InsideReservation(begin, bytes)) return Fail(ERROR_INVALID_PARAMETER);
    void* base = reinterpret_cast<void*>(begin);
    if (mprotect(base, bytes, PROT_READ | PROT_WRITE) != 0) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    AskForHugePages(base, bytes);
    return base;
}

QF_EXTERN_C BOOL WINAPI VirtualFree(LPVOID address, SIZE_T size, DWORD type) {
    const auto begin = reinterpret_cast<std::uintptr_t>(address);
    if (type == MEM_RELEASE && size == 0) {
        Reservations& reservations = TheReservations();
        std::lock_guard lock(reservations.mutex);
        const auto found = reservations.bytes_at.find(begin);
        if (found == reservations.bytes_at.end()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        munmap(address, found->second);
        reservations.bytes_at.erase(found);
        return TRUE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}
