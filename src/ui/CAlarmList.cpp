#include "CAlarmList.h"

#include "model/CAlarm.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QSvgRenderer>

#include <algorithm>

// The header image lives in a static library: its resource initialiser is called by name
// (outside any namespace), or the linker would leave it out. Registering twice is harmless.
static void InitUiResources()
{
    Q_INIT_RESOURCE(ui);
}

namespace zembra {

namespace {

// Item data: the alarm pointer, and the check state last seen, so that a check-state change
// can be told from every other change of the row.
constexpr int kAlarmRole = Qt::UserRole;
constexpr int kKnownCheckRole = Qt::UserRole + 1;

QIcon HeaderIcon()
{
    QSvgRenderer renderer(QStringLiteral(":/images/double_tick.svg"));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    // Crisp on ordinary and on doubled pixel ratios.
    for (const int scale : {1, 2}) {
        QPixmap pixmap(QSize(16, 16) * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, 16, 16));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

CAlarmList::CAlarmList(QWidget* parent)
    : QTreeWidget(parent)
{
    InitUiResources();
    setObjectName(QStringLiteral("alarmList"));

    setColumnCount(3);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    // Double clicks open the edit dialog; nothing is edited in place.
    setEditTriggers(QAbstractItemView::NoEditTriggers);

    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::white);
    setPalette(palette);

    QTreeWidgetItem* header = headerItem();
    header->setIcon(kCheckColumn, HeaderIcon());
    header->setText(kCheckColumn, QString());
    header->setTextAlignment(kCheckColumn, Qt::AlignCenter);

    QHeaderView* view = this->header();
    view->setSectionsMovable(false);
    view->setMinimumSectionSize(kCheckColumnWidth);
    view->setStretchLastSection(true);
    view->setSectionResizeMode(kCheckColumn, QHeaderView::Fixed);
    view->setSectionResizeMode(kTimeColumn, QHeaderView::Interactive);
    view->resizeSection(kCheckColumn, kCheckColumnWidth);
    view->resizeSection(kTimeColumn, kTimeColumnWidth);

    connect(this, &QTreeWidget::itemChanged, this, &CAlarmList::OnItemChanged);
    connect(this, &QTreeWidget::currentItemChanged, this, &CAlarmList::OnSelectionMoved);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CAlarmList::OnSelectionMoved);

    ReloadTexts();
}

void CAlarmList::ReloadTexts()
{
    QTreeWidgetItem* header = headerItem();
    header->setText(kTimeColumn, tr("Czas"));
    header->setText(kCommentColumn, tr("Komentarz"));
}

void CAlarmList::FitTimeColumn(const QString& widest)
{
    const int margins = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 16;
    header()->resizeSection(kTimeColumn, std::max(int{kTimeColumnWidth},
                                                  fontMetrics().horizontalAdvance(widest) + margins));
}

void CAlarmList::InsertAlarmRow(int index, const CAlarm* alarm, const QString& timeText,
                                const QString& comment, bool active)
{
    auto* item = new QTreeWidgetItem();
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable
                   | Qt::ItemNeverHasChildren);
    WriteRow(item, alarm, timeText, comment, active);
    const bool writing = m_bWritingRows;
    m_bWritingRows = true;
    insertTopLevelItem(qBound(0, index, topLevelItemCount()), item);
    m_bWritingRows = writing;
}

void CAlarmList::SetAlarmRow(int row, const CAlarm* alarm, const QString& timeText,
                             const QString& comment, bool active)
{
    if (QTreeWidgetItem* item = topLevelItem(row))
        WriteRow(item, alarm, timeText, comment, active);
}

void CAlarmList::WriteRow(QTreeWidgetItem* item, const CAlarm* alarm, const QString& timeText,
                          const QString& comment, bool active)
{
    const bool writing = m_bWritingRows;
    m_bWritingRows = true;
    const Qt::CheckState state = active ? Qt::Checked : Qt::Unchecked;
    item->setData(kCheckColumn, kAlarmRole, QVariant::fromValue(reinterpret_cast<quintptr>(alarm)));
    item->setData(kCheckColumn, kKnownCheckRole, static_cast<int>(state));
    item->setCheckState(kCheckColumn, state);
    item->setText(kTimeColumn, timeText);
    item->setText(kCommentColumn, comment);
    m_bWritingRows = writing;
}

void CAlarmList::RemoveAllRows()
{
    clear();
    m_pAlarm = nullptr;
}

void CAlarmList::ClearCurrentRow()
{
    // The list marks its first row as current when rows arrive; nothing is picked then, so
    // nothing may look picked either.
    const bool writing = m_bWritingRows;
    m_bWritingRows = true;
    setCurrentItem(nullptr);
    m_bWritingRows = writing;
}

void CAlarmList::RemoveRow(int row)
{
    if (AlarmAt(row) == m_pAlarm)
        m_pAlarm = nullptr;
    delete takeTopLevelItem(row);
}

int CAlarmList::FirstSelectedRow() const
{
    int first = -1;
    for (QTreeWidgetItem* item : selectedItems()) {
        const int row = indexOfTopLevelItem(item);
        if (row >= 0 && (first < 0 || row < first))
            first = row;
    }
    return first;
}

const CAlarm* CAlarmList::AlarmAt(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return nullptr;
    return reinterpret_cast<const CAlarm*>(item->data(kCheckColumn, kAlarmRole).value<quintptr>());
}

const CAlarm* CAlarmList::FirstSelectedAlarm() const
{
    const int row = FirstSelectedRow();
    return row >= 0 ? AlarmAt(row) : nullptr;
}

int CAlarmList::RowOf(const CAlarm* alarm) const
{
    if (alarm == nullptr) {
        return -1;
    }
    for (int row = 0; row < topLevelItemCount(); ++row) {
        if (AlarmAt(row) == alarm) {
            return row;
        }
    }
    return -1;
}

const CAlarm* CAlarmList::CurrentPickedAlarm() const
{
    if (QTreeWidgetItem* current = currentItem(); current != nullptr && current->isSelected()) {
        return AlarmAt(indexOfTopLevelItem(current));
    }
    return FirstSelectedAlarm();
}

void CAlarmList::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const int sideways = horizontalScrollBar()->value();
    QTreeWidget::scrollTo(index, hint);
    horizontalScrollBar()->setValue(sideways);
}

void CAlarmList::OnSelectionMoved()
{
    if (m_bWritingRows) {
        return;
    }
    const CAlarm* picked = CurrentPickedAlarm();
    if (picked != m_pAlarm) {
        m_pAlarm = picked;
        Q_EMIT PickedAlarmChanged(m_pAlarm);
    }
}

void CAlarmList::OnItemChanged(QTreeWidgetItem* item, int column)
{
    if (m_bWritingRows || column != kCheckColumn || !item)
        return;
    const Qt::CheckState state = item->checkState(kCheckColumn);
    const int known = item->data(kCheckColumn, kKnownCheckRole).toInt();
    if (known == static_cast<int>(state))
        return; // another part of the row changed, not its check box
    m_bWritingRows = true;
    item->setData(kCheckColumn, kKnownCheckRole, static_cast<int>(state));
    m_bWritingRows = false;
    const CAlarm* alarm = AlarmAt(indexOfTopLevelItem(item));
    if (alarm)
        Q_EMIT AlarmCheckChanged(alarm, state == Qt::Checked);
}

void CAlarmList::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    // Any click, on a row or on the empty part, picks the current row (or nothing).
    m_pAlarm = CurrentPickedAlarm();
    Q_EMIT AlarmClicked(m_pAlarm);
}

void CAlarmList::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidget::mouseDoubleClickEvent(event);
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
            if (QTreeWidgetItem* item = currentItem()) {
                event->accept();
                item->setCheckState(kCheckColumn, item->checkState(kCheckColumn) == Qt::Checked
                                                      ? Qt::Unchecked
                                                      : Qt::Checked);
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
    QTreeWidget::keyPressEvent(event);
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
    QTreeWidget::changeEvent(event);
}

} // namespace zembra
