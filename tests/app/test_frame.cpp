// The main frame and what the user does through it: the enable rules of the commands, hiding to
// the tray (and what happens on a desktop without one), the settings command with everything it
// stores and applies, the windows that never block (late alarms, the wake test); and about a
// ringing or coming alarm, through the real frame, document and alerter thread: snoozing, clearing
// and confirming from the menus, the warning window before power alarms with its commands, and
// both countdowns (the window and the pop-up) ending the moment their alarm stops coming. The
// clock is a test clock; the sound device and the power back end only record what they are asked.

#include "../alert/RecordingPower.h"
#include "../alert/RecordingSound.h"
#include "AlarmLists.h"
#include "CAlarmList.h"
#include "CAlerterThread.h"
#include "CAlerterWindow.h"
#include "CDialogSettings.h"
#include "CLateAlarmsNotice.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CPowerCountdown.h"
#include "CSettings.h"
#include "CStatusDIalog.h"
#include "CSystemTray.h"
#include "CTaskbarNotifier.h"
#include "CWakeTestDialog.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "ModalAnswer.h"
#include "QuietTimer.h"
#include "model/CScheduler.h"
#include "time/Clock.h"

#include <QtTest>
#include <QtWidgets>

#include <atomic>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

FileTime Local(std::uint16_t hour, std::uint16_t minute)
{
    return LocalSystemTimeToUtc(SystemTime{2026, 6, 0, 2, hour, minute, 0, 0}).value();
}

CAlarm MakeAlarm(FileTime atUtc, const char* type, const char* comment)
{
    return test::Alarm(UtcToLocalSystemTime(atUtc).value(), comment, kFrequencyOnce, type);
}

// Slid in all the way (its own timer's steps).
void SlideIn(CTaskbarNotifier* notifier)
{
    for (int step = 0; step < 1000 && notifier->State() != CTaskbarNotifier::StateWaiting; ++step)
        notifier->OnTimer(CTaskbarNotifier::TimerSlideIn);
}

} // namespace

class TestFrame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->filePath(u"config"_s).toUtf8());
        qputenv("XDG_DATA_HOME", m_dir->filePath(u"data"_s).toUtf8());
        CSettings::SetStorePath(m_dir->filePath(u"settings.ini"_s));
        CMessageBox::SetTestMode(true);
        CMessageBox::TakeShownTexts();
        m_now = Local(6, 50);
        Clock::SetForTesting([this] { return m_now.load(); });
        m_sound.Clear();
        m_powerRequests.Clear();
        m_settings = std::make_unique<CSettings>();
        m_settings->m_regMaxRingVolume = 0; // the machine's own volume is left alone
        m_settings->m_strProgramPath = u"/opt/zembra/bin/zembra"_s;
        m_power = std::make_unique<CPower>(std::make_unique<test::QuietTimer>());
        m_power->Init();
        m_alerter =
            std::make_unique<CAlerterThread>(*m_settings, &m_powerRequests, nullptr, [this] {
                return std::make_unique<test::RecordingSound>(&m_sound);
            });
        m_alerter->Start();
        m_doc = std::make_unique<CZembracfgDoc>(*m_power, *m_settings, &m_powerRequests,
                                                m_alerter.get());
        connect(m_doc.get(), &CZembracfgDoc::AlarmsDue, m_alerter.get(),
                [this](const FiringPass& pass) { m_alerter->CarryOut(pass); });
        m_frame = std::make_unique<CMainFrame>(*m_doc, *m_settings, m_alerter.get());
    }
    void cleanup()
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
    // The edit and the deletion act on the row the keyboard moved to, and while the alarm is
    // being edited there is no way out of the program (the edit would be lost).
    void editAndDeleteActOnTheAlarmTheKeyboardPicked()
    {
        CMessageBox::SetTestMode(false);
        const SystemTime at{2030, 3, 1, 4, 7, 0, 0, 0};
        OpenList({test::Alarm(at, "A"), test::Alarm(at, "B"), test::Alarm(at, "C")});
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
        CAlarmList* list = m_frame->View()->List();
        const auto comments = [list] {
            QStringList texts;
            for (int row = 0; row < list->RowCount(); ++row)
                texts << list->model()->index(row, CAlarmList::kCommentColumn).data().toString();
            return texts;
        };
        QAction* edit = m_frame->Action(CMainFrame::kEditAlarm);
        QVERIFY(!edit->isEnabled());

        // Click the first row, then move down with the keyboard: the second is the picked one.
        QTest::mouseClick(
            list->viewport(), Qt::LeftButton, {},
            list->visualRect(list->model()->index(0, CAlarmList::kTimeColumn)).center());
        QTest::keyClick(list, Qt::Key_Down);
        bool exitOffered = true;
        test::AnswerNextModal([&](QWidget* dialog) {
            exitOffered = m_frame->Action(CMainFrame::kAppExit)->isEnabled() || m_frame->Exit();
            dialog->findChild<QLineEdit*>(u"editComment"_s)->setText(u"B2"_s);
            dialog->findChild<QPushButton*>(u"buttonOk"_s)->click();
        });
        edit->trigger();
        QVERIFY(!exitOffered);
        QVERIFY(m_frame->Action(CMainFrame::kAppExit)->isEnabled());
        QCOMPARE(comments(), (QStringList{u"A"_s, u"B2"_s, u"C"_s}));

        QTest::keyClick(list, Qt::Key_Down);
        test::AnswerNextBox(QMessageBox::Yes);
        m_frame->Action(CMainFrame::kDeleteAlarm)->trigger();
        QCOMPARE(comments(), (QStringList{u"A"_s, u"B2"_s}));

        // Space switches the current row's alarm off in whatever column.
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Space);
        QVERIFY(!m_doc->Scheduler().At(0)->m_bActive);
    }
    // Closing the window hides it to the tray (the program goes on until Exit), the tray's default
    // entry undoes the last hide or restore and a click on the icon shows or hides the window. A
    // start that asked for the tray waits for a panel that comes later, unless the user has taken
    // the window up meanwhile. Without a tray the window is minimised instead, and that is told
    // once.
    void theWindowHidesToTheTrayEvenOneThatComesLaterAndWithoutOneMinimises()
    {
        QVERIFY(!m_frame->HasTray()); // offscreen: no panel at start
        m_frame->StartInTray();       // shown until a panel comes
        QCOMPARE(m_frame->windowTitle(), u"Zembra - Bez nazwy"_s);
        m_frame->activateWindow(); // the window manager focuses the first window of a login
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        QAction* hide = m_frame->Action(CMainFrame::kHide);
        QAction* restore = m_frame->Action(CMainFrame::kRestore);
        const auto trayDefault = [this] {
            return m_frame->Tray()->GetDefaultMenuAction()->data().toInt();
        };
        // The panel comes up: the window goes where the start asked for it.
        Q_EMIT m_frame->Tray()->AvailabilityChanged(true);
        QVERIFY(!m_frame->isVisible() && restore->isEnabled() && !hide->isEnabled());
        QCOMPARE(trayDefault(), int{CMainFrame::kRestore});

        // With nothing ringing, a click shows the window, the next hides it; so does closing it.
        QSystemTrayIcon* icon = m_frame->Tray()->TrayIconForTesting();
        Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
        QVERIFY(m_frame->isVisible() && hide->isEnabled());
        QCOMPARE(trayDefault(), int{CMainFrame::kHide});
        Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
        QVERIFY(!m_frame->isVisible());
        m_frame->RestoreFromTray();
        QSignalSpy exit(m_frame.get(), &CMainFrame::ExitRequested);
        QVERIFY(!m_frame->close());
        QVERIFY(!m_frame->isVisible());

        // Once the user has taken the window up, a panel that comes (back) later leaves it alone.
        Q_EMIT m_frame->Tray()->AvailabilityChanged(false);
        m_frame->StartInTray();
        QVERIFY(m_frame->isVisible());
        QTest::mouseClick(m_frame->View()->List()->viewport(), Qt::LeftButton);
        Q_EMIT m_frame->Tray()->AvailabilityChanged(true);
        QVERIFY(m_frame->isVisible());
        // A minimised window has both disabled.
        m_frame->showMinimized();
        m_frame->UpdateCommandStates();
        QVERIFY(!hide->isEnabled() && !restore->isEnabled());

        m_frame->SetHasTrayForTesting(false);
        m_frame->showNormal();
        QVERIFY(!m_frame->close());
        m_frame->HideToTray();
        QVERIFY(m_frame->isVisible());
        QCOMPARE(CMessageBox::TakeShownTexts().size(), 1);
        QCOMPARE(exit.count(), 0);
        QVERIFY(m_frame->Exit());
        QCOMPARE(exit.count(), 1);
        QVERIFY(m_frame->close());
    }
    // A cancelled settings dialog changes nothing; an accepted one is stored for the next start
    // and applied at once.
    void settingsAreStoredAndAppliedUnlessCancelled()
    {
        m_settings->m_regLang = u"Polski"_s;
        QString shownLanguage;
        int answer = QDialog::Rejected;
        m_frame->SetSettingsRunner([&](CDialogSettings& dialog) {
            shownLanguage = dialog.m_strLanguage;
            dialog.m_bAutostart = true;
            dialog.m_bMaxVolume = true;
            dialog.m_bHideOnStartup = true;
            dialog.m_bAutoload = false;
            dialog.m_nTransparency = 30;
            dialog.m_nSleepMode = 1;
            dialog.m_strLanguageChoice = u"English"_s;
            return answer;
        });
        QFile autostart(m_dir->filePath(u"config/autostart/zembra.desktop"_s));
        m_frame->OnSettings();
        QCOMPARE(shownLanguage, u"Polski"_s);
        QCOMPARE(CSettings().m_regTransparency.Get(), 50u);
        QVERIFY(!autostart.exists());

        answer = QDialog::Accepted;
        m_frame->OnSettings();
        CSettings stored; // what the next start reads
        QCOMPARE(stored.m_regAutostart.Get(), 1u);
        QCOMPARE(stored.m_regMaxRingVolume.Get(), 1u);
        QCOMPARE(stored.m_regHideOnStartup.Get(), 1u);
        QCOMPARE(stored.m_regAutoload.Get(), 0u);
        QCOMPARE(stored.m_regTransparency.Get(), 30u);
        QCOMPARE(stored.m_regButtonSleepMode.Get(), 1u);
        QCOMPARE(stored.m_regLang.Get(), u"English"_s);
        // Applied at once: the autostart entry, the pop-up's opacity (70 % of 255), the language.
        QVERIFY(autostart.open(QIODevice::ReadOnly));
        QVERIFY(autostart.readAll().contains("Exec=/opt/zembra/bin/zembra"));
        QCOMPARE(qRound(m_alerter->Notifier()->windowOpacity() * 255), 178);
        QCOMPARE(m_frame->Language(), 1);
        m_frame->SetLanguage(2);
    }
    // Neither the notice of late alarms nor the wake test blocks: a modal run would hold the
    // alarms (and this test) where it opened. Late alarms are listed pass by pass; the
    // wake test has one window.
    void theLateAlarmsNoticeAndTheWakeTestDoNotBlock()
    {
        const SystemTime at{2030, 3, 1, 4, 23, 0, 0, 0};
        const FileTime due = LocalSystemTimeToUtc(at).value();
        const CAlarm slept = test::Alarm(at, "Koniec pracy", kFrequencyOnce, kTypeStandby);
        const CAlarm onTime = test::Alarm(at, "on time");
        FiringPass pass;
        pass.alarms = {DueAlarm{slept, due, due + 95 * kTicksPerMinute, true, true},
                       DueAlarm{onTime, due, due + kTicksPerSecond, false, false}};

        Q_EMIT m_doc->AlarmsDue(pass);
        CLateAlarmsNotice* notice = m_frame->LateNotice();
        QVERIFY(notice->isVisible());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(notice->informativeText().endsWith(
            u" Koniec pracy: spóźniony o 95 min. Zaplanowane uśpienie pominięte"_s));

        // A second pass adds a line to the open notice (the on-time alarm had none): a snooze the
        // machine slept through is told, not rung. A pass without late alarms shows nothing.
        DueAlarm snooze{test::Alarm(at, "budzik"), due, due + 175 * kTicksPerMinute, true, true};
        snooze.snoozed = true;
        pass.alarms = {snooze};
        Q_EMIT m_doc->AlarmsDue(pass);
        QVERIFY(notice->informativeText().split(u'\n').value(1).endsWith(
            u" budzik: spóźniony o 175 min. Drzemka nie zadzwoniła"_s));
        notice->close();
        pass.alarms = {DueAlarm{onTime, due, due, false, false}};
        Q_EMIT m_doc->AlarmsDue(pass);
        QVERIFY(!notice->isVisible());

        // The wake test has one window, brought forward when chosen again.
        QAction* command = m_frame->Action(CMainFrame::kWakeTest);
        command->trigger();
        auto* dialog = m_frame->findChild<CWakeTestDialog*>();
        QVERIFY(dialog != nullptr && dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        command->trigger();
        QCOMPARE(m_frame->findChildren<CWakeTestDialog*>().size(), 1);
        dialog->close();
        QTRY_VERIFY(m_frame->findChild<CWakeTestDialog*>() == nullptr);
    }
    // A ringing alarm, from its pop-up to its end. The Alarm menu, the tray menu and the pop-up's
    // own menu all offer the one snooze menu; it is chosen from the pop-up's, through that menu's
    // real loop. The pop-up has no keyboard focus of its own: Clear Messages, in the Alarm and
    // tray menus, is the keyboard's way to it. Confirming ends the ringing and a waiting snooze.
    void aRingingAlarmIsSnoozedClearedAndConfirmedFromTheMenus()
    {
        const FileTime at = Local(7, 0);
        CAlarm alarm = MakeAlarm(at, kTypeWakeup, "budzik");
        alarm.m_strMessage = "Wstawaj!";
        alarm.m_bMessageActive = true;
        alarm.m_strSound = "/sounds/alarm.wav";
        alarm.m_bSoundActive = true;
        alarm.m_strProgram = "true";
        alarm.m_bProgramActive = true;
        OpenList({alarm});
        QAction* clear = m_frame->Action(CMainFrame::kClearMessages);
        m_frame->UpdateCommandStates();
        QVERIFY(!clear->isEnabled()); // nothing shown yet

        RunAt(at + kTicksPerSecond);
        m_frame->UpdateCommandStates();
        QVERIFY(m_frame->SnoozeMenu()->isEnabled()); // while it rings
        // The setting's length is the default.
        QAction* snooze = m_frame->SnoozeMenu()->findChild<QAction*>(u"snooze10"_s);
        QVERIFY(snooze != nullptr && m_frame->SnoozeMenu()->defaultAction() == snooze);
        QVERIFY(
            m_frame->Tray()->GetMenu()->actions().contains(m_frame->SnoozeMenu()->menuAction()));

        ShowPopUp();
        CTaskbarNotifier* notifier = m_alerter->Notifier();
        // The menu runs its own loop; the entry is chosen from inside it, as a user would.
        bool chosen = false;
        QTimer::singleShot(0, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            menu->close();
            chosen = menu->actions().contains(m_frame->SnoozeMenu()->menuAction());
            if (chosen)
                snooze->trigger();
        });
        SlideIn(notifier); // then clicked on its face
        QTest::mouseClick(notifier, Qt::RightButton, {}, notifier->rect().center());
        QVERIFY(chosen);
        WaitForAlerter();
        QTRY_VERIFY(!notifier->isVisible());
        QVERIFY(!m_alerter->IsRinging());
        QCOMPARE(m_doc->NextFiringUtc(), at + kTicksPerSecond + 10 * kTicksPerMinute);
        // The status panel tells the snooze's own time, not the alarm's.
        const QString next = m_frame->View()->StatusPanel()->NextAlarmText();
        QVERIFY2(next.contains(u"7:10:01"_s), qPrintable(next));

        QSignalSpy due(m_doc.get(), &CZembracfgDoc::AlarmsDue);
        RunAt(m_doc->NextFiringUtc());
        QCOMPARE(due.count(), 1);
        // Message and sound only: the alerter starts no program.
        QVERIFY(due.last().at(0).value<FiringPass>().alarms.at(0).snoozed);
        QCOMPARE(m_sound.Entries().count(u"play"_s), 2);
        QVERIFY(m_powerRequests.Requests().count(u"display-on"_s) == 1); // the first ring only

        // Its message is cleared from the tray menu; its sound rings on.
        ShowPopUp();
        m_frame->UpdateCommandStates();
        QVERIFY(clear->isEnabled());
        const QList<QAction*> tray = m_frame->Tray()->GetMenu()->actions();
        const auto entry = std::find_if(tray.begin(), tray.end(), [](QAction* action) {
            return action->data().toInt() == CSystemTray::kIdClearMessages;
        });
        QVERIFY(entry != tray.end() && (*entry)->isEnabled());
        (*entry)->trigger();
        WaitForAlerter();
        QTRY_VERIFY(!notifier->isVisible()); // not after its ten minutes' stay

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
    void twoPowerAlarmsEachGetTheirWarningAndItsCommandsChangeOneOccurrence()
    {
        const FileTime standbyAt = Local(22, 0);
        m_now = Local(21, 50);
        OpenList({MakeAlarm(standbyAt, kTypeStandby, "przerwa"),
                  MakeAlarm(Local(22, 3), kTypeShutdown, "koniec")});
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
        QVERIFY(window->isVisible() && !window->isActiveWindow()); // it never takes the focus
        QCOMPARE(window->findChild<QLabel*>(u"countdownTitle"_s)->text(),
                 u"Uśpienie komputera za 04:00"_s);
        QCOMPARE(window->NextRefreshMs(), 501); // the next whole second of the time left

        m_now = standbyAt - kTicksPerMinute;
        window->Refresh();
        const QList<QLabel*> blockers = window->findChildren<QLabel*>(u"countdownBlockers"_s);
        QCOMPARE(blockers.size(), 2);
        QTRY_VERIFY(blockers[1]->isVisibleTo(window));
        QCOMPARE(blockers[1]->text(), u"Zablokowane przez: Odtwarzacz (film)"_s);
        QVERIFY(!blockers[0]->isVisibleTo(window));

        // Postponed by five minutes from the tray menu, which offers each countdown's commands:
        // six minutes away, its row goes until its countdown comes again, after the shut-down's.
        TrayCountdowns().at(0)->actions().at(0)->trigger(); // "Odłóż o 5 min"
        QCOMPARE(window->Shown().size(), std::size_t(1));
        m_now = standbyAt + 30 * kTicksPerSecond;
        window->Refresh();
        QCOMPARE(window->Shown().size(), std::size_t(2));
        QCOMPARE(window->Shown()[1].atUtc, standbyAt + 5 * kTicksPerMinute);

        // Skipped from the tray menu.
        const QList<QMenu*> trayCountdowns = TrayCountdowns();
        QCOMPARE(trayCountdowns.size(), 2);
        QCOMPARE(trayCountdowns[0]->title(), u"Wyłączenie komputera o 22:03"_s);
        trayCountdowns[0]->actions().at(2)->trigger(); // "Pomiń tym razem"
        QCOMPARE(window->Shown().size(), std::size_t(1));
        QCOMPARE(window->Shown()[0].atUtc, standbyAt + 5 * kTicksPerMinute);
        QVERIFY(!m_doc->IsModified()); // none of it touched the list
    }
    void aCountdownEndsWhenItsAlarmStopsComing_data()
    {
        QTest::addColumn<QString>("button"); // of its row in the window; none: its time comes
        QTest::newRow("postponed") << u"postpone5"_s;
        QTest::newRow("skipped") << u"skip"_s;
        QTest::newRow("carried out now") << u"now"_s;
        QTest::newRow("carried out at its time") << QString();
    }
    void aCountdownEndsWhenItsAlarmStopsComing()
    {
        QFETCH(QString, button);
        const FileTime standbyAt = Local(22, 0);
        m_now = standbyAt - 50 * kTicksPerSecond;
        OpenList({MakeAlarm(standbyAt, kTypeStandby, "przerwa")});
        WaitForAlerter();

        // Both count down: the warning window has its row, the pop-up has risen with the time left.
        CPowerCountdown* window = m_frame->Countdown();
        CTaskbarNotifier* popUp = m_alerter->Notifier();
        QVERIFY(window->isVisible());
        QCOMPARE(popUp->Text(), u"Do uśpienia zostało: 00:50"_s);
        SlideIn(popUp);
        QCOMPARE(popUp->State(), CTaskbarNotifier::StateWaiting);

        if (button.isEmpty()) {
            RunAt(standbyAt + kTicksPerSecond);
        } else {
            auto* pressed = window->findChild<QPushButton*>(button); // of its only row
            QVERIFY(pressed != nullptr);
            QTest::mouseClick(pressed, Qt::LeftButton);
            WaitForAlerter();
        }

        QVERIFY(window->Shown().empty());
        QVERIFY(!window->isVisible());
        // The pop-up leaves at once rather than after its stay.
        QVERIFY(popUp->IsTimerActive(CTaskbarNotifier::TimerSlideOut));
        QVERIFY(!popUp->IsTimerActive(CTaskbarNotifier::TimerStay));
        const bool carriedOut = button.isEmpty() || button == u"now";
        QCOMPARE(m_powerRequests.Requests(),
                 carriedOut ? QStringList{u"standby"_s} : QStringList{});
        QCOMPARE(m_doc->NextAlarm() != nullptr, button == u"postpone5");
    }

private:
    void OpenList(const std::vector<CAlarm>& alarms)
    {
        const QString list = m_dir->filePath(u"alarms.zmb"_s);
        QVERIFY(test::WriteList(list, alarms));
        QVERIFY(m_doc->OnOpenDocument(list));
        m_doc->ApproveAllPrograms();
    }
    // The tray menu's submenus of the countdowns on show, in the window's order.
    QList<QMenu*> TrayCountdowns() const
    {
        QList<QMenu*> menus;
        for (QAction* entry : m_frame->Tray()->GetMenu()->actions())
            if (entry->menu() != nullptr && entry->menu()->objectName() == u"countdownMenu"_s)
                menus << entry->menu();
        return menus;
    }
    // The pop-up shows what rings (its timer's turn).
    void ShowPopUp()
    {
        CAlerterWindow* window = m_alerter->Window();
        QMetaObject::invokeMethod(
            window, [window] { window->OnTimer(CAlerterWindow::kMessageTimer); },
            Qt::BlockingQueuedConnection);
        QTRY_VERIFY(m_alerter->Notifier()->isVisible());
    }
    // The clock moves to `utc` and the document runs its pass; returns once the alerter thread
    // has carried out what the pass gave it.
    void RunAt(FileTime utc)
    {
        m_now = utc;
        m_doc->Resync();
        WaitForAlerter();
    }
    void WaitForAlerter()
    {
        // Queued after whatever the pass sent, so it returns once that has been carried out.
        QMetaObject::invokeMethod(
            m_alerter->Window(), [] {}, Qt::BlockingQueuedConnection);
        QCoreApplication::processEvents(); // what the alerter signalled back
    }

    std::atomic<FileTime> m_now{0};
    std::unique_ptr<QTemporaryDir> m_dir;
    test::SoundLog m_sound;
    test::RecordingPower m_powerRequests;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CPower> m_power;
    std::unique_ptr<CAlerterThread> m_alerter;
    std::unique_ptr<CZembracfgDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

QTEST_MAIN(TestFrame)
#include "test_frame.moc"
