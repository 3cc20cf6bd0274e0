// zembractl run end to end: the real binary, the real kernel timer, simulated power requests.
// The alarms are set a couple of seconds ahead, so each test waits for them on the process's
// output (never by sleeping).

#include "../app/QuietTimer.h"
#include "CAlarmRunner.h"
#include "model/CScheduler.h"
#include "time/Clock.h"

#include <sstream>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zembra;

namespace {

const QString kZembractl = QStringLiteral(ZEMBRACTL_PATH);

// The next whole second at least `ahead` seconds from now, as local wall-clock time.
SystemTime LocalSecondsAhead(int ahead, FileTime* utc = nullptr)
{
    const FileTime at = (GetSystemTimeAsFileTime() / kTicksPerSecond + ahead + 1) * kTicksPerSecond;
    if (utc != nullptr) {
        *utc = at;
    }
    return UtcToLocalSystemTime(at).value();
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
    const QDeadlineTimer deadline(timeoutMs);
    while (lines.size() < count
           && (process.canReadLine()
               || process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))) {
        if (process.canReadLine()) {
            lines << QString::fromUtf8(process.readLine()).chopped(1);
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
    const SystemTime atFirst = LocalSecondsAhead(2, &first);
    const SystemTime atSecond = LocalSecondsAhead(3);
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
    const QString firstText = QString::fromStdString(FormatIso(atFirst, false));
    QCOMPARE(ReadLines(process, 3, 15000),
             (QStringList{firstText + QStringLiteral(" standby B: message B"),
                          firstText + QStringLiteral(" wakeup A: message A"),
                          QString::fromStdString(FormatIso(atSecond, false))
                              + QStringLiteral(" wakeup C: message C")}));
    for (const char* name : {"a", "b", "c"}) {
        QTRY_COMPARE_WITH_TIMEOUT(FileLines(dir.filePath(QString::fromLatin1(name))).size(), 1,
                                  5000);
    }
    // A display-on for each wake-up; one standby for the pass of A and B, after its actions.
    const QStringList requests = FileLines(log);
    QStringList kinds;
    for (const QString& request : requests) {
        kinds << request.section(QLatin1Char(' '), 1);
    }
    QCOMPARE(kinds, QStringLiteral("display-on standby display-on").split(QLatin1Char(' ')));
    // The standby request is made at or after its alarm's moment, in UTC.
    const auto when = ParseIso(requests[1].section(QLatin1Char(' '), 0, 0).toStdString());
    FileTime requestedAt = 0;
    QVERIFY(when && when->utc && SystemTimeToFileTime(when->time, requestedAt));
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
    const SystemTime at = LocalSecondsAhead(2);
    CScheduler changed;
    AddAlarm(changed, at, kTypeWakeup, "late addition", {});
    QCOMPARE(changed.SaveToFile(list.toStdString()), 0);

    QCOMPARE(ReadLines(process, 1, 10000),
             QStringList{QString::fromStdString(FormatIso(at, false))
                         + QStringLiteral(" wakeup late addition: message late addition")});
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

// The engine in-process, with the clock and the timer in the test's hands: a shut-down alarm
// the engine could not carry out on time (stopped, or the machine asleep) rings without
// switching the machine off.
void TestRun::aLateShutdownIsReportedAndNotMade()
{
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
                            std::make_unique<test::QuietTimer>());
        QCOMPARE(runner.Start(), 0);
        now = due + 7 * kTicksPerMinute + 30 * kTicksPerSecond;
        // Token 1, whatever was armed: the road goes by what is due.
        runner.OnWake({WakeEvent::Kind::Expired, 1, due, {}});
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
    const QString list = dir.filePath(QStringLiteral("list.zmb"));
    const QString marker = dir.filePath(QStringLiteral("ran"));
    // Runs the list until its alarm rings: what the run said on its error output.
    const auto runOnce = [&] {
        CScheduler schedule;
        AddAlarm(schedule, LocalSecondsAhead(2), kTypeWakeup, "obcy", WriteMarker(dir, "ran"));
        schedule.SaveToFile(list.toStdString());
        QProcess process;
        process.start(kZembractl, {QStringLiteral("run"), list, QStringLiteral("--simulate-power"),
                                   dir.filePath(QStringLiteral("power.log"))});
        const QStringList lines = ReadLines(process, 1, 15000);
        process.terminate();
        process.waitForFinished(5000);
        return lines.size() == 1 ? QString::fromUtf8(process.readAllStandardError()) : QString();
    };

    // A list this profile never saw: the alarm rings, its program does not start.
    const QString held = runOnce();
    QVERIFY2(held.contains(QStringLiteral("program held back (not approved): sh -c")),
             qPrintable(held));
    QVERIFY(!QFile::exists(marker));

    QProcess approve;
    approve.start(kZembractl, {QStringLiteral("approve"), list, QStringLiteral("--yes")});
    QVERIFY(approve.waitForFinished(5000));
    QCOMPARE(approve.exitCode(), 0);
    QVERIFY(approve.readAllStandardOutput().contains("Approved 1 program."));

    const QString released = runOnce();
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
