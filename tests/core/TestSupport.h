#pragma once

// Helpers shared by the core tests: a scoped time zone and short ways to write moments.

#include "time/ZTime.h"

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace zembra::test {

#ifdef _WIN32
// Windows knows zones by keys of its own, and its time code takes TZ as such a key.
inline std::string SystemZoneName(const std::string& zone)
{
    static const std::pair<const char*, const char*> kKeys[] = {
        {"UTC", "UTC"},
        {"Europe/Warsaw", "Central European Standard Time"},
        {"America/New_York", "Eastern Standard Time"},
        {"Australia/Lord_Howe", "Lord Howe Standard Time"},
    };
    for (const auto& [name, key] : kKeys) {
        if (zone == name) {
            return key;
        }
    }
    return zone;
}
inline void SetZoneVariable(const std::optional<std::string>& value)
{
    _putenv_s("TZ", value ? value->c_str() : ""); // an empty value removes it
}
#else
inline std::string SystemZoneName(const std::string& zone)
{
    return zone;
}
inline void SetZoneVariable(const std::optional<std::string>& value)
{
    if (value) {
        setenv("TZ", value->c_str(), 1);
    } else {
        unsetenv("TZ");
    }
}
#endif

// Switches the process's zone for the lifetime of the object, restoring the one before.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) {
            m_old = old;
        }
        SetZoneVariable(SystemZoneName(zone));
        ReloadTimeZone();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;
    ~ScopedTimeZone()
    {
        SetZoneVariable(m_old);
        ReloadTimeZone();
    }

private:
    std::optional<std::string> m_old;
};

inline SystemTime St(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                     int ms = 0)
{
    SystemTime st;
    st.wYear = static_cast<std::uint16_t>(year);
    st.wMonth = static_cast<std::uint16_t>(month);
    st.wDay = static_cast<std::uint16_t>(day);
    st.wHour = static_cast<std::uint16_t>(hour);
    st.wMinute = static_cast<std::uint16_t>(minute);
    st.wSecond = static_cast<std::uint16_t>(second);
    st.wMilliseconds = static_cast<std::uint16_t>(ms);
    FileTime ft = 0;
    if (SystemTimeToFileTime(st, ft)) {
        FileTimeToSystemTime(ft, st); // fills in the day of week
    }
    return st;
}

inline FileTime Ft(const SystemTime& st)
{
    FileTime ft = 0;
    if (!SystemTimeToFileTime(st, ft)) {
        throw std::invalid_argument("not a valid moment");
    }
    return ft;
}

// A local wall-clock moment as a UTC file time / as a UTC broken-down time.
inline FileTime LocalFt(const SystemTime& local)
{
    const auto utc = LocalSystemTimeToUtc(local);
    if (!utc) {
        throw std::invalid_argument("not a valid local moment");
    }
    return *utc;
}

inline SystemTime LocalAsUtcSt(const SystemTime& local)
{
    SystemTime st;
    FileTimeToSystemTime(LocalFt(local), st);
    return st;
}

inline std::string Iso(const SystemTime& st)
{
    return FormatIso(st, false);
}

} // namespace zembra::test
