#include "CTipsDialog.h"

#include "CStartupTip.h"
#include "CTipsFile.h"

#include <QCheckBox>
#include <QDateTime>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QVBoxLayout>

// The icon lives in a static library: its resource initialiser is called by name (outside any
// namespace), or the linker would leave it out. Registering twice is harmless.
static void InitUiResources()
{
    Q_INIT_RESOURCE(ui);
}

namespace zembra {

CTipsDialog::CTipsDialog(QWidget* parent)
    : QDialog(parent)
    , m_random(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()))
{
    InitUiResources();
    setObjectName(QStringLiteral("CTipsDialog"));

    m_tip = new CStartupTip(this);
    m_pShowAtStartup = new QCheckBox(this);
    m_pShowAtStartup->setObjectName(QStringLiteral("checkShowAtStartup"));
    m_pNext = new QPushButton(this);
    m_pNext->setObjectName(QStringLiteral("buttonNext"));
    m_pNext->setDefault(true);
    m_pOk = new QPushButton(this);
    m_pOk->setObjectName(QStringLiteral("buttonOk"));

    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_pShowAtStartup);
    bottomRow->addStretch(1);
    bottomRow->addWidget(m_pNext);
    bottomRow->addWidget(m_pOk);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tip);
    layout->addLayout(bottomRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // As on the screen, left to right; the dialog opens on "Następna", its default button.
    setTabOrder(m_pShowAtStartup, m_pNext);
    setTabOrder(m_pNext, m_pOk);

    connect(m_pNext, &QPushButton::clicked, this, &CTipsDialog::ShowRandomTip);
    connect(m_pOk, &QPushButton::clicked, this, &CTipsDialog::accept);

    RetranslateUi();
}

int CTipsDialog::exec()
{
    InitDialog();
    return QDialog::exec();
}

void CTipsDialog::InitDialog()
{
    m_pShowAtStartup->setChecked(m_bShowAtStartup);
    m_tip->SetIcon(QIcon(QStringLiteral(":/images/alarm_clock.svg")));
    ShowRandomTip();
    m_pNext->setFocus();
}

void CTipsDialog::ShowRandomTip()
{
    const QStringList& tips = CTipsFile::Tips();
    if (tips.isEmpty()) {
        return;
    }
    const auto index = static_cast<qsizetype>(m_random.bounded(static_cast<quint32>(tips.size())));
    m_tip->SetTipText(tips.at(index));
}

void CTipsDialog::accept()
{
    m_bShowAtStartup = m_pShowAtStartup->isChecked();
    QDialog::accept();
}

void CTipsDialog::RetranslateUi()
{
    setWindowTitle(tr("Porada dnia"));
    m_pShowAtStartup->setText(tr("&Pokazuj porady przy starcie"));
    m_pNext->setText(tr("&Następna"));
    m_pOk->setText(tr("OK"));
}

void CTipsDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
    QDialog::changeEvent(event);
}

} // namespace zembra
