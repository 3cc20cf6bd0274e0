#include "CDBusService.h"

#include "ApplicationId.h"
#include "CAlerterThread.h"
#include "CMainFrame.h"
#include "CZembracfgDoc.h"
#include "model/CFiringRoad.h"
#include "zembraadaptor.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <optional>

namespace zembra {

Q_LOGGING_CATEGORY(lcBus, "zembra.bus", QtWarningMsg)

namespace {

QString FromCore(const std::string& text)
{
    return QString::fromStdString(text);
}

QString UtcText(FileTime utc)
{
    SystemTime st;
    return FileTimeToSystemTime(utc, st) ? FromCore(FormatIso(st, true)) : QString();
}

// The local wall-clock moment of a firing: a one-time alarm's own moment as the user set it, a
// repeating one's occurrence.
QString LocalText(const CAlarm& alarm, FileTime firingUtc)
{
    if (alarm.m_strFrequency == kFrequencyOnce) {
        return FromCore(FormatIso(alarm.m_time, false));
    }
    const std::optional<SystemTime> local = UtcToLocalSystemTime(firingUtc);
    return local ? FromCore(FormatIso(*local, false)) : QString();
}

template <std::size_t N> QString Keywords(const std::array<const char*, N>& words)
{
    QStringList list;
    for (const char* word : words) {
        list << QString::fromLatin1(word);
    }
    return list.join(QStringLiteral(", "));
}

template <std::size_t N> bool IsOneOf(const QString& word, const std::array<const char*, N>& words)
{
    return std::any_of(words.begin(), words.end(),
                       [&word](const char* w) { return word == QLatin1String(w); });
}

const QString kInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");

} // namespace

CDBusService::CDBusService(CZembracfgDoc& doc, CMainFrame& frame, CAlerterThread* alerter,
                           QObject* parent)
    : QObject(parent)
    , m_doc(doc)
    , m_frame(frame)
    , m_pAlerter(alerter)
{
    qDBusRegisterMetaType<QList<QVariantMap>>();
    // The adaptor is a child: it lives and goes with this object.
    new ZembraAdaptor(this);
    connect(&m_doc, &CZembracfgDoc::ModifiedChanged, this, &CDBusService::NotifyChanges);
    connect(&m_doc, &CZembracfgDoc::TitleChanged, this, &CDBusService::NotifyChanges);
    connect(&m_doc, &CZembracfgDoc::NextAlarmUpdated, this, &CDBusService::NotifyChanges);
    connect(&m_doc, &CZembracfgDoc::AlarmsDue, this, &CDBusService::OnAlarmsDue);
    if (m_pAlerter != nullptr) {
        connect(m_pAlerter, &CAlerterThread::StartTrayAnimation, this,
                &CDBusService::NotifyChanges);
        connect(m_pAlerter, &CAlerterThread::StopTrayAnimation, this, &CDBusService::NotifyChanges);
        connect(m_pAlerter, &CAlerterThread::RingingChanged, this, &CDBusService::NotifyChanges);
    }
}

CDBusService::~CDBusService()
{
    if (m_bRegistered) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(QString::fromLatin1(kApplicationId));
        bus.unregisterObject(QString::fromLatin1(kDBusObjectPath));
    }
}

bool CDBusService::Register()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qWarning("Zembra: no session bus (%s); the program offers no D-Bus interface",
                 qPrintable(bus.lastError().message()));
        return false;
    }
    if (!bus.registerObject(QString::fromLatin1(kDBusObjectPath), this)) {
        qWarning("Zembra: the object %s is taken on the session bus; the program offers no D-Bus "
                 "interface",
                 kDBusObjectPath);
        return false;
    }
    if (!bus.registerService(QString::fromLatin1(kApplicationId))) {
        qWarning("Zembra: another program owns the name %s on the session bus (%s); this one "
                 "offers no D-Bus interface",
                 kApplicationId, qPrintable(bus.lastError().message()));
        bus.unregisterObject(QString::fromLatin1(kDBusObjectPath));
        return false;
    }
    m_bRegistered = true;
    m_told = Properties();
    qCInfo(lcBus, "offering %s on the session bus", kApplicationId);
    return true;
}

// ---- properties ----

QString CDBusService::FileName() const
{
    return m_doc.PathName();
}

bool CDBusService::Modified() const
{
    return m_doc.IsModified();
}

bool CDBusService::Ringing() const
{
    // Its sound plays, or its message is shown: what a snooze or a silence would act on.
    return m_pAlerter != nullptr && (m_pAlerter->IsSoundPlaying() || m_pAlerter->IsRinging());
}

QVariantMap CDBusService::NextAlarm() const
{
    const CAlarm* next = m_doc.NextAlarm();
    if (next == nullptr) {
        return {};
    }
    return {
        {QStringLiteral("index"), m_doc.Scheduler().IndexOf(next)},
        {QStringLiteral("type"), FromCore(next->m_strType)},
        {QStringLiteral("frequency"), FromCore(next->m_strFrequency)},
        {QStringLiteral("comment"), FromCore(next->m_strComment)},
        {QStringLiteral("local"), LocalText(*next, m_doc.NextFiringUtc())},
        {QStringLiteral("utc"), UtcText(m_doc.NextFiringUtc())},
    };
}

QVariantMap CDBusService::Properties() const
{
    return {
        {QStringLiteral("FileName"), FileName()},
        {QStringLiteral("Modified"), Modified()},
        {QStringLiteral("Ringing"), Ringing()},
        {QStringLiteral("NextAlarm"), NextAlarm()},
    };
}

void CDBusService::NotifyChanges()
{
    if (!m_bRegistered) {
        return;
    }
    const QVariantMap now = Properties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_told.value(it.key()) != it.value()) {
            changed.insert(it.key(), it.value());
        }
    }
    m_told = now;
    if (changed.isEmpty()) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kDBusObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kDBusInterface) << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
    if (changed.contains(QStringLiteral("NextAlarm"))) {
        Q_EMIT NextAlarmChanged(now.value(QStringLiteral("NextAlarm")).toMap());
    }
}

void CDBusService::OnAlarmsDue(const FiringPass& pass)
{
    for (const DueAlarm& due : pass.alarms) {
        const CScheduler& list = m_doc.Scheduler();
        Q_EMIT AlarmFired(list.IndexOf(list.FindById(due.alarm.m_nId)),
                          FromCore(due.alarm.m_strComment), LocalText(due.alarm, due.firingUtc),
                          UtcText(due.firingUtc), due.late, due.Lateness() / kTicksPerSecond);
    }
}

// ---- methods ----

void CDBusService::Refuse(const QString& name, const QString& text)
{
    qCInfo(lcBus, "refused: %s", qPrintable(text));
    if (calledFromDBus()) {
        sendErrorReply(name, text);
    }
}

bool CDBusService::CheckIndex(int index)
{
    const auto count = static_cast<int>(m_doc.Scheduler().Count());
    if (index >= 0 && index < count) {
        return true;
    }
    Refuse(kInvalidArgs, count == 0
                             ? QStringLiteral("index %1 is out of range: the list holds no "
                                              "alarms")
                                   .arg(index)
                             : QStringLiteral("index %1 is out of range: valid indexes are "
                                              "0 to %2 (the list holds %3)")
                                   .arg(index)
                                   .arg(count - 1)
                                   .arg(count == 1 ? QStringLiteral("1 alarm")
                                                   : QStringLiteral("%1 alarms").arg(count)));
    return false;
}

QList<QVariantMap> CDBusService::ListAlarms()
{
    QList<QVariantMap> alarms;
    const CScheduler& list = m_doc.Scheduler();
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const CAlarm& alarm = *list.At(i);
        FileTime firing = 0;
        const bool fires =
            alarm.m_bActive && alarm.NextOccurrenceUtc(m_doc.DoneUpTo() + 1, nullptr, firing) == 1;
        alarms << QVariantMap{
            {QStringLiteral("index"), static_cast<int>(i)},
            {QStringLiteral("active"), alarm.m_bActive},
            {QStringLiteral("type"), FromCore(alarm.m_strType)},
            {QStringLiteral("frequency"), FromCore(alarm.m_strFrequency)},
            {QStringLiteral("time"), FromCore(FormatIso(alarm.m_time, false))},
            {QStringLiteral("comment"), FromCore(alarm.m_strComment)},
            {QStringLiteral("message"), FromCore(alarm.m_strMessage)},
            {QStringLiteral("message_active"), alarm.m_bMessageActive},
            {QStringLiteral("sound"), FromCore(alarm.m_strSound)},
            {QStringLiteral("sound_active"), alarm.m_bSoundActive},
            {QStringLiteral("program"), FromCore(alarm.m_strProgram)},
            {QStringLiteral("program_active"), alarm.m_bProgramActive},
            {QStringLiteral("next_local"), fires ? LocalText(alarm, firing) : QString()},
            {QStringLiteral("next_utc"), fires ? UtcText(firing) : QString()},
        };
    }
    return alarms;
}

QVariantMap CDBusService::GetNextAlarm()
{
    return NextAlarm();
}

int CDBusService::AddAlarm(const QString& time, const QVariantMap& options)
{
    auto alarm = std::make_unique<CAlarm>();
    const std::optional<ParsedTime> parsed = ParseIso(time.toStdString());
    FileTime utc = 0;
    if (!parsed) {
        Refuse(kInvalidArgs, QStringLiteral("'%1' is not a time (YYYY-MM-DDTHH:MM[:SS[.mmm]], "
                                            "local, or UTC with a trailing Z)")
                                 .arg(time));
        return -1;
    }
    if (parsed->utc) {
        // A moment in UTC is kept as the local time of that moment.
        const std::optional<SystemTime> local =
            SystemTimeToFileTime(parsed->time, utc) ? UtcToLocalSystemTime(utc) : std::nullopt;
        if (!local) {
            Refuse(kInvalidArgs, QStringLiteral("'%1' is out of range").arg(time));
            return -1;
        }
        alarm->m_time = *local;
    } else {
        if (!LocalSystemTimeToUtc(parsed->time)) {
            Refuse(kInvalidArgs,
                   QStringLiteral("'%1' is out of range in the local time zone").arg(time));
            return -1;
        }
        alarm->m_time = parsed->time;
    }
    alarm->m_strFrequency = kFrequencyOnce;
    alarm->m_strType = kTypeWakeup;
    alarm->m_bActive = true;

    const auto text = [&](const QString& key, const QVariant& value, std::string& into) {
        if (value.typeId() != QMetaType::QString) {
            Refuse(kInvalidArgs, QStringLiteral("option '%1' must be a string (s)").arg(key));
            return false;
        }
        into = value.toString().toStdString();
        return true;
    };
    for (auto it = options.cbegin(); it != options.cend(); ++it) {
        const QString& key = it.key();
        const QVariant& value = it.value();
        bool ok = true;
        if (key == QLatin1String("frequency")) {
            ok = text(key, value, alarm->m_strFrequency);
            if (ok && !IsOneOf(value.toString(), kAllFrequencies)) {
                Refuse(kInvalidArgs, QStringLiteral("frequency '%1' is not one of %2")
                                         .arg(value.toString(), Keywords(kAllFrequencies)));
                ok = false;
            }
        } else if (key == QLatin1String("type")) {
            ok = text(key, value, alarm->m_strType);
            if (ok && !IsOneOf(value.toString(), kAllTypes)) {
                Refuse(kInvalidArgs, QStringLiteral("type '%1' is not one of %2")
                                         .arg(value.toString(), Keywords(kAllTypes)));
                ok = false;
            }
        } else if (key == QLatin1String("comment")) {
            ok = text(key, value, alarm->m_strComment);
        } else if (key == QLatin1String("message")) {
            // An action given is switched on, as in zembractl add.
            ok = text(key, value, alarm->m_strMessage);
            alarm->m_bMessageActive = true;
        } else if (key == QLatin1String("sound")) {
            ok = text(key, value, alarm->m_strSound);
            alarm->m_bSoundActive = true;
        } else if (key == QLatin1String("program")) {
            ok = text(key, value, alarm->m_strProgram);
            alarm->m_bProgramActive = true;
        } else if (key == QLatin1String("active")) {
            ok = value.typeId() == QMetaType::Bool;
            if (ok) {
                alarm->m_bActive = value.toBool();
            } else {
                Refuse(kInvalidArgs, QStringLiteral("option 'active' must be a boolean (b)"));
            }
        } else {
            Refuse(kInvalidArgs, QStringLiteral("unknown option '%1'; the options are frequency, "
                                                "type, comment, message, sound, program and active")
                                     .arg(key));
            ok = false;
        }
        if (!ok) {
            return -1;
        }
    }
    return m_doc.AddAlarm(std::move(alarm));
}

void CDBusService::RemoveAlarm(int index)
{
    if (CheckIndex(index)) {
        m_doc.RemoveAlarmAt(static_cast<std::size_t>(index));
    }
}

void CDBusService::SetAlarmActive(int index, bool active)
{
    if (CheckIndex(index)) {
        m_doc.SetAlarmActive(m_doc.Scheduler().At(static_cast<std::size_t>(index)), active);
    }
}

void CDBusService::Open(const QString& path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path)) {
        Refuse(kInvalidArgs, QStringLiteral("'%1' is not an absolute path").arg(path));
        return;
    }
    // What the user is doing in the window is not thrown away from outside.
    if (m_doc.IsDialogOpen()) {
        Refuse(QString::fromLatin1(kDBusErrorRefused),
               QStringLiteral("an alarm is being edited in the window; the list can be opened "
                              "when the Alarm window is closed"));
        return;
    }
    if (m_doc.IsModified()) {
        Refuse(QString::fromLatin1(kDBusErrorRefused),
               QStringLiteral("the open list has unsaved changes; save it first (Save)"));
        return;
    }
    CZembracfgDoc::FileProblem problem;
    if (m_doc.OnOpenDocument(path, &problem)) {
        return;
    }
    if (problem.kind == CZembracfgDoc::FileProblem::Kind::NotAlarmList) {
        Refuse(QString::fromLatin1(kDBusErrorNotAlarmList),
               QStringLiteral("%1 is not an alarm list: %2").arg(path, problem.reason));
    } else {
        Refuse(QString::fromLatin1(kDBusErrorFile),
               QStringLiteral("cannot read %1: %2").arg(path, problem.reason));
    }
}

void CDBusService::Save()
{
    if (m_doc.PathName().isEmpty()) {
        Refuse(QString::fromLatin1(kDBusErrorRefused),
               QStringLiteral("the list has never been saved, so it has no file yet; save it "
                              "from the window"));
        return;
    }
    CZembracfgDoc::FileProblem problem;
    if (m_doc.OnSaveDocument(m_doc.PathName(), &problem)) {
        return;
    }
    if (problem.kind == CZembracfgDoc::FileProblem::Kind::ChangedOnDisk) {
        Refuse(QString::fromLatin1(kDBusErrorRefused),
               QStringLiteral("%1 was changed on disk after the list was read; the window asks "
                              "the user before it replaces the file")
                   .arg(m_doc.PathName()));
    } else {
        Refuse(QString::fromLatin1(kDBusErrorFile),
               QStringLiteral("cannot write %1: %2").arg(m_doc.PathName(), problem.reason));
    }
}

void CDBusService::Show()
{
    m_frame.RestoreFromTray();
    m_frame.raise();
    m_frame.activateWindow();
}

bool CDBusService::Silence()
{
    const bool wasRinging = Ringing();
    m_frame.SilenceAlarm();
    NotifyChanges();
    return wasRinging;
}

void CDBusService::Snooze(uint minutes)
{
    if (minutes > kMaxSnoozeMinutes) {
        Refuse(kInvalidArgs,
               QStringLiteral("%1 minutes is too long a snooze: at most %2 (0: the program's own "
                              "snooze time)")
                   .arg(minutes)
                   .arg(kMaxSnoozeMinutes));
        return;
    }
    if (m_pAlerter == nullptr || !m_pAlerter->IsRinging()) {
        Refuse(QString::fromLatin1(kDBusErrorNotAvailable), QStringLiteral("no alarm is ringing"));
        return;
    }
    // The user's own snooze: the same alarms, the same lengths, 0 the program's own.
    m_frame.SnoozeAlarm(static_cast<int>(minutes));
    NotifyChanges();
}

} // namespace zembra
