#pragma once

// The warning before a standby, hibernate or shut-down alarm: in the last five minutes before
// each such occurrence a small window, on top of the others and never taking the keyboard focus,
// shows the alarm, the action and the time left, with the commands to postpone it, skip it this
// time or carry it out at once. Two power alarms close together each get their own row. When a
// program holds a blocking inhibitor against the action, the row says who and why.
//
// The window only shows and asks: the occurrences come from the document after every arming,
// and its commands go back to the document, which changes that one occurrence, never the list.

#include "model/CFiringRoad.h"

#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QLabel;
class QVBoxLayout;

namespace zembra {

class CPowerCountdown : public QWidget {
    Q_OBJECT

public:
    // Who blocks the action of an alarm type ("standby"...), in a few words; empty when no one
    // does. Called on a worker thread: it may wait for the system.
    using BlockersFn = std::function<QString(const std::string& alarmType)>;

    explicit CPowerCountdown(QWidget* parent = nullptr);
    ~CPowerCountdown() override;

    void SetBlockersSource(BlockersFn blockersOf) { m_blockersOf = std::move(blockersOf); }

    // The power occurrences ahead, as the document found them at its last arming.
    void SetOccurrences(const std::vector<PlannedOccurrence>& occurrences);
    // Those in their last five minutes, earliest first: the rows shown.
    std::vector<PlannedOccurrence> Shown() const;

    // Brings the rows up to date with the clock (the timer's work; tests call it).
    void Refresh();
    // How long the timer waits now: to the next change of a shown time, or to the next row.
    int NextRefreshMs() const { return m_timer.isActive() ? m_timer.interval() : -1; }
    // Shows the blockers of a type, as the source found them.
    void SetBlockers(const std::string& alarmType, const QString& text);

    // "Uśpienie komputera" and the others; empty for a type that changes nothing.
    static QString ActionName(const std::string& alarmType);
    // The local hour and minute of a UTC moment, as the locale writes them.
    static QString ClockText(FileTime utc);
    // The time left as minutes and seconds, "04:59"; a time past shows 00:00.
    static QString TimeLeftText(FileTime remaining);

Q_SIGNALS:
    void PostponeRequested(std::uint64_t alarmId, zembra::FileTime atUtc, int minutes);
    void SkipRequested(std::uint64_t alarmId, zembra::FileTime atUtc);
    void CarryOutNowRequested(std::uint64_t alarmId, zembra::FileTime atUtc);
    // The rows shown changed (one came, one went, or the texts were translated).
    void ShownChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Row {
        PlannedOccurrence occurrence;
        QWidget* panel = nullptr;
        QLabel* title = nullptr;
        QLabel* detail = nullptr;
        QLabel* blockers = nullptr;
    };

    Row MakeRow(const PlannedOccurrence& occurrence);
    void UpdateRowTexts(Row& row, FileTime now);
    void AskForBlockers();
    void PlaceOnScreen();

    std::vector<PlannedOccurrence> m_occurrences;
    std::vector<Row> m_rows;
    std::map<std::string, QString> m_blockers;
    QVBoxLayout* m_layout = nullptr;
    QTimer m_timer;
    QTimer m_blockersTimer;
    BlockersFn m_blockersOf;
    // Last: destroyed first, so a worker still asking is waited for before anything else goes.
    QThreadPool m_pool;
};

} // namespace zembra
