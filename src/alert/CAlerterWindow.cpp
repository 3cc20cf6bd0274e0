#include "CAlerterWindow.h"

#include "CSoundDevice.h"
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

constexpr FileTime kCountdownSpan = 5 * kTicksPerMinute;
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
{
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
    m_sound = std::make_unique<CSoundDevice>();
    connect(m_sound.get(), &CSoundDevice::PlayedToEnd, this, &CAlerterWindow::OnSoundEnded);
    connect(m_sound.get(), &CSoundDevice::Failed, this, [this](const QString& reason) {
        Q_EMIT StopTrayAnimation();
        TellSoundFailure(reason);
        ScheduleVolumeRestore();
    });
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
}

// The countdown ticks once a second only in the last five minutes before a power alarm; before
// that one single-shot timer waits for the five minutes to begin.
void CAlerterWindow::ArmCountdown()
{
    m_countdownStartTimer.stop();
    if (!m_nextAlarm || !IsPowerType(m_nextAlarm->m_strType)) {
        m_countdownTimer.stop();
        return;
    }
    const FileTime untilCountdown = m_nextFiringUtc - Clock::Now() - kCountdownSpan;
    if (untilCountdown > 0) {
        m_countdownTimer.stop();
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
    Q_EMIT ShowNotifierText(CountdownText(QString::fromStdString(m_nextAlarm->m_strType), remaining),
                            kSlideMs, kCountdownStayMs, kSlideMs, kSlideStep);
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
    Q_EMIT ShowNotifierText(m_strShown, kSlideMs, kMessageStayMs, kSlideMs, kSlideStep);
    m_nMessageIndex = (m_nMessageIndex + 1) % count;
}

void CAlerterWindow::OnNotifierClicked()
{
    Q_EMIT SlideOutNotifier();
    m_countdownTimer.stop();
    m_countdownStartTimer.stop();
    m_messageTimer.stop();
    m_messages.clear();
    m_nMessageIndex = 0;
    m_nSoundMessage = -1;
}

void CAlerterWindow::StartFadeOut(int durationMs)
{
    m_nFadeVolume = kFadeStartVolume;
    m_fadeTimer.start(std::max(durationMs, 0) / 10);
}

void CAlerterWindow::OnSoundEnded()
{
    if (m_sound) {
        m_sound->Close();
    }
    Q_EMIT StopTrayAnimation();
    ScheduleVolumeRestore();
}

void CAlerterWindow::TellSoundFailure(const QString& reason)
{
    const QString text = tr("Nie można odtworzyć dźwięku: %1").arg(reason);
    // Beside the alarm's own message, which keeps its place and number in the rotation; an
    // alarm without a message gets this one line.
    if (m_nSoundMessage >= 0 && m_nSoundMessage < m_messages.size()) {
        QString& message = m_messages[m_nSoundMessage];
        message += (message.isEmpty() ? QString() : QStringLiteral("\n")) + text;
    } else {
        m_messages << text;
        m_nSoundMessage = static_cast<int>(m_messages.size()) - 1;
    }
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
        qCInfo(lcCarry, "carried out: %s%s", due.alarm.m_strComment.c_str(), due.late ? " (late)" : "");
        DoActions(due);
    }
    // Late alarms make no request: putting the machine back to sleep or switching it off the
    // moment it wakes would close the user's work without a warning.
    RequestPower(pass.powerType);
}

void CAlerterWindow::DoActions(const DueAlarm& due)
{
    const CAlarm& alarm = due.alarm;
    // A late alarm makes no power request of any kind, the display's included.
    if (alarm.m_strType == kTypeWakeup && m_deps.power != nullptr && !due.late) {
        if (const PowerResult result = m_deps.power->DisplayOn(); !result.ok) {
            // Desktops without a screen-saver service cannot be asked; the alarm goes on.
            qWarning("Cannot turn the display on: %s", result.error.c_str());
        }
    }
    m_nSoundMessage = -1;
    // A program held back is said at the end of the alarm's message (or as its message).
    QStringList message;
    if (alarm.m_bMessageActive) {
        message << QString::fromStdString(alarm.m_strMessage);
    }
    if (due.programHeldBack) {
        message << tr("Nie uruchomiono programu: %1").arg(QString::fromStdString(alarm.m_strProgram));
    }
    if (!message.isEmpty()) {
        m_messages << message.join(u'\n');
        m_nSoundMessage = static_cast<int>(m_messages.size()) - 1;
        m_messageTimer.start(kMessageTickMs);
    }
    if (alarm.m_bSoundActive) {
        PlaySound(alarm);
    }
    if (alarm.m_bProgramActive && !alarm.m_strProgram.empty() && !due.programHeldBack) {
        std::string error;
        if (!m_deps.startProgram || !m_deps.startProgram(alarm.m_strProgram, error)) {
            const QString text = tr("Nie można uruchomić programu %1: %2")
                                     .arg(QString::fromStdString(alarm.m_strProgram),
                                          QString::fromStdString(error));
            m_messages << text;
            m_messageTimer.start(kMessageTickMs);
            Q_EMIT ActionFailed(text);
        }
    }
}

void CAlerterWindow::PlaySound(const CAlarm& alarm)
{
    if (m_volume && !m_volume->IsRaised() && m_deps.maxRingVolume && m_deps.maxRingVolume()) {
        m_volume->RaiseVolume();
    }
    Init();
    m_sound->Close();
    QString error;
    const QString path = QString::fromStdString(alarm.m_strSound);
    if (!m_sound->Open(path, &error)) {
        TellSoundFailure(error);
        ScheduleVolumeRestore();
        return;
    }
    // A new device starts at its own full volume, whatever an earlier fade left.
    m_sound->SetVolume(kFadeStartVolume);
    if (!m_sound->Play()) {
        ScheduleVolumeRestore();
        return;
    }
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
        m_messages << text;
        m_messageTimer.start(kMessageTickMs);
        Q_EMIT ActionFailed(text);
    }
}

} // namespace zembra
