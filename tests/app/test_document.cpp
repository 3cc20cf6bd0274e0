// The alarm document: every change re-arms the wake timer for the right alarm and token, saving
// and opening lose nothing on failure, and the unsaved-changes question is honoured. The timer is
// a recording fake, the clock is fixed, and every question and file dialog is answered in advance.

#include "CAlarmDialog.h"
#include "CAlarmList.h"
#include "CMessageBox.h"
#include "CSettings.h"
#include "CAlarmPropDialog.h"
#include "CStatusDIalog.h"
#include "CTimeZoneWatcher.h"
#include "ModalAnswer.h"
#include "QuietTimer.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "INextAlarmSink.h"
#include "time/Clock.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <mutex>
#include <optional>

using namespace zembra;

namespace {

FileTime g_now = 0;

struct TimerLog {
    std::mutex mutex;
    int arms = 0;
    std::optional<FileTime> armedFor; // empty when cancelled
    WakeCapability capability = WakeCapability::Granted();
};

// Records each arming; the log outlives the timer, which CPower owns.
class FakeTimer final : public test::QuietTimer {
public:
    explicit FakeTimer(std::shared_ptr<TimerLog> log)
        : m_log(std::move(log))
    {
    }
    bool Arm(FileTime due) override
    {
        const std::lock_guard lock(m_log->mutex);
        ++m_log->arms;
        m_log->armedFor = due;
        return true;
    }
    bool Cancel() override
    {
        const std::lock_guard lock(m_log->mutex);
        m_log->armedFor.reset();
        return true;
    }
    WakeCapability Capability() const override
    {
        const std::lock_guard lock(m_log->mutex);
        return m_log->capability;
    }
    std::string LastError() const override { return "fake: arming refused"; }

private:
    std::shared_ptr<TimerLog> m_log;
};

class FakeSink final : public INextAlarmSink {
public:
    void SetNextAlarm(const std::optional<CAlarm>& next, FileTime) override { m_next = next; }
    std::optional<CAlarm> m_next;
};

// Local time on 2030-03-04, a Monday, or on a later day of that week.
SystemTime Local(int hour, int minute, int day = 4)
{
    const auto u = [](int v) { return static_cast<std::uint16_t>(v); };
    return SystemTime{2030, 3, u(day - 3), u(day), u(hour), u(minute), 0, 0};
}

FileTime Utc(int hour, int minute, int day = 4)
{
    return LocalSystemTimeToUtc(Local(hour, minute, day)).value();
}

CAlarm Alarm(int hour, int minute, const char* comment, const char* frequency = kFrequencyOnce,
             const char* type = kTypeWakeup)
{
    CAlarm alarm;
    alarm.m_time = Local(hour, minute);
    alarm.m_strComment = comment;
    alarm.m_strFrequency = frequency;
    alarm.m_strType = type;
    alarm.m_bActive = true;
    return alarm;
}

void WriteList(const QString& path, const std::vector<CAlarm>& alarms)
{
    CScheduler list;
    for (const CAlarm& alarm : alarms) {
        list.AddAlarm(std::make_unique<CAlarm>(alarm));
    }
    QCOMPARE(list.SaveToFile(QFile::encodeName(path).toStdString()), 0);
}

int CountInFile(const QString& path)
{
    CScheduler list;
    return list.LoadFromFile(QFile::encodeName(path).toStdString()) == 0
               ? static_cast<int>(list.Count())
               : -1;
}

// A dialog runner that fills in a one-time wake-up alarm and presses OK (or Cancel).
CZembracfgDoc::DialogRunner Answer(int hour, int minute, const QString& comment,
                                   int result = QDialog::Accepted)
{
    return [=](CAlarmDialog& dialog) {
        dialog.m_dtDate = QDate(2030, 3, 4);
        dialog.m_dtTime = QTime(hour, minute);
        dialog.m_strComment = comment;
        dialog.m_strFrequency = QStringLiteral("once");
        dialog.m_strType = QStringLiteral("wakeup");
        return result;
    };
}

WakeEvent Expiry(std::uint64_t token, FileTime armedFor)
{
    WakeEvent expired;
    expired.kind = WakeEvent::Kind::Expired;
    expired.token = token;
    expired.armedForUtc = armedFor;
    return expired;
}

bool WriteText(const QString& path, const char* text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) > 0;
}

// Message boxes and file dialogs run for real (their modal loops) while one lives.
struct RealBoxes {
    RealBoxes() { CMessageBox::SetTestMode(false); }
    ~RealBoxes() { CMessageBox::SetTestMode(true); }
    RealBoxes(const RealBoxes&) = delete;
    RealBoxes& operator=(const RealBoxes&) = delete;
};

using Armed = std::pair<FileTime, quint64>;
const Armed kCancelled{-1, 0};

struct Env {
    Env()
        : power(std::make_unique<FakeTimer>(timer))
    {
        power.Init();
        doc.SetView(&view);
        doc.OnNewDocument();
    }
    // The moment the timer is armed for and the token CPower will deliver with it.
    Armed Current()
    {
        const std::lock_guard lock(timer->mutex);
        return {timer->armedFor.value_or(-1), power.PendingToken()};
    }
    int Arms()
    {
        const std::lock_guard lock(timer->mutex);
        return timer->arms;
    }
    const CAlarm* At(std::size_t i) const { return doc.Scheduler().At(i); }

    std::shared_ptr<TimerLog> timer = std::make_shared<TimerLog>();
    CPower power;
    CSettings settings;
    FakeSink sink;
    CZembracfgView view;
    CZembracfgDoc doc{power, settings, nullptr, &sink};
};

void Pick(CZembracfgView& view, int row)
{
    view.List()->SelectRow(row);
    view.ShowAlarmProperties(view.AlarmAt(row));
}

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void newAlarmArmsEarliest();
    void editAndDelete();
    void switchingOnAndOff();
    void saveAndOpenRoundTrip();
    void unsavedChanges_data();
    void unsavedChanges();
    void fileFailuresKeepTheList();
    void recentFiles();
    void saveAsWithoutTheExtensionAsksBeforeReplacing();
    void aWriteProtectedListIsRefusedWithItsName();
    void expiryHandsOverDueAlarms();
    void aChangeRightAfterTheMomentRingsTheDueAlarmOnce();
    void lateAlarmsMakeNoPowerRequest();
    void aNewTimeZoneRearmsForTheWallClockTime();
    void thePanelSaysWhetherTheAlarmWakesTheComputer();
    void programsTheUserTypedOrSavedRunAndOthersAreHeldBack();
    void aListChangedOnDiskIsReadAgainKeepingThePickedAlarm();
    void aChangeOnDiskBesideUnsavedChangesIsOffered_data();
    void aChangeOnDiskBesideUnsavedChangesIsOffered();
    void aSaveOverAFileChangedOnDiskAsksFirst_data();
    void aSaveOverAFileChangedOnDiskAsksFirst();
    void aListWhoseFileWentAwayStaysUnsaved();

private:
    QString File(const QString& name) const { return m_dir->filePath(name); }
    bool Open(const std::vector<CAlarm>& alarms)
    {
        WriteList(File(QStringLiteral("l.zmb")), alarms);
        return m_env->doc.OnOpenDocument(File(QStringLiteral("l.zmb")));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Env> m_env;
    int m_storeIndex = 0;
};

void DocumentTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    CSettings::SetStorePath(File(QStringLiteral("store%1.ini").arg(++m_storeIndex)));
    g_now = Utc(8, 0);
    CMessageBox::TakeShownTexts();
    m_env = std::make_unique<Env>();
}

void DocumentTest::cleanup()
{
    m_env.reset();
    CMessageBox::SetNextAnswers({});
    CFileDialog::SetNextFileNames({});
}

void DocumentTest::newAlarmArmsEarliest()
{
    Env& e = *m_env;
    QCOMPARE(e.Current(), kCancelled);

    // The frame disables Exit while the dialog runs.
    QSignalSpy dialogOpen(&e.doc, &CZembracfgDoc::DialogOpenChanged);
    bool openInside = false;
    e.doc.SetDialogRunner([&](CAlarmDialog& dialog) {
        openInside = e.doc.IsDialogOpen();
        return Answer(10, 0, QStringLiteral("B"))(dialog);
    });
    Q_EMIT e.view.NewAlarmRequested();
    QVERIFY(openInside);
    QVERIFY(!e.doc.IsDialogOpen());
    QCOMPARE(dialogOpen.count(), 2);

    const CAlarm* b = e.At(0);
    QVERIFY(b != nullptr);
    QCOMPARE(b->m_time, Local(10, 0));
    QVERIFY(e.doc.IsModified());
    QCOMPARE(e.view.AlarmAt(0), b);
    QCOMPARE(e.Current(), Armed(Utc(10, 0), b->m_nId));

    e.doc.SetDialogRunner(Answer(9, 0, QStringLiteral("A")));
    e.doc.OnNewAlarm();
    const CAlarm* a = e.At(1);
    QCOMPARE(e.Current(), Armed(Utc(9, 0), a->m_nId));

    e.doc.SetDialogRunner(Answer(11, 0, QStringLiteral("C")));
    e.doc.OnNewAlarm();
    QCOMPARE(e.Current(), Armed(Utc(9, 0), a->m_nId));

    // Cancel adds nothing.
    e.doc.SetModifiedFlag(false);
    const int arms = e.Arms();
    e.doc.SetDialogRunner(Answer(7, 0, QStringLiteral("D"), QDialog::Rejected));
    e.doc.OnNewAlarm();
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(3));
    QVERIFY(!e.doc.IsModified());
    QCOMPARE(e.Arms(), arms);
}

void DocumentTest::editAndDelete()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A"), Alarm(10, 0, "B")}));
    const CAlarm* a = e.At(0);
    const CAlarm* b = e.At(1);
    Pick(e.view, 1);
    int arms = e.Arms();

    e.doc.SetDialogRunner(Answer(8, 30, QStringLiteral("B2"), QDialog::Rejected));
    Q_EMIT e.view.EditAlarmRequested();
    QCOMPARE(b->m_strComment, std::string("B"));
    QCOMPARE(b->m_time, Local(10, 0));
    QVERIFY(!e.doc.IsModified());
    QCOMPARE(e.Arms(), arms);

    e.doc.SetDialogRunner(Answer(8, 30, QStringLiteral("B2")));
    e.doc.OnEditAlarm();
    QCOMPARE(b->m_strComment, std::string("B2"));
    QVERIFY(e.doc.IsModified());
    QCOMPARE(e.Current(), Armed(Utc(8, 30), b->m_nId));
    QCOMPARE(e.view.List()->model()->index(1, CAlarmList::kCommentColumn).data().toString(),
             QStringLiteral("B2"));

    // Delete asks first; No changes nothing but still re-arms.
    e.doc.SetModifiedFlag(false);
    Pick(e.view, 1);
    arms = e.Arms();

    CMessageBox::SetNextAnswers({QMessageBox::No});
    Q_EMIT e.view.DeleteAlarmRequested();
    QCOMPARE(CMessageBox::TakeShownTexts(),
             QStringList{QStringLiteral("Czy na pewno chcesz usunąć alarm?")});
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(2));
    QVERIFY(!e.doc.IsModified());
    QVERIFY(e.Arms() > arms);
    QCOMPARE(e.Current(), Armed(Utc(8, 30), b->m_nId));

    CMessageBox::SetNextAnswers({QMessageBox::Yes});
    e.doc.OnDeleteAlarm();
    QCOMPARE(e.view.RowCount(), 1);
    QCOMPARE(e.view.AlarmAt(0), a);
    QVERIFY(e.doc.IsModified());
    QCOMPARE(e.Current(), Armed(Utc(9, 0), a->m_nId));

    // Picked without a selected row; the emptied list cancels the timer.
    e.view.ShowAlarmProperties(a);
    CMessageBox::SetNextAnswers({QMessageBox::Yes});
    e.doc.OnDeleteAlarm();
    QCOMPARE(e.view.RowCount(), 0);
    QCOMPARE(e.Current(), kCancelled);
    QVERIFY(!e.sink.m_next);
}

void DocumentTest::switchingOnAndOff()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A")}));
    const CAlarm* a = e.At(0);

    Q_EMIT e.view.AlarmActiveChanged(a, false);
    QVERIFY(!a->m_bActive);
    QCOMPARE(e.Current(), kCancelled);
    QVERIFY(e.doc.IsModified());

    e.doc.SetModifiedFlag(false);
    Q_EMIT e.view.AlarmActiveChanged(a, true);
    QCOMPARE(e.Current(), Armed(Utc(9, 0), a->m_nId));
    QVERIFY(e.doc.IsModified());

    // Rows written again in a new language change nothing of the list (every start with a
    // language set used to mark it modified, and Exit then asked to save).
    e.doc.SetModifiedFlag(false);
    Q_EMIT e.view.RebuildRequested();
    QVERIFY(!e.doc.IsModified());
}

void DocumentTest::saveAndOpenRoundTrip()
{
    Env& e = *m_env;
    e.doc.SetDialogRunner(Answer(9, 0, QStringLiteral("Pobudka żółw")));
    e.doc.OnNewAlarm();
    const QString saved = File(QStringLiteral("lista.zmb"));
    CFileDialog::SetNextFileNames({File(QStringLiteral("lista"))});
    QVERIFY(e.doc.FileSaveAs());
    QCOMPARE(e.doc.PathName(), saved);
    QVERIFY(!e.doc.IsModified());

    QVERIFY(e.doc.FileNew());
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(0));
    QCOMPARE(e.Current(), kCancelled);

    CFileDialog::SetNextFileNames({saved});
    QVERIFY(e.doc.FileOpen());
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(1));
    QCOMPARE(QString::fromStdString(e.At(0)->m_strComment), QStringLiteral("Pobudka żółw"));
    QVERIFY(!e.doc.IsModified());
    QCOMPARE(e.Current(), Armed(Utc(9, 0), e.At(0)->m_nId));
    QCOMPARE(CMessageBox::TakeShownTexts(), QStringList());
}

void DocumentTest::unsavedChanges_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer");
    for (const char* command : {"new", "open", "quit"}) {
        QTest::addRow("%s yes", command) << QString::fromLatin1(command) << int(QMessageBox::Yes);
        QTest::addRow("%s no", command) << QString::fromLatin1(command) << int(QMessageBox::No);
        QTest::addRow("%s cancel", command)
            << QString::fromLatin1(command) << int(QMessageBox::Cancel);
    }
}

void DocumentTest::unsavedChanges()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    Env& e = *m_env;
    const QString mine = File(QStringLiteral("moje.zmb"));
    const QString other = File(QStringLiteral("inne.zmb"));
    WriteList(mine, {Alarm(9, 0, "A")});
    WriteList(other, {Alarm(11, 0, "X"), Alarm(12, 0, "Y"), Alarm(13, 0, "Z")});
    QVERIFY(e.doc.OnOpenDocument(mine));
    e.doc.SetDialogRunner(Answer(10, 0, QStringLiteral("B")));
    e.doc.OnNewAlarm();

    CMessageBox::SetNextAnswers({static_cast<QMessageBox::StandardButton>(answer)});
    CFileDialog::SetNextFileNames({other});
    const bool done = command == QStringLiteral("new")    ? e.doc.FileNew()
                      : command == QStringLiteral("open") ? e.doc.FileOpen()
                                                          : e.doc.SaveModified();
    QCOMPARE(CMessageBox::TakeShownTexts(), QStringList{QStringLiteral("Zapisać zmiany w moje?")});
    QCOMPARE(CountInFile(mine), answer == QMessageBox::Yes ? 2 : 1);
    if (answer == QMessageBox::Cancel) {
        QVERIFY(!done);
        QCOMPARE(e.doc.Scheduler().Count(), std::size_t(2));
        QVERIFY(e.doc.IsModified());
        return;
    }
    QVERIFY(done);
    const std::size_t expected = command == QStringLiteral("new")    ? 0
                                 : command == QStringLiteral("open") ? 3
                                                                     : 2;
    QCOMPARE(e.doc.Scheduler().Count(), expected);
}

void DocumentTest::fileFailuresKeepTheList()
{
    Env& e = *m_env;
    const QString good = File(QStringLiteral("dobra.zmb"));
    WriteList(good, {Alarm(9, 0, "A"), Alarm(10, 0, "B")});
    QVERIFY(e.doc.OnOpenDocument(good));
    e.doc.SetDialogRunner(Answer(11, 0, QStringLiteral("C")));
    e.doc.OnNewAlarm();
    const Armed armed = e.Current();

    // Saving fails: the message names the file and the reason, the list stays modified.
    const QString path = File(QStringLiteral("brak/lista.zmb"));
    CScheduler probe;
    QCOMPARE(probe.SaveToFile(QFile::encodeName(path).toStdString()), 1);
    CFileDialog::SetNextFileNames({path});
    QVERIFY(!e.doc.FileSaveAs());
    QStringList shown = CMessageBox::TakeShownTexts();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].contains(QDir::toNativeSeparators(path)), qPrintable(shown[0]));
    QVERIFY2(shown[0].contains(QString::fromStdString(probe.GetLastFileError())),
             qPrintable(shown[0]));
    QVERIFY(e.doc.IsModified());
    QCOMPARE(e.doc.PathName(), good);

    // Opening a foreign file fails, and says so before any question about the unsaved list,
    // which stays.
    const QString bad = File(QStringLiteral("zla.zmb"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?><Other><Thing/></Other>");
    file.close();
    CFileDialog::SetNextFileNames({bad});
    QVERIFY(!e.doc.FileOpen());
    shown = CMessageBox::TakeShownTexts();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].contains(QDir::toNativeSeparators(bad)), qPrintable(shown[0]));
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(3));
    QCOMPARE(e.view.RowCount(), 3);
    QVERIFY(e.doc.IsModified());
    QCOMPARE(e.doc.PathName(), good);
    QCOMPARE(e.Current(), armed);
}

void DocumentTest::recentFiles()
{
    Env& e = *m_env;
    QStringList files;
    for (int i = 0; i < 5; ++i) {
        files << File(QStringLiteral("f%1.zmb").arg(i));
        WriteList(files.last(), {Alarm(9, i, "A")});
        QVERIFY(e.doc.OpenDocumentFile(files.last()));
    }
    QCOMPARE(e.doc.RecentFiles(), (QStringList{files[4], files[3], files[2], files[1]}));

    QVERIFY(e.doc.OpenRecentFile(files[2]));
    const QStringList expected{files[2], files[4], files[3], files[1]};
    QCOMPARE(e.doc.RecentFiles(), expected);
    // Kept in the settings store for the next run.
    QCOMPARE(CZembracfgDoc(e.power, e.settings).RecentFiles(), expected);
    e.power.SetNotifyWindow(&e.doc, "OnWake");
}

void DocumentTest::saveAsWithoutTheExtensionAsksBeforeReplacing()
{
    const RealBoxes real;
    const QString existing = File(QStringLiteral("name.zmb"));
    WriteList(existing, {Alarm(7, 0, "kept")});
    QVERIFY(Open({Alarm(9, 0, "new")}));

    // The name is typed without ".zmb"; the question is about name.zmb, and No keeps it.
    QPointer<QFileDialog> fileDialog;
    QString question;
    test::AnswerNextModal(
        [&](QWidget* dialog) {
            fileDialog = static_cast<QFileDialog*>(dialog);
            fileDialog->selectFile(File(QStringLiteral("name")));
            QMetaObject::invokeMethod(fileDialog, "accept", Qt::QueuedConnection);
        },
        "QFileDialog");
    test::AnswerNextModal(
        [&](QWidget* box) {
            question = static_cast<QMessageBox*>(box)->text();
            test::Press(box, QMessageBox::No);
            QMetaObject::invokeMethod(fileDialog, "reject", Qt::QueuedConnection);
        },
        "QMessageBox");
    QVERIFY(!m_env->doc.FileSaveAs());
    QVERIFY2(question.contains(QStringLiteral("name.zmb")), qPrintable(question));
    CScheduler kept;
    QCOMPARE(kept.LoadFromFile(QFile::encodeName(existing).toStdString()), 0);
    QCOMPARE(kept.At(0)->m_strComment, std::string("kept"));
}

void DocumentTest::aWriteProtectedListIsRefusedWithItsName()
{
    const RealBoxes real;
    QVERIFY(Open({Alarm(9, 0, "A")}));
    const QString path = m_env->doc.PathName();
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup
                                            | QFileDevice::ReadOther));
    m_env->doc.SetModifiedFlag();
    QString message;
    test::AnswerNextBox(QMessageBox::Ok, &message);
    QVERIFY(!m_env->doc.FileSave());
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    QVERIFY(m_env->doc.IsModified());
    QCOMPARE(QFileInfo(path).permissions() & QFileDevice::WriteOwner, QFileDevice::Permissions());
}

void DocumentTest::expiryHandsOverDueAlarms()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A", kFrequencyEveryday), Alarm(9, 0, "B"), Alarm(7, 0, "C")}));
    const CAlarm* a = e.At(0);
    QCOMPARE(e.Current(), Armed(Utc(9, 0), a->m_nId));

    // Exactly on time: B, due at the very same moment, must ring once and not be armed again.
    g_now = Utc(9, 0);
    QSignalSpy due(&e.doc, &CZembracfgDoc::AlarmsDue);
    const int arms = e.Arms();
    const WakeEvent expired = Expiry(a->m_nId, Utc(9, 0));
    e.doc.OnWake(expired);

    QCOMPARE(due.count(), 1);
    const auto pass = due.at(0).at(0).value<FiringPass>();
    QCOMPARE(pass.alarms.size(), std::size_t{2});
    QCOMPARE(pass.alarms[0].alarm.m_strComment, std::string("B"));
    QVERIFY(pass.alarms[0].caughtUp);
    QCOMPARE(pass.alarms[1].alarm.m_strComment, std::string("A"));
    QVERIFY(!pass.alarms[1].caughtUp);
    QVERIFY(!pass.HasLate());
    // The fired alarm's own next occurrence is armed at once, in a single arming.
    QCOMPARE(e.Current(), Armed(Utc(9, 0, 5), a->m_nId));
    QCOMPARE(e.Arms(), arms + 1);

    // An expiry armed for a list that has been replaced names nothing in the new one.
    QVERIFY(e.doc.OnNewDocument());
    e.doc.OnWake(expired);
    QCOMPARE(due.count(), 1);
}

void DocumentTest::aChangeRightAfterTheMomentRingsTheDueAlarmOnce()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A", kFrequencyEveryday, kTypeShutdown), Alarm(10, 0, "B")}));
    const CAlarm* a = e.At(0);
    QSignalSpy due(&e.doc, &CZembracfgDoc::AlarmsDue);

    // The kernel has signalled, but the user switches B off before the expiry is handled:
    // A is carried out then and there, on time, and the stale expiry brings nothing more.
    g_now = Utc(9, 0) + kTicksPerSecond;
    e.doc.SetAlarmActive(e.At(1), false);
    QCOMPARE(due.count(), 1);
    const auto pass = due.at(0).at(0).value<FiringPass>();
    QCOMPARE(pass.alarms.size(), std::size_t{1});
    QCOMPARE(pass.powerType, std::string(kTypeShutdown));
    e.doc.OnWake(Expiry(a->m_nId, Utc(9, 0)));
    QCOMPARE(due.count(), 1);
    QCOMPARE(e.Current(), Armed(Utc(9, 0, 5), a->m_nId));
}

void DocumentTest::lateAlarmsMakeNoPowerRequest()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A", kFrequencyOnce, kTypeStandby)}));
    QSignalSpy due(&e.doc, &CZembracfgDoc::AlarmsDue);
    // The lid was closed across the moment and opened three hours later.
    g_now = Utc(12, 0);
    e.doc.OnWake(Expiry(e.At(0)->m_nId, Utc(9, 0)));
    const auto pass = due.at(0).at(0).value<FiringPass>();
    QVERIFY(pass.HasLate());
    QCOMPARE(pass.alarms[0].LateMinutes(), 180);
    QCOMPARE(pass.powerType, std::string());
}

void DocumentTest::aNewTimeZoneRearmsForTheWallClockTime()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A", kFrequencyEveryday)}));
    QCOMPARE(e.Current(), Armed(Utc(9, 0), e.At(0)->m_nId));

    // The zone is announced the way the system does it: the zone file changes.
    const QString zoneFile = File(QStringLiteral("localtime"));
    QVERIFY(WriteText(zoneFile, "Europe/Warsaw"));
    TimeZoneSources sources;
    sources.files = {zoneFile};
    CTimeZoneWatcher watcher(sources, QDBusConnection(QString()));
    connect(&watcher, &CTimeZoneWatcher::ZoneChanged, &e.doc, &CZembracfgDoc::OnTimeZoneChanged);
    QSignalSpy changed(&watcher, &CTimeZoneWatcher::ZoneChanged);
    qputenv("TZ", "America/New_York");
    QVERIFY(WriteText(zoneFile, "America/New_York"));
    QVERIFY(changed.wait(5000));
    const FileTime nine = Utc(9, 0); // now read in the new zone
    qputenv("TZ", "Europe/Warsaw");
    ReloadTimeZone();
    QCOMPARE(e.Current(), Armed(nine, e.At(0)->m_nId));
    QVERIFY(nine != Utc(9, 0));
}

void DocumentTest::thePanelSaysWhetherTheAlarmWakesTheComputer()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A")}));
    QCOMPARE(e.view.StatusPanel()->WakeText(), QStringLiteral("Komputer zostanie wybudzony na ten alarm."));

    WakeCapability refused;
    refused.kind = WakeCapability::Kind::NoPermission;
    refused.command = "sudo setcap cap_wake_alarm+ep /usr/bin/zembra";
    {
        const std::lock_guard lock(e.timer->mutex);
        e.timer->capability = refused;
    }
    e.doc.UpdateTimer();
    QCOMPARE(e.view.StatusPanel()->WakeCommand(), QStringLiteral("sudo setcap cap_wake_alarm+ep /usr/bin/zembra"));
    QVERIFY(e.view.StatusPanel()->WakeText().startsWith(QStringLiteral("Komputer nie zostanie wybudzony")));
    // Nothing pending, nothing said.
    e.doc.SetAlarmActive(e.At(0), false);
    QVERIFY(e.view.StatusPanel()->WakeText().isEmpty());
    QVERIFY(e.view.StatusPanel()->WakeCommand().isEmpty());
}

void DocumentTest::programsTheUserTypedOrSavedRunAndOthersAreHeldBack()
{
    Env& e = *m_env;
    // A list from elsewhere: its program is held back, the bar says so, nothing is modified.
    CAlarm foreign = Alarm(9, 0, "obcy");
    foreign.m_strProgram = "rm -rf ~/important";
    foreign.m_bProgramActive = true;
    QVERIFY(Open({foreign}));
    QVERIFY(e.view.IsConsentBarShown());
    QCOMPARE(e.view.ConsentBarPrograms(), QStringList{QStringLiteral("rm -rf ~/important")});
    QVERIFY(!e.doc.IsModified());
    e.view.ShowAlarmProperties(e.At(0));
    QVERIFY(e.view.PropertiesPanel()->findChild<QLabel*>(QStringLiteral("actionValue"))
                ->text()
                .contains(QStringLiteral("Program wstrzymany: niezatwierdzony")));
    QSignalSpy due(&e.doc, &CZembracfgDoc::AlarmsDue);
    g_now = Utc(9, 0);
    e.doc.Resync();
    QVERIFY(due.last().at(0).value<FiringPass>().alarms.at(0).programHeldBack);

    // What the user types in the dialog runs without a question.
    e.doc.SetDialogRunner([](CAlarmDialog& dialog) {
        Answer(10, 0, QStringLiteral("mine"))(dialog);
        dialog.m_strProgram = QStringLiteral("notify-send moje");
        dialog.m_bProgram = true;
        return static_cast<int>(QDialog::Accepted);
    });
    e.doc.OnNewAlarm();
    QVERIFY(e.doc.Approvals().IsApproved("notify-send moje"));
    QVERIFY(!e.doc.Approvals().IsApproved("rm -rf ~/important"));

    // What the user saves, the user owns: the list reopens with no question.
    QVERIFY(e.doc.OnSaveDocument(File(QStringLiteral("own.zmb"))));
    QVERIFY(!e.view.IsConsentBarShown());
    QVERIFY(e.doc.OnOpenDocument(File(QStringLiteral("own.zmb"))));
    QVERIFY(!e.view.IsConsentBarShown());

    // A command line changed behind the program's back is held back again.
    CScheduler changed;
    QCOMPARE(changed.LoadFromFile(QFile::encodeName(File(QStringLiteral("own.zmb"))).toStdString()), 0);
    changed.At(0)->m_strProgram = "rm -rf ~/else";
    QCOMPARE(changed.SaveToFile(QFile::encodeName(File(QStringLiteral("own.zmb"))).toStdString()), 0);
    QVERIFY(e.doc.OnOpenDocument(File(QStringLiteral("own.zmb"))));
    QCOMPARE(e.view.ConsentBarPrograms(), QStringList{QStringLiteral("rm -rf ~/else")});
    // "Zezwól" approves what the bar lists.
    e.view.findChild<QPushButton*>(QStringLiteral("consentAllow"))->click();
    QVERIFY(!e.view.IsConsentBarShown());
    QVERIFY(e.doc.Approvals().IsApproved("rm -rf ~/else"));
}

// Someone else (an editor, zembractl, a sync folder) changes the list while the program has it
// open; the program's watcher sees it. Its own saves are no change.
void DocumentTest::aListChangedOnDiskIsReadAgainKeepingThePickedAlarm()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A"), Alarm(10, 0, "B")}));
    Pick(e.view, 1);
    QSignalSpy said(&e.doc, &CZembracfgDoc::StatusMessage);
    WriteList(File(QStringLiteral("l.zmb")),
              {Alarm(8, 30, "new"), Alarm(9, 0, "A"), Alarm(10, 0, "B")});
    QTRY_COMPARE(e.doc.Scheduler().Count(), std::size_t(3));
    QCOMPARE(e.view.RowCount(), 3);
    QVERIFY(!e.doc.IsModified());
    QCOMPARE(e.Current(), Armed(Utc(8, 30), e.At(0)->m_nId));
    QCOMPARE(e.view.SelectedAlarm(), e.At(2));
    QCOMPARE(said.count(), 1);
    QCOMPARE(said.at(0).at(0).toString(),
             QStringLiteral("Lista została przeczytana ponownie, bo zmieniono ją na dysku."));

    const CAlarm* before = e.At(0);
    e.doc.SetModifiedFlag();
    QVERIFY(e.doc.FileSave());
    e.doc.CheckFileOnDisk();
    QCOMPARE(e.At(0), before);
    QCOMPARE(said.count(), 1);
    QCOMPARE(CMessageBox::TakeShownTexts(), QStringList());
}

void DocumentTest::aChangeOnDiskBesideUnsavedChangesIsOffered_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("comments");
    QTest::addColumn<bool>("modified");
    QTest::newRow("reload") << QStringLiteral("diskReload") << QStringList{QStringLiteral("X")}
                            << false;
    QTest::newRow("keep") << QStringLiteral("diskKeep")
                          << QStringList{QStringLiteral("A"), QStringLiteral("mine")} << true;
}

void DocumentTest::aChangeOnDiskBesideUnsavedChangesIsOffered()
{
    QFETCH(QString, button);
    QFETCH(QStringList, comments);
    QFETCH(bool, modified);
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A")}));
    e.doc.AddAlarm(std::make_unique<CAlarm>(Alarm(10, 0, "mine")));
    WriteList(File(QStringLiteral("l.zmb")), {Alarm(8, 30, "X")});
    QTRY_VERIFY(e.view.IsDiskChangedBarShown());
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(2));
    QVERIFY(e.doc.IsModified());

    e.view.findChild<QPushButton*>(button)->click();
    QVERIFY(!e.view.IsDiskChangedBarShown());
    QStringList now;
    for (const auto& alarm : e.doc.Scheduler().Alarms()) {
        now << QString::fromStdString(alarm->m_strComment);
    }
    QCOMPARE(now, comments);
    QCOMPARE(e.doc.IsModified(), modified);
    QCOMPARE(e.view.RowCount(), comments.size());
    QCOMPARE(e.Current().first, comments.first() == QLatin1String("X") ? Utc(8, 30) : Utc(9, 0));
}

void DocumentTest::aSaveOverAFileChangedOnDiskAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes, replace it") << int(QMessageBox::Yes);
    QTest::newRow("no") << int(QMessageBox::No);
}

void DocumentTest::aSaveOverAFileChangedOnDiskAsksFirst()
{
    QFETCH(int, answer);
    const RealBoxes real;
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A")}));
    e.doc.AddAlarm(std::make_unique<CAlarm>(Alarm(10, 0, "mine")));
    const QString path = File(QStringLiteral("l.zmb"));
    WriteList(path, {Alarm(7, 0, "theirs")});

    QString asked;
    test::AnswerNextBox(static_cast<QMessageBox::StandardButton>(answer), &asked);
    const bool saved = e.doc.FileSave();
    QVERIFY2(asked.contains(QStringLiteral("został zmieniony na dysku")), qPrintable(asked));
    QCOMPARE(saved, answer == QMessageBox::Yes);
    QCOMPARE(e.doc.IsModified(), !saved);
    QCOMPARE(CountInFile(path), saved ? 2 : 1);
    if (saved) {
        // What the window wrote is the file as it knows it: the next save asks nothing.
        QVERIFY(e.doc.FileSave());
        QCOMPARE(CMessageBox::TakeShownTexts(), QStringList());
    }
}

void DocumentTest::aListWhoseFileWentAwayStaysUnsaved()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A")}));
    QSignalSpy said(&e.doc, &CZembracfgDoc::StatusMessage);
    const QString path = File(QStringLiteral("l.zmb"));
    QVERIFY(QFile::rename(path, File(QStringLiteral("moved.zmb"))));
    QTRY_VERIFY(e.doc.IsModified());
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(1));
    QCOMPARE(e.Current(), Armed(Utc(9, 0), e.At(0)->m_nId));
    QCOMPARE(said.count(), 1);
    QVERIFY(said.at(0).at(0).toString().contains(QStringLiteral("usunięty lub przeniesiony")));
    // Saving puts it back, without a question.
    QVERIFY(e.doc.FileSave());
    QCOMPARE(CountInFile(path), 1);
    QCOMPARE(CMessageBox::TakeShownTexts(), QStringList());
}

int main(int argc, char** argv)
{
    QTemporaryDir root;
    if (!root.isValid()
        || !qputenv("XDG_CONFIG_HOME",
                    QFile::encodeName(root.filePath(QStringLiteral("config"))))) {
        std::fprintf(stderr, "cannot isolate the settings\n");
        return 2;
    }
    qputenv("TZ", "Europe/Warsaw");
    ReloadTimeZone();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    CMessageBox::SetTestMode(true);
    Clock::SetForTesting([] { return g_now; });
    DocumentTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_document.moc"
