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
#include "model/CScheduler.h"
#include "time/Clock.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

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
        CSettings settings;
        settings.m_regTips = 0;
    }
    void cleanup()
    {
        CSettings::SetStorePath({});
        CMessageBox::SetTestMode(false);
        m_dir.reset();
    }
    void hideOnStartupNeverHidesIntoNowhere()
    {
        CSettings().m_regHideOnStartup = 1;
        const auto app = Start();
        QVERIFY(app);
        // The offscreen desktop has no tray: the window stays reachable.
        QVERIFY(!app->MainFrame()->HasTray());
        QVERIFY(app->MainFrame()->isVisible());
    }
    void autoloadWithoutAListOpensNothing_data()
    {
        QTest::addColumn<QString>("last");
        QTest::newRow("none stored") << QString();
        QTest::newRow("stored, but gone: said, and kept for later") << u"gone.zmb"_s;
    }
    void autoloadWithoutAListOpensNothing()
    {
        QFETCH(QString, last);
        const QString missing = last.isEmpty() ? QString() : m_dir->filePath(last);
        CSettings().m_regLastCfg = missing;
        const auto app = Start();
        QVERIFY(app);
        QVERIFY(app->Document()->PathName().isEmpty());
        QCOMPARE(app->Document()->Scheduler().Count(), 0u);
        const QStringList shown = CMessageBox::TakeShownTexts();
        QCOMPARE(shown.size(), missing.isEmpty() ? 0 : 1);
        if (!missing.isEmpty()) {
            QVERIFY(shown.first().contains(QDir::toNativeSeparators(missing)));
        }
        QCOMPARE(app->Settings().m_regLastCfg.Get(), missing);
    }
    void autoloadOpensTheLastListAndTheCommandLineWins()
    {
        const QString last = MakeList(m_dir->filePath(u"last.zmb"_s), "last");
        const QString given = MakeList(m_dir->filePath(u"given.zmb"_s), "given");
        CSettings().m_regLastCfg = last;
        {
            const auto app = Start();
            QCOMPARE(QFileInfo(app->Document()->PathName()), QFileInfo(last));
        }
        const auto app = Start(given);
        QCOMPARE(QFileInfo(app->Document()->PathName()), QFileInfo(given));
        QCOMPARE(app->Document()->Scheduler().At(0)->m_strComment, std::string("given"));
    }
    void secondStartHandsItsFileToTheFirst()
    {
        const QProcessEnvironment env = test::ProgramProfile(m_dir->path(), "Tips=0\nAutoload=0\n");
        const QStringList power{u"--simulate-power"_s, m_dir->filePath(u"power.log"_s)};

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(ZEMBRA_PATH), power);
        QVERIFY(first.waitForStarted());
        QByteArray firstLog;
        QTRY_VERIFY_WITH_TIMEOUT(
            (firstLog += first.readAllStandardError()).contains("no alarm pending"), 10000);

        const QString list = MakeList(m_dir->filePath(u"handed.zmb"_s), "handed over");
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(ZEMBRA_PATH), QStringList{list} + power);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        // The first instance opened the list: its alarm is armed.
        QTRY_VERIFY_WITH_TIMEOUT((firstLog += first.readAllStandardError()).contains("armed for"),
                                 10000);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitCode(), 0);
    }
    // The first instance runs here, with its real message boxes; later starts are real processes.
    void handOversSurviveTheirQuestionsAndWaitForTheAlarmDialog()
    {
        CMessageBox::SetTestMode(false);
        QVERIFY(!CZembracfgApp::HandOverToRunningInstance({})); // this process is the first
        const auto app = Start();
        QVERIFY(app);
        CZembracfgDoc& doc = *app->Document();
        const auto handOver = [this](const QString& file) {
            QProcess second;
            second.start(QStringLiteral(ZEMBRA_PATH),
                         {file, u"--simulate-power"_s, m_dir->filePath(u"power2.log"_s)});
            return second.waitForFinished(10000) && second.exitCode() == 0;
        };
        const QString one = MakeList(m_dir->filePath(u"one.zmb"_s), "one");
        const QString two = MakeList(m_dir->filePath(u"two.zmb"_s), "two");

        // "Save changes?" answered No, then Cancel; then a file that cannot be opened. Each box
        // runs its own event loop while the socket of the later start goes away.
        doc.SetModifiedFlag();
        QString asked;
        test::AnswerNextBox(QMessageBox::No, &asked);
        QVERIFY(handOver(one));
        QTRY_COMPARE(QFileInfo(doc.PathName()), QFileInfo(one));
        QCOMPARE(asked, u"Zapisać nową listę alarmów?"_s);

        doc.SetModifiedFlag();
        QString cancelled;
        test::AnswerNextBox(QMessageBox::Cancel, &cancelled);
        QVERIFY(handOver(two));
        QTRY_VERIFY(!cancelled.isEmpty());
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(QFileInfo(doc.PathName()), QFileInfo(one));
        doc.SetModifiedFlag(false);

        QString cannot;
        test::AnswerNextBox(QMessageBox::Ok, &cannot);
        QVERIFY(handOver(m_dir->filePath(u"missing.zmb"_s)));
        QTRY_VERIFY(cannot.contains(u"missing.zmb"_s));

        // While an alarm is being edited the list is not replaced under it: it opens afterwards.
        bool edited = false;
        test::AnswerNextModal(
            [&](QWidget* open) {
                edited = true;
                QVERIFY(handOver(two));
                // The request has arrived; nothing changes while the dialog is up.
                QTRY_COMPARE(app->PendingHandOvers(), 1);
                QCOMPARE(QFileInfo(doc.PathName()), QFileInfo(one));
                QMetaObject::invokeMethod(open, "reject", Qt::QueuedConnection);
            },
            "zembra::CAlarmDialog");
        doc.OnNewAlarm();
        QVERIFY(edited);
        QTRY_COMPARE(QFileInfo(doc.PathName()), QFileInfo(two));
        QCOMPARE(doc.Scheduler().At(0)->m_strComment, std::string("two"));
        app->ExitInstance();
    }
    void sigtermEndsTheProgramWhateverDialogIsOpen()
    {
        QProcess zembra;
        zembra.setProcessEnvironment(test::ProgramProfile(m_dir->path(), "Tips=1\nAutoload=0\n"));
        zembra.start(QStringLiteral(ZEMBRA_PATH),
                     {u"--simulate-power"_s, m_dir->filePath(u"power.log"_s)});
        QVERIFY(zembra.waitForStarted());
        // The tip of the day is up (its modal loop runs) once it has loaded its tips.
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT(
            (log += zembra.readAllStandardError()).contains("tip of the day shown"), 10000);
        zembra.terminate();
        QVERIFY(zembra.waitForFinished(3000));
        QCOMPARE(zembra.exitStatus(), QProcess::NormalExit);
        QCOMPARE(zembra.exitCode(), 0);
    }
    void unsavedChangesSurviveAnEndWithoutQuestions()
    {
        CMessageBox::SetTestMode(false);
        const QString list = MakeList(m_dir->filePath(u"mine.zmb"_s), "mine");
        {
            const auto app = Start(list);
            QVERIFY(app);
            QCoreApplication::processEvents(); // the start-up's own questions (none here)
            CScheduler changed;
            changed.LoadFromFile(list.toStdString());
            changed.At(0)->m_strComment = "changed, not saved";
            const QString copy = m_dir->filePath(u"changed.zmb"_s);
            changed.SaveToFile(copy.toStdString());
            QVERIFY(app->Document()->OpenRecovered(copy, list));
            // The session ends without allowing a question: the work is kept aside.
            QVERIFY(app->OnCommitData(false));
            QVERIFY(QFileInfo::exists(CRecoveryStore::Folder() + u"/unsaved.zmb"_s));
            // With a question allowed, Cancel keeps the session (and the program) going.
            test::AnswerNextBox(QMessageBox::Cancel);
            QVERIFY(!app->OnCommitData(true));
        }
        // The next start offers the copy back, under the list's own name, unsaved.
        QString offer;
        test::AnswerNextBox(QMessageBox::Yes, &offer);
        const auto app = Start();
        QTRY_VERIFY(!offer.isEmpty());
        QVERIFY(offer.contains(QDir::toNativeSeparators(list)));
        CZembracfgDoc& doc = *app->Document();
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
        {
            CSettings settings;
            settings.m_regProgramConsent = 1; // not the first start of this version
            if (door == QLatin1String("autoload")) {
                settings.m_regLastCfg = list;
            }
        }
        std::unique_ptr<CZembracfgApp> app;
        if (door == QLatin1String("command line")) {
            app = Start(list);
        } else {
            if (door == QLatin1String("hand-over")) {
                QVERIFY(!CZembracfgApp::HandOverToRunningInstance({}));
            }
            app = Start();
        }
        QVERIFY(app);
        CZembracfgDoc& doc = *app->Document();
        if (door == QLatin1String("hand-over")) {
            QProcess second;
            second.start(QStringLiteral(ZEMBRA_PATH), {list});
            QVERIFY(second.waitForFinished(10000));
        } else if (door == QLatin1String("drop")) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(list)});
            // As a file manager drags it in: enter, then drop, on the list.
            QWidget* target = app->MainFrame()->View();
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(target, &enter);
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &drop);
        } else if (door == QLatin1String("File > Open")) {
            CMessageBox::SetTestMode(false);
            test::AnswerNextModal(
                [&](QWidget* dialog) {
                    static_cast<QFileDialog*>(dialog)->selectFile(list);
                    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
                },
                "QFileDialog");
            QVERIFY(doc.FileOpen());
        }
        QTRY_COMPARE(QFileInfo(doc.PathName()), QFileInfo(list));
        CZembracfgView* view = app->MainFrame()->View();
        QVERIFY(view->IsConsentBarShown());
        QCOMPARE(view->ConsentBarPrograms().size(), 1);
        QVERIFY(!doc.IsModified());

        // The alarm rings, without its program.
        g_now = Seven(1) + kTicksPerSecond;
        doc.Resync();
        QTRY_VERIFY(
            AlerterMessages(*app->Alerter()).join(u' ').contains(u"Nie uruchomiono programu"_s));

        view->findChild<QPushButton*>(u"consentAllow"_s)->click();
        g_now = Seven(2) + kTicksPerSecond;
        doc.Resync();
        QTRY_COMPARE(QFile::exists(marker), true);
        QTRY_COMPARE(QString::fromUtf8([&] {
                         QFile file(marker);
                         return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
                     }()),
                     u"ran\n"_s);
        QVERIFY(!doc.IsModified());
        app->ExitInstance();
        Clock::SetForTesting({});
    }
    void theFirstStartApprovesTheListItReopens()
    {
        const QString list = ForeignList(m_dir->filePath(u"mine.zmb"_s), m_dir->filePath(u"ran"_s));
        CSettings().m_regLastCfg = list; // ProgramConsent is not set: an earlier version ran here
        const auto app = Start();
        QVERIFY(!app->MainFrame()->View()->IsConsentBarShown());
        QCOMPARE(app->Settings().m_regProgramConsent.Get(), 1u);
    }
    void twoAlarmsAtOneSecondAreCarriedOutInOrder()
    {
        const QTemporaryDir& dir = *m_dir;
        // A profile of its own: no tip of the day at start, no list reopened.
        const QProcessEnvironment env = test::ProgramProfile(dir.path(), "Tips=0\nAutoload=0\n");

        const FileTime now = GetSystemTimeAsFileTime();
        const FileTime firing = (now / kTicksPerSecond + 3) * kTicksPerSecond;
        const SystemTime local = UtcToLocalSystemTime(firing).value();
        const QString marker = dir.filePath(u"ran"_s);
        const auto alarm = [&](const char* frequency, const char* type, const char* name,
                               const char* message) {
            CAlarm made = test::Alarm(local, name, frequency, type);
            made.m_strMessage = message;
            made.m_bMessageActive = true;
            made.m_strProgram =
                "sh -c 'echo " + std::string(name) + " >> \"" + marker.toStdString() + "\"'";
            made.m_bProgramActive = true;
            return made;
        };
        // The timer is armed for the first; the second, at the same second, is carried out first,
        // and its standby is made once, after every other action (no "missed" alarm).
        const QString list = dir.filePath(u"alarms.zmb"_s);
        QVERIFY(test::WriteList(
            list, {alarm(kFrequencyOnce, kTypeWakeup, "first", "Drugi alarm"),
                   alarm(kFrequencyEveryday, kTypeStandby, "second", "Koniec pracy")}));
        const QString log = dir.filePath(u"power.log"_s);

        // The list is the user's own: its programs are approved, as saving it would.
        QProcess approve;
        approve.setProcessEnvironment(env);
        approve.start(QStringLiteral(ZEMBRACTL_PATH), {u"approve"_s, list, u"--yes"_s});
        QVERIFY(approve.waitForFinished(5000));
        QCOMPARE(approve.exitCode(), 0);

        QProcess zembra;
        zembra.setProcessEnvironment(env);
        zembra.start(QStringLiteral(ZEMBRA_PATH), {list, u"--simulate-power"_s, log});
        QVERIFY(zembra.waitForStarted());

        QTRY_COMPARE_WITH_TIMEOUT(FileLines(marker).size(), 2, 20000);
        // Both programs ran; they run side by side, so the order is read from the log instead.
        QStringList ran = FileLines(marker);
        ran.sort();
        QCOMPARE(ran, (QStringList{u"first"_s, u"second"_s}));

        QByteArray errors;
        QTRY_VERIFY_WITH_TIMEOUT(
            (errors += zembra.readAllStandardError()).contains("pop-up: \"1: Koniec pracy\"")
                || errors.contains("pop-up: \"2: Koniec pracy\""),
            10000);
        const qsizetype second = errors.indexOf("carried out: second");
        QVERIFY(second >= 0);
        QVERIFY(second < errors.indexOf("carried out: first"));
        const QStringList requests = FileLines(log);
        QCOMPARE(requests.filter(u" standby"_s).size(), 1);
        QCOMPARE(requests.filter(u" hibernate"_s).size() + requests.filter(u" shutdown"_s).size(),
                 0);

        // Still running, armed for the everyday standby's next occurrence.
        QCOMPARE(zembra.state(), QProcess::Running);
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
    std::unique_ptr<CZembracfgApp> Start(const QString& file = {})
    {
        auto app = std::make_unique<CZembracfgApp>();
        CZembracfgApp::Options options;
        options.file = file;
        options.simulatePowerLog = m_dir->filePath(u"power.log"_s);
        options.noTips = true;
        if (!app->InitInstance(options)) {
            return nullptr;
        }
        return app;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

int main(int argc, char** argv)
{
    // Keep the program's sockets, locks and autostart entries out of the user's folders.
    QTemporaryDir home;
    QFile::setPermissions(home.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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
