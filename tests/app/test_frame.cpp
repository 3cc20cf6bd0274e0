// The main frame: its menus and accelerators, the enable rules of the commands, hiding to the
// tray (and what happens on a desktop without one), the settings command with everything it
// stores and applies, and the toolbar texts.

#include "CAlarmDialog.h"
#include "CAlarmList.h"
#include "ModalAnswer.h"
#include "CAlerterThread.h"
#include "CDialogSettings.h"
#include "CLateAlarmsNotice.h"
#include "CMainFrame.h"
#include "QuietTimer.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CSettings.h"
#include "CSystemTray.h"
#include "CTaskbarNotifier.h"
#include "CTrueColorToolBar.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "time/Clock.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QFile>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace zembra;
using zembra::test::QuietTimer;

class TestFrame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void shortcutsAndTitle();
    void editAndDeleteActOnTheAlarmTheKeyboardPicked();
    void exitIsDisabledWhileAnAlarmDialogIsOpen();
    void hideAndRestoreSetTheTrayDefault();
    void withoutATrayTheWindowIsMinimisedAndToldOnce();
    void closingTheWindowDoesNotEndTheProgram();
    void settingsAreStoredAndApplied();
    void cancelledSettingsChangeNothing();
    void lateAlarmsAreListedInANoticeThatDoesNotBlock();
    void aTrayThatComesLaterTakesTheWindowAndAClickShowsOrHidesIt();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CPower> m_power;
    std::unique_ptr<CAlerterThread> m_alerter;
    std::unique_ptr<CZembracfgDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestFrame::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_dir->filePath(QStringLiteral("config")).toUtf8());
    CSettings::SetStorePath(m_dir->filePath(QStringLiteral("settings.ini")));
    CMessageBox::SetTestMode(true);
    CMessageBox::TakeShownTexts();
    m_settings = std::make_unique<CSettings>();
    m_settings->m_strProgramPath = QStringLiteral("/opt/zembra/bin/zembra");
    m_power = std::make_unique<CPower>(std::make_unique<QuietTimer>());
    m_power->Init();
    m_alerter = std::make_unique<CAlerterThread>(*m_settings, nullptr);
    m_doc = std::make_unique<CZembracfgDoc>(*m_power, *m_settings, nullptr, m_alerter.get());
    m_frame = std::make_unique<CMainFrame>(*m_doc, *m_settings, m_alerter.get());
}

void TestFrame::cleanup()
{
    m_frame.reset();
    m_doc.reset();
    m_alerter.reset();
    m_power.reset();
    m_settings.reset();
    CSettings::SetStorePath({});
    CMessageBox::SetTestMode(false);
    m_dir.reset();
}

void TestFrame::shortcutsAndTitle()
{
    QCOMPARE(m_frame->Action(CMainFrame::kFileNew)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    QCOMPARE(m_frame->Action(CMainFrame::kFileOpen)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(m_frame->Action(CMainFrame::kFileSave)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(m_frame->Action(CMainFrame::kNewAlarm)->shortcut(), QKeySequence(Qt::Key_Insert));
    QCOMPARE(m_frame->Action(CMainFrame::kEditAlarm)->shortcut(), QKeySequence(Qt::Key_Return));
    QCOMPARE(m_frame->Action(CMainFrame::kContextHelp)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("Zembra - Bez nazwy"));
}

void TestFrame::editAndDeleteActOnTheAlarmTheKeyboardPicked()
{
    CMessageBox::SetTestMode(false);
    CScheduler three;
    for (const char* comment : {"A", "B", "C"}) {
        auto alarm = std::make_unique<CAlarm>();
        alarm->m_strFrequency = kFrequencyOnce;
        alarm->m_strType = kTypeWakeup;
        alarm->m_time = SystemTime{2030, 3, 1, 4, 7, 0, 0, 0};
        alarm->m_bActive = true;
        alarm->m_strComment = comment;
        three.AddAlarm(std::move(alarm));
    }
    const QString path = m_dir->filePath(QStringLiteral("three.zmb"));
    QCOMPARE(three.SaveToFile(path.toStdString()), 0);
    QVERIFY(m_doc->OnOpenDocument(path));
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    CAlarmList* list = m_frame->View()->List();
    const auto comments = [list] {
        QStringList texts;
        for (int row = 0; row < list->RowCount(); ++row) {
            texts << list->model()->index(row, CAlarmList::kCommentColumn).data().toString();
        }
        return texts;
    };
    QVERIFY(!m_frame->Action(CMainFrame::kEditAlarm)->isEnabled());

    // Click the first row, then move down with the keyboard: the second is the picked one.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, CAlarmList::kTimeColumn)).center());
    QTest::keyClick(list, Qt::Key_Down);
    QVERIFY(m_frame->Action(CMainFrame::kEditAlarm)->isEnabled());
    test::AnswerNextModal([](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("editComment"))->setText(QStringLiteral("B2"));
        dialog->findChild<QPushButton*>(QStringLiteral("buttonOk"))->click();
    });
    m_frame->Action(CMainFrame::kEditAlarm)->trigger();
    QCOMPARE(comments(), (QStringList{QStringLiteral("A"), QStringLiteral("B2"), QStringLiteral("C")}));
    QCOMPARE(m_doc->Scheduler().At(1)->m_strComment, std::string("B2"));

    QTest::keyClick(list, Qt::Key_Down);
    QString question;
    test::AnswerNextBox(QMessageBox::Yes, &question);
    m_frame->Action(CMainFrame::kDeleteAlarm)->trigger();
    QCOMPARE(question, QStringLiteral("Czy na pewno chcesz usunąć alarm?"));
    QCOMPARE(comments(), (QStringList{QStringLiteral("A"), QStringLiteral("B2")}));
    QCOMPARE(m_doc->Scheduler().Count(), 2u);
    QCOMPARE(m_doc->Scheduler().At(1)->m_strComment, std::string("B2"));

    // Space switches the current row's alarm off in whatever column.
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(!m_doc->Scheduler().At(0)->m_bActive);
}

void TestFrame::exitIsDisabledWhileAnAlarmDialogIsOpen()
{
    bool exitEnabledInside = true;
    m_doc->SetDialogRunner([&](CAlarmDialog&) {
        m_frame->UpdateCommandStates();
        exitEnabledInside = m_frame->Action(CMainFrame::kAppExit)->isEnabled();
        return static_cast<int>(QDialog::Rejected);
    });
    m_doc->OnNewAlarm();
    QVERIFY(!exitEnabledInside);
    QVERIFY(m_frame->Action(CMainFrame::kAppExit)->isEnabled());
}

void TestFrame::hideAndRestoreSetTheTrayDefault()
{
    m_frame->SetHasTrayForTesting(true);
    m_frame->show();
    QVERIFY(m_frame->Action(CMainFrame::kHide)->isEnabled());
    QVERIFY(!m_frame->Action(CMainFrame::kRestore)->isEnabled());
    // Before any hide or restore the tray's default is its first entry, the about box.
    QCOMPARE(m_frame->Tray()->GetDefaultMenuAction()->data().toInt(), int{CMainFrame::kAppAbout});

    m_frame->HideToTray();
    QVERIFY(!m_frame->isVisible());
    QVERIFY(m_frame->Action(CMainFrame::kRestore)->isEnabled());
    QVERIFY(!m_frame->Action(CMainFrame::kHide)->isEnabled());
    QCOMPARE(m_frame->Tray()->GetDefaultMenuAction()->data().toInt(), int{CMainFrame::kRestore});

    m_frame->RestoreFromTray();
    QVERIFY(m_frame->isVisible());
    QCOMPARE(m_frame->Tray()->GetDefaultMenuAction()->data().toInt(), int{CMainFrame::kHide});
    // A minimised window has both disabled.
    m_frame->showMinimized();
    m_frame->UpdateCommandStates();
    QVERIFY(!m_frame->Action(CMainFrame::kHide)->isEnabled());
    QVERIFY(!m_frame->Action(CMainFrame::kRestore)->isEnabled());
}

void TestFrame::withoutATrayTheWindowIsMinimisedAndToldOnce()
{
    m_frame->SetHasTrayForTesting(false);
    m_frame->show();
    m_frame->HideToTray();
    m_frame->HideToTray();
    QVERIFY(m_frame->isVisible());
    QCOMPARE(CMessageBox::TakeShownTexts().size(), 1);
}

void TestFrame::closingTheWindowDoesNotEndTheProgram()
{
    m_frame->SetHasTrayForTesting(true);
    m_frame->show();
    QSignalSpy exit(m_frame.get(), &CMainFrame::ExitRequested);
    QVERIFY(!m_frame->close()); // the close is turned into a hide
    QVERIFY(!m_frame->isVisible());
    QCOMPARE(exit.count(), 0);
    QVERIFY(m_frame->Exit());
    QCOMPARE(exit.count(), 1);
    QVERIFY(m_frame->close());
}

void TestFrame::settingsAreStoredAndApplied()
{
    m_settings->m_regLang = QStringLiteral("Polski");
    QString shownLanguage;
    m_frame->SetSettingsRunner([&](CDialogSettings& dialog) {
        shownLanguage = dialog.m_strLanguage;
        dialog.m_bAutostart = true;
        dialog.m_bMaxVolume = true;
        dialog.m_bHideOnStartup = true;
        dialog.m_bAutoload = false;
        dialog.m_nTransparency = 30;
        dialog.m_nSleepMode = 1;
        dialog.m_strLanguageChoice = QStringLiteral("English");
        return static_cast<int>(QDialog::Accepted);
    });
    m_frame->OnSettings();
    QCOMPARE(shownLanguage, QStringLiteral("Polski"));

    CSettings stored; // what the next start reads
    QCOMPARE(stored.m_regAutostart.Get(), 1u);
    QCOMPARE(stored.m_regMaxRingVolume.Get(), 1u);
    QCOMPARE(stored.m_regHideOnStartup.Get(), 1u);
    QCOMPARE(stored.m_regAutoload.Get(), 0u);
    QCOMPARE(stored.m_regTransparency.Get(), 30u);
    QCOMPARE(stored.m_regButtonSleepMode.Get(), 1u);
    QCOMPARE(stored.m_regLang.Get(), QStringLiteral("English"));
    // Applied at once: the autostart entry, the pop-up's opacity (70 % of 255), the language.
    QFile autostart(m_dir->filePath(QStringLiteral("config/autostart/zembra.desktop")));
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

void TestFrame::cancelledSettingsChangeNothing()
{
    m_frame->SetSettingsRunner([](CDialogSettings& dialog) {
        dialog.m_nTransparency = 80;
        dialog.m_bAutostart = true;
        return static_cast<int>(QDialog::Rejected);
    });
    m_frame->OnSettings();
    CSettings stored;
    QCOMPARE(stored.m_regTransparency.Get(), 50u);
    QCOMPARE(stored.m_regAutostart.Get(), 0u);
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("config/autostart/zembra.desktop"))));
}

void TestFrame::lateAlarmsAreListedInANoticeThatDoesNotBlock()
{
    CAlarm slept;
    slept.m_strType = kTypeStandby;
    slept.m_strFrequency = kFrequencyOnce;
    slept.m_strComment = "Koniec pracy";
    slept.m_time = SystemTime{2030, 3, 1, 4, 23, 0, 0, 0};
    const FileTime due = LocalSystemTimeToUtc(slept.m_time).value();
    CAlarm onTime = slept;
    onTime.m_strType = kTypeWakeup;
    onTime.m_strComment = "on time";
    FiringPass pass;
    pass.alarms = {DueAlarm{slept, due, due + 95 * kTicksPerMinute, true, true},
                   DueAlarm{onTime, due, due + kTicksPerSecond, false, false}};

    Q_EMIT m_doc->AlarmsDue(pass);
    CLateAlarmsNotice* notice = m_frame->LateNotice();
    QVERIFY(notice->isVisible());
    QVERIFY(!notice->isModal());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    const QStringList lines = notice->informativeText().split(u'\n');
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].contains(QStringLiteral("Koniec pracy: spóźniony o 95 min")));
    QVERIFY(lines[0].endsWith(QStringLiteral("Zaplanowane uśpienie pominięte")));

    // A second pass adds to the open notice; a pass without late alarms shows nothing.
    pass.alarms.pop_back();
    Q_EMIT m_doc->AlarmsDue(pass);
    QCOMPARE(notice->informativeText().split(u'\n').size(), 2);
    notice->close();
    pass.alarms = {DueAlarm{onTime, due, due, false, false}};
    Q_EMIT m_doc->AlarmsDue(pass);
    QVERIFY(!notice->isVisible());
}

void TestFrame::aTrayThatComesLaterTakesTheWindowAndAClickShowsOrHidesIt()
{
    QVERIFY(!m_frame->HasTray()); // offscreen: no panel at start
    m_frame->StartInTray();
    QVERIFY(m_frame->isVisible());
    m_frame->activateWindow(); // the window manager focuses the first window of a login
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

QTEST_MAIN(TestFrame)
#include "test_frame.moc"
