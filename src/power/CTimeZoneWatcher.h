#pragma once

// Notices that the system's time zone changed while the program runs (`timedatectl
// set-timezone`, a laptop that travels), reloads the zone rules and says so, so that the alarms
// can be searched again and a 07:00 alarm rings at 07:00 of the new zone.

#include <QDBusConnection>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace zembra {

// Where the system announces a change of zone.
struct TimeZoneSources {
    // Files that name the zone (and the folders they are replaced in); a change of what they
    // hold means a new zone.
    QStringList files;
    // An object whose PropertiesChanged signal announces it, on the system bus.
    QString service;
    QString path;
    QString interface;
};

// Where this system announces a new zone (Linux: /etc/localtime and systemd-timedated).
TimeZoneSources SystemTimeZoneSources();

class CTimeZoneWatcher : public QObject {
    Q_OBJECT

public:
    // `bus` is the connection the announcement comes on (the system bus, or a test's own).
    explicit CTimeZoneWatcher(const TimeZoneSources& sources,
                              const QDBusConnection& bus = QDBusConnection::systemBus(),
                              QObject* parent = nullptr);

Q_SIGNALS:
    // The zone rules have been reloaded.
    void ZoneChanged();

private Q_SLOTS:
    void OnPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList& invalidated);

private:
    // What the zone files hold now: their link targets, sizes and modification times.
    QString Identity() const;
    void Check();
    void Reload();

    TimeZoneSources m_sources;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_identity;
};

} // namespace zembra
