// The power requests: the simulated back end, the choice of back ends, and the logind back end
// against fake_logind on a private bus. Nothing here may reach the machine's own logind: the
// logind cases run only when the "system bus" is the private session bus of dbus-run-session,
// and each checks that the service it talks to is the fake it started.

#include "PowerBackends.h"
#include "SimulatedPowerRequests.h"
#include "linux/LogindPowerRequests.h"
#include "linux/TimerFdWakeTimer.h"
#include "time/ZTime.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <thread>
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

// Ticks of a moment truncated to whole milliseconds, as the log writes it.
FileTime FloorToMilliseconds(FileTime t)
{
    return t - t % kTicksPerMillisecond;
}

} // namespace

class TestPowerRequests : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void simulatedWritesOneTimedLinePerRequestInOrder();
    void simulatedAppendsToWhatIsThere();
    void simulatedKeepsLinesWholeAcrossThreads();
    void simulatedUnwritableLogFails_data();
    void simulatedUnwritableLogFails();
    void backendsAreChosenByTheSimulationPath();

    void logindRequestsAreNonInteractive();
    void logindRequestsWorkFromAnotherThread();
    void logindRefusalCarriesLogindsError();
    void logindWithoutServiceSaysSo();
    void logindSilenceEndsInTimeout();
    void displayOnFallsBackToShortScreenSaverPath();

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

    const FileTime before = FloorToMilliseconds(GetSystemTimeAsFileTime());
    const PowerResult results[] = {power.Standby(), power.Hibernate(), power.Shutdown(),
                                   power.DisplayOn(), power.Standby()};
    const FileTime after = GetSystemTimeAsFileTime();
    for (const PowerResult& r : results) {
        QVERIFY2(r.ok, r.error.c_str());
        QVERIFY(r.error.empty());
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

void TestPowerRequests::simulatedAppendsToWhatIsThere()
{
    const QString path = m_dir.filePath(QStringLiteral("existing.log"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("written before\n");
    }
    SimulatedPowerRequests first(path.toStdString());
    QVERIFY(first.Hibernate().ok);
    // A second back end on the same file (a restarted program) adds to it as well.
    SimulatedPowerRequests second(path.toStdString());
    QVERIFY(second.Shutdown().ok);

    const QStringList lines = ReadLines(path);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("written before"));
    QVERIFY(lines[1].endsWith(QStringLiteral("Z hibernate")));
    QVERIFY(lines[2].endsWith(QStringLiteral("Z shutdown")));
}

void TestPowerRequests::simulatedKeepsLinesWholeAcrossThreads()
{
    const QString path = m_dir.filePath(QStringLiteral("threads.log"));
    SimulatedPowerRequests power(path.toStdString());
    constexpr int kThreads = 4;
    constexpr int kEach = 100;
    const std::function<PowerResult()> requests[kThreads] = {
        [&] { return power.Standby(); }, [&] { return power.Hibernate(); },
        [&] { return power.Shutdown(); }, [&] { return power.DisplayOn(); }};
    std::vector<int> failures(kThreads, 0);
    {
        std::vector<std::jthread> threads;
        threads.reserve(kThreads);
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                for (int i = 0; i < kEach; ++i) {
                    failures[static_cast<std::size_t>(t)] += requests[t]().ok ? 0 : 1;
                }
            });
        }
    }
    for (int f : failures) {
        QCOMPARE(f, 0);
    }

    const QStringList lines = ReadLines(path);
    QCOMPARE(lines.size(), kThreads * kEach);
    QMap<QString, int> counts;
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '));
        QCOMPARE(fields.size(), 2);
        QVERIFY2(ParseIso(fields[0].toStdString()).has_value(), qPrintable(line));
        ++counts[fields[1]];
    }
    QCOMPARE(counts.value(QStringLiteral("standby")), kEach);
    QCOMPARE(counts.value(QStringLiteral("hibernate")), kEach);
    QCOMPARE(counts.value(QStringLiteral("shutdown")), kEach);
    QCOMPARE(counts.value(QStringLiteral("display-on")), kEach);
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

void TestPowerRequests::backendsAreChosenByTheSimulationPath()
{
    QVERIFY(dynamic_cast<TimerFdWakeTimer*>(CreateSystemWakeTimer().get()) != nullptr);

    const std::unique_ptr<IPowerRequests> system = CreatePowerRequests();
    QVERIFY(dynamic_cast<LogindPowerRequests*>(system.get()) != nullptr);
    QVERIFY(dynamic_cast<LogindPowerRequests*>(CreatePowerRequests({}).get()) != nullptr);

    const QString path = m_dir.filePath(QStringLiteral("chosen.log"));
    const std::unique_ptr<IPowerRequests> simulated = CreatePowerRequests(path.toStdString());
    const auto* chosen = dynamic_cast<SimulatedPowerRequests*>(simulated.get());
    QVERIFY(chosen != nullptr);
    QCOMPARE(Text(chosen->LogPath()), path);
    QVERIFY(simulated->Standby().ok);
    const QStringList lines = ReadLines(path);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].endsWith(QStringLiteral("Z standby")));
}

// ---------------------------------------------------------------------------------------------
// The logind back end against the fake

#define REQUIRE_PRIVATE_BUS()                                                                      \
    do {                                                                                           \
        if (!m_privateBus)                                                                         \
            QSKIP(m_whyNoPrivateBus.constData());                                                  \
    } while (false)

void TestPowerRequests::logindRequestsAreNonInteractive()
{
    REQUIRE_PRIVATE_BUS();
    StartFake({});
    if (QTest::currentTestFailed()) {
        return;
    }
    LogindPowerRequests power;
    PowerResult r = power.Standby();
    QVERIFY2(r.ok, r.error.c_str());
    r = power.Hibernate();
    QVERIFY2(r.ok, r.error.c_str());
    r = power.Shutdown();
    QVERIFY2(r.ok, r.error.c_str());
    r = power.DisplayOn();
    QVERIFY2(r.ok, r.error.c_str());

    const QStringList expected = {
        QStringLiteral("Suspend false"), QStringLiteral("Hibernate false"),
        QStringLiteral("PowerOff false"), QStringLiteral("SimulateUserActivity")};
    QCOMPARE(ReadLines(m_callLog), expected);
}

void TestPowerRequests::logindRequestsWorkFromAnotherThread()
{
    REQUIRE_PRIVATE_BUS();
    StartFake({});
    if (QTest::currentTestFailed()) {
        return;
    }
    // Made here, used on a worker thread, as the program's alerter does.
    LogindPowerRequests power;
    std::vector<PowerResult> results;
    std::thread worker([&] {
        results.push_back(power.Hibernate());
        results.push_back(power.DisplayOn());
        results.push_back(power.Standby());
    });
    worker.join();
    QCOMPARE(results.size(), std::size_t{3});
    for (const PowerResult& r : results) {
        QVERIFY2(r.ok, r.error.c_str());
    }
    const QStringList expected = {QStringLiteral("Hibernate false"),
                                  QStringLiteral("SimulateUserActivity"),
                                  QStringLiteral("Suspend false")};
    QCOMPARE(ReadLines(m_callLog), expected);
}

void TestPowerRequests::logindRefusalCarriesLogindsError()
{
    REQUIRE_PRIVATE_BUS();
    StartFake({QStringLiteral("--deny")});
    if (QTest::currentTestFailed()) {
        return;
    }
    LogindPowerRequests power;
    for (const PowerResult& r : {power.Standby(), power.Hibernate(), power.Shutdown()}) {
        QVERIFY(!r.ok);
        QVERIFY2(Text(r.error).contains(QLatin1String("org.freedesktop.login1.NoPermission")),
                 r.error.c_str());
        QVERIFY2(Text(r.error).contains(QLatin1String("Access denied")), r.error.c_str());
    }
    const PowerResult display = power.DisplayOn();
    QVERIFY(!display.ok);
    QVERIFY2(Text(display.error).contains(QLatin1String("org.freedesktop.DBus.Error.AccessDenied")),
             display.error.c_str());
    QVERIFY2(Text(display.error).contains(QLatin1String("Not allowed to simulate activity")),
             display.error.c_str());

    // The refused requests did reach logind, each once: a refusal is not retried.
    const QStringList expected = {
        QStringLiteral("Suspend false"), QStringLiteral("Hibernate false"),
        QStringLiteral("PowerOff false"), QStringLiteral("SimulateUserActivity")};
    QCOMPARE(ReadLines(m_callLog), expected);
}

void TestPowerRequests::logindWithoutServiceSaysSo()
{
    REQUIRE_PRIVATE_BUS();
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
}

void TestPowerRequests::logindSilenceEndsInTimeout()
{
    REQUIRE_PRIVATE_BUS();
    StartFake({QStringLiteral("--no-reply")});
    if (QTest::currentTestFailed()) {
        return;
    }
    constexpr qint64 kTimeoutMs = 300;
    LogindPowerRequests power(static_cast<int>(kTimeoutMs));
    QElapsedTimer clock;
    clock.start();
    const PowerResult standby = power.Standby();
    const PowerResult display = power.DisplayOn();
    const qint64 elapsed = clock.elapsed();

    QVERIFY(!standby.ok);
    QVERIFY2(
        Text(standby.error).contains(QLatin1String("logind did not answer Suspend within 300 ms")),
        standby.error.c_str());
    QVERIFY(!display.ok);
    QVERIFY2(Text(display.error).contains(QLatin1String("did not answer within 300 ms")),
             display.error.c_str());
    // The time-out given is the one used, not the bus's default of some 25 s.
    QVERIFY2(elapsed >= 2 * kTimeoutMs - 50 && elapsed < 10 * kTimeoutMs,
             qPrintable(QString::number(elapsed)));
    QCOMPARE(ReadLines(m_callLog), QStringList({QStringLiteral("Suspend false"),
                                                QStringLiteral("SimulateUserActivity")}));
}

void TestPowerRequests::displayOnFallsBackToShortScreenSaverPath()
{
    REQUIRE_PRIVATE_BUS();
    StartFake({QStringLiteral("--screensaver-path=/ScreenSaver")});
    if (QTest::currentTestFailed()) {
        return;
    }
    LogindPowerRequests power;
    const PowerResult r = power.DisplayOn();
    QVERIFY2(r.ok, r.error.c_str());
    QCOMPARE(ReadLines(m_callLog), QStringList{QStringLiteral("SimulateUserActivity")});
}

QTEST_GUILESS_MAIN(TestPowerRequests)

#include "test_power_requests.moc"
