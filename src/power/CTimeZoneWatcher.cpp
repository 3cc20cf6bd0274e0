#include "CTimeZoneWatcher.h"

#include "time/ZTime.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLoggingCategory>

namespace zembra {

Q_LOGGING_CATEGORY(lcZone, "zembra.zone", QtWarningMsg)

namespace {

// The zone file is replaced in several steps (unlink, symlink); look once they are done.
constexpr int kSettleMs = 200;

} // namespace

CTimeZoneWatcher::CTimeZoneWatcher(const TimeZoneSources& sources, const QDBusConnection& bus,
                                   QObject* parent)
    : QObject(parent)
    , m_sources(sources)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &CTimeZoneWatcher::Check);
    for (const QString& file : m_sources.files) {
        const QFileInfo info(file);
        // The folder too: a replaced link is a new file, which a watch on the old one never sees.
        m_watcher.addPath(info.absolutePath());
        if (info.exists()) {
            m_watcher.addPath(info.absoluteFilePath());
        }
    }
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
    m_identity = Identity();

    if (!m_sources.service.isEmpty() && bus.isConnected()) {
        QDBusConnection(bus).connect(m_sources.service, m_sources.path,
                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                     QStringLiteral("PropertiesChanged"), this,
                                     SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList)));
    }
}

QString CTimeZoneWatcher::Identity() const
{
    QString identity;
    for (const QString& file : m_sources.files) {
        const QFileInfo info(file);
        identity += info.symLinkTarget() + u'|' + QString::number(info.size()) + u'|'
                    + QString::number(info.lastModified().toMSecsSinceEpoch()) + u'\n';
    }
    return identity;
}

void CTimeZoneWatcher::Check()
{
    // Files are watched again: an editor or timedated may have replaced them.
    for (const QString& file : m_sources.files) {
        const QFileInfo info(file);
        if (info.exists() && !m_watcher.files().contains(info.absoluteFilePath())) {
            m_watcher.addPath(info.absoluteFilePath());
        }
    }
    const QString identity = Identity();
    if (identity == m_identity) {
        return; // something else in the folder changed
    }
    m_identity = identity;
    Reload();
}

void CTimeZoneWatcher::OnPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                           const QStringList& invalidated)
{
    if (interface != m_sources.interface) {
        return;
    }
    if (changed.contains(QStringLiteral("Timezone"))
        || invalidated.contains(QStringLiteral("Timezone"))) {
        m_identity = Identity();
        Reload();
    }
}

void CTimeZoneWatcher::Reload()
{
    ReloadTimeZone();
    qCInfo(lcZone, "the time zone changed; zone rules reloaded");
    Q_EMIT ZoneChanged();
}

} // namespace zembra
