// Start-up of the application: which window shows, which list opens, and a second start that
// hands its file over to the instance already running.

#include "CAlerterThread.h"
#include "CAlerterWindow.h"
#include "CMainFrame.h"
#include "CZembracfgView.h"
#include "time/Clock.h"
#include "CRecoveryStore.h"
#include "CMessageBox.h"
#include "CSettings.h"
#include "CZembracfgApp.h"
#include "CZembracfgDoc.h"
#include "ModalAnswer.h"
#include "ProgramProfile.h"
#include "model/CScheduler.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QUrl>
#include <QTemporaryDir>
#include <QTest>

using namespace zembra;

namespace {


// A list of one everyday alarm at 07:00 (with a program to start, when given).
QString MakeList(const QString& path, const char* comment, const std::string& program = {})
{
    CScheduler schedule;
    auto alarm = std::make_unique<CAlarm>();
    alarm->m_strFrequency = kFrequencyEveryday;
    alarm->m_strType = kTypeWakeup;
    alarm->m_time = SystemTime{2030, 1, 0, 1, 7, 0, 0, 0};
    alarm->m_bActive = true;
    alarm->m_strComment = comment;
    alarm->m_strProgram = program;
    alarm->m_bProgramActive = !program.empty();
    schedule.AddAlarm(std::move(alarm));
    schedule.SaveToFile(path.toStdString());
    return path;
}

} // namespace

class TestApp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void hideOnStartupNeverHidesIntoNowhere();
    void autoloadWithoutAListOpensNothing_data();
    void autoloadWithoutAListOpensNothing();
    void autoloadOpensTheLastListAndTheCommandLineWins();
    void secondStartHandsItsFileToTheFirst();
    void handOversSurviveTheirQuestionsAndWaitForTheAlarmDialog();
    void sigtermEndsTheProgramWhateverDialogIsOpen();
    void unsavedChangesSurviveAnEndWithoutQuestions();
    void aListFromElsewhereStartsNoProgramUntilApproved_data();
    void aListFromElsewhereStartsNoProgramUntilApproved();
    void theFirstStartApprovesTheListItReopens();

private:
    std::unique_ptr<CZembracfgApp> Start(const QString& file = {});

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestApp::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    CSettings::SetStorePath(m_dir->filePath(QStringLiteral("settings.ini")));
    CMessageBox::SetTestMode(true);
    CMessageBox::TakeShownTexts();
    CSettings settings;
    settings.m_regTips = 0;
}

void TestApp::cleanup()
{
    CSettings::SetStorePath({});
    CMessageBox::SetTestMode(false);
    m_dir.reset();
}

std::unique_ptr<CZembracfgApp> TestApp::Start(const QString& file)
{
    auto app = std::make_unique<CZembracfgApp>();
    CZembracfgApp::Options options;
    options.file = file;
    options.simulatePowerLog = m_dir->filePath(QStringLiteral("power.log"));
    options.noTips = true;
    if (!app->InitInstance(options)) {
        return nullptr;
    }
    return app;
}

void TestApp::hideOnStartupNeverHidesIntoNowhere()
{
    {
        CSettings settings;
        settings.m_regHideOnStartup = 1;
    }
    const auto app = Start();
    QVERIFY(app);
    // The offscreen desktop has no tray: the window stays reachable.
    QVERIFY(!app->MainFrame()->HasTray());
    QVERIFY(app->MainFrame()->isVisible());
}

void TestApp::autoloadWithoutAListOpensNothing_data()
{
    QTest::addColumn<QString>("last");
    QTest::newRow("none stored") << QString();
    QTest::newRow("stored, but gone: said, and kept for later") << QStringLiteral("gone.zmb");
}

void TestApp::autoloadWithoutAListOpensNothing()
{
    QFETCH(QString, last);
    const QString missing = last.isEmpty() ? QString() : m_dir->filePath(last);
    {
        CSettings settings;
        settings.m_regLastCfg = missing;
    }
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

void TestApp::autoloadOpensTheLastListAndTheCommandLineWins()
{
    const QString last = MakeList(m_dir->filePath(QStringLiteral("last.zmb")), "last");
    const QString given = MakeList(m_dir->filePath(QStringLiteral("given.zmb")), "given");
    {
        CSettings settings;
        settings.m_regLastCfg = last;
    }
    {
        const auto app = Start();
        QCOMPARE(QFileInfo(app->Document()->PathName()), QFileInfo(last));
    }
    const auto app = Start(given);
    QCOMPARE(QFileInfo(app->Document()->PathName()), QFileInfo(given));
    QCOMPARE(app->Document()->Scheduler().At(0)->m_strComment, std::string("given"));
}

void TestApp::secondStartHandsItsFileToTheFirst()
{
    const QProcessEnvironment env = test::ProgramProfile(m_dir->path(), "Tips=0\nAutoload=0\n");
    const QStringList power{QStringLiteral("--simulate-power"), m_dir->filePath(QStringLiteral("power.log"))};

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(ZEMBRA_PATH), power);
    QVERIFY(first.waitForStarted());
    QByteArray firstLog;
    QTRY_VERIFY_WITH_TIMEOUT((firstLog += first.readAllStandardError()).contains("no alarm pending"), 10000);

    const QString list = MakeList(m_dir->filePath(QStringLiteral("handed.zmb")), "handed over");
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(ZEMBRA_PATH), QStringList{list} + power);
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    // The first instance opened the list: its alarm is armed.
    QTRY_VERIFY_WITH_TIMEOUT((firstLog += first.readAllStandardError()).contains("armed for"), 10000);
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 0);
}

// The first instance runs here, with its real message boxes; later starts are real processes.
void TestApp::handOversSurviveTheirQuestionsAndWaitForTheAlarmDialog()
{
    CMessageBox::SetTestMode(false);
    QVERIFY(!CZembracfgApp::HandOverToRunningInstance({})); // this process is the first
    const auto app = Start();
    QVERIFY(app);
    CZembracfgDoc& doc = *app->Document();
    const auto handOver = [this](const QString& file) {
        QProcess second;
        second.start(QStringLiteral(ZEMBRA_PATH), {file, QStringLiteral("--simulate-power"),
                                                    m_dir->filePath(QStringLiteral("power2.log"))});
        return second.waitForFinished(10000) && second.exitCode() == 0;
    };
    const QString one = MakeList(m_dir->filePath(QStringLiteral("one.zmb")), "one");
    const QString two = MakeList(m_dir->filePath(QStringLiteral("two.zmb")), "two");

    // "Save changes?" answered No, then Cancel; then a file that cannot be opened. Each box
    // runs its own event loop while the socket of the later start goes away.
    doc.SetModifiedFlag();
    QString asked;
    test::AnswerNextBox(QMessageBox::No, &asked);
    QVERIFY(handOver(one));
    QTRY_COMPARE(QFileInfo(doc.PathName()), QFileInfo(one));
    QCOMPARE(asked, QStringLiteral("Zapisać nową listę alarmów?"));

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
    QVERIFY(handOver(m_dir->filePath(QStringLiteral("missing.zmb"))));
    QTRY_VERIFY(cannot.contains(QStringLiteral("missing.zmb")));

    // While an alarm is being edited the list is not replaced under it: it opens afterwards.
    bool edited = false;
    test::AnswerNextModal([&](QWidget* open) {
        edited = true;
        QVERIFY(handOver(two));
        // The request has arrived; nothing changes while the dialog is up.
        QTRY_COMPARE(app->PendingHandOvers(), 1);
        QCOMPARE(QFileInfo(doc.PathName()), QFileInfo(one));
        QMetaObject::invokeMethod(open, "reject", Qt::QueuedConnection);
    }, "zembra::CAlarmDialog");
    doc.OnNewAlarm();
    QVERIFY(edited);
    QTRY_COMPARE(QFileInfo(doc.PathName()), QFileInfo(two));
    QCOMPARE(doc.Scheduler().At(0)->m_strComment, std::string("two"));
    app->ExitInstance();
}

void TestApp::sigtermEndsTheProgramWhateverDialogIsOpen()
{
    QProcess zembra;
    zembra.setProcessEnvironment(test::ProgramProfile(m_dir->path(), "Tips=1\nAutoload=0\n"));
    zembra.start(QStringLiteral(ZEMBRA_PATH), {QStringLiteral("--simulate-power"),
                                               m_dir->filePath(QStringLiteral("power.log"))});
    QVERIFY(zembra.waitForStarted());
    // The tip of the day is up (its modal loop runs) once it has loaded its tips.
    QByteArray log;
    QTRY_VERIFY_WITH_TIMEOUT((log += zembra.readAllStandardError()).contains("tip of the day shown"), 10000);
    zembra.terminate();
    QVERIFY(zembra.waitForFinished(3000));
    QCOMPARE(zembra.exitStatus(), QProcess::NormalExit);
    QCOMPARE(zembra.exitCode(), 0);
}

void TestApp::unsavedChangesSurviveAnEndWithoutQuestions()
{
    CMessageBox::SetTestMode(false);
    const QString list = MakeList(m_dir->filePath(QStringLiteral("mine.zmb")), "mine");
    {
        const auto app = Start(list);
        QVERIFY(app);
        QCoreApplication::processEvents(); // the start-up's own questions (none here)
        CScheduler changed;
        changed.LoadFromFile(list.toStdString());
        changed.At(0)->m_strComment = "changed, not saved";
        const QString copy = m_dir->filePath(QStringLiteral("changed.zmb"));
        changed.SaveToFile(copy.toStdString());
        QVERIFY(app->Document()->OpenRecovered(copy, list));
        // The session ends without allowing a question: the work is kept aside.
        QVERIFY(app->OnCommitData(false));
        QVERIFY(QFileInfo::exists(CRecoveryStore::Folder() + QStringLiteral("/unsaved.zmb")));
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

namespace {

FileTime g_now = 0;

// A list made under another profile whose alarm starts a program that leaves `marker`.
QString ForeignList(const QString& path, const QString& marker)
{
    return MakeList(path, "obcy", "sh -c 'echo ran >> \"" + marker.toStdString() + "\"'");
}

// 07:00 of a day of January 2030, when the everyday alarm rings.
FileTime Seven(int day)
{
    return LocalSystemTimeToUtc(SystemTime{2030, 1, 0, static_cast<std::uint16_t>(day), 7, 0, 0, 0}).value();
}

QStringList AlerterMessages(CAlerterThread& alerter)
{
    QStringList messages;
    CAlerterWindow* window = alerter.Window();
    QMetaObject::invokeMethod(window, [&] { messages = window->Messages(); }, Qt::BlockingQueuedConnection);
    return messages;
}

} // namespace

void TestApp::aListFromElsewhereStartsNoProgramUntilApproved_data()
{
    QTest::addColumn<QString>("door");
    for (const char* door : {"command line", "autoload", "hand-over", "drop", "File > Open"}) {
        QTest::newRow(door) << QString::fromLatin1(door);
    }
}

// Through every door a list comes in, its programs are held back: the alarm rings, the bar asks,
// and only after "Zezwól" does the program start, at the next occurrence.
void TestApp::aListFromElsewhereStartsNoProgramUntilApproved()
{
    QFETCH(QString, door);
    const QString marker = m_dir->filePath(QStringLiteral("ran"));
    const QString list = ForeignList(m_dir->filePath(QStringLiteral("foreign.zmb")), marker);
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
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
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
    QTRY_VERIFY(AlerterMessages(*app->Alerter()).join(u' ').contains(QStringLiteral("Nie uruchomiono programu")));

    view->findChild<QPushButton*>(QStringLiteral("consentAllow"))->click();
    g_now = Seven(2) + kTicksPerSecond;
    doc.Resync();
    QTRY_COMPARE(QFile::exists(marker), true);
    QTRY_COMPARE(QString::fromUtf8([&] {
                     QFile file(marker);
                     return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
                 }()),
                 QStringLiteral("ran\n"));
    QVERIFY(!doc.IsModified());
    app->ExitInstance();
    Clock::SetForTesting({});
}

void TestApp::theFirstStartApprovesTheListItReopens()
{
    const QString list = ForeignList(m_dir->filePath(QStringLiteral("mine.zmb")),
                                     m_dir->filePath(QStringLiteral("ran")));
    {
        CSettings settings;
        settings.m_regLastCfg = list; // ProgramConsent is not set: an earlier version ran here
    }
    const auto app = Start();
    QVERIFY(!app->MainFrame()->View()->IsConsentBarShown());
    QCOMPARE(app->Settings().m_regProgramConsent.Get(), 1u);
}

int main(int argc, char** argv)
{
    // Keep the program's sockets, locks and autostart entries out of the user's folders.
    QTemporaryDir home;
    QFile::setPermissions(home.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    qputenv("TMPDIR", home.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_app.moc"
