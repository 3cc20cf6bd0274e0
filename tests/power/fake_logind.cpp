// A stand-in for logind and the session's screen saver, for tests on a private bus.
//
//   fake_logind <call log> [--deny] [--inhibitor=<what>|<who>|<why>|<mode>|<uid>|<pid>]...
//
// Owns org.freedesktop.login1 on the bus named by DBUS_SYSTEM_BUS_ADDRESS (and refuses to run
// without that variable, so it can never stand in for the machine's own logind) and
// org.freedesktop.ScreenSaver on the session bus. Each call is appended to the call log as
// "<Method> <interactive>" ("SimulateUserActivity" for the screen saver) before it is
// answered, so a caller that got its answer finds the line already there.
//   --deny        answer every call with an error, as logind and the screen saver do when
//                 policy forbids it
//   --inhibitor   one inhibitor for ListInhibitors to list, in the order given
// The test knows it is up when both names are owned by this process. It dies with the process
// that started it, so it does not outlive a test that crashed.

#include <QtDBus>

#include <csignal>
#include <sys/prctl.h>

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

struct Behaviour {
    QString logPath;
    bool deny = false;
    QList<Inhibitor> inhibitors;
};

// What both services share: each call is recorded, then refused when told to. Q_OBJECT here too:
// Qt D-Bus finds the context of a call by casting to QDBusContext through the meta-object.
class FakeService : public QObject, protected QDBusContext {
    Q_OBJECT

public:
    explicit FakeService(const Behaviour& behaviour)
        : m_behaviour(behaviour)
    {
    }

protected:
    void Handle(const QString& line)
    {
        QFile log(m_behaviour.logPath);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append)
            || log.write((line + QLatin1Char('\n')).toUtf8()) < 0 || !log.flush()) {
            qWarning("fake_logind: cannot write %s", qPrintable(m_behaviour.logPath));
        }
        if (m_behaviour.deny) {
            sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                           QStringLiteral("Not allowed"));
        }
    }

    const Behaviour& m_behaviour;
};

class FakeManager : public FakeService {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    using FakeService::FakeService;

public Q_SLOTS:
    void Suspend(bool interactive) { Record(QStringLiteral("Suspend"), interactive); }
    void Hibernate(bool interactive) { Record(QStringLiteral("Hibernate"), interactive); }
    void PowerOff(bool interactive) { Record(QStringLiteral("PowerOff"), interactive); }
    QList<Inhibitor> ListInhibitors()
    {
        Handle(QStringLiteral("ListInhibitors"));
        return m_behaviour.inhibitors;
    }

private:
    void Record(const QString& method, bool interactive)
    {
        Handle(method + (interactive ? QStringLiteral(" true") : QStringLiteral(" false")));
    }
};

class FakeScreenSaver : public FakeService {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    using FakeService::FakeService;

public Q_SLOTS:
    void SimulateUserActivity() { Handle(QStringLiteral("SimulateUserActivity")); }
};

bool Publish(QDBusConnection bus, const QString& service, const QString& path, QObject* object)
{
    if (bus.registerObject(path, object, QDBusConnection::ExportAllSlots)
        && bus.registerService(service)) {
        return true;
    }
    qWarning("fake_logind: cannot own %s: %s", qPrintable(service),
             qPrintable(bus.lastError().message()));
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);

    Behaviour behaviour;
    const QString inhibitorOption = QStringLiteral("--inhibitor=");
    for (const QString& arg : app.arguments().mid(1)) {
        // "<what>|<who>|<why>|<mode>|<uid>|<pid>"
        const QStringList fields = arg.mid(inhibitorOption.size()).split(QLatin1Char('|'));
        if (arg == QLatin1String("--deny")) {
            behaviour.deny = true;
        } else if (arg.startsWith(inhibitorOption) && fields.size() == 6) {
            behaviour.inhibitors.append({fields[0], fields[1], fields[2], fields[3],
                                         fields[4].toUInt(), fields[5].toUInt()});
        } else if (!arg.startsWith(QLatin1String("--")) && behaviour.logPath.isEmpty()) {
            behaviour.logPath = arg;
        } else {
            qWarning("fake_logind: bad argument %s", qPrintable(arg));
            return 2;
        }
    }
    if (behaviour.logPath.isEmpty() || qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS")) {
        qWarning("fake_logind: needs a call log, and DBUS_SYSTEM_BUS_ADDRESS naming a private bus");
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
    return QCoreApplication::exec();
}

#include "fake_logind.moc"
