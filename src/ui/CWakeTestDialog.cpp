#include "CWakeTestDialog.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace zembra {

namespace {

// hh:mm:ss of a UTC moment in the local time of the process's zone.
QString LocalClockText(FileTime utc)
{
    const std::optional<SystemTime> local = UtcToLocalSystemTime(utc);
    if (!local) {
        return QStringLiteral("?");
    }
    return QStringLiteral("%1:%2:%3")
        .arg(local->wHour, 2, 10, QLatin1Char('0'))
        .arg(local->wMinute, 2, 10, QLatin1Char('0'))
        .arg(local->wSecond, 2, 10, QLatin1Char('0'));
}

} // namespace

CWakeTestDialog::CWakeTestDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CWakeTestDialog"));
    // Never modal: the alarms and the rest of the program go on while the test runs.
    setModal(false);
    setWindowModality(Qt::NonModal);

    m_stExplain = new QLabel(this);
    m_stExplain->setObjectName(QStringLiteral("wakeTestExplain"));
    m_stExplain->setWordWrap(true);
    m_stProblem = new QLabel(this);
    m_stProblem->setObjectName(QStringLiteral("wakeTestProblem"));
    m_stProblem->setWordWrap(true);
    m_stProblem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_stProblem->setVisible(false);
    // The command is there to be copied into a terminal.
    m_edCommand = new QLineEdit(this);
    m_edCommand->setObjectName(QStringLiteral("wakeTestCommand"));
    m_edCommand->setReadOnly(true);
    m_edCommand->setVisible(false);
    m_stStatus = new QLabel(this);
    m_stStatus->setObjectName(QStringLiteral("wakeTestStatus"));
    m_stStatus->setWordWrap(true);
    m_stStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = m_stStatus->font();
    bold.setBold(true);
    m_stStatus->setFont(bold);

    auto* buttons = new QDialogButtonBox(this);
    m_btnStart = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    m_btnStart->setObjectName(QStringLiteral("wakeTestStart"));
    m_btnStart->setDefault(true);
    m_btnClose = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    m_btnClose->setObjectName(QStringLiteral("wakeTestClose"));
    connect(m_btnStart, &QPushButton::clicked, this, &CWakeTestDialog::StartRequested);
    connect(buttons, &QDialogButtonBox::rejected, this, &CWakeTestDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_stExplain);
    layout->addWidget(m_stProblem);
    layout->addWidget(m_edCommand);
    layout->addWidget(m_stStatus);
    layout->addStretch(1);
    layout->addWidget(buttons);
    // Room for the longer texts without a window as wide as the screen.
    setMinimumWidth(460);

    RetranslateUi();
}

void CWakeTestDialog::SetWakeProblem(const QString& why, const QString& command)
{
    m_strWhy = why;
    m_strCommand = command;
    RetranslateUi();
}

void CWakeTestDialog::ShowRunning(qint64 armedUtc)
{
    m_phase = Phase::Running;
    m_armedUtc = armedUtc;
    UpdateStatus();
}

void CWakeTestDialog::ShowResult(const WakeTestVerdict& verdict, const QString& error)
{
    m_phase = Phase::Done;
    m_verdict = verdict;
    m_strError = error;
    UpdateStatus();
    // Brought forward: after a resume the window may lie behind others.
    raise();
    activateWindow();
}

QString CWakeTestDialog::StatusText() const
{
    return m_stStatus->text();
}

QString CWakeTestDialog::DurationText(FileTime ticks)
{
    const FileTime seconds = (std::abs(ticks) + kTicksPerSecond / 2) / kTicksPerSecond;
    if (seconds < 120) {
        return tr("%1 s").arg(seconds);
    }
    return tr("%1 min").arg((seconds + 30) / 60);
}

void CWakeTestDialog::RetranslateUi()
{
    setWindowTitle(tr("Sprawdzanie wybudzania"));
    m_stExplain->setText(
        tr("Test sprawdza, czy Zembra potrafi wybudzić ten komputer. Po kliknięciu „Rozpocznij” "
           "Zembra nastawi osobny budzik testowy na 60 sekund naprzód i wstrzyma komputer. "
           "Komputer powinien sam się obudzić po około minucie; nie dotykaj go do tego czasu. "
           "Potem to okno powie, jak poszło. Alarmy z listy działają w tym czasie jak zwykle.\n\n"
           "Zanim zaczniesz, zapisz swoją pracę w innych programach."));
    if (m_strWhy.isEmpty()) {
        m_stProblem->clear();
    } else {
        m_stProblem->setText(tr("Uwaga: Zembra nie może teraz wybudzić tego komputera: %1\nTest "
                                "pokaże, że komputer zasypia, ale nie budzi się sam.")
                                 .arg(m_strWhy));
    }
    m_stProblem->setVisible(!m_strWhy.isEmpty());
    m_edCommand->setText(m_strCommand);
    m_edCommand->setAccessibleName(tr("Polecenie naprawiające budzenie"));
    m_edCommand->setVisible(!m_strCommand.isEmpty());
    m_btnStart->setText(tr("&Rozpocznij"));
    m_btnClose->setText(tr("&Zamknij"));
    UpdateStatus();
}

void CWakeTestDialog::UpdateStatus()
{
    switch (m_phase) {
    case Phase::Ready:
        m_stStatus->clear();
        break;
    case Phase::Running:
        m_stStatus->setText(tr("Test trwa: budzik testowy nastawiono na %1. Komputer za chwilę "
                               "zaśnie i powinien sam się obudzić o tej porze.")
                                .arg(LocalClockText(m_armedUtc)));
        break;
    case Phase::Done:
        m_stStatus->setText(ResultText());
        break;
    }
    m_stStatus->setVisible(m_phase != Phase::Ready);
    m_btnStart->setEnabled(m_phase != Phase::Running);
    FitToText();
}

void CWakeTestDialog::FitToText()
{
    // A window does not grow by itself when its wrapped texts get longer; without this the
    // outcome would be cut off at the bottom.
    layout()->activate();
    const int needed = layout()->totalHeightForWidth(width());
    setMinimumHeight(needed);
    if (needed > height()) {
        resize(width(), needed);
    }
}

QString CWakeTestDialog::ResultText() const
{
    QString text;
    switch (m_verdict.outcome) {
    case WakeTestOutcome::WokeByTimer:
        text = tr("Komputer obudził się sam o nastawionej porze (spał %1). Budzenie działa: "
                  "alarmy wybudzą ten komputer.")
                   .arg(DurationText(m_verdict.slept));
        break;
    case WakeTestOutcome::WokeByHand:
        text = tr("Komputer obudzono ręcznie %1 przed nastawioną porą (spał %2), więc test nie "
                  "rozstrzygnął, czy budzik by go obudził. Powtórz test i nie dotykaj komputera, "
                  "dopóki sam się nie obudzi.")
                   .arg(DurationText(m_verdict.wokeAfterArmed), DurationText(m_verdict.slept));
        break;
    case WakeTestOutcome::SleptPast:
        text = tr("Komputer nie obudził się sam: spał %1 i wrócił dopiero %2 po nastawionej "
                  "porze. Budzik go nie wybudził.")
                   .arg(DurationText(m_verdict.slept), DurationText(m_verdict.wokeAfterArmed));
        if (!m_strWhy.isEmpty()) {
            // The command, where one fixes it, stands in its own field above.
            text += u'\n' + tr("Przyczyna: %1").arg(m_strWhy);
        } else {
            text += u'\n'
                    + tr("Zembra nastawiła budzik, ale system albo sprzęt go nie posłuchał. "
                         "Sprawdź w ustawieniach BIOS/UEFI, czy budzenie zegarem (RTC) jest "
                         "włączone, i powtórz test.");
        }
        break;
    case WakeTestOutcome::DidNotSleep:
    case WakeTestOutcome::Running:
        text = tr("Komputer nie zasnął, więc wybudzania nie sprawdzono. System odmówił "
                  "uśpienia, uśpienie było tylko symulowane (--simulate-power) albo wstrzymał je "
                  "inny program.");
        break;
    }
    if (!m_strError.isEmpty()) {
        text += u'\n' + m_strError;
    }
    return text;
}

void CWakeTestDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
    QDialog::changeEvent(event);
}

} // namespace zembra
