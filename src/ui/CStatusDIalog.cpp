#include "CStatusDIalog.h"

#include "CBitmapViewer.h"

#include <QEvent>
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

    auto* frameLayout = new QVBoxLayout(m_grpStatus);
    frameLayout->addSpacing(8);
    frameLayout->addWidget(m_bmpPicture, 0, Qt::AlignHCenter | Qt::AlignTop);
    frameLayout->addWidget(m_stNextAlarm, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grpStatus);

    ReloadTexts();
}

void CStatusDIalog::ReloadTexts()
{
    m_grpStatus->setTitle(tr("Aktualny stan"));
}

void CStatusDIalog::SetNextAlarmText(const QString& text)
{
    m_stNextAlarm->setText(text);
}

QString CStatusDIalog::NextAlarmText() const
{
    return m_stNextAlarm->text();
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
}

void CStatusDIalog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ReloadTexts();
    QWidget::changeEvent(event);
}

} // namespace zembra
