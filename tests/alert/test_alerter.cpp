// The alert window and the alerter thread: countdown, message rotation, fade-out and volume
// restore, and the road from a fired alarm to the pop-up, the program and the power request.
// Time is injected and the timers are driven by calling their handlers.

#include "CAlerterThread.h"
#include "CAlerterWindow.h"
#include "CSettings.h"
#include "CSoundDevice.h"
#include "CTaskbarNotifier.h"
#include "CVolumeMixer.h"
#include "PowerBackends.h"
#include "time/Clock.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zembra;

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

class RecordingPower : public IPowerRequests {
public:
    PowerResult Standby() override { return Record("standby"); }
    PowerResult Hibernate() override { return Record("hibernate"); }
    PowerResult Shutdown() override { return Record("shutdown"); }
    PowerResult DisplayOn() override { return Record("display-on"); }
    QStringList requests;
    bool refuse = false;

private:
    PowerResult Record(const char* what)
    {
        requests << QString::fromLatin1(what);
        return refuse ? PowerResult::Failed("Access denied") : PowerResult::Ok();
    }
};

CAlarm Alarm(const char* type, const char* message = nullptr)
{
    CAlarm alarm;
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
    void fadeOutStepsThenRestoresTheVolumeLater();
    void secondSoundDuringPendingRestoreDoesNotSaveAgain();
    void volumeGoesBackAfterEveryEndOfTheSound_data();
    void volumeGoesBackAfterEveryEndOfTheSound();
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
};

void TestAlerter::init()
{
    m_now = kNow;
    m_system = VolumeState{"sink", {20000, 20000}, true};
    m_reads = 0;
    m_power.requests.clear();
    m_power.refuse = false;
    m_started.clear();
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

    // Re-armed for an alarm far away: the ticking stops again.
    window->SetNextAlarm(Alarm(kTypeShutdown), m_now + 3 * kTicksPerHour);
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

void TestAlerter::fadeOutStepsThenRestoresTheVolumeLater()
{
    auto window = MakeWindow();
    window->Init();
    window->Volume()->RaiseVolume();
    const VolumeState before{"sink", {20000, 20000}, true};
    QVERIFY(!(m_system == before));

    window->StartFadeOut(2000);
    QCOMPARE(window->TimerInterval(CAlerterWindow::kFadeTimer), 200);
    QList<int> volumes;
    for (int i = 0; i < 9; ++i) {
        window->OnTimer(CAlerterWindow::kFadeTimer);
        volumes << window->FadeVolume();
    }
    QCOMPARE(volumes, (QList<int>{900, 800, 700, 600, 500, 400, 300, 200, 100}));
    QVERIFY(window->IsTimerActive(CAlerterWindow::kFadeTimer));
    window->OnTimer(CAlerterWindow::kFadeTimer); // the tenth step stops the sound
    QVERIFY(!window->IsTimerActive(CAlerterWindow::kFadeTimer));
    QVERIFY(window->IsTimerActive(CAlerterWindow::kRestoreTimer));
    QCOMPARE(window->TimerInterval(CAlerterWindow::kRestoreTimer), 5000);
    QVERIFY(!(m_system == before));
    window->OnTimer(CAlerterWindow::kRestoreTimer);
    QCOMPARE(m_system, before);
    QVERIFY(!window->IsTimerActive(CAlerterWindow::kRestoreTimer));
}

void TestAlerter::secondSoundDuringPendingRestoreDoesNotSaveAgain()
{
    auto window = MakeWindow();
    window->Init();
    CAlarm ringing = Alarm(kTypeWakeup);
    ringing.m_bSoundActive = true;
    ringing.m_strSound = "/nonexistent/first.wav";
    window->CarryOut(Pass({ringing}));
    QCOMPARE(m_reads, 1);
    QVERIFY(window->IsTimerActive(CAlerterWindow::kRestoreTimer));

    // A second alarm sound while the restore is pending: the volume stays raised, unsaved.
    window->CarryOut(Pass({ringing}));
    QCOMPARE(m_reads, 1);
    window->OnTimer(CAlerterWindow::kRestoreTimer);
    QCOMPARE(m_system, (VolumeState{"sink", {20000, 20000}, true}));
    // A sound that could not be opened says so in the pop-up instead of staying silent, in the
    // entry of its own alarm: one each here, as neither alarm has a message.
    QCOMPARE(window->Messages().filter(QStringLiteral("Nie można odtworzyć dźwięku: nie ma pliku")).size(), 2);

    // With a message, the reason goes beside it and the rotation keeps its numbers.
    window->OnNotifierClicked();
    ringing.m_strMessage = "Wstawaj!";
    ringing.m_bMessageActive = true;
    window->CarryOut(Pass({Alarm(kTypeWakeup, "first"), ringing}));
    QCOMPARE(window->Messages().size(), 2);
    QCOMPARE(window->Messages().at(1),
             QStringLiteral("Wstawaj!\nNie można odtworzyć dźwięku: nie ma pliku /nonexistent/first.wav"));
}

void TestAlerter::volumeGoesBackAfterEveryEndOfTheSound_data()
{
    QTest::addColumn<QString>("end");
    for (const char* end : {"cannot open", "fails while playing", "played out", "faded out"}) {
        QTest::newRow(end) << QString::fromLatin1(end);
    }
}

void TestAlerter::volumeGoesBackAfterEveryEndOfTheSound()
{
    QFETCH(QString, end);
    const VolumeState before = m_system;
    auto window = MakeWindow();
    window->Init();
    if (end == QLatin1String("cannot open")) {
        CAlarm ringing = Alarm(kTypeWakeup);
        ringing.m_bSoundActive = true;
        ringing.m_strSound = "/nonexistent/alarm.wav";
        window->CarryOut(Pass({ringing}));
    } else {
        window->Volume()->RaiseVolume();
        if (end == QLatin1String("fails while playing")) {
            Q_EMIT window->Sound()->Failed(QStringLiteral("no decoder"));
            QTRY_VERIFY(window->IsTimerActive(CAlerterWindow::kRestoreTimer));
        } else if (end == QLatin1String("played out")) {
            window->OnSoundEnded();
        } else {
            window->StartFadeOut(2000);
            for (int i = 0; i < 10; ++i) {
                window->OnTimer(CAlerterWindow::kFadeTimer);
            }
        }
    }
    QVERIFY(!(m_system == before));
    QVERIFY(window->IsTimerActive(CAlerterWindow::kRestoreTimer));
    QCOMPARE(window->TimerInterval(CAlerterWindow::kRestoreTimer), 5000);
    window->OnTimer(CAlerterWindow::kRestoreTimer);
    QCOMPARE(m_system, before);
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
    m_power.requests.clear();
    window->CarryOut(pass);
    QCOMPARE(m_started, QStringList{QStringLiteral("backup --now")});
    QCOMPARE(window->Messages(), QStringList{QStringLiteral("late")});
    QCOMPARE(m_power.requests, (QStringList{QStringLiteral("display-on"), QStringLiteral("standby")}));
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
    m_power.refuse = true;
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
