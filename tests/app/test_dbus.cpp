// The program's interface on the session bus, on a private bus of the test's own
// (dbus-run-session): first the application in this process, with a fixed clock, called over a
// connection of its own as any other program would; then the real zembra and zembractl, with an
// alarm a few seconds ahead, as a user would run them.

#include "AlarmLists.h"
#include "ApplicationId.h"
#include "CAlerterThread.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CSettings.h"
#include "CZembracfgApp.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "ProgramProfile.h"
#include "time/Clock.h"

#include <QtDBus>
#include <QtTest>
#include <QtWidgets>

using namespace zembra;
using namespace Qt::StringLiterals;
using test::Alarm;
using test::WriteList;

static FileTime g_now = 0;

static SystemTime Local(std::uint16_t hour, std::uint16_t minute)
{
    return SystemTime{2030, 3, 1, 4, hour, minute, 0, 0};
}

static FileTime Utc(int hour, int minute)
{
    return LocalSystemTimeToUtc(Local(hour, minute)).value();
}

// The UTC text of a local time on 4 March 2030, as Qt writes it.
static QString UtcIso(int hour, int minute)
{
    return QDateTime(QDate(2030, 3, 4), QTime(hour, minute)).toUTC().toString(Qt::ISODateWithMs);
}

// Another program on the bus: its own connection, whose calls wait with the event loop running,
// so that the application in this process can answer them.
static QDBusConnection Client()
{
    static QDBusConnection client =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"client"_s);
    return client;
}

static QDBusMessage Call(const QString& method, const QVariantList& arguments = {},
                         const char* interface = kDBusInterface)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kApplicationId),
                                                       QString::fromLatin1(kDBusObjectPath),
                                                       QString::fromLatin1(interface), method);
    call.setArguments(arguments);
    // Waited for with the events running (not BlockWithGui, whose nested loop can miss a reply
    // that arrives while it is being set up, and then waits for ever); the bus gives up after
    // 10 s with an error reply.
    QDBusPendingCall pending = Client().asyncCall(call, 10000);
    return QTest::qWaitFor([&pending] { return pending.isFinished(); }, 15000) ? pending.reply()
                                                                               : QDBusMessage();
}

static QVariant Property(const char* name)
{
    const QDBusMessage reply =
        Call(u"Get"_s, {QString::fromLatin1(kDBusInterface), QString::fromLatin1(name)},
             "org.freedesktop.DBus.Properties");
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

static QVariantMap Map(const QVariant& value)
{
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value) : value.toMap();
}

static QList<QVariantMap> Alarms()
{
    return qdbus_cast<QList<QVariantMap>>(
        Call(u"ListAlarms"_s).arguments().value(0).value<QDBusArgument>());
}

// What the program announces on the bus: its own signals and its properties' changes.
class Listener : public QObject {
    Q_OBJECT

public:
    Listener()
    {
        for (const char* iface : {kDBusInterface, "org.freedesktop.DBus.Properties"})
            Client().connect(QString::fromLatin1(kApplicationId),
                             QString::fromLatin1(kDBusObjectPath), QString::fromLatin1(iface), {},
                             this, SLOT(Heard(QDBusMessage)));
    }

    QList<QVariantList> fired; // the arguments of each AlarmFired
    QList<QVariantMap> next;
    QVariantMap changed; // the latest value of every property announced

public Q_SLOTS:
    void Heard(const QDBusMessage& signal)
    {
        const QVariantList arguments = signal.arguments();
        if (signal.member() == u"AlarmFired"_s)
            fired << arguments;
        else if (signal.member() == u"NextAlarmChanged"_s)
            next << Map(arguments.value(0));
        else if (signal.member() == u"PropertiesChanged"_s)
            changed.insert(Map(arguments.value(1)));
    }
};

class TestDBus : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "test_dbus needs a session bus of its own: run it under dbus-run-session");
        // Keep the program's sockets, locks, copies and settings out of the user's folders, and
        // its sounds away from a sound server.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(u"config"_s)));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"data"_s)));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_home.path()));
        qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_s + m_home.filePath(u"no-server"_s)));
        QApplication::setQuitOnLastWindowClosed(false);
    }
    // Every test starts afresh: a folder, a settings store and a clock of its own.
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        CSettings::SetStorePath(File(u"settings.ini"_s));
        CMessageBox::SetTestMode(true);
        g_now = Utc(8, 0);
        Clock::SetForTesting([] { return g_now; });
    }
    void methodsChangeTheListAsTheWindowDoes()
    {
        const auto app = Start({Alarm(Local(9, 0), "A")});
        QVERIFY(app);
        CZembracfgView& view = *app->MainFrame()->View();
        const Listener listener;

        // Added: the row, the modified mark; its program held back.
        const QVariantMap options{{u"comment"_s, u"B"_s},
                                  {u"frequency"_s, u"everyday"_s},
                                  {u"type"_s, u"standby"_s},
                                  {u"message"_s, u"Wstawaj"_s},
                                  {u"program"_s, u"notify-send obcy"_s}};
        const QDBusMessage added = Call(u"AddAlarm"_s, {u"2030-03-04T08:30"_s, options});
        QCOMPARE(added.arguments().value(0).toInt(), 1);
        QCOMPARE(view.RowCount(), 2);
        QVERIFY(view.IsConsentBarShown());
        QTRY_COMPARE(listener.changed.value(u"Modified"_s).toBool(), true);
        // Listed with what it was given, its actions given switched on, and as the next alarm.
        QVariantMap listed = options;
        listed.insert({{u"index"_s, 1},
                       {u"active"_s, true},
                       {u"time"_s, u"2030-03-04T08:30:00.000"_s},
                       {u"message_active"_s, true},
                       {u"sound"_s, QString()},
                       {u"sound_active"_s, false},
                       {u"program_active"_s, true},
                       {u"next_local"_s, u"2030-03-04T08:30:00.000"_s},
                       {u"next_utc"_s, UtcIso(8, 30)}});
        QCOMPARE(Alarms().value(1), listed);
        QCOMPARE(Map(Call(u"GetNextAlarm"_s).arguments().value(0)).value(u"index"_s).toInt(), 1);

        // Switched off: the timer follows.
        QCOMPARE(Call(u"SetAlarmActive"_s, {1, false}).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(app->Document()->NextFiringUtc(), Utc(9, 0));
        QCOMPARE(Alarms().value(1).value(u"next_utc"_s).toString(), QString());

        QCOMPARE(Call(u"Save"_s).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(test::ReadList(File(u"a.zmb"_s)).size(), 2u);
        // Saved, it gives way to another list.
        const QString other = File(u"b.zmb"_s);
        QVERIFY(WriteList(other, {Alarm(Local(9, 30), "X")}));
        QCOMPARE(Call(u"Open"_s, {other}).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(listener.changed.value(u"FileName"_s).toString(), other);

        QCOMPARE(Call(u"RemoveAlarm"_s, {0}).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(view.RowCount(), 0);

        // A file changed behind the program's back is the user's to replace, not a script's.
        QVERIFY(WriteList(other, {Alarm(Local(7, 0), "theirs")}));
        const QDBusMessage refused = Call(u"Save"_s);
        QCOMPARE(refused.errorName(), QString::fromLatin1(kDBusErrorRefused));
        QVERIFY2(refused.errorMessage().contains(u"was changed on disk"_s),
                 qPrintable(refused.errorMessage()));
        // With those changes unsaved Open refuses.
        QCOMPARE(Call(u"Open"_s, {File(u"a.zmb"_s)}).errorName(),
                 QString::fromLatin1(kDBusErrorRefused));

        // Show brings the window out of the tray (here: out of its hiding).
        app->MainFrame()->hide();
        QCOMPARE(Call(u"Show"_s).type(), QDBusMessage::ReplyMessage);
        QVERIFY(app->MainFrame()->isVisible());
    }
    void badArgumentsGetErrorsThatSayWhy_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("says"); // the end of the error's name, then its message
        const auto row = [](const char* name, const QString& method, const QVariantList& arguments,
                            const char* says) {
            QTest::newRow(name) << method << arguments << QString::fromUtf8(says);
        };
        const auto add = [&](const char* name, const QString& time, const QVariantMap& options,
                             const char* says) {
            row(name, u"AddAlarm"_s, {time, options}, says);
        };
        const QString at = u"2030-03-05T07:00"_s;
        add("add: no time", u"jutro"_s, {}, "InvalidArgs: 'jutro' is not a time");
        add("add: frequency", at, {{u"frequency"_s, u"fortnightly"_s}},
            "InvalidArgs: frequency 'fortnightly' is not one of once, everyday");
        add("add: type", at, {{u"type"_s, u"reboot"_s}},
            "InvalidArgs: type 'reboot' is not one of wakeup");
        add("add: a switch as text", at, {{u"active"_s, u"yes"_s}},
            "InvalidArgs: option 'active' must be a boolean");
        add("add: a text as a number", at, {{u"comment"_s, 5}},
            "InvalidArgs: option 'comment' must be a string");
        add("add: unknown option", at, {{u"colour"_s, u"red"_s}},
            "InvalidArgs: unknown option 'colour'");
        row("remove: past the end", u"RemoveAlarm"_s, {1},
            "InvalidArgs: index 1 is out of range: valid indexes are 0 to 0");
        row("switch: past the end", u"SetAlarmActive"_s, {7, false},
            "InvalidArgs: index 7 is out of range");
        row("open: relative", u"Open"_s, {u"b.zmb"_s},
            "InvalidArgs: 'b.zmb' is not an absolute path");
        row("open: missing", u"Open"_s, {u"/nie/ma.zmb"_s},
            "FileError: cannot read /nie/ma.zmb: No such file");
        // (An XML file of another kind: the interface's description.)
        const QString xml = QStringLiteral(ZEMBRA_SOURCE_DIR "/res/dbus/org.brelko.Zembra.xml");
        QTest::newRow("open: not a list") << u"Open"_s << QVariantList{xml}
                                          << u"NotAnAlarmList: %1 is not an alarm list"_s.arg(xml);
        row("snooze: too long", u"Snooze"_s, {QVariant::fromValue(2000u)},
            "InvalidArgs: 2000 minutes is too long a snooze: at most 1440");
        row("snooze: nothing rings", u"Snooze"_s, {QVariant::fromValue(5u)},
            "NotAvailable: no alarm is ringing");
    }
    void badArgumentsGetErrorsThatSayWhy()
    {
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, says);
        const auto app = Start({Alarm(Local(9, 0), "A")});
        QVERIFY(app);

        const QDBusMessage reply = Call(method, arguments);
        const QString error = reply.errorName() + u": "_s + reply.errorMessage();
        QVERIFY2(error.contains(says), qPrintable(error));
        // Nothing changed, and the program goes on answering.
        QCOMPARE(Alarms().size(), 1);
        QCOMPARE(Property("FileName").toString(), File(u"a.zmb"_s));
    }
    void firingsAreAnnouncedAndARingingAlarmIsSilenced()
    {
        // A's sound cannot be found: the built-in tone rings instead, and the message that says
        // so keeps A ringing until it is silenced.
        CAlarm a = Alarm(Local(9, 0), "A");
        a.m_strSound = "/nie/ma/dzwonka.wav";
        a.m_bSoundActive = true;
        const auto app = Start({a, Alarm(Local(10, 0), "B")});
        QVERIFY(app);
        const Listener listener;

        // On time, then five minutes late: each announced with its lateness, and what comes next.
        g_now = Utc(9, 0) + 3 * kTicksPerSecond;
        app->Document()->Resync();
        QTRY_COMPARE(listener.changed.value(u"Ringing"_s).toBool(), true);
        // Silence says "not ringing" at once: here the alerter's thread is held busy and cannot
        // run its part of it.
        QSemaphore busy;
        const auto release = qScopeGuard([&busy] { busy.release(); });
        QMetaObject::invokeMethod(
            app->Alerter()->Window(), [&busy] { busy.acquire(); }, Qt::QueuedConnection);
        QCOMPARE(Call(u"Silence"_s).arguments().value(0).toBool(), true);
        QCOMPARE(Property("Ringing").toBool(), false);
        QTRY_COMPARE(listener.changed.value(u"Ringing"_s).toBool(), false);
        QVERIFY(!app->MainFrame()->Action(CMainFrame::kConfirm)->isEnabled());

        g_now = Utc(10, 5);
        app->Document()->Resync();
        QTRY_COMPARE(listener.fired,
                     (QList<QVariantList>{
                         {0, u"A"_s, u"2030-03-04T09:00:00.000"_s, UtcIso(9, 0), false, 3},
                         {1, u"B"_s, u"2030-03-04T10:00:00.000"_s, UtcIso(10, 0), true, 300}}));
        QTRY_COMPARE(listener.next.size(), 2);
        QCOMPARE(listener.next.at(0).value(u"local"_s).toString(), u"2030-03-04T10:00:00.000"_s);
        QVERIFY(listener.next.at(1).isEmpty());
    }
    // The real programs: the list open in zembra, changed by zembractl, rings on time and is
    // snoozed and silenced by zembractl.
    void zembractlAddsToTheOpenListAndSilencesIt()
    {
        Clock::SetForTesting({});
        const QString list = File(u"lista.zmb"_s);
        QVERIFY(WriteList(list, {Alarm(SystemTime{2031, 1, 3, 1, 7, 0, 0, 0}, "later")}));
        // Its runtime folder is the test's own, of mode 0700: Qt passes a shared one over, where
        // another test's Zembra may hold the instance lock and take this one's list.
        const QProcessEnvironment env =
            test::ProgramProfile(m_dir->path(), "Tips=0\nAutoload=0\nProgramConsent=1\n");
        QByteArray out; // what the last zembractl printed
        const auto zembractl = [&](const QStringList& arguments) {
            QProcess tool;
            tool.setProcessEnvironment(env);
            tool.start(QStringLiteral(ZEMBRACTL_PATH), arguments);
            // Waited for with the events running, as everything here is.
            const bool ended =
                QTest::qWaitFor([&tool] { return tool.state() == QProcess::NotRunning; }, 20000);
            out = tool.readAllStandardOutput();
            return ended ? tool.exitCode() : -1;
        };
        QCOMPARE(zembractl({u"silence"_s}), 5); // no desktop program runs

        QProcess zembra;
        zembra.setProcessEnvironment(env);
        zembra.start(QStringLiteral(ZEMBRA_PATH),
                     {list, u"--simulate-power"_s, File(u"power.log"_s)});
        QVERIFY(zembra.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            Client().interface()->isServiceRegistered(QString::fromLatin1(kApplicationId)), 20000);

        // Three seconds ahead, in whole seconds, as a user types it; its sound cannot be found, so
        // the built-in tone rings instead.
        const FileTime at = (GetSystemTimeAsFileTime() / kTicksPerSecond + 3) * kTicksPerSecond;
        const QString local =
            QString::fromStdString(FormatIso(UtcToLocalSystemTime(at).value(), false));
        QCOMPARE(zembractl({u"add"_s, list, u"--at"_s, local, u"--message"_s, u"x"_s, u"--sound"_s,
                            File(u"brak.wav"_s)}),
                 0);
        QCOMPARE(out, QByteArray("1\n"));
        // Saved, as zembractl saves what it changes.
        QCOMPARE(test::ReadList(list).size(), 2u);

        QTRY_VERIFY_WITH_TIMEOUT(Property("Ringing").toBool(), 20000);
        // Snoozed from the shell, as from the menus: quiet now, the snooze armed next.
        QCOMPARE(zembractl({u"snooze"_s, u"5"_s}), 0);
        QByteArray log;
        QTRY_VERIFY2_WITH_TIMEOUT(
            (log += zembra.readAllStandardError()).contains("snoozed for 5 min"), log.constData(),
            10000);
        QCOMPARE(zembractl({u"silence"_s}), 0);
        QCOMPARE(out, QByteArray("no alarm was ringing\n"));

        zembra.terminate();
        QVERIFY(zembra.waitForFinished(10000));
        QCOMPARE(zembra.exitCode(), 0);
    }

private:
    QString File(const QString& name) const { return m_dir->filePath(name); }
    // The application started on a list of these alarms, a.zmb.
    std::unique_ptr<CZembracfgApp> Start(const std::vector<CAlarm>& alarms)
    {
        auto app = std::make_unique<CZembracfgApp>();
        const CZembracfgApp::Options options{
            .file = File(u"a.zmb"_s), .simulatePowerLog = File(u"power.log"_s), .noTips = true};
        return WriteList(options.file, alarms) && app->InitInstance(options) ? std::move(app)
                                                                             : nullptr;
    }

    QTemporaryDir m_home; // the test's own XDG folders
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestDBus)
#include "test_dbus.moc"
