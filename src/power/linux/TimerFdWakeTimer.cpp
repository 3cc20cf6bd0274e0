#include "linux/TimerFdWakeTimer.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace zembra {

namespace {

// Absolute arming, and a jump of the real-time clock ends the wait with ECANCELED. Disarming
// uses the same flags so that clock changes are still reported while nothing is armed: the
// schedule may have a pending alarm again after the clock was set back.
constexpr int kSetFlags = TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET;

// The kernel keeps time in signed 64-bit nanoseconds, which run out in 2262 and are refused
// (EINVAL) near that end. A moment beyond 2200-01-01 UTC is armed for that day instead: it
// cannot come while this program runs, and a refused arming would be reported as a fault.
constexpr long long kLatestSeconds = 7'258'118'400;

// What failed, in words, and the system's reason; these texts reach the user's dialogs.
std::string ErrnoText(const char* what, int error)
{
    return std::string(what) + ": " + std::strerror(error);
}

bool WakeAlarmDisabledByEnvironment()
{
    const char* value = std::getenv("ZEMBRA_NO_WAKE_ALARM");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

// The running executable, for the setcap advice.
std::string ExecutablePath()
{
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return "<path of the program>";
    }
    return std::string(buffer, static_cast<std::size_t>(length));
}

} // namespace

std::string ShellQuoted(const std::string& path)
{
    bool plain = !path.empty();
    for (const char c : path) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                          || c == '/' || c == '.' || c == '_' || c == '-' || c == '+';
        plain = plain && safe;
    }
    if (plain) {
        return path;
    }
    std::string quoted = "'";
    for (const char c : path) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

bool HasWakeCapableRtc(const std::string& rtcClassDir)
{
    // A real-time clock that can wake the machine offers a "wakealarm" file; the alarm timers
    // of the kernel program the first such clock before the machine sleeps.
    DIR* dir = ::opendir(rtcClassDir.c_str());
    if (dir == nullptr) {
        return false;
    }
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const std::string wakealarm = rtcClassDir + "/" + entry->d_name + "/wakealarm";
        if (::access(wakealarm.c_str(), F_OK) == 0) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

WakeCapability ClassifyWakeCapability(const WakeProbe& probe)
{
    using Kind = WakeCapability::Kind;
    WakeCapability capability;
    if (probe.disabledByEnvironment) {
        capability.kind = Kind::Disabled;
        capability.reason = "ZEMBRA_NO_WAKE_ALARM is set, so the timer does not wake the computer "
                            "from sleep";
        capability.remedy = "unset ZEMBRA_NO_WAKE_ALARM and start the program again";
        return capability;
    }
    // Without a clock that can wake the machine, no permission helps: say so rather than send
    // the user off to grant one.
    if (!probe.wakeCapableRtc) {
        capability.kind = Kind::NoWakeClock;
        capability.reason = "this machine has no real-time clock that can wake it (nothing in "
                            "/sys/class/rtc offers a wake alarm), so the timer cannot wake the "
                            "computer from sleep";
        capability.remedy = "alarms ring while the computer is awake; alarms passed during sleep "
                            "ring when it wakes";
        return capability;
    }
    if (probe.alarmClockCreated) {
        return WakeCapability::Granted();
    }
    if (probe.alarmError == EPERM) {
        capability.kind = Kind::NoPermission;
        capability.command = "sudo setcap cap_wake_alarm+ep " + ShellQuoted(probe.executablePath);
        capability.reason = "the program lacks the CAP_WAKE_ALARM capability, so the timer cannot "
                            "wake the computer from sleep";
        capability.remedy = "run: " + capability.command + " and start the program again";
        return capability;
    }
    capability.kind = Kind::NoWakeClock;
    capability.reason = "the kernel offers no wake-up alarm clock ("
                        + std::string(std::strerror(probe.alarmError))
                        + "), so the timer cannot wake the computer from sleep";
    capability.remedy = "use a kernel with alarm timers (CONFIG_RTC_CLASS)";
    return capability;
}

TimerFdWakeTimer::~TimerFdWakeTimer()
{
    if (const int fd = m_timerFd.load(); fd >= 0) {
        ::close(fd);
    }
    if (const int fd = m_eventFd.load(); fd >= 0) {
        ::close(fd);
    }
}

bool TimerFdWakeTimer::Create()
{
    if (m_timerFd.load() >= 0) {
        return true;
    }

    if (m_eventFd.load() < 0) {
        const int eventFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (eventFd < 0) {
            SetError(ErrnoText("the wake-up timer could not be created", errno));
            return false;
        }
        m_eventFd.store(eventFd);
    }

    const bool disabledByEnvironment = WakeAlarmDisabledByEnvironment();
    int clockId = CLOCK_REALTIME_ALARM;
    int alarmError = 0;
    int timerFd = -1;
    if (!disabledByEnvironment) {
        timerFd = ::timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC | TFD_NONBLOCK);
        if (timerFd < 0) {
            alarmError = errno;
        }
    }
    if (timerFd < 0) {
        clockId = CLOCK_REALTIME;
        timerFd = ::timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC | TFD_NONBLOCK);
        if (timerFd < 0) {
            SetError(ErrnoText("the wake-up timer could not be created", errno));
            return false;
        }
    }

    // Subscribe to clock changes from the start, before the first arming.
    const itimerspec idle{};
    if (::timerfd_settime(timerFd, kSetFlags, &idle, nullptr) != 0) {
        SetError(ErrnoText("the wake-up timer could not be prepared", errno));
        ::close(timerFd);
        return false;
    }

    {
        const std::lock_guard lock(m_infoMutex);
        WakeProbe probe;
        probe.disabledByEnvironment = disabledByEnvironment;
        probe.alarmClockCreated = clockId == CLOCK_REALTIME_ALARM;
        probe.alarmError = alarmError;
        probe.wakeCapableRtc = HasWakeCapableRtc("/sys/class/rtc");
        probe.executablePath = ExecutablePath();
        m_capability = ClassifyWakeCapability(probe);
    }
    m_clockId.store(clockId);
    m_timerFd.store(timerFd);
    return true;
}

bool TimerFdWakeTimer::SetTime(long long seconds, long nanoseconds, const char* what)
{
    const int fd = m_timerFd.load();
    if (fd < 0) {
        SetError(std::string(what) + ": it has not been created");
        return false;
    }
    itimerspec value{};
    value.it_value.tv_sec = static_cast<time_t>(seconds);
    value.it_value.tv_nsec = nanoseconds;
    if (::timerfd_settime(fd, kSetFlags, &value, nullptr) == 0) {
        return true;
    }
    // Kernels of one era answered ECANCELED when the clock had been set since the previous
    // arming, without arming. That news is stale for a caller who is arming anew, and the
    // failed call has taken the note, so the second attempt goes through.
    if (errno == ECANCELED && ::timerfd_settime(fd, kSetFlags, &value, nullptr) == 0) {
        return true;
    }
    SetError(ErrnoText(what, errno));
    return false;
}

bool TimerFdWakeTimer::Arm(FileTime dueUtc)
{
    // it_value of zero would disarm. A moment at or before the Unix epoch is long past, so the
    // first nanosecond after the epoch makes the timer come due at once just the same.
    long long seconds = 0;
    long nanoseconds = 1;
    if (dueUtc > kUnixEpochTicks) {
        const FileTime sinceEpoch = dueUtc - kUnixEpochTicks;
        seconds = sinceEpoch / kTicksPerSecond;
        nanoseconds = static_cast<long>(sinceEpoch % kTicksPerSecond) * 100;
        if (seconds >= kLatestSeconds) {
            seconds = kLatestSeconds;
            nanoseconds = 0;
        }
        if (seconds == 0 && nanoseconds == 0) {
            nanoseconds = 1;
        }
    }
    return SetTime(seconds, nanoseconds, "the wake-up timer could not be set");
}

bool TimerFdWakeTimer::Cancel()
{
    return SetTime(0, 0, "the wake-up timer could not be canceled");
}

IWakeTimer::WaitResult TimerFdWakeTimer::Wait()
{
    const int timerFd = m_timerFd.load();
    const int eventFd = m_eventFd.load();
    if (timerFd < 0 || eventFd < 0) {
        SetError("cannot wait for the wake-up timer: it has not been created");
        return WaitResult::Failed;
    }
    for (;;) {
        if (m_interruptRequested.exchange(false)) {
            DrainInterrupts();
            return WaitResult::Interrupted;
        }
        pollfd fds[2] = {{timerFd, POLLIN, 0}, {eventFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            SetError(ErrnoText("waiting for the wake-up timer failed", errno));
            return WaitResult::Failed;
        }
        // The expiry first: an interruption that arrives together with it stays pending for
        // the next call, while an expiry left unread could be reset by a re-arming and lost.
        if ((fds[0].revents & POLLIN) != 0) {
            std::uint64_t expirations = 0;
            const ssize_t got = ::read(timerFd, &expirations, sizeof expirations);
            if (got == static_cast<ssize_t>(sizeof expirations)) {
                return WaitResult::Expired;
            }
            if (got < 0 && errno == ECANCELED) {
                return WaitResult::ClockChanged;
            }
            // A concurrent Arm or Cancel reset the expiry between poll and read.
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            SetError(got < 0 ? ErrnoText("the wake-up timer could not be read", errno)
                             : std::string("the wake-up timer gave an incomplete answer"));
            return WaitResult::Failed;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            m_interruptRequested.store(false);
            DrainInterrupts();
            return WaitResult::Interrupted;
        }
        if (((fds[0].revents | fds[1].revents) & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            SetError("waiting for the wake-up timer failed: the timer reported an error");
            return WaitResult::Failed;
        }
    }
}

void TimerFdWakeTimer::Interrupt()
{
    m_interruptRequested.store(true);
    if (const int fd = m_eventFd.load(); fd >= 0) {
        const std::uint64_t one = 1;
        // Only a counter at its maximum refuses, and then the wait is woken already.
        [[maybe_unused]] const ssize_t written = ::write(fd, &one, sizeof one);
    }
}

void TimerFdWakeTimer::DrainInterrupts()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(m_eventFd.load(), &count, sizeof count);
}

WakeCapability TimerFdWakeTimer::Capability() const
{
    const std::lock_guard lock(m_infoMutex);
    if (m_timerFd.load() < 0) {
        WakeCapability capability;
        capability.reason = m_lastError.empty()
                                ? std::string("the wake timer has not been created")
                                : "the wake timer could not be created (" + m_lastError + ")";
        return capability;
    }
    return m_capability;
}

std::string TimerFdWakeTimer::LastError() const
{
    const std::lock_guard lock(m_infoMutex);
    return m_lastError;
}

void TimerFdWakeTimer::SetError(std::string error)
{
    const std::lock_guard lock(m_infoMutex);
    m_lastError = std::move(error);
}

} // namespace zembra
