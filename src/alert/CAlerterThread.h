#pragma once

// The alerter thread: a thread with its own event loop that owns the alert window and carries
// out the alarms handed to it as value copies, so that the main window stays responsive while
// sounds start, programs launch and power requests wait for the system. The object itself lives
// on the user-interface thread, where it owns the pop-up beside the clock and forwards every
// request to the alert window with a queued call.

#include "CAlerterWindow.h"
#include "INextAlarmSink.h"
#include "IVolumeControl.h"

#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

namespace zembra {

class CSettings;
class CTaskbarNotifier;
class IPowerRequests;
class ISoundDevice;

class CAlerterThread : public QThread, public INextAlarmSink {
    Q_OBJECT

public:
    using SoundFactory = std::function<std::unique_ptr<ISoundDevice>()>;

    // `power` must outlive the thread; `volume` null means the system's default sink, an empty
    // `makeSound` the system's sound stack.
    CAlerterThread(CSettings& settings, IPowerRequests* power,
                   std::unique_ptr<IVolumeControl> volume = nullptr, SoundFactory makeSound = {},
                   QObject* parent = nullptr);
    // Stops the thread, restoring a raised volume first.
    ~CAlerterThread() override;

    // Starts the thread and sets the alert window up on it.
    void Start();
    // Restores a raised volume and ends the thread; waits for it.
    void Stop();

    void SetNextAlarm(const std::optional<CAlarm>& next, FileTime firingUtc) override;
    void CarryOut(const FiringPass& pass);
    // The user silenced the alarm: the sound fades out over `durationMs`.
    void StartFadeOut(int durationMs);
    // The user silenced the alarms: the sound fades out over `fadeMs`, nothing rings any more.
    void Silence(int fadeMs);
    // The pop-up's messages go away as after a click on it: the keyboard's way to dismiss them.
    void ClearMessages();
    // The ringing alarms fall quiet; Snoozed() hands them back to ring again in `minutes`.
    void Snooze(int minutes);
    // The pop-up's opacity from the Transparency setting (percent).
    void SetTransparency(unsigned percent);

    // An alarm sound was started and the user has not silenced it; the confirm command is
    // enabled exactly while this is set.
    bool IsSoundPlaying() const { return m_bSoundPlaying.load(); }
    void ClearSoundPlaying() { m_bSoundPlaying.store(false); }
    // Some alarm rings (its sound plays or its message is shown): it can be snoozed.
    bool IsRinging() const { return m_bRinging.load(); }

    CAlerterWindow* Window() const { return m_pAlerterWnd.get(); }
    CTaskbarNotifier* Notifier() const { return m_notifier.get(); }

Q_SIGNALS:
    void StartTrayAnimation(int delayMs, int seconds);
    void StopTrayAnimation();
    void ActionFailed(const QString& text);
    void RingingChanged(bool ringing);
    void Snoozed(const std::vector<zembra::CAlarm>& alarms, int minutes);

private:
    CSettings& m_settings;
    std::atomic<bool> m_bSoundPlaying{false};
    std::atomic<bool> m_bRinging{false};
    std::unique_ptr<CTaskbarNotifier> m_notifier;
    std::unique_ptr<CAlerterWindow> m_pAlerterWnd;
};

} // namespace zembra
