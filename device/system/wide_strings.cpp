#include "system/case_fold.h"
#include "windows.h"

namespace {

int Sign(int difference) { return (difference > 0) - (difference < 0); }

// Compares two zero-terminated strings unit by unit after `map`; a null string sorts before any other.
template <typename Map>
int CompareWith(LPCWSTR a, LPCWSTR b, Map map) {
    if (a == nullptr || b == nullptr) return Sign((a != nullptr) - (b != nullptr));
    for (;; ++a, ++b) {
        int difference = static_cast<int>(map(*a)) - static_cast<int>(map(*b));
        if (difference != 0 || *a == 0) return Sign(difference);
    }
}

}  // namespace

QF_EXTERN_C int WINAPI lstrlenW(LPCWSTR s) {
    if (s == nullptr) return 0;
    return static_cast<int>(std::char_traits<char16_t>::length(s));
}

QF_EXTERN_C int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b) {
    return CompareWith(a, b, [](char16_t c) { return c; });
}

QF_EXTERN_C int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b) {
    return CompareWith(a, b, [](char16_t c) { return qf::device::FoldCase(c); });
}
