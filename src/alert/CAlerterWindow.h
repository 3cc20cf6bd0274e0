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
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace zembra {

class ISoundDevice;
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
        std::atomic<bool>* ringing = nullptr;       // some alarm rings: it can be snoozed
        // Makes the sound device (on the alerter thread); empty: the system's sound stack.
        std::function<std::unique_ptr<ISoundDevice>()> makeSound;
        // The RepeatSound setting: the sound starts over until silenced (at most kRepeatSpan).
        std::function<bool()> repeatSound;
    };

    // A repeated sound stops by itself after this long, so that a forgotten alarm does not ring
    // on all day.
    static constexpr FileTime kRepeatSpan = 15 * kTicksPerMinute;

    explicit CAlerterWindow(Dependencies dependencies, QObject* parent = nullptr);
    ~CAlerterWindow() override;

    // Creates what must be created on the alerter thread itself (the sound device: the media
    // framework and the sound server's connection). Not at start: ahead of the first alarm
    // (kSoundPrepareSpan before it), or at the first sound when nothing was ahead.
    Q_INVOKABLE void Init();
    // How long before an alarm the sound device is made ready, so that its first sound does
    // not wait for the media framework to load.
    static constexpr FileTime kSoundPrepareSpan = kTicksPerMinute;
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
    // The user silenced the alarms (tray click, confirm command): the sound fades out over
    // `fadeMs` and nothing rings any more.
    Q_INVOKABLE void Silence(int fadeMs);
    // The user snoozed: the ringing alarms fall quiet (their sound stops, their messages leave
    // the pop-up) and are handed back by Snoozed() to ring again in `minutes`.
    Q_INVOKABLE void Snooze(int minutes);

    // One tick of a timer (the timers' handlers; tests call them instead of waiting).
    void OnTimer(int id);
    void UpdateCountdown();
    // The five minutes before a power alarm have begun: the countdown starts ticking.
    void OnCountdownStart();
    void ShowNextMessage();
    void OnSoundEnded();

    // The alarms that ring: their sound plays or their message is in the pop-up.
    std::vector<CAlarm> RingingAlarms() const;

    // The countdown text for a remaining time, or empty for a type that gets none.
    static QString CountdownText(const QString& type, FileTime remaining);

    const QStringList& Messages() const { return m_messages; }
    bool IsTimerActive(int id) const;
    // Waiting, without ticking, for the countdown of a power alarm further away to begin.
    bool IsCountdownWaiting() const { return m_countdownStartTimer.isActive(); }
    int CountdownWaitMs() const { return m_countdownStartTimer.interval(); }
    int TimerInterval(int id) const;
    int FadeVolume() const { return m_nFadeVolume; }
    ISoundDevice* Sound() const { return m_sound.get(); }
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
    // Whether any alarm rings, each time that changes.
    void RingingChanged(bool ringing);
    // These alarms were snoozed by the user and must ring again in `minutes`.
    void Snoozed(const std::vector<zembra::CAlarm>& alarms, int minutes);

private:
    void DoActions(const DueAlarm& due);
    void PlaySound(const CAlarm& alarm);
    // The alarm's own sound could not be played: the built-in tone rings instead.
    void PlayBuiltInTone();
    void OnSoundStarted();
    void OnSoundFailed(const QString& reason);
    void OnPlayedToEnd();
    // Stops the sound at once, without a fade (snooze).
    void StopSound();
    void RequestPower(const std::string& type);
    // A sound could not be played: said beside the message of the alarm it belongs to, with
    // whether the built-in tone rings instead.
    void TellSoundFailure(const QString& reason, bool toneInstead);
    void AddMessage(const QString& text, std::uint64_t alarmId);
    // Takes the alarm out of the ringing ones when neither its sound nor its message is left.
    void UpdateRinging();
    // The sound is over (played out, faded, failed): a raised volume goes back after a while.
    void ScheduleVolumeRestore();
    void ArmCountdown();
    // Arms the timer that readies the sound device ahead of the next alarm, or readies it now.
    void ArmSoundPreparation();
    // The countdown stopped: its text leaves the pop-up.
    void HideCountdown();
    QTimer& Timer(int id);

    Dependencies m_deps;
    std::unique_ptr<CVolumeMixer> m_volume;
    std::unique_ptr<ISoundDevice> m_sound;
    QString m_strShown;
    int m_nMessageIndex = 0;
    QStringList m_messages;
    // For each entry of m_messages the id of the alarm it belongs to (0: none).
    std::vector<std::uint64_t> m_messageAlarms;
    // The alarms that ring, by id: what a snooze takes.
    std::map<std::uint64_t, CAlarm> m_ringing;
    // The alarm whose sound is open (0: none), whether the built-in tone stands in for it, and
    // when it started (a repeated sound ends after kRepeatSpan).
    std::uint64_t m_soundAlarmId = 0;
    bool m_bToneInstead = false;
    FileTime m_soundStartUtc = 0;
    std::optional<CAlarm> m_nextAlarm;
    FileTime m_nextFiringUtc = 0;
    int m_nFadeVolume = 0;
    long long m_nWakeUps = 0;
    bool m_bCountdownShown = false; // the pop-up shows the countdown's text

    QTimer m_restoreTimer;
    QTimer m_countdownTimer;
    QTimer m_fadeTimer;
    QTimer m_messageTimer;
    // Wakes the countdown when the next power alarm comes within five minutes, so that the
    // thread does not tick every second while nothing is to be shown.
    QTimer m_countdownStartTimer;
    // Readies the sound device a minute before the next alarm (one single shot).
    QTimer m_soundPrepareTimer;
};

} // namespace zembra

Q_DECLARE_METATYPE(std::optional<zembra::CAlarm>)
Q_DECLARE_METATYPE(std::vector<zembra::CAlarm>)
