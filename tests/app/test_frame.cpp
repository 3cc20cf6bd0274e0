// The main frame and what the user does through it: the enable rules of the commands, hiding to
// the tray (and what happens on a desktop without one), the settings command with everything it
// stores and applies, the wake test's window; and about a ringing or coming alarm, through the real
// frame, document and alerter thread: snoozing from each place that offers it, a snooze the machine
// slept through, the warning window before power alarms with its commands, and both countdowns (the
// window and the pop-up) ending the moment their alarm stops coming. The clock is a test clock; the
// sound device and the power back end only record what they are asked.

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

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

QPushButton* RowButton(CPowerCountdown* window, int row, const char* name)
{
    const QList<QWidget*> rows = window->findChildren<QWidget*>(u"countdownRow"_s);
    return row < rows.size() ? rows[row]->findChild<QPushButton*>(QString::fromLatin1(name))
                             : nullptr;
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
        QString question;
        test::AnswerNextBox(QMessageBox::Yes, &question);
        m_frame->Action(CMainFrame::kDeleteAlarm)->trigger();
        QCOMPARE(question, u"Czy na pewno chcesz usunąć alarm?"_s);
        QCOMPARE(comments(), (QStringList{u"A"_s, u"B2"_s}));
        QCOMPARE(m_doc->Scheduler().Count(), 2u);
        QCOMPARE(m_doc->Scheduler().At(1)->m_strComment, std::string("B2"));

        // Space switches the current row's alarm off in whatever column.
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Space);
        QVERIFY(!m_doc->Scheduler().At(0)->m_bActive);
    }
    // Closing the window hides it to the tray (the program goes on until Exit); the tray's
    // default entry undoes the last hide or restore. Without a tray the window is minimised
    // instead, and that is told once.
    void closingHidesToTheTrayAndWithoutATrayMinimises()
    {
        m_frame->SetHasTrayForTesting(true);
        m_frame->show();
        QCOMPARE(m_frame->windowTitle(), u"Zembra - Bez nazwy"_s);
        QAction* hide = m_frame->Action(CMainFrame::kHide);
        QAction* restore = m_frame->Action(CMainFrame::kRestore);
        const auto trayDefault = [this] {
            return m_frame->Tray()->GetDefaultMenuAction()->data().toInt();
        };
        QVERIFY(hide->isEnabled() && !restore->isEnabled());
        // Before any hide or restore the tray's default is its first entry, the about box.
        QCOMPARE(trayDefault(), int{CMainFrame::kAppAbout});

        QSignalSpy exit(m_frame.get(), &CMainFrame::ExitRequested);
        QVERIFY(!m_frame->close());
        QVERIFY(restore->isEnabled() && !hide->isEnabled()); // hidden, not closed
        QCOMPARE(trayDefault(), int{CMainFrame::kRestore});
        m_frame->RestoreFromTray();
        QVERIFY(m_frame->isVisible());
        QCOMPARE(trayDefault(), int{CMainFrame::kHide});
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
        QCOMPARE(CSettings().m_regAutostart.Get(), 0u);
        QVERIFY(!autostart.exists());
        QCOMPARE(m_frame->Language(), 2);

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

        // The same language again switches nothing: a locale set meanwhile stays.
        QLocale::setDefault(QLocale(QLocale::French));
        m_frame->OnSettings();
        QCOMPARE(QLocale().language(), QLocale::French);
        m_frame->SetLanguage(2);
    }
    void lateAlarmsAreListedInANoticeThatDoesNotBlock()
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
        const QStringList lines = notice->informativeText().split(u'\n');
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].contains(u"Koniec pracy: spóźniony o 95 min"_s));
        QVERIFY(lines[0].endsWith(u"Zaplanowane uśpienie pominięte"_s));

        // A second pass adds to the open notice; a pass without late alarms shows nothing.
        pass.alarms.pop_back();
        Q_EMIT m_doc->AlarmsDue(pass);
        QCOMPARE(notice->informativeText().split(u'\n').size(), 2);
        notice->close();
        pass.alarms = {DueAlarm{onTime, due, due, false, false}};
        Q_EMIT m_doc->AlarmsDue(pass);
        QVERIFY(!notice->isVisible());
    }
    void aTrayThatComesLaterTakesTheWindowAndAClickShowsOrHidesIt()
    {
        QVERIFY(!m_frame->HasTray()); // offscreen: no panel at start
        m_frame->StartInTray();
        QVERIFY(m_frame->isVisible());
        m_frame->activateWindow(); // the window manager focuses the first window of a login
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        // The panel comes up: the window goes where the start asked for it, closing keeps it there.
        Q_EMIT m_frame->Tray()->AvailabilityChanged(true);
        QVERIFY(m_frame->HasTray());
        QVERIFY(!m_frame->isVisible());

        // Once the user has taken the window up, a panel that comes (back) later leaves it alone.
        Q_EMIT m_frame->Tray()->AvailabilityChanged(false);
        m_frame->StartInTray();
        QVERIFY(m_frame->isVisible());
        QTest::mouseClick(m_frame->View()->List()->viewport(), Qt::LeftButton);
        Q_EMIT m_frame->Tray()->AvailabilityChanged(true);
        QVERIFY(m_frame->isVisible());

        // With nothing ringing, a click hides the window, the next shows it.
        QSystemTrayIcon* icon = m_frame->Tray()->TrayIconForTesting();
        Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
        QVERIFY(!m_frame->isVisible());
        Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
        QVERIFY(m_frame->isVisible());
    }
    void theWakeTestOpensInOneWindowThatDoesNotBlock()
    {
        // No translations are built into this test: English, whose translation is then missing,
        // keeps the Polish texts.
        m_frame->SetLanguage(1);
        QAction* command = m_frame->Action(CMainFrame::kWakeTest);
        QCOMPARE(command->text(), u"&Sprawdź wybudzanie…"_s);
        // Returns at once: a modal run would hold this test (and the alarms) here.
        command->trigger();
        auto* dialog = m_frame->findChild<CWakeTestDialog*>();
        QVERIFY(dialog != nullptr && dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        command->trigger();
        QCOMPARE(m_frame->findChildren<CWakeTestDialog*>().size(), 1);
        dialog->close();
        QTRY_VERIFY(m_frame->findChild<CWakeTestDialog*>() == nullptr);
        m_frame->SetLanguage(2);
    }
    void snoozeFromEachPlaceRingsAgainWithoutTheProgram_data()
    {
        QTest::addColumn<bool>("fromPopUp");
        QTest::newRow("Alarm and tray menus") << false;
        QTest::newRow("pop-up menu") << true;
    }
    // The Alarm menu, the tray menu and the pop-up's own menu all offer the one snooze menu;
    // from the pop-up it is chosen through that menu's real loop.
    void snoozeFromEachPlaceRingsAgainWithoutTheProgram()
    {
        QFETCH(bool, fromPopUp);
        const FileTime at = Local(7, 0);
        CAlarm alarm = MakeAlarm(at, kTypeWakeup, "budzik");
        alarm.m_strMessage = "Wstawaj!";
        alarm.m_bMessageActive = true;
        alarm.m_strSound = "/sounds/alarm.wav";
        alarm.m_bSoundActive = true;
        alarm.m_strProgram = "true";
        alarm.m_bProgramActive = true;
        OpenList({alarm});

        RunAt(at + kTicksPerSecond);
        m_frame->UpdateCommandStates();
        QVERIFY(m_frame->SnoozeMenu()->isEnabled()); // while it rings
        // The setting's length is the default.
        QAction* snooze = m_frame->SnoozeMenu()->findChild<QAction*>(u"snooze10"_s);
        QVERIFY(snooze != nullptr && m_frame->SnoozeMenu()->defaultAction() == snooze);
        QVERIFY(
            m_frame->Tray()->GetMenu()->actions().contains(m_frame->SnoozeMenu()->menuAction()));

        if (fromPopUp) {
            ShowPopUp();
            CTaskbarNotifier* notifier = m_alerter->Notifier();
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
            SlideIn(notifier); // then clicked on its face
            QTest::mouseClick(notifier, Qt::RightButton, {}, notifier->rect().center());
            QVERIFY(chosen);
        } else {
            snooze->trigger();
        }
        WaitForAlerter();
        QVERIFY(!m_alerter->IsRinging());
        QCOMPARE(m_sound.Entries().last(), u"stop"_s);
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
    void clearMessagesTakesThePopUpAwayFromTheKeyboard_data()
    {
        QTest::addColumn<bool>("fromTray");
        QTest::newRow("Alarm menu") << false;
        QTest::newRow("tray menu") << true;
    }
    // The pop-up has no keyboard focus of its own: the menus' command is the keyboard's way to it.
    void clearMessagesTakesThePopUpAwayFromTheKeyboard()
    {
        QFETCH(bool, fromTray);
        const FileTime at = Local(7, 0);
        CAlarm alarm = MakeAlarm(at, kTypeWakeup, "herbata");
        alarm.m_strMessage = "Czas na herbatę";
        alarm.m_bMessageActive = true;
        OpenList({alarm});
        QAction* clear = m_frame->Action(CMainFrame::kClearMessages);
        m_frame->UpdateCommandStates();
        QVERIFY(!clear->isEnabled()); // nothing shown yet

        RunAt(at + kTicksPerSecond);
        ShowPopUp();
        m_frame->UpdateCommandStates();
        QVERIFY(clear->isEnabled());
        if (fromTray) {
            const QList<QAction*> tray = m_frame->Tray()->GetMenu()->actions();
            const auto entry = std::find_if(tray.begin(), tray.end(), [](QAction* action) {
                return action->data().toInt() == CSystemTray::kIdClearMessages;
            });
            QVERIFY(entry != tray.end() && (*entry)->isEnabled());
            clear = *entry;
        }
        clear->trigger();
        WaitForAlerter();
        QTRY_COMPARE(m_alerter->Notifier()->State(), int(CTaskbarNotifier::StateSlidingOut));
        QVERIFY(!m_alerter->IsRinging());
    }
    void aSnoozeTheMachineSleptThroughIsReportedNotRung()
    {
        const FileTime at = Local(7, 0);
        CAlarm alarm = MakeAlarm(at, kTypeWakeup, "budzik");
        alarm.m_strSound = "/sounds/alarm.wav";
        alarm.m_bSoundActive = true;
        OpenList({alarm});
        RunAt(at);
        m_frame->SnoozeAlarm(5);
        WaitForAlerter();
        RunAt(at + 3 * kTicksPerHour);
        QCOMPARE(m_sound.Entries().count(u"play"_s), 1);
        QVERIFY(!m_alerter->IsRinging());
        QVERIFY(!m_doc->HasSnoozes());
        const QString notice = m_frame->LateNotice()->informativeText();
        QVERIFY(m_frame->LateNotice()->isVisible());
        QVERIFY2(notice.contains(u"budzik: spóźniony o 175 min. Drzemka nie zadzwoniła"_s),
                 qPrintable(notice));
    }
    void twoPowerAlarmsEachGetTheirWarningAndItsCommandsChangeOneOccurrence()
    {
        const FileTime standbyAt = Local(22, 0);
        const FileTime shutdownAt = Local(22, 3);
        m_now = Local(21, 50);
        OpenList({MakeAlarm(standbyAt, kTypeStandby, "przerwa"),
                  MakeAlarm(shutdownAt, kTypeShutdown, "koniec")});
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
        QCOMPARE(m_doc->NextFiringUtc(), shutdownAt);
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
        QCOMPARE(m_doc->NextFiringUtc(), standbyAt + 5 * kTicksPerMinute);
        RunAt(shutdownAt + kTicksPerSecond);
        QVERIFY(m_powerRequests.Requests().isEmpty());

        // "Teraz": carried out at once, its power request included.
        QTest::mouseClick(RowButton(window, 0, "now"), Qt::LeftButton);
        WaitForAlerter();
        QCOMPARE(m_powerRequests.Requests(), QStringList{u"standby"_s});
        QVERIFY(!window->isVisible());
        QCOMPARE(m_doc->NextAlarm(), nullptr);

        // None of it touched the list.
        QVERIFY(!m_doc->IsModified());
        file.seek(0);
        QCOMPARE(file.readAll(), saved);
    }
    void aCountdownEndsWhenItsAlarmStopsComing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("switched off") << u"off"_s;
        QTest::newRow("deleted") << u"delete"_s;
        QTest::newRow("postponed") << u"postpone"_s;
        QTest::newRow("skipped") << u"skip"_s;
        QTest::newRow("carried out") << u"carried out"_s;
    }
    void aCountdownEndsWhenItsAlarmStopsComing()
    {
        QFETCH(QString, how);
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

        if (how == u"off") {
            m_doc->SetAlarmActive(m_doc->Scheduler().At(0), false);
        } else if (how == u"delete") {
            QVERIFY(m_doc->RemoveAlarmAt(0));
        } else if (how == u"postpone" || how == u"skip") {
            QTest::mouseClick(RowButton(window, 0, how == u"skip" ? "skip" : "postpone5"),
                              Qt::LeftButton);
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

private:
    void OpenList(const std::vector<CAlarm>& alarms)
    {
        m_list = m_dir->filePath(u"alarms.zmb"_s);
        QVERIFY(test::WriteList(m_list, alarms));
        QVERIFY(m_doc->OnOpenDocument(m_list));
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
    QString m_list;
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
