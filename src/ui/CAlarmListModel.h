#pragma once

// The rows of the alarm list as a table model: the alarm each row stands for, its on/off state
// and the two texts the view wrote for it. A list of ten thousand alarms costs one small record
// a row, and rewriting one row repaints only that row.

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>

#include <vector>

namespace zembra {

class CAlarm;

class CAlarmListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kCheckColumn = 0;
    static constexpr int kTimeColumn = 1;
    static constexpr int kCommentColumn = 2;
    static constexpr int kColumnCount = 3;
    // The alarm pointer of a row (as quintptr), for whoever holds only an index.
    static constexpr int kAlarmRole = Qt::UserRole;

    explicit CAlarmListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // ---- rows written for the document: these never report a change of the check box ----
    void InsertRow(int row, const CAlarm* alarm, const QString& timeText, const QString& comment,
                   bool active);
    void SetRow(int row, const CAlarm* alarm, const QString& timeText, const QString& comment,
                bool active);
    void RemoveRow(int row);
    void RemoveAll();

    const CAlarm* AlarmAt(int row) const;
    bool IsActive(int row) const;
    int RowOf(const CAlarm* alarm) const;

    // The header texts in the current language.
    void ReloadTexts();

Q_SIGNALS:
    // The user switched a row's alarm on or off (a click on the box, or Space).
    void CheckToggled(int row, bool active);

private:
    struct Row {
        const CAlarm* alarm = nullptr;
        QString timeText;
        QString comment;
        bool active = false;
    };

    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }

    std::vector<Row> m_rows;
    QIcon m_checkHeaderIcon;
    QString m_strCheckHeader;
    QString m_strTimeHeader;
    QString m_strCommentHeader;
};

} // namespace zembra
