// The program's interface on the session bus, on a private bus of the test's own
// (dbus-run-session): first the application in this process, with a fixed clock, called over a
// connection of its own as any other program would; then the real zembra and zembractl, with an
// alarm a few seconds ahead, as a user would run them.

#include "AlarmLists.h"
#include "ApplicationId.h"
#include "CAlarmList.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CSettings.h"
#include "CZembracfgApp.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "ProgramProfile.h"
#include "model/CScheduler.h"
#include "time/Clock.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cstdio>

using namespace zembra;
using namespace Qt::StringLiterals;
using test::WriteList;

namespace {

// zembractl's exit status when no desktop program runs.
constexpr int kExitNoProgram = 5;

FileTime g_now = 0;

SystemTime Local(int hour, int minute)
{
    return SystemTime{
        2030, 3, 1, 4, static_cast<std::uint16_t>(hour), static_cast<std::uint16_t>(minute), 0, 0};
}

FileTime Utc(int hour, int minute)
{
    return LocalSystemTimeToUtc(Local(hour, minute)).value();
}

CAlarm Alarm(const SystemTime& time, const char* comment, const QString& sound = {})
{
    CAlarm alarm = test::Alarm(time, comment);
    alarm.m_strSound = sound.toStdString();
    alarm.m_bSoundActive = !sound.isEmpty();
    return alarm;
}

// Silent PCM long enough to keep ringing for the whole test; the sound server is a socket that
// does not exist, so the player falls back to a sink that only keeps time.
void WriteWav(const QString& path)
{
    constexpr quint32 rate = 8000;
    constexpr quint32 bytes = rate * 2 * 60;
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + bytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << bytes;
    file.write(QByteArray(static_cast<qsizetype>(bytes), '\0'));
}

// Another program on the bus: its own connection, whose calls wait with the event loop running,
// so that the application in this process can answer them.
QDBusConnection Client()
{
    static QDBusConnection client =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"client"_s);
    return client;
}

QDBusMessage Call(const QString& method, const QVariantList& arguments = {},
                  const char* interface = kDBusInterface)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kApplicationId),
                                                       QString::fromLatin1(kDBusObjectPath),
                                                       QString::fromLatin1(interface), method);
    call.setArguments(arguments);
    // Waited for with the events running (not BlockWithGui, whose nested loop can miss a reply
    // that arrives while it is being set up, and then waits for ever).
    QDBusPendingCall pending = Client().asyncCall(call, 10000);
    if (!QTest::qWaitFor([&pending] { return pending.isFinished(); }, 15000)) {
        return call.createErrorReply(u"org.freedesktop.DBus.Error.NoReply"_s,
                                     u"no reply in 15 s"_s);
    }
    return pending.reply();
}

QVariant Property(const char* name)
{
    const QDBusMessage reply =
        Call(u"Get"_s, {QString::fromLatin1(kDBusInterface), QString::fromLatin1(name)},
             "org.freedesktop.DBus.Properties");
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

QVariantMap Map(const QVariant& value)
{
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value) : value.toMap();
}

QList<QVariantMap> Alarms()
{
    return qdbus_cast<QList<QVariantMap>>(
        Call(u"ListAlarms"_s).arguments().value(0).value<QDBusArgument>());
}

// What the program announces on the bus.
class Listener : public QObject {
    Q_OBJECT

public:
    Listener()
    {
        const QString service = QString::fromLatin1(kApplicationId);
        const QString path = QString::fromLatin1(kDBusObjectPath);
        const QString iface = QString::fromLatin1(kDBusInterface);
        Client().connect(service, path, iface, u"AlarmFired"_s, this,
                         SLOT(OnAlarmFired(int, QString, QString, QString, bool, qlonglong)));
        Client().connect(service, path, iface, u"NextAlarmChanged"_s, this,
                         SLOT(OnNextAlarmChanged(QVariantMap)));
        Client().connect(service, path, u"org.freedesktop.DBus.Properties"_s,
                         u"PropertiesChanged"_s, this,
                         SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList)));
    }

    QStringList fired;
    QList<QVariantMap> next;
    QVariantMap changed; // the latest value of every property announced

public Q_SLOTS:
    void OnAlarmFired(int index, const QString& comment, const QString& local, const QString& utc,
                      bool late, qlonglong lateness)
    {
        fired << u"%1 %2 %3 %4 %5 %6"_s.arg(index)
                     .arg(comment, local, utc, late ? u"late"_s : u"on time"_s)
                     .arg(lateness);
    }
    void OnNextAlarmChanged(const QVariantMap& alarm) { next << alarm; }
    void OnPropertiesChanged(const QString&, const QVariantMap& properties, const QStringList&)
    {
        for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
            changed.insert(it.key(), it.value());
        }
    }
};

QString Iso(FileTime utc)
{
    SystemTime st;
    FileTimeToSystemTime(utc, st);
    return QString::fromStdString(FormatIso(st, true));
}

} // namespace

class TestDBus : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        CSettings::SetStorePath(File(u"settings.ini"_s));
        CMessageBox::SetTestMode(true);
        g_now = Utc(8, 0);
        Clock::SetForTesting([] { return g_now; });
    }
    void cleanup()
    {
        Clock::SetForTesting({});
        CSettings::SetStorePath({});
        m_dir.reset();
    }
    void theInterfaceIsTheOneDescribed()
    {
        const QString list = File(u"a.zmb"_s);
        const auto app = Start({Alarm(Local(9, 0), "A")});
        QVERIFY(app);

        // Every member of the description in the repository, and no other, is offered.
        QFile description(QStringLiteral(ZEMBRA_SOURCE_DIR "/res/dbus/org.brelko.Zembra.xml"));
        QVERIFY(description.open(QIODevice::ReadOnly));
        const auto members = [](QXmlStreamReader reader) {
            QStringList names;
            bool inside = false;
            while (!reader.atEnd()) {
                if (reader.readNext() != QXmlStreamReader::StartElement) {
                    continue;
                }
                const QString name = reader.attributes().value(u"name"_s).toString();
                if (reader.name() == QLatin1String("interface")) {
                    inside = name == QLatin1String(kDBusInterface);
                } else if (inside
                           && (reader.name() == QLatin1String("method")
                               || reader.name() == QLatin1String("signal")
                               || reader.name() == QLatin1String("property"))) {
                    names << reader.name().toString() + u' ' + name;
                }
            }
            names.sort();
            return names;
        };
        const QString introspected =
            Call(u"Introspect"_s, {}, "org.freedesktop.DBus.Introspectable")
                .arguments()
                .value(0)
                .toString();
        QCOMPARE(members(QXmlStreamReader(introspected)), members(QXmlStreamReader(&description)));
        QCOMPARE(members(QXmlStreamReader(introspected)).size(), 16);

        QCOMPARE(Property("FileName").toString(), list);
        QCOMPARE(Property("Modified").toBool(), false);
        QCOMPARE(Property("Ringing").toBool(), false);
        const QVariantMap next = Map(Property("NextAlarm"));
        QCOMPARE(next.value(u"comment"_s).toString(), u"A"_s);
        QCOMPARE(next.value(u"local"_s).toString(), u"2030-03-04T09:00:00.000"_s);
        QCOMPARE(next.value(u"utc"_s).toString(), Iso(Utc(9, 0)));
    }
    void methodsChangeTheListAsTheWindowDoes()
    {
        const QString list = File(u"a.zmb"_s);
        const auto app = Start({Alarm(Local(9, 0), "A")});
        QVERIFY(app);
        CZembracfgDoc& doc = *app->Document();
        const Listener listener;

        // Added: the row, the modified mark, the timer armed for it; its program held back.
        const QDBusMessage added =
            Call(u"AddAlarm"_s,
                 {u"2030-03-04T08:30"_s, QVariantMap{{u"comment"_s, u"B"_s},
                                                     {u"frequency"_s, u"everyday"_s},
                                                     {u"type"_s, u"standby"_s},
                                                     {u"message"_s, u"Wstawaj"_s},
                                                     {u"program"_s, u"notify-send obcy"_s}}});
        QCOMPARE(added.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(added.arguments().value(0).toInt(), 1);
        QCOMPARE(app->MainFrame()->View()->RowCount(), 2);
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.NextFiringUtc(), Utc(8, 30));
        QVERIFY(app->MainFrame()->View()->IsConsentBarShown());
        QVERIFY(!doc.Approvals().IsApproved("notify-send obcy"));
        QTRY_COMPARE(listener.changed.value(u"Modified"_s).toBool(), true);
        QTRY_COMPARE(listener.next.size(), 1);
        QCOMPARE(listener.next.last().value(u"comment"_s).toString(), u"B"_s);

        const QList<QVariantMap> alarms = Alarms();
        QCOMPARE(alarms.size(), 2);
        const QVariantMap& b = alarms.at(1);
        QCOMPARE(b.value(u"index"_s).toInt(), 1);
        QCOMPARE(b.value(u"active"_s).toBool(), true);
        QCOMPARE(b.value(u"type"_s).toString(), u"standby"_s);
        QCOMPARE(b.value(u"frequency"_s).toString(), u"everyday"_s);
        QCOMPARE(b.value(u"message"_s).toString(), u"Wstawaj"_s);
        QCOMPARE(b.value(u"message_active"_s).toBool(), true);
        QCOMPARE(b.value(u"sound_active"_s).toBool(), false);
        QCOMPARE(b.value(u"next_local"_s).toString(), u"2030-03-04T08:30:00.000"_s);
        QCOMPARE(b.value(u"next_utc"_s).toString(), Iso(Utc(8, 30)));
        QCOMPARE(Map(Call(u"GetNextAlarm"_s).arguments().value(0)).value(u"index"_s).toInt(), 1);

        // Switched off: its check box and the timer follow.
        QCOMPARE(Call(u"SetAlarmActive"_s, {1, false}).type(), QDBusMessage::ReplyMessage);
        QVERIFY(!doc.Scheduler().At(1)->m_bActive);
        QCOMPARE(
            app->MainFrame()->View()->List()->model()->index(1, 0).data(Qt::CheckStateRole).toInt(),
            static_cast<int>(Qt::Unchecked));
        QCOMPARE(doc.NextFiringUtc(), Utc(9, 0));
        QCOMPARE(Alarms().at(1).value(u"next_utc"_s).toString(), QString());

        // Saved to its file; Open refuses nothing then, and takes another list.
        QCOMPARE(Call(u"Save"_s).type(), QDBusMessage::ReplyMessage);
        QVERIFY(!doc.IsModified());
        CScheduler saved;
        QCOMPARE(saved.LoadFromFile(QFile::encodeName(list).toStdString()), 0);
        QCOMPARE(saved.Count(), 2u);

        QCOMPARE(Call(u"RemoveAlarm"_s, {0}).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(doc.Scheduler().Count(), 1u);
        QCOMPARE(app->MainFrame()->View()->RowCount(), 1);
        QVERIFY(doc.IsModified());
        QCOMPARE(Map(Property("NextAlarm")), QVariantMap());
        QTRY_VERIFY(listener.next.last().isEmpty());

        // A file changed behind the program's back is the user's to replace, not a script's.
        QVERIFY(WriteList(list, {Alarm(Local(7, 0), "theirs")}));
        const QDBusMessage refused = Call(u"Save"_s);
        QCOMPARE(refused.errorName(), QString::fromLatin1(kDBusErrorRefused));
        QVERIFY2(refused.errorMessage().contains(u"was changed on disk"_s),
                 qPrintable(refused.errorMessage()));
        CMessageBox::SetNextAnswers({QMessageBox::Yes});
        QVERIFY(doc.FileSave());
        QVERIFY(!doc.IsModified());

        // With unsaved changes Open refuses; saved, it opens.
        const QString other = File(u"b.zmb"_s);
        QVERIFY(WriteList(other, {Alarm(Local(7, 0), "X")}));
        doc.SetModifiedFlag();
        QCOMPARE(Call(u"Open"_s, {other}).errorName(), QString::fromLatin1(kDBusErrorRefused));
        QCOMPARE(Call(u"Save"_s).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(Call(u"Open"_s, {other}).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(doc.PathName(), other);
        QCOMPARE(Property("FileName").toString(), other);
        QTRY_COMPARE(listener.changed.value(u"FileName"_s).toString(), other);

        // Show brings the window out of the tray (here: out of its hiding).
        app->MainFrame()->hide();
        QCOMPARE(Call(u"Show"_s).type(), QDBusMessage::ReplyMessage);
        QVERIFY(app->MainFrame()->isVisible());
    }
    void badArgumentsGetErrorsThatSayWhy_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("says");
        const QString invalid = u"org.freedesktop.DBus.Error.InvalidArgs"_s;
        const auto row = [](const char* name, const QString& method, const QVariantList& arguments,
                            const QString& error, const char* says) {
            QTest::newRow(name) << method << arguments << error << QString::fromUtf8(says);
        };
        const auto add = [&](const char* name, const QString& time, const QVariantMap& options,
                             const char* says) {
            row(name, u"AddAlarm"_s, {time, options}, invalid, says);
        };
        const QString at = u"2030-03-05T07:00"_s;
        add("add: no time", u"jutro"_s, {}, "'jutro' is not a time");
        add("add: no such day", u"2030-02-30T07:00"_s, {}, "is not a time");
        add("add: frequency", at, {{u"frequency"_s, u"fortnightly"_s}},
            "frequency 'fortnightly' is not one of once, everyday");
        add("add: type", at, {{u"type"_s, u"reboot"_s}}, "type 'reboot' is not one of wakeup");
        add("add: a switch as text", at, {{u"active"_s, u"yes"_s}},
            "option 'active' must be a boolean");
        add("add: a text as a number", at, {{u"comment"_s, 5}},
            "option 'comment' must be a string");
        add("add: unknown option", at, {{u"colour"_s, u"red"_s}}, "unknown option 'colour'");
        row("remove: past the end", u"RemoveAlarm"_s, {1}, invalid,
            "index 1 is out of range: valid indexes are 0 to 0");
        row("remove: negative", u"RemoveAlarm"_s, {-1}, invalid, "index -1 is out of range");
        row("remove: not a number", u"RemoveAlarm"_s, {u"0"_s},
            u"org.freedesktop.DBus.Error.UnknownMethod"_s, "RemoveAlarm");
        row("switch: past the end", u"SetAlarmActive"_s, {7, false}, invalid,
            "index 7 is out of range");
        row("open: relative", u"Open"_s, {u"b.zmb"_s}, invalid, "is not an absolute path");
        row("open: missing", u"Open"_s, {u"/nie/ma.zmb"_s}, QString::fromLatin1(kDBusErrorFile),
            "cannot read /nie/ma.zmb: No such file");
        row("open: not a list", u"Open"_s, {u"INNY"_s}, QString::fromLatin1(kDBusErrorNotAlarmList),
            "is not an alarm list");
        row("snooze: too long", u"Snooze"_s, {QVariant::fromValue(2000u)}, invalid, "at most 1440");
        row("snooze: nothing rings", u"Snooze"_s, {QVariant::fromValue(5u)},
            QString::fromLatin1(kDBusErrorNotAvailable), "no alarm is ringing");
    }
    void badArgumentsGetErrorsThatSayWhy()
    {
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, error);
        QFETCH(QString, says);
        const QString foreign = File(u"inny.xml"_s);
        QFile file(foreign);
        QVERIFY(file.open(QIODevice::WriteOnly)
                && file.write("<?xml version=\"1.0\"?><Other/>") > 0);
        file.close();
        std::replace(arguments.begin(), arguments.end(), QVariant(u"INNY"_s), QVariant(foreign));
        const auto app = Start({Alarm(Local(9, 0), "A")});
        QVERIFY(app);

        const QDBusMessage reply = Call(method, arguments);
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), error);
        QVERIFY2(reply.errorMessage().contains(says), qPrintable(reply.errorMessage()));
        // Nothing changed, and the program goes on answering.
        QCOMPARE(Alarms().size(), 1);
        QCOMPARE(Property("Modified").toBool(), false);
        QCOMPARE(Property("FileName").toString(), File(u"a.zmb"_s));
    }
    void firingsAndTheNextAlarmAreAnnounced()
    {
        const auto app = Start({Alarm(Local(9, 0), "A"), Alarm(Local(10, 0), "B")});
        QVERIFY(app);
        const Listener listener;

        // On time, then five minutes late: each announced with its lateness, and what comes next.
        g_now = Utc(9, 0) + 3 * kTicksPerSecond;
        app->Document()->Resync();
        g_now = Utc(10, 5);
        app->Document()->Resync();
        QTRY_COMPARE(listener.fired.size(), 2);
        QCOMPARE(listener.fired,
                 (QStringList{u"0 A 2030-03-04T09:00:00.000 %1 on time 3"_s.arg(Iso(Utc(9, 0))),
                              u"1 B 2030-03-04T10:00:00.000 %1 late 300"_s.arg(Iso(Utc(10, 0)))}));
        QTRY_COMPARE(listener.next.size(), 2);
        QCOMPARE(listener.next.at(0).value(u"comment"_s).toString(), u"B"_s);
        QVERIFY(listener.next.at(1).isEmpty());
        QTRY_COMPARE(listener.changed.value(u"NextAlarm"_s).isValid(), true);
        QVERIFY(Map(listener.changed.value(u"NextAlarm"_s)).isEmpty());
    }
    void aRingingAlarmIsSilenced()
    {
        const QString sound = File(u"dzwonek.wav"_s);
        WriteWav(sound);
        const auto app = Start({Alarm(Local(9, 0), "A", sound)});
        QVERIFY(app);
        const Listener listener;
        QCOMPARE(Call(u"Silence"_s).arguments().value(0).toBool(), false);

        g_now = Utc(9, 0);
        app->Document()->Resync();
        QTRY_COMPARE(listener.changed.value(u"Ringing"_s).toBool(), true);
        QCOMPARE(Property("Ringing").toBool(), true);

        QCOMPARE(Call(u"Silence"_s).arguments().value(0).toBool(), true);
        QCOMPARE(Property("Ringing").toBool(), false);
        QTRY_COMPARE(listener.changed.value(u"Ringing"_s).toBool(), false);
        QVERIFY(!app->MainFrame()->Action(CMainFrame::kConfirm)->isEnabled());
    }
    // The real programs: the list open in zembra, changed by zembractl, rings on time and is
    // snoozed and silenced by zembractl.
    void zembractlAddsToTheOpenListAndSilencesIt()
    {
        Clock::SetForTesting({});
        const QString sound = File(u"dzwonek.wav"_s);
        WriteWav(sound);
        const QString list = File(u"lista.zmb"_s);
        QVERIFY(WriteList(list, {Alarm(SystemTime{2031, 1, 3, 1, 7, 0, 0, 0}, "later")}));
        // Its runtime folder is made 0700, or Qt passes it over for a shared one, where another
        // test's Zembra may hold the instance lock and take this one's list.
        QVERIFY(QDir(m_dir->path())
                    .mkdir(u"runtime"_s, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                             | QFileDevice::ExeOwner));
        QProcessEnvironment env =
            test::ProgramProfile(m_dir->path(), "Tips=0\nAutoload=0\nProgramConsent=1\n");
        env.insert(u"XDG_DATA_HOME"_s, File(u"data"_s));
        env.insert(u"XDG_RUNTIME_DIR"_s, File(u"runtime"_s));
        const auto zembractl = [&](const QStringList& arguments, QByteArray* out = nullptr) {
            QProcess tool;
            tool.setProcessEnvironment(env);
            tool.start(QStringLiteral(ZEMBRACTL_PATH), arguments);
            // Waited for with the events running, as everything here is.
            if (!QTest::qWaitFor([&tool] { return tool.state() == QProcess::NotRunning; }, 20000)) {
                return -1;
            }
            if (out != nullptr) {
                *out = tool.readAllStandardOutput();
            }
            return tool.exitCode();
        };
        QCOMPARE(zembractl({u"silence"_s}), kExitNoProgram);

        QProcess zembra;
        zembra.setProcessEnvironment(env);
        zembra.start(QStringLiteral(ZEMBRA_PATH),
                     {list, u"--simulate-power"_s, File(u"power.log"_s)});
        QVERIFY(zembra.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            Client().interface()->isServiceRegistered(QString::fromLatin1(kApplicationId)), 20000);

        // Three seconds ahead, in whole seconds, as a user types it.
        const FileTime at = (GetSystemTimeAsFileTime() / kTicksPerSecond + 3) * kTicksPerSecond;
        const QString local =
            QString::fromStdString(FormatIso(UtcToLocalSystemTime(at).value(), false));
        QByteArray out;
        QCOMPARE(zembractl({u"add"_s, list, u"--at"_s, local, u"--message"_s, u"x"_s, u"--sound"_s,
                            sound},
                           &out),
                 0);
        QCOMPARE(out, QByteArray("1\n"));
        QByteArray log;
        // Armed for it, unless a loaded machine took the three seconds and it rings already.
        QTRY_VERIFY2_WITH_TIMEOUT(
            (log += zembra.readAllStandardError()).contains("armed for " + local.toUtf8())
                || Property("Ringing").toBool(),
            log.constData(), 10000);
        // Saved, as zembractl saves what it changes.
        CScheduler saved;
        QCOMPARE(saved.LoadFromFile(QFile::encodeName(list).toStdString()), 0);
        QCOMPARE(saved.Count(), 2u);

        QTRY_VERIFY_WITH_TIMEOUT(Property("Ringing").toBool(), 20000);
        // Snoozed from the shell, as from the menus: quiet now, the snooze armed next.
        QCOMPARE(zembractl({u"snooze"_s, u"5"_s}), 0);
        QTRY_COMPARE(Property("Ringing").toBool(), false);
        QTRY_VERIFY2_WITH_TIMEOUT(
            (log += zembra.readAllStandardError()).contains("snoozed for 5 min"), log.constData(),
            10000);
        QCOMPARE(zembractl({u"silence"_s}, &out), 0);
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
        {
            CSettings settings;
            settings.m_regTips = 0;
            settings.m_regProgramConsent = 1;
        }
        auto app = std::make_unique<CZembracfgApp>();
        CZembracfgApp::Options options;
        options.file = File(u"a.zmb"_s);
        options.simulatePowerLog = File(u"power.log"_s);
        options.noTips = true;
        return WriteList(options.file, alarms) && app->InitInstance(options) ? std::move(app)
                                                                             : nullptr;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

int main(int argc, char** argv)
{
    // Keep the program's sockets, locks, copies and settings out of the user's folders; the
    // bus is the test's own (dbus-run-session), and no sound reaches a sound server.
    QTemporaryDir home;
    QFile::setPermissions(home.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(u"config"_s)));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(u"data"_s)));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_s + home.filePath(u"no-server"_s)));
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    qDBusRegisterMetaType<QList<QVariantMap>>();
    if (!QDBusConnection::sessionBus().isConnected()) {
        std::fprintf(stderr,
                     "test_dbus needs a session bus of its own: run it under dbus-run-session\n");
        return 2;
    }
    TestDBus test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_dbus.moc"
