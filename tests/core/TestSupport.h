#pragma once

// Helpers shared by the core tests: a scoped time zone, short ways to write moments and alarms,
// and a temporary folder.

#include "model/CAlarm.h"
#include "time/ZTime.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

namespace zembra::test {

// Switches the process's zone for the lifetime of the object, restoring the one before.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(std::string zone)
    {
        if (const char* old = std::getenv("TZ")) {
            m_old = old;
        }
#ifdef _WIN32
        // Windows knows zones by keys of its own, and its time code takes TZ as such a key.
        for (const auto& [name, key] :
             {std::pair{"Europe/Warsaw", "Central European Standard Time"},
              std::pair{"America/New_York", "Eastern Standard Time"},
              std::pair{"Australia/Lord_Howe", "Lord Howe Standard Time"}}) {
            zone = zone == name ? key : zone;
        }
#endif
        Set(zone);
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;
    ~ScopedTimeZone()
    {
        Set(m_old);
    }

private:
    static void Set(const std::optional<std::string>& value)
    {
#ifdef _WIN32
        _putenv_s("TZ", value ? value->c_str() : ""); // an empty value removes it
#else
        if (value) {
            setenv("TZ", value->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
#endif
        ReloadTimeZone();
    }

    std::optional<std::string> m_old;
};

inline SystemTime St(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                     int ms = 0)
{
    const auto field = [](int value) { return static_cast<std::uint16_t>(value); };
    SystemTime st{field(year),   field(month),  0,        field(day), field(hour),
                  field(minute), field(second), field(ms)};
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
    return LocalSystemTimeToUtc(local).value(); // throws for a moment that does not exist
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

// An alarm with no actions at a local wall-clock moment.
inline std::unique_ptr<CAlarm> NewAlarm(const char* frequency, const SystemTime& local,
                                        const char* type = kTypeWakeup, bool active = true)
{
    auto alarm = std::make_unique<CAlarm>();
    alarm->m_strFrequency = frequency;
    alarm->m_strType = type;
    alarm->m_time = local;
    alarm->m_bActive = active;
    return alarm;
}

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path()
                 / ("zembra-test-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    // A copy of a file of tests/data that the test may change.
    std::string Copy(const std::string& dataName) const
    {
        std::string target = File(dataName);
        std::filesystem::copy_file(std::string(ZEMBRA_TEST_DATA_DIR) + "/" + dataName, target);
        return target;
    }
    std::size_t EntryCount() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(m_path),
                                                      std::filesystem::directory_iterator()));
    }

private:
    std::filesystem::path m_path;
};

// The whole file; empty when it cannot be read.
inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

} // namespace zembra::test
