#include "CDialogSettings.h"

#include "CControlHelp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWhatsThis>

namespace zembra {

namespace {

constexpr int kMaxTransparency = 90;
constexpr int kMinSnooze = 1;
constexpr int kMaxSnooze = 120;

// The language list starts with the default entry; the names after it are written in the
// languages themselves and never translated, so that a user lost in a foreign interface still
// finds their own.
constexpr int kLanguageDefault = 0;
const char16_t* const kLanguageNames[] = {u"Polski", u"English", u"Deutsch"};

} // namespace

CDialogSettings::CDialogSettings(QWidget* parent)
    : QDialog(parent)
{
    BuildUi();
    RetranslateUi();
}

CDialogSettings::~CDialogSettings() = default;

QString CDialogSettings::LanguageDisplayName(const QString& langSetting)
{
    if (langSetting == QLatin1String("default")) {
        return tr("<domyślny>");
    }
    return langSetting;
}

QString CDialogSettings::LanguageSettingFromChoice(const QString& choice)
{
    if (choice == tr("<domyślny>")) {
        return QStringLiteral("default");
    }
    return choice;
}

void CDialogSettings::BuildUi()
{
    setObjectName(QStringLiteral("CDialogSettings"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);

    m_pOk = new QPushButton(this);
    m_pOk->setObjectName(QStringLiteral("buttonOk"));
    m_pOk->setDefault(true);
    m_pCancel = new QPushButton(this);
    m_pCancel->setObjectName(QStringLiteral("buttonCancel"));

    m_pBehaviourGroup = new QGroupBox(this);
    m_pBehaviourGroup->setObjectName(QStringLiteral("groupBehaviour"));
    const auto makeCheck = [this](const char* name) {
        auto* check = new QCheckBox(m_pBehaviourGroup);
        check->setObjectName(QLatin1String(name));
        return check;
    };
    m_pAutostartCheck = makeCheck("checkAutostart");
    m_pMaxVolumeCheck = makeCheck("checkMaxVolume");
    m_pRepeatSoundCheck = makeCheck("checkRepeatSound");
    m_pSnoozeLabel = new QLabel(m_pBehaviourGroup);
    m_pSnoozeSpin = new QSpinBox(m_pBehaviourGroup);
    m_pSnoozeSpin->setObjectName(QStringLiteral("spinSnooze"));
    m_pSnoozeSpin->setRange(kMinSnooze, kMaxSnooze);
    m_pSnoozeLabel->setBuddy(m_pSnoozeSpin);
    m_pHideOnStartupCheck = makeCheck("checkHideOnStartup");
    m_pAutoloadCheck = makeCheck("checkAutoload");

    m_pSleepModeLabel = new QLabel(m_pBehaviourGroup);
    m_pSleepModeCombo = new QComboBox(m_pBehaviourGroup);
    m_pSleepModeCombo->setObjectName(QStringLiteral("comboSleepMode"));
    m_pSleepModeCombo->addItem(QString());
    m_pSleepModeCombo->addItem(QString());
    m_pSleepModeLabel->setBuddy(m_pSleepModeCombo);

    m_pTransparencyLabel = new QLabel(m_pBehaviourGroup);
    m_pTransparencyEdit = new QLineEdit(m_pBehaviourGroup);
    m_pTransparencyEdit->setObjectName(QStringLiteral("editTransparency"));
    m_pTransparencyEdit->setReadOnly(true);
    m_pTransparencyEdit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*")), m_pTransparencyEdit));
    m_pTransparencyEdit->setAlignment(Qt::AlignRight);
    // It only shows what the slider holds: the slider is the control, the box no Tab stop.
    m_pTransparencyEdit->setFocusPolicy(Qt::NoFocus);
    // Wide enough for two digits, no wider: the slider beside it gets the room.
    const QFontMetrics metrics = m_pTransparencyEdit->fontMetrics();
    m_pTransparencyEdit->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("000"))
                                       + metrics.height());
    m_pPercentLabel = new QLabel(QStringLiteral("%"), m_pBehaviourGroup);
    m_pTransparencySlider = new QSlider(Qt::Horizontal, m_pBehaviourGroup);
    m_pTransparencySlider->setObjectName(QStringLiteral("sliderTransparency"));
    m_pTransparencySlider->setRange(0, kMaxTransparency);
    m_pTransparencySlider->setTickPosition(QSlider::NoTicks);
    m_pTransparencyLabel->setBuddy(m_pTransparencySlider);

    auto* snoozeRow = new QHBoxLayout;
    snoozeRow->addWidget(m_pSnoozeLabel);
    snoozeRow->addWidget(m_pSnoozeSpin);
    snoozeRow->addStretch();
    auto* sleepRow = new QHBoxLayout;
    sleepRow->addWidget(m_pSleepModeLabel);
    sleepRow->addWidget(m_pSleepModeCombo, 1);
    auto* transparencyRow = new QHBoxLayout;
    transparencyRow->addWidget(m_pTransparencyEdit);
    transparencyRow->addWidget(m_pPercentLabel);
    transparencyRow->addWidget(m_pTransparencySlider, 1);
    auto* behaviourLayout = new QVBoxLayout(m_pBehaviourGroup);
    behaviourLayout->addWidget(m_pAutostartCheck);
    behaviourLayout->addWidget(m_pMaxVolumeCheck);
    behaviourLayout->addWidget(m_pRepeatSoundCheck);
    behaviourLayout->addLayout(snoozeRow);
    behaviourLayout->addWidget(m_pHideOnStartupCheck);
    behaviourLayout->addWidget(m_pAutoloadCheck);
    behaviourLayout->addLayout(sleepRow);
    behaviourLayout->addWidget(m_pTransparencyLabel);
    behaviourLayout->addLayout(transparencyRow);

    m_pLookGroup = new QGroupBox(this);
    m_pLookGroup->setObjectName(QStringLiteral("groupLook"));
    m_pLanguageLabel = new QLabel(m_pLookGroup);
    m_pLanguageCombo = new QComboBox(m_pLookGroup);
    m_pLanguageCombo->setObjectName(QStringLiteral("comboLanguage"));
    m_pLanguageCombo->addItem(QString());
    for (const char16_t* name : kLanguageNames) {
        m_pLanguageCombo->addItem(QString::fromUtf16(name));
    }
    m_pLanguageLabel->setBuddy(m_pLanguageCombo);
    auto* lookLayout = new QHBoxLayout(m_pLookGroup);
    lookLayout->addWidget(m_pLanguageLabel);
    lookLayout->addWidget(m_pLanguageCombo, 1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_pOk);
    buttonRow->addWidget(m_pCancel);
    buttonRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pBehaviourGroup);
    layout->addWidget(m_pLookGroup);
    layout->addLayout(buttonRow);
    // The controls keep their natural size: a wider dialog would only stretch the lists.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // From top to bottom as on the screen, OK and Cancel last.
    const QList<QWidget*> tabOrder = {m_pAutostartCheck,
                                      m_pMaxVolumeCheck,
                                      m_pRepeatSoundCheck,
                                      m_pSnoozeSpin,
                                      m_pHideOnStartupCheck,
                                      m_pAutoloadCheck,
                                      m_pSleepModeCombo,
                                      m_pTransparencySlider,
                                      m_pLanguageCombo,
                                      m_pOk,
                                      m_pCancel};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    // The help keys are caught before they reach the control that has the focus.
    CControlHelp::Install(this);

    connect(m_pOk, &QPushButton::clicked, this, &CDialogSettings::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &CDialogSettings::reject);
    // valueChanged comes while the slider is dragged too, so the box follows the thumb.
    connect(m_pTransparencySlider, &QSlider::valueChanged, this,
            &CDialogSettings::OnTransparencyChanged);
}

void CDialogSettings::RetranslateUi()
{
    setWindowTitle(tr("Ustawienia"));
    m_pOk->setText(tr("OK"));
    m_pCancel->setText(tr("Anuluj"));

    m_pBehaviourGroup->setTitle(tr("Zachowanie"));
    m_pAutostartCheck->setText(tr("&Startuj z systemem"));
    m_pAutostartCheck->setWhatsThis(
        tr("Umożliwia włączenie automatycznego uruchomienia programu przy starcie systemu"));
    m_pMaxVolumeCheck->setText(tr("Ustaw &maksymlaną głośność przy budzeniu"));
    m_pMaxVolumeCheck->setWhatsThis(tr("Zmienia systemowe ustawienie głośności do maksymalnego "
                                       "poziomu (tylko na czas odtwarzania dźwięku alarmu)"));
    m_pRepeatSoundCheck->setText(tr("&Powtarzaj dźwięk aż do wyłączenia"));
    m_pRepeatSoundCheck->setWhatsThis(tr("Odtwarza dźwięk alarmu od początku, dopóki alarm nie "
                                         "zostanie potwierdzony albo odłożony na drzemkę, "
                                         "najdłużej przez 15 minut"));
    m_pSnoozeLabel->setText(tr("&Drzemka:"));
    m_pSnoozeSpin->setSuffix(tr(" min"));
    const QString snoozeHelp = tr("Czas drzemki proponowany jako pierwszy: dzwoniący alarm "
                                  "odłożony poleceniem Drzemka zadzwoni znowu po tylu minutach");
    m_pSnoozeSpin->setWhatsThis(snoozeHelp);
    m_pSnoozeLabel->setWhatsThis(snoozeHelp);
    m_pHideOnStartupCheck->setText(tr("&Ukrywaj okno przy starcie"));
    m_pHideOnStartupCheck->setWhatsThis(tr("Autoukrywanie okna programu po jego uruchomieniu"));
    m_pAutoloadCheck->setText(tr("&Otwieraj ostatnią konfigurację po starcie"));
    m_pAutoloadCheck->setWhatsThis(tr("Wczytuje ostatni zestaw alarmów"));

    m_pSleepModeLabel->setText(tr("P&rzycisk uśpienia:"));
    m_pSleepModeCombo->setItemText(0, tr("Uśpienie"));
    m_pSleepModeCombo->setItemText(1, tr("Hibernacja"));

    m_pTransparencyLabel->setText(tr("Prz&eźroczystość okienka powiadamiania:"));
    m_pTransparencySlider->setWhatsThis(tr("0% - w pełni widoczne, 90% - prawie niewidoczne"));
    m_pTransparencyEdit->setAccessibleName(tr("Przeźroczystość w procentach"));

    m_pLookGroup->setTitle(tr("Wygląd"));
    m_pLanguageLabel->setText(tr("&Język:"));
    m_pLanguageCombo->setItemText(kLanguageDefault, tr("<domyślny>"));
    m_pLanguageCombo->setWhatsThis(tr("Umożliwia wybór języka programu. Język domyślny to język "
                                      "systemu operacyjnego (jeśli istnieje)"));
}

void CDialogSettings::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
    QDialog::changeEvent(event);
}


int CDialogSettings::exec()
{
    InitDialog();
    return QDialog::exec();
}

void CDialogSettings::InitDialog()
{
    m_bInitialised = true;
    m_pAutostartCheck->setChecked(m_bAutostart);
    m_pMaxVolumeCheck->setChecked(m_bMaxVolume);
    m_pRepeatSoundCheck->setChecked(m_bRepeatSound);
    m_pSnoozeSpin->setValue(m_nSnoozeMinutes);
    m_pHideOnStartupCheck->setChecked(m_bHideOnStartup);
    m_pAutoloadCheck->setChecked(m_bAutoload);

    // The box shows what the slider holds, so a stored value out of range is shown, and kept
    // on OK, as the nearest one the slider can take.
    m_pTransparencySlider->setValue(m_nTransparency);
    OnTransparencyChanged(m_pTransparencySlider->value());

    const bool knownSleepMode = m_nSleepMode >= 0 && m_nSleepMode < m_pSleepModeCombo->count();
    m_pSleepModeCombo->setCurrentIndex(knownSleepMode ? m_nSleepMode : -1);

    // An exact match only; a name the list does not offer leaves it without a choice.
    m_pLanguageCombo->setCurrentIndex(
        m_pLanguageCombo->findText(m_strLanguage, Qt::MatchExactly | Qt::MatchCaseSensitive));

    m_pAutostartCheck->setFocus();
}

void CDialogSettings::accept()
{
    if (m_bInitialised) {
        m_bAutostart = m_pAutostartCheck->isChecked();
        m_bMaxVolume = m_pMaxVolumeCheck->isChecked();
        m_bRepeatSound = m_pRepeatSoundCheck->isChecked();
        m_nSnoozeMinutes = m_pSnoozeSpin->value();
        m_bHideOnStartup = m_pHideOnStartupCheck->isChecked();
        m_bAutoload = m_pAutoloadCheck->isChecked();
        m_nSleepMode = m_pSleepModeCombo->currentIndex();
        m_strLanguageChoice =
            m_pLanguageCombo->currentIndex() < 0 ? QString() : m_pLanguageCombo->currentText();
        m_nTransparency = m_pTransparencyEdit->text().toInt();
    }
    QDialog::accept();
}

void CDialogSettings::OnTransparencyChanged(int value)
{
    m_pTransparencyEdit->setText(QString::number(value));
}

} // namespace zembra
