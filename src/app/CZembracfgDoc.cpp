#include "CZembracfgDoc.h"

#include <QLoggingCategory>

#include "CAlarmDialog.h"
#include "CMessageBox.h"
#include "CRecoveryStore.h"
#include "CSettings.h"
#include "CZembracfgView.h"
#include "INextAlarmSink.h"
#include "IPowerRequests.h"
#include "model/AtomicFile.h"
#include "model/ListLock.h"
#include "time/Clock.h"

#include <QCoreApplication>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QMetaObject>
#include <QMetaType>
#include <QTime>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <optional>
#include <utility>
#include <vector>

namespace zembra {

Q_LOGGING_CATEGORY(lcTimer, "zembra.timer", QtWarningMsg)

namespace {

// Editors and sync tools replace a file in several steps (write, rename); its changes are
// looked at once the burst has settled.
constexpr int kDiskCheckDelayMs = 200;
// zembractl holds a list's lock only while it writes the file.
constexpr int kSaveLockTimeoutMs = 3000;
constexpr int kReturnFreedHeapDelayMs = 1000;

QString RecentFileKey()
{
    return QStringLiteral("Software\\Brelko\\Zembra\\Recent File List");
}

QString RecentFileValue(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

// The name the file system knows the file by; the core takes paths as bytes.
std::string NativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString FromCore(const std::string& text)
{
    return QString::fromStdString(text);
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Identical files must not appear twice in the recent list, however they were named.
QString Canonical(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

void LoadDialog(CAlarmDialog& dialog, const CAlarm& alarm)
{
    const SystemTime& t = alarm.m_time;
    dialog.m_dtDate = QDate(t.wYear, t.wMonth, t.wDay);
    dialog.m_dtTime = QTime(t.wHour, t.wMinute, t.wSecond);
    dialog.m_bActive = alarm.m_bActive;
    dialog.m_strComment = FromCore(alarm.m_strComment);
    dialog.m_strMessage = FromCore(alarm.m_strMessage);
    dialog.m_strSound = FromCore(alarm.m_strSound);
    dialog.m_strProgram = FromCore(alarm.m_strProgram);
    dialog.m_bMessage = alarm.m_bMessageActive;
    dialog.m_bSound = alarm.m_bSoundActive;
    dialog.m_bProgram = alarm.m_bProgramActive;
    dialog.m_strFrequency = FromCore(alarm.m_strFrequency);
    dialog.m_strType = FromCore(alarm.m_strType);
}

void TakeDialog(CAlarm& alarm, const CAlarmDialog& dialog)
{
    SystemTime& t = alarm.m_time;
    if (dialog.m_dtDate.isValid()) {
        t.wYear = static_cast<std::uint16_t>(dialog.m_dtDate.year());
        t.wMonth = static_cast<std::uint16_t>(dialog.m_dtDate.month());
        t.wDayOfWeek = static_cast<std::uint16_t>(dialog.m_dtDate.dayOfWeek() % 7); // Sunday = 0
        t.wDay = static_cast<std::uint16_t>(dialog.m_dtDate.day());
    }
    if (dialog.m_dtTime.isValid()) {
        t.wHour = static_cast<std::uint16_t>(dialog.m_dtTime.hour());
        t.wMinute = static_cast<std::uint16_t>(dialog.m_dtTime.minute());
        t.wSecond = static_cast<std::uint16_t>(dialog.m_dtTime.second());
        t.wMilliseconds = static_cast<std::uint16_t>(dialog.m_dtTime.msec());
    }
    alarm.m_bActive = dialog.m_bActive;
    alarm.m_strComment = dialog.m_strComment.toStdString();
    alarm.m_strMessage = dialog.m_strMessage.toStdString();
    alarm.m_strSound = dialog.m_strSound.toStdString();
    alarm.m_strProgram = dialog.m_strProgram.toStdString();
    alarm.m_bMessageActive = dialog.m_bMessage;
    alarm.m_bSoundActive = dialog.m_bSound;
    alarm.m_bProgramActive = dialog.m_bProgram;
    alarm.m_strFrequency = dialog.m_strFrequency.toStdString();
    alarm.m_strType = dialog.m_strType.toStdString();
}

// The same alarm, as far as its file tells: every saved field alike.
bool SameContents(const CAlarm& a, const CAlarm& b)
{
    return a.m_time == b.m_time && a.m_bActive == b.m_bActive && a.m_strType == b.m_strType
           && a.m_strFrequency == b.m_strFrequency && a.m_strComment == b.m_strComment
           && a.m_strMessage == b.m_strMessage && a.m_strSound == b.m_strSound
           && a.m_strProgram == b.m_strProgram && a.m_bMessageActive == b.m_bMessageActive
           && a.m_bSoundActive == b.m_bSoundActive && a.m_bProgramActive == b.m_bProgramActive;
}

// The local wall-clock moment shown for a firing: a one-time alarm shows its own moment, as
// the user entered it; a repeating one the occurrence found.
SystemTime LocalFiring(const CAlarm& alarm, FileTime firingUtc)
{
    // A one-time alarm keeps the time as the user wrote it (a time in a clock change's gap
    // included), unless this is a snooze or a postponed occurrence, at a moment of its own.
    if (alarm.m_strFrequency == kFrequencyOnce && LocalSystemTimeToUtc(alarm.m_time) == firingUtc) {
        return alarm.m_time;
    }
    return UtcToLocalSystemTime(firingUtc).value_or(alarm.m_time);
}

} // namespace

CZembracfgDoc::CZembracfgDoc(CPower& power, CSettings& settings, IPowerRequests* powerRequests,
                             INextAlarmSink* nextAlarmSink, QObject* parent)
    : QObject(parent)
    , m_power(power)
    , m_settings(settings)
    , m_pPowerRequests(powerRequests)
    , m_pNextAlarmSink(nextAlarmSink)
    , m_pScheduler(std::make_unique<CScheduler>())
    , m_road([] { return Clock::Now(); })
{
    qRegisterMetaType<zembra::FiringPass>();
    m_road.SetProgramApprovals(&m_approvals);
    m_sleepPool.setMaxThreadCount(1);
    LoadRecentFiles();
    m_power.SetNotifyWindow(this, "OnWake");
    m_diskCheckDelay.setSingleShot(true);
    m_diskCheckDelay.setInterval(kDiskCheckDelayMs);
    connect(&m_diskCheckDelay, &QTimer::timeout, this, &CZembracfgDoc::CheckFileOnDisk);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this,
            [this] { m_diskCheckDelay.start(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            [this] { m_diskCheckDelay.start(); });
}

CZembracfgDoc::~CZembracfgDoc()
{
    // The worker posts its answer to this object; it must be done before the object goes.
    m_sleepPool.waitForDone();
}

void CZembracfgDoc::SetView(CZembracfgView* view)
{
    if (m_pView != nullptr) {
        disconnect(m_pView, nullptr, this, nullptr);
    }
    m_pView = view;
    if (view == nullptr) {
        return;
    }
    connect(view, &CZembracfgView::NewAlarmRequested, this, &CZembracfgDoc::OnNewAlarm);
    connect(view, &CZembracfgView::EditAlarmRequested, this, &CZembracfgDoc::OnEditAlarm);
    connect(view, &CZembracfgView::DeleteAlarmRequested, this, &CZembracfgDoc::OnDeleteAlarm);
    connect(view, &CZembracfgView::AlarmActiveChanged, this,
            [this](const CAlarm* alarm, bool on) { SetAlarmActive(alarm, on); });
    connect(view, &CZembracfgView::RebuildRequested, this, [this] {
        // Only the texts change language; the list stays as it was saved.
        UpdateTimer();
        RebuildRows();
    });
    view->SetHeldBackTest(
        [this](const CAlarm& alarm) { return IsProgramHeldBack(alarm, m_approvals); });
    connect(view, &CZembracfgView::ReloadFromDiskRequested, this, &CZembracfgDoc::ReloadFromDisk);
    connect(view, &CZembracfgView::KeepMyChangesRequested, this, &CZembracfgDoc::KeepMyChanges);
    connect(view, &CZembracfgView::ProgramsApproved, this, [this](const QStringList& programs) {
        std::vector<std::string> lines;
        for (const QString& program : programs) {
            lines.push_back(program.toStdString());
        }
        if (!m_approvals.Approve(lines)) {
            CMessageBox::Show(DialogParent(),
                              tr("Nie można zapisać zgody w ustawieniach; programy nadal są "
                                 "wstrzymane."));
        }
        RefreshHeldBackPrograms();
    });
    RebuildRows();
    UpdateTimer();
}

void CZembracfgDoc::TellHeldBackPrograms()
{
    CZembracfgView* view = m_pView;
    if (view == nullptr) {
        return;
    }
    QStringList programs;
    for (const std::string& program : UnapprovedPrograms(*m_pScheduler, m_approvals)) {
        programs << FromCore(program);
    }
    if (programs.isEmpty()) {
        view->HideConsentBar();
    } else {
        view->ShowConsentBar(DocumentName(), programs);
    }
    view->ShowAlarmProperties(view->SelectedAlarm());
}

void CZembracfgDoc::RefreshHeldBackPrograms()
{
    CZembracfgView* view = m_pView;
    if (view == nullptr) {
        return;
    }
    if (view->IsConsentBarShown()) {
        TellHeldBackPrograms();
    } else {
        view->ShowAlarmProperties(view->SelectedAlarm());
    }
}

void CZembracfgDoc::ApproveAllPrograms()
{
    m_approvals.Approve(ProgramsOf(*m_pScheduler));
    RefreshHeldBackPrograms();
}

CZembracfgView* CZembracfgDoc::View() const
{
    return m_pView;
}

void CZembracfgDoc::SetDialogRunner(DialogRunner runner)
{
    m_dialogRunner = std::move(runner);
}

QWidget* CZembracfgDoc::DialogParent() const
{
    // A window hidden in the tray would hide its boxes with it on some desktops.
    const CZembracfgView* view = m_pView;
    if (view != nullptr && view->window()->isVisible()) {
        return view->window();
    }
    return nullptr;
}

CAlarm* CZembracfgDoc::FindAlarm(const CAlarm* alarm) const
{
    if (alarm == nullptr) {
        return nullptr;
    }
    // By identity, so that a pointer into a list that has been replaced is never used.
    const int index = m_pScheduler->IndexOf(alarm);
    return index < 0 ? nullptr : m_pScheduler->At(static_cast<std::size_t>(index));
}

const CAlarm* CZembracfgDoc::NextAlarm() const
{
    return m_pScheduler->FindById(m_nNextAlarmId);
}

// ---- the list as a document ----

void CZembracfgDoc::ReplaceSchedule(std::unique_ptr<CScheduler> schedule)
{
    RunPass();
    const std::unique_ptr<CScheduler> old = std::exchange(m_pScheduler, std::move(schedule));
    if (CZembracfgView* view = m_pView) {
        view->DeleteAllRows();
        view->ShowAlarmProperties(nullptr);
        FillRows(*m_pScheduler);
    }
    UpdateTimer();
}

bool CZembracfgDoc::OnNewDocument()
{
    ReplaceSchedule(std::make_unique<CScheduler>());
    TellHeldBackPrograms();
    SetPathName({});
    ForgetFile();
    SetModifiedFlag(false);
    return true;
}

bool CZembracfgDoc::OnOpenDocument(const QString& path, FileProblem* problem)
{
    std::string bytes;
    std::unique_ptr<CScheduler> fresh = ReadList(path, problem, &bytes);
    if (!fresh) {
        return false;
    }
    TakeList(std::move(fresh), path, std::move(bytes));
    return true;
}

std::unique_ptr<CScheduler> CZembracfgDoc::ReadList(const QString& path, FileProblem* problem,
                                                    std::string* bytes)
{
    auto fresh = std::make_unique<CScheduler>();
    std::string text;
    std::string error;
    CScheduler::LoadStatus status = CScheduler::LoadStatus::CannotOpen;
    if (ReadWholeFile(NativePath(path), text, error)) {
        status = fresh->AppendFromFileText(text, &error);
    }
    const QString reason = FromCore(error);
    FileProblem found;
    switch (status) {
    case CScheduler::LoadStatus::Read:
        if (bytes != nullptr) {
            *bytes = std::move(text);
        }
        return fresh;
    case CScheduler::LoadStatus::CannotOpen:
        found = {FileProblem::Kind::CannotRead,
                 tr("Nie można otworzyć pliku %1.\n%2").arg(Shown(path), reason), reason};
        break;
    case CScheduler::LoadStatus::NotParsed:
        found = {FileProblem::Kind::NotAlarmList,
                 tr("Plik %1 nie jest poprawną listą alarmów.\n%2").arg(Shown(path), reason),
                 reason};
        break;
    case CScheduler::LoadStatus::NotAlarmList:
        found = {FileProblem::Kind::NotAlarmList,
                 tr("Plik %1 nie zawiera listy alarmów.\n%2").arg(Shown(path), reason), reason};
        break;
    }
    if (problem != nullptr) {
        *problem = found;
    } else {
        CMessageBox::Show(DialogParent(),
                          found.text + u'\n' + tr("Bieżąca lista alarmów pozostaje bez zmian."));
    }
    return nullptr;
}

void CZembracfgDoc::TakeList(std::unique_ptr<CScheduler> fresh, const QString& path,
                             std::string bytes)
{
    const QString absolute = Canonical(path);
    ReplaceSchedule(std::move(fresh));
    SetPathName(absolute);
    KnowFile(bytes);
    SetModifiedFlag(false);
    m_settings.m_regLastCfg = absolute;
    AddRecentFile(absolute);
    TellHeldBackPrograms();
    // Reading a list and drawing it the first time leave megabytes of freed text and parser
    // records in the heap, which glibc would keep for the program's whole life; they go back
    // once the window has settled (a trim right away comes before the drawing's share).
#ifdef __GLIBC__
    QTimer::singleShot(kReturnFreedHeapDelayMs, this, [] { ::malloc_trim(0); });
#endif
}

bool CZembracfgDoc::OnSaveDocument(const QString& path, FileProblem* problem)
{
    if (IsWriteProtected(NativePath(path))) {
        const QString text = tr("Plik %1 jest chroniony przed zapisem.\nZapisz listę pod inną "
                                "nazwą (Plik > Zapisz jako...).\nZmiany nie zostały zapisane.")
                                 .arg(Shown(path));
        if (problem != nullptr) {
            *problem = {FileProblem::Kind::CannotWrite, text,
                        QStringLiteral("the file is write-protected")};
        } else {
            CMessageBox::Show(DialogParent(), text);
        }
        return false;
    }
    if (!WriteList(path, problem)) {
        return false;
    }
    const QString absolute = Canonical(path);
    SetPathName(absolute);
    SetModifiedFlag(false);
    m_settings.m_regLastCfg = absolute;
    AddRecentFile(absolute);
    // What the user saves, the user owns.
    ApproveAllPrograms();
    return true;
}

bool CZembracfgDoc::WriteList(const QString& path, FileProblem* problem)
{
    const auto fail = [&](const std::string& reason) {
        const QString text = tr("Nie można zapisać pliku %1.\n%2\nZmiany nie zostały zapisane.")
                                 .arg(Shown(path), FromCore(reason));
        if (problem != nullptr) {
            *problem = {FileProblem::Kind::CannotWrite, text, FromCore(reason)};
        } else {
            CMessageBox::Show(DialogParent(), text);
        }
        return false;
    };
    const std::string native = NativePath(path);
    ListLock lock(native);
    std::string error;
    if (lock.Acquire(kSaveLockTimeoutMs, error) == ListLock::Result::Busy) {
        return fail(error);
    }
    // Someone else changed the list's own file since it was read: their change would be lost
    // without a word. A file gone is simply written again.
    std::string onDisk;
    const bool ownFile = !m_strPathName.isEmpty() && Canonical(path) == m_strPathName;
    if (ownFile && ReadWholeFile(native, onDisk, error)
        && (!m_bFileKnown || DigestOf(onDisk) != m_fileDigest)) {
        const QString changed =
            tr("Plik %1 został zmieniony na dysku po wczytaniu listy.").arg(Shown(path));
        if (problem != nullptr) {
            *problem = {FileProblem::Kind::ChangedOnDisk, changed,
                        QStringLiteral("the file was changed on disk after the list was read")};
            return false;
        }
        const QString question =
            changed + u'\n' + tr("Zapisać listę z okna i zastąpić tamte zmiany?");
        // Nobody waits on the lock while the user thinks.
        lock.Release();
        if (CMessageBox::Ask(DialogParent(), question, QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No)
            != QMessageBox::Yes) {
            return false;
        }
        if (lock.Acquire(kSaveLockTimeoutMs, error) == ListLock::Result::Busy) {
            return fail(error);
        }
    }
    std::string text = m_pScheduler->ToFileText();
    if (!WriteFileAtomically(native, text, error)) {
        return fail(error);
    }
    lock.Release();
    SetPathName(Canonical(path));
    KnowFile(text);
    return true;
}

// ---- the list's file on disk ----

CZembracfgDoc::FileDigest CZembracfgDoc::DigestOf(const std::string& bytes)
{
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return {view.size(), qHash(view, 0)};
}

void CZembracfgDoc::KnowFile(const std::string& bytes)
{
    m_fileDigest = DigestOf(bytes);
    m_seenDigest = m_fileDigest;
    m_bFileKnown = true;
    if (CZembracfgView* view = m_pView) {
        view->HideDiskChangedBar();
    }
    WatchFile();
    // A change made between reading the file and watching it is caught too.
    m_diskCheckDelay.start();
}

void CZembracfgDoc::ForgetFile()
{
    m_fileDigest = {};
    m_seenDigest = {};
    m_bFileKnown = false;
    if (CZembracfgView* view = m_pView) {
        view->HideDiskChangedBar();
    }
    WatchFile();
}

void CZembracfgDoc::WatchFile()
{
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    if (!watched.isEmpty()) {
        m_watcher.removePaths(watched);
    }
    if (m_strPathName.isEmpty()) {
        return;
    }
    // The folder too: a file replaced by a rename (as every save here and most editors do) is
    // a new file, which a watch on the old one never sees.
    const QFileInfo info(m_strPathName);
    if (info.exists()) {
        m_watcher.addPath(info.absoluteFilePath());
    }
    m_watcher.addPath(info.absolutePath());
}

void CZembracfgDoc::CheckFileOnDisk()
{
    // The list is not replaced under an alarm being edited: the edit would be lost. The check
    // runs again when the dialog closes.
    if (m_strPathName.isEmpty() || m_bDialogOpen) {
        return;
    }
    WatchFile();
    std::string bytes;
    std::string error;
    if (!ReadWholeFile(NativePath(m_strPathName), bytes, error)) {
        if (QFileInfo::exists(m_strPathName) || !m_bFileKnown) {
            return; // unreadable for a moment, or already told
        }
        // Deleted or moved away: the list lives on here, and only a save brings it back.
        ForgetFile();
        SetModifiedFlag(true);
        Q_EMIT StatusMessage(tr("Plik %1 został usunięty lub przeniesiony. Lista pozostaje w "
                                "programie jako niezapisana.")
                                 .arg(Shown(m_strPathName)));
        return;
    }
    const FileDigest digest = DigestOf(bytes);
    if (digest == m_seenDigest && m_bFileKnown) {
        return; // this program's own save, a touch, or a change already told
    }
    m_seenDigest = digest;
    if (m_bFileKnown && digest == m_fileDigest) {
        // Changed back to what was read: nothing is to be decided any more.
        if (CZembracfgView* view = m_pView) {
            view->HideDiskChangedBar();
        }
        return;
    }
    if (!m_bModified) {
        if (TakeFromDisk(bytes)) {
            Q_EMIT StatusMessage(
                tr("Lista została przeczytana ponownie, bo zmieniono ją na dysku."));
        }
        return;
    }
    if (CZembracfgView* view = m_pView) {
        view->ShowDiskChangedBar(DocumentName());
    }
    // An older note (a list read again) would contradict the bar.
    Q_EMIT StatusMessage({});
}

void CZembracfgDoc::ReloadFromDisk()
{
    if (m_strPathName.isEmpty()) {
        return;
    }
    std::string bytes;
    std::string error;
    if (!ReadWholeFile(NativePath(m_strPathName), bytes, error)) {
        CMessageBox::Show(
            DialogParent(),
            tr("Nie można otworzyć pliku %1.\n%2").arg(Shown(m_strPathName), FromCore(error)));
        return;
    }
    if (TakeFromDisk(bytes)) {
        Q_EMIT StatusMessage(tr("Lista została przeczytana ponownie z dysku."));
    }
}

void CZembracfgDoc::KeepMyChanges()
{
    // The file stays as it is until the user saves, and the save asks before it replaces it.
    if (CZembracfgView* view = m_pView) {
        view->HideDiskChangedBar();
    }
}

bool CZembracfgDoc::TakeFromDisk(const std::string& bytes)
{
    auto fresh = std::make_unique<CScheduler>();
    std::string error;
    if (fresh->AppendFromFileText(bytes, &error) != CScheduler::LoadStatus::Read) {
        // Most likely half written by an editor; its next write brings the watcher back.
        Q_EMIT StatusMessage(tr("Lista %1 została zmieniona na dysku, ale nie jest poprawną listą "
                                "alarmów; w programie pozostaje lista wczytana wcześniej.")
                                 .arg(DocumentName()));
        return false;
    }
    // The picked alarm stays picked: the same one if it is still there, else the one in its place.
    const CZembracfgView* view = m_pView;
    const CAlarm* picked = view != nullptr ? FindAlarm(view->SelectedAlarm()) : nullptr;
    const int pickedIndex = picked != nullptr ? m_pScheduler->IndexOf(picked) : -1;
    const std::optional<CAlarm> pickedCopy =
        picked != nullptr ? std::optional<CAlarm>(*picked) : std::nullopt;

    ReplaceSchedule(std::move(fresh));
    KnowFile(bytes);
    SetModifiedFlag(false);
    // A command line changed behind the program's back is held back again.
    TellHeldBackPrograms();

    if (CZembracfgView* shown = m_pView; shown != nullptr && pickedIndex >= 0) {
        const CAlarm* again = nullptr;
        for (const auto& alarm : m_pScheduler->Alarms()) {
            if (SameContents(*alarm, *pickedCopy)) {
                again = alarm.get();
                break;
            }
        }
        if (again == nullptr) {
            again = m_pScheduler->At(static_cast<std::size_t>(pickedIndex));
        }
        shown->SelectAlarm(again);
    }
    return true;
}

bool CZembracfgDoc::FileNew()
{
    if (!SaveModified()) {
        return false;
    }
    return OnNewDocument();
}

bool CZembracfgDoc::FileOpen()
{
    const QString path =
        CFileDialog::GetOpenFileName(DialogParent(), tr("Otwórz"), tr("Pliki Zembra (*.zmb)"));
    if (path.isEmpty()) {
        return false;
    }
    return OpenDocumentFile(path);
}

bool CZembracfgDoc::FileSave()
{
    if (m_strPathName.isEmpty()) {
        return FileSaveAs();
    }
    return OnSaveDocument(m_strPathName);
}

bool CZembracfgDoc::FileSaveAs()
{
    const QString suggested =
        m_strPathName.isEmpty() ? tr("alarmy") + QStringLiteral(".zmb") : m_strPathName;
    // The dialog adds ".zmb" to a name typed without it before it asks about overwriting, so
    // that the question is asked about the file that will really be replaced.
    QString path =
        CFileDialog::GetSaveFileName(DialogParent(), tr("Zapisz jako"), tr("Pliki Zembra (*.zmb)"),
                                     suggested, QStringLiteral("zmb"));
    if (path.isEmpty()) {
        return false;
    }
    // A desktop's own dialog may hand the name back as typed: the question is asked here then.
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".zmb");
        if (QFileInfo::exists(path)
            && CMessageBox::Ask(
                   DialogParent(),
                   tr("Plik %1 już istnieje.\nCzy chcesz go zastąpić?").arg(Shown(path)),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                   != QMessageBox::Yes) {
            return false;
        }
    }
    return OnSaveDocument(path);
}

bool CZembracfgDoc::OpenDocumentFile(const QString& path)
{
    // A file that cannot be opened is said first: no question about the current list for it.
    std::string bytes;
    std::unique_ptr<CScheduler> fresh = ReadList(path, nullptr, &bytes);
    if (!fresh || !SaveModified()) {
        return false;
    }
    TakeList(std::move(fresh), path, std::move(bytes));
    return true;
}

bool CZembracfgDoc::OpenRecentFile(const QString& path)
{
    std::string bytes;
    std::unique_ptr<CScheduler> fresh = ReadList(path, nullptr, &bytes);
    if (!fresh) {
        RemoveRecentFile(path);
        return false;
    }
    if (!SaveModified()) {
        return false;
    }
    TakeList(std::move(fresh), path, std::move(bytes));
    return true;
}

bool CZembracfgDoc::SaveModified()
{
    if (!m_bModified) {
        return true;
    }
    const QMessageBox::StandardButton answer = CMessageBox::Ask(
        DialogParent(),
        m_strPathName.isEmpty() ? tr("Zapisać nową listę alarmów?")
                                : tr("Zapisać zmiany w %1?").arg(DocumentName()),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    switch (answer) {
    case QMessageBox::Yes:
        // A save that fails or is cancelled keeps everything as it is.
        return FileSave();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool CZembracfgDoc::SaveRecoveryCopy()
{
    if (!m_bModified) {
        return true;
    }
    return CRecoveryStore::Save(*m_pScheduler, m_strPathName);
}

bool CZembracfgDoc::OpenRecovered(const QString& copy, const QString& original)
{
    auto fresh = std::make_unique<CScheduler>();
    if (fresh->LoadFromFile(NativePath(copy)) != 0
        || fresh->GetLastLoadStatus() != CScheduler::LoadStatus::Read) {
        return false;
    }
    ReplaceSchedule(std::move(fresh));
    SetPathName(original);
    // The unsaved changes are to replace the file as it is now, without a question.
    std::string onDisk;
    std::string error;
    if (!original.isEmpty() && ReadWholeFile(NativePath(original), onDisk, error)) {
        KnowFile(onDisk);
    } else {
        ForgetFile();
    }
    SetModifiedFlag(true);
    TellHeldBackPrograms();
    return true;
}

QString CZembracfgDoc::DocumentName() const
{
    if (m_strPathName.isEmpty()) {
        return tr("Bez nazwy");
    }
    return QFileInfo(m_strPathName).completeBaseName();
}

QString CZembracfgDoc::Title() const
{
    return QStringLiteral("Zembra - ") + DocumentName();
}

void CZembracfgDoc::SetModifiedFlag(bool modified)
{
    if (m_bModified == modified) {
        return;
    }
    m_bModified = modified;
    Q_EMIT ModifiedChanged(modified);
}

void CZembracfgDoc::SetPathName(const QString& path)
{
    if (m_strPathName == path) {
        return;
    }
    m_strPathName = path;
    Q_EMIT TitleChanged(Title());
}

// ---- the recent-file list ----

void CZembracfgDoc::LoadRecentFiles()
{
    m_recentFiles.clear();
    for (int i = 0; i < kMaxRecentFiles; ++i) {
        const std::optional<QVariant> value =
            CSettings::ReadValue(RecentFileKey(), RecentFileValue(i));
        const QString path = value ? value->toString() : QString();
        if (!path.isEmpty() && !m_recentFiles.contains(path)) {
            m_recentFiles << path;
        }
    }
}

void CZembracfgDoc::StoreRecentFiles()
{
    // Like the rest of the settings, written at once; a store that refuses is not reported.
    for (int i = 0; i < kMaxRecentFiles; ++i) {
        if (i < m_recentFiles.size()) {
            CSettings::WriteValue(RecentFileKey(), RecentFileValue(i), m_recentFiles.at(i));
        } else {
            CSettings::RemoveValue(RecentFileKey(), RecentFileValue(i));
        }
    }
    Q_EMIT RecentFilesChanged(m_recentFiles);
}

void CZembracfgDoc::AddRecentFile(const QString& path)
{
    const QString entry = Canonical(path);
    if (!m_recentFiles.isEmpty() && m_recentFiles.constFirst() == entry) {
        return;
    }
    m_recentFiles.removeAll(entry);
    m_recentFiles.prepend(entry);
    while (m_recentFiles.size() > kMaxRecentFiles) {
        m_recentFiles.removeLast();
    }
    StoreRecentFiles();
}

void CZembracfgDoc::RemoveRecentFile(const QString& path)
{
    if (m_recentFiles.removeAll(Canonical(path)) + m_recentFiles.removeAll(path) > 0) {
        StoreRecentFiles();
    }
}

// ---- the timer ----

void CZembracfgDoc::UpdateTimer()
{
    FileTime firingUtc = 0;
    const CAlarm* next = m_road.NextAlarm(*m_pScheduler, firingUtc);

    SystemTime local = m_timeArmed;
    if (next != nullptr) {
        local = LocalFiring(*next, firingUtc);
        // The token is the alarm's id: an expiry that arrives after the alarm was deleted or the
        // list replaced names nothing, and the firing road sees that.
        if (!m_power.SetWakeTimer(firingUtc, next->m_nId)) {
            ReportLater(
                tr("Nie można nastawić budzika systemowego: %1\nAlarm ustawiony na %2 może nie "
                   "zadzwonić.")
                    .arg(FromCore(m_power.LastError()), CZembracfgView::DateTimeText(local)));
        }
        m_timeArmed = local;
        m_nNextAlarmId = next->m_nId;
        m_nextFiringUtc = firingUtc;
        qCInfo(lcTimer, "armed for %s (alarm %d)", FormatIso(local, false).c_str(),
               m_pScheduler->IndexOf(next));
    } else {
        if (!m_power.CancelWakeTimer()) {
            ReportLater(tr("Nie można wyłączyć budzika systemowego: %1")
                            .arg(FromCore(m_power.LastError())));
        }
        m_nNextAlarmId = 0;
        m_nextFiringUtc = 0;
        qCInfo(lcTimer, "no alarm pending");
    }

    if (CZembracfgView* view = m_pView) {
        const WakeCapability capability = m_power.GetWakeCapability();
        view->SetWakeStatus(capability.canWake, WakeWhyNot(capability, true),
                            FromCore(capability.command));
        view->ShowNextAlarm(next, local);
    }
    if (m_pNextAlarmSink != nullptr) {
        m_pNextAlarmSink->SetNextAlarm(
            next != nullptr ? std::optional<CAlarm>(*next) : std::nullopt, m_nextFiringUtc);
    }

    // Every power occurrence gets its countdown, not only the next alarm: those within the
    // countdown's five minutes after the next alarm are all that can begin before the next
    // arming, which comes with that alarm at the latest.
    m_powerAhead.clear();
    if (next != nullptr) {
        for (const Occurrence& occurrence :
             m_road.OccurrencesUntil(*m_pScheduler, firingUtc + kPowerCountdownSpan)) {
            if (!occurrence.snoozed && IsPowerType(occurrence.alarm->m_strType)) {
                m_powerAhead.push_back(
                    PlannedOccurrence{*occurrence.alarm, occurrence.atUtc, occurrence.originalUtc});
            }
        }
    }
    Q_EMIT PowerOccurrencesAhead(m_powerAhead);
    Q_EMIT NextAlarmUpdated();
}

std::vector<PlannedOccurrence> CZembracfgDoc::PowerOccurrences() const
{
    return m_powerAhead;
}

void CZembracfgDoc::Snooze(const std::vector<CAlarm>& alarms, int minutes)
{
    if (alarms.empty()) {
        return;
    }
    RunPass();
    const FileTime at = Clock::Now() + minutes * kTicksPerMinute;
    for (const CAlarm& alarm : alarms) {
        m_road.Snooze(alarm, at);
        qCInfo(lcTimer, "snoozed for %d min: %s", minutes, alarm.m_strComment.c_str());
    }
    UpdateTimer();
    Q_EMIT SnoozesChanged(true);
}

void CZembracfgDoc::CancelSnoozes()
{
    if (!m_road.HasSnoozes()) {
        return;
    }
    m_road.CancelSnoozes();
    UpdateTimer();
    Q_EMIT SnoozesChanged(false);
}

bool CZembracfgDoc::PostponeOccurrence(std::uint64_t id, FileTime atUtc, int minutes)
{
    RunPass();
    // From its own moment, or from now should that have passed while the user decided.
    const FileTime newUtc = std::max(atUtc, Clock::Now()) + minutes * kTicksPerMinute;
    const bool done = m_road.Postpone(*m_pScheduler, id, atUtc, newUtc);
    UpdateTimer();
    return done;
}

bool CZembracfgDoc::SkipOccurrence(std::uint64_t id, FileTime atUtc)
{
    RunPass();
    const bool done = m_road.Skip(*m_pScheduler, id, atUtc);
    UpdateTimer();
    return done;
}

bool CZembracfgDoc::CarryOutNow(std::uint64_t id, FileTime atUtc)
{
    RunPass();
    const FiringPass pass = m_road.CarryOutNow(*m_pScheduler, id, atUtc);
    if (!pass.IsEmpty()) {
        qCInfo(lcTimer, "carried out now: alarm %d",
               m_pScheduler->IndexOf(m_pScheduler->FindById(id)));
        Q_EMIT AlarmsDue(pass);
    }
    UpdateTimer();
    return !pass.IsEmpty();
}

void CZembracfgDoc::RunPass(std::uint64_t token)
{
    const FiringPass pass = m_road.OnFireAlarm(*m_pScheduler, token);
    if (pass.IsEmpty()) {
        return;
    }
    for (const DueAlarm& due : pass.alarms) {
        qCInfo(lcTimer, "due: alarm %d at %s%s",
               m_pScheduler->IndexOf(m_pScheduler->FindById(due.alarm.m_nId)),
               FormatIso(LocalFiring(due.alarm, due.firingUtc), false).c_str(),
               due.late ? " (late)" : "");
    }
    Q_EMIT AlarmsDue(pass);
}

QString CZembracfgDoc::WakeWhyNot(const WakeCapability& capability, bool brief)
{
    switch (capability.kind) {
    case WakeCapability::Kind::CanWake:
        return {};
    case WakeCapability::Kind::NoPermission:
        if (brief) {
            return tr("program nie ma uprawnienia. Nadaj je w terminalu poleceniem:");
        }
        return tr("program nie ma uprawnienia do budzenia komputera. Aby je nadać, wykonaj w "
                  "terminalu:\n%1")
            .arg(FromCore(capability.command));
    case WakeCapability::Kind::NoWakeClock:
        if (brief) {
            return tr("ten komputer nie ma zegara, który mógłby go wybudzić.");
        }
        return tr("ten komputer nie ma zegara, który mógłby go wybudzić. Alarm zadzwoni, jeśli "
                  "komputer nie będzie wtedy uśpiony.");
    case WakeCapability::Kind::Disabled:
        return tr("budzenie wyłączono zmienną środowiskową ZEMBRA_NO_WAKE_ALARM.");
    case WakeCapability::Kind::NoTimer:
        break;
    }
    return tr("budzik systemowy jest niedostępny.");
}

void CZembracfgDoc::Resync()
{
    RunPass();
    UpdateTimer();
}

void CZembracfgDoc::OnTimeZoneChanged()
{
    Resync();
    // The rows show wall-clock times, which the new zone leaves as they are; the countdown
    // and the next alarm were brought up to date by the re-arming.
}

void CZembracfgDoc::OnWake(const WakeEvent& event)
{
    switch (event.kind) {
    case WakeEvent::Kind::Expired:
        m_bWaitFailureReported = false;
        RunPass(event.token);
        UpdateTimer();
        break;
    case WakeEvent::Kind::ClockChanged:
        m_bWaitFailureReported = false;
        m_road.OnClockSet();
        Resync();
        break;
    case WakeEvent::Kind::WaitFailed:
        if (!m_bWaitFailureReported) {
            m_bWaitFailureReported = true;
            ReportLater(tr("Oczekiwanie na budzik nie powiodło się: %1\n"
                           "Alarmy mogą nie zadzwonić o czasie.")
                            .arg(FromCore(event.error)));
        }
        break;
    }
}

void CZembracfgDoc::ReportLater(const QString& text)
{
    if (m_pendingReports.contains(text)) {
        return;
    }
    m_pendingReports << text;
    if (m_pendingReports.size() == 1) {
        QMetaObject::invokeMethod(this, &CZembracfgDoc::ShowPendingReports, Qt::QueuedConnection);
    }
}

void CZembracfgDoc::ShowPendingReports()
{
    // Taken before showing: a failure while the box is open starts a report of its own.
    const QStringList reports = std::exchange(m_pendingReports, {});
    if (!reports.isEmpty()) {
        CMessageBox::Show(DialogParent(), reports.join(u'\n'));
    }
}

// ---- rows ----

int CZembracfgDoc::AddAlarmRow(const CAlarm* alarm)
{
    CZembracfgView* view = m_pView;
    if (view != nullptr && alarm != nullptr) {
        view->AddAlarmRow(alarm);
    }
    return 0;
}

int CZembracfgDoc::UpdateSelectedRow(const CAlarm* alarm)
{
    CZembracfgView* view = m_pView;
    if (view != nullptr && alarm != nullptr && !view->UpdateAlarmRow(alarm)) {
        // No row holds it: write them all rather than leave the list short of an alarm.
        RebuildRows();
    }
    return 0;
}

int CZembracfgDoc::FillRows(const CScheduler& schedule)
{
    for (const auto& alarm : schedule.Alarms()) {
        AddAlarmRow(alarm.get());
    }
    return 0;
}

int CZembracfgDoc::RebuildRows()
{
    // Only the rows are written again (after a change of language).
    if (CZembracfgView* view = m_pView) {
        view->DeleteAllRows();
        FillRows(*m_pScheduler);
    }
    return 0;
}

bool CZembracfgDoc::RowsMatchSchedule() const
{
    const CZembracfgView* view = m_pView;
    if (view == nullptr) {
        return true;
    }
    if (view->RowCount() != static_cast<int>(m_pScheduler->Count())) {
        return false;
    }
    for (int row = 0; row < view->RowCount(); ++row) {
        if (view->AlarmAt(row) != m_pScheduler->At(static_cast<std::size_t>(row))) {
            return false;
        }
    }
    return true;
}

// ---- alarm commands ----

void CZembracfgDoc::SetDialogOpen(bool open)
{
    if (m_bDialogOpen == open) {
        return;
    }
    m_bDialogOpen = open;
    Q_EMIT DialogOpenChanged(open);
    if (!open) {
        // A change on disk waited for the dialog.
        m_diskCheckDelay.start();
    }
}

int CZembracfgDoc::RunDialog(CAlarmDialog& dialog)
{
    return m_dialogRunner ? m_dialogRunner(dialog) : dialog.exec();
}

void CZembracfgDoc::OnNewAlarm()
{
    if (m_bDialogOpen) {
        return;
    }
    SetDialogOpen(true);
    CAlarmDialog dialog(DialogParent());
    dialog.m_bActive = true;
    const int result = RunDialog(dialog);
    if (result == QDialog::Accepted) {
        RunPass();
        auto alarm = std::make_unique<CAlarm>();
        TakeDialog(*alarm, dialog);
        // A command line typed or picked in the dialog is the user's own.
        if (!alarm->m_strProgram.empty()) {
            m_approvals.Approve({alarm->m_strProgram});
        }
        const CAlarm* added = alarm.get();
        m_pScheduler->AddAlarm(std::move(alarm));
        AddAlarmRow(added);
        SetModifiedFlag();
        UpdateTimer();
    }
    SetDialogOpen(false);
}

void CZembracfgDoc::OnEditAlarm()
{
    const CZembracfgView* view = m_pView;
    if (m_bDialogOpen || view == nullptr) {
        return;
    }
    const CAlarm* selected = FindAlarm(view->SelectedAlarm());
    if (selected == nullptr) {
        return;
    }
    const std::uint64_t id = selected->m_nId;
    SetDialogOpen(true);
    CAlarmDialog dialog(DialogParent());
    LoadDialog(dialog, *selected);
    const int result = RunDialog(dialog);
    // Looked up again: the list may have been replaced while the dialog was open.
    CAlarm* alarm = m_pScheduler->FindById(id);
    if (result == QDialog::Accepted && alarm != nullptr) {
        RunPass();
        const std::string programBefore = alarm->m_strProgram;
        TakeDialog(*alarm, dialog);
        // Occurrences postponed or skipped belonged to the alarm as it was.
        m_road.ForgetAdjustments(id);
        if (alarm->m_strProgram != programBefore && !alarm->m_strProgram.empty()) {
            m_approvals.Approve({alarm->m_strProgram});
            RefreshHeldBackPrograms();
        }
        SetModifiedFlag();
        UpdateSelectedRow(alarm);
        UpdateTimer();
        if (CZembracfgView* shown = m_pView) {
            shown->ShowAlarmProperties(alarm);
        }
    }
    SetDialogOpen(false);
}

void CZembracfgDoc::OnDeleteAlarm()
{
    const CZembracfgView* view = m_pView;
    if (view == nullptr) {
        return;
    }
    const CAlarm* selected = FindAlarm(view->SelectedAlarm());
    if (selected == nullptr) {
        return;
    }
    const std::uint64_t id = selected->m_nId;
    const QMessageBox::StandardButton answer =
        CMessageBox::Ask(DialogParent(), tr("Czy na pewno chcesz usunąć alarm?"),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    std::unique_ptr<CAlarm> removed;
    if (answer == QMessageBox::Yes) {
        RunPass();
        removed = m_pScheduler->RemoveAlarm(m_pScheduler->FindById(id));
        m_road.ForgetAdjustments(id);
    }
    if (removed) {
        DropRow(removed.get());
    }
    UpdateTimer();
    // `removed` dies here, after the view and the timer have let go of it.
}

void CZembracfgDoc::DropRow(const CAlarm* removed)
{
    if (CZembracfgView* shown = m_pView) {
        shown->DeleteAlarmRow(removed);
        if (!RowsMatchSchedule()) {
            // The rows went out of step with the list: write them all again.
            RebuildRows();
        }
    }
    SetModifiedFlag();
}

int CZembracfgDoc::AddAlarm(std::unique_ptr<CAlarm> alarm)
{
    RunPass();
    const CAlarm* added = alarm.get();
    m_pScheduler->AddAlarm(std::move(alarm));
    AddAlarmRow(added);
    SetModifiedFlag();
    UpdateTimer();
    if (IsProgramHeldBack(*added, m_approvals)) {
        TellHeldBackPrograms();
    }
    return m_pScheduler->IndexOf(added);
}

bool CZembracfgDoc::RemoveAlarmAt(std::size_t index)
{
    if (index >= m_pScheduler->Count()) {
        return false;
    }
    const std::uint64_t id = m_pScheduler->At(index)->m_nId;
    RunPass();
    const std::unique_ptr<CAlarm> removed = m_pScheduler->RemoveAlarm(m_pScheduler->FindById(id));
    if (removed) {
        DropRow(removed.get());
    }
    UpdateTimer();
    if (CZembracfgView* view = m_pView; view != nullptr && view->IsConsentBarShown()) {
        TellHeldBackPrograms();
    }
    return removed != nullptr;
}

bool CZembracfgDoc::SetAlarmActive(const CAlarm* alarm, bool on)
{
    CAlarm* own = FindAlarm(alarm);
    if (own == nullptr || own->m_bActive == on) {
        return on;
    }
    RunPass();
    own->m_bActive = on;
    // The window's check box is already set; a change from elsewhere shows here.
    if (CZembracfgView* view = m_pView) {
        view->UpdateAlarmRow(own);
    }
    SetModifiedFlag();
    UpdateTimer();
    return on;
}

void CZembracfgDoc::OnSleep()
{
    if (m_pPowerRequests == nullptr) {
        CMessageBox::Show(DialogParent(),
                          tr("Nie można wstrzymać komputera: obsługa zasilania jest niedostępna."));
        Q_EMIT SleepRequestFinished(false);
        return;
    }
    if (m_bSleepRunning) {
        return; // the request already on its way is answered first
    }
    m_bSleepRunning = true;
    const bool hibernate = m_settings.m_regButtonSleepMode.Get() != 0;
    IPowerRequests* requests = m_pPowerRequests;
    // logind answers over D-Bus and may take its time; the window must stay responsive.
    m_sleepPool.start([this, requests, hibernate] {
        const PowerResult result = hibernate ? requests->Hibernate() : requests->Standby();
        QMetaObject::invokeMethod(
            this, [this, hibernate, result] { OnSleepFinished(hibernate, result); },
            Qt::QueuedConnection);
    });
}

void CZembracfgDoc::OnSleepFinished(bool hibernate, const PowerResult& result)
{
    m_bSleepRunning = false;
    if (!result.ok) {
        const QString reason = FromCore(result.error);
        CMessageBox::Show(DialogParent(),
                          hibernate ? tr("Nie udało się zahibernować komputera.\n%1").arg(reason)
                                    : tr("Nie udało się wstrzymać komputera.\n%1").arg(reason));
    }
    Q_EMIT SleepRequestFinished(result.ok);
}

} // namespace zembra
