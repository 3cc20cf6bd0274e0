// A stand-in for a desktop panel's tray host, for the tray tests on a private session bus: it
// owns org.kde.StatusNotifierWatcher, says that a host is there, and, as a panel would, reads
// each item that registers. For every registration it prints one line to standard output:
//   registered <service> tooltip=<tooltip title> icon=<digest of the icon's pixels>
// after printing "ready" once it owns its name.

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QObject>
#include <QStringList>

#include <cstdio>

class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)

public:
    bool IsStatusNotifierHostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }
    QStringList RegisteredStatusNotifierItems() const { return m_items; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message)
    {
        // An item may name itself by object path only; then its bus name is the sender's.
        const QString item = service.startsWith(u'/') ? message.service() : service;
        m_items.append(item);
        Q_EMIT StatusNotifierItemRegistered(item);
        // The tooltip is (icon name, icon pixmaps, title, text).
        ReadItemProperty(item, "ToolTip", [this, item](const QDBusArgument& toolTip) {
            QString iconName;
            QString title;
            toolTip.beginStructure();
            toolTip >> iconName;
            PixmapsDigest(toolTip);
            toolTip >> title;
            ReadItemProperty(item, "IconPixmap", [item, title](const QDBusArgument& icon) {
                std::printf("registered %s tooltip=%s icon=%s\n", qPrintable(item),
                            qPrintable(title), PixmapsDigest(icon).constData());
                std::fflush(stdout);
            });
        });
    }
    void RegisterStatusNotifierHost(const QString&) {}

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    // Reads a property of an item without blocking, as a panel does: the item's program may be
    // busy asking this watcher something at the same moment.
    template <typename Then>
    void ReadItemProperty(const QString& service, const char* name, Then then)
    {
        QDBusMessage get = QDBusMessage::createMethodCall(
            service, QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get.setArguments({QStringLiteral("org.kde.StatusNotifierItem"), QLatin1String(name)});
        auto* pending =
            new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get), this);
        connect(pending, &QDBusPendingCallWatcher::finished, this, [name, then](auto* call) {
            call->deleteLater();
            const QDBusMessage reply = call->reply();
            if (reply.type() != QDBusMessage::ReplyMessage)
                std::fprintf(stderr, "%s: %s\n", name, qPrintable(reply.errorMessage()));
            else
                then(reply.arguments()
                         .value(0)
                         .value<QDBusVariant>()
                         .variant()
                         .template value<QDBusArgument>());
        });
    }

    // Reads an array of (width, height, ARGB bytes) and digests the bytes.
    static QByteArray PixmapsDigest(const QDBusArgument& pixmaps)
    {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        pixmaps.beginArray();
        while (!pixmaps.atEnd()) {
            int width = 0;
            int height = 0;
            QByteArray bytes;
            pixmaps.beginStructure();
            pixmaps >> width >> height >> bytes;
            pixmaps.endStructure();
            hash.addData(bytes);
        }
        pixmaps.endArray();
        return hash.result().toHex().left(16);
    }

    QStringList m_items;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    FakeStatusNotifierWatcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
                                | QDBusConnection::ExportAllProperties)
        || !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "cannot own org.kde.StatusNotifierWatcher: %s\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

#include "FakeStatusNotifierWatcher.moc"
