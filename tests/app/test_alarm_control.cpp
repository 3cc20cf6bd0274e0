// What the user does about a ringing or coming alarm, through the real frame, document and
// alerter thread: snoozing from each place that offers it, a snooze the machine slept through,
// the warning window before power alarms with its commands, and both countdowns (the window
// and the pop-up) ending the moment their alarm stops coming. The clock is a test clock; the
// sound device and the power back end only record what they are asked.

#include "../alert/RecordingPower.h"
#include "../alert/RecordingSound.h"
#include "CAlerterThread.h"
#include "CAlerterWindow.h"
#include "CLateAlarmsNotice.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CPowerCountdown.h"
#include "CSettings.h"
#include "CStatusDIalog.h"
#include "CSystemTray.h"
#include "CTaskbarNotifier.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "QuietTimer.h"
#include "model/CScheduler.h"
#include "time/Clock.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>

using namespace zembra;
using namespace Qt::StringLiterals;
using zembra::test::QuietTimer;
using zembra::test::RecordingPower;
using zembra::test::RecordingSound;
using zembra::test::SoundLog;

namespace {

FileTime Local(int hour, int minute, int second = 0)
{
    SystemTime local{};
    local.wYear = 2026;
    local.wMonth = 6;
    local.wDay = 2;
    local.wHour = static_cast<std::uint16_t>(hour);
    local.wMinute = static_cast<std::uint16_t>(minute);
    local.wSecond = static_cast<std::uint16_t>(second);
    return LocalSystemTimeToUtc(local).value();
}

std::unique_ptr<CAlarm> MakeAlarm(FileTime atUtc, const char* type, const char* comment)
{
    auto alarm = std::make_unique<CAlarm>();
    alarm->m_strFrequency = kFrequencyOnce;
    alarm->m_strType = type;
    alarm->m_time = UtcToLocalSystemTime(atUtc).value();
    alarm->m_bActive = true;
    alarm->m_strComment = comment;
    return alarm;
}

QPushButton* RowButton(CPowerCountdown* window, int row, const char* name)
{
    const QList<QWidget*> rows = window->findChildren<QWidget*>(u"countdownRow"_s);
    return row < rows.size() ? rows[row]->findChild<QPushButton*>(QString::fromLatin1(name)) : nullptr;
}

} // namespace

class TestAlarmControl : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void snoozeFromEachPlaceRingsAgainWithoutTheProgram_data();
    void snoozeFromEachPlaceRingsAgainWithoutTheProgram();
    void clearMessagesTakesThePopUpAwayFromTheKeyboard_data();
    void clearMessagesTakesThePopUpAwayFromTheKeyboard();
    void aSnoozeTheMachineSleptThroughIsReportedNotRung();
    void twoPowerAlarmsEachGetTheirWarningAndItsCommandsChangeOneOccurrence();
    void aCountdownEndsWhenItsAlarmStopsComing_data();
    void aCountdownEndsWhenItsAlarmStopsComing();

private:
    void OpenList(std::vector<std::unique_ptr<CAlarm>> alarms);
    // The clock moves to `utc` and the document runs its pass; returns once the alerter thread
    // has carried out what the pass gave it.
    void RunAt(FileTime utc);
    void WaitForAlerter();

    std::atomic<FileTime> m_now{0};
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_list;
    SoundLog m_sound;
    RecordingPower m_powerRequests;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CPower> m_power;
    std::unique_ptr<CAlerterThread> m_alerter;
    std::unique_ptr<CZembracfgDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestAlarmControl::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_dir->filePath(u"config"_s).toUtf8());
    CSettings::SetStorePath(m_dir->filePath(u"settings.ini"_s));
    CMessageBox::SetTestMode(true);
    m_now = Local(6, 50);
    Clock::SetForTesting([this] { return m_now.load(); });
    m_sound.Clear();
    m_powerRequests.Clear();
    m_settings = std::make_unique<CSettings>();
    m_settings->m_regMaxRingVolume = 0; // the machine's own volume is left alone
    m_power = std::make_unique<CPower>(std::make_unique<QuietTimer>());
    m_power->Init();
    m_alerter = std::make_unique<CAlerterThread>(*m_settings, &m_powerRequests, nullptr,
                                                 [this] { return std::make_unique<RecordingSound>(&m_sound); });
    m_alerter->Start();
    m_doc = std::make_unique<CZembracfgDoc>(*m_power, *m_settings, &m_powerRequests, m_alerter.get());
    connect(m_doc.get(), &CZembracfgDoc::AlarmsDue, m_alerter.get(),
            [this](const FiringPass& pass) { m_alerter->CarryOut(pass); });
    m_frame = std::make_unique<CMainFrame>(*m_doc, *m_settings, m_alerter.get());
}

void TestAlarmControl::cleanup()
{
    m_frame.reset();
    m_doc.reset();
    m_alerter.reset();
    m_power.reset();
    m_settings.reset();
    Clock::SetForTesting({});
    CSettings::SetStorePath({});
    CMessageBox::SetTestMode(false);
    m_dir.reset();
}

void TestAlarmControl::OpenList(std::vector<std::unique_ptr<CAlarm>> alarms)
{
    CScheduler schedule;
    for (auto& alarm : alarms) {
        schedule.AddAlarm(std::move(alarm));
    }
    m_list = m_dir->filePath(u"alarms.zmb"_s);
    QCOMPARE(schedule.SaveToFile(m_list.toStdString()), 0);
    QVERIFY(m_doc->OnOpenDocument(m_list));
    m_doc->ApproveAllPrograms();
}

void TestAlarmControl::WaitForAlerter()
{
    // Queued after whatever the pass sent, so it returns once that has been carried out.
    QMetaObject::invokeMethod(m_alerter->Window(), [] {}, Qt::BlockingQueuedConnection);
    QCoreApplication::processEvents(); // what the alerter signalled back
}

void TestAlarmControl::RunAt(FileTime utc)
{
    m_now = utc;
    m_doc->Resync();
    WaitForAlerter();
}

void TestAlarmControl::snoozeFromEachPlaceRingsAgainWithoutTheProgram_data()
{
    QTest::addColumn<QString>("place");
    QTest::newRow("Alarm menu") << u"alarm menu"_s;
    QTest::newRow("tray menu") << u"tray menu"_s;
    QTest::newRow("pop-up menu") << u"pop-up menu"_s;
}

void TestAlarmControl::snoozeFromEachPlaceRingsAgainWithoutTheProgram()
{
    QFETCH(QString, place);
    const FileTime at = Local(7, 0);
    auto alarm = MakeAlarm(at, kTypeWakeup, "budzik");
    alarm->m_strMessage = "Wstawaj!";
    alarm->m_bMessageActive = true;
    alarm->m_strSound = "/sounds/alarm.wav";
    alarm->m_bSoundActive = true;
    alarm->m_strProgram = "true";
    alarm->m_bProgramActive = true;
    std::vector<std::unique_ptr<CAlarm>> alarms;
    alarms.push_back(std::move(alarm));
    OpenList(std::move(alarms));

    RunAt(at + kTicksPerSecond);
    QVERIFY(m_alerter->IsRinging());
    m_frame->UpdateCommandStates();
    QVERIFY(m_frame->SnoozeMenu()->isEnabled());
    QAction* snooze = m_frame->SnoozeMenu()->findChild<QAction*>(u"snooze10"_s);
    QVERIFY(snooze != nullptr);
    QVERIFY(m_frame->SnoozeMenu()->defaultAction() == snooze); // the setting's length

    if (place == QLatin1String("tray menu")) {
        QVERIFY(m_frame->Tray()->GetMenu()->actions().contains(m_frame->SnoozeMenu()->menuAction()));
        snooze->trigger();
    } else if (place == QLatin1String("pop-up menu")) {
        CAlerterWindow* window = m_alerter->Window();
        QMetaObject::invokeMethod(window, [window] { window->OnTimer(CAlerterWindow::kMessageTimer); },
                                  Qt::BlockingQueuedConnection);
        CTaskbarNotifier* notifier = m_alerter->Notifier();
        QTRY_VERIFY(notifier->isVisible());
        // The menu runs its own loop; the entry is chosen from inside it, as a user would.
        bool chosen = false;
        QTimer::singleShot(0, this, [&chosen] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            for (QAction* entry : menu->actions()) {
                if (entry->menu() != nullptr) {
                    if (QAction* ten = entry->menu()->findChild<QAction*>(u"snooze10"_s)) {
                        menu->close();
                        ten->trigger();
                        chosen = true;
                    }
                }
            }
        });
        // Slid in all the way (its own timer's steps), then clicked on its face.
        for (int step = 0; step < 1000 && notifier->State() != CTaskbarNotifier::StateWaiting; ++step) {
            notifier->OnTimer(CTaskbarNotifier::TimerSlideIn);
        }
        QTest::mouseClick(notifier, Qt::RightButton, {}, notifier->rect().center());
        QVERIFY(chosen);
    } else {
        snooze->trigger();
    }
    WaitForAlerter();
    QVERIFY(!m_alerter->IsRinging());
    QCOMPARE(m_sound.Entries().last(), u"stop"_s);
    QVERIFY(m_doc->HasSnoozes());
    QCOMPARE(m_doc->NextFiringUtc(), at + kTicksPerSecond + 10 * kTicksPerMinute);
    // The status panel tells the snooze's own time, not the alarm's.
    const QString next = m_frame->View()->StatusPanel()->NextAlarmText();
    QVERIFY2(next.contains(u"7:10:01"_s), qPrintable(next));

    QSignalSpy due(m_doc.get(), &CZembracfgDoc::AlarmsDue);
    RunAt(m_doc->NextFiringUtc());
    QCOMPARE(due.count(), 1);
    const auto pass = due.last().at(0).value<FiringPass>();
    QCOMPARE(pass.alarms.size(), std::size_t(1));
    QVERIFY(pass.alarms[0].snoozed); // message and sound only: the alerter starts no program
    QVERIFY(m_alerter->IsRinging());
    QCOMPARE(m_sound.Entries().count(u"play"_s), 2);
    QVERIFY(m_powerRequests.Requests().count(u"display-on"_s) == 1); // the first ring only

    // Snoozed again and then confirmed: the snooze is gone with the ringing.
    m_frame->SnoozeAlarm(0);
    WaitForAlerter();
    QVERIFY(m_doc->HasSnoozes());
    m_frame->UpdateCommandStates();
    QVERIFY(m_frame->Action(CMainFrame::kConfirm)->isEnabled());
    m_frame->Action(CMainFrame::kConfirm)->trigger();
    QVERIFY(!m_doc->HasSnoozes());
    QCOMPARE(m_doc->NextAlarm(), nullptr);
}

void TestAlarmControl::clearMessagesTakesThePopUpAwayFromTheKeyboard_data()
{
    QTest::addColumn<bool>("fromTray");
    QTest::newRow("Alarm menu") << false;
    QTest::newRow("tray menu") << true;
}

// The pop-up has no keyboard focus of its own: the menus' command is the keyboard's way to it.
void TestAlarmControl::clearMessagesTakesThePopUpAwayFromTheKeyboard()
{
    QFETCH(bool, fromTray);
    const FileTime at = Local(7, 0);
    auto alarm = MakeAlarm(at, kTypeWakeup, "herbata");
    alarm->m_strMessage = "Czas na herbatę";
    alarm->m_bMessageActive = true;
    std::vector<std::unique_ptr<CAlarm>> alarms;
    alarms.push_back(std::move(alarm));
    OpenList(std::move(alarms));
    QAction* clear = m_frame->Action(CMainFrame::kClearMessages);
    m_frame->UpdateCommandStates();
    QVERIFY(!clear->isEnabled()); // nothing shown yet

    RunAt(at + kTicksPerSecond);
    CAlerterWindow* window = m_alerter->Window();
    QMetaObject::invokeMethod(window, [window] { window->OnTimer(CAlerterWindow::kMessageTimer); },
                              Qt::BlockingQueuedConnection);
    CTaskbarNotifier* notifier = m_alerter->Notifier();
    QTRY_VERIFY(notifier->isVisible());
    QVERIFY(m_alerter->IsRinging());
    m_frame->UpdateCommandStates();
    QVERIFY(clear->isEnabled());

    if (fromTray) {
        QAction* entry = nullptr;
        for (QAction* action : m_frame->Tray()->GetMenu()->actions()) {
            if (action->data().toInt() == CSystemTray::kIdClearMessages) {
                entry = action;
            }
        }
        QVERIFY(entry != nullptr && entry->isEnabled());
        entry->trigger();
    } else {
        clear->trigger();
    }
    WaitForAlerter();
    QTRY_COMPARE(notifier->State(), int(CTaskbarNotifier::StateSlidingOut));
    QVERIFY(!m_alerter->IsRinging());
}

void TestAlarmControl::aSnoozeTheMachineSleptThroughIsReportedNotRung()
{
    const FileTime at = Local(7, 0);
    auto alarm = MakeAlarm(at, kTypeWakeup, "budzik");
    alarm->m_strSound = "/sounds/alarm.wav";
    alarm->m_bSoundActive = true;
    std::vector<std::unique_ptr<CAlarm>> alarms;
    alarms.push_back(std::move(alarm));
    OpenList(std::move(alarms));
    RunAt(at);
    m_frame->SnoozeAlarm(5);
    WaitForAlerter();
    QVERIFY(m_doc->HasSnoozes());

    RunAt(at + 3 * kTicksPerHour);
    QCOMPARE(m_sound.Entries().count(u"play"_s), 1);
    QVERIFY(!m_alerter->IsRinging());
    QVERIFY(!m_doc->HasSnoozes());
    QVERIFY(m_frame->LateNotice()->isVisible());
    QVERIFY2(m_frame->LateNotice()->informativeText().contains(u"budzik: spóźniony o 175 min. Drzemka nie zadzwoniła"_s),
             qPrintable(m_frame->LateNotice()->informativeText()));
}

void TestAlarmControl::twoPowerAlarmsEachGetTheirWarningAndItsCommandsChangeOneOccurrence()
{
    const FileTime standbyAt = Local(22, 0);
    const FileTime shutdownAt = Local(22, 3);
    m_now = Local(21, 50);
    std::vector<std::unique_ptr<CAlarm>> alarms;
    alarms.push_back(MakeAlarm(standbyAt, kTypeStandby, "przerwa"));
    alarms.push_back(MakeAlarm(shutdownAt, kTypeShutdown, "koniec"));
    OpenList(std::move(alarms));
    QFile file(m_list);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    CPowerCountdown* window = m_frame->Countdown();
    window->SetBlockersSource([](const std::string& type) {
        return type == kTypeShutdown ? u"Odtwarzacz (film)"_s : QString();
    });

    // Five minutes ahead and not before; the timer waits for that moment, not ticking.
    QVERIFY(window->Shown().empty());
    QVERIFY(std::abs(window->NextRefreshMs() - 300'000) <= 1);
    m_now = standbyAt - 4 * kTicksPerMinute - kTicksPerSecond / 2;
    window->Refresh();
    QCOMPARE(window->Shown().size(), std::size_t(1));
    QVERIFY(window->isVisible());
    QVERIFY(!window->isActiveWindow());
    QCOMPARE(window->findChild<QLabel*>(u"countdownTitle"_s)->text(), u"Uśpienie komputera za 04:00"_s);
    QCOMPARE(window->NextRefreshMs(), 501); // the next whole second of the time left

    m_now = standbyAt - kTicksPerMinute;
    window->Refresh();
    QCOMPARE(window->Shown().size(), std::size_t(2));
    QTRY_VERIFY(window->findChildren<QLabel*>(u"countdownBlockers"_s).at(1)->isVisibleTo(window));
    QCOMPARE(window->findChildren<QLabel*>(u"countdownBlockers"_s).at(1)->text(),
             u"Zablokowane przez: Odtwarzacz (film)"_s);
    QVERIFY(!window->findChildren<QLabel*>(u"countdownBlockers"_s).at(0)->isVisibleTo(window));

    // Postponed by five minutes: six minutes away, its row goes until its countdown comes
    // again, after the shut-down's.
    QTest::mouseClick(RowButton(window, 0, "postpone5"), Qt::LeftButton);
    QCOMPARE(window->Shown().size(), std::size_t(1));
    QCOMPARE(window->Shown()[0].alarm.m_strComment, std::string("koniec"));
    QCOMPARE(m_doc->NextFiringUtc(), shutdownAt);
    m_now = standbyAt + 30 * kTicksPerSecond;
    window->Refresh();
    QCOMPARE(window->Shown().size(), std::size_t(2));
    QCOMPARE(window->Shown()[1].atUtc, standbyAt + 5 * kTicksPerMinute);

    // Skipped from the tray menu, which offers each countdown's commands.
    QList<QMenu*> trayCountdowns;
    for (QAction* entry : m_frame->Tray()->GetMenu()->actions()) {
        if (entry->menu() != nullptr && entry->menu()->objectName() == QLatin1String("countdownMenu")) {
            trayCountdowns << entry->menu();
        }
    }
    QCOMPARE(trayCountdowns.size(), 2);
    QCOMPARE(trayCountdowns[0]->title(), u"Wyłączenie komputera o 22:03"_s);
    trayCountdowns[0]->actions().at(2)->trigger(); // "Pomiń tym razem"
    QCOMPARE(window->Shown().size(), std::size_t(1));
    QCOMPARE(m_doc->NextFiringUtc(), standbyAt + 5 * kTicksPerMinute);
    RunAt(shutdownAt + kTicksPerSecond);
    QVERIFY(m_powerRequests.Requests().isEmpty());

    // "Teraz": carried out at once, its power request included.
    QTest::mouseClick(RowButton(window, 0, "now"), Qt::LeftButton);
    WaitForAlerter();
    QCOMPARE(m_powerRequests.Requests(), QStringList{u"standby"_s});
    QVERIFY(window->Shown().empty());
    QVERIFY(!window->isVisible());
    QCOMPARE(m_doc->NextAlarm(), nullptr);

    // None of it touched the list.
    QVERIFY(!m_doc->IsModified());
    file.seek(0);
    QCOMPARE(file.readAll(), saved);
}

void TestAlarmControl::aCountdownEndsWhenItsAlarmStopsComing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("switched off") << u"off"_s;
    QTest::newRow("deleted") << u"delete"_s;
    QTest::newRow("postponed") << u"postpone"_s;
    QTest::newRow("carried out") << u"carried out"_s;
}

void TestAlarmControl::aCountdownEndsWhenItsAlarmStopsComing()
{
    QFETCH(QString, how);
    const FileTime standbyAt = Local(22, 0);
    m_now = standbyAt - 50 * kTicksPerSecond;
    std::vector<std::unique_ptr<CAlarm>> alarms;
    alarms.push_back(MakeAlarm(standbyAt, kTypeStandby, "przerwa"));
    OpenList(std::move(alarms));
    WaitForAlerter();

    // Both count down: the warning window has its row, the pop-up has risen with the time left.
    CPowerCountdown* window = m_frame->Countdown();
    CTaskbarNotifier* popUp = m_alerter->Notifier();
    QCOMPARE(window->Shown().size(), std::size_t(1));
    QVERIFY(window->isVisible());
    QCOMPARE(popUp->Text(), u"Do uśpienia zostało: 00:50"_s);
    for (int i = 0; i < 1000 && popUp->State() != CTaskbarNotifier::StateWaiting; ++i)
        popUp->OnTimer(CTaskbarNotifier::TimerSlideIn);
    QCOMPARE(popUp->State(), CTaskbarNotifier::StateWaiting);

    if (how == u"off") {
        m_doc->SetAlarmActive(m_doc->Scheduler().At(0), false);
    } else if (how == u"delete") {
        QVERIFY(m_doc->RemoveAlarmAt(0));
    } else if (how == u"postpone") {
        QTest::mouseClick(RowButton(window, 0, "postpone5"), Qt::LeftButton);
    } else {
        m_now = standbyAt + kTicksPerSecond;
        m_doc->Resync();
    }
    WaitForAlerter();

    QVERIFY(window->Shown().empty());
    QVERIFY(!window->isVisible());
    // The pop-up leaves at once rather than after its stay.
    QVERIFY(popUp->IsTimerActive(CTaskbarNotifier::TimerSlideOut));
    QVERIFY(!popUp->IsTimerActive(CTaskbarNotifier::TimerStay));
    QCOMPARE(m_powerRequests.Requests(),
             how == u"carried out" ? QStringList{u"standby"_s} : QStringList{});
}

QTEST_MAIN(TestAlarmControl)
#include "test_alarm_control.moc"
