#pragma once

// The running program's interface on the session bus, org.brelko.Zembra (described in
// res/dbus/org.brelko.Zembra.xml, whose generated adaptor calls the slots here). Scripts, a
// desktop shortcut and zembractl list and change the open list, silence a ringing alarm and
// bring the window up. Every change goes through the document's commands, as the window's do
// (modified mark, rows, re-arming); a bad argument gets an error that says why.

#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace zembra {

class CAlerterThread;
class CMainFrame;
class CZembracfgDoc;
struct FiringPass;

class CDBusService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName)
    Q_PROPERTY(bool Modified READ Modified)
    Q_PROPERTY(bool Ringing READ Ringing)
    Q_PROPERTY(QVariantMap NextAlarm READ NextAlarm)

public:
    // Longest snooze asked for: a day.
    static constexpr unsigned kMaxSnoozeMinutes = 24 * 60;

    // `alerter` may be null (no ringing then); all must outlive the service.
    CDBusService(CZembracfgDoc& doc, CMainFrame& frame, CAlerterThread* alerter,
                 QObject* parent = nullptr);
    // Gives the name and the object back to the bus.
    ~CDBusService() override;

    // Offers the interface on the session bus under the application id. False, said on standard
    // error, when there is no session bus or another program owns the name: the program goes
    // on without the interface.
    bool Register();
    bool IsRegistered() const { return m_bRegistered; }

    QString FileName() const;
    bool Modified() const;
    bool Ringing() const;
    QVariantMap NextAlarm() const;

public Q_SLOTS:
    QList<QVariantMap> ListAlarms();
    QVariantMap GetNextAlarm();
    int AddAlarm(const QString& time, const QVariantMap& options);
    void RemoveAlarm(int index);
    void SetAlarmActive(int index, bool active);
    void Open(const QString& path);
    void Save();
    void Show();
    bool Silence();
    void Snooze(uint minutes);

Q_SIGNALS:
    void AlarmFired(int index, const QString& comment, const QString& local, const QString& utc,
                    bool late, qlonglong lateness_seconds);
    void NextAlarmChanged(const QVariantMap& alarm);

private:
    // The caller gets the error `name` saying `text` instead of a reply.
    void Refuse(const QString& name, const QString& text);
    // False (and refused) when no alarm stands at `index`.
    bool CheckIndex(int index);
    void OnAlarmsDue(const FiringPass& pass);
    // Tells the bus which properties changed since it was last told.
    void NotifyChanges();
    QVariantMap Properties() const;

    CZembracfgDoc& m_doc;
    CMainFrame& m_frame;
    CAlerterThread* m_pAlerter;
    bool m_bRegistered = false;
    // The properties as the bus was last told them.
    QVariantMap m_told;
};

} // namespace zembra
