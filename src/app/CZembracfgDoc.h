#pragma once

// The alarm list being worked on: it creates, opens and saves .zmb lists, carries out the
// alarm commands (new, edit, delete, switch on or off, put the computer to sleep), keeps the
// rows of the view in step with the list and, above all, keeps the wake timer armed for the
// alarm that fires next. Every change to the list ends in UpdateTimer.
//
// The document and its schedule live on the user-interface thread and are touched only there.
// When the timer comes due, the document runs the firing road on the live schedule and hands
// value copies of what is to be carried out to the alerter (AlarmsDue); nothing outside the
// document ever holds a pointer into the list across a change. Before every change of the list
// the road carries out what is already due, so that a change can neither drop a due alarm nor
// ring one that the change put in the past.
//
// The list's file is watched: a change made by someone else (an editor, a sync folder) is read
// again when nothing is unsaved, and otherwise offered in a bar above the list; a save over a
// file changed since it was read asks first. Saves take the list's lock (ListLock), which
// zembractl holds while it changes a file.

#include "CPower.h"
#include "CProgramApprovals.h"
#include "model/CFiringRoad.h"
#include "model/CScheduler.h"

#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace zembra {

class CAlarmDialog;
class CSettings;
class CZembracfgView;
class INextAlarmSink;
class IPowerRequests;
struct PowerResult;

class CZembracfgDoc : public QObject {
    Q_OBJECT

public:
    // Runs the edit dialog modally and returns its result (QDialog::Accepted for OK).
    using DialogRunner = std::function<int(CAlarmDialog&)>;

    // How many lists the recent-file list keeps.
    static constexpr int kMaxRecentFiles = 4;

    // What went wrong with a file, for callers that tell it themselves instead of in a box.
    struct FileProblem {
        enum class Kind { None, CannotRead, NotAlarmList, CannotWrite, ChangedOnDisk };
        Kind kind = Kind::None;
        QString text;   // as the window would say it, in the user's language
        QString reason; // the system's or the parser's words
    };

    // `powerRequests` and `nextAlarmSink` may be null until the alerting exists; each must
    // outlive the document or be replaced (set to null) before it goes. The document becomes
    // the receiver of the wake timer's events.
    CZembracfgDoc(CPower& power, CSettings& settings, IPowerRequests* powerRequests = nullptr,
                  INextAlarmSink* nextAlarmSink = nullptr, QObject* parent = nullptr);
    CZembracfgDoc(const CZembracfgDoc&) = delete;
    CZembracfgDoc& operator=(const CZembracfgDoc&) = delete;
    // Waits for a sleep request still on its way.
    ~CZembracfgDoc() override;

    // Connects the view's requests to the commands and fills its rows from the list.
    void SetView(CZembracfgView* view);
    CZembracfgView* View() const;
    void SetPowerRequests(IPowerRequests* powerRequests) { m_pPowerRequests = powerRequests; }
    // The program's power requests (null until the alerting exists), shared by every caller.
    IPowerRequests* PowerRequests() const { return m_pPowerRequests; }
    void SetNextAlarmSink(INextAlarmSink* sink) { m_pNextAlarmSink = sink; }
    // Replaces the way the edit dialog is run (tests answer it in place); empty restores exec().
    void SetDialogRunner(DialogRunner runner);

    // ---- the list as a document ----
    // Starts an empty, untitled, unmodified list. Always true.
    bool OnNewDocument();
    // Reads the list into a fresh schedule and takes it over only when it was read as an alarm
    // list; otherwise says what is wrong with the file (in a box, or in `problem` when given)
    // and keeps the current list. On success the file becomes the path name, LastCfg and the top
    // of the recent-file list.
    bool OnOpenDocument(const QString& path, FileProblem* problem = nullptr);
    // Writes the list; on failure says why, and the list stays modified and keeps its path. Over
    // its own file changed on disk since it was read, it asks first (with `problem` given: it
    // refuses, ChangedOnDisk).
    bool OnSaveDocument(const QString& path, FileProblem* problem = nullptr);

    // ---- the user's file commands; false when nothing was done (cancelled or failed) ----
    bool FileNew();
    bool FileOpen();
    bool FileSave();
    bool FileSaveAs();
    // Opening a named list (command line, start-up, drop): asks about unsaved changes first.
    bool OpenDocumentFile(const QString& path);
    // The same from the recent-file list; a list that cannot be opened leaves the list.
    bool OpenRecentFile(const QString& path);
    // The "save changes?" question when the list is modified: Yes saves (Save As for an
    // untitled list), No discards, Cancel keeps everything. True when the caller may go on.
    bool SaveModified();
    // The program must end without asking: an unsaved list goes to the recovery copy. True when
    // nothing was unsaved or the copy was written.
    bool SaveRecoveryCopy();
    // Takes a recovery copy back: its alarms, under the name of the list it belongs to (empty:
    // a list never saved), unsaved.
    bool OpenRecovered(const QString& copy, const QString& original);

    QString PathName() const { return m_strPathName; }
    // The file's base name, "Bez nazwy" for a list never saved.
    QString DocumentName() const;
    // "Zembra - <list name>".
    QString Title() const;
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true);
    // True while the new-alarm or edit-alarm dialog is open: the program must not exit then.
    bool IsDialogOpen() const { return m_bDialogOpen; }
    // Most recent first, at most kMaxRecentFiles.
    QStringList RecentFiles() const { return m_recentFiles; }

    const CScheduler& Scheduler() const { return *m_pScheduler; }
    // The alarm the timer is armed for (null when none is pending) and its firing in UTC.
    const CAlarm* NextAlarm() const;
    FileTime NextFiringUtc() const { return m_nextFiringUtc; }

    // Arms the timer for the earliest occurrence not yet carried out (at once when it is
    // already due), or cancels it when none is pending, and tells the view and the alert
    // window what comes next.
    void UpdateTimer();
    // Carries out what fell due up to now and arms for what comes next: after a change of the
    // clock or the zone, and whenever the window is shown.
    void Resync();
    // Why armed alarms do not wake the computer, in a few words for the status panel or in full
    // (with the command that fixes it, where one does); empty when they do.
    static QString WakeWhyNot(const WakeCapability& capability, bool brief);

    // ---- rows of the view, in list order ----
    int AddAlarmRow(const CAlarm* alarm);
    int UpdateSelectedRow(const CAlarm* alarm);
    int FillRows(const CScheduler& schedule);
    int RebuildRows();

    // Switches the alarm (of this list) on or off; a change marks the list modified, rewrites its
    // row and re-arms the timer. Returns `on`.
    bool SetAlarmActive(const CAlarm* alarm, bool on);

    // ---- changes to single occurrences (never to the list or its file) ----
    // The alarms ring again in `minutes`, with their message and sound only.
    void Snooze(const std::vector<CAlarm>& alarms, int minutes);
    // The user silenced the alarms: no snooze rings any more.
    void CancelSnoozes();
    bool HasSnoozes() const { return m_road.HasSnoozes(); }
    // The power countdown's commands on the occurrence of alarm `id` due at `atUtc`: it moves
    // `minutes` later, is not carried out this time, or is carried out at once. False when it
    // is no longer ahead (carried out, deleted, switched off).
    bool PostponeOccurrence(std::uint64_t id, FileTime atUtc, int minutes);
    bool SkipOccurrence(std::uint64_t id, FileTime atUtc);
    bool CarryOutNow(std::uint64_t id, FileTime atUtc);
    // The standby, hibernate and shut-down occurrences close enough to be counted down before
    // the next arming, as PowerOccurrencesAhead last told them.
    std::vector<PlannedOccurrence> PowerOccurrences() const;

    // ---- changes from outside the window (the session bus, zembractl through it) ----
    // They take the window's road: what is due is carried out first, the rows follow, the list
    // is marked modified and the timer re-armed.
    // Appends the alarm and returns its index. Its program is not approved: the user did not
    // type it here, so it is held back (and the bar says so) until the user allows it.
    int AddAlarm(std::unique_ptr<CAlarm> alarm);
    // Deletes the alarm at `index` without asking; false when there is none.
    bool RemoveAlarmAt(std::size_t index);
    // Everything up to this moment has been carried out; the next firings lie after it.
    FileTime DoneUpTo() const { return m_road.DoneUpTo(); }

    // ---- the list's file on disk ----
    // Checks the file against the list as read or saved; normally the watcher's delay runs it.
    void CheckFileOnDisk();
    // The bar's answers: the list as the file holds it now (the window's changes are dropped),
    // or the window's list kept (a save then asks before it replaces the file).
    void ReloadFromDisk();
    void KeepMyChanges();

    // ---- programs from elsewhere ----
    // The approved command lines (the user's settings).
    IProgramApprovals& Approvals() { return m_approvals; }
    // Approves every program of the list as it stands (what the user owns).
    void ApproveAllPrograms();

public Q_SLOTS:
    void OnNewAlarm();
    void OnEditAlarm();
    void OnDeleteAlarm();
    // Standby or hibernation after the ButtonSleepMode setting, requested off this thread.
    void OnSleep();
    void OnWake(const zembra::WakeEvent& event);
    // The zone rules have been reloaded: what is due is carried out, the rest searched again.
    void OnTimeZoneChanged();

Q_SIGNALS:
    void ModifiedChanged(bool modified);
    void TitleChanged(const QString& title);
    void RecentFilesChanged(const QStringList& files);
    void DialogOpenChanged(bool open);
    // One pass of the firing road: the alarms to carry out (caught-up ones first, as value
    // copies), late ones marked, and the one power request to make after them.
    void AlarmsDue(const zembra::FiringPass& pass);
    // After every arming: the power occurrences that may need a countdown before the next one
    // (those within five minutes after the next alarm), earliest first.
    void PowerOccurrencesAhead(const std::vector<zembra::PlannedOccurrence>& occurrences);
    // Whether a snooze is pending changed.
    void SnoozesChanged(bool pending);
    // A sleep request has been answered (or could not be made); failures have been shown.
    void SleepRequestFinished(bool ok);
    // A note for the status bar: the list was read again, or its file went away.
    void StatusMessage(const QString& text);
    // The timer has been armed or cancelled anew: the next alarm may be another one.
    void NextAlarmUpdated();

private:
    struct FileDigest {
        qsizetype size = -1; // none
        std::size_t hash = 0;
        bool operator==(const FileDigest&) const = default;
    };
    static FileDigest DigestOf(const std::string& bytes);

    QWidget* DialogParent() const;
    // Reads a list; says what is wrong with the file (in a box, or in `problem`) and returns null
    // when it cannot be used. `bytes` receives the file as read.
    std::unique_ptr<CScheduler> ReadList(const QString& path, FileProblem* problem = nullptr,
                                         std::string* bytes = nullptr);
    // Takes a list read from `path` (whose file held `bytes`) over as the document.
    void TakeList(std::unique_ptr<CScheduler> fresh, const QString& path, std::string bytes);
    // Writes the list to `path` under the list's lock, asking first (or refusing, with
    // `problem`) when it is the list's own file and that changed on disk since it was read.
    bool WriteList(const QString& path, FileProblem* problem);
    // The file now holds `bytes`, as read or written here; it is watched from now on.
    void KnowFile(const std::string& bytes);
    void ForgetFile();
    void WatchFile();
    // Takes the list as `bytes` hold it (the file changed on disk), keeping the picked alarm.
    bool TakeFromDisk(const std::string& bytes);
    // One pass of the firing road on the list as it stands; `token` names the alarm the timer
    // was armed for.
    void RunPass(std::uint64_t token = 0);
    // The alarm is out of the list: its row goes, and the list is modified.
    void DropRow(const CAlarm* removed);
    // The alarm of the current list behind a pointer the view handed over, or null.
    CAlarm* FindAlarm(const CAlarm* alarm) const;
    // Takes the new list over: rows, timer; the old list is dropped only after the view and
    // the timer have let go of it.
    void ReplaceSchedule(std::unique_ptr<CScheduler> schedule);
    void SetPathName(const QString& path);
    void SetDialogOpen(bool open);
    // A list just opened: its programs that are not approved are held back, and the view's bar
    // says so. Afterwards the bar follows the approvals given.
    void TellHeldBackPrograms();
    void RefreshHeldBackPrograms();
    int RunDialog(CAlarmDialog& dialog);
    bool RowsMatchSchedule() const;

    void LoadRecentFiles();
    void StoreRecentFiles();
    void AddRecentFile(const QString& path);
    void RemoveRecentFile(const QString& path);

    // Timer troubles are shown once the current work is done: a modal box inside the firing
    // road would hold the alarms back until the user clicks it away.
    void ReportLater(const QString& text);
    void ShowPendingReports();
    void OnSleepFinished(bool hibernate, const PowerResult& result);

    CPower& m_power;
    CSettings& m_settings;
    IPowerRequests* m_pPowerRequests = nullptr;
    INextAlarmSink* m_pNextAlarmSink = nullptr;
    QPointer<CZembracfgView> m_pView;
    DialogRunner m_dialogRunner;

    SystemTime m_timeArmed;           // local firing time of the last arming; kept on cancel
    std::uint64_t m_nNextAlarmId = 0; // the alarm armed for, 0 when the timer is cancelled
    std::vector<PlannedOccurrence> m_powerAhead;
    FileTime m_nextFiringUtc = 0;
    bool m_bDialogOpen = false;
    bool m_bModified = false;
    bool m_bWaitFailureReported = false;
    bool m_bSleepRunning = false;
    std::unique_ptr<CScheduler> m_pScheduler;
    CProgramApprovals m_approvals;
    CFiringRoad m_road;
    QString m_strPathName;
    QStringList m_recentFiles;
    QStringList m_pendingReports;
    // The list's file: watched, and checked once its changes have settled.
    QFileSystemWatcher m_watcher;
    QTimer m_diskCheckDelay;
    // The file as last read or written here, by its size and hash; none with m_bFileKnown false
    // for a list never saved or a file gone. A save over other contents asks first. A digest,
    // not the bytes: a large list's file would otherwise be held twice beside the list itself.
    // No one forges a collision against the user's own editor, so a fast hash does (a
    // cryptographic one costs a 10,000-alarm list 30 ms at every read).
    FileDigest m_fileDigest;
    bool m_bFileKnown = false;
    // The digest of the file as last looked at, so that one change is told once.
    FileDigest m_seenDigest;
    // One worker: logind's answer to a sleep request may take long, and two requests at once
    // make no sense.
    QThreadPool m_sleepPool;
};

} // namespace zembra
