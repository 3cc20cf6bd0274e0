// The alarm document: every change to the list re-arms the wake timer for the right alarm with
// its id as the token, the list is saved and opened without losing anything on failure, the
// unsaved-changes question is honoured, and an expiry becomes value copies for the alerter.
// The wake timer is a recording fake that never expires, the clock is fixed, settings live in a
// temporary store, and every question and file dialog is answered in advance.

#include "CAlarmDialog.h"
#include "CAlarmList.h"
#include "CMessageBox.h"
#include "CSettings.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "INextAlarmSink.h"
#include "IPowerRequests.h"
#include "time/Clock.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>

using namespace zembra;

namespace {

FileTime g_now = 0;

struct TimerLog {
    std::mutex mutex;
    std::condition_variable interrupted;
    bool stop = false;
    bool armFails = false;
    int arms = 0;
    std::optional<FileTime> armedFor; // empty when cancelled
};

// Records what the document asks of the timer; comes due only when a test says so.
class FakeTimer final : public IWakeTimer {
public:
    explicit FakeTimer(std::shared_ptr<TimerLog> log)
        : m_log(std::move(log))
    {
    }
    bool Create() override { return true; }
    bool Arm(FileTime due) override
    {
        const std::lock_guard lock(m_log->mutex);
        ++m_log->arms;
        m_log->armedFor = due;
        return !m_log->armFails;
    }
    bool Cancel() override
    {
        const std::lock_guard lock(m_log->mutex);
        m_log->armedFor.reset();
        return true;
    }
    WaitResult Wait() override
    {
        std::unique_lock lock(m_log->mutex);
        m_log->interrupted.wait(lock, [this] { return m_log->stop; });
        return WaitResult::Interrupted;
    }
    void Interrupt() override
    {
        const std::lock_guard lock(m_log->mutex);
        m_log->stop = true;
        m_log->interrupted.notify_all();
    }
    WakeCapability Capability() const override { return {true, {}, {}}; }
    std::string LastError() const override { return "fake: arming refused"; }

private:
    std::shared_ptr<TimerLog> m_log;
};

class FakeSink final : public INextAlarmSink {
public:
    void SetNextAlarm(const std::optional<CAlarm>& next, FileTime) override { m_next = next; }
    std::optional<CAlarm> m_next;
};

class FakeRequests final : public IPowerRequests {
public:
    PowerResult Standby() override { return Record("standby"); }
    PowerResult Hibernate() override { return Record("hibernate"); }
    PowerResult Shutdown() override { return Record("shutdown"); }
    PowerResult DisplayOn() override { return Record("display"); }

    std::mutex m_mutex;
    QStringList m_calls;
    QThread* m_thread = nullptr;
    bool m_fail = false;

private:
    PowerResult Record(const char* what)
    {
        const std::lock_guard lock(m_mutex);
        m_calls << QString::fromLatin1(what);
        m_thread = QThread::currentThread();
        return m_fail ? PowerResult::Failed("fake: refused by logind") : PowerResult::Ok();
    }
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

CAlarm Alarm(int hour, int minute, const char* comment, const char* frequency = kFrequencyOnce)
{
    CAlarm alarm;
    alarm.m_time = Local(hour, minute);
    alarm.m_strComment = comment;
    alarm.m_strFrequency = frequency;
    alarm.m_strType = kTypeWakeup;
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
    FakeRequests requests;
    FakeSink sink;
    CZembracfgView view;
    CZembracfgDoc doc{power, settings, &requests, &sink};
};

// What a click on a row does: the list selects it and the view picks its alarm.
void Pick(CZembracfgView& view, int row)
{
    view.List()->clearSelection();
    view.List()->topLevelItem(row)->setSelected(true);
    view.ShowAlarmProperties(view.AlarmAt(row));
}

QString RowComment(CZembracfgView& view, int row)
{
    return view.List()->topLevelItem(row)->text(CAlarmList::kCommentColumn);
}

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void newAlarmArmsEarliest();
    void editCancelChangesNothing();
    void deleteAsksFirst();
    void switchingOnAndOff();
    void saveAndOpenRoundTrip();
    void unsavedChanges_data();
    void unsavedChanges();
    void untitledListAsksForName();
    void saveFailureKeepsModified();
    void openFailureKeepsList_data();
    void openFailureKeepsList();
    void recentFiles();
    void expiryHandsOverDueAlarms();
    void clockChangeAndTimerFailures();
    void sleepCommand_data();
    void sleepCommand();

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
    QVERIFY(!e.doc.IsModified());
    QCOMPARE(e.doc.Title(), QStringLiteral("Zembra - Zembra"));

    QSignalSpy dialogOpen(&e.doc, &CZembracfgDoc::DialogOpenChanged);
    bool openInside = false;
    bool activePreset = false;
    e.doc.SetDialogRunner([&](CAlarmDialog& dialog) {
        openInside = e.doc.IsDialogOpen();
        activePreset = dialog.m_bActive;
        return Answer(10, 0, QStringLiteral("B"))(dialog);
    });
    Q_EMIT e.view.NewAlarmRequested();
    QVERIFY(openInside);
    QVERIFY(activePreset);
    QVERIFY(!e.doc.IsDialogOpen());
    QCOMPARE(dialogOpen.count(), 2);

    const CAlarm* b = e.At(0);
    QVERIFY(b != nullptr);
    QCOMPARE(b->m_time, Local(10, 0));
    QCOMPARE(b->m_strComment, std::string("B"));
    QVERIFY(b->m_bActive);
    QVERIFY(e.doc.IsModified());
    QCOMPARE(e.view.RowCount(), 1);
    QCOMPARE(e.view.AlarmAt(0), b);
    QCOMPARE(e.Current(), Armed(Utc(10, 0), b->m_nId));
    QVERIFY(e.sink.m_next && e.sink.m_next->m_nId == b->m_nId);

    e.doc.SetDialogRunner(Answer(9, 0, QStringLiteral("A")));
    e.doc.OnNewAlarm();
    const CAlarm* a = e.At(1);
    QCOMPARE(e.Current(), Armed(Utc(9, 0), a->m_nId));

    e.doc.SetDialogRunner(Answer(11, 0, QStringLiteral("C")));
    e.doc.OnNewAlarm();
    QCOMPARE(e.Current(), Armed(Utc(9, 0), a->m_nId));
    QCOMPARE(e.view.RowCount(), 3);

    // Cancel adds nothing.
    e.doc.SetModifiedFlag(false);
    const int arms = e.Arms();
    e.doc.SetDialogRunner(Answer(7, 0, QStringLiteral("D"), QDialog::Rejected));
    e.doc.OnNewAlarm();
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(3));
    QVERIFY(!e.doc.IsModified());
    QCOMPARE(e.Arms(), arms);
}

void DocumentTest::editCancelChangesNothing()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A"), Alarm(10, 0, "B")}));
    const CAlarm* b = e.At(1);
    Pick(e.view, 1);
    const int arms = e.Arms();

    bool loaded = false;
    e.doc.SetDialogRunner([&](CAlarmDialog& dialog) {
        loaded = dialog.m_dtDate == QDate(2030, 3, 4) && dialog.m_dtTime == QTime(10, 0)
                 && dialog.m_strComment == QStringLiteral("B") && dialog.m_bActive;
        return Answer(8, 30, QStringLiteral("B2"), QDialog::Rejected)(dialog);
    });
    Q_EMIT e.view.EditAlarmRequested();
    QVERIFY(loaded);
    QCOMPARE(b->m_strComment, std::string("B"));
    QCOMPARE(b->m_time, Local(10, 0));
    QCOMPARE(RowComment(e.view, 1), QStringLiteral("B"));
    QVERIFY(!e.doc.IsModified());
    QCOMPARE(e.Arms(), arms);

    e.doc.SetDialogRunner(Answer(8, 30, QStringLiteral("B2")));
    e.doc.OnEditAlarm();
    QCOMPARE(b->m_strComment, std::string("B2"));
    QVERIFY(e.doc.IsModified());
    QCOMPARE(e.Current(), Armed(Utc(8, 30), b->m_nId));
    QCOMPARE(e.view.RowCount(), 2);
    QCOMPARE(e.view.AlarmAt(1), b);
    QCOMPARE(RowComment(e.view, 1), QStringLiteral("B2"));
    QCOMPARE(e.view.SelectedAlarm(), b);
}

void DocumentTest::deleteAsksFirst()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A"), Alarm(10, 0, "B")}));
    const CAlarm* a = e.At(0);
    const CAlarm* b = e.At(1);
    Pick(e.view, 0);
    const int arms = e.Arms();

    CMessageBox::SetNextAnswers({QMessageBox::No});
    Q_EMIT e.view.DeleteAlarmRequested();
    QCOMPARE(CMessageBox::TakeShownTexts(),
             QStringList{QStringLiteral("Czy na pewno chcesz usunąć alarm?")});
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(2));
    QVERIFY(!e.doc.IsModified());
    QVERIFY(e.Arms() > arms);
    QCOMPARE(e.Current(), Armed(Utc(9, 0), a->m_nId));

    CMessageBox::SetNextAnswers({QMessageBox::Yes});
    e.doc.OnDeleteAlarm();
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(1));
    QCOMPARE(e.view.RowCount(), 1);
    QCOMPARE(e.view.AlarmAt(0), b);
    QVERIFY(e.doc.IsModified());
    QCOMPARE(e.Current(), Armed(Utc(10, 0), b->m_nId));

    // Picked without a selected row: no row may keep the deleted alarm all the same.
    e.view.ShowAlarmProperties(b);
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

    // Rows written again in a new language: a list with alarms counts as modified.
    e.doc.SetModifiedFlag(false);
    Q_EMIT e.view.RebuildRequested();
    QVERIFY(e.doc.IsModified());
    QCOMPARE(e.view.AlarmAt(0), a);
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
    QCOMPARE(e.settings.m_regLastCfg.Get(), saved);
    QCOMPARE(e.doc.Title(), QStringLiteral("Zembra - lista"));

    QVERIFY(e.doc.FileNew());
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(0));
    QCOMPARE(e.doc.PathName(), QString());
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
        QCOMPARE(e.doc.PathName(), mine);
        return;
    }
    QVERIFY(done);
    const std::size_t expected = command == QStringLiteral("new")    ? 0
                                 : command == QStringLiteral("open") ? 3
                                                                     : 2;
    QCOMPARE(e.doc.Scheduler().Count(), expected);
    QCOMPARE(e.doc.IsModified(), command == QStringLiteral("quit") && answer == QMessageBox::No);
}

void DocumentTest::untitledListAsksForName()
{
    Env& e = *m_env;
    e.doc.SetDialogRunner(Answer(9, 0, QStringLiteral("A")));
    e.doc.OnNewAlarm();
    CMessageBox::SetNextAnswers({QMessageBox::Yes});
    CFileDialog::SetNextFileNames({QString()}); // Save As cancelled
    QVERIFY(!e.doc.FileNew());
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(1));
    QVERIFY(e.doc.IsModified());

    CMessageBox::SetNextAnswers({QMessageBox::Yes});
    CFileDialog::SetNextFileNames({File(QStringLiteral("nowa.zmb"))});
    QVERIFY(e.doc.FileNew());
    QCOMPARE(CountInFile(File(QStringLiteral("nowa.zmb"))), 1);
    QVERIFY(!e.doc.IsModified());
}

void DocumentTest::saveFailureKeepsModified()
{
    Env& e = *m_env;
    e.settings.m_regLastCfg = QStringLiteral("/earlier.zmb");
    e.doc.SetDialogRunner(Answer(9, 0, QStringLiteral("A")));
    e.doc.OnNewAlarm();
    const QString path = File(QStringLiteral("brak/lista.zmb"));
    CScheduler probe;
    QCOMPARE(probe.SaveToFile(QFile::encodeName(path).toStdString()), 1);

    CFileDialog::SetNextFileNames({path});
    QVERIFY(!e.doc.FileSaveAs());
    const QStringList shown = CMessageBox::TakeShownTexts();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].contains(QDir::toNativeSeparators(path)), qPrintable(shown[0]));
    QVERIFY2(shown[0].contains(QString::fromStdString(probe.GetLastFileError())),
             qPrintable(shown[0]));
    QVERIFY(e.doc.IsModified());
    QCOMPARE(e.doc.PathName(), QString());
    QCOMPARE(e.settings.m_regLastCfg.Get(), QStringLiteral("/earlier.zmb"));
    QCOMPARE(e.doc.RecentFiles(), QStringList());
}

void DocumentTest::openFailureKeepsList_data()
{
    QTest::addColumn<QByteArray>("contents"); // empty: no file at all
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("not markup") << QByteArray("this is not an alarm list");
    QTest::newRow("foreign") << QByteArray("<?xml version=\"1.0\"?><Other><Thing/></Other>");
}

void DocumentTest::openFailureKeepsList()
{
    QFETCH(QByteArray, contents);
    Env& e = *m_env;
    const QString good = File(QStringLiteral("dobra.zmb"));
    WriteList(good, {Alarm(9, 0, "A"), Alarm(10, 0, "B")});
    QVERIFY(e.doc.OnOpenDocument(good));
    e.doc.SetDialogRunner(Answer(11, 0, QStringLiteral("C")));
    e.doc.OnNewAlarm();
    const CAlarm* a = e.At(0);
    const Armed armed = e.Current();

    const QString bad = File(QStringLiteral("zla.zmb"));
    if (!contents.isEmpty()) {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    CScheduler probe;
    probe.LoadFromFile(QFile::encodeName(bad).toStdString());

    CMessageBox::SetNextAnswers({QMessageBox::No}); // even a list the user gave up stays
    CFileDialog::SetNextFileNames({bad});
    QVERIFY(!e.doc.FileOpen());
    const QStringList shown = CMessageBox::TakeShownTexts();
    QCOMPARE(shown.size(), 2);
    QVERIFY2(shown[1].contains(QDir::toNativeSeparators(bad)), qPrintable(shown[1]));
    QVERIFY2(shown[1].contains(QString::fromStdString(probe.GetLastFileError())),
             qPrintable(shown[1]));
    QCOMPARE(e.doc.Scheduler().Count(), std::size_t(3));
    QCOMPARE(e.At(0), a);
    QCOMPARE(e.view.RowCount(), 3);
    QVERIFY(e.doc.IsModified());
    QCOMPARE(e.doc.PathName(), good);
    QCOMPARE(e.settings.m_regLastCfg.Get(), good);
    QCOMPARE(e.doc.RecentFiles(), QStringList{good});
    QCOMPARE(e.Current(), armed);
}

void DocumentTest::recentFiles()
{
    Env& e = *m_env;
    QStringList files;
    for (int i = 0; i < 5; ++i) {
        files << File(QStringLiteral("f%1.zmb").arg(i));
        WriteList(files.last(), {Alarm(9, i, "A")});
    }
    QSignalSpy changed(&e.doc, &CZembracfgDoc::RecentFilesChanged);
    for (const QString& file : files) {
        QVERIFY(e.doc.OpenDocumentFile(file));
    }
    QCOMPARE(changed.count(), 5);
    QCOMPARE(e.doc.RecentFiles(), (QStringList{files[4], files[3], files[2], files[1]}));

    QVERIFY(e.doc.OpenRecentFile(files[2]));
    const QStringList expected{files[2], files[4], files[3], files[1]};
    QCOMPARE(e.doc.RecentFiles(), expected);
    // Kept in the settings store for the next run.
    QCOMPARE(CSettings::ReadValue(QStringLiteral("Software\\Brelko\\Zembra\\Recent File List"),
                                  QStringLiteral("File1"))
                 .value_or(QVariant())
                 .toString(),
             files[2]);
    QCOMPARE(CZembracfgDoc(e.power, e.settings).RecentFiles(), expected);
    e.power.SetNotifyWindow(&e.doc, "OnWake");

    // A list that is gone leaves the recent-file list.
    QVERIFY(QFile::remove(files[3]));
    QVERIFY(!e.doc.OpenRecentFile(files[3]));
    QCOMPARE(e.doc.RecentFiles(), (QStringList{files[2], files[4], files[1]}));
    QCOMPARE(e.doc.PathName(), files[2]);
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
    WakeEvent expired;
    expired.kind = WakeEvent::Kind::Expired;
    expired.token = a->m_nId;
    expired.armedForUtc = Utc(9, 0);
    e.doc.OnWake(expired);

    QCOMPARE(due.count(), 1);
    const auto alarms = due.at(0).at(0).value<QList<DueAlarm>>();
    QCOMPARE(alarms.size(), 2);
    QCOMPARE(alarms[0].alarm.m_strComment, std::string("B"));
    QVERIFY(alarms[0].caughtUp);
    QCOMPARE(alarms[1].alarm.m_strComment, std::string("A"));
    QVERIFY(!alarms[1].caughtUp);
    QCOMPARE(alarms[1].firingUtc, Utc(9, 0));
    // The fired alarm's own next occurrence is armed at once, in a single arming.
    QCOMPARE(e.Current(), Armed(Utc(9, 0, 5), a->m_nId));
    QCOMPARE(e.Arms(), arms + 1);

    // An expiry armed for a list that has been replaced names nothing in the new one.
    QVERIFY(e.doc.OnNewDocument());
    e.doc.OnWake(expired);
    QCOMPARE(due.count(), 1);
    QCOMPARE(e.Current(), kCancelled);
}

void DocumentTest::clockChangeAndTimerFailures()
{
    Env& e = *m_env;
    QVERIFY(Open({Alarm(9, 0, "A"), Alarm(10, 0, "B")}));
    g_now = Utc(9, 30);
    WakeEvent event;
    event.kind = WakeEvent::Kind::ClockChanged;
    e.doc.OnWake(event);
    QCOMPARE(e.Current(), Armed(Utc(10, 0), e.At(1)->m_nId));

    event.kind = WakeEvent::Kind::WaitFailed;
    event.error = "fake: wait failed";
    e.doc.OnWake(event);
    e.doc.OnWake(event);
    {
        const std::lock_guard lock(e.timer->mutex);
        e.timer->armFails = true;
    }
    e.doc.SetDialogRunner(Answer(11, 0, QStringLiteral("C")));
    e.doc.OnNewAlarm();
    // Shown after the work at hand, never in the middle of it.
    QCOMPARE(CMessageBox::TakeShownTexts(), QStringList());
    QVERIFY(e.sink.m_next && e.sink.m_next->m_nId == e.At(1)->m_nId);
    QCoreApplication::processEvents();
    const QStringList shown = CMessageBox::TakeShownTexts();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].count(QStringLiteral("fake: wait failed")), 1);
    QVERIFY2(shown[0].contains(QStringLiteral("SetWaitableTimer failed: fake: arming refused")),
             qPrintable(shown[0]));
}

void DocumentTest::sleepCommand_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("fail");
    QTest::newRow("standby") << 0 << false;
    QTest::newRow("hibernate") << 1 << false;
    QTest::newRow("refused") << 0 << true;
}

void DocumentTest::sleepCommand()
{
    QFETCH(int, mode);
    QFETCH(bool, fail);
    Env& e = *m_env;
    e.settings.m_regButtonSleepMode = static_cast<quint32>(mode);
    e.requests.m_fail = fail;
    QSignalSpy finished(&e.doc, &CZembracfgDoc::SleepRequestFinished);
    e.doc.OnSleep();
    QVERIFY(finished.wait());
    QCOMPARE(finished.at(0).at(0).toBool(), !fail);
    {
        const std::lock_guard lock(e.requests.m_mutex);
        QCOMPARE(e.requests.m_calls,
                 QStringList{mode == 0 ? QStringLiteral("standby") : QStringLiteral("hibernate")});
        QVERIFY(e.requests.m_thread != QThread::currentThread());
    }
    const QStringList shown = CMessageBox::TakeShownTexts();
    QCOMPARE(shown.size(), fail ? 1 : 0);
    if (fail) {
        QVERIFY(shown[0].contains(QStringLiteral("fake: refused by logind")));
    }

    // Without a power back end the command says so.
    e.doc.SetPowerRequests(nullptr);
    e.doc.OnSleep();
    QCOMPARE(CMessageBox::TakeShownTexts().size(), 1);
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
