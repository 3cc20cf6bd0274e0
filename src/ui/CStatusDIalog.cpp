#include "CStatusDIalog.h"

#include "CBitmapViewer.h"

#include <QClipboard>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QStyleOption>
#include <QStylePainter>
#include <QVBoxLayout>

#include <algorithm>

// The images live in a static library: nothing references its resource initialiser, so the
// linker would drop it unless it is called by name (outside any namespace).
static void InitUiResources()
{
    Q_INIT_RESOURCE(ui);
}

namespace zembra {

namespace {

// A one-line label that shows when it has the keyboard focus, with the style's own focus frame
// (a plain label draws none). It draws its text itself: a focusable QLabel paints through a
// text document that asks for a second repaint every time, and this one changes every second.
class FocusableLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        painter.drawItemText(contentsRect(), static_cast<int>(alignment()), palette(),
                             isEnabled(), text(), foregroundRole());
        if (!hasFocus())
            return;
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.backgroundColor = palette().color(QPalette::Window);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
};

} // namespace

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
    m_stNextAlarm->setTextFormat(Qt::PlainText);
    m_stNextAlarm->setAlignment(Qt::AlignCenter);
    m_stNextAlarm->setWordWrap(true);
    // Never squeezed under its lines (over the picture) in a short window.
    m_stNextAlarm->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);

    // Reachable with Tab, so that a screen reader can read it on demand; its name stays while
    // the text (its description) changes every second, so nothing is announced each second.
    m_stCountdown = new FocusableLabel(m_grpStatus);
    m_stCountdown->setObjectName(QStringLiteral("countdownLabel"));
    m_stCountdown->setTextFormat(Qt::PlainText);
    m_stCountdown->setAlignment(Qt::AlignCenter);
    m_stCountdown->setFocusPolicy(Qt::TabFocus);
    m_stCountdown->hide();

    // The comment is the user's own text: never interpret it as markup.
    m_stComment = new QLabel(m_grpStatus);
    m_stComment->setObjectName(QStringLiteral("nextAlarmComment"));
    m_stComment->setTextFormat(Qt::PlainText);
    m_stComment->setAlignment(Qt::AlignCenter);
    m_stComment->setWordWrap(true);
    m_stComment->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);

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
    // The next alarm's lines sit together, as one text, in the middle of the room left under
    // the picture.
    auto* nextAlarm = new QVBoxLayout();
    nextAlarm->setSpacing(0);
    nextAlarm->addWidget(m_stNextAlarm);
    nextAlarm->addWidget(m_stCountdown, 0, Qt::AlignHCenter);
    nextAlarm->addWidget(m_stComment);
    frameLayout->addStretch(1);
    frameLayout->addLayout(nextAlarm);
    frameLayout->addStretch(1);
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
    ReloadAccessibleTexts();
}

void CStatusDIalog::ReloadAccessibleTexts()
{
    m_stCountdown->setAccessibleName(tr("Czas do najbliższego alarmu"));
    m_stCountdown->setAccessibleDescription(m_stCountdown->text());
}

void CStatusDIalog::SetNextAlarm(const QString& heading, const QString& countdown,
                                 const QString& comment)
{
    m_stNextAlarm->setText(heading);
    m_stComment->setText(comment);
    m_stComment->setVisible(!comment.isEmpty());
    SetCountdownText(countdown);
    m_stCountdown->setVisible(!countdown.isEmpty());
    FitTextHeights();
}

void CStatusDIalog::SetCountdownText(const QString& countdown)
{
    if (countdown == m_stCountdown->text())
        return;
    m_stCountdown->setText(countdown);
    // Read on demand, never announced: a description changes without a new name.
    m_stCountdown->setAccessibleDescription(countdown);
}

QString CStatusDIalog::CountdownText() const
{
    return m_stCountdown->text();
}

void CStatusDIalog::FitTextHeights()
{
    // The labels share the panel's column; FitWidthTo gave the next-alarm text its width.
    const int width = m_stNextAlarm->minimumWidth() > 0 ? m_stNextAlarm->minimumWidth()
                                                        : m_stNextAlarm->width();
    for (QLabel* label : {m_stNextAlarm, m_stComment, m_stWake, m_stWakeCommand})
        label->setMinimumHeight(label->text().isEmpty() ? 0 : label->heightForWidth(width));
}

QString CStatusDIalog::NextAlarmText() const
{
    QString text = m_stNextAlarm->text();
    for (const QLabel* line : {m_stCountdown, m_stComment}) {
        if (!line->text().isEmpty())
            text += u'\n' + line->text();
    }
    return text;
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
    const int width = widest + metrics.horizontalAdvance(QStringLiteral("00"));
    m_stNextAlarm->setMinimumWidth(width);
    // A fixed size: a new countdown text never asks the panel for a new layout.
    // (With room for the focus frame around the text.)
    m_stCountdown->setFixedSize(width, QFontMetrics(m_stCountdown->font()).height() + 2);
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
