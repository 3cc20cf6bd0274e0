// zembractl run end to end: the real binary, the real kernel timer, simulated power requests.
// The alarms are set a couple of seconds ahead, so each test waits for them on the process's
// output (never by sleeping).

#include "../app/AlarmLists.h"
#include "../app/QuietTimer.h"
#include "CAlarmRunner.h"
#include "time/Clock.h"

#include <sstream>

#include <QtTest>

using namespace zembra;

namespace {

const QString kZembractl = QStringLiteral(ZEMBRACTL_PATH);

// The next whole second at least `ahead` seconds from now, as local wall-clock time.
SystemTime LocalSecondsAhead(int ahead)
{
    const FileTime at = (GetSystemTimeAsFileTime() / kTicksPerSecond + ahead + 1) * kTicksPerSecond;
    return UtcToLocalSystemTime(at).value();
}

// A one-time alarm with the message "message <comment>", starting `program` when one is given.
CAlarm RunAlarm(const SystemTime& local, const char* type, const char* comment,
                const QString& program = {})
{
    CAlarm alarm = test::Alarm(local, comment, kFrequencyOnce, type);
    alarm.m_strMessage = std::string("message ") + comment;
    alarm.m_bMessageActive = true;
    alarm.m_strProgram = program.toStdString();
    alarm.m_bProgramActive = !program.isEmpty();
    return alarm;
}

// The line that zembractl run writes when an alarm made by RunAlarm rings.
QString Rang(const SystemTime& local, const char* type, const char* comment)
{
    return QStringLiteral("%1 %2 %3: message %3")
        .arg(QString::fromStdString(FormatIso(local, false)), QLatin1String(type),
             QLatin1String(comment));
}

// A program that adds a line to a file of the folder, named after the alarm.
QString WriteMarker(const QTemporaryDir& dir, const char* name)
{
    return QStringLiteral("sh -c 'echo started >> \"%1\"'")
        .arg(dir.filePath(QString::fromLatin1(name)));
}

// zembractl run on the list, its power requests simulated into power.log of the folder.
bool StartRun(QProcess& process, const QTemporaryDir& dir, const QString& list)
{
    process.start(kZembractl, {QStringLiteral("run"), list, QStringLiteral("--simulate-power"),
                               dir.filePath(QStringLiteral("power.log"))});
    return process.waitForStarted();
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
    void holdsBackProgramsOfAListFromElsewhereAndFollowsItsChanges();
    void refusesFilesItCannotUse();
    void aLateShutdownIsReportedAndNotMade();
};

void TestRun::carriesOutDueAlarmsInOrderWithOnePowerRequest()
{
    QTemporaryDir dir;
    const SystemTime atFirst = LocalSecondsAhead(2);
    const SystemTime atSecond = LocalSecondsAhead(3);
    // The timer is armed for the first of the two at the same second; the other, carried out
    // first, is no missed alarm: its standby is made, once.
    const QString list = dir.filePath(QStringLiteral("list.zmb"));
    QVERIFY(test::WriteList(list, {RunAlarm(atFirst, kTypeWakeup, "A", WriteMarker(dir, "a")),
                                   RunAlarm(atFirst, kTypeStandby, "B", WriteMarker(dir, "b")),
                                   RunAlarm(atSecond, kTypeWakeup, "C", WriteMarker(dir, "c"))}));
    // The list is the user's own: its programs are approved, as saving it would.
    QProcess approve;
    approve.start(kZembractl, {QStringLiteral("approve"), list, QStringLiteral("--yes")});
    QVERIFY(approve.waitForFinished(5000));
    QVERIFY(approve.readAllStandardOutput().endsWith("Approved 3 programs.\n"));

    QProcess process;
    QVERIFY(StartRun(process, dir, list));
    QCOMPARE(ReadLines(process, 3, 15000),
             (QStringList{Rang(atFirst, kTypeStandby, "B"), Rang(atFirst, kTypeWakeup, "A"),
                          Rang(atSecond, kTypeWakeup, "C")}));
    for (const char* name : {"a", "b", "c"}) {
        QTRY_COMPARE_WITH_TIMEOUT(FileLines(dir.filePath(QString::fromLatin1(name))).size(), 1,
                                  5000);
    }
    // A display-on for each wake-up; one standby for the pass of A and B, after its actions.
    const QStringList requests = FileLines(dir.filePath(QStringLiteral("power.log")));
    QStringList kinds;
    for (const QString& request : requests) {
        kinds << request.section(QLatin1Char(' '), 1);
    }
    QCOMPARE(kinds, QStringLiteral("display-on standby display-on").split(QLatin1Char(' ')));
    // The standby request is made at or after its alarm's moment, in UTC.
    const auto when = ParseIso(requests[1].section(QLatin1Char(' '), 0, 0).toStdString());
    FileTime requestedAt = 0;
    QVERIFY(when && when->utc && SystemTimeToFileTime(when->time, requestedAt));
    QVERIFY(requestedAt >= LocalSystemTimeToUtc(atFirst).value());

    StopCleanly(process);
    // The start says whether the timer can wake the machine (either way).
    QVERIFY(process.readAllStandardError().contains("wake the computer from sleep"));
}

// A list this profile never saw (its command line names the test's own folder, so no other case
// approved it): the alarm rings, its program does not start. Saved anew the way the program
// saves (a new file renamed over the old one), the list is read again.
void TestRun::holdsBackProgramsOfAListFromElsewhereAndFollowsItsChanges()
{
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("list.zmb"));
    const SystemTime at = LocalSecondsAhead(2);
    QVERIFY(test::WriteList(list, {RunAlarm(at, kTypeWakeup, "obcy", WriteMarker(dir, "ran"))}));
    QProcess process;
    QVERIFY(StartRun(process, dir, list));
    QCOMPARE(ReadLines(process, 1, 15000), QStringList{Rang(at, kTypeWakeup, "obcy")});
    QByteArray errors;
    QTRY_COMPARE_WITH_TIMEOUT(
        (errors += process.readAllStandardError()).count("program held back (not approved): sh -c"),
        2, 5000); // said at the start, and when it rang

    const SystemTime later = LocalSecondsAhead(2);
    QVERIFY(test::WriteList(list, {RunAlarm(later, kTypeWakeup, "late addition")}));
    QCOMPARE(ReadLines(process, 1, 10000), QStringList{Rang(later, kTypeWakeup, "late addition")});
    StopCleanly(process);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("ran"))));
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
    const QString list = dir.filePath(QStringLiteral("list.zmb"));
    QVERIFY(test::WriteList(list, {RunAlarm(at, kTypeShutdown, "night")}));
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
    QCOMPARE(QString::fromStdString(out.str()),
             Rang(at, kTypeShutdown, "night")
                 + QStringLiteral(" (late 7 min), shutdown skipped\n"));
    QVERIFY(FileLines(log).isEmpty());
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
