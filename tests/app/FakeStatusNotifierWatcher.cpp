// A stand-in for a desktop panel's tray host, for the tray tests on a private session bus: it
// owns org.kde.StatusNotifierWatcher, says that a host is there, and, as a panel would, reads
// each item that registers. For every registration it prints one line to standard output:
//   registered tooltip=<tooltip title> icon=<digest of the icon's pixels>
// after printing "ready" once it owns its name.

#include <QtDBus>

#include <cstdio>

using namespace Qt::StringLiterals;

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

// Only what an item's program asks of a watcher.
class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)

public:
    bool IsStatusNotifierHostRegistered() const { return true; }

public Q_SLOTS:
    // Qt's items name themselves by their own bus name.
    void RegisterStatusNotifierItem(const QString& service)
    {
        QDBusMessage getAll = QDBusMessage::createMethodCall(
            service, u"/StatusNotifierItem"_s, u"org.freedesktop.DBus.Properties"_s, u"GetAll"_s);
        getAll << u"org.kde.StatusNotifierItem"_s;
        // Without blocking, as a panel reads: the item's program may be busy asking this
        // watcher something at the same moment.
        QDBusConnection::sessionBus().callWithCallback(getAll, this, SLOT(Print(QVariantMap)));
    }

private Q_SLOTS:
    void Print(const QVariantMap& properties)
    {
        // The tooltip is (icon name, icon pixmaps, title, text).
        const auto toolTip = properties.value(u"ToolTip"_s).value<QDBusArgument>();
        QString iconName;
        QString title;
        toolTip.beginStructure();
        toolTip >> iconName;
        PixmapsDigest(toolTip);
        toolTip >> title;
        const auto icon = properties.value(u"IconPixmap"_s).value<QDBusArgument>();
        std::printf("registered tooltip=%s icon=%s\n", qPrintable(title),
                    PixmapsDigest(icon).constData());
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    FakeStatusNotifierWatcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Without its name it never says "ready", and the test says that it did not start.
    if (!bus.registerObject(u"/StatusNotifierWatcher"_s, &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties)
        || !bus.registerService(u"org.kde.StatusNotifierWatcher"_s))
        return 1;
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // a line as soon as it is whole
    std::printf("ready\n");
    return QCoreApplication::exec();
}

#include "FakeStatusNotifierWatcher.moc"
