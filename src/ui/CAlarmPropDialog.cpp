#include "CAlarmPropDialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace zembra {

namespace {

QLabel* MakeLabel(const QString& text, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* MakeValue(const QString& text, const QString& name, QWidget* parent)
{
    QLabel* value = MakeLabel(text, name, parent);
    // A long comment or program list must not widen the main window; it is cut at the frame.
    value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    value->setMinimumWidth(1);
    return value;
}

} // namespace

CAlarmPropDialog::CAlarmPropDialog(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("propertiesPanel"));

    m_grpProperties = new QGroupBox(tr("Właściwości wybranego alarmu"), this);
    m_grpProperties->setObjectName(QStringLiteral("propertiesGroup"));

    // The first label starts as "Rodzaj:" and becomes "Typ:" once the texts are reloaded.
    m_stTypeLabel = MakeLabel(tr("Rodzaj:"), QStringLiteral("typeLabel"), m_grpProperties);
    m_stTimeLabel = MakeLabel(tr("Czas:"), QStringLiteral("timeLabel"), m_grpProperties);
    m_stActionLabel = MakeLabel(tr("Akcja:"), QStringLiteral("actionLabel"), m_grpProperties);
    m_stType = MakeValue(tr("brak"), QStringLiteral("typeValue"), m_grpProperties);
    m_stAction = MakeValue(tr("brak"), QStringLiteral("actionValue"), m_grpProperties);
    m_stTime = MakeValue(tr("brak"), QStringLiteral("timeValue"), m_grpProperties);

    auto* grid = new QGridLayout(m_grpProperties);
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(12);
    grid->addWidget(m_stTypeLabel, 0, 0);
    grid->addWidget(m_stType, 0, 1);
    grid->addWidget(m_stTimeLabel, 1, 0);
    grid->addWidget(m_stTime, 1, 1);
    grid->addWidget(m_stActionLabel, 2, 0);
    grid->addWidget(m_stAction, 2, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grpProperties);

    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void CAlarmPropDialog::ReloadTexts()
{
    m_grpProperties->setTitle(tr("Właściwości wybranego alarmu"));
    m_stTypeLabel->setText(tr("Typ:"));
    m_stTimeLabel->setText(tr("Czas:"));
    m_stActionLabel->setText(tr("Akcja:"));
}

void CAlarmPropDialog::SetProperties(const QString& type, const QString& time,
                                     const QString& actions)
{
    m_stType->setText(type);
    m_stTime->setText(time);
    m_stAction->setText(actions);
}

QString CAlarmPropDialog::TypeText() const
{
    return m_stType->text();
}

QString CAlarmPropDialog::TimeText() const
{
    return m_stTime->text();
}

QString CAlarmPropDialog::ActionText() const
{
    return m_stAction->text();
}

void CAlarmPropDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ReloadTexts();
    QWidget::changeEvent(event);
}

} // namespace zembra
