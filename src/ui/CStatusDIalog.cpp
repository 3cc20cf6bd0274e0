#include "CStatusDIalog.h"

#include "CBitmapViewer.h"

#include <QClipboard>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

// The images live in a static library: nothing references its resource initialiser, so the
// linker would drop it unless it is called by name (outside any namespace).
static void InitUiResources()
{
    Q_INIT_RESOURCE(ui);
}

namespace zembra {

CStatusDIalog::CStatusDIalog(QWidget* parent)
    : QWidget(parent)
{
    InitUiResources();
    setObjectName(QStringLiteral("statusPanel"));

    m_grpStatus = new QGroupBox(this);
    m_grpStatus->setObjectName(QStringLiteral("statusGroup"));

    m_bmpPicture = new CBitmapViewer(m_grpStatus);
    m_bmpPicture->LoadPicture(QStringLiteral(":/images/alarm_clock.svg"));
    // Natural size, never stretched: only the frame and the text follow the window's size.
    m_bmpPicture->setFixedSize(m_bmpPicture->sizeHint());

    m_stNextAlarm = new QLabel(tr("Najbliższy alarm:\nbrak\n"), m_grpStatus);
    m_stNextAlarm->setObjectName(QStringLiteral("nextAlarmLabel"));
    // The comment is the user's own text: never interpret it as markup.
    m_stNextAlarm->setTextFormat(Qt::PlainText);
    m_stNextAlarm->setAlignment(Qt::AlignCenter);
    m_stNextAlarm->setWordWrap(true);
    m_stNextAlarm->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    m_stWake = new QLabel(m_grpStatus);
    m_stWake->setObjectName(QStringLiteral("wakeLabel"));
    m_stWake->setTextFormat(Qt::PlainText);
    m_stWake->setAlignment(Qt::AlignCenter);
    m_stWake->setWordWrap(true);
    m_stWake->hide();
    // The command is shown breakable after every slash, which a narrow panel needs; what is
    // copied comes from the link, never from the shown text, so nothing invisible is copied.
    m_stWakeCommand = new QLabel(m_grpStatus);
    m_stWakeCommand->setObjectName(QStringLiteral("wakeCommandLabel"));
    m_stWakeCommand->setTextFormat(Qt::PlainText);
    m_stWakeCommand->setAlignment(Qt::AlignCenter);
    m_stWakeCommand->setWordWrap(true);
    m_stWakeCommand->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_stWakeCommand->hide();
    m_lnkCopy = new QLabel(m_grpStatus);
    m_lnkCopy->setObjectName(QStringLiteral("copyWakeCommandLink"));
    m_lnkCopy->setAlignment(Qt::AlignCenter);
    m_lnkCopy->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_lnkCopy->hide();
    connect(m_lnkCopy, &QLabel::linkActivated, this, &CStatusDIalog::CopyWakeCommand);

    auto* frameLayout = new QVBoxLayout(m_grpStatus);
    frameLayout->addSpacing(8);
    frameLayout->addWidget(m_bmpPicture, 0, Qt::AlignHCenter | Qt::AlignTop);
    frameLayout->addWidget(m_stNextAlarm, 1);
    frameLayout->addWidget(m_stWake);
    frameLayout->addWidget(m_stWakeCommand);
    frameLayout->addWidget(m_lnkCopy);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grpStatus);

    ReloadTexts();
}

void CStatusDIalog::ReloadTexts()
{
    m_grpStatus->setTitle(tr("Aktualny stan"));
    m_lnkCopy->setText(QStringLiteral("<a href=\"copy\">%1</a>").arg(tr("Kopiuj polecenie")));
}

void CStatusDIalog::SetNextAlarmText(const QString& text)
{
    m_stNextAlarm->setText(text);
    FitTextHeights();
}

void CStatusDIalog::FitTextHeights()
{
    // The labels share the panel's column; FitWidthTo gave the next-alarm text its width.
    const int width = m_stNextAlarm->minimumWidth() > 0 ? m_stNextAlarm->minimumWidth()
                                                        : m_stNextAlarm->width();
    for (QLabel* label : {m_stNextAlarm, m_stWake, m_stWakeCommand})
        label->setMinimumHeight(label->text().isEmpty() ? 0 : label->heightForWidth(width));
}

QString CStatusDIalog::NextAlarmText() const
{
    return m_stNextAlarm->text();
}

void CStatusDIalog::SetWakeText(const QString& text, const QString& command)
{
    m_stWake->setText(text);
    m_stWake->setVisible(!text.isEmpty());
    m_strWakeCommand = text.isEmpty() ? QString() : command;
    QString shown = m_strWakeCommand;
    shown.replace(u'/', QStringLiteral("/\u200B"));
    m_stWakeCommand->setText(shown);
    m_stWakeCommand->setVisible(!m_strWakeCommand.isEmpty());
    m_lnkCopy->setVisible(!m_strWakeCommand.isEmpty());
    FitTextHeights();
}

void CStatusDIalog::CopyWakeCommand()
{
    if (!m_strWakeCommand.isEmpty()) {
        QGuiApplication::clipboard()->setText(m_strWakeCommand);
    }
}

QString CStatusDIalog::WakeText() const
{
    return m_stWake->text();
}

void CStatusDIalog::FitWidthTo(const QStringList& lines)
{
    const QFontMetrics metrics(m_stNextAlarm->font());
    int widest = m_bmpPicture->width();
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    // A little slack keeps rounding in the layout from breaking the widest line.
    m_stNextAlarm->setMinimumWidth(widest + metrics.horizontalAdvance(QStringLiteral("00")));
    setMinimumWidth(0);
    setMaximumWidth(QWIDGETSIZE_MAX);
    setFixedWidth(sizeHint().width());
    FitTextHeights();
}

void CStatusDIalog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ReloadTexts();
    else if (event->type() == QEvent::FontChange)
        FitTextHeights();
    QWidget::changeEvent(event);
}

} // namespace zembra
