#pragma once

// The rows of the alarm list as a table model: the alarm each row stands for and its on/off
// state. A row's time text is made when the row is first shown (a list of ten thousand alarms
// shows a few dozen), and kept; the comment is read from the alarm. Rewriting one row repaints
// only that row.

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>

#include <functional>
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

    // How an alarm's time column reads; rows made before keep their text until rewritten.
    void SetTimeText(std::function<QString(const CAlarm&)> timeText);

    // ---- rows written for the document: these never report a change of the check box ----
    // The alarm must outlive its row: the row reads it whenever it is shown.
    void InsertRow(int row, const CAlarm* alarm, bool active);
    void SetRow(int row, const CAlarm* alarm, bool active);
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
        bool active = false;
        // Made on first demand (null until then).
        mutable QString timeText;
    };

    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }

    std::vector<Row> m_rows;
    std::function<QString(const CAlarm&)> m_timeText;
    QIcon m_checkHeaderIcon;
    QString m_strCheckHeader;
    QString m_strTimeHeader;
    QString m_strCommentHeader;
};

} // namespace zembra
