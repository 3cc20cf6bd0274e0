// The alarm document: every change re-arms the wake timer for the right alarm and token, saving
// and opening lose nothing on failure, and the unsaved-changes question is honoured. The timer is
// a recording fake, the clock is fixed, and every question and file dialog is answered in advance.

#include "AlarmLists.h"
#include "CAlarmDialog.h"
#include "CAlarmList.h"
#include "CAlarmPropDialog.h"
#include "CMessageBox.h"
#include "CSettings.h"
#include "CStatusDIalog.h"
#include "CTimeZoneWatcher.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "ModalAnswer.h"
#include "QuietTimer.h"
#include "time/Clock.h"

#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <mutex>

using namespace zembra;
using namespace Qt::StringLiterals;
using test::WriteList;

namespace {

FileTime g_now = 0;

// Records each arming; CPower owns it, the test reads it.
class FakeTimer final : public test::QuietTimer {
public:
    bool Arm(FileTime due) override
    {
        ++arms;
        armedFor = due;
        return true;
    }
    bool Cancel() override
    {
        armedFor = -1;
        return true;
    }
    WakeCapability Capability() const override
    {
        const std::lock_guard lock(mutex);
        return capability;
    }

    std::atomic<int> arms{0};
    std::atomic<FileTime> armedFor{-1}; // -1 when cancelled
    mutable std::mutex mutex;           // over the capability
    WakeCapability capability = WakeCapability::Granted();
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
    return test::Alarm(Local(hour, minute), comment, frequency, type);
}

// A dialog runner that fills in a one-time wake-up alarm and presses OK (or Cancel).
CZembracfgDoc::DialogRunner Answer(int hour, int minute, const QString& comment,
                                   int result = QDialog::Accepted, const QString& program = {})
{
    return [=](CAlarmDialog& dialog) {
        dialog.m_dtDate = QDate(2030, 3, 4);
        dialog.m_dtTime = QTime(hour, minute);
        dialog.m_strComment = comment;
        dialog.m_strFrequency = u"once"_s;
        dialog.m_strType = u"wakeup"_s;
        dialog.m_strProgram = program;
        dialog.m_bProgram = !program.isEmpty();
        return result;
    };
}

bool WriteText(const QString& path, const char* text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) > 0;
}

using Armed = std::pair<FileTime, quint64>;
const Armed kCancelled{-1, 0};

struct Env {
    Env()
    {
        power.Init();
        doc.SetView(&view);
        doc.OnNewDocument();
    }
    // The moment the timer is armed for and the token CPower will deliver with it.
    Armed Current() const { return {timer->armedFor, power.PendingToken()}; }
    int Arms() const { return timer->arms; }
    const CAlarm* At(std::size_t i) const { return doc.Scheduler().At(i); }
    QStringList Comments() const
    {
        QStringList comments;
        for (const auto& alarm : doc.Scheduler().Alarms()) {
            comments << QString::fromStdString(alarm->m_strComment);
        }
        return comments;
    }
    void Pick(int row)
    {
        view.List()->SelectRow(row);
        view.ShowAlarmProperties(view.AlarmAt(row));
    }

    FakeTimer* timer = new FakeTimer;
    CPower power{std::unique_ptr<IWakeTimer>(timer)};
    CSettings settings;
    CZembracfgView view;
    CZembracfgDoc doc{power, settings};
};

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        CSettings::SetStorePath(File(u"store%1.ini"_s.arg(++m_storeIndex)));
        g_now = Utc(8, 0);
        CMessageBox::SetTestMode(true);
        CMessageBox::TakeShownTexts();
        e = std::make_unique<Env>();
    }
    void cleanup()
    {
        e.reset();
        CMessageBox::SetNextAnswers({});
        CFileDialog::SetNextFileNames({});
    }
    void newAndEditedAlarmsArmTheEarliestAndCancelChangesNothing()
    {
        QVERIFY(Open({Alarm(10, 0, "A")}));
        e->doc.SetDialogRunner(Answer(9, 0, u"B"_s));
        Q_EMIT e->view.NewAlarmRequested();
        const CAlarm* b = e->At(1);
        QVERIFY(e->doc.IsModified());
        QCOMPARE(e->Current(), Armed(Utc(9, 0), b->m_nId));
        e->doc.SetDialogRunner(Answer(11, 0, u"C"_s));
        e->doc.OnNewAlarm();
        QCOMPARE(e->Current(), Armed(Utc(9, 0), b->m_nId));

        // Cancel, on a new alarm or on an edit, changes nothing and arms nothing.
        e->doc.SetModifiedFlag(false);
        const int arms = e->Arms();
        e->doc.SetDialogRunner(Answer(8, 30, u"X"_s, QDialog::Rejected));
        e->doc.OnNewAlarm();
        e->Pick(1);
        Q_EMIT e->view.EditAlarmRequested();
        QCOMPARE(e->Comments(), (QStringList{u"A"_s, u"B"_s, u"C"_s}));
        QCOMPARE(b->m_time, Local(9, 0));
        QVERIFY(!e->doc.IsModified());
        QCOMPARE(e->Arms(), arms);

        // OK on the edit of the picked alarm (not the first row) rewrites that alarm and its row.
        e->doc.SetDialogRunner(Answer(8, 30, u"B2"_s));
        e->doc.OnEditAlarm();
        QVERIFY(e->doc.IsModified());
        QCOMPARE(e->Current(), Armed(Utc(8, 30), b->m_nId));
        QCOMPARE(e->view.List()->model()->index(1, CAlarmList::kCommentColumn).data().toString(),
                 u"B2"_s);
    }
    void deleteAsksFirstAndTheEmptiedListCancelsTheTimer()
    {
        QVERIFY(Open({Alarm(9, 0, "A"), Alarm(8, 30, "B")}));
        const CAlarm* a = e->At(0);
        // No changes nothing, but still re-arms.
        e->Pick(1);
        const int arms = e->Arms();
        CMessageBox::SetNextAnswers({QMessageBox::No});
        Q_EMIT e->view.DeleteAlarmRequested();
        QCOMPARE(CMessageBox::TakeShownTexts(),
                 QStringList{u"Czy na pewno chcesz usunąć alarm?"_s});
        QCOMPARE(e->view.RowCount(), 2);
        QVERIFY(!e->doc.IsModified());
        QVERIFY(e->Arms() > arms);

        CMessageBox::SetNextAnswers({QMessageBox::Yes});
        e->doc.OnDeleteAlarm();
        QCOMPARE(e->view.RowCount(), 1);
        QCOMPARE(e->view.AlarmAt(0), a);
        QVERIFY(e->doc.IsModified());
        QCOMPARE(e->Current(), Armed(Utc(9, 0), a->m_nId));

        // Picked without a selected row.
        e->view.ShowAlarmProperties(a);
        CMessageBox::SetNextAnswers({QMessageBox::Yes});
        e->doc.OnDeleteAlarm();
        QCOMPARE(e->view.RowCount(), 0);
        QCOMPARE(e->Current(), kCancelled);
    }
    void switchingOnAndOffRearmsAndMarksTheListModified()
    {
        QVERIFY(Open({Alarm(9, 0, "A")}));
        const CAlarm* a = e->At(0);
        Q_EMIT e->view.AlarmActiveChanged(a, false);
        QCOMPARE(e->Current(), kCancelled);
        QVERIFY(e->doc.IsModified());

        e->doc.SetModifiedFlag(false);
        Q_EMIT e->view.AlarmActiveChanged(a, true);
        QCOMPARE(e->Current(), Armed(Utc(9, 0), a->m_nId));
        QVERIFY(e->doc.IsModified());
    }
    void saveAsNewAndOpenRoundTrip()
    {
        e->doc.AddAlarm(std::make_unique<CAlarm>(Alarm(9, 0, "Pobudka żółw")));
        CFileDialog::SetNextFileNames({File(u"lista"_s), File(u"lista.zmb"_s)});
        QVERIFY(e->doc.FileSaveAs());
        QVERIFY(e->doc.FileNew());
        QCOMPARE(e->Current(), kCancelled);
        QVERIFY(e->doc.FileOpen());
        QCOMPARE(e->Comments(), QStringList{u"Pobudka żółw"_s});
        QVERIFY(!e->doc.IsModified());
        QCOMPARE(e->Current(), Armed(Utc(9, 0), e->At(0)->m_nId));
        QCOMPARE(CMessageBox::TakeShownTexts(), QStringList());
    }
    void unsavedChanges_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer");
        for (const char* command : {"new", "open", "quit"}) {
            QTest::addRow("%s yes", command)
                << QString::fromLatin1(command) << int(QMessageBox::Yes);
            QTest::addRow("%s no", command) << QString::fromLatin1(command) << int(QMessageBox::No);
            QTest::addRow("%s cancel", command)
                << QString::fromLatin1(command) << int(QMessageBox::Cancel);
        }
    }
    void unsavedChanges()
    {
        QFETCH(QString, command);
        QFETCH(int, answer);
        QVERIFY(OpenAndChange());
        const QString other = File(u"inne.zmb"_s);
        QVERIFY(WriteList(other, {Alarm(11, 0, "X"), Alarm(12, 0, "Y"), Alarm(13, 0, "Z")}));
        CMessageBox::SetNextAnswers({static_cast<QMessageBox::StandardButton>(answer)});
        CFileDialog::SetNextFileNames({other});
        const bool done = command == u"new"_s    ? e->doc.FileNew()
                          : command == u"open"_s ? e->doc.FileOpen()
                                                 : e->doc.SaveModified();
        QCOMPARE(CMessageBox::TakeShownTexts(), QStringList{u"Zapisać zmiany w l?"_s});
        QCOMPARE(test::ReadList(File(u"l.zmb"_s)).size(),
                 std::size_t(answer == QMessageBox::Yes ? 2 : 1));
        QCOMPARE(done, answer != QMessageBox::Cancel);
        QVERIFY(done || e->doc.IsModified());
        const int expected = !done ? 2 : command == u"new"_s ? 0 : command == u"open"_s ? 3 : 2;
        QCOMPARE(e->doc.Scheduler().Count(), std::size_t(expected));
    }
    void fileFailuresKeepTheList()
    {
        QVERIFY(OpenAndChange());
        const QString good = e->doc.PathName();

        // Saving fails: the message names the file and the reason, the list stays modified. Opening
        // a foreign file fails, and says so before any question about the unsaved list, which
        // stays.
        const QString path = File(u"brak/lista.zmb"_s);
        CScheduler probe;
        QCOMPARE(probe.SaveToFile(QFile::encodeName(path).toStdString()), 1);
        const QString bad = File(u"zla.zmb"_s);
        QVERIFY(WriteText(bad, "<?xml version=\"1.0\"?><Other><Thing/></Other>"));
        CFileDialog::SetNextFileNames({path, bad});
        QVERIFY(!e->doc.FileSaveAs());
        QVERIFY(!e->doc.FileOpen());
        const QStringList shown = CMessageBox::TakeShownTexts();
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown[0].contains(QDir::toNativeSeparators(path)), qPrintable(shown[0]));
        QVERIFY2(shown[0].contains(QString::fromStdString(probe.GetLastFileError())),
                 qPrintable(shown[0]));
        QVERIFY2(shown[1].contains(QDir::toNativeSeparators(bad)), qPrintable(shown[1]));
        QCOMPARE(e->view.RowCount(), 2);
        QVERIFY(e->doc.IsModified());
        QCOMPARE(e->doc.PathName(), good);
    }
    void recentFilesAreTheLastFourMostRecentFirst()
    {
        QStringList files;
        for (int i = 0; i < 5; ++i) {
            files << File(u"f%1.zmb"_s.arg(i));
            QVERIFY(WriteList(files.last(), {Alarm(9, i, "A")}));
            QVERIFY(e->doc.OpenDocumentFile(files.last()));
        }
        QCOMPARE(e->doc.RecentFiles(), (QStringList{files[4], files[3], files[2], files[1]}));
        QVERIFY(e->doc.OpenRecentFile(files[2]));
        const QStringList expected{files[2], files[4], files[3], files[1]};
        QCOMPARE(e->doc.RecentFiles(), expected);
        // Kept in the settings store for the next run.
        QCOMPARE(CZembracfgDoc(e->power, e->settings).RecentFiles(), expected);
    }
    void saveAsWithoutTheExtensionAsksBeforeReplacing()
    {
        CMessageBox::SetTestMode(false); // real boxes and file dialogs, with their modal loops
        const QString existing = File(u"name.zmb"_s);
        QVERIFY(WriteList(existing, {Alarm(7, 0, "kept")}));
        QVERIFY(Open({Alarm(9, 0, "new")}));

        // The name is typed without ".zmb"; the question is about name.zmb, and No keeps it. The
        // suggested name is picked once the folder's listing arrives, and a box that has the focus
        // keeps its text on selectFile: both are replaced after that, as a user's typing would.
        QPointer<QFileDialog> fileDialog;
        QString question;
        test::AnswerNextModal(
            [&](QWidget* dialog) {
                fileDialog = static_cast<QFileDialog*>(dialog);
                auto* files = dialog->findChild<QAbstractItemView*>(u"listView"_s);
                QTRY_VERIFY(files->selectionModel()->hasSelection());
                files->clearSelection();
                dialog->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(File(u"name"_s));
                QMetaObject::invokeMethod(fileDialog, "accept", Qt::QueuedConnection);
            },
            "QFileDialog");
        test::AnswerNextModal(
            [&](QWidget* box) {
                question = static_cast<QMessageBox*>(box)->text();
                static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
                QMetaObject::invokeMethod(fileDialog, "reject", Qt::QueuedConnection);
            },
            "QMessageBox");
        QVERIFY(!e->doc.FileSaveAs());
        QVERIFY2(question.contains(u"name.zmb"_s), qPrintable(question));
        QCOMPARE(test::ReadList(existing).at(0).m_strComment, std::string("kept"));
    }
    void aWriteProtectedListIsRefusedWithItsName()
    {
        CMessageBox::SetTestMode(false); // real boxes and file dialogs, with their modal loops
        QVERIFY(Open({Alarm(9, 0, "A")}));
        const QString path = e->doc.PathName();
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup
                                                | QFileDevice::ReadOther));
        e->doc.SetModifiedFlag();
        QString message;
        test::AnswerNextBox(QMessageBox::Ok, &message);
        QVERIFY(!e->doc.FileSave());
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        QVERIFY(e->doc.IsModified());
        QCOMPARE(QFileInfo(path).permissions() & QFileDevice::WriteOwner,
                 QFileDevice::Permissions());
    }
    void expiryHandsOverDueAlarms()
    {
        QVERIFY(Open({Alarm(9, 0, "A", kFrequencyEveryday), Alarm(9, 0, "B"), Alarm(7, 0, "C")}));
        const CAlarm* a = e->At(0);
        QCOMPARE(e->Current(), Armed(Utc(9, 0), a->m_nId));

        // Exactly on time: B, due at the very same moment, must ring once and not be armed again.
        g_now = Utc(9, 0);
        QSignalSpy due(&e->doc, &CZembracfgDoc::AlarmsDue);
        const int arms = e->Arms();
        const WakeEvent expired{WakeEvent::Kind::Expired, a->m_nId, Utc(9, 0), {}};
        e->doc.OnWake(expired);
        QCOMPARE(due.count(), 1);
        const auto pass = due.at(0).at(0).value<FiringPass>();
        QCOMPARE(pass.alarms.size(), std::size_t{2});
        QCOMPARE(pass.alarms[0].alarm.m_strComment, std::string("B"));
        QVERIFY(pass.alarms[0].caughtUp);
        QCOMPARE(pass.alarms[1].alarm.m_strComment, std::string("A"));
        QVERIFY(!pass.alarms[1].caughtUp);
        // The fired alarm's own next occurrence is armed at once, in a single arming.
        QCOMPARE(e->Current(), Armed(Utc(9, 0, 5), a->m_nId));
        QCOMPARE(e->Arms(), arms + 1);

        // The clock set back before the moment: the moment is armed again.
        g_now = Utc(8, 30);
        e->doc.OnWake({WakeEvent::Kind::ClockChanged, 0, 0, {}});
        QCOMPARE(e->Current(), Armed(Utc(9, 0), a->m_nId));

        // An expiry armed for a list that has been replaced names nothing in the new one.
        QVERIFY(e->doc.OnNewDocument());
        e->doc.OnWake(expired);
        QCOMPARE(due.count(), 1);
    }
    void aChangeRightAfterTheMomentRingsTheDueAlarmOnce()
    {
        QVERIFY(Open({Alarm(9, 0, "A", kFrequencyEveryday, kTypeShutdown), Alarm(10, 0, "B")}));
        const CAlarm* a = e->At(0);
        QSignalSpy due(&e->doc, &CZembracfgDoc::AlarmsDue);

        // The kernel has signalled, but the user switches B off before the expiry is handled:
        // A is carried out then and there, on time, and the stale expiry brings nothing more.
        g_now = Utc(9, 0) + kTicksPerSecond;
        e->doc.SetAlarmActive(e->At(1), false);
        QCOMPARE(due.count(), 1);
        const auto pass = due.at(0).at(0).value<FiringPass>();
        QCOMPARE(pass.alarms.size(), std::size_t{1});
        QCOMPARE(pass.powerType, std::string(kTypeShutdown));
        e->doc.OnWake({WakeEvent::Kind::Expired, a->m_nId, Utc(9, 0), {}});
        QCOMPARE(due.count(), 1);
        QCOMPARE(e->Current(), Armed(Utc(9, 0, 5), a->m_nId));
    }
    void lateAlarmsMakeNoPowerRequest()
    {
        QVERIFY(Open({Alarm(9, 0, "A", kFrequencyOnce, kTypeStandby)}));
        QSignalSpy due(&e->doc, &CZembracfgDoc::AlarmsDue);
        // The lid was closed across the moment and opened three hours later.
        g_now = Utc(12, 0);
        e->doc.OnWake({WakeEvent::Kind::Expired, e->At(0)->m_nId, Utc(9, 0), {}});
        const auto pass = due.at(0).at(0).value<FiringPass>();
        QVERIFY(pass.HasLate());
        QCOMPARE(pass.alarms[0].LateMinutes(), 180);
        QCOMPARE(pass.powerType, std::string());
    }
    void aNewTimeZoneRearmsForTheWallClockTime()
    {
        QVERIFY(Open({Alarm(9, 0, "A", kFrequencyEveryday)}));
        QCOMPARE(e->Current(), Armed(Utc(9, 0), e->At(0)->m_nId));

        // The zone is announced the way the system does it: the zone file changes.
        const QString zoneFile = File(u"localtime"_s);
        QVERIFY(WriteText(zoneFile, "Europe/Warsaw"));
        TimeZoneSources sources;
        sources.files = {zoneFile};
        CTimeZoneWatcher watcher(sources, QDBusConnection(QString()));
        connect(&watcher, &CTimeZoneWatcher::ZoneChanged, &e->doc,
                &CZembracfgDoc::OnTimeZoneChanged);
        QSignalSpy changed(&watcher, &CTimeZoneWatcher::ZoneChanged);
        qputenv("TZ", "America/New_York");
        QVERIFY(WriteText(zoneFile, "America/New_York"));
        QVERIFY(changed.wait(5000));
        const FileTime nine = Utc(9, 0); // now read in the new zone
        qputenv("TZ", "Europe/Warsaw");
        ReloadTimeZone();
        QCOMPARE(e->Current(), Armed(nine, e->At(0)->m_nId));
        QVERIFY(nine != Utc(9, 0));
    }
    void thePanelSaysWhetherTheAlarmWakesTheComputer()
    {
        QVERIFY(Open({Alarm(9, 0, "A")}));
        auto* panel = e->view.StatusPanel();
        QCOMPARE(panel->WakeText(), u"Komputer zostanie wybudzony na ten alarm."_s);

        WakeCapability refused;
        refused.kind = WakeCapability::Kind::NoPermission;
        refused.command = "sudo setcap cap_wake_alarm+ep /usr/bin/zembra";
        {
            const std::lock_guard lock(e->timer->mutex);
            e->timer->capability = refused;
        }
        e->doc.UpdateTimer();
        QCOMPARE(panel->WakeCommand(), u"sudo setcap cap_wake_alarm+ep /usr/bin/zembra"_s);
        QVERIFY(panel->WakeText().startsWith(u"Komputer nie zostanie wybudzony"_s));
        // Nothing pending, nothing said.
        e->doc.SetAlarmActive(e->At(0), false);
        QVERIFY(panel->WakeText().isEmpty());
        QVERIFY(panel->WakeCommand().isEmpty());
    }
    void programsTheUserTypedOrSavedRunAndOthersAreHeldBack()
    {
        // A list from elsewhere: its program is held back; the bar and the panel say so.
        CAlarm foreign = Alarm(9, 0, "obcy");
        foreign.m_strProgram = "rm -rf ~/important";
        foreign.m_bProgramActive = true;
        QVERIFY(Open({foreign}));
        QCOMPARE(e->view.ConsentBarPrograms(), QStringList{u"rm -rf ~/important"_s});
        e->view.ShowAlarmProperties(e->At(0));
        QVERIFY(e->view.PropertiesPanel()
                    ->findChild<QLabel*>(u"actionValue"_s)
                    ->text()
                    .contains(u"Program wstrzymany: niezatwierdzony"_s));
        QSignalSpy due(&e->doc, &CZembracfgDoc::AlarmsDue);
        g_now = Utc(9, 0);
        e->doc.Resync();
        QVERIFY(due.last().at(0).value<FiringPass>().alarms.at(0).programHeldBack);

        // What the user types in the dialog runs without a question.
        e->doc.SetDialogRunner(Answer(10, 0, u"mine"_s, QDialog::Accepted, u"notify-send moje"_s));
        e->doc.OnNewAlarm();
        QVERIFY(e->doc.Approvals().IsApproved("notify-send moje"));
        QVERIFY(!e->doc.Approvals().IsApproved("rm -rf ~/important"));

        // What the user saves, the user owns: the list reopens with no question.
        const QString own = File(u"own.zmb"_s);
        QVERIFY(e->doc.OnSaveDocument(own));
        QVERIFY(e->doc.OnOpenDocument(own));
        QVERIFY(!e->view.IsConsentBarShown());

        // A command line changed behind the program's back is held back again.
        std::vector<CAlarm> changed = test::ReadList(own);
        changed.at(0).m_strProgram = "rm -rf ~/else";
        QVERIFY(WriteList(own, changed));
        QVERIFY(e->doc.OnOpenDocument(own));
        QCOMPARE(e->view.ConsentBarPrograms(), QStringList{u"rm -rf ~/else"_s});
    }
    // Someone else (an editor, zembractl, a sync folder) changes the list while the program has it
    // open; the program's watcher sees it. Its own saves are no change.
    void aListChangedOnDiskIsReadAgainKeepingThePickedAlarm()
    {
        QVERIFY(Open({Alarm(9, 0, "A"), Alarm(10, 0, "B")}));
        e->Pick(1);
        QSignalSpy said(&e->doc, &CZembracfgDoc::StatusMessage);
        QVERIFY(WriteList(File(u"l.zmb"_s),
                          {Alarm(8, 30, "new"), Alarm(9, 0, "A"), Alarm(10, 0, "B")}));
        QTRY_COMPARE(e->view.RowCount(), 3);
        QVERIFY(!e->doc.IsModified());
        QCOMPARE(e->Current(), Armed(Utc(8, 30), e->At(0)->m_nId));
        QCOMPARE(e->view.SelectedAlarm(), e->At(2));
        QCOMPARE(said.count(), 1);
        QCOMPARE(said.at(0).at(0).toString(),
                 u"Lista została przeczytana ponownie, bo zmieniono ją na dysku."_s);

        const CAlarm* before = e->At(0);
        e->doc.SetModifiedFlag();
        QVERIFY(e->doc.FileSave());
        e->doc.CheckFileOnDisk();
        QCOMPARE(e->At(0), before);
        QCOMPARE(said.count(), 1);
        QCOMPARE(CMessageBox::TakeShownTexts(), QStringList());
    }
    void aChangeOnDiskBesideUnsavedChangesIsOffered_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("comments");
        QTest::newRow("reload") << u"diskReload"_s << QStringList{u"X"_s};
        QTest::newRow("keep") << u"diskKeep"_s << QStringList{u"A"_s, u"mine"_s};
    }
    void aChangeOnDiskBesideUnsavedChangesIsOffered()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, comments);
        QVERIFY(OpenAndChange());
        QVERIFY(WriteList(File(u"l.zmb"_s), {Alarm(8, 30, "X")}));
        QTRY_VERIFY(e->view.IsDiskChangedBarShown());
        QCOMPARE(e->view.RowCount(), 2);

        e->view.findChild<QPushButton*>(button)->click();
        QVERIFY(!e->view.IsDiskChangedBarShown());
        QCOMPARE(e->Comments(), comments);
        QCOMPARE(e->doc.IsModified(), comments.size() == 2);
        QCOMPARE(e->view.RowCount(), comments.size());
        QCOMPARE(e->Current().first, comments.first() == u"X"_s ? Utc(8, 30) : Utc(9, 0));
    }
    void aSaveOverAFileChangedOnDiskAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes, replace it") << int(QMessageBox::Yes);
        QTest::newRow("no") << int(QMessageBox::No);
    }
    void aSaveOverAFileChangedOnDiskAsksFirst()
    {
        QFETCH(int, answer);
        CMessageBox::SetTestMode(false); // real boxes and file dialogs, with their modal loops
        QVERIFY(OpenAndChange());
        const QString path = File(u"l.zmb"_s);
        QVERIFY(WriteList(path, {Alarm(7, 0, "theirs")}));

        QString asked;
        test::AnswerNextBox(static_cast<QMessageBox::StandardButton>(answer), &asked);
        const bool saved = e->doc.FileSave();
        QVERIFY2(asked.contains(u"został zmieniony na dysku"_s), qPrintable(asked));
        QCOMPARE(saved, answer == QMessageBox::Yes);
        QCOMPARE(e->doc.IsModified(), !saved);
        QCOMPARE(test::ReadList(path).size(), std::size_t(saved ? 2 : 1));
        if (saved) {
            // What the window wrote is the file as it knows it: the next save asks nothing.
            QVERIFY(e->doc.FileSave());
            QCOMPARE(CMessageBox::TakeShownTexts(), QStringList());
        }
    }
    void aListWhoseFileWentAwayStaysUnsaved()
    {
        QVERIFY(Open({Alarm(9, 0, "A")}));
        QSignalSpy said(&e->doc, &CZembracfgDoc::StatusMessage);
        const QString path = File(u"l.zmb"_s);
        QVERIFY(QFile::rename(path, File(u"moved.zmb"_s)));
        QTRY_VERIFY(e->doc.IsModified());
        QCOMPARE(e->Current(), Armed(Utc(9, 0), e->At(0)->m_nId));
        QCOMPARE(said.count(), 1);
        QVERIFY(said.at(0).at(0).toString().contains(u"usunięty lub przeniesiony"_s));
        // Saving puts it back, without a question.
        QVERIFY(e->doc.FileSave());
        QCOMPARE(test::ReadList(path).size(), std::size_t(1));
        QCOMPARE(CMessageBox::TakeShownTexts(), QStringList());
    }

private:
    QString File(const QString& name) const { return m_dir->filePath(name); }
    // The list l.zmb with these alarms, opened.
    bool Open(const std::vector<CAlarm>& alarms)
    {
        return WriteList(File(u"l.zmb"_s), alarms) && e->doc.OnOpenDocument(File(u"l.zmb"_s));
    }
    // l.zmb with A, opened, and an alarm added in the window and not saved.
    bool OpenAndChange()
    {
        const bool opened = Open({Alarm(9, 0, "A")});
        e->doc.AddAlarm(std::make_unique<CAlarm>(Alarm(10, 0, "mine")));
        return opened && e->doc.IsModified();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Env> e;
    int m_storeIndex = 0;
};

int main(int argc, char** argv)
{
    QTemporaryDir root;
    if (!root.isValid() || !qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(u"cfg"_s)))
        || !qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath(u"data"_s)))) {
        return 2; // the settings and recovery copies cannot be kept apart from the user's
    }
    qputenv("TZ", "Europe/Warsaw");
    ReloadTimeZone();
    QApplication app(argc, argv);
    CMessageBox::SetTestMode(true);
    Clock::SetForTesting([] { return g_now; });
    DocumentTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_document.moc"
