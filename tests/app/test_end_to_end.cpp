// The desktop program from end to end: the real zembra binary, offscreen, with its own
// configuration folder and simulated power requests, carries out two alarms due at the same
// second a couple of seconds ahead. The test waits for what the program does (files it writes,
// lines it logs), never for a fixed time.

#include "ProgramProfile.h"
#include "model/CScheduler.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zembra;

namespace {

QStringList FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoAlarmsAtOneSecondAreCarriedOutInOrder();
};

void TestEndToEnd::twoAlarmsAtOneSecondAreCarriedOutInOrder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A profile of its own: no tip of the day at start, no list reopened.
    const QProcessEnvironment env = test::ProgramProfile(dir.path(), "Tips=0\nAutoload=0\n");

    const FileTime now = GetSystemTimeAsFileTime();
    const FileTime firing = (now / kTicksPerSecond + 3) * kTicksPerSecond;
    const SystemTime local = UtcToLocalSystemTime(firing).value();
    const QString marker = dir.filePath(QStringLiteral("ran"));
    const auto add = [&](CScheduler& schedule, const char* frequency, const char* type, const char* name,
                         const char* message) {
        auto alarm = std::make_unique<CAlarm>();
        alarm->m_strFrequency = frequency;
        alarm->m_strType = type;
        alarm->m_time = local;
        alarm->m_bActive = true;
        alarm->m_strComment = name;
        alarm->m_strMessage = message;
        alarm->m_bMessageActive = true;
        alarm->m_strProgram = "sh -c 'echo " + std::string(name) + " >> \"" + marker.toStdString() + "\"'";
        alarm->m_bProgramActive = true;
        schedule.AddAlarm(std::move(alarm));
    };
    CScheduler schedule;
    // The timer is armed for the first; the second, at the same second, is carried out first,
    // and its standby is made once, after every other action (no "missed" alarm).
    add(schedule, kFrequencyOnce, kTypeWakeup, "first", "Drugi alarm");
    add(schedule, kFrequencyEveryday, kTypeStandby, "second", "Koniec pracy");
    const QString list = dir.filePath(QStringLiteral("alarms.zmb"));
    QCOMPARE(schedule.SaveToFile(list.toStdString()), 0);
    const QString log = dir.filePath(QStringLiteral("power.log"));

    // The list is the user's own: its programs are approved, as saving it would.
    QProcess approve;
    approve.setProcessEnvironment(env);
    approve.start(QStringLiteral(ZEMBRACTL_PATH), {QStringLiteral("approve"), list, QStringLiteral("--yes")});
    QVERIFY(approve.waitForFinished(5000));
    QCOMPARE(approve.exitCode(), 0);

    QProcess zembra;
    zembra.setProcessEnvironment(env);
    zembra.start(QStringLiteral(ZEMBRA_PATH), {list, QStringLiteral("--simulate-power"), log});
    QVERIFY(zembra.waitForStarted());

    QTRY_COMPARE_WITH_TIMEOUT(FileLines(marker).size(), 2, 20000);
    // Both programs ran; they run side by side, so the order is read from the log instead.
    QStringList ran = FileLines(marker);
    ran.sort();
    QCOMPARE(ran, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));

    QByteArray errors;
    QTRY_VERIFY_WITH_TIMEOUT((errors += zembra.readAllStandardError()).contains("pop-up: \"1: Koniec pracy\"")
                                 || errors.contains("pop-up: \"2: Koniec pracy\""),
                             10000);
    const qsizetype second = errors.indexOf("carried out: second");
    QVERIFY(second >= 0);
    QVERIFY(second < errors.indexOf("carried out: first"));
    const QStringList requests = FileLines(log);
    QCOMPARE(requests.filter(QStringLiteral(" standby")).size(), 1);
    QCOMPARE(requests.filter(QStringLiteral(" hibernate")).size() + requests.filter(QStringLiteral(" shutdown")).size(), 0);

    // Still running, armed for the everyday standby's next occurrence.
    QCOMPARE(zembra.state(), QProcess::Running);
    const SystemTime tomorrow = UtcToLocalSystemTime(firing + kTicksPerDay).value();
    const QByteArray armed = "armed for " + QByteArray::fromStdString(FormatIso(tomorrow, false));
    QTRY_VERIFY2_WITH_TIMEOUT((errors += zembra.readAllStandardError()).contains(armed), errors.constData(), 5000);

    zembra.terminate();
    QVERIFY(zembra.waitForFinished(10000));
    QCOMPARE(zembra.exitStatus(), QProcess::NormalExit);
    QCOMPARE(zembra.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
