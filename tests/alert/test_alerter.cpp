// The alert window: countdown, message rotation, fade-out and volume restore, the sound device
// readied ahead of an alarm, and what a pass of fired alarms does with messages, sound, programs
// and the power request. Time is injected and the timers are driven by calling their handlers.

#include "CAlerterWindow.h"
#include "CVolumeMixer.h"
#include "RecordingPower.h"
#include "RecordingSound.h"
#include "time/Clock.h"

#include <QtTest>

using namespace zembra;
using namespace Qt::StringLiterals;
using zembra::test::RecordingPower;
using zembra::test::RecordingSound;
using zembra::test::SoundLog;

namespace {

const VolumeState kSystemVolume{"sink", {20000, 20000}, true};

// The system's volume, as the alerter reads, raises and writes it back.
struct FakeVolume : IVolumeControl {
    bool Available() override { return true; }
    bool Read(VolumeState& state) override
    {
        ++reads;
        state = system;
        return true;
    }
    bool Write(const VolumeState& state) override
    {
        system = state;
        return true;
    }
    bool SetMaximum(const std::string&) override
    {
        return Write({system.device, {65536, 65536}, false});
    }

    VolumeState system = kSystemVolume;
    int reads = 0;
};

// An alarm with each action given switched on; each alarm its own id, as the list gives them.
CAlarm Alarm(const char* type, const char* message = nullptr, const char* sound = nullptr,
             const char* program = nullptr)
{
    static std::uint64_t lastId = 0;
    CAlarm alarm;
    alarm.m_nId = ++lastId;
    alarm.m_strType = type;
    alarm.m_bMessageActive = message != nullptr;
    alarm.m_strMessage = message != nullptr ? message : "";
    alarm.m_bSoundActive = sound != nullptr;
    alarm.m_strSound = sound != nullptr ? sound : "";
    alarm.m_bProgramActive = program != nullptr;
    alarm.m_strProgram = program != nullptr ? program : "";
    return alarm;
}

CAlarm Ringer()
{
    return Alarm(kTypeWakeup, nullptr, "/sounds/a.wav");
}

const FileTime kNow = 134'000'000'000'000'000; // an arbitrary moment in 2025

// A pass of the firing road carrying these alarms out on time, with its power request.
FiringPass Pass(const std::vector<CAlarm>& alarms, const char* request = "")
{
    FiringPass pass;
    for (const CAlarm& alarm : alarms) {
        pass.alarms.push_back(DueAlarm{alarm, kNow, kNow});
    }
    pass.powerType = request;
    return pass;
}

} // namespace

class TestAlerter : public QObject {
    Q_OBJECT

    FileTime m_now = kNow;
    FakeVolume* m_volume = nullptr; // the window's
    int m_soundsMade = 0;
    RecordingPower m_power;
    QStringList m_started;
    SoundLog m_soundLog;
    bool m_repeat = false;
    std::atomic<bool> m_ringing{false};
    std::atomic<bool> m_soundPlaying{false};
    std::unique_ptr<CAlerterWindow> m_window;

private Q_SLOTS:
    void init()
    {
        m_now = kNow;
        m_soundsMade = 0;
        m_power.Clear();
        m_started.clear();
        m_soundLog.Clear();
        m_repeat = m_ringing = m_soundPlaying = false;
        Clock::SetForTesting([this] { return m_now; });
        auto volume = std::make_unique<FakeVolume>();
        m_volume = volume.get();
        CAlerterWindow::Dependencies deps;
        deps.power = &m_power;
        deps.volume = std::make_unique<CVolumeMixer>(std::move(volume));
        deps.maxRingVolume = [] { return true; };
        // Starts what lies anywhere but under /missing/.
        deps.startProgram = [this](const std::string& commandLine, std::string& error) {
            m_started << QString::fromStdString(commandLine);
            error = "nie ma pliku";
            return !commandLine.starts_with("/missing/");
        };
        deps.makeSound = [this] {
            ++m_soundsMade;
            return std::make_unique<RecordingSound>(&m_soundLog);
        };
        deps.repeatSound = [this] { return m_repeat; };
        deps.ringing = &m_ringing;
        deps.soundPlaying = &m_soundPlaying;
        m_window = std::make_unique<CAlerterWindow>(std::move(deps));
    }
    void cleanup()
    {
        m_window.reset();
        Clock::SetForTesting({});
    }

    void countdownWaitsQuietlyThenTicksInTheLastFiveMinutes()
    {
        QSignalSpy shown(m_window.get(), &CAlerterWindow::ShowNotifierText);
        // No countdown for a wake-up alarm, and no timer ticks for it.
        QVERIFY(CAlerterWindow::CountdownText(u"wakeup"_s, kTicksPerMinute).isEmpty());
        m_window->SetNextAlarm(Alarm(kTypeWakeup), kNow + kTicksPerMinute);
        QVERIFY(!m_window->IsTimerActive(CAlerterWindow::kCountdownTimer));
        QVERIFY(!m_window->IsCountdownWaiting());
        QCOMPARE(m_window->WakeUps(), 0);

        const FileTime firing = kNow + 10 * kTicksPerMinute;
        m_window->SetNextAlarm(Alarm(kTypeHibernate), firing);
        // Ten minutes ahead: no ticking, one wait that ends as the last five minutes begin.
        QVERIFY(!m_window->IsTimerActive(CAlerterWindow::kCountdownTimer));
        QVERIFY(m_window->IsCountdownWaiting());
        QVERIFY(std::abs(m_window->CountdownWaitMs() - 300'000) <= 1);

        m_now = firing - 5 * kTicksPerMinute;
        m_window->OnCountdownStart();
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.last().at(0).toString(), u"Do hibernacji zostało: 05:00"_s);
        QVERIFY(m_window->IsTimerActive(CAlerterWindow::kCountdownTimer));
        m_now += kTicksPerSecond;
        m_window->OnTimer(CAlerterWindow::kCountdownTimer);
        QCOMPARE(shown.last().at(0).toString(), u"Do hibernacji zostało: 04:59"_s);
        m_now = firing + 2 * kTicksPerSecond; // fired, not yet re-armed
        m_window->OnTimer(CAlerterWindow::kCountdownTimer);
        QCOMPARE(shown.last().at(0).toString(), u"Do hibernacji zostało: 00:00"_s);

        // A message goes first: the countdown does not overwrite it every second.
        m_window->CarryOut(Pass({Alarm(kTypeWakeup, "Wstawaj!")}));
        const qsizetype before = shown.count();
        m_window->OnTimer(CAlerterWindow::kCountdownTimer);
        QCOMPARE(shown.count(), before);
        // A click slides the pop-up out and forgets messages and countdown until the next arming.
        QSignalSpy slideOut(m_window.get(), &CAlerterWindow::SlideOutNotifier);
        m_window->OnNotifierClicked();
        QCOMPARE(slideOut.count(), 1);
        QVERIFY(!m_window->IsTimerActive(CAlerterWindow::kMessageTimer));
        QVERIFY(!m_window->IsTimerActive(CAlerterWindow::kCountdownTimer));
        m_window->SetNextAlarm(Alarm(kTypeHibernate), firing);
        QVERIFY(m_window->IsTimerActive(CAlerterWindow::kCountdownTimer));

        // Re-armed for an alarm far away (the power alarm was postponed, say): the ticking stops
        // and the countdown's text leaves the pop-up.
        m_window->SetNextAlarm(Alarm(kTypeShutdown), m_now + 3 * kTicksPerHour);
        QCOMPARE(slideOut.count(), 2);
        QVERIFY(!m_window->IsTimerActive(CAlerterWindow::kCountdownTimer));
        QCOMPARE(m_window->CountdownWaitMs(), 3'600'001); // looked at again within the hour
    }

    void messagesRotateWithNumbersOnlyWhenSeveral()
    {
        QSignalSpy shown(m_window.get(), &CAlerterWindow::ShowNotifierText);
        m_window->CarryOut(Pass({Alarm(kTypeWakeup, "Wstawaj!")}));
        m_window->OnTimer(CAlerterWindow::kMessageTimer);
        QCOMPARE(shown.last().at(0).toString(), u"Wstawaj!"_s);

        m_window->CarryOut(Pass({Alarm(kTypeWakeup, "b"), Alarm(kTypeWakeup, "c")}));
        QStringList texts;
        for (int i = 0; i < 4; ++i) {
            m_window->OnTimer(CAlerterWindow::kMessageTimer);
            texts << shown.last().at(0).toString();
        }
        // The rotation goes on from where it was: the index had wrapped to the first message.
        QCOMPARE(texts, (QStringList{u"1: Wstawaj!"_s, u"2: b"_s, u"3: c"_s, u"1: Wstawaj!"_s}));
    }

    // Not at start: the media framework is loaded a minute before the alarm, once.
    void soundDeviceReadiedAMinuteAhead()
    {
        m_window->SetNextAlarm(std::nullopt, 0);
        const FileTime firing = kNow + 24 * kTicksPerHour;
        m_window->SetNextAlarm(Ringer(), firing);
        QCOMPARE(m_soundsMade, 0);
        // The timer's moment: the minute before the alarm begins; then it is readied, once.
        m_now = firing - CAlerterWindow::kSoundPrepareSpan;
        m_window->SetNextAlarm(Ringer(), firing);
        m_window->SetNextAlarm(Ringer(), firing + kTicksPerMinute);
        QCOMPARE(m_soundsMade, 1);
        // (An alarm nobody announced makes its device when it rings: every sound test below.)
    }

    // Every end of the sound puts the raised volume back, a while after, as it was before the
    // first sound; a fade takes ten steps.
    void volumeGoesBackAfterEveryEndOfTheSound_data()
    {
        QTest::addColumn<QString>("end");
        for (const char* end : {"played out", "faded out", "snoozed"}) {
            QTest::newRow(end) << QString::fromLatin1(end);
        }
    }
    void volumeGoesBackAfterEveryEndOfTheSound()
    {
        QFETCH(QString, end);
        m_window->CarryOut(Pass({Ringer()}));
        QVERIFY(m_window->Volume()->IsRaised());
        if (end == "played out"_L1) {
            Q_EMIT m_window->Sound()->PlayedToEnd();
        } else if (end == "snoozed"_L1) {
            m_window->Snooze(5);
        } else {
            m_window->StartFadeOut(2000);
            QList<int> volumes;
            for (int i = 0; i < 10; ++i) {
                m_window->OnTimer(CAlerterWindow::kFadeTimer);
                volumes << m_window->FadeVolume();
            }
            QCOMPARE(volumes, (QList<int>{900, 800, 700, 600, 500, 400, 300, 200, 100, 0}));
            QVERIFY(!m_window->IsTimerActive(CAlerterWindow::kFadeTimer));
        }
        QVERIFY(!m_window->Sound()->IsOpen());
        QVERIFY(!(m_volume->system == kSystemVolume));
        QVERIFY(m_window->IsTimerActive(CAlerterWindow::kRestoreTimer));
        QCOMPARE(m_window->TimerInterval(CAlerterWindow::kRestoreTimer), 5000);
        // A second alarm sound while the restore is pending: the volume stays raised, unsaved.
        m_window->CarryOut(Pass({Ringer()}));
        QCOMPARE(m_volume->reads, 1);
        m_window->OnTimer(CAlerterWindow::kRestoreTimer);
        QCOMPARE(m_volume->system, kSystemVolume);
    }

    void aNewAlarmSoundIsNotFadedWithTheSilencedOne()
    {
        m_window->CarryOut(Pass({Ringer()}));
        m_window->Silence(2000);
        m_window->OnTimer(CAlerterWindow::kFadeTimer);
        m_window->CarryOut(Pass({Alarm(kTypeWakeup), Ringer()}));
        QVERIFY(!m_window->IsTimerActive(CAlerterWindow::kFadeTimer));
        QCOMPARE(m_window->Sound()->Volume(), 1000);
        QVERIFY(m_window->Sound()->IsPlaying());
    }

    void aSoundThatCannotPlayRingsTheBuiltInTone_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("failure"); // emitted by the device after opening, or empty
        QTest::addColumn<QStringList>("played");
        QTest::newRow("missing file")
            << u"/missing/a.wav"_s << QString()
            << QStringList{u"open /missing/a.wav"_s, u"open tone"_s, u"play"_s};
        QTest::newRow("no decoder")
            << u"/sounds/a.xyz"_s << u"brak dekodera"_s
            << QStringList{u"open /sounds/a.xyz"_s, u"play"_s, u"open tone"_s, u"play"_s};
    }
    void aSoundThatCannotPlayRingsTheBuiltInTone()
    {
        QFETCH(QString, file);
        QFETCH(QString, failure);
        QFETCH(QStringList, played);
        const QString reason = failure.isEmpty() ? u"nie ma pliku "_s + file : failure;
        QSignalSpy animation(m_window.get(), &CAlerterWindow::StartTrayAnimation);
        const QByteArray sound = file.toUtf8();
        m_window->CarryOut(Pass({Alarm(kTypeWakeup, "Wstawaj!", sound.constData())}));
        if (!failure.isEmpty()) {
            Q_EMIT m_window->Sound()->Failed(failure);
        }
        QCOMPARE(m_soundLog.Entries(), played);
        QCOMPARE(m_window->Messages(),
                 QStringList{u"Wstawaj!\nNie można odtworzyć dźwięku: %1\n"
                             "Zamiast niego dzwoni wbudowany sygnał alarmu."_s.arg(reason)});
        QVERIFY(m_soundPlaying);
        QVERIFY(animation.count() >= 1);

        // Should the tone fail as well, there is no sound to be had: said, and the ringing is over
        // once the message is read.
        Q_EMIT m_window->Sound()->Failed(u"brak urządzenia"_s);
        QVERIFY(m_window->Messages().at(0).endsWith(u"odtworzyć dźwięku: brak urządzenia"_s));
        QCOMPARE(m_soundLog.Entries().count(u"open tone"_s), 1);
        QVERIFY(m_window->IsTimerActive(CAlerterWindow::kRestoreTimer));
    }

    // A repeated sound starts over until silenced or fifteen minutes are up. (A snooze stops the
    // sound: the device tells of no end after that.)
    void repeatedSoundStartsOverUntilSilencedOrLimit_data()
    {
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<bool>("silenced");
        QTest::addColumn<int>("plays");
        QTest::newRow("setting off") << false << false << 1;
        QTest::newRow("until the limit") << true << false << 3;
        QTest::newRow("until silenced") << true << true << 2;
    }
    void repeatedSoundStartsOverUntilSilencedOrLimit()
    {
        QFETCH(bool, repeat);
        QFETCH(bool, silenced);
        m_repeat = repeat;
        m_window->CarryOut(Pass({Ringer()}));
        m_now += 7 * kTicksPerMinute;
        Q_EMIT m_window->Sound()->PlayedToEnd();
        if (silenced) {
            m_window->Silence(2000);
        }
        m_now += 7 * kTicksPerMinute;
        Q_EMIT m_window->Sound()->PlayedToEnd();
        m_now += 7 * kTicksPerMinute; // past the fifteen minutes
        Q_EMIT m_window->Sound()->PlayedToEnd();
        QTEST(int(m_soundLog.Entries().count(u"play"_s)), "plays");
        QVERIFY(!m_ringing);
    }

    // A program that cannot start and a refused power request are shown, not dropped, and a
    // snooze leaves them there.
    void snoozeQuietsTheRingingAlarmsAndHandsThemBack()
    {
        QSignalSpy snoozed(m_window.get(), &CAlerterWindow::Snoozed);
        QSignalSpy ringing(m_window.get(), &CAlerterWindow::RingingChanged);
        QSignalSpy slideOut(m_window.get(), &CAlerterWindow::SlideOutNotifier);
        m_power.Refuse("Access denied");
        m_window->CarryOut(
            Pass({Alarm(kTypeWakeup, "Wstawaj!", "/sounds/a.wav"),
                  Alarm(kTypeWakeup, nullptr, nullptr, "/missing/backup"), Alarm(kTypeHibernate)},
                 kTypeHibernate));
        const QStringList failures{u"Nie można uruchomić programu /missing/backup: nie ma pliku"_s,
                                   u"Nie udało się zahibernować komputera: Access denied"_s};
        QCOMPARE(ringing.count(), 1);
        QCOMPARE(m_window->Messages(), QStringList{u"Wstawaj!"_s} + failures);

        m_window->Snooze(5);
        QCOMPARE(snoozed.count(), 1);
        const auto alarms = snoozed.last().at(0).value<std::vector<CAlarm>>();
        QCOMPARE(alarms.size(), std::size_t(1)); // only what rang: not the program, not the failure
        QCOMPARE(alarms[0].m_strMessage, std::string("Wstawaj!"));
        QCOMPARE(m_window->Messages(), failures);
        QCOMPARE(slideOut.count(), 0);
        QVERIFY(!m_ringing && !m_soundPlaying);
        // Nothing rings any more: a second snooze hands nothing over.
        m_window->Snooze(5);
        QCOMPARE(snoozed.count(), 1);
    }

    // One pass, each alarm as the road left it: a late one shows its message and starts its
    // program but asks for no power, not even the display; a snoozed one rings with message and
    // sound only; a program held back is told, at the end of its alarm's message or as one, and
    // not started. The on-time standby is asked for once, after every action.
    void aPassCarriesOutWhatEachAlarmMayThenOnePowerRequest()
    {
        const char* held = "rm -rf ~/important";
        FiringPass pass =
            Pass({Alarm(kTypeShutdown, "late", nullptr, "backup --now"), Alarm(kTypeWakeup),
                  Alarm(kTypeWakeup), Alarm(kTypeWakeup, "Koniec pracy", "/sounds/a.wav", "backup"),
                  Alarm(kTypeStandby, "Wstawaj!", nullptr, held),
                  Alarm(kTypeStandby, nullptr, nullptr, held)},
                 kTypeStandby);
        pass.alarms[0].late = pass.alarms[2].late = true; // the shut-down and a wake-up
        pass.alarms[3].snoozed = true;
        pass.alarms[4].programHeldBack = pass.alarms[5].programHeldBack = true;
        m_window->CarryOut(pass);
        QCOMPARE(m_started, QStringList{u"backup --now"_s});
        const QString told = u"Nie uruchomiono programu: rm -rf ~/important"_s;
        QCOMPARE(m_window->Messages(),
                 (QStringList{u"late"_s, u"Koniec pracy"_s, u"Wstawaj!\n"_s + told, told}));
        QCOMPARE(m_soundLog.Entries().count(u"play"_s), 1);
        QCOMPARE(m_power.Requests(), (QStringList{u"display-on"_s, u"standby"_s}));
    }
};

QTEST_MAIN(TestAlerter)
#include "test_alerter.moc"
