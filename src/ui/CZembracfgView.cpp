#include "CZembracfgView.h"

#include "CAlarmList.h"
#include "CAlarmPropDialog.h"
#include "CStatusDIalog.h"

#include "time/Clock.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QDate>
#include <QEvent>
#include <QGridLayout>
#include <QLocale>
#include <QMenu>
#include <QTime>
#include <QTimer>

#include <algorithm>

namespace zembra {

namespace {

// The locale's full time (with seconds) without the time-zone name that its long format adds.
QString TimeFormatWithSeconds(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result += c;
    }
    result = result.trimmed();
    while (result.contains(QStringLiteral("  ")))
        result.replace(QStringLiteral("  "), QStringLiteral(" "));
    return result;
}

QString TwoDigits(FileTime value)
{
    return QStringLiteral("%1").arg(static_cast<qlonglong>(value), 2, 10, QLatin1Char('0'));
}

// A bar above the list that tells something and offers two answers, without stopping anything
// as a modal question would: a warning sign, the text, the two buttons beside it.
QFrame* MakeBar(QWidget* parent, const QString& name, QLabel*& text, QPushButton*& first,
                QPushButton*& second)
{
    auto* bar = new QFrame(parent);
    bar->setObjectName(name);
    bar->setFrameShape(QFrame::StyledPanel);
    bar->setAutoFillBackground(true);
    // The palette's own colours, so that the bar reads on light and dark desktops alike.
    bar->setBackgroundRole(QPalette::AlternateBase);
    auto* icon = new QLabel(bar);
    icon->setPixmap(bar->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(24, 24));
    icon->setAlignment(Qt::AlignTop);
    text = new QLabel(bar);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    first = new QPushButton(bar);
    second = new QPushButton(bar);
    auto* buttons = new QVBoxLayout();
    buttons->addWidget(first);
    buttons->addWidget(second);
    buttons->addStretch(1);
    auto* row = new QHBoxLayout(bar);
    row->addWidget(icon);
    row->addWidget(text, 1);
    row->addLayout(buttons);
    bar->hide();
    return bar;
}

} // namespace

CZembracfgView::CZembracfgView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("zembracfgView"));

    m_dlgStatus = new CStatusDIalog(this);
    m_listAlarms = new CAlarmList(this);
    m_listAlarms->SetTimeText(&CZembracfgView::AlarmTimeText);
    m_dlgProperties = new CAlarmPropDialog(this);

    // The status panel takes the whole height on the right, the properties panel the bottom
    // under the list, and the list everything else.
    CreateConsentBar();
    CreateDiskChangedBar();
    auto* listColumn = new QVBoxLayout();
    listColumn->setContentsMargins(0, 0, 0, 0);
    listColumn->setSpacing(4);
    listColumn->addWidget(m_diskChangedBar);
    listColumn->addWidget(m_consentBar);
    listColumn->addWidget(m_listAlarms, 1);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 4, 4);
    layout->setSpacing(4);
    layout->addLayout(listColumn, 0, 0);
    layout->addWidget(m_dlgProperties, 1, 0);
    layout->addWidget(m_dlgStatus, 0, 1, 2, 1);
    layout->setRowStretch(0, 1);
    layout->setColumnStretch(0, 1);

    m_countdownTimer = new QTimer(this);
    m_countdownTimer->setObjectName(QStringLiteral("countdownTimer"));
    // Single shots to the next whole second of the time left: never a second shown twice or
    // skipped, and no wake-up in between.
    m_countdownTimer->setSingleShot(true);
    m_countdownTimer->setTimerType(Qt::PreciseTimer);
    connect(m_countdownTimer, &QTimer::timeout, this, &CZembracfgView::RefreshCountdown);

    m_menuContext = new QMenu(this);
    m_menuContext->setObjectName(QStringLiteral("alarmContextMenu"));
    m_actNew = m_menuContext->addAction(QString());
    m_actNew->setObjectName(QStringLiteral("actionNew"));
    m_actEdit = m_menuContext->addAction(QString());
    m_actEdit->setObjectName(QStringLiteral("actionEdit"));
    m_actDelete = m_menuContext->addAction(QString());
    m_actDelete->setObjectName(QStringLiteral("actionDelete"));
    connect(m_actNew, &QAction::triggered, this, &CZembracfgView::NewAlarmRequested);
    connect(m_actEdit, &QAction::triggered, this, &CZembracfgView::EditAlarmRequested);
    connect(m_actDelete, &QAction::triggered, this, &CZembracfgView::DeleteAlarmRequested);
    ReloadMenuTexts();

    connect(m_listAlarms, &CAlarmList::AlarmClicked, this, &CZembracfgView::ShowAlarmProperties);
    connect(m_listAlarms, &CAlarmList::PickedAlarmChanged, this,
            &CZembracfgView::ShowAlarmProperties);
    connect(m_listAlarms, &CAlarmList::AlarmDoubleClicked, this, &CZembracfgView::OnDoubleClick);
    connect(m_listAlarms, &CAlarmList::AlarmCheckChanged, this,
            &CZembracfgView::AlarmActiveChanged);
    connect(m_listAlarms, &CAlarmList::DeleteKeyPressed, this, &CZembracfgView::OnDeleteKey);
    connect(m_listAlarms, &CAlarmList::InsertKeyPressed, this, &CZembracfgView::OnInsertKey);
    connect(m_listAlarms, &CAlarmList::ContextMenuRequested, this,
            &CZembracfgView::OnContextMenuRequested);

    FitStatusPanel();
    FitTimeColumn();
}

CZembracfgView::~CZembracfgView() = default;

void CZembracfgView::CreateConsentBar()
{
    m_consentBar =
        MakeBar(this, QStringLiteral("consentBar"), m_consentText, m_btnAllow, m_btnDeny);
    m_consentText->setObjectName(QStringLiteral("consentText"));
    m_btnAllow->setObjectName(QStringLiteral("consentAllow"));
    m_btnDeny->setObjectName(QStringLiteral("consentDeny"));
    connect(m_btnAllow, &QPushButton::clicked, this, [this] {
        const QStringList programs = m_consentPrograms;
        HideConsentBar();
        Q_EMIT ProgramsApproved(programs);
    });
    connect(m_btnDeny, &QPushButton::clicked, this, [this] {
        HideConsentBar();
        Q_EMIT ProgramsRefused();
    });
    UpdateConsentText();
}

void CZembracfgView::CreateDiskChangedBar()
{
    m_diskChangedBar =
        MakeBar(this, QStringLiteral("diskChangedBar"), m_diskChangedText, m_btnReload, m_btnKeep);
    m_diskChangedText->setObjectName(QStringLiteral("diskChangedText"));
    m_btnReload->setObjectName(QStringLiteral("diskReload"));
    m_btnKeep->setObjectName(QStringLiteral("diskKeep"));
    connect(m_btnReload, &QPushButton::clicked, this, [this] {
        HideDiskChangedBar();
        Q_EMIT ReloadFromDiskRequested();
    });
    connect(m_btnKeep, &QPushButton::clicked, this, [this] {
        HideDiskChangedBar();
        Q_EMIT KeepMyChangesRequested();
    });
    UpdateDiskChangedText();
}

void CZembracfgView::UpdateDiskChangedText()
{
    m_btnReload->setText(tr("&Wczytaj ponownie"));
    m_btnKeep->setText(tr("Zachowaj &moje zmiany"));
    m_diskChangedText->setText(tr("Lista została zmieniona na dysku: %1.").arg(m_strDiskChangedList)
                               + u'\n' + tr("Zmiany w oknie nie są zapisane."));
    // The answers say what they answer: a screen reader reads the bar's text with them.
    m_btnReload->setAccessibleDescription(m_diskChangedText->text());
    m_btnKeep->setAccessibleDescription(m_diskChangedText->text());
}

void CZembracfgView::ShowDiskChangedBar(const QString& listName)
{
    m_strDiskChangedList = listName;
    UpdateDiskChangedText();
    m_diskChangedBar->show();
}

void CZembracfgView::HideDiskChangedBar()
{
    m_diskChangedBar->hide();
}

bool CZembracfgView::IsDiskChangedBarShown() const
{
    return !m_diskChangedBar->isHidden();
}

void CZembracfgView::SelectAlarm(const CAlarm* alarm)
{
    const int row = m_listAlarms->RowOf(alarm);
    m_listAlarms->SelectRow(row);
    ShowAlarmProperties(row >= 0 ? alarm : nullptr);
}

void CZembracfgView::UpdateConsentText()
{
    m_btnAllow->setText(tr("&Zezwól"));
    m_btnDeny->setText(tr("&Nie zezwalaj"));
    m_consentText->setText(
        tr("Lista %1 uruchamia programy, na które nie zezwolono na tym komputerze. Alarmy "
           "dzwonią, ale tych programów Zembra nie uruchomi, dopóki na nie nie zezwolisz:")
            .arg(m_strConsentList)
        + u'\n' + m_consentPrograms.join(u'\n'));
    m_btnAllow->setAccessibleDescription(m_consentText->text());
    m_btnDeny->setAccessibleDescription(m_consentText->text());
}

void CZembracfgView::ShowConsentBar(const QString& listName, const QStringList& commandLines)
{
    m_strConsentList = listName;
    m_consentPrograms = commandLines;
    UpdateConsentText();
    m_consentBar->show();
}

void CZembracfgView::HideConsentBar()
{
    m_consentBar->hide();
    m_consentPrograms.clear();
}

bool CZembracfgView::IsConsentBarShown() const
{
    return !m_consentBar->isHidden();
}

void CZembracfgView::SetHeldBackTest(std::function<bool(const CAlarm&)> heldBack)
{
    m_heldBack = std::move(heldBack);
    ShowAlarmProperties(m_pSelectedAlarm);
}

// ---- rows ----

void CZembracfgView::DeleteAllRows()
{
    m_listAlarms->RemoveAllRows();
    m_nItemCount = 0;
    ShowAlarmProperties(nullptr);
}

void CZembracfgView::AddAlarmRow(const CAlarm* alarm)
{
    if (!alarm)
        return;
    const int index = std::clamp(m_nItemCount, 0, RowCount());
    m_listAlarms->InsertAlarmRow(index, alarm, alarm->m_bActive);
    m_nItemCount = index + 1;
    if (!m_pSelectedAlarm)
        m_listAlarms->ClearCurrentRow();
}

bool CZembracfgView::UpdateAlarmRow(const CAlarm* alarm)
{
    const int row = m_listAlarms->RowOf(alarm);
    if (row < 0)
        return false;
    m_listAlarms->SetAlarmRow(row, alarm, alarm->m_bActive);
    if (m_pSelectedAlarm == alarm)
        ShowAlarmProperties(alarm);
    return true;
}

bool CZembracfgView::DeleteAlarmRow(const CAlarm* alarm)
{
    const int row = m_listAlarms->RowOf(alarm);
    if (row < 0)
        return false;
    m_listAlarms->RemoveRow(row);
    m_nItemCount = std::max(0, m_nItemCount - 1);
    // The remover deletes the alarm: no pointer to it may outlive its row.
    if (m_pNextAlarm == alarm)
        m_pNextAlarm = nullptr;
    if (m_pSelectedAlarm == alarm)
        ShowAlarmProperties(nullptr);
    UpdateCountdownTimer();
    return true;
}

int CZembracfgView::RowCount() const
{
    return m_listAlarms->RowCount();
}

const CAlarm* CZembracfgView::AlarmAt(int row) const
{
    return m_listAlarms->AlarmAt(row);
}

// ---- panels ----

void CZembracfgView::ShowNextAlarm(const CAlarm* alarm, const SystemTime& localFiring)
{
    m_pNextAlarm = alarm;
    m_timeNextAlarm = localFiring;
    // Converted once: the countdown asks for it at every tick.
    m_firingUtc = alarm != nullptr ? LocalSystemTimeToUtc(localFiring) : std::nullopt;
    ShowNextAlarmTexts();
    ShowWakeStatus();
    UpdateCountdownTimer();
}

void CZembracfgView::SetWakeStatus(bool canWake, const QString& whyNot, const QString& command)
{
    m_bCanWake = canWake;
    m_strWakeWhyNot = whyNot;
    m_strWakeCommand = command;
    ShowWakeStatus();
}

void CZembracfgView::ShowWakeStatus()
{
    if (m_pNextAlarm == nullptr) {
        m_dlgStatus->SetWakeText({});
    } else if (m_bCanWake) {
        m_dlgStatus->SetWakeText(tr("Komputer zostanie wybudzony na ten alarm."));
    } else {
        m_dlgStatus->SetWakeText(tr("Komputer nie zostanie wybudzony: %1").arg(m_strWakeWhyNot),
                                 m_strWakeCommand);
    }
}

void CZembracfgView::ShowNextAlarmTexts()
{
    if (m_pNextAlarm == nullptr) {
        m_dlgStatus->SetNextAlarm(NextAlarmHeading(nullptr, {}), {}, {});
        return;
    }
    m_dlgStatus->SetNextAlarm(NextAlarmHeading(m_pNextAlarm, m_timeNextAlarm),
                              CountdownText(TimeLeft(Clock::Now())),
                              QString::fromStdString(m_pNextAlarm->m_strComment));
}

FileTime CZembracfgView::TimeLeft(FileTime now) const
{
    return m_firingUtc ? *m_firingUtc - now : 0;
}

void CZembracfgView::RefreshCountdown()
{
    // With nothing pending the text stays as the last ShowNextAlarm left it.
    if (m_pNextAlarm == nullptr)
        return;
    const FileTime left = TimeLeft(Clock::Now());
    // Only the countdown's line is written, and only when its text changed.
    m_dlgStatus->SetCountdownText(CountdownText(left));
    UpdateCountdownTimer();
}

void CZembracfgView::ShowAlarmProperties(const CAlarm* alarm)
{
    if (alarm) {
        QString actions = QString::fromStdString(alarm->GetActionsText());
        if (m_heldBack && m_heldBack(*alarm))
            actions += QStringLiteral(" (") + tr("Program wstrzymany: niezatwierdzony") + u')';
        m_dlgProperties->SetProperties(QString::fromStdString(alarm->GetTypeText()),
                                       AlarmTimeText(*alarm), actions);
    } else {
        const QString none = tr("brak");
        m_dlgProperties->SetProperties(none, none, none);
    }
    if (m_pSelectedAlarm != alarm) {
        m_pSelectedAlarm = alarm;
        Q_EMIT SelectionChanged(alarm);
    }
}

void CZembracfgView::ReloadTexts()
{
    UpdateConsentText();
    UpdateDiskChangedText();
    m_dlgStatus->ReloadTexts();
    m_dlgProperties->ReloadTexts();
    ShowAlarmProperties(m_pSelectedAlarm);
    m_listAlarms->ReloadTexts();
    ReloadMenuTexts();
    ShowNextAlarmTexts();
    ShowWakeStatus();
    FitStatusPanel();
    FitTimeColumn();
    Q_EMIT RebuildRequested();
}

// ---- texts ----

QString CZembracfgView::NextAlarmHeading(const CAlarm* alarm, const SystemTime& localFiring)
{
    if (!alarm)
        return tr("Najbliższy alarm:\nbrak");
    return tr("Najbliższy alarm:\n") + DateTimeText(localFiring);
}

QString CZembracfgView::NextAlarmText(const CAlarm* alarm, const SystemTime& localFiring,
                                      FileTime now)
{
    if (!alarm)
        return NextAlarmHeading(nullptr, localFiring);
    const std::optional<FileTime> firing = LocalSystemTimeToUtc(localFiring);
    const FileTime remaining = firing ? *firing - now : 0;
    return NextAlarmHeading(alarm, localFiring) + QStringLiteral("\n") + CountdownText(remaining)
           + QStringLiteral("\n") + QString::fromStdString(alarm->m_strComment);
}

QString CZembracfgView::CountdownText(FileTime remaining)
{
    // A firing already past (the moments before the document re-arms) counts as due now.
    remaining = std::max<FileTime>(remaining, 0);
    const FileTime days = remaining / kTicksPerDay;
    remaining -= days * kTicksPerDay;
    const FileTime hours = remaining / kTicksPerHour;
    remaining -= hours * kTicksPerHour;
    const FileTime minutes = remaining / kTicksPerMinute;
    remaining -= minutes * kTicksPerMinute;
    const FileTime seconds = remaining / kTicksPerSecond;

    QString text = QStringLiteral("(") + tr("Pozostało:") + QStringLiteral(" ");
    if (days == 1)
        text += QStringLiteral("1 ") + tr("dzień") + QStringLiteral(", ");
    else if (days > 1)
        text += QString::number(days) + QStringLiteral(" ") + tr("dni") + QStringLiteral(", ");
    return text + TwoDigits(hours) + QStringLiteral(":") + TwoDigits(minutes) + QStringLiteral(":")
           + TwoDigits(seconds) + QStringLiteral(")");
}

QString CZembracfgView::DateTimeText(const SystemTime& local)
{
    FileTime unused = 0;
    if (!SystemTimeToFileTime(local, unused))
        return tr("Invalid DateTime");
    const QDate date(local.wYear, local.wMonth, local.wDay);
    const QTime time(local.wHour, local.wMinute, local.wSecond);
    const QLocale locale;
    return locale.toString(date, QLocale::ShortFormat) + QStringLiteral(" (")
           + locale.dayName(date.dayOfWeek(), QLocale::ShortFormat) + QStringLiteral(") ")
           + locale.toString(time, TimeFormatWithSeconds(locale));
}

QString CZembracfgView::AlarmTimeText(const CAlarm& alarm)
{
    return DateTimeText(alarm.m_time) + QStringLiteral(", ")
           + QString::fromStdString(alarm.GetFrequencyText());
}

// ---- events ----

void CZembracfgView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ReloadTexts();
    QWidget::changeEvent(event);
}

void CZembracfgView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_bSeen = true;
    // The countdown stood still while hidden: bring it up to date at once.
    RefreshCountdown();
}

void CZembracfgView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Also when the window is minimised (a spontaneous hide): nobody can see the countdown.
    m_bSeen = false;
    UpdateCountdownTimer();
}

void CZembracfgView::UpdateCountdownTimer()
{
    const FileTime left = m_pNextAlarm != nullptr ? TimeLeft(Clock::Now()) : 0;
    // In the last second the text already says zero, and stays so until the document names
    // the next alarm.
    if (!m_bSeen || left < kTicksPerSecond) {
        m_countdownTimer->stop();
        return;
    }
    // The shown time (whole seconds, rounded down) drops as the time left passes its next
    // whole second; a millisecond more makes sure the tick lands past it, so the text it
    // writes is the next one.
    const FileTime fraction = left % kTicksPerSecond;
    m_countdownTimer->start(static_cast<int>(fraction / kTicksPerMillisecond) + 1);
}

// ---- list requests ----

void CZembracfgView::OnDoubleClick(const CAlarm* alarm)
{
    ShowAlarmProperties(alarm);
    Q_EMIT EditAlarmRequested();
}

void CZembracfgView::OnDeleteKey(const CAlarm* alarm)
{
    ShowAlarmProperties(alarm);
    Q_EMIT DeleteAlarmRequested();
}

void CZembracfgView::OnInsertKey(const CAlarm* alarm)
{
    if (alarm)
        ShowAlarmProperties(alarm);
    Q_EMIT NewAlarmRequested();
}

void CZembracfgView::OnContextMenuRequested(const QPoint& globalPos)
{
    m_actEdit->setEnabled(m_pSelectedAlarm != nullptr);
    m_actDelete->setEnabled(m_pSelectedAlarm != nullptr);
    m_menuContext->popup(globalPos);
}

void CZembracfgView::ReloadMenuTexts()
{
    m_actNew->setText(tr("&Nowy"));
    m_actEdit->setText(tr("&Edytuj"));
    m_actDelete->setText(tr("&Usuń"));
}

void CZembracfgView::FitTimeColumn()
{
    // The longest frequency after a late date with a long weekday name.
    const SystemTime sample{2026, 12, 3, 30, 23, 58, 58, 0};
    QString widest;
    for (const char* frequency : {kFrequencyOnce, kFrequencyEveryday, kFrequencyWorkdays,
                                  kFrequencyWeekend, kFrequencyWeekly, kFrequencyMonthly,
                                  kFrequencyYearly}) {
        CAlarm alarm;
        alarm.m_time = sample;
        alarm.m_strFrequency = frequency;
        const QString text = AlarmTimeText(alarm);
        if (fontMetrics().horizontalAdvance(text) > fontMetrics().horizontalAdvance(widest))
            widest = text;
    }
    m_listAlarms->FitTimeColumn(widest);
}

void CZembracfgView::FitStatusPanel()
{
    // The widest lines the next-alarm text usually has: a late date with its weekday, and a
    // countdown of up to three-digit days (a yearly alarm is at most 366 days away).
    const SystemTime sample{2026, 12, 3, 30, 23, 58, 58, 0};
    m_dlgStatus->FitWidthTo({tr("Najbliższy alarm:\n").trimmed(), DateTimeText(sample),
                             CountdownText(999 * kTicksPerDay + 23 * kTicksPerHour
                                           + 58 * kTicksPerMinute + 58 * kTicksPerSecond)});
}

} // namespace zembra
