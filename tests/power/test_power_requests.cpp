// The power requests: the simulated back end, and the logind back end against fake_logind on a
// private bus. Nothing here may reach the machine's own logind: the test runs only when the
// "system bus" is the private session bus of dbus-run-session, and each logind case checks that
// the service it talks to is the fake it started.

#include "CTimeZoneWatcher.h"
#include "PowerBackends.h"
#include "SimulatedPowerRequests.h"
#include "linux/LogindPowerRequests.h"
#include "model/CAlarm.h"

#include <QtDBus>
#include <QtTest>

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
        if (m_fake) {
            m_fake->kill();
            m_fake->waitForFinished(kStartTimeoutMs);
            m_fake.reset();
        }
        QFile::remove(m_callLog);
        // The bus lets go of the names on its own time; the next case needs them free.
        QDBusConnectionInterface* bus = QDBusConnection::systemBus().interface();
        QTRY_VERIFY_WITH_TIMEOUT(!bus->isServiceRegistered(kLogind)
                                     && !bus->isServiceRegistered(kScreenSaver),
                                 kStartTimeoutMs);
    }

    // -----------------------------------------------------------------------------------------
    // The simulated back end

    void simulatedUnwritableLogFails_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("why");
        QTest::newRow("in a missing directory") << m_dir.filePath(QStringLiteral("none/power.log"))
                                                << QStringLiteral("No such file or directory");
        QTest::newRow("on a full disk")
            << QStringLiteral("/dev/full") << QStringLiteral("No space left on device");
    }
    // The user must learn which file and why.
    void simulatedUnwritableLogFails()
    {
        QFETCH(QString, path);
        QFETCH(QString, why);
        SimulatedPowerRequests power(path.toStdString());
        for (const PowerResult& r : RequestAll(power)) {
            QVERIFY(!r.ok);
            QCOMPARE(
                Text(r.error),
                QStringLiteral("Cannot write the power request log \"%1\": %2").arg(path, why));
        }
    }

    // -----------------------------------------------------------------------------------------
    // The logind back end against the fake

    void logindRequests_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("refusal");        // what each power request's error says
        QTest::addColumn<QString>("displayRefusal"); // what display-on's says
        QTest::newRow("granted") << true << QStringList{} << QString() << QString();
        const QString denied =
            QStringLiteral("org.freedesktop.DBus.Error.AccessDenied: Not allowed");
        QTest::newRow("refused") << true << Words("--deny") << denied << denied;
        QTest::newRow("not running")
            << false << QStringList{}
            << QStringLiteral("logind (org.freedesktop.login1) is not running on the system bus: "
                              "org.freedesktop.DBus.Error.ServiceUnknown")
            << QStringLiteral("No screen saver (org.freedesktop.ScreenSaver) is running on the "
                              "session bus: org.freedesktop.DBus.Error.ServiceUnknown");
    }
    // Each request reaches logind once, never asking the user (interactive=false); a refusal
    // carries the service's own error text, and a missing service is named.
    void logindRequests()
    {
        QFETCH(bool, running);
        QFETCH(QStringList, options);
        QFETCH(QString, refusal);
        QFETCH(QString, displayRefusal);
        QVERIFY(!running || StartFake(options));
        LogindPowerRequests power;
        const std::vector<PowerResult> results = RequestAll(power);
        for (std::size_t i = 0; i < results.size(); ++i) {
            const QString& text = i < 3 ? refusal : displayRefusal;
            QVERIFY2(results[i].ok == text.isEmpty() && Text(results[i].error).contains(text),
                     results[i].error.c_str());
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
        QVERIFY(StartFake(
            {QStringLiteral("--inhibitor=sleep|Updater|Installing updates|block|1000|101"),
             QStringLiteral("--inhibitor=shutdown|Burner|Writing a disc|block|1000|102"),
             QStringLiteral("--inhibitor=sleep:shutdown|Player|Playing|delay|1000|103"),
             QStringLiteral("--inhibitor=idle:sleep:shutdown|Backup|Copying files|block|0|104"),
             QStringLiteral("--inhibitor=idle:handle-suspend-key|Desktop|Keys|block|1000|105"),
             QStringLiteral("--inhibitor=|Nobody|Nothing|block|1000|106")}));
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
        // One line a request, in order, each after its UTC time (which the run test reads).
        QStringList logged;
        for (const QString& line : ReadLines(log)) {
            logged << line.section(QLatin1Char(' '), 1);
        }
        QCOMPARE(logged, Words("standby hibernate shutdown display-on"));
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
    // True once the fake owns both names: the calls of a case must reach it and nothing else.
    bool StartFake(const QStringList& options)
    {
        m_fake = std::make_unique<QProcess>();
        m_fake->setProcessChannelMode(QProcess::ForwardedChannels);
        m_fake->start(QStringLiteral(FAKE_LOGIND_PATH), QStringList{m_callLog} + options);
        const auto owned = [this](const QString& service) {
            const QDBusReply<uint> pid =
                QDBusConnection::systemBus().interface()->servicePid(service);
            return pid.isValid() && static_cast<qint64>(pid.value()) == m_fake->processId();
        };
        return QTest::qWaitFor([&] { return owned(kLogind) && owned(kScreenSaver); },
                               kStartTimeoutMs);
    }

    QTemporaryDir m_dir;
    const QString m_callLog = m_dir.filePath(QStringLiteral("calls.log"));
    std::unique_ptr<QProcess> m_fake;
};

QTEST_GUILESS_MAIN(TestPowerRequests)

#include "test_power_requests.moc"
