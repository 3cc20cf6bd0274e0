#include "CPowerCountdown.h"

#include "time/Clock.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTime>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace zembra {

namespace {

// A wait longer than this is looked at again, so that a timer never overflows and a clock set
// meanwhile is caught within the hour.
constexpr FileTime kLongestWait = 60 * kTicksPerMinute;
// Programs take and drop their inhibitors as they go: asked again this often while shown.
constexpr int kBlockersRefreshMs = 30'000;
constexpr int kScreenMargin = 16;

int WaitMs(FileTime ticks)
{
    return static_cast<int>(std::clamp<FileTime>(ticks, 0, kLongestWait) / kTicksPerMillisecond) + 1;
}

bool SameOccurrence(const PlannedOccurrence& a, const PlannedOccurrence& b)
{
    return a.alarm.m_nId == b.alarm.m_nId && a.atUtc == b.atUtc;
}

} // namespace

CPowerCountdown::CPowerCountdown(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_layout(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("powerCountdown"));
    // It warns; the user's typing goes on where it was.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    m_layout->setSizeConstraint(QLayout::SetFixedSize);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CPowerCountdown::Refresh);
    m_blockersTimer.setInterval(kBlockersRefreshMs);
    connect(&m_blockersTimer, &QTimer::timeout, this, &CPowerCountdown::AskForBlockers);
    m_pool.setMaxThreadCount(1);
    setWindowTitle(tr("Zembra: odliczanie"));
}

CPowerCountdown::~CPowerCountdown() = default;

QString CPowerCountdown::ActionName(const std::string& alarmType)
{
    if (alarmType == kTypeStandby) {
        return tr("Uśpienie komputera");
    }
    if (alarmType == kTypeHibernate) {
        return tr("Hibernacja komputera");
    }
    if (alarmType == kTypeShutdown) {
        return tr("Wyłączenie komputera");
    }
    return {};
}

QString CPowerCountdown::TimeLeftText(FileTime remaining)
{
    const FileTime left = std::max<FileTime>(remaining, 0);
    const auto minutes = static_cast<int>(left / kTicksPerMinute);
    const auto seconds = static_cast<int>(left % kTicksPerMinute / kTicksPerSecond);
    return QStringLiteral("%1:%2").arg(minutes, 2, 10, QLatin1Char('0')).arg(seconds, 2, 10, QLatin1Char('0'));
}

QString CPowerCountdown::ClockText(FileTime utc)
{
    const std::optional<SystemTime> local = UtcToLocalSystemTime(utc);
    if (!local) {
        return {};
    }
    // The locale's short form, without seconds where it has them: the minute is what counts.
    const QLocale locale;
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.remove(QRegularExpression(QStringLiteral("[:.]ss")));
    return locale.toString(QTime(local->wHour, local->wMinute), format);
}

void CPowerCountdown::SetOccurrences(const std::vector<PlannedOccurrence>& occurrences)
{
    m_occurrences = occurrences;
    Refresh();
}

std::vector<PlannedOccurrence> CPowerCountdown::Shown() const
{
    std::vector<PlannedOccurrence> shown;
    for (const Row& row : m_rows) {
        shown.push_back(row.occurrence);
    }
    return shown;
}

void CPowerCountdown::Refresh()
{
    const FileTime now = Clock::Now();
    std::vector<PlannedOccurrence> due;
    FileTime wait = kLongestWait;
    for (const PlannedOccurrence& occurrence : m_occurrences) {
        const FileTime remaining = occurrence.atUtc - now;
        if (remaining <= kPowerCountdownSpan) {
            due.push_back(occurrence);
            // The shown time (whole seconds, rounded down) changes as what is left passes its
            // next whole second: on one now, that is at once (WaitMs adds a millisecond).
            if (remaining > 0) {
                wait = std::min(wait, remaining % kTicksPerSecond);
            }
        } else {
            wait = std::min(wait, remaining - kPowerCountdownSpan);
        }
    }

    // Rows that went (carried out, postponed, skipped, deleted) go; new ones come in order.
    bool changed = false;
    for (auto it = m_rows.begin(); it != m_rows.end();) {
        const bool stays = std::any_of(due.begin(), due.end(), [&](const PlannedOccurrence& o) {
            return SameOccurrence(o, it->occurrence);
        });
        if (stays) {
            ++it;
            continue;
        }
        delete it->panel;
        it = m_rows.erase(it);
        changed = true;
    }
    for (std::size_t i = 0; i < due.size(); ++i) {
        if (i < m_rows.size() && SameOccurrence(m_rows[i].occurrence, due[i])) {
            m_rows[i].occurrence = due[i];
            continue;
        }
        Row row = MakeRow(due[i]);
        m_layout->insertWidget(static_cast<int>(i), row.panel);
        m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(i), row);
        changed = true;
    }
    for (Row& row : m_rows) {
        UpdateRowTexts(row, now);
    }

    if (m_occurrences.empty()) {
        m_timer.stop();
    } else {
        m_timer.start(WaitMs(wait));
    }
    if (changed) {
        if (m_rows.empty()) {
            m_blockersTimer.stop();
            hide();
        } else {
            AskForBlockers();
            m_blockersTimer.start();
            adjustSize();
            PlaceOnScreen();
            show();
            raise();
        }
        Q_EMIT ShownChanged();
    }
}

CPowerCountdown::Row CPowerCountdown::MakeRow(const PlannedOccurrence& occurrence)
{
    Row row;
    row.occurrence = occurrence;
    row.panel = new QWidget(this);
    row.panel->setObjectName(QStringLiteral("countdownRow"));
    auto* layout = new QVBoxLayout(row.panel);
    layout->setContentsMargins(0, 0, 0, 0);
    row.title = new QLabel(row.panel);
    row.title->setObjectName(QStringLiteral("countdownTitle"));
    QFont bold = row.title->font();
    bold.setBold(true);
    row.title->setFont(bold);
    row.detail = new QLabel(row.panel);
    row.blockers = new QLabel(row.panel);
    row.blockers->setObjectName(QStringLiteral("countdownBlockers"));
    row.blockers->setWordWrap(true);
    row.blockers->hide();
    layout->addWidget(row.title);
    layout->addWidget(row.detail);
    layout->addWidget(row.blockers);

    auto* buttons = new QHBoxLayout;
    const std::uint64_t id = occurrence.alarm.m_nId;
    const FileTime at = occurrence.atUtc;
    const auto addButton = [&](const char* name, auto&& onClick) {
        auto* button = new QPushButton(row.panel);
        button->setObjectName(QString::fromLatin1(name));
        // A click must not take the focus away from what the user is typing in.
        button->setFocusPolicy(Qt::NoFocus);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, onClick);
    };
    addButton("postpone5", [this, id, at] { Q_EMIT PostponeRequested(id, at, 5); });
    addButton("postpone30", [this, id, at] { Q_EMIT PostponeRequested(id, at, 30); });
    addButton("skip", [this, id, at] { Q_EMIT SkipRequested(id, at); });
    addButton("now", [this, id, at] { Q_EMIT CarryOutNowRequested(id, at); });
    layout->addLayout(buttons);
    return row;
}

void CPowerCountdown::UpdateRowTexts(Row& row, FileTime now)
{
    const CAlarm& alarm = row.occurrence.alarm;
    row.title->setText(tr("%1 za %2").arg(ActionName(alarm.m_strType), TimeLeftText(row.occurrence.atUtc - now)));
    const QString at = ClockText(row.occurrence.atUtc);
    row.detail->setText(alarm.m_strComment.empty()
                            ? tr("Alarm o %1").arg(at)
                            : tr("Alarm „%1” o %2").arg(QString::fromStdString(alarm.m_strComment), at));
    const auto blockers = m_blockers.find(alarm.m_strType);
    const bool blocked = blockers != m_blockers.end() && !blockers->second.isEmpty();
    row.blockers->setVisible(blocked);
    if (blocked) {
        row.blockers->setText(tr("Zablokowane przez: %1").arg(blockers->second));
    }
    // Two rows have the same buttons; for a screen reader each names its alarm as well.
    const QString which = row.detail->text();
    const auto buttonText = [&row, &which](const char* name, const QString& text) {
        auto* button = row.panel->findChild<QPushButton*>(QString::fromLatin1(name));
        button->setText(text);
        const QString accessible = QStringLiteral("%1: %2").arg(text, which);
        if (button->accessibleName() != accessible) {
            button->setAccessibleName(accessible);
        }
    };
    buttonText("postpone5", tr("Odłóż o 5 min"));
    buttonText("postpone30", tr("Odłóż o 30 min"));
    buttonText("skip", tr("Pomiń tym razem"));
    buttonText("now", tr("Teraz"));
}

void CPowerCountdown::SetBlockers(const std::string& alarmType, const QString& text)
{
    QString& known = m_blockers[alarmType];
    if (known == text) {
        return;
    }
    known = text;
    const FileTime now = Clock::Now();
    for (Row& row : m_rows) {
        UpdateRowTexts(row, now);
    }
    adjustSize();
}

void CPowerCountdown::AskForBlockers()
{
    if (!m_blockersOf) {
        return;
    }
    std::vector<std::string> types;
    for (const Row& row : m_rows) {
        if (std::find(types.begin(), types.end(), row.occurrence.alarm.m_strType) == types.end()) {
            types.push_back(row.occurrence.alarm.m_strType);
        }
    }
    // The system may take its time to answer; the countdown goes on meanwhile.
    m_pool.start([this, types, blockersOf = m_blockersOf] {
        for (const std::string& type : types) {
            const QString text = blockersOf(type);
            QMetaObject::invokeMethod(this, [this, type, text] { SetBlockers(type, text); }, Qt::QueuedConnection);
        }
    });
}

void CPowerCountdown::PlaceOnScreen()
{
    // The top right corner: away from the pop-up beside the clock, which has the bottom.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize size = frameGeometry().size().expandedTo(sizeHint());
    move(area.right() - size.width() - kScreenMargin, area.top() + kScreenMargin);
}

void CPowerCountdown::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(tr("Zembra: odliczanie"));
        const FileTime now = Clock::Now();
        for (Row& row : m_rows) {
            UpdateRowTexts(row, now);
        }
        if (!m_rows.empty()) {
            Q_EMIT ShownChanged();
        }
    }
    QWidget::changeEvent(event);
}

} // namespace zembra
