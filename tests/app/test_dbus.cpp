// The program's interface on the session bus, on a private bus of the test's own
// (dbus-run-session): first the application in this process, with a fixed clock, called over a
// connection of its own as any other program would; then the real zembra and zembractl, with an
// alarm a few seconds ahead, as a user would run them.

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

void WriteList(const QString& path, const std::vector<CAlarm>& alarms)
{
    CScheduler list;
    for (const CAlarm& alarm : alarms) {
        list.AddAlarm(std::make_unique<CAlarm>(alarm));
    }
    QCOMPARE(list.SaveToFile(QFile::encodeName(path).toStdString()), 0);
}

CAlarm Alarm(const SystemTime& time, const char* comment, const QString& sound = {})
{
    CAlarm alarm;
    alarm.m_time = time;
    alarm.m_strComment = comment;
    alarm.m_strFrequency = kFrequencyOnce;
    alarm.m_strType = kTypeWakeup;
    alarm.m_bActive = true;
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
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
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
        return call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.NoReply"),
                                     QStringLiteral("no reply in 15 s"));
    }
    return pending.reply();
}

QVariant Property(const char* name)
{
    const QDBusMessage reply = Call(
        QStringLiteral("Get"), {QString::fromLatin1(kDBusInterface), QString::fromLatin1(name)},
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
        Call(QStringLiteral("ListAlarms")).arguments().value(0).value<QDBusArgument>());
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
        Client().connect(service, path, iface, QStringLiteral("AlarmFired"), this,
                         SLOT(OnAlarmFired(int, QString, QString, QString, bool, qlonglong)));
        Client().connect(service, path, iface, QStringLiteral("NextAlarmChanged"), this,
                         SLOT(OnNextAlarmChanged(QVariantMap)));
        Client().connect(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                         QStringLiteral("PropertiesChanged"), this,
                         SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList)));
    }

    QStringList fired;
    QList<QVariantMap> next;
    QVariantMap changed; // the latest value of every property announced

public Q_SLOTS:
    void OnAlarmFired(int index, const QString& comment, const QString& local, const QString& utc,
                      bool late, qlonglong lateness)
    {
        fired << QStringLiteral("%1 %2 %3 %4 %5 %6")
                     .arg(index)
                     .arg(comment, local, utc,
                          late ? QStringLiteral("late") : QStringLiteral("on time"))
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
    void init();
    void cleanup();
    void theInterfaceIsTheOneDescribed();
    void methodsChangeTheListAsTheWindowDoes();
    void badArgumentsGetErrorsThatSayWhy_data();
    void badArgumentsGetErrorsThatSayWhy();
    void firingsAndTheNextAlarmAreAnnounced();
    void aRingingAlarmIsSilenced();
    void zembractlAddsToTheOpenListAndSilencesIt();

private:
    QString File(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<CZembracfgApp> Start(const QString& list);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDBus::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    CSettings::SetStorePath(File(QStringLiteral("settings.ini")));
    CMessageBox::SetTestMode(true);
    g_now = Utc(8, 0);
    Clock::SetForTesting([] { return g_now; });
}

void TestDBus::cleanup()
{
    Clock::SetForTesting({});
    CSettings::SetStorePath({});
    m_dir.reset();
}

std::unique_ptr<CZembracfgApp> TestDBus::Start(const QString& list)
{
    {
        CSettings settings;
        settings.m_regTips = 0;
        settings.m_regProgramConsent = 1;
    }
    auto app = std::make_unique<CZembracfgApp>();
    CZembracfgApp::Options options;
    options.file = list;
    options.simulatePowerLog = File(QStringLiteral("power.log"));
    options.noTips = true;
    if (!app->InitInstance(options)) {
        return nullptr;
    }
    return app;
}

void TestDBus::theInterfaceIsTheOneDescribed()
{
    const QString list = File(QStringLiteral("a.zmb"));
    WriteList(list, {Alarm(Local(9, 0), "A")});
    const auto app = Start(list);
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
            const QString name = reader.attributes().value(QStringLiteral("name")).toString();
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
        Call(QStringLiteral("Introspect"), {}, "org.freedesktop.DBus.Introspectable")
            .arguments()
            .value(0)
            .toString();
    QCOMPARE(members(QXmlStreamReader(introspected)), members(QXmlStreamReader(&description)));
    QCOMPARE(members(QXmlStreamReader(introspected)).size(), 16);

    QCOMPARE(Property("FileName").toString(), list);
    QCOMPARE(Property("Modified").toBool(), false);
    QCOMPARE(Property("Ringing").toBool(), false);
    const QVariantMap next = Map(Property("NextAlarm"));
    QCOMPARE(next.value(QStringLiteral("comment")).toString(), QStringLiteral("A"));
    QCOMPARE(next.value(QStringLiteral("local")).toString(),
             QStringLiteral("2030-03-04T09:00:00.000"));
    QCOMPARE(next.value(QStringLiteral("utc")).toString(), Iso(Utc(9, 0)));
}

void TestDBus::methodsChangeTheListAsTheWindowDoes()
{
    const QString list = File(QStringLiteral("a.zmb"));
    WriteList(list, {Alarm(Local(9, 0), "A")});
    const auto app = Start(list);
    QVERIFY(app);
    CZembracfgDoc& doc = *app->Document();
    const Listener listener;

    // Added: the row, the modified mark, the timer armed for it; its program held back.
    const QDBusMessage added =
        Call(QStringLiteral("AddAlarm"),
             {QStringLiteral("2030-03-04T08:30"),
              QVariantMap{{QStringLiteral("comment"), QStringLiteral("B")},
                          {QStringLiteral("frequency"), QStringLiteral("everyday")},
                          {QStringLiteral("type"), QStringLiteral("standby")},
                          {QStringLiteral("message"), QStringLiteral("Wstawaj")},
                          {QStringLiteral("program"), QStringLiteral("notify-send obcy")}}});
    QCOMPARE(added.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(added.arguments().value(0).toInt(), 1);
    QCOMPARE(app->MainFrame()->View()->RowCount(), 2);
    QVERIFY(doc.IsModified());
    QCOMPARE(doc.NextFiringUtc(), Utc(8, 30));
    QVERIFY(app->MainFrame()->View()->IsConsentBarShown());
    QVERIFY(!doc.Approvals().IsApproved("notify-send obcy"));
    QTRY_COMPARE(listener.changed.value(QStringLiteral("Modified")).toBool(), true);
    QTRY_COMPARE(listener.next.size(), 1);
    QCOMPARE(listener.next.last().value(QStringLiteral("comment")).toString(), QStringLiteral("B"));

    const QList<QVariantMap> alarms = Alarms();
    QCOMPARE(alarms.size(), 2);
    const QVariantMap& b = alarms.at(1);
    QCOMPARE(b.value(QStringLiteral("index")).toInt(), 1);
    QCOMPARE(b.value(QStringLiteral("active")).toBool(), true);
    QCOMPARE(b.value(QStringLiteral("type")).toString(), QStringLiteral("standby"));
    QCOMPARE(b.value(QStringLiteral("frequency")).toString(), QStringLiteral("everyday"));
    QCOMPARE(b.value(QStringLiteral("message")).toString(), QStringLiteral("Wstawaj"));
    QCOMPARE(b.value(QStringLiteral("message_active")).toBool(), true);
    QCOMPARE(b.value(QStringLiteral("sound_active")).toBool(), false);
    QCOMPARE(b.value(QStringLiteral("next_local")).toString(),
             QStringLiteral("2030-03-04T08:30:00.000"));
    QCOMPARE(b.value(QStringLiteral("next_utc")).toString(), Iso(Utc(8, 30)));
    QCOMPARE(Map(Call(QStringLiteral("GetNextAlarm")).arguments().value(0))
                 .value(QStringLiteral("index"))
                 .toInt(),
             1);

    // Switched off: its check box and the timer follow.
    QCOMPARE(Call(QStringLiteral("SetAlarmActive"), {1, false}).type(), QDBusMessage::ReplyMessage);
    QVERIFY(!doc.Scheduler().At(1)->m_bActive);
    QCOMPARE(app->MainFrame()->View()->List()->model()->index(1, 0).data(Qt::CheckStateRole).toInt(),
             static_cast<int>(Qt::Unchecked));
    QCOMPARE(doc.NextFiringUtc(), Utc(9, 0));
    QCOMPARE(Alarms().at(1).value(QStringLiteral("next_utc")).toString(), QString());

    // Saved to its file; Open refuses nothing then, and takes another list.
    QCOMPARE(Call(QStringLiteral("Save")).type(), QDBusMessage::ReplyMessage);
    QVERIFY(!doc.IsModified());
    CScheduler saved;
    QCOMPARE(saved.LoadFromFile(QFile::encodeName(list).toStdString()), 0);
    QCOMPARE(saved.Count(), 2u);

    QCOMPARE(Call(QStringLiteral("RemoveAlarm"), {0}).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(doc.Scheduler().Count(), 1u);
    QCOMPARE(app->MainFrame()->View()->RowCount(), 1);
    QVERIFY(doc.IsModified());
    QCOMPARE(Map(Property("NextAlarm")), QVariantMap());
    QTRY_VERIFY(listener.next.last().isEmpty());

    // A file changed behind the program's back is the user's to replace, not a script's.
    WriteList(list, {Alarm(Local(7, 0), "theirs")});
    const QDBusMessage refused = Call(QStringLiteral("Save"));
    QCOMPARE(refused.errorName(), QString::fromLatin1(kDBusErrorRefused));
    QVERIFY2(refused.errorMessage().contains(QStringLiteral("was changed on disk")),
             qPrintable(refused.errorMessage()));
    CMessageBox::SetNextAnswers({QMessageBox::Yes});
    QVERIFY(doc.FileSave());
    QVERIFY(!doc.IsModified());

    // With unsaved changes Open refuses; saved, it opens.
    const QString other = File(QStringLiteral("b.zmb"));
    WriteList(other, {Alarm(Local(7, 0), "X")});
    doc.SetModifiedFlag();
    QCOMPARE(Call(QStringLiteral("Open"), {other}).errorName(),
             QString::fromLatin1(kDBusErrorRefused));
    QCOMPARE(Call(QStringLiteral("Save")).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(Call(QStringLiteral("Open"), {other}).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(doc.PathName(), other);
    QCOMPARE(Property("FileName").toString(), other);
    QTRY_COMPARE(listener.changed.value(QStringLiteral("FileName")).toString(), other);

    // Show brings the window out of the tray (here: out of its hiding).
    app->MainFrame()->hide();
    QCOMPARE(Call(QStringLiteral("Show")).type(), QDBusMessage::ReplyMessage);
    QVERIFY(app->MainFrame()->isVisible());
}

void TestDBus::badArgumentsGetErrorsThatSayWhy_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("says");
    const QString invalid = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
    const QString at = QStringLiteral("2030-03-05T07:00");
    const auto add = [&](const char* name, const QString& time, const QVariantMap& options,
                         const char* says) {
        QTest::newRow(name) << QStringLiteral("AddAlarm") << QVariantList{time, options} << invalid
                            << QString::fromUtf8(says);
    };
    add("add: no time", QStringLiteral("jutro"), {}, "'jutro' is not a time");
    add("add: no such day", QStringLiteral("2030-02-30T07:00"), {}, "is not a time");
    add("add: frequency", at, {{QStringLiteral("frequency"), QStringLiteral("fortnightly")}},
        "frequency 'fortnightly' is not one of once, everyday");
    add("add: type", at, {{QStringLiteral("type"), QStringLiteral("reboot")}},
        "type 'reboot' is not one of wakeup");
    add("add: a switch as text", at, {{QStringLiteral("active"), QStringLiteral("yes")}},
        "option 'active' must be a boolean");
    add("add: a text as a number", at, {{QStringLiteral("comment"), 5}},
        "option 'comment' must be a string");
    add("add: unknown option", at, {{QStringLiteral("colour"), QStringLiteral("red")}},
        "unknown option 'colour'");
    QTest::newRow("remove: past the end")
        << QStringLiteral("RemoveAlarm") << QVariantList{1} << invalid
        << QStringLiteral("index 1 is out of range: valid indexes are 0 to 0");
    QTest::newRow("remove: negative") << QStringLiteral("RemoveAlarm") << QVariantList{-1}
                                      << invalid << QStringLiteral("index -1 is out of range");
    QTest::newRow("remove: not a number")
        << QStringLiteral("RemoveAlarm") << QVariantList{QStringLiteral("0")}
        << QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod")
        << QStringLiteral("RemoveAlarm");
    QTest::newRow("switch: past the end")
        << QStringLiteral("SetAlarmActive") << QVariantList{7, false} << invalid
        << QStringLiteral("index 7 is out of range");
    QTest::newRow("open: relative")
        << QStringLiteral("Open") << QVariantList{QStringLiteral("b.zmb")} << invalid
        << QStringLiteral("is not an absolute path");
    QTest::newRow("open: missing")
        << QStringLiteral("Open") << QVariantList{QStringLiteral("/nie/ma.zmb")}
        << QString::fromLatin1(kDBusErrorFile)
        << QStringLiteral("cannot read /nie/ma.zmb: No such file");
    QTest::newRow("open: not a list")
        << QStringLiteral("Open") << QVariantList{QStringLiteral("INNY")}
        << QString::fromLatin1(kDBusErrorNotAlarmList) << QStringLiteral("is not an alarm list");
    QTest::newRow("snooze: too long")
        << QStringLiteral("Snooze") << QVariantList{QVariant::fromValue(2000u)} << invalid
        << QStringLiteral("at most 1440");
    QTest::newRow("snooze: nothing rings")
        << QStringLiteral("Snooze") << QVariantList{QVariant::fromValue(5u)}
        << QString::fromLatin1(kDBusErrorNotAvailable) << QStringLiteral("no alarm is ringing");
}

void TestDBus::badArgumentsGetErrorsThatSayWhy()
{
    QFETCH(QString, method);
    QFETCH(QVariantList, arguments);
    QFETCH(QString, error);
    QFETCH(QString, says);
    const QString list = File(QStringLiteral("a.zmb"));
    WriteList(list, {Alarm(Local(9, 0), "A")});
    const QString foreign = File(QStringLiteral("inny.xml"));
    QFile file(foreign);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?><Other/>");
    file.close();
    for (QVariant& argument : arguments) {
        if (argument == QStringLiteral("INNY")) {
            argument = foreign;
        }
    }
    const auto app = Start(list);
    QVERIFY(app);

    const QDBusMessage reply = Call(method, arguments);
    QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(reply.errorName(), error);
    QVERIFY2(reply.errorMessage().contains(says), qPrintable(reply.errorMessage()));
    // Nothing changed, and the program goes on answering.
    QCOMPARE(Alarms().size(), 1);
    QCOMPARE(Property("Modified").toBool(), false);
    QCOMPARE(Property("FileName").toString(), list);
}

void TestDBus::firingsAndTheNextAlarmAreAnnounced()
{
    const QString list = File(QStringLiteral("a.zmb"));
    WriteList(list, {Alarm(Local(9, 0), "A"), Alarm(Local(10, 0), "B")});
    const auto app = Start(list);
    QVERIFY(app);
    const Listener listener;

    // On time, then five minutes late: each announced with its lateness, and what comes next.
    g_now = Utc(9, 0) + 3 * kTicksPerSecond;
    app->Document()->Resync();
    g_now = Utc(10, 5);
    app->Document()->Resync();
    QTRY_COMPARE(listener.fired.size(), 2);
    QCOMPARE(listener.fired,
             (QStringList{
                 QStringLiteral("0 A 2030-03-04T09:00:00.000 %1 on time 3").arg(Iso(Utc(9, 0))),
                 QStringLiteral("1 B 2030-03-04T10:00:00.000 %1 late 300").arg(Iso(Utc(10, 0)))}));
    QTRY_COMPARE(listener.next.size(), 2);
    QCOMPARE(listener.next.at(0).value(QStringLiteral("comment")).toString(), QStringLiteral("B"));
    QVERIFY(listener.next.at(1).isEmpty());
    QTRY_COMPARE(listener.changed.value(QStringLiteral("NextAlarm")).isValid(), true);
    QVERIFY(Map(listener.changed.value(QStringLiteral("NextAlarm"))).isEmpty());
}

void TestDBus::aRingingAlarmIsSilenced()
{
    const QString sound = File(QStringLiteral("dzwonek.wav"));
    WriteWav(sound);
    const QString list = File(QStringLiteral("a.zmb"));
    WriteList(list, {Alarm(Local(9, 0), "A", sound)});
    const auto app = Start(list);
    QVERIFY(app);
    const Listener listener;
    QCOMPARE(Call(QStringLiteral("Silence")).arguments().value(0).toBool(), false);

    g_now = Utc(9, 0);
    app->Document()->Resync();
    QTRY_COMPARE(listener.changed.value(QStringLiteral("Ringing")).toBool(), true);
    QCOMPARE(Property("Ringing").toBool(), true);

    QCOMPARE(Call(QStringLiteral("Silence")).arguments().value(0).toBool(), true);
    QCOMPARE(Property("Ringing").toBool(), false);
    QTRY_COMPARE(listener.changed.value(QStringLiteral("Ringing")).toBool(), false);
    QVERIFY(!app->MainFrame()->Action(CMainFrame::kConfirm)->isEnabled());
}

// The real programs: the list open in zembra, changed by zembractl, rings on time and is
// snoozed and silenced by zembractl.
void TestDBus::zembractlAddsToTheOpenListAndSilencesIt()
{
    Clock::SetForTesting({});
    const QString sound = File(QStringLiteral("dzwonek.wav"));
    WriteWav(sound);
    const QString list = File(QStringLiteral("lista.zmb"));
    WriteList(list, {Alarm(SystemTime{2031, 1, 3, 1, 7, 0, 0, 0}, "later")});
    // Its runtime folder is made 0700, or Qt passes it over for a shared one, where another
    // test's Zembra may hold the instance lock and take this one's list.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("runtime"),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ExeOwner));
    QProcessEnvironment env =
        test::ProgramProfile(m_dir->path(), "Tips=0\nAutoload=0\nProgramConsent=1\n");
    env.insert(QStringLiteral("XDG_DATA_HOME"), File(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), File(QStringLiteral("runtime")));
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
    QCOMPARE(zembractl({QStringLiteral("silence")}), kExitNoProgram);

    QProcess zembra;
    zembra.setProcessEnvironment(env);
    zembra.start(QStringLiteral(ZEMBRA_PATH),
                 {list, QStringLiteral("--simulate-power"), File(QStringLiteral("power.log"))});
    QVERIFY(zembra.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(
        Client().interface()->isServiceRegistered(QString::fromLatin1(kApplicationId)), 20000);

    // Three seconds ahead, in whole seconds, as a user types it.
    const FileTime at = (GetSystemTimeAsFileTime() / kTicksPerSecond + 3) * kTicksPerSecond;
    const QString local =
        QString::fromStdString(FormatIso(UtcToLocalSystemTime(at).value(), false));
    QByteArray out;
    QCOMPARE(zembractl({QStringLiteral("add"), list, QStringLiteral("--at"), local,
                        QStringLiteral("--message"), QStringLiteral("x"), QStringLiteral("--sound"),
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
    QCOMPARE(zembractl({QStringLiteral("snooze"), QStringLiteral("5")}), 0);
    QTRY_COMPARE(Property("Ringing").toBool(), false);
    QTRY_VERIFY2_WITH_TIMEOUT((log += zembra.readAllStandardError()).contains("snoozed for 5 min"),
                              log.constData(), 10000);
    QCOMPARE(zembractl({QStringLiteral("silence")}, &out), 0);
    QCOMPARE(out, QByteArray("no alarm was ringing\n"));

    zembra.terminate();
    QVERIFY(zembra.waitForFinished(10000));
    QCOMPARE(zembra.exitCode(), 0);
}

int main(int argc, char** argv)
{
    // Keep the program's sockets, locks, copies and settings out of the user's folders; the
    // bus is the test's own (dbus-run-session), and no sound reaches a sound server.
    QTemporaryDir home;
    QFile::setPermissions(home.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    qputenv("PULSE_SERVER", QFile::encodeName(QStringLiteral("unix:")
                                              + home.filePath(QStringLiteral("no-server"))));
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
