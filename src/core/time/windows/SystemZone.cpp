// Local time on Windows. The system keeps one zone for the whole machine; TZ overrides it for
// this process when it names one of the system's zones by its key ("Central European Standard
// Time", as listed under HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Time Zones), which
// is how a script or a test picks the zone, as TZ does elsewhere. Other TZ values (the C
// runtime's "CET-1CEST" or a tz database name) are left to the system's zone.
//
// Each instant is converted with the rules of its own year (GetTimeZoneInformationForYear, the
// zone's "dynamic" rules), never with the bias in force today: FileTimeToLocalFileTime would
// put 12:00 of a July day in Warsaw at 11:00 UTC when asked in winter. That is what
// SystemTimeToTzSpecificLocalTimeEx does; it is done here in its two steps because Wine, which
// runs the tests, lacks the combined call. Only this direction is asked of the system: local
// time to UTC is worked out from these offsets by the shared code, so that a time in a gap or
// an overlap is settled by the same rule on every system.

#include "time/SystemZone.h"

#include "time/ZTime.h"

#include <windows.h>

#include <map>
#include <mutex>
#include <optional>

namespace zembra::detail {

namespace {

struct Zone {
    DYNAMIC_TIME_ZONE_INFORMATION dynamic{};
    // A zone without a key has no year-by-year rules, and its one rule serves every year.
    // Wine gives such a zone when none of its own matches the host's (Lord Howe's half-hour
    // daylight saving, for one).
    bool named = false;
};

std::mutex g_zoneMutex;
std::optional<Zone> g_zone;                        // guarded by g_zoneMutex
std::map<unsigned, TIME_ZONE_INFORMATION> g_years; // rules per year, guarded by g_zoneMutex

std::optional<DYNAMIC_TIME_ZONE_INFORMATION> ZoneNamedByEnvironment()
{
    wchar_t name[128];
    const DWORD length = ::GetEnvironmentVariableW(L"TZ", name, 128);
    if (length == 0 || length >= 128) {
        return std::nullopt;
    }
    for (DWORD index = 0;; ++index) {
        DYNAMIC_TIME_ZONE_INFORMATION candidate{};
        if (::EnumDynamicTimeZoneInformation(index, &candidate) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        if (::_wcsicmp(candidate.TimeZoneKeyName, name) == 0) {
            return candidate;
        }
    }
}

Zone LoadZone()
{
    Zone zone;
    if (const auto named = ZoneNamedByEnvironment()) {
        zone.dynamic = *named;
        zone.named = true;
        return zone;
    }
    if (::GetDynamicTimeZoneInformation(&zone.dynamic) == TIME_ZONE_ID_INVALID) {
        zone.dynamic = {}; // no zone at all: UTC
    }
    zone.named = zone.dynamic.TimeZoneKeyName[0] != L'\0';
    return zone;
}

TIME_ZONE_INFORMATION FixedRules(const DYNAMIC_TIME_ZONE_INFORMATION& dynamic)
{
    TIME_ZONE_INFORMATION rules{};
    rules.Bias = dynamic.Bias;
    ::wcscpy_s(rules.StandardName, dynamic.StandardName);
    rules.StandardDate = dynamic.StandardDate;
    rules.StandardBias = dynamic.StandardBias;
    ::wcscpy_s(rules.DaylightName, dynamic.DaylightName);
    rules.DaylightDate = dynamic.DaylightDate;
    rules.DaylightBias = dynamic.DaylightBias;
    return rules;
}

// The zone's rules for one year; the registry is read once per year and zone.
TIME_ZONE_INFORMATION RulesForYear(unsigned year)
{
    const std::lock_guard lock(g_zoneMutex);
    if (!g_zone) {
        g_zone = LoadZone();
        g_years.clear();
    }
    if (const auto found = g_years.find(year); found != g_years.end()) {
        return found->second;
    }
    TIME_ZONE_INFORMATION rules{};
    if (!g_zone->named
        || !::GetTimeZoneInformationForYear(static_cast<USHORT>(year), &g_zone->dynamic, &rules)) {
        rules = FixedRules(g_zone->dynamic);
    }
    g_years.emplace(year, rules);
    return rules;
}

bool ToLocal(const SYSTEMTIME& utc, unsigned year, SYSTEMTIME& local)
{
    TIME_ZONE_INFORMATION rules = RulesForYear(year);
    return ::SystemTimeToTzSpecificLocalTime(&rules, &utc, &local) != FALSE;
}

std::int64_t Ticks(const SYSTEMTIME& st)
{
    FILETIME ft{};
    ::SystemTimeToFileTime(&st, &ft);
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32)
                                     | ft.dwLowDateTime);
}

} // namespace

long SystemUtcOffsetSeconds(std::int64_t unixSeconds)
{
    const std::int64_t ticks = kUnixEpochTicks + unixSeconds * kTicksPerSecond;
    if (ticks < 0) {
        return 0;
    }
    FILETIME ft{};
    ft.dwLowDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32);
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!::FileTimeToSystemTime(&ft, &utc) || !ToLocal(utc, utc.wYear, local)) {
        return 0;
    }
    // Near New Year the instant lies in another local year, whose rules are the ones in force.
    if (local.wYear != utc.wYear) {
        SYSTEMTIME other{};
        if (ToLocal(utc, local.wYear, other) && other.wYear == local.wYear) {
            local = other;
        }
    }
    return static_cast<long>((Ticks(local) - Ticks(utc)) / kTicksPerSecond);
}

void SystemReloadTimeZone()
{
    const std::lock_guard lock(g_zoneMutex);
    g_zone.reset();
    g_years.clear();
}

} // namespace zembra::detail
