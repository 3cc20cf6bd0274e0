// The wake timer and its waiting thread.
//
// The timerfd back end and CPower on top of it are run against the kernel with short real
// delays: what is under test is that the kernel timer comes due when armed, stays silent when
// not, and that its expiry reaches the receiver with the right token. Above the timer, a
// scripted IWakeTimer does what the kernel cannot be made to do on demand (a refused timer,
// failing waits, a change of the system clock, which a test must never make), and there no
// test pauses: every wait ends on an event the test watches for.

#include "CPower.h"
#include "linux/TimerFdWakeTimer.h"
#include "time/ZTime.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

using namespace zembra;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Kind = WakeEvent::Kind;
using WaitResult = IWakeTimer::WaitResult;

namespace {

// Long enough for a loaded machine (or a sanitizer build) to deliver an expiry that is due.
constexpr auto kPromptly = 5s;

FileTime FromNow(std::int64_t ms)
{
    return GetSystemTimeAsFileTime() + ms * kTicksPerMillisecond;
}

QString Text(const std::string& s)
{
    return QString::fromStdString(s);
}

// One event as text, so that a run of events compares at once and differences read plainly.
QString Event(Kind kind, std::uint64_t token = 0, FileTime armedFor = 0,
              const std::string& error = {})
{
    static const char* const kinds[] = {"Expired", "ClockChanged", "WaitFailed"};
    return QStringLiteral("%1 token %2 for %3 %4")
        .arg(QLatin1String(kinds[static_cast<std::size_t>(kind)]))
        .arg(token)
        .arg(armedFor)
        .arg(Text(error));
}

QString Event(const WakeEvent& e)
{
    return Event(e.kind, e.token, e.armedForUtc, e.error);
}

// What the receiver got, and what the scripted timer answers and was asked: written by the
// waiting thread, waited on by the test, and shared, so that it can still be read after the
// CPower is gone.
struct Record {
    std::mutex mutex;
    std::condition_variable changed;

    struct Entry {
        WakeEvent event;
        FileTime receivedUtc = 0;
        std::thread::id thread;
    };
    std::vector<Entry> entries;

    bool createSucceeds = true;
    std::deque<WaitResult> results; // what the coming waits return, in order
    bool interruptPending = false;
    std::vector<Clock::time_point> createTimes;
    int waitCalls = 0;
    int interruptedReturns = 0;
    std::string lastError;

    bool WaitFor(const std::function<bool()>& done, Clock::duration limit = kPromptly)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, limit, done);
    }
    template <typename F> auto With(F f)
    {
        const std::lock_guard lock(mutex);
        changed.notify_all();
        return f();
    }
    CPower::Receiver Receiver()
    {
        return [this](const WakeEvent& event) {
            With([&] { entries.push_back({event, FromNow(0), std::this_thread::get_id()}); });
        };
    }
    bool WaitForEvents(std::size_t count, Clock::duration limit = kPromptly)
    {
        return WaitFor([&] { return entries.size() >= count; }, limit);
    }
    // True once the waiting thread has begun its count-th wait, having dealt with all before.
    bool WaitForWaits(int count)
    {
        return WaitFor([&] { return waitCalls >= count; });
    }
    std::vector<Entry> Entries()
    {
        return With([&] { return entries; });
    }
    QStringList Events()
    {
        QStringList events;
        for (const Entry& entry : Entries()) {
            events << Event(entry.event);
        }
        return events;
    }
    void Push(std::initializer_list<WaitResult> more)
    {
        With([&] { results.insert(results.end(), more); });
    }
};

class FakeWakeTimer final : public IWakeTimer {
public:
    explicit FakeWakeTimer(std::shared_ptr<Record> record)
        : m_r(std::move(record))
    {
    }

    bool Create() override
    {
        return m_r->With([&] {
            m_r->createTimes.push_back(Clock::now());
            if (!m_r->createSucceeds) {
                m_r->lastError = "fake: the timer is refused";
            }
            return m_r->createSucceeds;
        });
    }
    bool Arm(FileTime) override { return true; }
    bool Cancel() override { return true; }
    WaitResult Wait() override
    {
        std::unique_lock lock(m_r->mutex);
        ++m_r->waitCalls;
        m_r->changed.notify_all();
        m_r->changed.wait(lock, [this] { return m_r->interruptPending || !m_r->results.empty(); });
        if (std::exchange(m_r->interruptPending, false)) {
            ++m_r->interruptedReturns;
            return WaitResult::Interrupted;
        }
        const WaitResult result = m_r->results.front();
        m_r->results.pop_front();
        if (result == WaitResult::Failed) {
            m_r->lastError = "fake: the wait failed";
        }
        return result;
    }
    void Interrupt() override
    {
        m_r->With([&] { m_r->interruptPending = true; });
    }
    WakeCapability Capability() const override { return {}; }
    std::string LastError() const override
    {
        return m_r->With([&] { return m_r->lastError; });
    }

private:
    std::shared_ptr<Record> m_r;
};

enum class Timer { Kernel, Scripted, Refused };

// A started CPower over the kernel's timer or the scripted one, its receiver recording.
struct Rig {
    explicit Rig(Timer timer = Timer::Kernel)
        : power(timer == Timer::Kernel ? std::unique_ptr<IWakeTimer>(new TimerFdWakeTimer)
                                       : std::make_unique<FakeWakeTimer>(shared))
    {
        r.createSucceeds = timer != Timer::Refused;
        power.SetNotifyWindow(r.Receiver());
        power.Init();
    }
    std::shared_ptr<Record> shared = std::make_shared<Record>();
    Record& r = *shared;
    CPower power;
};

} // namespace

// A Qt receiver declared the way the application's own classes are: inside the namespace,
// naming the event type without qualification.
namespace zembra {
class NamespacedWakeReceiver : public QObject {
    Q_OBJECT
public:
    QStringList Events() const
    {
        const std::lock_guard lock(m_mutex);
        return m_events;
    }

public Q_SLOTS:
    void onWake(const WakeEvent& event)
    {
        const std::lock_guard lock(m_mutex);
        m_events << Event(event)
                        + (QThread::currentThread() == thread()
                               ? QString()
                               : QStringLiteral(" off its thread"));
    }

private:
    mutable std::mutex m_mutex;
    QStringList m_events;
};
} // namespace zembra

Q_DECLARE_METATYPE(zembra::WakeProbe)

class TestWakeTimer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // -----------------------------------------------------------------------------------------
    // The timerfd back end, and CPower over it

    void timerArmedForPassedMoment_expiresAtOnce()
    {
        // Moments at or before the Unix epoch included: a zero it_value would disarm the timer
        // instead, and the alarm would never ring.
        const FileTime moments[] = {FromNow(-1), kUnixEpochTicks, kUnixEpochTicks - 1, 0,
                                    std::numeric_limits<FileTime>::min()};
        Rig rig;
        std::size_t count = 0;
        for (const FileTime moment : moments) {
            QVERIFY(rig.power.SetWakeTimer(moment, 1));
            QVERIFY(rig.r.WaitForEvents(++count));
        }
    }

    // Every test runs with ZEMBRA_NO_WAKE_ALARM set: the timer then works on the plain clock,
    // says why it cannot wake the machine, and never programs the machine's wake-up clock.
    void timerUnderTheTestSwitch_worksButCannotWake()
    {
        TimerFdWakeTimer timer;
        QVERIFY(timer.Create());
        QCOMPARE(Text(timer.LastError()), QString());
        const WakeCapability capability = timer.Capability();
        QCOMPARE(int(capability.kind), int(WakeCapability::Kind::Disabled));
        QVERIFY(!capability.canWake);
    }

    void powerDeliversEachArmingOnceOnWaitingThread_cancelRecallsNothing()
    {
        Rig rig;
        const FileTime due = FromNow(-1);
        QVERIFY(rig.power.SetWakeTimer(due, 0x1234'5678'9abc'def0ULL));
        QVERIFY(rig.r.WaitForEvents(1));
        QVERIFY(!rig.r.WaitForEvents(2, 80ms)); // real timer: a one-shot timer, nothing follows
        QVERIFY2(rig.power.CancelWakeTimer(), rig.power.LastError().c_str());
        QCOMPARE(rig.power.PendingToken(), std::uint64_t{0});

        const FileTime next = FromNow(10);
        QVERIFY(rig.power.SetWakeTimer(next, 2));
        QVERIFY(rig.r.WaitForEvents(2));
        QCOMPARE(rig.r.Events(), (QStringList{Event(Kind::Expired, 0x1234'5678'9abc'def0ULL, due),
                                              Event(Kind::Expired, 2, next)}));
        QVERIFY(rig.r.Entries()[0].thread != std::this_thread::get_id());
    }

    void powerArmedTwice_deliversOnlyLatestArming_data()
    {
        QTest::addColumn<int>("firstMs");
        QTest::addColumn<int>("secondMs");
        QTest::newRow("later replaces earlier") << 100 << 150;
        QTest::newRow("at once replaces later") << 100 << 0;
    }
    void powerArmedTwice_deliversOnlyLatestArming()
    {
        QFETCH(int, firstMs);
        QFETCH(int, secondMs);
        Rig rig;
        QVERIFY(rig.power.SetWakeTimer(FromNow(firstMs), 1));
        const FileTime second = FromNow(secondMs);
        QVERIFY(rig.power.SetWakeTimer(second, 2));
        QCOMPARE(rig.power.PendingToken(), std::uint64_t{2});
        QVERIFY(rig.r.WaitForEvents(1));
        QVERIFY(!rig.r.WaitForEvents(2, 150ms)); // real timer: past the replaced moment, still one
        QCOMPARE(rig.r.Events(), QStringList{Event(Kind::Expired, 2, second)});
        QVERIFY(rig.r.Entries()[0].receivedUtc >= second);
    }

    void powerQtReceiver_deliversOnReceiverThread()
    {
        QThread worker;
        worker.start();
        auto* receiver = new NamespacedWakeReceiver;
        receiver->moveToThread(&worker);
        auto power = std::make_unique<CPower>(std::make_unique<TimerFdWakeTimer>());
        QCOMPARE(power->SetNotifyWindow(receiver, "onWake"), 0);
        power->Init();
        const FileTime due = FromNow(10);
        QVERIFY(power->SetWakeTimer(due, 77));
        QTRY_COMPARE_WITH_TIMEOUT(receiver->Events(), QStringList{Event(Kind::Expired, 77, due)},
                                  5000);
        power.reset();
        // Deleted on its own thread as that thread finishes.
        receiver->deleteLater();
        worker.quit();
        QVERIFY(worker.wait(5000));
    }

    void capabilityTellsGrantedMissingPermissionAndNoClock_data()
    {
        QTest::addColumn<WakeProbe>("probe");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("command");
        using K = WakeCapability::Kind;
        const std::string path = "/opt/my apps/zembra";
        QTest::newRow("granted") << WakeProbe{false, true, 0, true, path} << int(K::CanWake)
                                 << QString();
        QTest::newRow("no permission")
            << WakeProbe{false, false, EPERM, true, path} << int(K::NoPermission)
            << QStringLiteral("sudo setcap cap_wake_alarm+ep '/opt/my apps/zembra'");
        QTest::newRow("no permission, no clock")
            << WakeProbe{false, false, EPERM, false, path} << int(K::NoWakeClock) << QString();
        QTest::newRow("allowed, no clock")
            << WakeProbe{false, true, 0, false, path} << int(K::NoWakeClock) << QString();
        QTest::newRow("no alarm timers")
            << WakeProbe{false, false, EINVAL, true, path} << int(K::NoWakeClock) << QString();
        QTest::newRow("switched off")
            << WakeProbe{true, false, 0, true, path} << int(K::Disabled) << QString();
    }
    void capabilityTellsGrantedMissingPermissionAndNoClock()
    {
        QFETCH(WakeProbe, probe);
        QFETCH(int, kind);
        QFETCH(QString, command);
        const WakeCapability capability = ClassifyWakeCapability(probe);
        QCOMPARE(int(capability.kind), kind);
        QCOMPARE(capability.canWake, kind == int(WakeCapability::Kind::CanWake));
        QCOMPARE(Text(capability.command), command);
        QCOMPARE(capability.reason.empty(), capability.canWake);
        QVERIFY(Text(capability.remedy).contains(command));
    }

    void capabilityFindsOnlyClocksThatCanWake()
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

    // -----------------------------------------------------------------------------------------
    // CPower over the scripted timer

    // With no receiver an expiry is taken and dropped: a receiver set later never gets it.
    void fakeWithoutReceiver_dropsExpiryForGood()
    {
        Rig rig(Timer::Scripted);
        QCOMPARE(rig.power.SetNotifyWindow(nullptr, nullptr), 0);
        QVERIFY(rig.power.SetWakeTimer(FromNow(-1), 1));
        rig.r.Push({WaitResult::Expired});
        QVERIFY(rig.r.WaitForWaits(2));

        rig.power.SetNotifyWindow(rig.r.Receiver());
        const FileTime due = FromNow(-1);
        QVERIFY(rig.power.SetWakeTimer(due, 2));
        rig.r.Push({WaitResult::Expired});
        QVERIFY(rig.r.WaitForWaits(3));
        QCOMPARE(rig.r.Events(), QStringList{Event(Kind::Expired, 2, due)});
    }

    void fakeCreateFails_reportsOnceAndBacksOffThenRecovers()
    {
        Rig rig(Timer::Refused);
        QCOMPARE(Text(rig.power.LastError()), QStringLiteral("fake: the timer is refused"));
        const FileTime due = FromNow(0);
        QVERIFY(!rig.power.SetWakeTimer(due, 1));

        // Init's attempt, the thread's first, then retries after 50, 100 and 200 ms.
        QVERIFY(rig.r.WaitFor([&] { return rig.r.createTimes.size() >= 5; }));
        // Backed off, not spinning: the three retries took at least 50 + 100 + 200 ms.
        const auto times = rig.r.With([&] { return rig.r.createTimes; });
        QVERIFY(times[4] - times[1] >= 349ms);
        QCOMPARE(rig.r.With([&] { return rig.r.waitCalls; }), 0);
        const QString refused = Event(Kind::WaitFailed, 0, 0, "fake: the timer is refused");
        QCOMPARE(rig.r.Events(), QStringList{refused});

        // Once the system allows the timer, the thread creates it and makes the arming that was
        // asked for meanwhile, so that alarm still rings.
        rig.r.With([&] { rig.r.createSucceeds = true; });
        QVERIFY(rig.r.WaitForWaits(1));
        rig.r.Push({WaitResult::Expired});
        QVERIFY(rig.r.WaitForEvents(2));
        QCOMPARE(rig.r.Events(), (QStringList{refused, Event(Kind::Expired, 1, due)}));
    }

    void fakeRepeatedWaitFailures_reportedOnceUntilAWaitSucceeds()
    {
        Rig rig(Timer::Scripted);
        rig.r.Push({WaitResult::Failed, WaitResult::Failed, WaitResult::Failed});
        QVERIFY(rig.r.WaitForWaits(4));
        const QString failed = Event(Kind::WaitFailed, 0, 0, "fake: the wait failed");
        QCOMPARE(rig.r.Events(), QStringList{failed});
        QCOMPARE(Text(rig.power.LastError()), QStringLiteral("fake: the wait failed"));

        // A wait that succeeds ends the run; the next failure is reported again.
        const FileTime due = FromNow(-1);
        QVERIFY(rig.power.SetWakeTimer(due, 6));
        rig.r.Push({WaitResult::Expired, WaitResult::Failed});
        QVERIFY(rig.r.WaitForEvents(3));
        QCOMPARE(rig.r.Events(), (QStringList{failed, Event(Kind::Expired, 6, due), failed}));
    }

    void fakeClockChange_reportsArmingInForce_orDeliversAPassedOneFirst()
    {
        Rig rig(Timer::Scripted);
        rig.r.Push({WaitResult::ClockChanged}); // nothing armed
        QVERIFY(rig.r.WaitForEvents(1));
        // Still armed after a change: a second change reports the same arming.
        const FileTime later = FromNow(3'600'000);
        QVERIFY(rig.power.SetWakeTimer(later, 12));
        rig.r.Push({WaitResult::ClockChanged, WaitResult::ClockChanged});
        QVERIFY(rig.r.WaitForEvents(3));
        QCOMPARE(rig.power.PendingToken(), std::uint64_t{12});

        // The kernel reports only a clock change when the clock was set past the armed moment,
        // and also when the machine resumes from suspend, woken by this very timer. The alarm
        // is due all the same, and rings once: a kernel expiry arriving after all is dropped.
        const FileTime passed = FromNow(-1);
        QVERIFY(rig.power.SetWakeTimer(passed, 13));
        rig.r.Push({WaitResult::ClockChanged, WaitResult::Expired});
        QVERIFY(rig.r.WaitForWaits(6));
        const QString changed = Event(Kind::ClockChanged, 12, later);
        QCOMPARE(rig.r.Events(),
                 (QStringList{Event(Kind::ClockChanged), changed, changed,
                              Event(Kind::Expired, 13, passed), Event(Kind::ClockChanged)}));
    }

    void fakeDestructor_joinsPromptly_data()
    {
        QTest::addColumn<bool>("createFails");
        QTest::newRow("blocked in a wait") << false;
        QTest::newRow("backing off") << true;
    }
    void fakeDestructor_joinsPromptly()
    {
        QFETCH(bool, createFails);
        auto rig = std::make_unique<Rig>(createFails ? Timer::Refused : Timer::Scripted);
        const std::shared_ptr<Record> record = rig->shared;
        // After the fifth attempt to create the timer the thread backs off for 400 ms.
        QVERIFY(record->WaitFor([&] {
            return createFails ? record->createTimes.size() >= 5 : record->waitCalls == 1;
        }));
        const auto start = Clock::now();
        rig.reset();
        // Not waiting out the 400 ms back-off (nor a blocked wait): the stop interrupts it.
        QVERIFY(Clock::now() - start < 390ms);
        QCOMPARE(record->interruptedReturns, createFails ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(TestWakeTimer)

#include "test_wake_timer.moc"
