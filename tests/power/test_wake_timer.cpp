// The wake timer and its waiting thread.
//
// The timerfd back end and CPower on top of it are run against the kernel with short real
// delays: what is under test is that the kernel timer comes due when armed, stays silent when
// not, and that its expiry reaches the receiver with the right token. Above the timer, a fake
// IWakeTimer scripts what the kernel cannot be made to do on demand (a refused timer, failing
// waits, a change of the system clock, which a test must never make), and there no test
// pauses: every wait ends on an event the test watches for.

#include "CPower.h"
#include "linux/TimerFdWakeTimer.h"
#include "time/ZTime.h"

#include <QCoreApplication>
#include <QDir>
#include <QObject>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>
#include <future>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

using namespace zembra;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using WaitResult = IWakeTimer::WaitResult;

namespace {

// Long enough for a loaded machine (or a sanitizer build) to deliver an expiry that is due.
constexpr auto kPromptly = 3s;

FileTime Now()
{
    return GetSystemTimeAsFileTime();
}

FileTime Milliseconds(std::int64_t ms)
{
    return ms * kTicksPerMillisecond;
}

QString Text(const std::string& s)
{
    return QString::fromStdString(s);
}

const char* ResultName(WaitResult result)
{
    switch (result) {
    case WaitResult::Expired:
        return "Expired";
    case WaitResult::ClockChanged:
        return "ClockChanged";
    case WaitResult::Interrupted:
        return "Interrupted";
    case WaitResult::Failed:
        return "Failed";
    }
    return "?";
}

} // namespace

// Readable failure messages for QCOMPARE, found through the type's namespace.
namespace zembra {
char* toString(const IWakeTimer::WaitResult& result)
{
    return qstrdup(ResultName(result));
}
char* toString(const std::optional<IWakeTimer::WaitResult>& result)
{
    return qstrdup(result ? ResultName(*result) : "still waiting");
}
char* toString(const WakeEvent::Kind& kind)
{
    switch (kind) {
    case WakeEvent::Kind::Expired:
        return qstrdup("Expired");
    case WakeEvent::Kind::ClockChanged:
        return qstrdup("ClockChanged");
    case WakeEvent::Kind::WaitFailed:
        return qstrdup("WaitFailed");
    }
    return qstrdup("?");
}
} // namespace zembra

namespace {

// Runs one Wait() and gives it `limit` to end; nullopt when it was still blocked then (it is
// interrupted, so that the thread can be joined).
std::optional<WaitResult> WaitWithin(IWakeTimer& timer, Clock::duration limit)
{
    auto waiting = std::async(std::launch::async, [&timer] { return timer.Wait(); });
    if (waiting.wait_for(limit) == std::future_status::ready) {
        return waiting.get();
    }
    timer.Interrupt();
    const WaitResult result = waiting.get();
    if (result == WaitResult::Interrupted) {
        return std::nullopt;
    }
    return result;
}

int OpenDescriptorCount()
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    return static_cast<int>(fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}

bool HasWakeAlarmCapability()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) {
        return false;
    }
    return (data[CAP_TO_INDEX(CAP_WAKE_ALARM)].effective & CAP_TO_MASK(CAP_WAKE_ALARM)) != 0;
}

bool DropWakeAlarmCapability()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) {
        return false;
    }
    data[CAP_TO_INDEX(CAP_WAKE_ALARM)].effective &= ~CAP_TO_MASK(CAP_WAKE_ALARM);
    return ::syscall(SYS_capset, &header, data) == 0;
}

// Sets or removes ZEMBRA_NO_WAKE_ALARM for one scope.
class PlainClockScope {
public:
    explicit PlainClockScope(bool plain)
        : m_had(qEnvironmentVariableIsSet("ZEMBRA_NO_WAKE_ALARM"))
        , m_old(qgetenv("ZEMBRA_NO_WAKE_ALARM"))
    {
        if (plain) {
            qputenv("ZEMBRA_NO_WAKE_ALARM", "1");
        } else {
            qunsetenv("ZEMBRA_NO_WAKE_ALARM");
        }
    }
    PlainClockScope(const PlainClockScope&) = delete;
    PlainClockScope& operator=(const PlainClockScope&) = delete;
    ~PlainClockScope()
    {
        if (m_had) {
            qputenv("ZEMBRA_NO_WAKE_ALARM", m_old);
        } else {
            qunsetenv("ZEMBRA_NO_WAKE_ALARM");
        }
    }

private:
    bool m_had;
    QByteArray m_old;
};

// What a receiver got, when, and on which thread. Declared before the CPower in each test, so
// that it outlives the waiting thread.
class EventLog {
public:
    struct Entry {
        WakeEvent event;
        FileTime receivedUtc = 0;
        std::thread::id thread;
    };

    CPower::Receiver Receiver()
    {
        return [this](const WakeEvent& event) { Add(event); };
    }

    void Add(const WakeEvent& event)
    {
        const std::lock_guard lock(m_mutex);
        m_entries.push_back({event, Now(), std::this_thread::get_id()});
        m_changed.notify_all();
    }

    bool WaitForCount(std::size_t count, Clock::duration limit)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] { return m_entries.size() >= count; });
    }

    std::vector<Entry> Entries() const
    {
        const std::lock_guard lock(m_mutex);
        return m_entries;
    }

    std::size_t Count() const
    {
        const std::lock_guard lock(m_mutex);
        return m_entries.size();
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Entry> m_entries;
};

// Passes everything to the real timer and counts the waits that began and ended, so that a
// test can tell when the waiting thread has dealt with an expiry even if nobody received it.
class CountingTimer final : public IWakeTimer {
public:
    struct Counts {
        std::mutex mutex;
        std::condition_variable changed;
        int waitsStarted = 0;
        std::vector<WaitResult> results;

        bool WaitFor(const std::function<bool()>& done, Clock::duration limit)
        {
            std::unique_lock lock(mutex);
            return changed.wait_for(lock, limit, done);
        }
    };

    explicit CountingTimer(std::shared_ptr<Counts> counts)
        : m_counts(std::move(counts))
    {
    }

    bool Create() override { return m_real.Create(); }
    bool Arm(FileTime dueUtc) override { return m_real.Arm(dueUtc); }
    bool Cancel() override { return m_real.Cancel(); }
    WaitResult Wait() override
    {
        {
            const std::lock_guard lock(m_counts->mutex);
            ++m_counts->waitsStarted;
            m_counts->changed.notify_all();
        }
        const WaitResult result = m_real.Wait();
        const std::lock_guard lock(m_counts->mutex);
        m_counts->results.push_back(result);
        m_counts->changed.notify_all();
        return result;
    }
    void Interrupt() override { m_real.Interrupt(); }
    WakeCapability Capability() const override { return m_real.Capability(); }
    std::string LastError() const override { return m_real.LastError(); }

private:
    TimerFdWakeTimer m_real;
    std::shared_ptr<Counts> m_counts;
};

// A scripted timer. Its state is shared with the test, so that it can still be read after the
// CPower that owns the timer is gone.
class FakeWakeTimer final : public IWakeTimer {
public:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;

        bool createSucceeds = true;
        bool armSucceeds = true;
        bool failEveryWait = false;
        std::deque<WaitResult> script;
        bool interruptPending = false;

        int createCalls = 0;
        int armCalls = 0;
        int cancelCalls = 0;
        int waitCalls = 0;
        int activeWaits = 0;
        int maxActiveWaits = 0;
        int interruptedReturns = 0;
        std::vector<Clock::time_point> createTimes;
        std::vector<Clock::time_point> waitTimes;
        std::string lastError;

        bool WaitFor(const std::function<bool()>& done, Clock::duration limit)
        {
            std::unique_lock lock(mutex);
            return changed.wait_for(lock, limit, done);
        }
        void Push(WaitResult result)
        {
            const std::lock_guard lock(mutex);
            script.push_back(result);
            changed.notify_all();
        }
        template <typename F> auto With(F f)
        {
            const std::lock_guard lock(mutex);
            return f();
        }
    };

    explicit FakeWakeTimer(std::shared_ptr<State> state)
        : m_state(std::move(state))
    {
    }

    bool Create() override
    {
        const std::lock_guard lock(m_state->mutex);
        ++m_state->createCalls;
        m_state->createTimes.push_back(Clock::now());
        m_state->changed.notify_all();
        if (!m_state->createSucceeds) {
            m_state->lastError = "fake: the timer is refused";
        }
        return m_state->createSucceeds;
    }
    bool Arm(FileTime) override
    {
        const std::lock_guard lock(m_state->mutex);
        ++m_state->armCalls;
        if (!m_state->armSucceeds) {
            m_state->lastError = "fake: arming refused";
        }
        return m_state->armSucceeds;
    }
    bool Cancel() override
    {
        const std::lock_guard lock(m_state->mutex);
        ++m_state->cancelCalls;
        return true;
    }
    WaitResult Wait() override
    {
        std::unique_lock lock(m_state->mutex);
        ++m_state->waitCalls;
        m_state->waitTimes.push_back(Clock::now());
        ++m_state->activeWaits;
        m_state->maxActiveWaits = std::max(m_state->maxActiveWaits, m_state->activeWaits);
        m_state->changed.notify_all();
        m_state->changed.wait(lock, [this] {
            return m_state->interruptPending || m_state->failEveryWait || !m_state->script.empty();
        });
        --m_state->activeWaits;
        m_state->changed.notify_all();
        if (m_state->interruptPending) {
            m_state->interruptPending = false;
            ++m_state->interruptedReturns;
            return WaitResult::Interrupted;
        }
        if (m_state->failEveryWait) {
            m_state->lastError = "fake: the wait failed";
            return WaitResult::Failed;
        }
        const WaitResult result = m_state->script.front();
        m_state->script.pop_front();
        if (result == WaitResult::Failed) {
            m_state->lastError = "fake: the wait failed";
        }
        return result;
    }
    void Interrupt() override
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->interruptPending = true;
        m_state->changed.notify_all();
    }
    WakeCapability Capability() const override { return {}; }
    std::string LastError() const override
    {
        const std::lock_guard lock(m_state->mutex);
        return m_state->lastError;
    }

private:
    std::shared_ptr<State> m_state;
};

} // namespace

// A Qt receiver declared the way the application's own classes are: inside the namespace,
// naming the event type without qualification.
namespace zembra {
class NamespacedWakeReceiver : public QObject {
    Q_OBJECT
public:
    struct Entry {
        WakeEvent event;
        QThread* thread = nullptr;
    };

    std::vector<Entry> Entries() const
    {
        const std::lock_guard lock(m_mutex);
        return m_entries;
    }
    std::size_t Count() const
    {
        const std::lock_guard lock(m_mutex);
        return m_entries.size();
    }

public Q_SLOTS:
    void onWake(const WakeEvent& event)
    {
        const std::lock_guard lock(m_mutex);
        m_entries.push_back({event, QThread::currentThread()});
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;
};
} // namespace zembra

// The same from outside the namespace, registered with the SLOT() macro.
class QualifiedWakeReceiver : public QObject {
    Q_OBJECT
public:
    int count = 0;
    std::uint64_t lastToken = 0;

public Q_SLOTS:
    void handleWake(const zembra::WakeEvent& event)
    {
        ++count;
        lastToken = event.token;
    }
    void unrelated(int) {}
};

class TestWakeTimer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    // The timerfd back end on its own.
    void timerBeforeCreate_refusesAndSaysWhy();
    void timerCreatedTwice_keepsItsDescriptorsAndClosesThem();
    void timerArmedForPassedMoment_expiresAtOnce();
    void timerArmedAtOrBeforeUnixEpoch_expiresAtOnce();
    void timerArmedForFarFuture_isAcceptedAndStaysSilent();
    void timerAfterExpiry_staysSilentUntilArmedAgain();
    void timerArmedTwice_comesDueOnlyAtSecondMoment();
    void timerCancelledBeforeDue_staysSilent();
    void timerInterruptedBeforeWait_endsNextWaitOnly();
    void timerCapability_matchesProcessCapability();
    void timerWithoutWakeCapability_fallsBackAndAdvisesSetcap();
    void timerWithEnvironmentSwitch_usesPlainClock();

    // CPower over the real timer.
    void powerPassedMoment_deliversAtOnceWithTokenAndMoment();
    void powerArmedTwice_deliversOnlySecondArming();
    void powerRearmedJustBeforeExpiry_deliversLatestToken();
    void powerCancelAfterExpiry_doesNotRecallDeliveredEvent();
    void powerCancelBeforeDue_deliversNothing();
    void powerAfterExpiry_silentUntilArmedAgain();
    void powerWithoutReceiver_dropsExpiry();
    void powerCallbackReceiver_runsOnWaitingThread();
    void powerQtReceiver_deliversOnReceiverThread();
    void powerQtReceiver_acceptsSlotMacroOnMainThread();
    void powerQtReceiver_deletedBeforeDelivery_dropsEvent();
    void powerQtReceiver_withoutMatchingSlot_isRefused();

    // CPower over the scripted timer.
    void fakeInitTwice_startsOneThreadAndCreatesOnce();
    void fakeSetWakeTimerBeforeInit_failsButKeepsToken();
    void fakeArmRefused_keepsTokenAndClearsTimer();
    void fakeCreateFails_reportsOnceAndBacksOffThenRecovers();
    void fakeRepeatedWaitFailures_reportedOnceUntilAWaitSucceeds();
    void fakeClockChanged_passedOnAndTimerStaysArmed();
    void fakeClockChangeAfterArmedMoment_deliversExpiryFirst();
    void fakeExpiryOfReplacedArming_isDropped();
    void fakeExpiryAfterCancel_isDropped();
    void fakeSecondExpiryWithoutArming_isDropped();
    void fakeDestructor_joinsPromptlyWhileBlocked();
    void fakeDestructor_joinsPromptlyWhileBackingOff();
};

void TestWakeTimer::initTestCase()
{
    qRegisterMetaType<zembra::WakeEvent>();
}

// ---------------------------------------------------------------------------------------------
// The timerfd back end

void TestWakeTimer::timerBeforeCreate_refusesAndSaysWhy()
{
    TimerFdWakeTimer timer;
    QVERIFY(!timer.Arm(Now()));
    QVERIFY2(timer.LastError().find("timerfd_settime") != std::string::npos,
             timer.LastError().c_str());
    QVERIFY(!timer.Cancel());
    QCOMPARE(timer.Wait(), WaitResult::Failed);
    QVERIFY(!timer.LastError().empty());
    const WakeCapability capability = timer.Capability();
    QVERIFY(!capability.canWake);
    QVERIFY(!capability.reason.empty());
    QCOMPARE(timer.ClockId(), -1);
}

void TestWakeTimer::timerCreatedTwice_keepsItsDescriptorsAndClosesThem()
{
    // CPower retries Create after a failure; a retry must not open a second timer.
    const int before = OpenDescriptorCount();
    {
        TimerFdWakeTimer timer;
        QVERIFY2(timer.Create(), timer.LastError().c_str());
        const int created = OpenDescriptorCount();
        QCOMPARE(created, before + 2); // the timerfd and the eventfd
        QVERIFY(timer.Create());
        QCOMPARE(OpenDescriptorCount(), created);
        QVERIFY(timer.Arm(Now() - Milliseconds(1)));
        QCOMPARE(WaitWithin(timer, kPromptly), std::optional(WaitResult::Expired));
    }
    QCOMPARE(OpenDescriptorCount(), before);
}

void TestWakeTimer::timerArmedForPassedMoment_expiresAtOnce()
{
    TimerFdWakeTimer timer;
    QVERIFY2(timer.Create(), timer.LastError().c_str());
    const auto start = Clock::now();
    QVERIFY(timer.Arm(Now() - Milliseconds(1)));
    const auto result = WaitWithin(timer, kPromptly);
    QVERIFY(result.has_value());
    QCOMPARE(*result, WaitResult::Expired);
    QVERIFY(Clock::now() - start < 1s);
}

void TestWakeTimer::timerArmedAtOrBeforeUnixEpoch_expiresAtOnce()
{
    // A zero it_value would disarm the timer instead, and the alarm would never ring.
    const FileTime moments[] = {kUnixEpochTicks + 1, kUnixEpochTicks, kUnixEpochTicks - 1, 0,
                                std::numeric_limits<FileTime>::min()};
    TimerFdWakeTimer timer;
    QVERIFY2(timer.Create(), timer.LastError().c_str());
    for (const FileTime moment : moments) {
        QVERIFY2(timer.Arm(moment), timer.LastError().c_str());
        const auto result = WaitWithin(timer, kPromptly);
        QVERIFY2(result.has_value(), qPrintable(QString::number(moment)));
        QCOMPARE(*result, WaitResult::Expired);
    }
}

void TestWakeTimer::timerArmedForFarFuture_isAcceptedAndStaysSilent()
{
    TimerFdWakeTimer timer;
    QVERIFY2(timer.Create(), timer.LastError().c_str());
    QVERIFY2(timer.Arm(std::numeric_limits<FileTime>::max()), timer.LastError().c_str());
    QVERIFY(!WaitWithin(timer, 50ms).has_value()); // real timer: nothing comes due
    SystemTime last{30827, 12, 0, 31, 23, 59, 59, 999};
    FileTime lastMoment = 0;
    QVERIFY(SystemTimeToFileTime(last, lastMoment));
    QVERIFY2(timer.Arm(lastMoment), timer.LastError().c_str());
    QVERIFY(!WaitWithin(timer, 30ms).has_value()); // real timer: nothing comes due
}

void TestWakeTimer::timerAfterExpiry_staysSilentUntilArmedAgain()
{
    TimerFdWakeTimer timer;
    QVERIFY2(timer.Create(), timer.LastError().c_str());
    QVERIFY(timer.Arm(Now() - Milliseconds(5)));
    QCOMPARE(WaitWithin(timer, kPromptly), std::optional(WaitResult::Expired));
    QVERIFY(!WaitWithin(timer, 80ms).has_value()); // real timer: one-shot, nothing more
    QVERIFY(timer.Arm(Now() + Milliseconds(20)));
    QCOMPARE(WaitWithin(timer, kPromptly), std::optional(WaitResult::Expired));
}

void TestWakeTimer::timerArmedTwice_comesDueOnlyAtSecondMoment()
{
    TimerFdWakeTimer timer;
    QVERIFY2(timer.Create(), timer.LastError().c_str());
    const FileTime first = Now() + Milliseconds(20);
    const FileTime second = first + Milliseconds(80);
    QVERIFY(timer.Arm(first));
    QVERIFY(timer.Arm(second));
    QCOMPARE(WaitWithin(timer, kPromptly), std::optional(WaitResult::Expired));
    const FileTime woke = Now();
    QVERIFY2(woke >= second, qPrintable(QStringLiteral("woke %1 ms before the second moment")
                                            .arg((second - woke) / kTicksPerMillisecond)));
    QVERIFY(!WaitWithin(timer, 60ms).has_value()); // real timer: the first arming is gone

    // A later moment replaced by an earlier one: the earlier one rules.
    QVERIFY(timer.Arm(Now() + Milliseconds(60'000)));
    QVERIFY(timer.Arm(Now() + Milliseconds(10)));
    QCOMPARE(WaitWithin(timer, kPromptly), std::optional(WaitResult::Expired));
}

void TestWakeTimer::timerCancelledBeforeDue_staysSilent()
{
    TimerFdWakeTimer timer;
    QVERIFY2(timer.Create(), timer.LastError().c_str());
    QVERIFY(timer.Arm(Now() + Milliseconds(30)));
    QVERIFY2(timer.Cancel(), timer.LastError().c_str());
    QVERIFY(!WaitWithin(timer, 100ms).has_value()); // real timer: past the cancelled moment

    // An expiry that came but was not read yet is withdrawn by the cancel as well.
    QVERIFY(timer.Arm(Now() - Milliseconds(1)));
    QVERIFY(timer.Cancel());
    QVERIFY(!WaitWithin(timer, 30ms).has_value()); // real timer: nothing pending
}

void TestWakeTimer::timerInterruptedBeforeWait_endsNextWaitOnly()
{
    TimerFdWakeTimer timer;
    timer.Interrupt(); // before Create: still ends the first wait
    QVERIFY2(timer.Create(), timer.LastError().c_str());
    QCOMPARE(WaitWithin(timer, kPromptly), std::optional(WaitResult::Interrupted));
    timer.Interrupt();
    QCOMPARE(WaitWithin(timer, kPromptly), std::optional(WaitResult::Interrupted));
    QVERIFY(!WaitWithin(timer, 30ms).has_value()); // real timer: the interruption was used up
    QVERIFY(timer.Arm(Now() - Milliseconds(1)));
    QCOMPARE(WaitWithin(timer, kPromptly), std::optional(WaitResult::Expired));
}

void TestWakeTimer::timerCapability_matchesProcessCapability()
{
    const PlainClockScope scope(false);
    TimerFdWakeTimer timer;
    QVERIFY2(timer.Create(), timer.LastError().c_str());
    const WakeCapability capability = timer.Capability();
    if (HasWakeAlarmCapability()) {
        QCOMPARE(timer.ClockId(), CLOCK_REALTIME_ALARM);
        QVERIFY(capability.canWake);
        QVERIFY(capability.reason.empty());
        QVERIFY(capability.remedy.empty());
    } else {
        QCOMPARE(timer.ClockId(), CLOCK_REALTIME);
        QVERIFY(!capability.canWake);
        QVERIFY2(capability.reason.find("CAP_WAKE_ALARM") != std::string::npos,
                 capability.reason.c_str());
        QVERIFY2(capability.remedy.find("setcap cap_wake_alarm+ep") != std::string::npos,
                 capability.remedy.c_str());
    }
}

void TestWakeTimer::timerWithoutWakeCapability_fallsBackAndAdvisesSetcap()
{
    // The capability is dropped in a child process, so the rest of the run keeps it.
    const std::string executable = QCoreApplication::applicationFilePath().toStdString();
    const PlainClockScope scope(false);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        int failures = 0;
        if (!DropWakeAlarmCapability() || HasWakeAlarmCapability()) {
            failures |= 1;
        }
        TimerFdWakeTimer timer;
        if (!timer.Create() || timer.ClockId() != CLOCK_REALTIME) {
            failures |= 2;
        }
        const WakeCapability capability = timer.Capability();
        if (capability.canWake || capability.reason.find("CAP_WAKE_ALARM") == std::string::npos) {
            failures |= 4;
        }
        if (capability.remedy.find("sudo setcap cap_wake_alarm+ep " + executable)
            == std::string::npos) {
            failures |= 8;
        }
        // The fallback clock rings all the same while the machine is awake.
        if (!timer.Arm(Now() - Milliseconds(1)) || timer.Wait() != WaitResult::Expired) {
            failures |= 16;
        }
        ::_exit(failures);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    // 1: capability not dropped, 2: no fallback clock, 4: reason, 8: remedy, 16: no expiry
    QCOMPARE(WEXITSTATUS(status), 0);
}

void TestWakeTimer::timerWithEnvironmentSwitch_usesPlainClock()
{
    const PlainClockScope scope(true);
    TimerFdWakeTimer timer;
    QVERIFY2(timer.Create(), timer.LastError().c_str());
    QCOMPARE(timer.ClockId(), CLOCK_REALTIME);
    const WakeCapability capability = timer.Capability();
    QVERIFY(!capability.canWake);
    QVERIFY2(capability.reason.find("ZEMBRA_NO_WAKE_ALARM") != std::string::npos,
             capability.reason.c_str());
    QVERIFY(!capability.remedy.empty());
    QVERIFY(timer.Arm(Now() - Milliseconds(1)));
    QCOMPARE(WaitWithin(timer, kPromptly), std::optional(WaitResult::Expired));
}

// ---------------------------------------------------------------------------------------------
// CPower over the real timer

void TestWakeTimer::powerPassedMoment_deliversAtOnceWithTokenAndMoment()
{
    EventLog log;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    power.SetNotifyWindow(log.Receiver());
    QCOMPARE(power.Init(), 0);
    QVERIFY2(power.LastError().empty(), power.LastError().c_str());

    const FileTime due = Now() - Milliseconds(1);
    QVERIFY(power.SetWakeTimer(due, 0x1234'5678'9abc'def0ULL));
    QCOMPARE(power.PendingToken(), 0x1234'5678'9abc'def0ULL);
    QVERIFY(log.WaitForCount(1, kPromptly));
    const auto entries = log.Entries();
    QCOMPARE(entries.size(), std::size_t{1});
    QCOMPARE(entries[0].event.kind, WakeEvent::Kind::Expired);
    QCOMPARE(entries[0].event.token, 0x1234'5678'9abc'def0ULL);
    QCOMPARE(entries[0].event.armedForUtc, due);
    QVERIFY(entries[0].event.error.empty());
    QVERIFY(entries[0].receivedUtc - due < Milliseconds(1000));
}

void TestWakeTimer::powerArmedTwice_deliversOnlySecondArming()
{
    EventLog log;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    const FileTime first = Now() + Milliseconds(100);
    const FileTime second = first + Milliseconds(50);
    QVERIFY(power.SetWakeTimer(first, 1));
    QVERIFY(power.SetWakeTimer(second, 2));
    QCOMPARE(power.PendingToken(), std::uint64_t{2});
    QVERIFY(log.WaitForCount(1, kPromptly));
    QVERIFY(!log.WaitForCount(2, 60ms)); // real timer: nothing for the replaced arming
    const auto entries = log.Entries();
    QCOMPARE(entries.size(), std::size_t{1});
    QCOMPARE(entries[0].event.token, std::uint64_t{2});
    QCOMPARE(entries[0].event.armedForUtc, second);
    QVERIFY(entries[0].receivedUtc >= second);
}

void TestWakeTimer::powerRearmedJustBeforeExpiry_deliversLatestToken()
{
    EventLog log;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    QVERIFY(power.SetWakeTimer(Now() + Milliseconds(100), 1));
    const FileTime latest = Now();
    QVERIFY(power.SetWakeTimer(latest, 2));
    QVERIFY(log.WaitForCount(1, kPromptly));
    QVERIFY(!log.WaitForCount(2, 150ms)); // real timer: past the replaced moment, still one
    const auto entries = log.Entries();
    QCOMPARE(entries.size(), std::size_t{1});
    QCOMPARE(entries[0].event.token, std::uint64_t{2});
    QCOMPARE(entries[0].event.armedForUtc, latest);
}

void TestWakeTimer::powerCancelAfterExpiry_doesNotRecallDeliveredEvent()
{
    EventLog log;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 42));
    QVERIFY(log.WaitForCount(1, kPromptly));
    QVERIFY2(power.CancelWakeTimer(), power.LastError().c_str());
    QCOMPARE(power.PendingToken(), std::uint64_t{0});
    const auto entries = log.Entries();
    QCOMPARE(entries.size(), std::size_t{1});
    QCOMPARE(entries[0].event.kind, WakeEvent::Kind::Expired);
    QCOMPARE(entries[0].event.token, std::uint64_t{42});
}

void TestWakeTimer::powerCancelBeforeDue_deliversNothing()
{
    EventLog log;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    QVERIFY(power.SetWakeTimer(Now() + Milliseconds(100), 7));
    QVERIFY(power.CancelWakeTimer());
    QCOMPARE(power.PendingToken(), std::uint64_t{0});
    QVERIFY(!log.WaitForCount(1, 180ms)); // real timer: well past the cancelled moment

    // The timer still works afterwards.
    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 8));
    QVERIFY(log.WaitForCount(1, kPromptly));
    QCOMPARE(log.Entries()[0].event.token, std::uint64_t{8});
}

void TestWakeTimer::powerAfterExpiry_silentUntilArmedAgain()
{
    EventLog log;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 1));
    QVERIFY(log.WaitForCount(1, kPromptly));
    QVERIFY(!log.WaitForCount(2, 80ms)); // real timer: a one-shot timer, nothing follows
    QVERIFY(power.SetWakeTimer(Now() + Milliseconds(10), 2));
    QVERIFY(log.WaitForCount(2, kPromptly));
    const auto entries = log.Entries();
    QCOMPARE(entries.size(), std::size_t{2});
    QCOMPARE(entries[1].event.token, std::uint64_t{2});
}

void TestWakeTimer::powerWithoutReceiver_dropsExpiry()
{
    EventLog log;
    auto counts = std::make_shared<CountingTimer::Counts>();
    CPower power(std::make_unique<CountingTimer>(counts));
    power.Init();

    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 1));
    // The waiting thread took the expiry and went back to waiting: nobody was there for it.
    QVERIFY(counts->WaitFor([&] { return counts->waitsStarted >= 2; }, kPromptly));
    {
        const std::lock_guard lock(counts->mutex);
        QCOMPARE(counts->results.size(), std::size_t{1});
        QCOMPARE(counts->results[0], WaitResult::Expired);
    }

    power.SetNotifyWindow(log.Receiver());
    QVERIFY(!log.WaitForCount(1, 60ms)); // real timer: the dropped expiry is not replayed
    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 2));
    QVERIFY(log.WaitForCount(1, kPromptly));
    QVERIFY(!log.WaitForCount(2, 40ms)); // real timer: only the new expiry arrives
    QCOMPARE(log.Entries()[0].event.token, std::uint64_t{2});
}

void TestWakeTimer::powerCallbackReceiver_runsOnWaitingThread()
{
    EventLog log;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 3));
    QVERIFY(log.WaitForCount(1, kPromptly));
    QVERIFY(log.Entries()[0].thread != std::this_thread::get_id());
}

void TestWakeTimer::powerQtReceiver_deliversOnReceiverThread()
{
    QThread worker;
    worker.start();
    auto* receiver = new NamespacedWakeReceiver;
    receiver->moveToThread(&worker);
    {
        CPower power(std::make_unique<TimerFdWakeTimer>());
        QCOMPARE(power.SetNotifyWindow(receiver, "onWake"), 0);
        power.Init();
        const FileTime due = Now() + Milliseconds(10);
        QVERIFY(power.SetWakeTimer(due, 77));
        QTRY_COMPARE_WITH_TIMEOUT(receiver->Count(), std::size_t{1}, 5000);
        const auto entries = receiver->Entries();
        QCOMPARE(entries[0].thread, &worker);
        QCOMPARE(entries[0].event.kind, WakeEvent::Kind::Expired);
        QCOMPARE(entries[0].event.token, std::uint64_t{77});
        QCOMPARE(entries[0].event.armedForUtc, due);
    }
    // Deleted on its own thread as that thread finishes.
    receiver->deleteLater();
    worker.quit();
    QVERIFY(worker.wait(5000));
}

void TestWakeTimer::powerQtReceiver_acceptsSlotMacroOnMainThread()
{
    QualifiedWakeReceiver receiver;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    QCOMPARE(power.SetNotifyWindow(&receiver, SLOT(handleWake(zembra::WakeEvent))), 0);
    power.Init();
    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 5));
    // The slot runs on this thread, from its event loop, never from the waiting thread.
    QTRY_COMPARE_WITH_TIMEOUT(receiver.count, 1, 5000);
    QCOMPARE(receiver.lastToken, std::uint64_t{5});
}

void TestWakeTimer::powerQtReceiver_deletedBeforeDelivery_dropsEvent()
{
    auto counts = std::make_shared<CountingTimer::Counts>();
    CPower power(std::make_unique<CountingTimer>(counts));
    auto* receiver = new QualifiedWakeReceiver;
    const QPointer<QualifiedWakeReceiver> watch(receiver);
    QCOMPARE(power.SetNotifyWindow(receiver, "handleWake"), 0);
    power.Init();
    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 9));
    // The expiry has been handed on (the thread waits again) before the receiver goes away.
    QVERIFY(counts->WaitFor([&] { return counts->waitsStarted >= 2; }, kPromptly));
    delete receiver;
    QVERIFY(watch.isNull());
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();

    // A new receiver hears only of what comes after it was registered.
    QualifiedWakeReceiver next;
    QCOMPARE(power.SetNotifyWindow(&next, "handleWake"), 0);
    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 10));
    QTRY_COMPARE_WITH_TIMEOUT(next.count, 1, 5000);
    QCOMPARE(next.lastToken, std::uint64_t{10});
}

void TestWakeTimer::powerQtReceiver_withoutMatchingSlot_isRefused()
{
    QualifiedWakeReceiver receiver;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no method unrelated")));
    QCOMPARE(power.SetNotifyWindow(&receiver, "unrelated"), -1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no method missing")));
    QCOMPARE(power.SetNotifyWindow(&receiver, "missing"), -1);
    QCOMPARE(power.SetNotifyWindow(nullptr, "handleWake"), 0);
}

// ---------------------------------------------------------------------------------------------
// CPower over the scripted timer

void TestWakeTimer::fakeInitTwice_startsOneThreadAndCreatesOnce()
{
    auto state = std::make_shared<FakeWakeTimer::State>();
    {
        CPower power(std::make_unique<FakeWakeTimer>(state));
        QCOMPARE(power.Init(), 0);
        QCOMPARE(power.Init(), 0);
        QVERIFY(state->WaitFor([&] { return state->waitCalls >= 1; }, kPromptly));
        state->Push(WaitResult::Interrupted); // a stray interruption: the thread waits again
        QVERIFY(state->WaitFor([&] { return state->waitCalls >= 2; }, kPromptly));
    }
    QCOMPARE(state->createCalls, 1);
    QCOMPARE(state->maxActiveWaits, 1);
    QCOMPARE(state->activeWaits, 0);
}

void TestWakeTimer::fakeSetWakeTimerBeforeInit_failsButKeepsToken()
{
    auto state = std::make_shared<FakeWakeTimer::State>();
    CPower power(std::make_unique<FakeWakeTimer>(state));
    QVERIFY(!power.SetWakeTimer(Now(), 11));
    QCOMPARE(power.PendingToken(), std::uint64_t{11});
    QVERIFY(!power.LastError().empty());
    QVERIFY(!power.CancelWakeTimer());
    QCOMPARE(power.PendingToken(), std::uint64_t{0});
    QCOMPARE(state->With([&] { return state->armCalls; }), 0);
}

void TestWakeTimer::fakeArmRefused_keepsTokenAndClearsTimer()
{
    EventLog log;
    auto state = std::make_shared<FakeWakeTimer::State>();
    CPower power(std::make_unique<FakeWakeTimer>(state));
    power.SetNotifyWindow(log.Receiver());
    power.Init();
    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 1));
    state->With([&] { return state->armSucceeds = false; });
    QVERIFY(!power.SetWakeTimer(Now() - Milliseconds(1), 2));
    QCOMPARE(power.PendingToken(), std::uint64_t{2});
    QCOMPARE(Text(power.LastError()), QStringLiteral("fake: arming refused"));
    QCOMPARE(state->With([&] { return state->cancelCalls; }), 1);

    // Whatever the kernel still held from before is not delivered under the new token.
    state->Push(WaitResult::Expired);
    QVERIFY(state->WaitFor([&] { return state->waitCalls >= 2; }, kPromptly));
    QCOMPARE(log.Count(), std::size_t{0});
}

void TestWakeTimer::fakeCreateFails_reportsOnceAndBacksOffThenRecovers()
{
    EventLog log;
    auto state = std::make_shared<FakeWakeTimer::State>();
    state->createSucceeds = false;
    CPower power(std::make_unique<FakeWakeTimer>(state));
    power.SetNotifyWindow(log.Receiver());
    QCOMPARE(power.Init(), 0);
    QCOMPARE(Text(power.LastError()), QStringLiteral("fake: the timer is refused"));
    QVERIFY(!power.SetWakeTimer(Now(), 1));

    // Init's attempt, the thread's first, then retries after 50, 100 and 200 ms.
    QVERIFY(state->WaitFor([&] { return state->createCalls >= 5; }, 5s));
    std::vector<Clock::time_point> times = state->With([&] { return state->createTimes; });
    for (std::size_t i = 2; i < 5; ++i) {
        const auto gap = times[i] - times[i - 1];
        const auto least = 50ms * (1 << (i - 2));
        QVERIFY2(gap >= least - 1ms,
                 qPrintable(
                     QStringLiteral("retry %1 came after %2 ms")
                         .arg(i)
                         .arg(std::chrono::duration_cast<std::chrono::milliseconds>(gap).count())));
    }
    QCOMPARE(state->With([&] { return state->waitCalls; }), 0);
    auto entries = log.Entries();
    QCOMPARE(entries.size(), std::size_t{1});
    QCOMPARE(entries[0].event.kind, WakeEvent::Kind::WaitFailed);
    QCOMPARE(Text(entries[0].event.error), QStringLiteral("fake: the timer is refused"));

    // Once the system allows the timer, the thread creates it, waits, and arming works.
    state->With([&] { return state->createSucceeds = true; });
    QVERIFY(state->WaitFor([&] { return state->waitCalls >= 1; }, 5s));
    QCOMPARE(log.Count(), std::size_t{1});
    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 4));
    state->Push(WaitResult::Expired);
    QVERIFY(log.WaitForCount(2, kPromptly));
    QCOMPARE(log.Entries()[1].event.kind, WakeEvent::Kind::Expired);
    QCOMPARE(log.Entries()[1].event.token, std::uint64_t{4});
}

void TestWakeTimer::fakeRepeatedWaitFailures_reportedOnceUntilAWaitSucceeds()
{
    EventLog log;
    auto state = std::make_shared<FakeWakeTimer::State>();
    state->failEveryWait = true;
    CPower power(std::make_unique<FakeWakeTimer>(state));
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    // Four failed waits take at least 50 + 100 + 200 ms of backing off.
    QVERIFY(state->WaitFor([&] { return state->waitCalls >= 4; }, 5s));
    const auto times = state->With([&] { return state->waitTimes; });
    QVERIFY(times[3] - times[0] >= 349ms);
    QCOMPARE(log.Count(), std::size_t{1});
    const auto first = log.Entries()[0].event;
    QCOMPARE(first.kind, WakeEvent::Kind::WaitFailed);
    QCOMPARE(Text(first.error), QStringLiteral("fake: the wait failed"));
    QCOMPARE(Text(power.LastError()), QStringLiteral("fake: the wait failed"));

    // A wait that succeeds ends the run; the next failure is reported again.
    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 6));
    state->With([&] {
        state->failEveryWait = false;
        state->script.push_back(WaitResult::Expired);
        state->script.push_back(WaitResult::Failed);
        state->changed.notify_all();
        return 0;
    });
    QVERIFY(log.WaitForCount(3, 5s));
    const auto entries = log.Entries();
    QCOMPARE(entries[1].event.kind, WakeEvent::Kind::Expired);
    QCOMPARE(entries[1].event.token, std::uint64_t{6});
    QCOMPARE(entries[2].event.kind, WakeEvent::Kind::WaitFailed);
}

void TestWakeTimer::fakeClockChanged_passedOnAndTimerStaysArmed()
{
    EventLog log;
    auto state = std::make_shared<FakeWakeTimer::State>();
    CPower power(std::make_unique<FakeWakeTimer>(state));
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    state->Push(WaitResult::ClockChanged); // nothing armed
    QVERIFY(log.WaitForCount(1, kPromptly));
    QCOMPARE(log.Entries()[0].event.kind, WakeEvent::Kind::ClockChanged);
    QCOMPARE(log.Entries()[0].event.token, std::uint64_t{0});

    const FileTime due = Now() + Milliseconds(3'600'000);
    QVERIFY(power.SetWakeTimer(due, 12));
    state->Push(WaitResult::ClockChanged);
    QVERIFY(log.WaitForCount(2, kPromptly));
    const WakeEvent changed = log.Entries()[1].event;
    QCOMPARE(changed.kind, WakeEvent::Kind::ClockChanged);
    QCOMPARE(changed.token, std::uint64_t{12});
    QCOMPARE(changed.armedForUtc, due);
    QCOMPARE(power.PendingToken(), std::uint64_t{12});
    QCOMPARE(state->With([&] { return state->cancelCalls; }), 0);
    QCOMPARE(state->With([&] { return state->armCalls; }), 1);

    // Still armed: a second change reports the same arming.
    state->Push(WaitResult::ClockChanged);
    QVERIFY(log.WaitForCount(3, kPromptly));
    QCOMPARE(log.Entries()[2].event.token, std::uint64_t{12});
}

void TestWakeTimer::fakeClockChangeAfterArmedMoment_deliversExpiryFirst()
{
    EventLog log;
    auto state = std::make_shared<FakeWakeTimer::State>();
    CPower power(std::make_unique<FakeWakeTimer>(state));
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    // The kernel reports only a clock change when the clock was set past the armed moment,
    // and also when the machine resumes from suspend, woken by this very timer. The alarm is
    // due all the same.
    const FileTime due = Now() - Milliseconds(1);
    QVERIFY(power.SetWakeTimer(due, 13));
    state->Push(WaitResult::ClockChanged);
    QVERIFY(log.WaitForCount(2, kPromptly));
    const auto entries = log.Entries();
    QCOMPARE(entries[0].event.kind, WakeEvent::Kind::Expired);
    QCOMPARE(entries[0].event.token, std::uint64_t{13});
    QCOMPARE(entries[0].event.armedForUtc, due);
    QCOMPARE(entries[1].event.kind, WakeEvent::Kind::ClockChanged);
    QCOMPARE(entries[1].event.token, std::uint64_t{0});

    // Delivered once: a kernel expiry arriving after all is not a second ring.
    state->Push(WaitResult::Expired);
    QVERIFY(state->WaitFor([&] { return state->waitCalls >= 3; }, kPromptly));
    QCOMPARE(log.Count(), std::size_t{2});
}

void TestWakeTimer::fakeExpiryOfReplacedArming_isDropped()
{
    EventLog log;
    auto state = std::make_shared<FakeWakeTimer::State>();
    CPower power(std::make_unique<FakeWakeTimer>(state));
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    // The expiry of an earlier arming, taken just before the timer was armed for a later
    // moment: delivering it would ring the later alarm early.
    QVERIFY(power.SetWakeTimer(Now() + Milliseconds(3'600'000), 14));
    state->Push(WaitResult::Expired);
    QVERIFY(state->WaitFor([&] { return state->waitCalls >= 2; }, kPromptly));
    QCOMPARE(log.Count(), std::size_t{0});
    QCOMPARE(power.PendingToken(), std::uint64_t{14});

    // The arming is still in force and is delivered when its moment has come.
    const FileTime due = Now() - Milliseconds(1);
    QVERIFY(power.SetWakeTimer(due, 15));
    state->Push(WaitResult::Expired);
    QVERIFY(log.WaitForCount(1, kPromptly));
    QCOMPARE(log.Entries()[0].event.token, std::uint64_t{15});
    QCOMPARE(log.Entries()[0].event.armedForUtc, due);
}

void TestWakeTimer::fakeExpiryAfterCancel_isDropped()
{
    EventLog log;
    auto state = std::make_shared<FakeWakeTimer::State>();
    CPower power(std::make_unique<FakeWakeTimer>(state));
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 16));
    QVERIFY(power.CancelWakeTimer());
    state->Push(WaitResult::Expired);
    QVERIFY(state->WaitFor([&] { return state->waitCalls >= 2; }, kPromptly));
    QCOMPARE(log.Count(), std::size_t{0});
}

void TestWakeTimer::fakeSecondExpiryWithoutArming_isDropped()
{
    EventLog log;
    auto state = std::make_shared<FakeWakeTimer::State>();
    CPower power(std::make_unique<FakeWakeTimer>(state));
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 17));
    state->Push(WaitResult::Expired);
    QVERIFY(log.WaitForCount(1, kPromptly));
    // A second signal for the same arming must not ring the alarm twice.
    state->Push(WaitResult::Expired);
    QVERIFY(state->WaitFor([&] { return state->waitCalls >= 3; }, kPromptly));
    QCOMPARE(log.Count(), std::size_t{1});
    // Nothing is armed any more, and a clock change says so.
    state->Push(WaitResult::ClockChanged);
    QVERIFY(log.WaitForCount(2, kPromptly));
    QCOMPARE(log.Entries()[1].event.kind, WakeEvent::Kind::ClockChanged);
    QCOMPARE(log.Entries()[1].event.token, std::uint64_t{0});
    QCOMPARE(log.Entries()[1].event.armedForUtc, FileTime{0});
}

void TestWakeTimer::fakeDestructor_joinsPromptlyWhileBlocked()
{
    auto state = std::make_shared<FakeWakeTimer::State>();
    auto power = std::make_unique<CPower>(std::make_unique<FakeWakeTimer>(state));
    power->Init();
    QVERIFY(state->WaitFor([&] { return state->activeWaits == 1; }, kPromptly));
    const auto start = Clock::now();
    power.reset();
    QVERIFY(Clock::now() - start < 500ms);
    QCOMPARE(state->interruptedReturns, 1);
    QCOMPARE(state->activeWaits, 0);
}

void TestWakeTimer::fakeDestructor_joinsPromptlyWhileBackingOff()
{
    auto state = std::make_shared<FakeWakeTimer::State>();
    state->createSucceeds = false;
    auto power = std::make_unique<CPower>(std::make_unique<FakeWakeTimer>(state));
    power->Init();
    // After the fifth attempt the thread backs off for 400 ms.
    QVERIFY(state->WaitFor([&] { return state->createCalls >= 5; }, 5s));
    const auto start = Clock::now();
    power.reset();
    QVERIFY(Clock::now() - start < 250ms);
    QCOMPARE(state->createCalls, 5);
}

QTEST_GUILESS_MAIN(TestWakeTimer)

#include "test_wake_timer.moc"
