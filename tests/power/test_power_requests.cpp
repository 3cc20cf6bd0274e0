// The power requests: the simulated back end, and the logind back end against fake_logind on a
// private bus. Nothing here may reach the machine's own logind: the logind cases run only when
// the "system bus" is the private session bus of dbus-run-session, and each checks that the
// service it talks to is the fake it started.

#include "CTimeZoneWatcher.h"
#include "PowerBackends.h"
#include "SimulatedPowerRequests.h"
#include "linux/LogindPowerRequests.h"
#include "model/CAlarm.h"
#include "time/ZTime.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
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
    void initTestCase();
    void cleanup();

    void simulatedWritesOneTimedLinePerRequestInOrder();
    void simulatedUnwritableLogFails_data();
    void simulatedUnwritableLogFails();

    void logindRequests_data();
    void logindRequests();
    void logindWithoutServiceSaysSo();
    void inhibitorBlocks_data();
    void inhibitorBlocks();
    void logindListsBlockingInhibitors_data();
    void logindListsBlockingInhibitors();
    void timedatedAnnouncesANewZone();

private:
    void StartFake(const QStringList& options);
    void StopFake();
    bool OwnedByFake(const QString& service) const;

    QTemporaryDir m_dir;
    QString m_callLog;
    bool m_privateBus = false;
    QByteArray m_whyNoPrivateBus;
    std::unique_ptr<QProcess> m_fake;
};

void TestPowerRequests::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_callLog = m_dir.filePath(QStringLiteral("calls.log"));

    // The logind back end always uses the system bus. Only when the runner pointed the system
    // bus at the session bus (dbus-run-session makes that a private one) may it be touched;
    // and even then a bus on which logind already lives is somebody's real system bus.
    const QByteArray system = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    const QByteArray session = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (system.isEmpty() || system != session) {
        m_whyNoPrivateBus = "DBUS_SYSTEM_BUS_ADDRESS does not name the private session bus; "
                            "run under dbus-run-session as ctest does";
        return;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        m_whyNoPrivateBus =
            "the private bus is not reachable: " + bus.lastError().message().toUtf8();
        return;
    }
    if (bus.interface()->isServiceRegistered(kLogind)) {
        m_whyNoPrivateBus = "logind already runs on this bus: it is not a private one";
        return;
    }
    m_privateBus = true;
}

void TestPowerRequests::cleanup()
{
    StopFake();
    QFile::remove(m_callLog);
}

void TestPowerRequests::StartFake(const QStringList& options)
{
    QVERIFY2(m_privateBus, "a fake service needs the private bus");
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

void TestPowerRequests::StopFake()
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

bool TestPowerRequests::OwnedByFake(const QString& service) const
{
    const QDBusReply<uint> pid = QDBusConnection::systemBus().interface()->servicePid(service);
    return pid.isValid() && m_fake && static_cast<qint64>(pid.value()) == m_fake->processId();
}

// ---------------------------------------------------------------------------------------------
// The simulated back end

void TestPowerRequests::simulatedWritesOneTimedLinePerRequestInOrder()
{
    const QString path = m_dir.filePath(QStringLiteral("simulated.log"));
    SimulatedPowerRequests power(path.toStdString());

    FileTime before = GetSystemTimeAsFileTime();
    before -= before % kTicksPerMillisecond; // the log writes whole milliseconds
    const PowerResult results[] = {power.Standby(), power.Hibernate(), power.Shutdown(),
                                   power.DisplayOn(), power.Standby()};
    const FileTime after = GetSystemTimeAsFileTime();
    for (const PowerResult& r : results) {
        QVERIFY2(r.ok, r.error.c_str());
    }

    const QStringList lines = ReadLines(path);
    const QStringList expected = {QStringLiteral("standby"), QStringLiteral("hibernate"),
                                  QStringLiteral("shutdown"), QStringLiteral("display-on"),
                                  QStringLiteral("standby")};
    QCOMPARE(lines.size(), expected.size());
    FileTime previous = before;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QLatin1Char(' '));
        QCOMPARE(fields.size(), 2);
        QCOMPARE(fields[1], expected[i]);

        // "YYYY-MM-DDTHH:MM:SS.mmmZ": UTC, with milliseconds, and the present moment.
        QCOMPARE(fields[0].size(), 24);
        const auto parsed = ParseIso(fields[0].toStdString());
        QVERIFY2(parsed.has_value(), qPrintable(fields[0]));
        QVERIFY(parsed->utc);
        FileTime when = 0;
        QVERIFY(SystemTimeToFileTime(parsed->time, when));
        QVERIFY2(when >= previous && when <= after, qPrintable(fields[0]));
        previous = when;
    }
}

void TestPowerRequests::simulatedUnwritableLogFails_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("a directory") << m_dir.path();
    QTest::newRow("in a missing directory") << m_dir.filePath(QStringLiteral("none/power.log"));
}

void TestPowerRequests::simulatedUnwritableLogFails()
{
    QFETCH(QString, path);
    SimulatedPowerRequests power(path.toStdString());
    for (const PowerResult& r :
         {power.Standby(), power.Hibernate(), power.Shutdown(), power.DisplayOn()}) {
        QVERIFY(!r.ok);
        // The user must learn which file and why.
        QVERIFY2(Text(r.error).contains(path), r.error.c_str());
        QVERIFY2(Text(r.error).contains(QLatin1String("directory")), r.error.c_str());
    }
}

// ---------------------------------------------------------------------------------------------
// The logind back end against the fake

void TestPowerRequests::logindRequests_data()
{
    QTest::addColumn<bool>("deny");
    QTest::newRow("granted") << false;
    QTest::newRow("refused") << true;
}

// Each request reaches logind once, never asking the user (interactive=false), and a refusal
// carries logind's own error text.
void TestPowerRequests::logindRequests()
{
    QFETCH(bool, deny);
    if (!m_privateBus) {
        QSKIP(m_whyNoPrivateBus.constData());
    }
    StartFake(deny ? QStringList{QStringLiteral("--deny")} : QStringList{});
    if (QTest::currentTestFailed()) {
        return;
    }
    LogindPowerRequests power;
    for (const PowerResult& r : {power.Standby(), power.Hibernate(), power.Shutdown()}) {
        QVERIFY2(r.ok != deny, r.error.c_str());
        if (deny) {
            QVERIFY2(Text(r.error).contains(QLatin1String("org.freedesktop.login1.NoPermission")),
                     r.error.c_str());
            QVERIFY2(Text(r.error).contains(QLatin1String("Access denied")), r.error.c_str());
        }
    }
    const PowerResult display = power.DisplayOn();
    QVERIFY2(display.ok != deny, display.error.c_str());
    if (deny) {
        QVERIFY2(Text(display.error).contains(QLatin1String("Not allowed to simulate activity")),
                 display.error.c_str());
    }

    const QStringList expected = {
        QStringLiteral("Suspend false"), QStringLiteral("Hibernate false"),
        QStringLiteral("PowerOff false"), QStringLiteral("SimulateUserActivity")};
    QCOMPARE(ReadLines(m_callLog), expected);
}

void TestPowerRequests::logindWithoutServiceSaysSo()
{
    if (!m_privateBus) {
        QSKIP(m_whyNoPrivateBus.constData());
    }
    QVERIFY(!QDBusConnection::systemBus().interface()->isServiceRegistered(kLogind));
    QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(kScreenSaver));

    LogindPowerRequests power;
    for (const PowerResult& r : {power.Standby(), power.Hibernate(), power.Shutdown()}) {
        QVERIFY(!r.ok);
        QVERIFY2(Text(r.error).contains(QLatin1String("logind (org.freedesktop.login1) is not "
                                                      "running on the system bus")),
                 r.error.c_str());
        QVERIFY2(Text(r.error).contains(QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")),
                 r.error.c_str());
    }
    const PowerResult display = power.DisplayOn();
    QVERIFY(!display.ok);
    QVERIFY2(Text(display.error)
                 .contains(QLatin1String("No screen saver "
                                         "(org.freedesktop.ScreenSaver) is "
                                         "running on the session bus")),
             display.error.c_str());
    QVERIFY(power.BlockingInhibitors(kTypeStandby).empty());
}

void TestPowerRequests::inhibitorBlocks_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("alarmType");
    QTest::addColumn<bool>("blocks");
    struct Row {
        const char* name;
        const char* what;
        const char* mode;
        const char* alarmType;
        bool blocks;
    };
    const Row rows[] = {
        {"sleep blocks standby", "sleep", "block", kTypeStandby, true},
        {"sleep blocks hibernate", "sleep", "block", kTypeHibernate, true},
        {"sleep lets shutdown pass", "sleep", "block", kTypeShutdown, false},
        {"shutdown blocks shutdown", "shutdown", "block", kTypeShutdown, true},
        {"shutdown lets standby pass", "shutdown", "block", kTypeStandby, false},
        {"last of a list", "idle:handle-lid-switch:sleep", "block", kTypeHibernate, true},
        {"middle of a list", "idle:shutdown:sleep", "block", kTypeShutdown, true},
        {"list without the word", "idle:handle-suspend-key", "block", kTypeStandby, false},
        {"a delay only waits", "sleep:shutdown", "delay", kTypeStandby, false},
        {"empty list", "", "block", kTypeStandby, false},
        {"wakeup asks nothing", "sleep:shutdown", "block", kTypeWakeup, false},
    };
    for (const Row& row : rows) {
        QTest::newRow(row.name) << row.what << row.mode << row.alarmType << row.blocks;
    }
}

void TestPowerRequests::inhibitorBlocks()
{
    QFETCH(QString, what);
    QFETCH(QString, mode);
    QFETCH(QString, alarmType);
    QFETCH(bool, blocks);
    QCOMPARE(InhibitorBlocks(what.toStdString(), mode.toStdString(), alarmType.toStdString()),
             blocks);
}

void TestPowerRequests::logindListsBlockingInhibitors_data()
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

// Only block-mode inhibitors of the matching word come back, in logind's order and with every
// field in place; the simulated back end answers the same from the system yet passes none of
// its own requests on.
void TestPowerRequests::logindListsBlockingInhibitors()
{
    QFETCH(QString, alarmType);
    QFETCH(QStringList, expected);
    if (!m_privateBus) {
        QSKIP(m_whyNoPrivateBus.constData());
    }
    StartFake({QStringLiteral("--inhibitor=sleep|Updater|Installing updates|block|1000|101"),
               QStringLiteral("--inhibitor=shutdown|Burner|Writing a disc|block|1000|102"),
               QStringLiteral("--inhibitor=sleep:shutdown|Player|Playing|delay|1000|103"),
               QStringLiteral("--inhibitor=idle:sleep:shutdown|Backup|Copying files|block|0|104"),
               QStringLiteral("--inhibitor=handle-lid-switch|Desktop|Lid|block|1000|105")});
    if (QTest::currentTestFailed()) {
        return;
    }
    const std::vector<PowerInhibitor> blockers = LogindPowerRequests().BlockingInhibitors(alarmType.toStdString());
    QCOMPARE(Describe(blockers), expected);
    // What the power countdown shows of them.
    QStringList said;
    for (const QString& entry : expected) {
        const QStringList fields = entry.split(QLatin1Char('|'));
        said << QStringLiteral("%1 (%2)").arg(fields[0], fields[1]);
    }
    QCOMPARE(QString::fromStdString(DescribeInhibitors(blockers)), said.join(QStringLiteral(", ")));

    const QString log = m_dir.filePath(QStringLiteral("simulated.log"));
    const std::unique_ptr<IPowerRequests> simulated = CreatePowerRequests(log.toStdString());
    QCOMPARE(Describe(simulated->BlockingInhibitors(alarmType.toStdString())), expected);
    for (const PowerResult& r : {simulated->Standby(), simulated->Hibernate(),
                                 simulated->Shutdown(), simulated->DisplayOn()}) {
        QVERIFY2(r.ok, r.error.c_str());
    }
    QFile::remove(log);
    QCOMPARE(ReadLines(m_callLog), QStringList(2, QStringLiteral("ListInhibitors")));
}

// The zone watcher hears systemd-timedated's announcement on the system bus (here the test's own
// bus, where this test stands in for timedated).
void TestPowerRequests::timedatedAnnouncesANewZone()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    QVERIFY(bus.isConnected());
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.timedate1")));
    CTimeZoneWatcher watcher(SystemTimeZoneSources(), bus);
    QSignalSpy changed(&watcher, &CTimeZoneWatcher::ZoneChanged);
    const auto announce = [&bus](const QString& interface, const QString& property) {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/timedate1"),
                                                         QStringLiteral("org.freedesktop.DBus.Properties"),
                                                         QStringLiteral("PropertiesChanged"));
        signal << interface << QVariantMap{{property, QStringLiteral("America/New_York")}} << QStringList();
        return bus.send(signal);
    };
    // Another property, or another interface, is no new zone.
    QVERIFY(announce(QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("NTP")));
    QVERIFY(announce(QStringLiteral("org.example.Other"), QStringLiteral("Timezone")));
    QVERIFY(announce(QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("Timezone")));
    QVERIFY(changed.wait(5000));
    QCOMPARE(changed.count(), 1);
    bus.unregisterService(QStringLiteral("org.freedesktop.timedate1"));
}

QTEST_GUILESS_MAIN(TestPowerRequests)

#include "test_power_requests.moc"
