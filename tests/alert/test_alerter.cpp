// The alert window and the alerter thread: countdown, message rotation, fade-out and volume
// restore, and the road from a fired alarm to the pop-up, the program and the power request.
// Time is injected and the timers are driven by calling their handlers.

#include "CAlerterThread.h"
#include "CAlerterWindow.h"
#include "CSettings.h"
#include "CSoundDevice.h"
#include "CTaskbarNotifier.h"
#include "CVolumeMixer.h"
#include "RecordingPower.h"
#include "RecordingSound.h"
#include "PowerBackends.h"
#include "time/Clock.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zembra;
using namespace Qt::StringLiterals;
using zembra::test::RecordingPower;
using zembra::test::RecordingSound;
using zembra::test::SoundLog;

namespace {

class FakeVolume : public IVolumeControl {
public:
    explicit FakeVolume(VolumeState* system, int* reads) : m_system(system), m_reads(reads) {}
    bool Available() override { return true; }
    bool Read(VolumeState& state) override
    {
        ++*m_reads;
        state = *m_system;
        return true;
    }
    bool Write(const VolumeState& state) override
    {
        *m_system = state;
        return true;
    }
    bool SetMaximum(const std::string&) override
    {
        m_system->levels.assign(m_system->levels.size(), 65536);
        m_system->muted = false;
        return true;
    }

private:
    VolumeState* m_system;
    int* m_reads;
};

CAlarm Alarm(const char* type, const char* message = nullptr)
{
    static std::uint64_t lastId = 0;
    CAlarm alarm;
    alarm.m_nId = ++lastId; // as the list gives them: each alarm its own
    alarm.m_strType = type;
    alarm.m_strFrequency = kFrequencyOnce;
    alarm.m_bActive = true;
    if (message != nullptr) {
        alarm.m_strMessage = message;
        alarm.m_bMessageActive = true;
    }
    return alarm;
}

const FileTime kNow = 134'000'000'000'000'000; // an arbitrary moment in 2025

// A pass of the firing road carrying these alarms out on time (or late), with its request.
FiringPass Pass(const std::vector<CAlarm>& alarms, const char* request = "", bool late = false)
{
    FiringPass pass;
    for (const CAlarm& alarm : alarms) {
        pass.alarms.push_back(DueAlarm{alarm, kNow, kNow, false, late});
    }
    pass.powerType = request;
    return pass;
}

} // namespace

class TestAlerter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void countdownTexts();
    void countdownWaitsQuietlyThenTicksInTheLastFiveMinutes();
    void wakeupAlarmGetsNoCountdown();
    void messagesRotateWithNumbersOnlyWhenSeveral();
    void clickSlidesOutAndForgets();
    void fadeOutLowersTheSoundInTenSteps();
    void secondSoundDuringPendingRestoreDoesNotSaveAgain();
    void aNewAlarmSoundIsNotFadedWithTheSilencedOne();
    void aSoundThatCannotPlayRingsTheBuiltInTone_data();
    void aSoundThatCannotPlayRingsTheBuiltInTone();
    void volumeGoesBackAfterEveryEndOfTheSound_data();
    void volumeGoesBackAfterEveryEndOfTheSound();
    void repeatedSoundStartsOverUntilSilencedOrLimit_data();
    void repeatedSoundStartsOverUntilSilencedOrLimit();
    void snoozeQuietsTheRingingAlarmsAndHandsThemBack();
    void aSnoozeRingsWithMessageAndSoundOnly();
    void onePowerRequestAfterEveryAction();
    void aProgramHeldBackIsToldAndNotStarted();
    void failuresAreShownNotDropped();
    void firedAlarmReachesThePopUpProgramAndPowerLog();

private:
    std::unique_ptr<CAlerterWindow> MakeWindow();

    FileTime m_now = kNow;
    VolumeState m_system{"sink", {20000, 20000}, true};
    int m_reads = 0;
    RecordingPower m_power;
    QStringList m_started;
    SoundLog m_soundLog;
    bool m_repeat = false;
    std::atomic<bool> m_ringing{false};
    std::atomic<bool> m_soundPlaying{false};
};

void TestAlerter::init()
{
    m_now = kNow;
    m_system = VolumeState{"sink", {20000, 20000}, true};
    m_reads = 0;
    m_power.Clear();
    m_started.clear();
    m_soundLog.Clear();
    m_repeat = false;
    m_ringing = false;
    m_soundPlaying = false;
    Clock::SetForTesting([this] { return m_now; });
}

void TestAlerter::cleanup()
{
    Clock::SetForTesting({});
}

std::unique_ptr<CAlerterWindow> TestAlerter::MakeWindow()
{
    CAlerterWindow::Dependencies deps;
    deps.power = &m_power;
    deps.volume = std::make_unique<CVolumeMixer>(std::make_unique<FakeVolume>(&m_system, &m_reads));
    deps.maxRingVolume = [] { return true; };
    deps.startProgram = [this](const std::string& commandLine, std::string&) {
        m_started << QString::fromStdString(commandLine);
        return true;
    };
    deps.makeSound = [this] { return std::make_unique<RecordingSound>(&m_soundLog); };
    deps.repeatSound = [this] { return m_repeat; };
    deps.ringing = &m_ringing;
    deps.soundPlaying = &m_soundPlaying;
    return std::make_unique<CAlerterWindow>(std::move(deps));
}

void TestAlerter::countdownTexts()
{
    const QString standby = QString::fromLatin1(kTypeStandby);
    QCOMPARE(CAlerterWindow::CountdownText(standby, 5 * kTicksPerMinute), QStringLiteral("Do uśpienia zostało: 05:00"));
    QCOMPARE(CAlerterWindow::CountdownText(QStringLiteral("hibernate"), 299 * kTicksPerSecond),
             QStringLiteral("Do hibernacji zostało: 04:59"));
    QCOMPARE(CAlerterWindow::CountdownText(QStringLiteral("shutdown"), 999 * kTicksPerMillisecond),
             QStringLiteral("Do wyłączenia zostało: 00:00"));
    QCOMPARE(CAlerterWindow::CountdownText(standby, -3 * kTicksPerSecond), QStringLiteral("Do uśpienia zostało: 00:00"));
    QVERIFY(CAlerterWindow::CountdownText(QStringLiteral("wakeup"), kTicksPerMinute).isEmpty());
}

void TestAlerter::countdownWaitsQuietlyThenTicksInTheLastFiveMinutes()
{
    auto window = MakeWindow();
    QSignalSpy shown(window.get(), &CAlerterWindow::ShowNotifierText);
    const FileTime firing = kNow + 10 * kTicksPerMinute;
    window->SetNextAlarm(Alarm(kTypeStandby), firing);
    // Ten minutes ahead: no ticking, one wait that ends as the last five minutes begin.
    QVERIFY(!window->IsTimerActive(CAlerterWindow::kCountdownTimer));
    QVERIFY(window->IsCountdownWaiting());
    QVERIFY(std::abs(window->CountdownWaitMs() - 300'000) <= 1);
    QCOMPARE(shown.count(), 0);

    m_now = firing - 5 * kTicksPerMinute;
    window->OnCountdownStart();
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shown.last().at(0).toString(), QStringLiteral("Do uśpienia zostało: 05:00"));
    QCOMPARE(shown.last().at(2).toInt(), 300'000);
    QVERIFY(window->IsTimerActive(CAlerterWindow::kCountdownTimer));
    QCOMPARE(window->TimerInterval(CAlerterWindow::kCountdownTimer), 1000);

    m_now += kTicksPerSecond;
    window->OnTimer(CAlerterWindow::kCountdownTimer);
    QCOMPARE(shown.last().at(0).toString(), QStringLiteral("Do uśpienia zostało: 04:59"));
    m_now = firing + 2 * kTicksPerSecond; // fired, not yet re-armed
    window->OnTimer(CAlerterWindow::kCountdownTimer);
    QCOMPARE(shown.last().at(0).toString(), QStringLiteral("Do uśpienia zostało: 00:00"));

    // A message goes first: the countdown does not overwrite it every second.
    window->CarryOut(Pass({Alarm(kTypeWakeup, "Wstawaj!")}));
    const qsizetype before = shown.count();
    window->OnTimer(CAlerterWindow::kCountdownTimer);
    QCOMPARE(shown.count(), before);
    window->OnNotifierClicked();

    // Re-armed for an alarm far away (the power alarm was postponed, say): the ticking stops
    // and the countdown's text leaves the pop-up.
    window->OnTimer(CAlerterWindow::kCountdownTimer);
    QSignalSpy slideOut(window.get(), &CAlerterWindow::SlideOutNotifier);
    window->SetNextAlarm(Alarm(kTypeShutdown), m_now + 3 * kTicksPerHour);
    QCOMPARE(slideOut.count(), 1);
    QVERIFY(!window->IsTimerActive(CAlerterWindow::kCountdownTimer));
    QVERIFY(window->IsCountdownWaiting());
    QCOMPARE(window->CountdownWaitMs(), 3'600'001); // looked at again within the hour
}

void TestAlerter::wakeupAlarmGetsNoCountdown()
{
    auto window = MakeWindow();
    QSignalSpy shown(window.get(), &CAlerterWindow::ShowNotifierText);
    window->SetNextAlarm(Alarm(kTypeWakeup), kNow + kTicksPerMinute);
    QVERIFY(!window->IsTimerActive(CAlerterWindow::kCountdownTimer));
    QVERIFY(!window->IsCountdownWaiting());
    window->SetNextAlarm(std::nullopt, 0);
    QVERIFY(!window->IsTimerActive(CAlerterWindow::kCountdownTimer));
    QVERIFY(!window->IsCountdownWaiting());
    QCOMPARE(shown.count(), 0);
    QCOMPARE(window->WakeUps(), 0);
}

void TestAlerter::messagesRotateWithNumbersOnlyWhenSeveral()
{
    auto window = MakeWindow();
    QSignalSpy shown(window.get(), &CAlerterWindow::ShowNotifierText);
    window->CarryOut(Pass({Alarm(kTypeWakeup, "Wstawaj!")}));
    QVERIFY(window->IsTimerActive(CAlerterWindow::kMessageTimer));
    QCOMPARE(window->TimerInterval(CAlerterWindow::kMessageTimer), 2000);
    window->OnTimer(CAlerterWindow::kMessageTimer);
    window->OnTimer(CAlerterWindow::kMessageTimer);
    QCOMPARE(shown.at(0).at(0).toString(), QStringLiteral("Wstawaj!"));
    QCOMPARE(shown.at(1).at(0).toString(), QStringLiteral("Wstawaj!"));
    QCOMPARE(shown.at(0).at(2).toInt(), 600'000);

    shown.clear();
    window->CarryOut(Pass({Alarm(kTypeWakeup, "b"), Alarm(kTypeWakeup, "c")}));
    QStringList texts;
    for (int i = 0; i < 4; ++i) {
        window->OnTimer(CAlerterWindow::kMessageTimer);
        texts << shown.last().at(0).toString();
    }
    // The rotation goes on from where it was: the index had wrapped to the first message.
    QCOMPARE(texts, (QStringList{QStringLiteral("1: Wstawaj!"), QStringLiteral("2: b"), QStringLiteral("3: c"),
                                 QStringLiteral("1: Wstawaj!")}));
}

void TestAlerter::clickSlidesOutAndForgets()
{
    auto window = MakeWindow();
    QSignalSpy slideOut(window.get(), &CAlerterWindow::SlideOutNotifier);
    window->SetNextAlarm(Alarm(kTypeStandby), kNow + kTicksPerMinute);
    window->CarryOut(Pass({Alarm(kTypeWakeup, "x")}));
    QVERIFY(window->IsTimerActive(CAlerterWindow::kCountdownTimer));
    window->OnNotifierClicked();
    QCOMPARE(slideOut.count(), 1);
    QVERIFY(!window->IsTimerActive(CAlerterWindow::kCountdownTimer));
    QVERIFY(!window->IsTimerActive(CAlerterWindow::kMessageTimer));
    QVERIFY(window->Messages().isEmpty());
    // The next arming brings the countdown back.
    window->SetNextAlarm(Alarm(kTypeStandby), kNow + kTicksPerMinute);
    QVERIFY(window->IsTimerActive(CAlerterWindow::kCountdownTimer));
}

// (The volume's restore after the fade is checked with every other end of the sound below.)
void TestAlerter::fadeOutLowersTheSoundInTenSteps()
{
    auto window = MakeWindow();
    CAlarm alarm = Alarm(kTypeWakeup);
    alarm.m_bSoundActive = true;
    alarm.m_strSound = "/sounds/a.wav";
    window->CarryOut(Pass({alarm}));
    QVERIFY(window->Volume()->IsRaised()); // for the alarm; put back after every end below
    window->StartFadeOut(2000);
    QCOMPARE(window->TimerInterval(CAlerterWindow::kFadeTimer), 200);
    QList<int> volumes;
    for (int i = 0; i < 9; ++i) {
        window->OnTimer(CAlerterWindow::kFadeTimer);
        volumes << window->FadeVolume();
    }
    QCOMPARE(volumes, (QList<int>{900, 800, 700, 600, 500, 400, 300, 200, 100}));
    window->OnTimer(CAlerterWindow::kFadeTimer); // the tenth step stops the sound
    QVERIFY(!window->IsTimerActive(CAlerterWindow::kFadeTimer));
    QVERIFY(!window->Sound()->IsPlaying());
}

void TestAlerter::secondSoundDuringPendingRestoreDoesNotSaveAgain()
{
    auto window = MakeWindow();
    CAlarm ringing = Alarm(kTypeWakeup);
    ringing.m_bSoundActive = true;
    ringing.m_strSound = "/sounds/first.wav";
    window->CarryOut(Pass({ringing}));
    Q_EMIT window->Sound()->PlayedToEnd();
    QCOMPARE(m_reads, 1);
    QVERIFY(window->IsTimerActive(CAlerterWindow::kRestoreTimer));

    // A second alarm sound while the restore is pending: the volume stays raised, unsaved.
    window->CarryOut(Pass({ringing}));
    QCOMPARE(m_reads, 1);
    window->OnTimer(CAlerterWindow::kRestoreTimer);
    QCOMPARE(m_system, (VolumeState{"sink", {20000, 20000}, true}));
}

void TestAlerter::aNewAlarmSoundIsNotFadedWithTheSilencedOne()
{
    auto window = MakeWindow();
    CAlarm alarm = Alarm(kTypeWakeup);
    alarm.m_bSoundActive = true;
    alarm.m_strSound = "/sounds/a.wav";
    window->CarryOut(Pass({alarm}));
    window->Silence(2000);
    window->OnTimer(CAlerterWindow::kFadeTimer);
    window->CarryOut(Pass({Alarm(kTypeWakeup), alarm}));
    QVERIFY(!window->IsTimerActive(CAlerterWindow::kFadeTimer));
    QCOMPARE(window->Sound()->Volume(), 1000);
    QVERIFY(window->Sound()->IsPlaying());
}

void TestAlerter::aSoundThatCannotPlayRingsTheBuiltInTone_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("failure"); // emitted by the device after opening, or empty
    QTest::addColumn<QStringList>("played");
    QTest::addColumn<QString>("message");
    const QString tone = QStringLiteral("Wstawaj!\nNie można odtworzyć dźwięku: %1\nZamiast niego dzwoni "
                                        "wbudowany sygnał alarmu.");
    QTest::newRow("missing file") << QStringLiteral("/missing/a.wav") << QString()
                                  << QStringList{u"open /missing/a.wav"_s, u"open tone"_s, u"play"_s}
                                  << tone.arg(u"nie ma pliku /missing/a.wav"_s);
    QTest::newRow("no decoder") << QStringLiteral("/sounds/a.xyz") << QStringLiteral("brak dekodera")
                                << QStringList{u"open /sounds/a.xyz"_s, u"play"_s, u"open tone"_s, u"play"_s}
                                << tone.arg(u"brak dekodera"_s);
}

void TestAlerter::aSoundThatCannotPlayRingsTheBuiltInTone()
{
    QFETCH(QString, file);
    QFETCH(QString, failure);
    QFETCH(QStringList, played);
    QFETCH(QString, message);
    auto window = MakeWindow();
    QSignalSpy animation(window.get(), &CAlerterWindow::StartTrayAnimation);
    CAlarm alarm = Alarm(kTypeWakeup, "Wstawaj!");
    alarm.m_bSoundActive = true;
    alarm.m_strSound = file.toStdString();
    window->CarryOut(Pass({alarm}));
    if (!failure.isEmpty()) {
        Q_EMIT window->Sound()->Failed(failure);
    }
    QCOMPARE(m_soundLog.Entries(), played);
    QCOMPARE(window->Messages(), QStringList{message});
    QVERIFY(m_soundPlaying);
    QVERIFY(animation.count() >= 1);

    // Should the tone fail as well, there is no sound to be had: said, and the ringing is over
    // once the message is read.
    Q_EMIT window->Sound()->Failed(u"brak urządzenia"_s);
    QVERIFY(window->Messages().at(0).endsWith(u"Nie można odtworzyć dźwięku: brak urządzenia"_s));
    QCOMPARE(m_soundLog.Entries().count(u"open tone"_s), 1);
    QVERIFY(window->IsTimerActive(CAlerterWindow::kRestoreTimer));
}

void TestAlerter::volumeGoesBackAfterEveryEndOfTheSound_data()
{
    QTest::addColumn<QString>("end");
    for (const char* end : {"played out", "faded out", "snoozed"}) {
        QTest::newRow(end) << QString::fromLatin1(end);
    }
}

void TestAlerter::volumeGoesBackAfterEveryEndOfTheSound()
{
    QFETCH(QString, end);
    const VolumeState before = m_system;
    auto window = MakeWindow();
    CAlarm alarm = Alarm(kTypeWakeup);
    alarm.m_bSoundActive = true;
    alarm.m_strSound = "/sounds/a.wav";
    window->CarryOut(Pass({alarm}));
    if (end == QLatin1String("played out")) {
        Q_EMIT window->Sound()->PlayedToEnd();
    } else if (end == QLatin1String("snoozed")) {
        window->Snooze(5);
    } else {
        window->StartFadeOut(2000);
        for (int i = 0; i < 10; ++i) {
            window->OnTimer(CAlerterWindow::kFadeTimer);
        }
    }
    QVERIFY(!window->Sound()->IsOpen());
    QVERIFY(!(m_system == before));
    QVERIFY(window->IsTimerActive(CAlerterWindow::kRestoreTimer));
    QCOMPARE(window->TimerInterval(CAlerterWindow::kRestoreTimer), 5000);
    window->OnTimer(CAlerterWindow::kRestoreTimer);
    QCOMPARE(m_system, before);
}

void TestAlerter::repeatedSoundStartsOverUntilSilencedOrLimit_data()
{
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<QString>("then");
    QTest::addColumn<int>("plays");
    QTest::newRow("setting off") << false << QString() << 1;
    QTest::newRow("until the limit") << true << QString() << 3;
    QTest::newRow("until silenced") << true << QStringLiteral("silence") << 2;
    QTest::newRow("until snoozed") << true << QStringLiteral("snooze") << 2;
}

void TestAlerter::repeatedSoundStartsOverUntilSilencedOrLimit()
{
    QFETCH(bool, repeat);
    QFETCH(QString, then);
    QFETCH(int, plays);
    m_repeat = repeat;
    auto window = MakeWindow();
    CAlarm alarm = Alarm(kTypeWakeup);
    alarm.m_bSoundActive = true;
    alarm.m_strSound = "/sounds/a.wav";
    window->CarryOut(Pass({alarm}));
    m_now += 7 * kTicksPerMinute;
    Q_EMIT window->Sound()->PlayedToEnd();
    if (then == QLatin1String("silence")) {
        window->Silence(2000);
    } else if (then == QLatin1String("snooze")) {
        window->Snooze(10);
    }
    m_now += 7 * kTicksPerMinute;
    Q_EMIT window->Sound()->PlayedToEnd();
    m_now += 7 * kTicksPerMinute; // past the fifteen minutes
    Q_EMIT window->Sound()->PlayedToEnd();
    QCOMPARE(m_soundLog.Entries().count(u"play"_s), plays);
    QVERIFY(!m_ringing);
}

void TestAlerter::snoozeQuietsTheRingingAlarmsAndHandsThemBack()
{
    auto window = MakeWindow();
    QSignalSpy snoozed(window.get(), &CAlerterWindow::Snoozed);
    QSignalSpy ringing(window.get(), &CAlerterWindow::RingingChanged);
    QSignalSpy slideOut(window.get(), &CAlerterWindow::SlideOutNotifier);
    CAlarm loud = Alarm(kTypeWakeup, "Wstawaj!");
    loud.m_bSoundActive = true;
    loud.m_strSound = "/sounds/a.wav";
    CAlarm program = Alarm(kTypeWakeup);
    program.m_strProgram = "backup";
    program.m_bProgramActive = true;
    m_power.Refuse("Access denied");
    window->CarryOut(Pass({loud, program, Alarm(kTypeHibernate)}, kTypeHibernate));
    QVERIFY(m_ringing);
    QCOMPARE(ringing.count(), 1);
    QCOMPARE(window->Messages().size(), 2); // the message and the refused hibernation

    window->Snooze(5);
    QCOMPARE(snoozed.count(), 1);
    const auto alarms = snoozed.last().at(0).value<std::vector<CAlarm>>();
    QCOMPARE(alarms.size(), std::size_t(1)); // only what rang: not the program, not the failure
    QCOMPARE(alarms[0].m_strMessage, std::string("Wstawaj!"));
    QCOMPARE(snoozed.last().at(1).toInt(), 5);
    QCOMPARE(window->Messages(), QStringList{u"Nie udało się zahibernować komputera: Access denied"_s});
    QCOMPARE(slideOut.count(), 0);
    QCOMPARE(m_soundLog.Entries().last(), u"stop"_s);
    QVERIFY(!m_ringing && !m_soundPlaying);
    // Nothing rings any more: a second snooze hands nothing over.
    window->Snooze(5);
    QCOMPARE(snoozed.count(), 1);
}

void TestAlerter::aSnoozeRingsWithMessageAndSoundOnly()
{
    auto window = MakeWindow();
    CAlarm alarm = Alarm(kTypeWakeup, "Koniec pracy"); // no display-on either
    alarm.m_bSoundActive = true;
    alarm.m_strSound = "/sounds/a.wav";
    alarm.m_strProgram = "backup";
    alarm.m_bProgramActive = true;
    FiringPass pass = Pass({alarm, alarm});
    pass.alarms[0].snoozed = true;
    pass.alarms[1].snoozed = true;
    pass.alarms[1].late = true; // slept through: dropped
    window->CarryOut(pass);
    QCOMPARE(window->Messages(), QStringList{u"Koniec pracy"_s});
    QCOMPARE(m_soundLog.Entries().count(u"play"_s), 1);
    QVERIFY(m_started.isEmpty());
    QVERIFY(m_power.Requests().isEmpty());
}

void TestAlerter::onePowerRequestAfterEveryAction()
{
    auto window = MakeWindow();
    CAlarm shutdown = Alarm(kTypeShutdown, "late");
    shutdown.m_strProgram = "backup --now";
    shutdown.m_bProgramActive = true;
    // The road decided: the late shut-down asks nothing, the on-time standby asks once.
    FiringPass pass = Pass({shutdown, Alarm(kTypeWakeup), Alarm(kTypeWakeup), Alarm(kTypeStandby)}, kTypeStandby);
    pass.alarms[0].late = true;
    pass.alarms[2].late = true; // no display-on for this one
    window->CarryOut(pass);
    QCOMPARE(m_started, QStringList{QStringLiteral("backup --now")});
    QCOMPARE(window->Messages(), QStringList{QStringLiteral("late")});
    QCOMPARE(m_power.Requests(), (QStringList{QStringLiteral("display-on"), QStringLiteral("standby")}));
}

void TestAlerter::aProgramHeldBackIsToldAndNotStarted()
{
    auto window = MakeWindow();
    CAlarm alarm = Alarm(kTypeWakeup, "Wstawaj!");
    alarm.m_strProgram = "rm -rf ~/important";
    alarm.m_bProgramActive = true;
    CAlarm silent = alarm;
    silent.m_bMessageActive = false;
    FiringPass pass = Pass({alarm, silent});
    pass.alarms[0].programHeldBack = true;
    pass.alarms[1].programHeldBack = true;
    window->CarryOut(pass);
    QVERIFY(m_started.isEmpty());
    QCOMPARE(window->Messages(),
             (QStringList{QStringLiteral("Wstawaj!\nNie uruchomiono programu: rm -rf ~/important"),
                          QStringLiteral("Nie uruchomiono programu: rm -rf ~/important")}));
}

void TestAlerter::failuresAreShownNotDropped()
{
    auto window = MakeWindow();
    QSignalSpy failed(window.get(), &CAlerterWindow::ActionFailed);
    m_power.Refuse("Access denied");
    window->CarryOut(Pass({Alarm(kTypeHibernate)}, kTypeHibernate));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.last().at(0).toString(), QStringLiteral("Nie udało się zahibernować komputera: Access denied"));
    QCOMPARE(window->Messages(), QStringList{failed.last().at(0).toString()});
}

void TestAlerter::firedAlarmReachesThePopUpProgramAndPowerLog()
{
    QTemporaryDir dir;
    CSettings::SetStorePath(dir.filePath(QStringLiteral("settings.ini")));
    CSettings settings;
    const QString log = dir.filePath(QStringLiteral("power.log"));
    const auto power = CreatePowerRequests(log.toStdString());
    Clock::SetForTesting({});

    CAlerterThread thread(settings, power.get(), std::make_unique<FakeVolume>(&m_system, &m_reads));
    thread.Start();
    CAlarm alarm = Alarm(kTypeStandby, "Koniec pracy");
    const QString marker = dir.filePath(QStringLiteral("started"));
    alarm.m_strProgram = "touch '" + marker.toStdString() + "'";
    alarm.m_bProgramActive = true;
    thread.CarryOut(Pass({alarm}, kTypeStandby));

    // One tick of the rotation, on the alerter thread, brings the message to the pop-up.
    CAlerterWindow* window = thread.Window();
    QMetaObject::invokeMethod(window, [window] { window->OnTimer(CAlerterWindow::kMessageTimer); },
                              Qt::BlockingQueuedConnection);
    QTRY_COMPARE(thread.Notifier()->Text(), QStringLiteral("Koniec pracy"));
    QTRY_VERIFY(QFile::exists(marker));
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].endsWith(QStringLiteral("Z standby")));
    thread.Stop();
    CSettings::SetStorePath({});
}

QTEST_MAIN(TestAlerter)
#include "test_alerter.moc"
