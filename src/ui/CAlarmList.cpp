#include "CAlarmList.h"

#include "CAlarmListModel.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <utility>

namespace zembra {

namespace {

// Sets a flag for the lifetime of the guard, restoring what it was (writes may nest).
class WritingRows {
public:
    explicit WritingRows(bool& flag)
        : m_flag(flag)
        , m_before(std::exchange(flag, true))
    {
    }
    ~WritingRows() { m_flag = m_before; }
    WritingRows(const WritingRows&) = delete;
    WritingRows& operator=(const WritingRows&) = delete;

private:
    bool& m_flag;
    bool m_before;
};

} // namespace

CAlarmList::CAlarmList(QWidget* parent)
    : QTreeView(parent)
    , m_model(new CAlarmListModel(this))
{
    setObjectName(QStringLiteral("alarmList"));
    setModel(m_model);

    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    // Double clicks open the edit dialog; nothing is edited in place.
    setEditTriggers(QAbstractItemView::NoEditTriggers);

    QHeaderView* view = header();
    view->setSectionsMovable(false);
    view->setMinimumSectionSize(kCheckColumnWidth);
    view->setStretchLastSection(true);
    view->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view->setSectionResizeMode(kCheckColumn, QHeaderView::Fixed);
    view->setSectionResizeMode(kTimeColumn, QHeaderView::Interactive);
    view->resizeSection(kCheckColumn, kCheckColumnWidth);
    view->resizeSection(kTimeColumn, kTimeColumnWidth);

    connect(m_model, &CAlarmListModel::CheckToggled, this, &CAlarmList::OnCheckToggled);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CAlarmList::OnSelectionMoved);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CAlarmList::OnSelectionMoved);

    ReloadTexts();
}

void CAlarmList::ReloadTexts()
{
    m_model->ReloadTexts();
    setAccessibleName(tr("Lista alarmów"));
}

void CAlarmList::FitTimeColumn(const QString& widest)
{
    const int margins = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 16;
    header()->resizeSection(kTimeColumn, std::max(int{kTimeColumnWidth},
                                                  fontMetrics().horizontalAdvance(widest) + margins));
}

void CAlarmList::SetTimeText(std::function<QString(const CAlarm&)> timeText)
{
    m_model->SetTimeText(std::move(timeText));
}

void CAlarmList::InsertAlarmRow(int index, const CAlarm* alarm, bool active)
{
    const WritingRows writing(m_bWritingRows);
    m_model->InsertRow(index, alarm, active);
}

void CAlarmList::SetAlarmRow(int row, const CAlarm* alarm, bool active)
{
    const WritingRows writing(m_bWritingRows);
    m_model->SetRow(row, alarm, active);
}

void CAlarmList::RemoveAllRows()
{
    {
        const WritingRows writing(m_bWritingRows);
        m_model->RemoveAll();
    }
    m_pAlarm = nullptr;
}

void CAlarmList::ClearCurrentRow()
{
    // The list marks its first row as current when rows arrive; nothing is picked then, so
    // nothing may look picked either.
    const WritingRows writing(m_bWritingRows);
    setCurrentIndex(QModelIndex());
}

void CAlarmList::RemoveRow(int row)
{
    if (AlarmAt(row) == m_pAlarm)
        m_pAlarm = nullptr;
    m_model->RemoveRow(row);
}

int CAlarmList::RowCount() const
{
    return m_model->rowCount();
}

void CAlarmList::SelectRow(int row)
{
    const QModelIndex index = m_model->index(row, kCheckColumn);
    if (!index.isValid()) {
        clearSelection();
        return;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                 | QItemSelectionModel::Rows);
}

int CAlarmList::FirstSelectedRow() const
{
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first)
            first = index.row();
    }
    return first;
}

const CAlarm* CAlarmList::AlarmAt(int row) const
{
    return m_model->AlarmAt(row);
}

const CAlarm* CAlarmList::FirstSelectedAlarm() const
{
    const int row = FirstSelectedRow();
    return row >= 0 ? AlarmAt(row) : nullptr;
}

int CAlarmList::RowOf(const CAlarm* alarm) const
{
    return m_model->RowOf(alarm);
}

const CAlarm* CAlarmList::CurrentPickedAlarm() const
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), QModelIndex()))
        return AlarmAt(current.row());
    return FirstSelectedAlarm();
}

void CAlarmList::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const int sideways = horizontalScrollBar()->value();
    QTreeView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(sideways);
}

void CAlarmList::OnSelectionMoved()
{
    if (m_bWritingRows)
        return;
    const CAlarm* picked = CurrentPickedAlarm();
    if (picked != m_pAlarm) {
        m_pAlarm = picked;
        Q_EMIT PickedAlarmChanged(m_pAlarm);
    }
}

void CAlarmList::OnCheckToggled(int row, bool active)
{
    if (m_bWritingRows)
        return;
    if (const CAlarm* alarm = AlarmAt(row))
        Q_EMIT AlarmCheckChanged(alarm, active);
}

void CAlarmList::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    // Any click, on a row or on the empty part, picks the current row (or nothing).
    m_pAlarm = CurrentPickedAlarm();
    Q_EMIT AlarmClicked(m_pAlarm);
}

void CAlarmList::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (const CAlarm* alarm = CurrentPickedAlarm()) {
        m_pAlarm = alarm;
        Q_EMIT AlarmDoubleClicked(m_pAlarm);
    }
}

void CAlarmList::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    switch (event->key()) {
    case Qt::Key_Delete:
        if (modifiers == Qt::NoModifier) {
            if (const CAlarm* alarm = CurrentPickedAlarm()) {
                m_pAlarm = alarm;
                event->accept();
                // The document may delete the row: nothing of it is touched afterwards.
                Q_EMIT DeleteKeyPressed(m_pAlarm);
                return;
            }
        }
        break;
    case Qt::Key_Space:
        // Switches the current row's alarm on or off, whichever column has the focus.
        if (modifiers == Qt::NoModifier) {
            if (const QModelIndex current = currentIndex(); current.isValid()) {
                event->accept();
                const int row = current.row();
                m_model->setData(m_model->index(row, kCheckColumn),
                                 m_model->IsActive(row) ? Qt::Unchecked : Qt::Checked,
                                 Qt::CheckStateRole);
                return;
            }
        }
        break;
    case Qt::Key_Insert:
        if (modifiers == Qt::NoModifier) {
            const CAlarm* alarm = CurrentPickedAlarm();
            if (alarm)
                m_pAlarm = alarm;
            event->accept();
            Q_EMIT InsertKeyPressed(alarm);
            return;
        }
        break;
    case Qt::Key_F10:
        // The platform turns the Menu key into a context-menu event, but not Shift+F10.
        if (modifiers == Qt::ShiftModifier) {
            event->accept();
            RequestContextMenu(KeyboardMenuPosition());
            return;
        }
        break;
    default:
        break;
    }
    QTreeView::keyPressEvent(event);
}

QPoint CAlarmList::KeyboardMenuPosition() const
{
    return mapToGlobal(contentsRect().topLeft() + QPoint(5, 5));
}

QPoint CAlarmList::ContextMenuPosition(const QContextMenuEvent& event) const
{
    if (event.reason() == QContextMenuEvent::Mouse)
        return event.globalPos();
    return KeyboardMenuPosition();
}

void CAlarmList::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (event->reason() == QContextMenuEvent::Mouse) {
        // The right button has just selected the row under it: the menu acts on that row.
        m_pAlarm = CurrentPickedAlarm();
        Q_EMIT AlarmClicked(m_pAlarm);
    }
    RequestContextMenu(ContextMenuPosition(*event));
}

void CAlarmList::RequestContextMenu(const QPoint& globalPos)
{
    m_ptLastMenu = globalPos;
    Q_EMIT ContextMenuRequested(globalPos);
}

void CAlarmList::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ReloadTexts();
    QTreeView::changeEvent(event);
}

} // namespace zembra
