// A stand-in for logind and the session's screen saver, for tests on a private bus.
//
//   fake_logind <call log> [--deny] [--inhibitor=<what>|<who>|<why>|<mode>|<uid>|<pid>]...
//
// Owns org.freedesktop.login1 on the bus named by DBUS_SYSTEM_BUS_ADDRESS (and refuses to run
// without that variable, so it can never stand in for the machine's own logind) and
// org.freedesktop.ScreenSaver on the session bus. Each call is appended to the call log as
// "<Method> <interactive>" ("SimulateUserActivity" for the screen saver) before it is
// answered, so a caller that got its answer finds the line already there.
//   --deny        answer every call with an error, as logind does when policy forbids it
//   --inhibitor   one inhibitor for ListInhibitors to list, in the order given
// Prints "ready" once both names are owned; quits when its standard input closes, so it does
// not outlive a test that crashed.

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMetaType>
#include <QFile>
#include <QObject>
#include <QSocketNotifier>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

// One entry of ListInhibitors, a(ssssuu) on the bus.
struct Inhibitor {
    QString what;
    QString who;
    QString why;
    QString mode;
    uint uid = 0;
    uint pid = 0;
};

static QDBusArgument& operator<<(QDBusArgument& out, const Inhibitor& i)
{
    out.beginStructure();
    out << i.what << i.who << i.why << i.mode << i.uid << i.pid;
    out.endStructure();
    return out;
}

static const QDBusArgument& operator>>(const QDBusArgument& in, Inhibitor& i)
{
    in.beginStructure();
    in >> i.what >> i.who >> i.why >> i.mode >> i.uid >> i.pid;
    in.endStructure();
    return in;
}

Q_DECLARE_METATYPE(Inhibitor)

namespace {

void Complain(const QString& text)
{
    static_cast<void>(
        std::fputs(qPrintable(QStringLiteral("fake_logind: ") + text + QLatin1Char('\n')), stderr));
}

struct Behaviour {
    QString logPath;
    bool deny = false;
    QList<Inhibitor> inhibitors;
};

// Records a call, then refuses it when told to.
void Handle(QDBusContext& context, const Behaviour& behaviour, const QString& line,
            const QString& errorName, const QString& errorMessage)
{
    QFile log(behaviour.logPath);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append)) {
        Complain(QStringLiteral("cannot write ") + behaviour.logPath);
    } else {
        log.write((line + QLatin1Char('\n')).toUtf8());
        log.close();
    }
    if (behaviour.deny) {
        context.sendErrorReply(errorName, errorMessage);
    }
}

class FakeManager : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    explicit FakeManager(const Behaviour& behaviour)
        : m_behaviour(behaviour)
    {
    }

public Q_SLOTS:
    void Suspend(bool interactive) { Record(QStringLiteral("Suspend"), interactive); }
    void Hibernate(bool interactive) { Record(QStringLiteral("Hibernate"), interactive); }
    void PowerOff(bool interactive) { Record(QStringLiteral("PowerOff"), interactive); }
    QList<Inhibitor> ListInhibitors()
    {
        Handle(*this, m_behaviour, QStringLiteral("ListInhibitors"),
               QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
               QStringLiteral("Not allowed to list inhibitors"));
        return m_behaviour.inhibitors;
    }

private:
    void Record(const QString& method, bool interactive)
    {
        Handle(*this, m_behaviour,
               method + (interactive ? QStringLiteral(" true") : QStringLiteral(" false")),
               QStringLiteral("org.freedesktop.login1.NoPermission"),
               QStringLiteral("Access denied"));
    }

    const Behaviour& m_behaviour;
};

class FakeScreenSaver : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    explicit FakeScreenSaver(const Behaviour& behaviour)
        : m_behaviour(behaviour)
    {
    }

public Q_SLOTS:
    void SimulateUserActivity()
    {
        Handle(*this, m_behaviour, QStringLiteral("SimulateUserActivity"),
               QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
               QStringLiteral("Not allowed to simulate activity"));
    }

private:
    const Behaviour& m_behaviour;
};

bool Publish(QDBusConnection bus, const QString& service, const QString& path, QObject* object)
{
    if (!bus.isConnected()) {
        Complain(QStringLiteral("no bus for ") + service + QStringLiteral(": ")
                 + bus.lastError().message());
        return false;
    }
    if (!bus.registerObject(path, object, QDBusConnection::ExportAllSlots)) {
        Complain(QStringLiteral("cannot publish ") + path + QStringLiteral(": ")
                 + bus.lastError().message());
        return false;
    }
    if (!bus.registerService(service)) {
        Complain(QStringLiteral("cannot own ") + service + QStringLiteral(": ")
                 + bus.lastError().message());
        return false;
    }
    return true;
}

// "<what>|<who>|<why>|<mode>|<uid>|<pid>"
bool ParseInhibitor(const QString& text, Inhibitor& inhibitor)
{
    const QStringList fields = text.split(QLatin1Char('|'));
    if (fields.size() != 6) {
        return false;
    }
    bool uidOk = false;
    bool pidOk = false;
    const uint uid = fields[4].toUInt(&uidOk);
    const uint pid = fields[5].toUInt(&pidOk);
    inhibitor = {fields[0], fields[1], fields[2], fields[3], uid, pid};
    return uidOk && pidOk;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);

    Behaviour behaviour;
    const QString inhibitorOption = QStringLiteral("--inhibitor=");
    const QStringList args = app.arguments().mid(1);
    for (const QString& arg : args) {
        if (arg == QLatin1String("--deny")) {
            behaviour.deny = true;
        } else if (arg.startsWith(inhibitorOption)) {
            Inhibitor inhibitor;
            if (!ParseInhibitor(arg.mid(inhibitorOption.size()), inhibitor)) {
                Complain(QStringLiteral("bad inhibitor ") + arg);
                return 2;
            }
            behaviour.inhibitors.append(inhibitor);
        } else if (!arg.startsWith(QLatin1String("--")) && behaviour.logPath.isEmpty()) {
            behaviour.logPath = arg;
        } else {
            Complain(QStringLiteral("unknown argument ") + arg);
            return 2;
        }
    }
    if (behaviour.logPath.isEmpty()) {
        Complain(QStringLiteral("usage: fake_logind <call log> [--deny] "
                                "[--inhibitor=<what>|<who>|<why>|<mode>|<uid>|<pid>]..."));
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS")) {
        Complain(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS must name a private bus"));
        return 2;
    }

    qDBusRegisterMetaType<Inhibitor>();
    qDBusRegisterMetaType<QList<Inhibitor>>();
    FakeManager manager(behaviour);
    FakeScreenSaver screenSaver(behaviour);
    if (!Publish(QDBusConnection::systemBus(), QStringLiteral("org.freedesktop.login1"),
                 QStringLiteral("/org/freedesktop/login1"), &manager)
        || !Publish(QDBusConnection::sessionBus(), QStringLiteral("org.freedesktop.ScreenSaver"),
                    QStringLiteral("/org/freedesktop/ScreenSaver"), &screenSaver)) {
        return 1;
    }

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&input] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });

    if (std::fputs("ready\n", stdout) == EOF || std::fflush(stdout) != 0) {
        return 1; // nobody would learn that the service is there
    }
    return QCoreApplication::exec();
}

#include "fake_logind.moc"
