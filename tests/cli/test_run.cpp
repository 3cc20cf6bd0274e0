// zembractl run end to end: the real binary, the real kernel timer, simulated power requests.
// The alarms are set a couple of seconds ahead, so each test waits for them on the process's
// output (never by sleeping).

#include "CAlarmRunner.h"
#include "model/CScheduler.h"
#include "time/Clock.h"

#include <condition_variable>
#include <mutex>
#include <sstream>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zembra;

namespace {

const QString kZembractl = QStringLiteral(ZEMBRACTL_PATH);

// The next whole second at least `ahead` seconds from now, as local wall-clock time.
SystemTime LocalSecondsAhead(int ahead, FileTime& utc)
{
    const FileTime now = GetSystemTimeAsFileTime();
    utc = (now / kTicksPerSecond + ahead + 1) * kTicksPerSecond;
    return UtcToLocalSystemTime(utc).value();
}

void AddAlarm(CScheduler& schedule, const SystemTime& local, const char* type, const char* comment,
              const QString& program)
{
    auto alarm = std::make_unique<CAlarm>();
    alarm->m_strFrequency = kFrequencyOnce;
    alarm->m_strType = type;
    alarm->m_time = local;
    alarm->m_bActive = true;
    alarm->m_strComment = comment;
    alarm->m_strMessage = std::string("message ") + comment;
    alarm->m_bMessageActive = true;
    alarm->m_strProgram = program.toStdString();
    alarm->m_bProgramActive = !program.isEmpty();
    schedule.AddAlarm(std::move(alarm));
}

// A program that adds a line to a file of the folder, named after the alarm.
QString WriteMarker(const QTemporaryDir& dir, const char* name)
{
    return QStringLiteral("sh -c 'echo started >> \"%1\"'")
        .arg(dir.filePath(QString::fromLatin1(name)));
}

QStringList ReadLines(QProcess& process, int count, int timeoutMs)
{
    QStringList lines;
    QByteArray buffer;
    QElapsedTimer clock;
    clock.start();
    while (lines.size() < count && clock.elapsed() < timeoutMs) {
        if (!process.waitForReadyRead(static_cast<int>(timeoutMs - clock.elapsed()))) {
            break;
        }
        buffer += process.readAllStandardOutput();
        while (buffer.contains('\n')) {
            const int end = static_cast<int>(buffer.indexOf('\n'));
            lines << QString::fromUtf8(buffer.left(end));
            buffer.remove(0, end + 1);
        }
    }
    return lines;
}

QStringList FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void StopCleanly(QProcess& process)
{
    process.terminate();
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

} // namespace

class TestRun : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void carriesOutDueAlarmsInOrderWithOnePowerRequest();
    void followsTheListWhenItChanges();
    void refusesFilesItCannotUse();
    void aLateShutdownIsReportedAndNotMade();
    void programsOfAListFromElsewhereWaitForApproval();
};

void TestRun::carriesOutDueAlarmsInOrderWithOnePowerRequest()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    FileTime first = 0;
    FileTime second = 0;
    const SystemTime atFirst = LocalSecondsAhead(2, first);
    const SystemTime atSecond = LocalSecondsAhead(3, second);
    CScheduler schedule;
    // The timer is armed for the first of the two at the same second; the other, carried out
    // first, is no missed alarm: its standby is made, once.
    AddAlarm(schedule, atFirst, kTypeWakeup, "A", WriteMarker(dir, "a"));
    AddAlarm(schedule, atFirst, kTypeStandby, "B", WriteMarker(dir, "b"));
    AddAlarm(schedule, atSecond, kTypeWakeup, "C", WriteMarker(dir, "c"));
    const QString list = dir.filePath(QStringLiteral("list.zmb"));
    QCOMPARE(schedule.SaveToFile(list.toStdString()), 0);
    const QString log = dir.filePath(QStringLiteral("power.log"));
    // The list is the user's own: its programs are approved, as saving it would.
    QProcess approve;
    approve.start(kZembractl, {QStringLiteral("approve"), list, QStringLiteral("--yes")});
    QVERIFY(approve.waitForFinished(5000));

    QProcess process;
    process.start(kZembractl,
                  {QStringLiteral("run"), list, QStringLiteral("--simulate-power"), log});
    QVERIFY(process.waitForStarted());
    const QStringList lines = ReadLines(process, 3, 15000);
    QCOMPARE(lines.size(), 3);
    const QString firstText = QString::fromStdString(FormatIso(atFirst, false));
    QCOMPARE(lines[0], firstText + QStringLiteral(" standby B: message B"));
    QCOMPARE(lines[1], firstText + QStringLiteral(" wakeup A: message A"));
    QCOMPARE(lines[2], QString::fromStdString(FormatIso(atSecond, false))
                           + QStringLiteral(" wakeup C: message C"));

    for (const char* name : {"a", "b", "c"}) {
        QTRY_COMPARE_WITH_TIMEOUT(FileLines(dir.filePath(QString::fromLatin1(name))).size(), 1,
                                  5000);
    }
    const QStringList requests = FileLines(log);
    QCOMPARE(requests.filter(QStringLiteral(" standby")).size(), 1);
    QCOMPARE(requests.filter(QStringLiteral(" hibernate")).size()
                 + requests.filter(QStringLiteral(" shutdown")).size(),
             0);
    // The standby request is made at or after its alarm's moment, in UTC.
    const QString standbyLine = requests.filter(QStringLiteral(" standby")).first();
    const auto when = ParseIso(standbyLine.section(QLatin1Char(' '), 0, 0).toStdString());
    QVERIFY(when && when->utc);
    FileTime requestedAt = 0;
    QVERIFY(SystemTimeToFileTime(when->time, requestedAt));
    QVERIFY(requestedAt >= first);

    StopCleanly(process);
    // The start says whether the timer can wake the machine (either way).
    QVERIFY(process.readAllStandardError().contains("wake the computer from sleep"));
}

void TestRun::followsTheListWhenItChanges()
{
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("list.zmb"));
    CScheduler empty;
    QCOMPARE(empty.SaveToFile(list.toStdString()), 0);

    QProcess process;
    process.start(kZembractl, {QStringLiteral("run"), list, QStringLiteral("--simulate-power"),
                               dir.filePath(QStringLiteral("power.log"))});
    QVERIFY(process.waitForStarted());
    QByteArray errors;
    QTRY_VERIFY_WITH_TIMEOUT(
        (errors += process.readAllStandardError()).contains("no alarm pending"), 5000);

    // Saved the way the program saves (a new file renamed over the old one).
    FileTime at = 0;
    CScheduler changed;
    AddAlarm(changed, LocalSecondsAhead(2, at), kTypeWakeup, "late addition", {});
    QCOMPARE(changed.SaveToFile(list.toStdString()), 0);

    const QStringList lines = ReadLines(process, 1, 10000);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].endsWith(QStringLiteral(" wakeup late addition: message late addition")));
    StopCleanly(process);
}

void TestRun::refusesFilesItCannotUse()
{
    QTemporaryDir dir;
    QFile garbage(dir.filePath(QStringLiteral("garbage.zmb")));
    QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write("<Zembra><Alarm></Zembra>") > 0);
    garbage.close();
    for (const auto& [name, code] : {std::pair{"missing.zmb", 3}, std::pair{"garbage.zmb", 4}}) {
        QProcess process;
        process.start(kZembractl, {QStringLiteral("run"), dir.filePath(QString::fromLatin1(name))});
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitCode(), code);
        QVERIFY(code == 3
                || process.readAllStandardError().contains("End tag does not correspond to Alarm"));
    }
}

// The engine in-process, with the clock and the timer in the test's hands: a shut-down alarm the
// engine could not carry out on time (stopped, or the machine asleep) rings without switching
// the machine off.
void TestRun::aLateShutdownIsReportedAndNotMade()
{
    class Timer final : public IWakeTimer {
    public:
        bool Create() override { return true; }
        bool Arm(FileTime) override { return true; }
        bool Cancel() override { return true; }
        WaitResult Wait() override
        {
            std::unique_lock lock(m_mutex);
            m_interrupted.wait(lock, [this] { return m_stop; });
            return WaitResult::Interrupted;
        }
        void Interrupt() override
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
            m_interrupted.notify_all();
        }
        WakeCapability Capability() const override { return WakeCapability::Granted(); }
        std::string LastError() const override { return {}; }

    private:
        std::mutex m_mutex;
        std::condition_variable m_interrupted;
        bool m_stop = false;
    };

    QTemporaryDir dir;
    const SystemTime at{2030, 3, 1, 4, 23, 0, 0, 0};
    CScheduler schedule;
    AddAlarm(schedule, at, kTypeShutdown, "night", {});
    const QString list = dir.filePath(QStringLiteral("list.zmb"));
    QCOMPARE(schedule.SaveToFile(list.toStdString()), 0);
    const FileTime due = LocalSystemTimeToUtc(at).value();
    FileTime now = due - kTicksPerHour;
    Clock::SetForTesting([&now] { return now; });
    const QString log = dir.filePath(QStringLiteral("power.log"));

    std::ostringstream out;
    std::ostringstream err;
    {
        CAlarmRunner runner({list.toStdString(), log.toStdString()}, out, err,
                            std::make_unique<Timer>());
        QCOMPARE(runner.Start(), 0);
        now = due + 7 * kTicksPerMinute + 30 * kTicksPerSecond;
        WakeEvent expired;
        expired.kind = WakeEvent::Kind::Expired;
        expired.token = 1; // whatever was armed: the road goes by what is due
        expired.armedForUtc = due;
        runner.OnWake(expired);
    }
    Clock::SetForTesting({});
    QCOMPARE(
        QString::fromStdString(out.str()),
        QString::fromStdString(FormatIso(at, false))
            + QStringLiteral(" shutdown night: message night (late 7 min), shutdown skipped\n"));
    QVERIFY(FileLines(log).isEmpty());
}

void TestRun::programsOfAListFromElsewhereWaitForApproval()
{
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    const QString marker = dir.filePath(QStringLiteral("ran"));
    const auto runOnce = [&](const QString& list) {
        FileTime at = 0;
        CScheduler schedule;
        AddAlarm(schedule, LocalSecondsAhead(2, at), kTypeWakeup, "obcy", WriteMarker(dir, "ran"));
        schedule.SaveToFile(list.toStdString());
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(kZembractl, {QStringLiteral("run"), list, QStringLiteral("--simulate-power"),
                                   dir.filePath(QStringLiteral("power.log"))});
        process.waitForStarted();
        const QStringList lines = ReadLines(process, 1, 15000);
        process.terminate();
        process.waitForFinished(5000);
        return lines.size() == 1 ? QString::fromUtf8(process.readAllStandardError()) : QString();
    };

    // A list this profile never saw: the alarm rings, its program does not start.
    const QString list = dir.filePath(QStringLiteral("list.zmb"));
    const QString held = runOnce(list);
    QVERIFY2(held.contains(QStringLiteral("program held back (not approved): sh -c")),
             qPrintable(held));
    QVERIFY(!QFile::exists(marker));

    QProcess approve;
    approve.setProcessEnvironment(env);
    approve.start(kZembractl, {QStringLiteral("approve"), list, QStringLiteral("--yes")});
    QVERIFY(approve.waitForFinished(5000));
    QCOMPARE(approve.exitCode(), 0);
    QVERIFY(approve.readAllStandardOutput().contains("Approved 1 program."));

    const QString released = runOnce(list);
    QVERIFY(!released.isEmpty());
    QVERIFY(!released.contains(QStringLiteral("held back")));
    QTRY_COMPARE_WITH_TIMEOUT(FileLines(marker).size(), 1, 5000);
}

int main(int argc, char** argv)
{
    // The approvals live in the settings: every process of the test gets a profile of its own.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    QCoreApplication app(argc, argv);
    TestRun test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_run.moc"
