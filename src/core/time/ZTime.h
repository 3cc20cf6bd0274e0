#pragma once

// Broken-down times and 64-bit file times, and the conversions between local time and UTC.
//
// All arithmetic is done on file times: 100-ns ticks since 1601-01-01 00:00 UTC, held in a
// signed 64-bit integer so that differences and comparisons are plain signed arithmetic.
// Local time <-> UTC uses the zone rules in force at the instant converted (the process's zone,
// TZ where set), so a local wall-clock time keeps its meaning across daylight-saving changes.

#include <cstdint>
#include <optional>
#include <string>

namespace zembra {

// Eight unsigned 16-bit fields, in the order of the established record.
struct SystemTime {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;
    std::uint16_t wDayOfWeek = 0; // 0 = Sunday .. 6 = Saturday
    std::uint16_t wDay = 0;
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;

    friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

using FileTime = std::int64_t;

inline constexpr FileTime kTicksPerMillisecond = 10'000;
inline constexpr FileTime kTicksPerSecond = 10'000'000;
inline constexpr FileTime kTicksPerMinute = 600'000'000;
inline constexpr FileTime kTicksPerHour = 36'000'000'000;
inline constexpr FileTime kTicksPerDay = 864'000'000'000;
inline constexpr FileTime kTicksPerWeek = 6'048'000'000'000;

// Ticks between 1601-01-01 and the Unix epoch 1970-01-01.
inline constexpr FileTime kUnixEpochTicks = 116'444'736'000'000'000;

inline constexpr std::uint16_t kMinYear = 1601;
inline constexpr std::uint16_t kMaxYear = 30827;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Fails (returns false, leaves `out` alone) when the record names a moment that does not exist:
// year outside 1601-30827, month outside 1-12, day beyond its month, hour > 23, minute or
// second > 59, milliseconds > 999. The day of week is ignored.
bool SystemTimeToFileTime(const SystemTime& st, FileTime& out);

// Breaks a file time down, computing the day of week. Fails for negative values and for values
// beyond the last representable year.
bool FileTimeToSystemTime(FileTime ft, SystemTime& out);

// The zone-independent calendar: days since 1601-01-01 for a date and back.
std::int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(std::int64_t days, int& year, int& month, int& day);
int DayOfWeekFromDays(std::int64_t days); // 0 = Sunday

// The present moment in UTC.
FileTime GetSystemTimeAsFileTime();
SystemTime GetSystemTime();

// UTC -> local wall clock, with the offset in force at that instant.
bool FileTimeToLocalFileTime(FileTime utc, FileTime& local);
// Local wall clock -> UTC, with the offset in force at the instant that wall-clock time names.
// A time in a spring gap is taken with the offset before the gap (02:30 becomes 03:30); a time
// that occurs twice in autumn is taken as the first of the two.
bool LocalFileTimeToFileTime(FileTime local, FileTime& utc);

// Offset of local time from UTC, in seconds, in force at the given UTC instant.
long UtcOffsetSecondsAt(FileTime utc);

// Re-reads the process's time zone (after TZ changed).
void ReloadTimeZone();

// Convenience: a broken-down local time to UTC ticks and back; nullopt when invalid.
std::optional<FileTime> LocalSystemTimeToUtc(const SystemTime& local);
std::optional<SystemTime> UtcToLocalSystemTime(FileTime utc);

// ISO 8601 texts: "2026-03-30T07:00:00.000" (local, no suffix) or with a trailing "Z" (UTC).
std::string FormatIso(const SystemTime& st, bool utcSuffix);

// Parses "YYYY-MM-DDTHH:MM[:SS[.mmm]]" with an optional trailing "Z". Returns the broken-down
// time as written and whether it was marked UTC; nullopt when the text is malformed or names a
// moment that does not exist.
struct ParsedTime {
    SystemTime time;
    bool utc = false;
};
std::optional<ParsedTime> ParseIso(const std::string& text);

} // namespace zembra
