#include "CAlarmListModel.h"

#include "model/CAlarm.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <iterator>

// The header image lives in a static library: its resource initialiser is called by name
// (outside any namespace), or the linker would leave it out. Registering twice is harmless.
static void InitUiResources()
{
    Q_INIT_RESOURCE(ui);
}

namespace zembra {

namespace {

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

CAlarmListModel::CAlarmListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    InitUiResources();
    m_checkHeaderIcon = HeaderIcon();
    ReloadTexts();
}

int CAlarmListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CAlarmListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CAlarmListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !ValidRow(index.row()))
        return {};
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == kTimeColumn) {
            if (row.timeText.isNull() && row.alarm != nullptr && m_timeText)
                row.timeText = m_timeText(*row.alarm);
            return row.timeText;
        }
        if (index.column() == kCommentColumn && row.alarm != nullptr)
            return QString::fromStdString(row.alarm->m_strComment);
        break;
    case Qt::CheckStateRole:
        if (index.column() == kCheckColumn)
            return row.active ? Qt::Checked : Qt::Unchecked;
        break;
    case kAlarmRole:
        return QVariant::fromValue(reinterpret_cast<quintptr>(row.alarm));
    default:
        break;
    }
    return {};
}

bool CAlarmListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || !ValidRow(index.row()) || index.column() != kCheckColumn
        || role != Qt::CheckStateRole)
        return false;
    const bool active = static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked;
    Row& row = m_rows[static_cast<std::size_t>(index.row())];
    if (row.active == active)
        return true;
    row.active = active;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    Q_EMIT CheckToggled(index.row(), active);
    return true;
}

Qt::ItemFlags CAlarmListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (index.column() == kCheckColumn)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

QVariant CAlarmListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        if (section == kTimeColumn)
            return m_strTimeHeader;
        if (section == kCommentColumn)
            return m_strCommentHeader;
        break;
    case Qt::DecorationRole:
        if (section == kCheckColumn)
            return m_checkHeaderIcon;
        break;
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        // The column shows only a picture: screen readers and the mouse get its name.
        if (section == kCheckColumn)
            return m_strCheckHeader;
        break;
    case Qt::TextAlignmentRole:
        if (section == kCheckColumn)
            return static_cast<int>(Qt::AlignCenter);
        break;
    default:
        break;
    }
    return {};
}

void CAlarmListModel::ReloadTexts()
{
    m_strCheckHeader = tr("Aktywny");
    m_strTimeHeader = tr("Czas");
    m_strCommentHeader = tr("Komentarz");
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

void CAlarmListModel::SetTimeText(std::function<QString(const CAlarm&)> timeText)
{
    m_timeText = std::move(timeText);
}

void CAlarmListModel::InsertRow(int row, const CAlarm* alarm, bool active)
{
    row = qBound(0, row, rowCount());
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, Row{alarm, active, {}});
    endInsertRows();
}

void CAlarmListModel::SetRow(int row, const CAlarm* alarm, bool active)
{
    if (!ValidRow(row))
        return;
    m_rows[static_cast<std::size_t>(row)] = Row{alarm, active, {}};
    Q_EMIT dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void CAlarmListModel::RemoveRow(int row)
{
    if (!ValidRow(row))
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void CAlarmListModel::RemoveAll()
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
}

const CAlarm* CAlarmListModel::AlarmAt(int row) const
{
    return ValidRow(row) ? m_rows[static_cast<std::size_t>(row)].alarm : nullptr;
}

bool CAlarmListModel::IsActive(int row) const
{
    return ValidRow(row) && m_rows[static_cast<std::size_t>(row)].active;
}

int CAlarmListModel::RowOf(const CAlarm* alarm) const
{
    if (alarm == nullptr)
        return -1;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row].alarm == alarm)
            return static_cast<int>(row);
    }
    return -1;
}

} // namespace zembra
