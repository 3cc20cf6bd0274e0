#pragma once

// The alarm list: one row per alarm in the order the document inserted them, a check box that
// switches the alarm on and off, its time with the frequency, and its comment. Several rows may
// be selected; wherever one alarm is needed, the first selected row (the lowest) counts. The list
// turns clicks, keys and the context menu into signals for the view. Its rows live in a table
// model, so that a long list costs little and rewriting one alarm touches only its row.

#include <QPoint>
#include <QTreeView>

#include <functional>

class QContextMenuEvent;

namespace zembra {

class CAlarm;
class CAlarmListModel;

class CAlarmList : public QTreeView {
    Q_OBJECT

public:
    static constexpr int kCheckColumn = 0;
    static constexpr int kTimeColumn = 1;
    static constexpr int kCommentColumn = 2;
    static constexpr int kCheckColumnWidth = 30;
    static constexpr int kTimeColumnWidth = 212;

    explicit CAlarmList(QWidget* parent = nullptr);

    // Column headers and the list's accessible name in the current language.
    void ReloadTexts();
    // Rows are picked whole: showing a row never scrolls the list sideways to a column.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    // Makes the time column wide enough for this text (the widest it shows) in the list's font.
    void FitTimeColumn(const QString& widest);

    // How the time column reads an alarm (made when its row is first shown).
    void SetTimeText(std::function<QString(const CAlarm&)> timeText);

    // ---- rows, written on behalf of the document; these never report a check-box change ----
    // A row shows its alarm (time and comment) as it is whenever it is painted: the alarm must
    // outlive its row.
    void InsertAlarmRow(int index, const CAlarm* alarm, bool active);
    void SetAlarmRow(int row, const CAlarm* alarm, bool active);
    // Empties the list; nothing is picked any more.
    void RemoveAllRows();
    // No row is current (after the rows were written again, when nothing is picked).
    void ClearCurrentRow();
    void RemoveRow(int row);
    int RowCount() const;
    // Makes the row current and its only selected one (-1: nothing selected).
    void SelectRow(int row);
    // The lowest selected row, or -1.
    int FirstSelectedRow() const;
    const CAlarm* AlarmAt(int row) const;
    // The row that holds the alarm, or -1.
    int RowOf(const CAlarm* alarm) const;
    // The alarm the commands act on: the current row's when it is selected (however the
    // selection moved: mouse or keys), else the first selected row's, else null.
    const CAlarm* CurrentPickedAlarm() const;

    // The alarm the list last recorded from a click, double click or key, or null.
    const CAlarm* PickedAlarm() const { return m_pAlarm; }

    // Where the context menu opens, in screen coordinates: at the mouse, or, when it comes from
    // the keyboard, 5 pixels right of and below the list's client top-left corner.
    QPoint ContextMenuPosition(const QContextMenuEvent& event) const;
    QPoint KeyboardMenuPosition() const;
    // The position of the last context-menu request.
    QPoint LastContextMenuPosition() const { return m_ptLastMenu; }

Q_SIGNALS:
    // A click anywhere in the list: the first selected row's alarm, or null.
    void AlarmClicked(const zembra::CAlarm* alarm);
    // The picked alarm changed, by the mouse or the keyboard.
    void PickedAlarmChanged(const zembra::CAlarm* alarm);
    // A double click while a row is selected.
    void AlarmDoubleClicked(const zembra::CAlarm* alarm);
    // The user ticked or cleared a row's check box.
    void AlarmCheckChanged(const zembra::CAlarm* alarm, bool active);
    // Del while a row is selected.
    void DeleteKeyPressed(const zembra::CAlarm* alarm);
    // Ins; the first selected row's alarm, or null with no selection.
    void InsertKeyPressed(const zembra::CAlarm* alarm);
    // The context menu is wanted at this screen position.
    void ContextMenuRequested(const QPoint& globalPos);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void OnCheckToggled(int row, bool active);
    void OnSelectionMoved();
    const CAlarm* FirstSelectedAlarm() const;
    void RequestContextMenu(const QPoint& globalPos);

    CAlarmListModel* m_model = nullptr;
    const CAlarm* m_pAlarm = nullptr;
    // Set while rows are written for the document: the selection moves then are not the user's.
    bool m_bWritingRows = false;
    QPoint m_ptLastMenu;
};

} // namespace zembra
