#include "CAlerterThread.h"

#include "CSettings.h"
#include "CTaskbarNotifier.h"
#include "CVolumeMixer.h"
#include "ProgramStarter.h"

#include <QLoggingCategory>

namespace zembra {

Q_LOGGING_CATEGORY(lcAlert, "zembra.alert", QtWarningMsg)

CAlerterThread::CAlerterThread(CSettings& settings, IPowerRequests* power,
                               std::unique_ptr<IVolumeControl> volume, SoundFactory makeSound,
                               QObject* parent)
    : QThread(parent)
    , m_settings(settings)
{
    qRegisterMetaType<zembra::FiringPass>();
    qRegisterMetaType<std::optional<zembra::CAlarm>>();
    qRegisterMetaType<std::vector<zembra::CAlarm>>();
    setObjectName(QStringLiteral("alerter"));

    CAlerterWindow::Dependencies deps;
    deps.power = power;
    deps.volume = std::make_unique<CVolumeMixer>(std::move(volume));
    deps.maxRingVolume = [&settings] { return settings.m_regMaxRingVolume.Get() != 0; };
    deps.startProgram = StartProgram;
    deps.soundPlaying = &m_bSoundPlaying;
    deps.ringing = &m_bRinging;
    deps.makeSound = std::move(makeSound);
    deps.repeatSound = [&settings] { return settings.m_regRepeatSound.Get() != 0; };
    m_pAlerterWnd = std::make_unique<CAlerterWindow>(std::move(deps));

    // The pop-up is a widget and stays on this (the user-interface) thread.
    m_notifier = std::make_unique<CTaskbarNotifier>();
    m_notifier->LoadSkin(CTaskbarNotifier::ProgramSkin(), CTaskbarNotifier::ProgramSkinKey());
    m_notifier->SetTextFonts(QStringLiteral("Arial"), 90, 1, 5);
    m_notifier->SetTextColors(QColor(64, 64, 64), QColor(64, 64, 64));
    const QSize skin = m_notifier->SkinSize();
    m_notifier->SetTextArea(64, 16, skin.width() - 32, skin.height() - 16);
    SetTransparency(settings.m_regTransparency.Get());

    CAlerterWindow* window = m_pAlerterWnd.get();
    CTaskbarNotifier* notifier = m_notifier.get();
    connect(window, &CAlerterWindow::ShowNotifierText, notifier,
            [notifier](const QString& text, int showMs, int stayMs, int hideMs, int step) {
                qCInfo(lcAlert) << "pop-up:" << text;
                notifier->ShowText(text, static_cast<quint32>(showMs), static_cast<quint32>(stayMs),
                                   static_cast<quint32>(hideMs), step);
            });
    connect(window, &CAlerterWindow::SlideOutNotifier, notifier, [notifier] { notifier->SlideOut(); });
    connect(notifier, &CTaskbarNotifier::Clicked, window, &CAlerterWindow::OnNotifierClicked);
    connect(window, &CAlerterWindow::StartTrayAnimation, this, &CAlerterThread::StartTrayAnimation);
    connect(window, &CAlerterWindow::StopTrayAnimation, this, &CAlerterThread::StopTrayAnimation);
    connect(window, &CAlerterWindow::ActionFailed, this, &CAlerterThread::ActionFailed);
    connect(window, &CAlerterWindow::RingingChanged, this, &CAlerterThread::RingingChanged);
    connect(window, &CAlerterWindow::Snoozed, this, &CAlerterThread::Snoozed);
}

CAlerterThread::~CAlerterThread()
{
    Stop();
}

void CAlerterThread::Start()
{
    if (isRunning()) {
        return;
    }
    m_pAlerterWnd->moveToThread(this);
    // The sound device is created ahead of the first alarm, not now: most of the time the
    // program waits in the tray, and the media framework would cost memory and threads there.
    start();
}

void CAlerterThread::Stop()
{
    if (!isRunning()) {
        return;
    }
    // Put the volume back on the thread that raised it, then end the loop; the window (and its
    // sound device) is destroyed there too, never from here while the thread runs.
    CAlerterWindow* window = m_pAlerterWnd.release();
    QMetaObject::invokeMethod(window, [window] {
        window->Shutdown();
        delete window;
    }, Qt::BlockingQueuedConnection);
    quit();
    wait();
}

void CAlerterThread::SetNextAlarm(const std::optional<CAlarm>& next, FileTime firingUtc)
{
    if (CAlerterWindow* window = m_pAlerterWnd.get()) {
        QMetaObject::invokeMethod(window, [window, next, firingUtc] { window->SetNextAlarm(next, firingUtc); },
                                  Qt::QueuedConnection);
    }
}

void CAlerterThread::CarryOut(const FiringPass& pass)
{
    if (CAlerterWindow* window = m_pAlerterWnd.get()) {
        QMetaObject::invokeMethod(window, [window, pass] { window->CarryOut(pass); }, Qt::QueuedConnection);
    }
}

void CAlerterThread::StartFadeOut(int durationMs)
{
    if (CAlerterWindow* window = m_pAlerterWnd.get()) {
        QMetaObject::invokeMethod(window, [window, durationMs] { window->StartFadeOut(durationMs); },
                                  Qt::QueuedConnection);
    }
}

void CAlerterThread::ClearMessages()
{
    QMetaObject::invokeMethod(m_pAlerterWnd.get(), &CAlerterWindow::OnNotifierClicked,
                              Qt::QueuedConnection);
}

void CAlerterThread::Silence(int fadeMs)
{
    // Cleared here at once, so that the confirm command is disabled and whoever asks next hears
    // "not ringing" before the queued call runs; the window then finds nothing left to announce.
    m_bSoundPlaying.store(false);
    if (m_bRinging.exchange(false)) {
        Q_EMIT RingingChanged(false);
    }
    if (CAlerterWindow* window = m_pAlerterWnd.get()) {
        QMetaObject::invokeMethod(window, [window, fadeMs] { window->Silence(fadeMs); }, Qt::QueuedConnection);
    }
}

void CAlerterThread::Snooze(int minutes)
{
    if (CAlerterWindow* window = m_pAlerterWnd.get()) {
        QMetaObject::invokeMethod(window, [window, minutes] { window->Snooze(minutes); }, Qt::QueuedConnection);
    }
}

void CAlerterThread::SetTransparency(unsigned percent)
{
    m_notifier->SetTransparency(percent);
}

} // namespace zembra
