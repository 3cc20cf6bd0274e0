// Start-up of the application: which window shows, which list opens, a second start that hands
// its file over to the instance already running; and the real program from end to end.

#include "AlarmLists.h"
#include "CAlerterThread.h"
#include "CAlerterWindow.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CRecoveryStore.h"
#include "CSettings.h"
#include "CZembracfgApp.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "ModalAnswer.h"
#include "ProgramProfile.h"
#include "time/Clock.h"

#include <QtTest>
#include <QtWidgets>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

// A list of one everyday alarm at 07:00 (with a program to start, when given).
QString MakeList(const QString& path, const char* comment, const std::string& program = {})
{
    CAlarm alarm = test::Alarm(SystemTime{2030, 1, 0, 1, 7, 0, 0, 0}, comment, kFrequencyEveryday);
    alarm.m_strProgram = program;
    alarm.m_bProgramActive = !program.empty();
    return test::WriteList(path, {alarm}) ? path : QString();
}

QStringList FileLines(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
               : QStringList();
}

FileTime g_now = 0;

// A list made under another profile whose alarm starts a program that leaves `marker`.
QString ForeignList(const QString& path, const QString& marker)
{
    return MakeList(path, "obcy", "sh -c 'echo ran >> \"" + marker.toStdString() + "\"'");
}

// 07:00 of a day of January 2030, when the everyday alarm rings.
FileTime Seven(int day)
{
    return LocalSystemTimeToUtc(SystemTime{2030, 1, 0, static_cast<std::uint16_t>(day), 7, 0, 0, 0})
        .value();
}

QStringList AlerterMessages(CAlerterThread& alerter)
{
    QStringList messages;
    CAlerterWindow* window = alerter.Window();
    QMetaObject::invokeMethod(
        window, [&] { messages = window->Messages(); }, Qt::BlockingQueuedConnection);
    return messages;
}

} // namespace

class TestApp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        CSettings::SetStorePath(m_dir->filePath(u"settings.ini"_s));
        CMessageBox::SetTestMode(true);
        CMessageBox::TakeShownTexts();
    }
    void cleanup()
    {
        m_app.reset();
        Clock::SetForTesting({});
        CSettings::SetStorePath({});
        CMessageBox::SetTestMode(false);
        m_dir.reset();
    }
    void hideOnStartupNeverHidesIntoNowhere()
    {
        CSettings().m_regHideOnStartup = 1;
        QVERIFY(Start());
        // The offscreen desktop has no tray: the window stays reachable.
        QVERIFY(!m_app->MainFrame()->HasTray());
        QVERIFY(m_app->MainFrame()->isVisible());
    }
    void anAutoloadedListThatIsGoneIsSaidAndKeptForLater()
    {
        const QString missing = m_dir->filePath(u"gone.zmb"_s);
        CSettings().m_regLastCfg = missing;
        QVERIFY(Start());
        QVERIFY(m_app->Document()->PathName().isEmpty());
        const QStringList shown = CMessageBox::TakeShownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(QDir::toNativeSeparators(missing)), qPrintable(shown[0]));
        QCOMPARE(m_app->Settings().m_regLastCfg.Get(), missing);
    }
    // ProgramConsent is not set: an earlier version ran here, so the list it reopens is the
    // user's own and its programs are approved.
    void theLastListReopensApprovedOnTheFirstStartAndTheCommandLineWins()
    {
        const QString last = ForeignList(m_dir->filePath(u"last.zmb"_s), m_dir->filePath(u"ran"_s));
        const QString given = MakeList(m_dir->filePath(u"given.zmb"_s), "given");
        CSettings().m_regLastCfg = last;
        QVERIFY(Start());
        QCOMPARE(QFileInfo(m_app->Document()->PathName()), QFileInfo(last));
        QVERIFY(!m_app->MainFrame()->View()->IsConsentBarShown());
        QCOMPARE(m_app->Settings().m_regProgramConsent.Get(), 1u);
        QVERIFY(Start(given));
        QCOMPARE(QFileInfo(m_app->Document()->PathName()), QFileInfo(given));
    }
    // Two real programs: the second start hands its list over to the first while the first shows
    // the tip of the day (its modal loop runs); SIGTERM then ends the first, the tip still open.
    void aSecondStartHandsItsFileOverAndSigtermEndsTheFirstWhateverDialogIsOpen()
    {
        const QProcessEnvironment env = test::ProgramProfile(m_dir->path(), "Tips=1\nAutoload=0\n");
        const QStringList power{u"--simulate-power"_s, m_dir->filePath(u"power.log"_s)};
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(ZEMBRA_PATH), power);
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT(
            (log += first.readAllStandardError()).contains("tip of the day shown"), 10000);

        const QString list = MakeList(m_dir->filePath(u"handed.zmb"_s), "handed over");
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(ZEMBRA_PATH), QStringList{list} + power);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        // The first instance opened the list: its alarm is armed.
        QTRY_VERIFY_WITH_TIMEOUT((log += first.readAllStandardError()).contains("armed for"),
                                 10000);
        first.terminate();
        QVERIFY(first.waitForFinished(3000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
    }
    // The first instance runs here, with its real message boxes; later starts are real processes.
    void handOversSurviveTheirQuestionsAndWaitForTheAlarmDialog()
    {
        CMessageBox::SetTestMode(false);
        QVERIFY(!CZembracfgApp::HandOverToRunningInstance({})); // this process is the first
        QVERIFY(Start());
        CZembracfgDoc& doc = *m_app->Document();
        const auto handOver = [this](const QString& file) {
            QProcess second;
            second.start(QStringLiteral(ZEMBRA_PATH),
                         {file, u"--simulate-power"_s, m_dir->filePath(u"power2.log"_s)});
            return second.waitForFinished(10000) && second.exitCode() == 0;
        };
        const QString one = MakeList(m_dir->filePath(u"one.zmb"_s), "one");
        const QString two = MakeList(m_dir->filePath(u"two.zmb"_s), "two");

        // "Save changes?" answered No: the box runs its own event loop while the socket of the
        // later start goes away.
        doc.SetModifiedFlag();
        QString asked;
        test::AnswerNextBox(QMessageBox::No, &asked);
        QVERIFY(handOver(one));
        QTRY_COMPARE(QFileInfo(doc.PathName()), QFileInfo(one));
        QCOMPARE(asked, u"Zapisać nową listę alarmów?"_s);

        // While an alarm is being edited the list is not replaced under it: it opens afterwards.
        bool edited = false;
        test::AnswerNextModal(
            [&](QWidget* open) {
                edited = true;
                QVERIFY(handOver(two));
                // The request has arrived; nothing changes while the dialog is up.
                QTRY_COMPARE(m_app->PendingHandOvers(), 1);
                QCOMPARE(QFileInfo(doc.PathName()), QFileInfo(one));
                QMetaObject::invokeMethod(open, "reject", Qt::QueuedConnection);
            },
            "zembra::CAlarmDialog");
        doc.OnNewAlarm();
        QVERIFY(edited);
        QTRY_COMPARE(QFileInfo(doc.PathName()), QFileInfo(two));
        QCOMPARE(doc.Scheduler().At(0)->m_strComment, std::string("two"));
    }
    void unsavedChangesSurviveAnEndWithoutQuestions()
    {
        CMessageBox::SetTestMode(false);
        const QString list = MakeList(m_dir->filePath(u"mine.zmb"_s), "mine");
        QVERIFY(Start(list));
        QCoreApplication::processEvents(); // the start-up's own questions (none here)
        // The list as the window holds it, changed and not saved.
        const QString changed = MakeList(m_dir->filePath(u"changed.zmb"_s), "changed, not saved");
        QVERIFY(m_app->Document()->OpenRecovered(changed, list));
        // The session ends without allowing a question: the work is kept aside.
        QVERIFY(m_app->OnCommitData(false));
        QVERIFY(QFileInfo::exists(CRecoveryStore::Folder() + u"/unsaved.zmb"_s));
        // With a question allowed, Cancel keeps the session (and the program) going.
        test::AnswerNextBox(QMessageBox::Cancel);
        QVERIFY(!m_app->OnCommitData(true));

        // The next start offers the copy back, under the list's own name, unsaved.
        m_app.reset();
        QString offer;
        test::AnswerNextBox(QMessageBox::Yes, &offer);
        QVERIFY(Start());
        QTRY_VERIFY(offer.contains(QDir::toNativeSeparators(list)));
        CZembracfgDoc& doc = *m_app->Document();
        QTRY_COMPARE(QFileInfo(doc.PathName()), QFileInfo(list));
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.Scheduler().At(0)->m_strComment, std::string("changed, not saved"));
        QVERIFY(!CRecoveryStore::Find());
    }
    void aListFromElsewhereStartsNoProgramUntilApproved_data()
    {
        QTest::addColumn<QString>("door");
        for (const char* door : {"command line", "autoload", "hand-over", "drop", "File > Open"}) {
            QTest::newRow(door) << QString::fromLatin1(door);
        }
    }
    // Through every door a list comes in, its programs are held back: the alarm rings, the bar
    // asks, and only after "Zezwól" does the program start, at the next occurrence.
    void aListFromElsewhereStartsNoProgramUntilApproved()
    {
        QFETCH(QString, door);
        const QString marker = m_dir->filePath(u"ran"_s);
        const QString list = ForeignList(m_dir->filePath(u"foreign.zmb"_s), marker);
        g_now = Seven(1) - kTicksPerHour;
        Clock::SetForTesting([] { return g_now; });
        CSettings().m_regProgramConsent = 1; // not the first start of this version
        CSettings().m_regLastCfg = door == u"autoload"_s ? list : QString();
        if (door == u"hand-over"_s) {
            QVERIFY(!CZembracfgApp::HandOverToRunningInstance({})); // this process is the first
        }
        QVERIFY(Start(door == u"command line"_s ? list : QString()));
        CZembracfgDoc& doc = *m_app->Document();
        if (door == u"hand-over"_s) {
            QProcess second;
            second.start(QStringLiteral(ZEMBRA_PATH), {list});
            QVERIFY(second.waitForFinished(10000));
        } else if (door == u"drop"_s) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(list)});
            // As a file manager drags it in: enter, then drop, on the list.
            QWidget* target = m_app->MainFrame()->View();
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(target, &enter);
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &drop);
        } else if (door == u"File > Open"_s) {
            CMessageBox::SetTestMode(false);
            test::AnswerNextModal(
                [&](QWidget* dialog) {
                    // Typed into the name box and entered, as a user does: selectFile() leaves the
                    // box alone while it has the focus, which now and then left the dialog open.
                    auto* name = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
                    name->setText(list);
                    QTest::keyClick(name, Qt::Key_Return);
                },
                "QFileDialog");
            QVERIFY(doc.FileOpen());
        }
        QTRY_COMPARE(QFileInfo(doc.PathName()), QFileInfo(list));
        CZembracfgView* view = m_app->MainFrame()->View();
        QVERIFY(view->IsConsentBarShown());
        QCOMPARE(view->ConsentBarPrograms().size(), 1);
        QVERIFY(!doc.IsModified());

        // The alarm rings, without its program.
        g_now = Seven(1) + kTicksPerSecond;
        doc.Resync();
        QTRY_VERIFY(
            AlerterMessages(*m_app->Alerter()).join(u' ').contains(u"Nie uruchomiono programu"_s));

        view->findChild<QPushButton*>(u"consentAllow"_s)->click();
        g_now = Seven(2) + kTicksPerSecond;
        doc.Resync();
        QTRY_COMPARE(FileLines(marker), QStringList{u"ran"_s});
        QVERIFY(!doc.IsModified());
    }
    void twoAlarmsAtOneSecondAreCarriedOutInOrder()
    {
        // A profile of its own: no tip of the day at start, no list reopened.
        const QProcessEnvironment env = test::ProgramProfile(m_dir->path(), "Tips=0\nAutoload=0\n");
        const FileTime firing = (GetSystemTimeAsFileTime() / kTicksPerSecond + 3) * kTicksPerSecond;
        const SystemTime local = UtcToLocalSystemTime(firing).value();
        // The timer is armed for the first; the second, at the same second, is carried out first,
        // and its standby is made once, after every other action (no "missed" alarm).
        const QString list = m_dir->filePath(u"alarms.zmb"_s);
        QVERIFY(test::WriteList(list,
                                {test::Alarm(local, "first"),
                                 test::Alarm(local, "second", kFrequencyEveryday, kTypeStandby)}));
        const QString log = m_dir->filePath(u"power.log"_s);
        QProcess zembra;
        zembra.setProcessEnvironment(env);
        zembra.start(QStringLiteral(ZEMBRA_PATH), {list, u"--simulate-power"_s, log});
        QByteArray errors;
        QTRY_VERIFY_WITH_TIMEOUT(
            (errors += zembra.readAllStandardError()).contains("carried out: first"), 20000);
        const qsizetype second = errors.indexOf("carried out: second");
        QVERIFY(second >= 0);
        QVERIFY(second < errors.indexOf("carried out: first"));
        QTRY_COMPARE(FileLines(log).filter(u" standby"_s).size(), 1);
        const QStringList requests = FileLines(log);
        QCOMPARE(requests.filter(u" hibernate"_s).size() + requests.filter(u" shutdown"_s).size(),
                 0);

        // Still running, armed for the everyday standby's next occurrence.
        const SystemTime tomorrow = UtcToLocalSystemTime(firing + kTicksPerDay).value();
        const QByteArray armed =
            "armed for " + QByteArray::fromStdString(FormatIso(tomorrow, false));
        QTRY_VERIFY2_WITH_TIMEOUT((errors += zembra.readAllStandardError()).contains(armed),
                                  errors.constData(), 5000);
        zembra.terminate();
        QVERIFY(zembra.waitForFinished(10000));
        QCOMPARE(zembra.exitStatus(), QProcess::NormalExit);
        QCOMPARE(zembra.exitCode(), 0);
    }

private:
    // The application of this process, started as main() starts it (no tip of the day).
    bool Start(const QString& file = {})
    {
        m_app.reset();
        m_app = std::make_unique<CZembracfgApp>();
        CZembracfgApp::Options options;
        options.file = file;
        options.simulatePowerLog = m_dir->filePath(u"power.log"_s);
        options.noTips = true;
        return m_app->InitInstance(options);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CZembracfgApp> m_app;
};

int main(int argc, char** argv)
{
    // Keep the program's sockets, locks and autostart entries out of the user's folders.
    QTemporaryDir home; // made for its owner only, as a runtime folder must be
    qputenv("XDG_CONFIG_HOME", home.filePath(u"config"_s).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(u"data"_s).toUtf8()); // the recovery copies
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    qputenv("TMPDIR", home.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_app.moc"
