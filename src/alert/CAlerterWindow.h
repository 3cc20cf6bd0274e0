#pragma once

// The alerter thread's own object: it carries fired alarms out (display, message, sound,
// program, power request), rotates the messages in the pop-up beside the clock, counts down the
// last five minutes before a power alarm, fades a silenced sound out and puts a raised system
// volume back. It lives on the alerter thread; the pop-up and the tray icon are widgets of the
// user-interface thread, so it only talks to them through signals (queued across the threads).

#include "model/CAlarm.h"
#include "CPower.h"
#include "model/CFiringRoad.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace zembra {

class CSoundDevice;
class CVolumeMixer;
class IPowerRequests;

class CAlerterWindow : public QObject {
    Q_OBJECT

public:
    // The timers, by the numbers the program has always used for them.
    enum TimerId { kRestoreTimer = 1, kCountdownTimer = 2, kFadeTimer = 4, kMessageTimer = 5 };

    struct Dependencies {
        IPowerRequests* power = nullptr;             // not owned
        std::unique_ptr<CVolumeMixer> volume;       // raises and restores the system volume
        std::function<bool()> maxRingVolume;        // the MaxRingVolume setting
        // Starts a program (split into words, no shell); false with the reason.
        std::function<bool(const std::string& commandLine, std::string& error)> startProgram;
        std::atomic<bool>* soundPlaying = nullptr;  // the flag the confirm command follows
    };

    explicit CAlerterWindow(Dependencies dependencies, QObject* parent = nullptr);
    ~CAlerterWindow() override;

    // Creates what must be created on the alerter thread itself (the sound device).
    Q_INVOKABLE void Init();
    // Restores a raised volume; called on the alerter thread before it ends.
    Q_INVOKABLE void Shutdown();

    // The next alarm as the document last armed the timer; restarts the countdown.
    Q_INVOKABLE void SetNextAlarm(const std::optional<zembra::CAlarm>& next, zembra::FileTime firingUtc);
    // Carries out the alarms of one pass in order, then makes the pass's one power request.
    Q_INVOKABLE void CarryOut(const zembra::FiringPass& pass);
    // The user silenced the alarm: the sound fades out over `durationMs`.
    Q_INVOKABLE void StartFadeOut(int durationMs);
    // The user clicked the pop-up: it slides away, the messages are forgotten.
    Q_INVOKABLE void OnNotifierClicked();

    // One tick of a timer (the timers' handlers; tests call them instead of waiting).
    void OnTimer(int id);
    void UpdateCountdown();
    // The five minutes before a power alarm have begun: the countdown starts ticking.
    void OnCountdownStart();
    void ShowNextMessage();
    void OnSoundEnded();

    // The countdown text for a remaining time, or empty for a type that gets none.
    static QString CountdownText(const QString& type, FileTime remaining);

    const QStringList& Messages() const { return m_messages; }
    bool IsTimerActive(int id) const;
    // Waiting, without ticking, for the countdown of a power alarm further away to begin.
    bool IsCountdownWaiting() const { return m_countdownStartTimer.isActive(); }
    int CountdownWaitMs() const { return m_countdownStartTimer.interval(); }
    int TimerInterval(int id) const;
    int FadeVolume() const { return m_nFadeVolume; }
    CSoundDevice* Sound() const { return m_sound.get(); }
    CVolumeMixer* Volume() const { return m_volume.get(); }
    // Timer ticks since construction: the idle cost of the thread.
    long long WakeUps() const { return m_nWakeUps; }

Q_SIGNALS:
    // To the pop-up on the user-interface thread.
    void ShowNotifierText(const QString& text, int showMs, int stayMs, int hideMs, int step);
    void SlideOutNotifier();
    // To the tray icon.
    void StartTrayAnimation(int delayMs, int seconds);
    void StopTrayAnimation();
    // A program or a power request failed: the user-interface thread shows it.
    void ActionFailed(const QString& text);

private:
    void DoActions(const DueAlarm& due);
    void PlaySound(const CAlarm& alarm);
    void RequestPower(const std::string& type);
    // A sound could not be played: said beside the message of the alarm it belongs to.
    void TellSoundFailure(const QString& reason);
    // The sound is over (played out, faded, failed): a raised volume goes back after a while.
    void ScheduleVolumeRestore();
    void ArmCountdown();
    QTimer& Timer(int id);

    Dependencies m_deps;
    std::unique_ptr<CVolumeMixer> m_volume;
    std::unique_ptr<CSoundDevice> m_sound;
    QString m_strShown;
    int m_nMessageIndex = 0;
    // The entry of m_messages that belongs to the alarm whose sound plays, or -1.
    int m_nSoundMessage = -1;
    QStringList m_messages;
    std::optional<CAlarm> m_nextAlarm;
    FileTime m_nextFiringUtc = 0;
    int m_nFadeVolume = 0;
    long long m_nWakeUps = 0;

    QTimer m_restoreTimer;
    QTimer m_countdownTimer;
    QTimer m_fadeTimer;
    QTimer m_messageTimer;
    // Wakes the countdown when the next power alarm comes within five minutes, so that the
    // thread does not tick every second while nothing is to be shown.
    QTimer m_countdownStartTimer;
};

} // namespace zembra

Q_DECLARE_METATYPE(std::optional<zembra::CAlarm>)
