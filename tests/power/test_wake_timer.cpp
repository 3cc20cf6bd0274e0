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
#include <QFile>
#include <QTemporaryDir>
#include <QObject>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

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

} // namespace

// Readable failure messages for QCOMPARE, found through the type's namespace.
namespace zembra {
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
        bool failEveryWait = false;
        std::deque<WaitResult> script;
        bool interruptPending = false;

        int createCalls = 0;
        std::vector<FileTime> armedFor;
        int waitCalls = 0;
        int activeWaits = 0;
        int interruptedReturns = 0;
        std::vector<Clock::time_point> createTimes;
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
    bool Arm(FileTime due) override
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->armedFor.push_back(due);
        return true;
    }
    bool Cancel() override { return true; }
    WaitResult Wait() override
    {
        std::unique_lock lock(m_state->mutex);
        ++m_state->waitCalls;
        ++m_state->activeWaits;
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

class TestWakeTimer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void timerArmedForPassedMoment_expiresAtOnce();
    void capabilityTellsGrantedMissingPermissionAndNoClock_data();
    void capabilityTellsGrantedMissingPermissionAndNoClock();
    void capabilityFindsOnlyClocksThatCanWake();

    void powerPassedMoment_deliversAtOnceOnWaitingThread();
    void powerArmedTwice_deliversOnlyLatestArming_data();
    void powerArmedTwice_deliversOnlyLatestArming();
    void powerCancelAfterExpiry_doesNotRecallDeliveredEvent();
    void powerAfterExpiry_silentUntilArmedAgain();
    void powerWithoutReceiver_dropsExpiry();
    void powerQtReceiver_deliversOnReceiverThread();

    void fakeCreateFails_reportsOnceAndBacksOffThenRecovers();
    void fakeRepeatedWaitFailures_reportedOnceUntilAWaitSucceeds();
    void fakeClockChanged_passedOnAndTimerStaysArmed();
    void fakeClockChangeAfterArmedMoment_deliversExpiryFirst();
    void fakeDestructor_joinsPromptly_data();
    void fakeDestructor_joinsPromptly();
};

void TestWakeTimer::initTestCase()
{
    qRegisterMetaType<zembra::WakeEvent>();
}

// ---------------------------------------------------------------------------------------------
// The timerfd back end, and CPower over it

void TestWakeTimer::timerArmedForPassedMoment_expiresAtOnce()
{
    // Moments at or before the Unix epoch included: a zero it_value would disarm the timer
    // instead, and the alarm would never ring.
    const FileTime moments[] = {Now() - Milliseconds(1), kUnixEpochTicks, kUnixEpochTicks - 1, 0,
                                std::numeric_limits<FileTime>::min()};
    TimerFdWakeTimer timer;
    QVERIFY2(timer.Create(), timer.LastError().c_str());
    for (const FileTime moment : moments) {
        QVERIFY2(timer.Arm(moment), timer.LastError().c_str());
        QVERIFY(WaitWithin(timer, kPromptly) == WaitResult::Expired);
    }
}

void TestWakeTimer::powerPassedMoment_deliversAtOnceOnWaitingThread()
{
    EventLog log;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    power.SetNotifyWindow(log.Receiver());
    QCOMPARE(power.Init(), 0);

    const FileTime due = Now() - Milliseconds(1);
    QVERIFY(power.SetWakeTimer(due, 0x1234'5678'9abc'def0ULL));
    QVERIFY(log.WaitForCount(1, kPromptly));
    const auto entry = log.Entries()[0];
    QCOMPARE(entry.event.kind, WakeEvent::Kind::Expired);
    QCOMPARE(entry.event.token, 0x1234'5678'9abc'def0ULL);
    QCOMPARE(entry.event.armedForUtc, due);
    QVERIFY(entry.thread != std::this_thread::get_id());
}

void TestWakeTimer::powerArmedTwice_deliversOnlyLatestArming_data()
{
    QTest::addColumn<int>("firstMs");
    QTest::addColumn<int>("secondMs");
    QTest::newRow("later replaces earlier") << 100 << 150;
    QTest::newRow("at once replaces later") << 100 << 0;
}

void TestWakeTimer::powerArmedTwice_deliversOnlyLatestArming()
{
    QFETCH(int, firstMs);
    QFETCH(int, secondMs);
    EventLog log;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    QVERIFY(power.SetWakeTimer(Now() + Milliseconds(firstMs), 1));
    const FileTime second = Now() + Milliseconds(secondMs);
    QVERIFY(power.SetWakeTimer(second, 2));
    QCOMPARE(power.PendingToken(), std::uint64_t{2});
    QVERIFY(log.WaitForCount(1, kPromptly));
    QVERIFY(!log.WaitForCount(2, 150ms)); // real timer: past the replaced moment, still one
    const auto entries = log.Entries();
    QCOMPARE(entries.size(), std::size_t{1});
    QCOMPARE(entries[0].event.token, std::uint64_t{2});
    QCOMPARE(entries[0].event.armedForUtc, second);
    QVERIFY(entries[0].receivedUtc >= second);
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
        QVERIFY(counts->results[0] == WaitResult::Expired);
    }

    power.SetNotifyWindow(log.Receiver());
    QVERIFY(!log.WaitForCount(1, 60ms)); // real timer: the dropped expiry is not replayed
    QVERIFY(power.SetWakeTimer(Now() - Milliseconds(1), 2));
    QVERIFY(log.WaitForCount(1, kPromptly));
    QVERIFY(!log.WaitForCount(2, 40ms)); // real timer: only the new expiry arrives
    QCOMPARE(log.Entries()[0].event.token, std::uint64_t{2});
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

// ---------------------------------------------------------------------------------------------
void TestWakeTimer::capabilityTellsGrantedMissingPermissionAndNoClock_data()
{
    QTest::addColumn<bool>("disabled");
    QTest::addColumn<bool>("created");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("rtc");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("command");
    using K = WakeCapability::Kind;
    const QString setcap = QStringLiteral("sudo setcap cap_wake_alarm+ep '/opt/my apps/zembra'");
    QTest::newRow("granted") << false << true << 0 << true << int(K::CanWake) << QString();
    QTest::newRow("no permission") << false << false << EPERM << true << int(K::NoPermission) << setcap;
    QTest::newRow("no permission, no clock") << false << false << EPERM << false << int(K::NoWakeClock)
                                             << QString();
    QTest::newRow("allowed, no clock") << false << true << 0 << false << int(K::NoWakeClock) << QString();
    QTest::newRow("no alarm timers") << false << false << EINVAL << true << int(K::NoWakeClock) << QString();
    QTest::newRow("switched off") << true << false << 0 << true << int(K::Disabled) << QString();
}

void TestWakeTimer::capabilityTellsGrantedMissingPermissionAndNoClock()
{
    QFETCH(bool, disabled);
    QFETCH(bool, created);
    QFETCH(int, error);
    QFETCH(bool, rtc);
    QFETCH(int, kind);
    QFETCH(QString, command);
    WakeProbe probe;
    probe.disabledByEnvironment = disabled;
    probe.alarmClockCreated = created;
    probe.alarmError = error;
    probe.wakeCapableRtc = rtc;
    probe.executablePath = "/opt/my apps/zembra";
    const WakeCapability capability = ClassifyWakeCapability(probe);
    QCOMPARE(int(capability.kind), kind);
    QCOMPARE(capability.canWake, kind == int(WakeCapability::Kind::CanWake));
    QCOMPARE(Text(capability.command), command);
    QCOMPARE(capability.reason.empty(), capability.canWake);
    if (!command.isEmpty()) {
        QVERIFY(Text(capability.remedy).contains(command));
    }
}

void TestWakeTimer::capabilityFindsOnlyClocksThatCanWake()
{
    QTemporaryDir sys;
    QVERIFY(sys.isValid());
    const std::string root = sys.path().toStdString();
    QVERIFY(!HasWakeCapableRtc(root + "/missing"));
    QVERIFY(QDir(sys.path()).mkpath(QStringLiteral("rtc0")));
    QVERIFY(!HasWakeCapableRtc(root));
    QFile wake(sys.filePath(QStringLiteral("rtc0/wakealarm")));
    QVERIFY(wake.open(QIODevice::WriteOnly));
    wake.close();
    QVERIFY(HasWakeCapableRtc(root));
}

// CPower over the scripted timer

void TestWakeTimer::fakeCreateFails_reportsOnceAndBacksOffThenRecovers()
{
    EventLog log;
    auto state = std::make_shared<FakeWakeTimer::State>();
    state->createSucceeds = false;
    CPower power(std::make_unique<FakeWakeTimer>(state));
    power.SetNotifyWindow(log.Receiver());
    QCOMPARE(power.Init(), 0);
    QCOMPARE(Text(power.LastError()), QStringLiteral("fake: the timer is refused"));
    const FileTime due = Now();
    QVERIFY(!power.SetWakeTimer(due, 1));

    // Init's attempt, the thread's first, then retries after 50, 100 and 200 ms.
    QVERIFY(state->WaitFor([&] { return state->createCalls >= 5; }, 5s));
    // Backed off, not spinning: the three retries took at least 50 + 100 + 200 ms.
    const auto times = state->With([&] { return state->createTimes; });
    QVERIFY(times[4] - times[1] >= 349ms);
    QCOMPARE(state->With([&] { return state->waitCalls; }), 0);
    auto entries = log.Entries();
    QCOMPARE(entries.size(), std::size_t{1});
    QCOMPARE(entries[0].event.kind, WakeEvent::Kind::WaitFailed);
    QCOMPARE(Text(entries[0].event.error), QStringLiteral("fake: the timer is refused"));

    // Once the system allows the timer, the thread creates it and makes the arming that was
    // asked for meanwhile, so that alarm still rings.
    state->With([&] { return state->createSucceeds = true; });
    QVERIFY(state->WaitFor([&] { return state->waitCalls >= 1; }, 5s));
    QCOMPARE(state->With([&] { return state->armedFor; }), std::vector<FileTime>{due});
    QCOMPARE(log.Count(), std::size_t{1});
    state->Push(WaitResult::Expired);
    QVERIFY(log.WaitForCount(2, kPromptly));
    QCOMPARE(log.Entries()[1].event.kind, WakeEvent::Kind::Expired);
    QCOMPARE(log.Entries()[1].event.token, std::uint64_t{1});
}

void TestWakeTimer::fakeRepeatedWaitFailures_reportedOnceUntilAWaitSucceeds()
{
    EventLog log;
    auto state = std::make_shared<FakeWakeTimer::State>();
    state->failEveryWait = true;
    CPower power(std::make_unique<FakeWakeTimer>(state));
    power.SetNotifyWindow(log.Receiver());
    power.Init();

    QVERIFY(state->WaitFor([&] { return state->waitCalls >= 4; }, 5s));
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

void TestWakeTimer::fakeDestructor_joinsPromptly_data()
{
    QTest::addColumn<bool>("createFails");
    QTest::newRow("blocked in a wait") << false;
    QTest::newRow("backing off") << true;
}

void TestWakeTimer::fakeDestructor_joinsPromptly()
{
    QFETCH(bool, createFails);
    auto state = std::make_shared<FakeWakeTimer::State>();
    state->createSucceeds = !createFails;
    auto power = std::make_unique<CPower>(std::make_unique<FakeWakeTimer>(state));
    power->Init();
    if (createFails) {
        // After the fifth attempt the thread backs off for 400 ms.
        QVERIFY(state->WaitFor([&] { return state->createCalls >= 5; }, 5s));
    } else {
        QVERIFY(state->WaitFor([&] { return state->activeWaits == 1; }, kPromptly));
    }
    const auto start = Clock::now();
    power.reset();
    // Not waiting out the 400 ms back-off (nor a blocked wait): the stop interrupts it.
    QVERIFY(Clock::now() - start < 390ms);
    QCOMPARE(state->activeWaits, 0);
    QCOMPARE(state->interruptedReturns, createFails ? 0 : 1);
}

QTEST_GUILESS_MAIN(TestWakeTimer)

#include "test_wake_timer.moc"
