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

#include <QtTest>

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
// waiting thread, waited on by the test.
struct Record {
    std::mutex mutex;
    std::condition_variable changed;

    QStringList events; // as Event() gives them, marked when one came on the test's own thread
    bool createSucceeds = true;
    std::deque<WaitResult> results; // what the coming waits return, in order
    bool interruptPending = false;
    std::vector<Clock::time_point> createTimes;
    int waitCalls = 0;
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
        return [this, tester = std::this_thread::get_id()](const WakeEvent& event) {
            const QString where = std::this_thread::get_id() == tester
                                      ? QStringLiteral(" on the test's thread")
                                      : QString();
            With([&] { events << Event(event) + where; });
        };
    }
    bool WaitForEvents(qsizetype count, Clock::duration limit = kPromptly)
    {
        return WaitFor([&] { return events.size() >= count; }, limit);
    }
    // True once the waiting thread has begun its count-th wait, having dealt with all before.
    bool WaitForWaits(int count)
    {
        return WaitFor([&] { return waitCalls >= count; });
    }
    QStringList Events()
    {
        return With([&] { return events; });
    }
    void Push(std::initializer_list<WaitResult> more)
    {
        With([&] { results.insert(results.end(), more); });
    }
};

class FakeWakeTimer final : public IWakeTimer {
public:
    explicit FakeWakeTimer(Record& record)
        : m_r(record)
    {
    }

    bool Create() override
    {
        return m_r.With([&] {
            m_r.createTimes.push_back(Clock::now());
            if (!m_r.createSucceeds) {
                m_r.lastError = "fake: the timer is refused";
            }
            return m_r.createSucceeds;
        });
    }
    bool Arm(FileTime) override { return true; }
    bool Cancel() override { return true; }
    WaitResult Wait() override
    {
        std::unique_lock lock(m_r.mutex);
        ++m_r.waitCalls;
        m_r.changed.notify_all();
        m_r.changed.wait(lock, [this] { return m_r.interruptPending || !m_r.results.empty(); });
        if (std::exchange(m_r.interruptPending, false)) {
            return WaitResult::Interrupted;
        }
        const WaitResult result = m_r.results.front();
        m_r.results.pop_front();
        if (result == WaitResult::Failed) {
            m_r.lastError = "fake: the wait failed";
        }
        return result;
    }
    void Interrupt() override
    {
        m_r.With([&] { m_r.interruptPending = true; });
    }
    WakeCapability Capability() const override { return {}; }
    std::string LastError() const override
    {
        return m_r.With([&] { return m_r.lastError; });
    }

private:
    Record& m_r;
};

enum class Timer { Kernel, Scripted, Refused };

// A started CPower over the kernel's timer or the scripted one, its receiver recording. The
// record outlives the CPower, whose waiting thread writes to it.
struct Rig {
    explicit Rig(Timer timer = Timer::Kernel)
        : power(timer == Timer::Kernel ? std::unique_ptr<IWakeTimer>(new TimerFdWakeTimer)
                                       : std::make_unique<FakeWakeTimer>(r))
    {
        r.createSucceeds = timer != Timer::Refused;
        power.SetNotifyWindow(r.Receiver());
        power.Init();
    }
    Record r;
    CPower power;
};

} // namespace

// A Qt receiver declared the way the application's own classes are: inside the namespace,
// naming the event type without qualification. It records what it gets, marked when it came off
// its own thread.
namespace zembra {
class NamespacedWakeReceiver : public QObject {
    Q_OBJECT
public:
    explicit NamespacedWakeReceiver(Record& record)
        : m_record(record)
    {
    }

public Q_SLOTS:
    void onWake(const WakeEvent& event)
    {
        const QString where =
            QThread::currentThread() == thread() ? QString() : QStringLiteral(" off its thread");
        m_record.With([&] { m_record.events << Event(event) + where; });
    }

private:
    Record& m_record;
};
} // namespace zembra

Q_DECLARE_METATYPE(zembra::WakeProbe)

class TestWakeTimer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // -----------------------------------------------------------------------------------------
    // The timerfd back end, and CPower over it

    // Each arming rings once, with its token and moment, on the waiting thread. Moments at or
    // before the Unix epoch included: a zero it_value would disarm the timer instead, and the
    // alarm would never ring.
    void powerDeliversEachArmingOnce_passedMomentsAtOnce()
    {
        const FileTime moments[] = {FromNow(-1), kUnixEpochTicks, kUnixEpochTicks - 1, 0,
                                    std::numeric_limits<FileTime>::min()};
        Rig rig;
        QStringList expected;
        for (const FileTime moment : moments) {
            const std::uint64_t token = 0x1234'5678'9abc'def0ULL + expected.size();
            QVERIFY(rig.power.SetWakeTimer(moment, token));
            expected << Event(Kind::Expired, token, moment);
            QVERIFY(rig.r.WaitForEvents(expected.size()));
        }
        QVERIFY(!rig.r.WaitForEvents(expected.size() + 1, 80ms)); // one-shot: nothing follows
        QCOMPARE(rig.r.Events(), expected);
        // Cancelling after the expiry recalls nothing and leaves no token pending.
        QVERIFY2(rig.power.CancelWakeTimer(), rig.power.LastError().c_str());
        QCOMPARE(rig.power.PendingToken(), std::uint64_t{0});
    }

    // Every test runs with ZEMBRA_NO_WAKE_ALARM set: the timer then works on the plain clock,
    // says why it cannot wake the machine, and never programs the machine's wake-up clock. Before
    // it exists, it refuses to be armed or waited on, and says so.
    void timerUnderTheTestSwitch_worksButCannotWake_unusableBeforeCreated()
    {
        TimerFdWakeTimer timer;
        QCOMPARE(Text(timer.Capability().reason),
                 QStringLiteral("the wake timer has not been created"));
        QVERIFY(!timer.Arm(FromNow(0)));
        QCOMPARE(int(timer.Wait()), int(WaitResult::Failed));
        QCOMPARE(Text(timer.LastError()),
                 QStringLiteral("cannot wait for the wake-up timer: it has not been created"));
        QVERIFY(timer.Create());
        const WakeCapability capability = timer.Capability();
        QCOMPARE(int(capability.kind), int(WakeCapability::Kind::Disabled));
    }

    void powerQtReceiver_deliversOnReceiverThread_refusesMissingSlot()
    {
        Record record;
        QThread worker;
        worker.start();
        auto* receiver = new NamespacedWakeReceiver(record);
        receiver->moveToThread(&worker);
        auto power = std::make_unique<CPower>(std::make_unique<TimerFdWakeTimer>());
        QTest::ignoreMessage(QtWarningMsg,
                             "CPower::SetNotifyWindow: zembra::NamespacedWakeReceiver "
                             "has no method onSleep(const zembra::WakeEvent&)");
        QCOMPARE(power->SetNotifyWindow(receiver, "onSleep"), -1);
        // The SLOT() spelling names the same method as the bare name.
        QCOMPARE(power->SetNotifyWindow(receiver, SLOT(onWake(zembra::WakeEvent))), 0);
        power->Init();
        const FileTime due = FromNow(10);
        QVERIFY(power->SetWakeTimer(due, 77));
        QVERIFY(record.WaitForEvents(1));
        QCOMPARE(record.Events(), QStringList{Event(Kind::Expired, 77, due)});
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
        QTest::newRow("no alarm timers")
            << WakeProbe{false, false, EINVAL, true, path} << int(K::NoWakeClock) << QString();
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
        const std::string root = sys.path().toStdString();
        QVERIFY(!HasWakeCapableRtc(root + "/missing"));
        QVERIFY(QDir(sys.path()).mkpath(QStringLiteral("rtc0")));
        QVERIFY(!HasWakeCapableRtc(root));
        QVERIFY(QFile(sys.filePath(QStringLiteral("rtc0/wakealarm"))).open(QIODevice::WriteOnly));
        QVERIFY(HasWakeCapableRtc(root));
    }

    // -----------------------------------------------------------------------------------------
    // CPower over the scripted timer

    // A refused timer is reported once and tried again, backing off; once it exists, the arming
    // asked for meanwhile is made, so that alarm still rings. Failing waits too are reported once
    // per run of failures: a wait that succeeds ends the run.
    void fakeFailures_reportedOncePerRun_refusedTimerRetriedThenArmed()
    {
        Rig rig(Timer::Refused);
        QCOMPARE(Text(rig.power.LastError()), QStringLiteral("fake: the timer is refused"));
        const FileTime due = FromNow(0);
        QVERIFY(!rig.power.SetWakeTimer(due, 1));

        // Init's attempt, the thread's first, then retries after 50, 100 and 200 ms, and no wait
        // between them (a wait on the scripted timer would block the retries).
        QVERIFY(rig.r.WaitFor([&] { return rig.r.createTimes.size() >= 5; }));
        // Backed off, not spinning: the three retries took at least 50 + 100 + 200 ms.
        const auto times = rig.r.With([&] { return rig.r.createTimes; });
        QVERIFY(times[4] - times[1] >= 349ms);
        const QString refused = Event(Kind::WaitFailed, 0, 0, "fake: the timer is refused");
        QCOMPARE(rig.r.Events(), QStringList{refused});

        rig.r.With([&] { rig.r.createSucceeds = true; });
        QVERIFY(rig.r.WaitForWaits(1));
        rig.r.Push(
            {WaitResult::Expired, WaitResult::Failed, WaitResult::Failed, WaitResult::Failed});
        QVERIFY(rig.r.WaitForWaits(4));
        QCOMPARE(Text(rig.power.LastError()), QStringLiteral("fake: the wait failed"));
        QCOMPARE(rig.r.Events(),
                 (QStringList{refused, Event(Kind::Expired, 1, due),
                              Event(Kind::WaitFailed, 0, 0, "fake: the wait failed")}));
    }

    // With no receiver an expiry is taken and dropped: the receiver set later never gets it. A
    // change of the clock tells the arming still in force, or rings an armed moment it passed.
    void fakeEvents_droppedWithoutReceiver_clockChangeTellsArmingInForceOrRingsPassedOne()
    {
        Rig rig(Timer::Scripted);
        QCOMPARE(rig.power.SetNotifyWindow(nullptr, nullptr), 0);
        QVERIFY(rig.power.SetWakeTimer(FromNow(-1), 1));
        rig.r.Push({WaitResult::Expired});
        QVERIFY(rig.r.WaitForWaits(2));
        rig.power.SetNotifyWindow(rig.r.Receiver());
        rig.r.Push({WaitResult::ClockChanged}); // nothing armed
        QVERIFY(rig.r.WaitForEvents(1));
        // Still armed after a change: a second change reports the same arming. An expiry in
        // between belonged to an arming this one replaced: ringing it would be early.
        const FileTime later = FromNow(3'600'000);
        QVERIFY(rig.power.SetWakeTimer(later, 12));
        rig.r.Push({WaitResult::ClockChanged, WaitResult::Expired, WaitResult::ClockChanged});
        QVERIFY(rig.r.WaitForEvents(3));
        QCOMPARE(rig.power.PendingToken(), std::uint64_t{12});

        // The kernel reports only a clock change when the clock was set past the armed moment,
        // and also when the machine resumes from suspend, woken by this very timer. The alarm
        // is due all the same, and rings once: a kernel expiry arriving after all is dropped.
        const FileTime passed = FromNow(-1);
        QVERIFY(rig.power.SetWakeTimer(passed, 13));
        rig.r.Push({WaitResult::ClockChanged, WaitResult::Expired});
        QVERIFY(rig.r.WaitForWaits(8));
        const QString changed = Event(Kind::ClockChanged, 12, later);
        QCOMPARE(rig.r.Events(),
                 (QStringList{Event(Kind::ClockChanged), changed, changed,
                              Event(Kind::Expired, 13, passed), Event(Kind::ClockChanged)}));
    }

    // The stop interrupts the back-off: the 400 ms after the fifth refused attempt to create the
    // timer are not waited out. (A stop that did not interrupt a blocked wait would hang every
    // test here.)
    void fakeDestructorDuringBackOff_joinsPromptly()
    {
        auto rig = std::make_unique<Rig>(Timer::Refused);
        QVERIFY(rig->r.WaitFor([&] { return rig->r.createTimes.size() >= 5; }));
        const auto start = Clock::now();
        rig.reset();
        QVERIFY(Clock::now() - start < 390ms);
    }
};

QTEST_GUILESS_MAIN(TestWakeTimer)

#include "test_wake_timer.moc"
