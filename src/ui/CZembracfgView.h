#pragma once

// The main window's central widget: the alarm list with its check boxes, the status panel on the
// right (the next alarm and its countdown) and the properties panel along the bottom (the alarm
// picked in the list). The document writes the rows; the view turns the user's clicks and keys
// into requests for the document's commands.

#include "model/CAlarm.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace zembra {

class CAlarmList;
class CStatusDIalog;
class CAlarmPropDialog;

class CZembracfgView : public QWidget {
    Q_OBJECT

public:
    explicit CZembracfgView(QWidget* parent = nullptr);
    ~CZembracfgView() override;

    // ---- rows, written by the document, in insertion order ----
    // Deletes every row; the item count and the picked alarm start over.
    void DeleteAllRows();
    // Appends a row for the alarm (the row keeps the pointer as its item data): check box from
    // m_bActive, "date-time (weekday) time, frequency text", comment.
    void AddAlarmRow(const CAlarm* alarm);
    // Rewrites the row that holds the alarm; false when no row holds it.
    bool UpdateAlarmRow(const CAlarm* alarm);
    // Deletes the row that holds the alarm; false when no row holds it.
    bool DeleteAlarmRow(const CAlarm* alarm);
    int RowCount() const;
    // The alarm of a row, or null.
    const CAlarm* AlarmAt(int row) const;

    // ---- the panels ----
    // The next alarm (null: none pending) with its local firing time; the countdown is
    // rewritten at each whole second of the time left while the view can be seen.
    void ShowNextAlarm(const CAlarm* alarm, const SystemTime& localFiring);
    // Whether armed alarms wake the computer; when not, why and the command that fixes it (empty
    // when none does). Shown under the next alarm while one is pending.
    void SetWakeStatus(bool canWake, const QString& whyNot, const QString& command = {});
    // Fills the properties panel ("brak" three times for null) and makes the alarm the picked one.
    void ShowAlarmProperties(const CAlarm* alarm);
    // The alarm the user picked in the list; the edit and delete commands act on it.
    const CAlarm* SelectedAlarm() const { return m_pSelectedAlarm; }

    // After a change of language: panel titles and labels, list headers, then the document
    // rebuilds the rows (RebuildRequested).
    void ReloadTexts();

    // ---- programs held back ----
    // A bar above the list: the list's programs that will not run until the user approves
    // them, with "Zezwól" and "Nie zezwalaj". It asks nothing modal: alarms go on ringing.
    void ShowConsentBar(const QString& listName, const QStringList& commandLines);
    void HideConsentBar();
    bool IsConsentBarShown() const;
    QStringList ConsentBarPrograms() const { return m_consentPrograms; }
    // Says whether an alarm's program is held back, for the properties panel.
    void SetHeldBackTest(std::function<bool(const CAlarm&)> heldBack);

    // ---- the list changed on disk while the window holds unsaved changes ----
    // A bar above the list, "Lista została zmieniona na dysku", with "Wczytaj ponownie" and
    // "Zachowaj moje zmiany"; like the consent bar, it stops nothing.
    void ShowDiskChangedBar(const QString& listName);
    void HideDiskChangedBar();
    bool IsDiskChangedBarShown() const;

    // Selects the alarm's row and makes it the picked alarm (null: nothing picked).
    void SelectAlarm(const CAlarm* alarm);

    // The next-alarm text for a firing `localFiring` seen at the UTC moment `now`, in the
    // language of the moment; exposed for the tests of its forms.
    static QString NextAlarmText(const CAlarm* alarm, const SystemTime& localFiring, FileTime now);
    // Its first lines: "Najbliższy alarm:" and the date-time, or "brak".
    static QString NextAlarmHeading(const CAlarm* alarm, const SystemTime& localFiring);
    // "(Pozostało: 1 dzień, 05:03:07)" for a remaining time in 100-ns ticks; a negative one
    // shows as 00:00:00.
    static QString CountdownText(FileTime remaining);
    // The list's date-time text of a local time: short date, weekday in brackets, time.
    static QString DateTimeText(const SystemTime& local);

    // The countdown timer's work: rewrites the countdown of the pending alarm, if any, and waits
    // for the next whole second of the time left.
    void RefreshCountdown();

    CAlarmList* List() const { return m_listAlarms; }
    CStatusDIalog* StatusPanel() const { return m_dlgStatus; }
    CAlarmPropDialog* PropertiesPanel() const { return m_dlgProperties; }

Q_SIGNALS:
    void NewAlarmRequested();
    void EditAlarmRequested();
    void DeleteAlarmRequested();
    // A row's check box changed: the document switches the alarm and re-arms at once.
    void AlarmActiveChanged(const zembra::CAlarm* alarm, bool active);
    // The picked alarm changed (null when none): commands enable or disable themselves.
    void SelectionChanged(const zembra::CAlarm* alarm);
    // The texts changed language: the document rebuilds the rows.
    void RebuildRequested();
    // The user answered the consent bar.
    void ProgramsApproved(const QStringList& commandLines);
    void ProgramsRefused();
    // The user answered the bar of a list changed on disk.
    void ReloadFromDiskRequested();
    void KeepMyChangesRequested();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The countdown runs only while the view can be seen and an alarm is pending.
    void UpdateCountdownTimer();
    // The time left until the pending alarm at `now`, in 100-ns ticks.
    FileTime TimeLeft(FileTime now) const;
    void OnContextMenuRequested(const QPoint& globalPos);
    void OnDeleteKey(const CAlarm* alarm);
    void OnInsertKey(const CAlarm* alarm);
    void OnDoubleClick(const CAlarm* alarm);
    void ReloadMenuTexts();
    void FitStatusPanel();
    void CreateConsentBar();
    void UpdateConsentText();
    void CreateDiskChangedBar();
    void UpdateDiskChangedText();
    void FitTimeColumn();
    // "date-time (weekday) time, frequency text" of an alarm: the list's and the panel's.
    static QString AlarmTimeText(const CAlarm& alarm);

    void ShowWakeStatus();
    // The status panel's next-alarm texts from m_pNextAlarm at this moment.
    void ShowNextAlarmTexts();

    const CAlarm* m_pNextAlarm = nullptr;
    SystemTime m_timeNextAlarm;
    std::optional<FileTime> m_firingUtc;
    // Between a show event and a hide event: a minimised or hidden window gets the latter.
    bool m_bSeen = false;
    bool m_bCanWake = true;
    QString m_strWakeWhyNot;
    QString m_strWakeCommand;
    const CAlarm* m_pSelectedAlarm = nullptr;
    int m_nItemCount = 0;
    CAlarmList* m_listAlarms = nullptr;
    CStatusDIalog* m_dlgStatus = nullptr;
    CAlarmPropDialog* m_dlgProperties = nullptr;
    QTimer* m_countdownTimer = nullptr;
    QMenu* m_menuContext = nullptr;
    QAction* m_actNew = nullptr;
    QAction* m_actEdit = nullptr;
    QAction* m_actDelete = nullptr;
    QFrame* m_consentBar = nullptr;
    QLabel* m_consentText = nullptr;
    QPushButton* m_btnAllow = nullptr;
    QPushButton* m_btnDeny = nullptr;
    QString m_strConsentList;
    QStringList m_consentPrograms;
    std::function<bool(const CAlarm&)> m_heldBack;
    QFrame* m_diskChangedBar = nullptr;
    QLabel* m_diskChangedText = nullptr;
    QPushButton* m_btnReload = nullptr;
    QPushButton* m_btnKeep = nullptr;
    QString m_strDiskChangedList;
};

} // namespace zembra
