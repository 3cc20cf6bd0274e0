// The power requests: the simulated back end, and the logind back end against fake_logind on a
// private bus. Nothing here may reach the machine's own logind: the test runs only when the
// "system bus" is the private session bus of dbus-run-session, and each logind case checks that
// the service it talks to is the fake it started.

#include "CTimeZoneWatcher.h"
#include "PowerBackends.h"
#include "SimulatedPowerRequests.h"
#include "linux/LogindPowerRequests.h"
#include "model/CAlarm.h"
#include "time/ZTime.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

using namespace zembra;

namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
constexpr int kStartTimeoutMs = 10000;

QStringList ReadLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString Text(const std::string& s)
{
    return QString::fromStdString(s);
}

QStringList Words(const char* text, char separator = ' ')
{
    return QString::fromUtf8(text).split(QLatin1Char(separator), Qt::SkipEmptyParts);
}

// Standby, hibernate, shut-down and display-on, in that order.
std::vector<PowerResult> RequestAll(IPowerRequests& power)
{
    return {power.Standby(), power.Hibernate(), power.Shutdown(), power.DisplayOn()};
}

// "<who>|<why>|<what>|<uid>|<pid>", the form the fake takes them in, less the mode.
QStringList Describe(const std::vector<PowerInhibitor>& inhibitors)
{
    QStringList lines;
    for (const PowerInhibitor& i : inhibitors) {
        lines << QStringList{Text(i.who), Text(i.why), Text(i.what), QString::number(i.uid),
                             QString::number(i.pid)}
                     .join(QLatin1Char('|'));
    }
    return lines;
}

} // namespace

class TestPowerRequests : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_callLog = m_dir.filePath(QStringLiteral("calls.log"));
        // The logind back end always uses the system bus. Only when the runner pointed the
        // system bus at the session bus (dbus-run-session makes that a private one) may it be
        // touched; and even then a bus on which logind already lives is somebody's real one.
        const QByteArray system = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
        QVERIFY2(!system.isEmpty() && system == qgetenv("DBUS_SESSION_BUS_ADDRESS"),
                 "DBUS_SYSTEM_BUS_ADDRESS does not name the private session bus; run under "
                 "dbus-run-session as ctest does");
        const QDBusConnection bus = QDBusConnection::systemBus();
        QVERIFY2(bus.isConnected(), qPrintable(bus.lastError().message()));
        QVERIFY2(!bus.interface()->isServiceRegistered(kLogind),
                 "logind already runs on this bus: it is not a private one");
    }

    void cleanup()
    {
        StopFake();
        QFile::remove(m_callLog);
    }

    // -----------------------------------------------------------------------------------------
    // The simulated back end

    void simulatedWritesOneTimedLinePerRequestInOrder()
    {
        const QString path = m_dir.filePath(QStringLiteral("simulated.log"));
        SimulatedPowerRequests power(path.toStdString());
        FileTime before = GetSystemTimeAsFileTime();
        before -= before % kTicksPerMillisecond; // the log writes whole milliseconds
        std::vector<PowerResult> results = RequestAll(power);
        results.push_back(power.Standby());
        const FileTime after = GetSystemTimeAsFileTime();

        const QStringList lines = ReadLines(path);
        const QStringList expected = Words("standby hibernate shutdown display-on standby");
        QCOMPARE(lines.size(), expected.size());
        FileTime previous = before;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QVERIFY2(results[std::size_t(i)].ok, results[std::size_t(i)].error.c_str());
            const QStringList fields = lines[i].split(QLatin1Char(' '));
            QCOMPARE(fields.size(), 2);
            QCOMPARE(fields[1], expected[i]);
            // "YYYY-MM-DDTHH:MM:SS.mmmZ": UTC, with milliseconds, and the present moment.
            QCOMPARE(fields[0].size(), 24);
            const auto parsed = ParseIso(fields[0].toStdString());
            FileTime when = 0;
            QVERIFY2(parsed && parsed->utc && SystemTimeToFileTime(parsed->time, when),
                     qPrintable(fields[0]));
            QVERIFY2(when >= previous && when <= after, qPrintable(fields[0]));
            previous = when;
        }
    }

    void simulatedUnwritableLogFails_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("a directory") << m_dir.path();
        QTest::newRow("in a missing directory") << m_dir.filePath(QStringLiteral("none/power.log"));
    }
    void simulatedUnwritableLogFails()
    {
        QFETCH(QString, path);
        SimulatedPowerRequests power(path.toStdString());
        for (const PowerResult& r : RequestAll(power)) {
            // The user must learn which file and why.
            QVERIFY(!r.ok);
            QVERIFY2(Text(r.error).contains(path), r.error.c_str());
            QVERIFY2(Text(r.error).contains(QLatin1String("directory")), r.error.c_str());
        }
    }

    // -----------------------------------------------------------------------------------------
    // The logind back end against the fake

    void logindRequests_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("refusal");        // what each power request's error says
        QTest::addColumn<QStringList>("displayRefusal"); // what display-on's says
        QTest::newRow("granted") << true << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("refused") << true << Words("--deny")
                                 << Words("org.freedesktop.login1.NoPermission|Access denied", '|')
                                 << Words("Not allowed to simulate activity", '|');
        QTest::newRow("not running")
            << false << QStringList{}
            << Words("logind (org.freedesktop.login1) is not running on the system bus|"
                     "org.freedesktop.DBus.Error.ServiceUnknown",
                     '|')
            << Words("No screen saver (org.freedesktop.ScreenSaver) is running on the session bus",
                     '|');
    }
    // Each request reaches logind once, never asking the user (interactive=false); a refusal
    // carries logind's own error text, and a missing service is named.
    void logindRequests()
    {
        QFETCH(bool, running);
        QFETCH(QStringList, options);
        QFETCH(QStringList, refusal);
        QFETCH(QStringList, displayRefusal);
        if (running) {
            StartFake(options);
            if (QTest::currentTestFailed()) {
                return;
            }
        }
        LogindPowerRequests power;
        const std::vector<PowerResult> results = RequestAll(power);
        for (std::size_t i = 0; i < results.size(); ++i) {
            const QStringList& texts = i < 3 ? refusal : displayRefusal;
            QVERIFY2(results[i].ok == texts.isEmpty(), results[i].error.c_str());
            for (const QString& text : texts) {
                QVERIFY2(Text(results[i].error).contains(text), results[i].error.c_str());
            }
        }
        QCOMPARE(ReadLines(m_callLog),
                 running ? Words(
                     "Suspend false,Hibernate false,PowerOff false,SimulateUserActivity", ',')
                         : QStringList{});
        // No inhibitor, a refused list or no service at all: nothing blocks.
        QVERIFY(power.BlockingInhibitors(kTypeStandby).empty());
    }

    void logindListsBlockingInhibitors_data()
    {
        QTest::addColumn<QString>("alarmType");
        QTest::addColumn<QStringList>("expected");
        const QString updater = QStringLiteral("Updater|Installing updates|sleep|1000|101");
        const QString burner = QStringLiteral("Burner|Writing a disc|shutdown|1000|102");
        const QString backup = QStringLiteral("Backup|Copying files|idle:sleep:shutdown|0|104");
        QTest::newRow("standby") << QStringLiteral("standby") << QStringList{updater, backup};
        QTest::newRow("hibernate") << QStringLiteral("hibernate") << QStringList{updater, backup};
        QTest::newRow("shutdown") << QStringLiteral("shutdown") << QStringList{burner, backup};
        QTest::newRow("wakeup") << QStringLiteral("wakeup") << QStringList{};
    }
    // Only block-mode inhibitors whose list holds the alarm type's word (a whole word, wherever
    // it stands) come back, in logind's order and with every field in place; a wake-up asks
    // nothing. The simulated back end answers the same from the system yet passes none of its
    // own requests on.
    void logindListsBlockingInhibitors()
    {
        QFETCH(QString, alarmType);
        QFETCH(QStringList, expected);
        StartFake(
            {QStringLiteral("--inhibitor=sleep|Updater|Installing updates|block|1000|101"),
             QStringLiteral("--inhibitor=shutdown|Burner|Writing a disc|block|1000|102"),
             QStringLiteral("--inhibitor=sleep:shutdown|Player|Playing|delay|1000|103"),
             QStringLiteral("--inhibitor=idle:sleep:shutdown|Backup|Copying files|block|0|104"),
             QStringLiteral("--inhibitor=idle:handle-suspend-key|Desktop|Keys|block|1000|105"),
             QStringLiteral("--inhibitor=|Nobody|Nothing|block|1000|106")});
        if (QTest::currentTestFailed()) {
            return;
        }
        const std::string type = alarmType.toStdString();
        const std::vector<PowerInhibitor> blockers = LogindPowerRequests().BlockingInhibitors(type);
        QCOMPARE(Describe(blockers), expected);
        // What the power countdown shows of them.
        QStringList said;
        for (const QString& entry : expected) {
            const QStringList fields = entry.split(QLatin1Char('|'));
            said << QStringLiteral("%1 (%2)").arg(fields[0], fields[1]);
        }
        QCOMPARE(Text(DescribeInhibitors(blockers)), said.join(QStringLiteral(", ")));

        const QString log = m_dir.filePath(QStringLiteral("simulated.log"));
        const std::unique_ptr<IPowerRequests> simulated = CreatePowerRequests(log.toStdString());
        QCOMPARE(Describe(simulated->BlockingInhibitors(type)), expected);
        for (const PowerResult& r : RequestAll(*simulated)) {
            QVERIFY2(r.ok, r.error.c_str());
        }
        QFile::remove(log);
        QCOMPARE(ReadLines(m_callLog), QStringList(2, QStringLiteral("ListInhibitors")));
    }

    // The zone watcher hears systemd-timedated's announcement on the system bus (here the test's
    // own bus, where this test stands in for timedated).
    void timedatedAnnouncesANewZone()
    {
        QDBusConnection bus = QDBusConnection::systemBus();
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.timedate1")));
        CTimeZoneWatcher watcher(SystemTimeZoneSources(), bus);
        QSignalSpy changed(&watcher, &CTimeZoneWatcher::ZoneChanged);
        const auto announce = [&bus](const char* interface, const char* property) {
            QDBusMessage signal =
                QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/timedate1"),
                                           QStringLiteral("org.freedesktop.DBus.Properties"),
                                           QStringLiteral("PropertiesChanged"));
            signal << QString::fromUtf8(interface)
                   << QVariantMap{{QString::fromUtf8(property), QStringLiteral("America/New_York")}}
                   << QStringList();
            return bus.send(signal);
        };
        // Another property, or another interface, is no new zone.
        QVERIFY(announce("org.freedesktop.timedate1", "NTP"));
        QVERIFY(announce("org.example.Other", "Timezone"));
        QVERIFY(announce("org.freedesktop.timedate1", "Timezone"));
        QVERIFY(changed.wait(5000));
        QCOMPARE(changed.count(), 1);
        bus.unregisterService(QStringLiteral("org.freedesktop.timedate1"));
    }

private:
    void StartFake(const QStringList& options)
    {
        QVERIFY(!m_fake);
        m_fake = std::make_unique<QProcess>();
        m_fake->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_fake->start(QStringLiteral(FAKE_LOGIND_PATH), QStringList{m_callLog} + options);
        QVERIFY2(m_fake->waitForStarted(kStartTimeoutMs), qPrintable(m_fake->errorString()));
        QByteArray output;
        const QDeadlineTimer deadline(kStartTimeoutMs);
        while (!output.contains("ready\n") && !deadline.hasExpired()
               && m_fake->state() == QProcess::Running) {
            m_fake->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
            output += m_fake->readAllStandardOutput();
        }
        QVERIFY2(output.contains("ready\n"), "fake_logind did not come up");
        // The calls below must reach this process and nothing else.
        QVERIFY(OwnedByFake(kLogind));
        QVERIFY(OwnedByFake(kScreenSaver));
    }

    void StopFake()
    {
        if (!m_fake) {
            return;
        }
        m_fake->closeWriteChannel(); // the fake quits when its input closes
        if (!m_fake->waitForFinished(kStartTimeoutMs)) {
            m_fake->kill();
            m_fake->waitForFinished(kStartTimeoutMs);
        }
        m_fake.reset();
        // The bus lets go of the names on its own time; the next case needs them free.
        QDBusConnectionInterface* bus = QDBusConnection::systemBus().interface();
        QTRY_VERIFY_WITH_TIMEOUT(!bus->isServiceRegistered(kLogind), kStartTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!bus->isServiceRegistered(kScreenSaver), kStartTimeoutMs);
    }

    bool OwnedByFake(const QString& service) const
    {
        const QDBusReply<uint> pid = QDBusConnection::systemBus().interface()->servicePid(service);
        return pid.isValid() && static_cast<qint64>(pid.value()) == m_fake->processId();
    }

    QTemporaryDir m_dir;
    QString m_callLog;
    std::unique_ptr<QProcess> m_fake;
};

QTEST_GUILESS_MAIN(TestPowerRequests)

#include "test_power_requests.moc"
