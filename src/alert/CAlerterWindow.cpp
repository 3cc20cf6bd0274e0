#include "CAlerterWindow.h"

#include "CSoundDevice.h"
#include "ISoundDevice.h"
#include "CVolumeMixer.h"
#include "IPowerRequests.h"
#include "time/Clock.h"

#include <QDebug>
#include <QLoggingCategory>

#include <algorithm>
#include <climits>

namespace zembra {

Q_LOGGING_CATEGORY(lcCarry, "zembra.carry", QtWarningMsg)

namespace {

constexpr FileTime kCountdownSpan = kPowerCountdownSpan;
constexpr int kCountdownTickMs = 1000;
constexpr int kMessageTickMs = 2000;
constexpr int kRestoreDelayMs = 5000;
constexpr int kFadeStartVolume = 1000;
constexpr int kFadeStep = 100;
// A far-away power alarm is looked at again at least this often, so that a long wait never
// overflows a timer and a wrong guess (the clock set meanwhile) is put right within the hour.
constexpr FileTime kLongestCountdownWait = 60 * kTicksPerMinute;

// What the pop-up does for each kind of text: slide in and out in half a second, 2 pixels a
// step, and stay for five minutes (countdown) or ten (messages) unless shown again.
constexpr int kSlideMs = 500;
constexpr int kCountdownStayMs = 300'000;
constexpr int kMessageStayMs = 600'000;
constexpr int kSlideStep = 2;

} // namespace

CAlerterWindow::CAlerterWindow(Dependencies dependencies, QObject* parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
    , m_volume(std::move(m_deps.volume))
    , m_restoreTimer(this)
    , m_countdownTimer(this)
    , m_fadeTimer(this)
    , m_messageTimer(this)
    , m_countdownStartTimer(this)
    , m_soundPrepareTimer(this)
{
    m_soundPrepareTimer.setSingleShot(true);
    connect(&m_soundPrepareTimer, &QTimer::timeout, this, [this] {
        ++m_nWakeUps;
        ArmSoundPreparation();
    });
    m_countdownStartTimer.setSingleShot(true);
    m_countdownStartTimer.setTimerType(Qt::PreciseTimer);
    m_countdownTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_restoreTimer, &QTimer::timeout, this, [this] { OnTimer(kRestoreTimer); });
    connect(&m_countdownTimer, &QTimer::timeout, this, [this] { OnTimer(kCountdownTimer); });
    connect(&m_fadeTimer, &QTimer::timeout, this, [this] { OnTimer(kFadeTimer); });
    connect(&m_messageTimer, &QTimer::timeout, this, [this] { OnTimer(kMessageTimer); });
    connect(&m_countdownStartTimer, &QTimer::timeout, this, &CAlerterWindow::OnCountdownStart);
}

CAlerterWindow::~CAlerterWindow()
{
    Shutdown();
}

void CAlerterWindow::Init()
{
    if (m_sound) {
        return;
    }
    m_sound = m_deps.makeSound ? m_deps.makeSound() : std::make_unique<CSoundDevice>();
    connect(m_sound.get(), &ISoundDevice::PlayedToEnd, this, &CAlerterWindow::OnPlayedToEnd);
    connect(m_sound.get(), &ISoundDevice::Failed, this, &CAlerterWindow::OnSoundFailed);
}

void CAlerterWindow::Shutdown()
{
    if (m_volume && m_volume->IsRaised()) {
        m_volume->RestoreVolume();
    }
}

QTimer& CAlerterWindow::Timer(int id)
{
    switch (id) {
    case kRestoreTimer:
        return m_restoreTimer;
    case kCountdownTimer:
        return m_countdownTimer;
    case kFadeTimer:
        return m_fadeTimer;
    default:
        return m_messageTimer;
    }
}

bool CAlerterWindow::IsTimerActive(int id) const
{
    return const_cast<CAlerterWindow*>(this)->Timer(id).isActive();
}

int CAlerterWindow::TimerInterval(int id) const
{
    return const_cast<CAlerterWindow*>(this)->Timer(id).interval();
}

void CAlerterWindow::OnTimer(int id)
{
    ++m_nWakeUps;
    switch (id) {
    case kRestoreTimer:
        m_restoreTimer.stop();
        if (m_volume) {
            m_volume->RestoreVolume();
        }
        break;
    case kCountdownTimer:
        UpdateCountdown();
        break;
    case kFadeTimer:
        m_nFadeVolume -= kFadeStep;
        if (m_nFadeVolume > 0) {
            if (m_sound) {
                m_sound->SetVolume(m_nFadeVolume);
            }
        } else {
            m_fadeTimer.stop();
            if (m_sound) {
                m_sound->Stop();
                m_sound->Close();
            }
            ScheduleVolumeRestore();
        }
        break;
    case kMessageTimer:
        ShowNextMessage();
        break;
    default:
        break;
    }
}

void CAlerterWindow::SetNextAlarm(const std::optional<CAlarm>& next, FileTime firingUtc)
{
    m_nextAlarm = next;
    m_nextFiringUtc = firingUtc;
    ArmCountdown();
    ArmSoundPreparation();
}

void CAlerterWindow::ArmSoundPreparation()
{
    m_soundPrepareTimer.stop();
    if (m_sound || !m_nextAlarm) {
        return;
    }
    const FileTime untilPrepared = m_nextFiringUtc - Clock::Now() - kSoundPrepareSpan;
    if (untilPrepared > 0) {
        const FileTime wait = std::min(untilPrepared, kLongestCountdownWait);
        m_soundPrepareTimer.start(static_cast<int>(wait / kTicksPerMillisecond) + 1);
        return;
    }
    Init();
}

// The countdown ticks once a second only in the last five minutes before a power alarm; before
// that one single-shot timer waits for the five minutes to begin.
void CAlerterWindow::ArmCountdown()
{
    m_countdownStartTimer.stop();
    if (!m_nextAlarm || !IsPowerType(m_nextAlarm->m_strType)) {
        m_countdownTimer.stop();
        HideCountdown();
        return;
    }
    const FileTime untilCountdown = m_nextFiringUtc - Clock::Now() - kCountdownSpan;
    if (untilCountdown > 0) {
        m_countdownTimer.stop();
        HideCountdown();
        const FileTime wait = std::min(untilCountdown, kLongestCountdownWait);
        m_countdownStartTimer.start(static_cast<int>(wait / kTicksPerMillisecond) + 1);
        return;
    }
    UpdateCountdown();
    m_countdownTimer.start(kCountdownTickMs);
}

QString CAlerterWindow::CountdownText(const QString& type, FileTime remaining)
{
    QString label;
    if (type == QLatin1String(kTypeStandby)) {
        label = tr("Do uśpienia zostało:");
    } else if (type == QLatin1String(kTypeHibernate)) {
        label = tr("Do hibernacji zostało:");
    } else if (type == QLatin1String(kTypeShutdown)) {
        label = tr("Do wyłączenia zostało:");
    } else {
        return {};
    }
    // Between the alarm's moment and the re-arming the remainder can be negative: 00:00.
    const FileTime left = std::max<FileTime>(remaining, 0);
    const auto minutes = static_cast<int>(left / kTicksPerMinute);
    const auto seconds = static_cast<int>((left - minutes * kTicksPerMinute) / kTicksPerSecond);
    return QStringLiteral("%1 %2:%3")
        .arg(label)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

void CAlerterWindow::OnCountdownStart()
{
    ++m_nWakeUps;
    ArmCountdown();
}

void CAlerterWindow::UpdateCountdown()
{
    if (!m_nextAlarm || !IsPowerType(m_nextAlarm->m_strType)) {
        m_countdownTimer.stop();
        return;
    }
    const FileTime remaining = m_nextFiringUtc - Clock::Now();
    if (remaining > kCountdownSpan) {
        // Not yet (the clock moved back, or a tick came early): wait for the five minutes.
        ArmCountdown();
        return;
    }
    // Messages go first: with both, the text would change every second and neither could be
    // read. The warning window counts down all the same.
    if (!m_messages.isEmpty()) {
        return;
    }
    m_bCountdownShown = true;
    Q_EMIT ShowNotifierText(CountdownText(QString::fromStdString(m_nextAlarm->m_strType), remaining),
                            kSlideMs, kCountdownStayMs, kSlideMs, kSlideStep);
}

void CAlerterWindow::HideCountdown()
{
    // The power alarm was postponed, skipped, switched off or carried out: a countdown left
    // standing would tell of an action that is not coming.
    if (m_bCountdownShown) {
        m_bCountdownShown = false;
        if (m_messages.isEmpty()) {
            Q_EMIT SlideOutNotifier();
        }
    }
}

void CAlerterWindow::ShowNextMessage()
{
    const auto count = static_cast<int>(m_messages.size());
    if (count == 0) {
        m_messageTimer.stop();
        return;
    }
    m_nMessageIndex %= count;
    m_strShown = count >= 2 ? QStringLiteral("%1: ").arg(m_nMessageIndex + 1) : QString();
    m_strShown += m_messages.at(m_nMessageIndex);
    m_bCountdownShown = false;
    Q_EMIT ShowNotifierText(m_strShown, kSlideMs, kMessageStayMs, kSlideMs, kSlideStep);
    m_nMessageIndex = (m_nMessageIndex + 1) % count;
}

void CAlerterWindow::OnNotifierClicked()
{
    Q_EMIT SlideOutNotifier();
    m_bCountdownShown = false;
    m_countdownTimer.stop();
    m_countdownStartTimer.stop();
    m_messageTimer.stop();
    m_messages.clear();
    m_messageAlarms.clear();
    m_nMessageIndex = 0;
    UpdateRinging();
}

void CAlerterWindow::Silence(int fadeMs)
{
    if (m_deps.soundPlaying != nullptr) {
        m_deps.soundPlaying->store(false);
    }
    StartFadeOut(fadeMs);
    m_ringing.clear();
    UpdateRinging();
}

void CAlerterWindow::Snooze(int minutes)
{
    if (m_ringing.empty()) {
        return;
    }
    const std::vector<CAlarm> alarms = RingingAlarms();
    // Their messages leave the rotation; whatever else is shown stays.
    for (qsizetype i = m_messages.size() - 1; i >= 0; --i) {
        if (m_ringing.count(m_messageAlarms[static_cast<std::size_t>(i)]) != 0) {
            m_messages.removeAt(i);
            m_messageAlarms.erase(m_messageAlarms.begin() + i);
        }
    }
    m_nMessageIndex = 0;
    if (m_messages.isEmpty()) {
        m_messageTimer.stop();
        Q_EMIT SlideOutNotifier();
    }
    if (m_ringing.count(m_soundAlarmId) != 0) {
        StopSound();
    }
    m_ringing.clear();
    UpdateRinging();
    Q_EMIT Snoozed(alarms, minutes);
}

std::vector<CAlarm> CAlerterWindow::RingingAlarms() const
{
    std::vector<CAlarm> alarms;
    for (const auto& entry : m_ringing) {
        alarms.push_back(entry.second);
    }
    return alarms;
}

void CAlerterWindow::UpdateRinging()
{
    const bool soundOpen = m_sound && m_sound->IsOpen();
    std::erase_if(m_ringing, [this, soundOpen](const auto& entry) {
        const bool hasSound = soundOpen && entry.first == m_soundAlarmId;
        const bool hasMessage = std::find(m_messageAlarms.begin(), m_messageAlarms.end(), entry.first)
                                != m_messageAlarms.end();
        return !hasSound && !hasMessage;
    });
    const bool ringing = !m_ringing.empty();
    if (m_deps.ringing == nullptr || m_deps.ringing->exchange(ringing) != ringing) {
        Q_EMIT RingingChanged(ringing);
    }
}

void CAlerterWindow::StartFadeOut(int durationMs)
{
    m_nFadeVolume = kFadeStartVolume;
    m_fadeTimer.start(std::max(durationMs, 0) / 10);
}

void CAlerterWindow::OnPlayedToEnd()
{
    // A repeated sound starts over while its alarm rings (not silenced, not snoozed, no fade
    // under way), up to the time limit.
    const bool repeat = m_deps.repeatSound && m_deps.repeatSound() && m_ringing.count(m_soundAlarmId) != 0
                        && !m_fadeTimer.isActive() && Clock::Now() - m_soundStartUtc < kRepeatSpan;
    if (repeat && m_sound->Play()) {
        return;
    }
    OnSoundEnded();
}

void CAlerterWindow::OnSoundEnded()
{
    if (m_sound) {
        m_sound->Close();
    }
    Q_EMIT StopTrayAnimation();
    ScheduleVolumeRestore();
    UpdateRinging();
}

void CAlerterWindow::StopSound()
{
    m_fadeTimer.stop();
    if (m_sound) {
        m_sound->Stop();
        m_sound->Close();
    }
    if (m_deps.soundPlaying != nullptr) {
        m_deps.soundPlaying->store(false);
    }
    Q_EMIT StopTrayAnimation();
    ScheduleVolumeRestore();
}

void CAlerterWindow::OnSoundFailed(const QString& reason)
{
    // The alarm's own sound failed: the built-in tone rings instead. Should that fail too,
    // there is no sound to be had on this machine now; the message says why.
    const bool toneInstead = !m_bToneInstead;
    TellSoundFailure(reason, toneInstead);
    if (toneInstead) {
        PlayBuiltInTone();
        return;
    }
    Q_EMIT StopTrayAnimation();
    ScheduleVolumeRestore();
    UpdateRinging();
}

void CAlerterWindow::TellSoundFailure(const QString& reason, bool toneInstead)
{
    QString text = tr("Nie można odtworzyć dźwięku: %1").arg(reason);
    if (toneInstead) {
        text += u'\n' + tr("Zamiast niego dzwoni wbudowany sygnał alarmu.");
    }
    // Beside the alarm's own message, which keeps its place and number in the rotation; an
    // alarm without a message gets these lines.
    const auto own = std::find(m_messageAlarms.begin(), m_messageAlarms.end(), m_soundAlarmId);
    if (m_soundAlarmId != 0 && own != m_messageAlarms.end()) {
        QString& message = m_messages[own - m_messageAlarms.begin()];
        message += (message.isEmpty() ? QString() : QStringLiteral("\n")) + text;
        m_messageTimer.start(kMessageTickMs);
    } else {
        AddMessage(text, m_soundAlarmId);
    }
}

void CAlerterWindow::AddMessage(const QString& text, std::uint64_t alarmId)
{
    m_messages << text;
    m_messageAlarms.push_back(alarmId);
    m_messageTimer.start(kMessageTickMs);
}

void CAlerterWindow::ScheduleVolumeRestore()
{
    if (m_volume && m_volume->IsRaised()) {
        m_restoreTimer.start(kRestoreDelayMs);
    }
}

void CAlerterWindow::CarryOut(const FiringPass& pass)
{
    for (const DueAlarm& due : pass.alarms) {
        if (due.snoozed && due.late) {
            // The machine slept through the snooze: ringing it now, maybe hours later, would
            // wake nobody in time; the late notice tells of it instead.
            qCInfo(lcCarry, "snooze dropped (late): %s", due.alarm.m_strComment.c_str());
            continue;
        }
        qCInfo(lcCarry, "carried out: %s%s%s", due.alarm.m_strComment.c_str(), due.snoozed ? " (snoozed)" : "",
               due.late ? " (late)" : "");
        DoActions(due);
    }
    // Late alarms make no request: putting the machine back to sleep or switching it off the
    // moment it wakes would close the user's work without a warning.
    RequestPower(pass.powerType);
}

void CAlerterWindow::DoActions(const DueAlarm& due)
{
    const CAlarm& alarm = due.alarm;
    // A late alarm makes no power request of any kind, the display's included; a snoozed one
    // rings with its message and sound only.
    if (alarm.m_strType == kTypeWakeup && m_deps.power != nullptr && !due.late && !due.snoozed) {
        if (const PowerResult result = m_deps.power->DisplayOn(); !result.ok) {
            // Desktops without a screen-saver service cannot be asked; the alarm goes on.
            qWarning("Cannot turn the display on: %s", result.error.c_str());
        }
    }
    if (alarm.m_bMessageActive || alarm.m_bSoundActive) {
        m_ringing[alarm.m_nId] = alarm;
    }
    // A program held back is said at the end of the alarm's message (or as its message).
    QStringList message;
    if (alarm.m_bMessageActive) {
        message << QString::fromStdString(alarm.m_strMessage);
    }
    if (due.programHeldBack) {
        message << tr("Nie uruchomiono programu: %1").arg(QString::fromStdString(alarm.m_strProgram));
    }
    if (!message.isEmpty()) {
        AddMessage(message.join(u'\n'), alarm.m_nId);
    }
    if (alarm.m_bSoundActive) {
        PlaySound(alarm);
    }
    if (alarm.m_bProgramActive && !alarm.m_strProgram.empty() && !due.programHeldBack && !due.snoozed) {
        std::string error;
        if (!m_deps.startProgram || !m_deps.startProgram(alarm.m_strProgram, error)) {
            const QString text = tr("Nie można uruchomić programu %1: %2")
                                     .arg(QString::fromStdString(alarm.m_strProgram),
                                          QString::fromStdString(error));
            AddMessage(text, 0);
            Q_EMIT ActionFailed(text);
        }
    }
    UpdateRinging();
}

void CAlerterWindow::PlaySound(const CAlarm& alarm)
{
    if (m_volume && !m_volume->IsRaised() && m_deps.maxRingVolume && m_deps.maxRingVolume()) {
        m_volume->RaiseVolume();
    }
    Init();
    m_fadeTimer.stop(); // a fade of the previous sound must not silence this one
    m_sound->Close();
    m_soundAlarmId = alarm.m_nId;
    m_bToneInstead = false;
    m_soundStartUtc = Clock::Now();
    QString error;
    if (!m_sound->Open(QString::fromStdString(alarm.m_strSound), &error)) {
        TellSoundFailure(error, true);
        PlayBuiltInTone();
        return;
    }
    // A new device starts at its own full volume, whatever an earlier fade left.
    m_sound->SetVolume(kFadeStartVolume);
    if (!m_sound->Play()) {
        TellSoundFailure(tr("odtwarzanie nie powiodło się"), true);
        PlayBuiltInTone();
        return;
    }
    OnSoundStarted();
}

void CAlerterWindow::PlayBuiltInTone()
{
    m_bToneInstead = true;
    m_sound->OpenBuiltInTone();
    m_sound->SetVolume(kFadeStartVolume);
    if (!m_sound->Play()) {
        ScheduleVolumeRestore();
        return;
    }
    OnSoundStarted();
}

void CAlerterWindow::OnSoundStarted()
{
    // Set before the tray hears of it, so that whatever the tray's news updates (the confirm
    // command, the program's Ringing property) finds the sound playing.
    if (m_deps.soundPlaying != nullptr) {
        m_deps.soundPlaying->store(true);
    }
    Q_EMIT StartTrayAnimation(500, -1);
}

void CAlerterWindow::RequestPower(const std::string& type)
{
    if (m_deps.power == nullptr || !IsPowerType(type)) {
        return;
    }
    PowerResult result;
    QString failure;
    if (type == kTypeStandby) {
        result = m_deps.power->Standby();
        failure = tr("Nie udało się wstrzymać komputera: %1");
    } else if (type == kTypeHibernate) {
        result = m_deps.power->Hibernate();
        failure = tr("Nie udało się zahibernować komputera: %1");
    } else {
        result = m_deps.power->Shutdown();
        failure = tr("Nie udało się wyłączyć komputera: %1");
    }
    if (!result.ok) {
        const QString text = failure.arg(QString::fromStdString(result.error));
        AddMessage(text, 0);
        Q_EMIT ActionFailed(text);
    }
}

} // namespace zembra
