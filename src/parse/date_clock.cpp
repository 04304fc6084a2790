// The current time from the device clock, as GMT, and the clock-based numbers.
#include <atomic>

#include "parse/dates.h"

namespace qf {
namespace {

LONG ZoneBiasMinutes() {
    TIME_ZONE_INFORMATION zone{};
    GetTimeZoneInformation(&zone);
    return zone.Bias;
}

SYSTEMTIME LocalSystemTime() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return local;
}

}  // namespace

DateTime NowLocal() { return DateTime::FromSystemTime(LocalSystemTime()); }

DateTime NowGmt() { return NowLocal().AddSeconds(std::int64_t{ZoneBiasMinutes()} * 60); }

DATE NowGmtOle() {
    const SYSTEMTIME local = LocalSystemTime();
    DATE now = 0;
    SystemTimeToVariantTime(&local, &now);
    return now + ZoneBiasMinutes() / 1440.0;
}

SYSTEMTIME NowGmtSystemTime() {
    SYSTEMTIME gmt{};
    if (!VariantTimeToSystemTime(NowGmtOle(), &gmt)) GetSystemTime(&gmt);
    return gmt;
}

int SecondsSince2001() {
    const SYSTEMTIME local = LocalSystemTime();
    const SYSTEMTIME start{2001, 1, 1, 1, 0, 0, 0, 0};
    DATE now = 0;
    DATE since = 0;
    SystemTimeToVariantTime(&local, &now);
    SystemTimeToVariantTime(&start, &since);
    // The small addend keeps a whole second from truncating to the one before through rounding.
    return static_cast<int>((now - since) * 86400.0 + 0.000005787037037037037);
}

int UniqueNumber() {
    // Atomic only to keep the sanitizers quiet; the download run calls this from one thread.
    static std::atomic<int> counter{0};
    return SecondsSince2001() + counter.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace qf
