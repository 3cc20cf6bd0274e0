#include "CAlarmDialog.h"

#include "CControlHelp.h"

#include "CMessageBox.h"
#include "CSoundDevice.h"
#include "model/CAlarm.h"
#include "time/Clock.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <algorithm>
#include <iterator>

namespace zembra {

namespace {

// Button order on screen is the order of these keywords; a button's id in its group is its
// index here.
constexpr const char* kFrequencyKeywords[] = {
    kFrequencyOnce,   kFrequencyEveryday, kFrequencyWorkdays, kFrequencyWeekend,
    kFrequencyWeekly, kFrequencyMonthly,  kFrequencyYearly,
};
constexpr const char* kFrequencyNames[] = {
    "radioOnce",   "radioEveryday", "radioWorkdays", "radioWeekend",
    "radioWeekly", "radioMonthly",  "radioYearly",
};
constexpr const char* kTypeKeywords[] = {kTypeWakeup, kTypeStandby, kTypeHibernate, kTypeShutdown};
constexpr const char* kTypeNames[] = {"radioWakeup", "radioStandby", "radioHibernate",
                                      "radioShutdown"};

static_assert(std::size(kFrequencyKeywords) == std::size(kFrequencyNames));
static_assert(std::size(kTypeKeywords) == std::size(kTypeNames));

// Checks the button whose keyword is `keyword`, or none when no keyword matches: an unknown
// keyword read from a file stays as it is until the user picks a button.
void CheckKeyword(QButtonGroup* group, const char* const* keywords, const QString& keyword)
{
    group->setExclusive(false);
    const QList<QAbstractButton*> buttons = group->buttons();
    for (QAbstractButton* button : buttons) {
        button->setChecked(keyword == QLatin1String(keywords[group->id(button)]));
    }
    group->setExclusive(true);
}

// The locale's long time format shows the seconds but also a zone name, which means nothing
// for a wall-clock alarm time.
QString TimeFormatWithSeconds(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
        }
        if (!quoted && c == u't') {
            continue;
        }
        result += c;
    }
    return result.simplified();
}

// The program box holds a command line that is split into words before it runs, so a picked
// path with blanks, quotes or backslashes goes into single quotes to stay one word.
QString AsCommandWord(const QString& path)
{
    const bool plain = std::none_of(path.begin(), path.end(), [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\'' || c == u'"' || c == u'\\';
    });
    if (plain) {
        return path;
    }
    QString quoted = path;
    quoted.replace(QStringLiteral("'"), QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

// The time field moves on to the next part by itself once a typed number cannot grow any more
// ("7" in the hour). The Tab the user presses after it, as one does after each part, must then
// not move on once more, or the minutes would land in the seconds.
class CTimeField : public QTimeEdit {
public:
    using QTimeEdit::QTimeEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        // "p" in the AM/PM part means PM, as it reads; the field alone would keep a lone "P" as
        // unfinished and put AM back when the focus leaves.
        if (currentSection() == QDateTimeEdit::AmPmSection && !event->text().isEmpty()) {
            const QChar typed = event->text().at(0).toLower();
            const QString am = locale().amText();
            const QString pm = locale().pmText();
            const bool toAm = !am.isEmpty() && am.at(0).toLower() == typed;
            const bool toPm = !pm.isEmpty() && pm.at(0).toLower() == typed;
            if (toAm != toPm) {
                const QTime now = time();
                setTime(QTime(now.hour() % 12 + (toPm ? 12 : 0), now.minute(), now.second()));
                setCurrentSection(QDateTimeEdit::AmPmSection);
                m_bMovedOn = false;
                event->accept();
                return;
            }
        }
        const int section = currentSectionIndex();
        QTimeEdit::keyPressEvent(event);
        m_bMovedOn = !event->text().isEmpty() && event->text().at(0).isDigit()
                     && currentSectionIndex() != section;
    }

    void focusInEvent(QFocusEvent* event) override
    {
        m_bMovedOn = false;
        QTimeEdit::focusInEvent(event);
    }

    bool focusNextPrevChild(bool next) override
    {
        if (next && m_bMovedOn) {
            m_bMovedOn = false;
            return true;
        }
        m_bMovedOn = false;
        return QTimeEdit::focusNextPrevChild(next);
    }

private:
    bool m_bMovedOn = false;
};

// The date field opens its calendar from the keyboard too, with the keys a drop-down list
// opens with: F4, Alt+Down and Alt+Up.
class CDateField : public QDateEdit {
public:
    using QDateEdit::QDateEdit;

    void OpenCalendar()
    {
        if (!calendarPopup() || isReadOnly()) {
            return;
        }
        // The calendar opens on a press on the arrow; there is no other way in.
        QStyleOptionComboBox option;
        option.initFrom(this);
        option.editable = true;
        option.subControls = QStyle::SC_All;
        const QRect arrow =
            style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
        const QPointF at =
            arrow.isValid() ? QPointF(arrow.center()) : QPointF(width() - 4, height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        mousePressEvent(&press);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool altArrow = (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up)
                              && event->modifiers() == Qt::AltModifier;
        if ((event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) || altArrow) {
            OpenCalendar();
            event->accept();
            return;
        }
        QDateEdit::keyPressEvent(event);
    }
};

QPushButton* MakeBrowseButton(QWidget* parent, const char* objectName)
{
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(QLatin1String(objectName));
    // A style's minimum push-button width would make "..." as wide as OK.
    const QFontMetrics metrics = button->fontMetrics();
    button->setMaximumWidth(metrics.horizontalAdvance(button->text()) + 2 * metrics.height());
    return button;
}

} // namespace

CAlarmDialog::CAlarmDialog(QWidget* parent)
    : QDialog(parent)
{
    // Today and now, local, whole seconds: a new alarm starts from the present moment.
    if (const auto local = UtcToLocalSystemTime(Clock::Now())) {
        m_dtDate = QDate(local->wYear, local->wMonth, local->wDay);
        m_dtTime = QTime(local->wHour, local->wMinute, local->wSecond);
    }
    BuildUi();
    RetranslateUi();
}

CAlarmDialog::~CAlarmDialog() = default;

void CAlarmDialog::BuildUi()
{
    setObjectName(QStringLiteral("CAlarmDialog"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);

    m_pOk = new QPushButton(this);
    m_pOk->setObjectName(QStringLiteral("buttonOk"));
    m_pOk->setDefault(true);
    m_pCancel = new QPushButton(this);
    m_pCancel->setObjectName(QStringLiteral("buttonCancel"));

    m_pFrequencyGroup = new QGroupBox(this);
    m_pFrequencyGroup->setObjectName(QStringLiteral("groupFrequency"));
    m_pFrequencyButtonGroup = new QButtonGroup(this);
    auto* frequencyLayout = new QVBoxLayout(m_pFrequencyGroup);
    for (int i = 0; i < int(std::size(m_pFrequencyButtons)); ++i) {
        auto* button = new QRadioButton(m_pFrequencyGroup);
        button->setObjectName(QLatin1String(kFrequencyNames[i]));
        m_pFrequencyButtonGroup->addButton(button, i);
        frequencyLayout->addWidget(button);
        m_pFrequencyButtons[i] = button;
    }
    frequencyLayout->addStretch();

    m_pTimeGroup = new QGroupBox(this);
    m_pTimeGroup->setObjectName(QStringLiteral("groupTime"));
    m_pTimeLabel = new QLabel(m_pTimeGroup);
    m_pTime = new CTimeField(m_pTimeGroup);
    m_pTime->setObjectName(QStringLiteral("timeEdit"));
    m_pDateLabel = new QLabel(m_pTimeGroup);
    m_pDate = new CDateField(m_pTimeGroup);
    m_pDate->setObjectName(QStringLiteral("dateEdit"));
    m_pDate->setCalendarPopup(true);
    m_pDate->setMinimumDate(QDate(kMinYear, 1, 1));
    // The pickers hold wall-clock values; in UTC no daylight-saving gap can make one invalid.
    m_pTime->setTimeSpec(Qt::UTC);
    m_pDate->setTimeSpec(Qt::UTC);
    m_pTimeLabel->setBuddy(m_pTime);
    m_pDateLabel->setBuddy(m_pDate);
    auto* timeLayout = new QGridLayout(m_pTimeGroup);
    timeLayout->addWidget(m_pTimeLabel, 0, 0);
    timeLayout->addWidget(m_pTime, 0, 1, Qt::AlignRight);
    timeLayout->addWidget(m_pDateLabel, 1, 0);
    timeLayout->addWidget(m_pDate, 1, 1);
    timeLayout->setColumnStretch(1, 1);

    m_pTypeGroup = new QGroupBox(this);
    m_pTypeGroup->setObjectName(QStringLiteral("groupType"));
    m_pTypeButtonGroup = new QButtonGroup(this);
    auto* typeLayout = new QVBoxLayout(m_pTypeGroup);
    for (int i = 0; i < int(std::size(m_pTypeButtons)); ++i) {
        auto* button = new QRadioButton(m_pTypeGroup);
        button->setObjectName(QLatin1String(kTypeNames[i]));
        m_pTypeButtonGroup->addButton(button, i);
        typeLayout->addWidget(button);
        m_pTypeButtons[i] = button;
    }
    typeLayout->addStretch();

    m_pCommentLabel = new QLabel(this);
    m_pComment = new QLineEdit(this);
    m_pComment->setObjectName(QStringLiteral("editComment"));
    m_pCommentLabel->setBuddy(m_pComment);

    m_pActionGroup = new QGroupBox(this);
    m_pActionGroup->setObjectName(QStringLiteral("groupAction"));
    m_pMessageCheck = new QCheckBox(m_pActionGroup);
    m_pMessageCheck->setObjectName(QStringLiteral("checkMessage"));
    m_pMessage = new QLineEdit(m_pActionGroup);
    m_pMessage->setObjectName(QStringLiteral("editMessage"));
    m_pSoundCheck = new QCheckBox(m_pActionGroup);
    m_pSoundCheck->setObjectName(QStringLiteral("checkSound"));
    m_pSound = new QLineEdit(m_pActionGroup);
    m_pSound->setObjectName(QStringLiteral("editSound"));
    m_pBrowseSound = MakeBrowseButton(m_pActionGroup, "buttonBrowseSound");
    m_pPlay = new QPushButton(m_pActionGroup);
    m_pPlay->setObjectName(QStringLiteral("buttonPlay"));
    m_pProgramCheck = new QCheckBox(m_pActionGroup);
    m_pProgramCheck->setObjectName(QStringLiteral("checkProgram"));
    m_pProgram = new QLineEdit(m_pActionGroup);
    m_pProgram->setObjectName(QStringLiteral("editProgram"));
    m_pBrowseProgram = MakeBrowseButton(m_pActionGroup, "buttonBrowseProgram");
    auto* actionLayout = new QGridLayout(m_pActionGroup);
    actionLayout->addWidget(m_pMessageCheck, 0, 0, 1, 3);
    actionLayout->addWidget(m_pMessage, 1, 0, 1, 3);
    actionLayout->addWidget(m_pSoundCheck, 2, 0, 1, 3);
    actionLayout->addWidget(m_pSound, 3, 0);
    actionLayout->addWidget(m_pBrowseSound, 3, 1);
    actionLayout->addWidget(m_pPlay, 3, 2);
    actionLayout->addWidget(m_pProgramCheck, 4, 0, 1, 3);
    actionLayout->addWidget(m_pProgram, 5, 0, 1, 2);
    actionLayout->addWidget(m_pBrowseProgram, 5, 2, Qt::AlignLeft);
    actionLayout->setColumnStretch(0, 1);

    m_pActiveCheck = new QCheckBox(this);
    m_pActiveCheck->setObjectName(QStringLiteral("checkActive"));

    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(m_pTimeGroup);
    rightColumn->addWidget(m_pTypeGroup, 1);
    auto* upper = new QHBoxLayout;
    upper->addWidget(m_pFrequencyGroup);
    upper->addLayout(rightColumn, 1);
    auto* commentRow = new QHBoxLayout;
    commentRow->addWidget(m_pCommentLabel);
    commentRow->addWidget(m_pComment, 1);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_pActiveCheck);
    bottomRow->addStretch();
    bottomRow->addWidget(m_pOk);
    bottomRow->addWidget(m_pCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(upper);
    layout->addLayout(commentRow);
    layout->addWidget(m_pActionGroup);
    layout->addLayout(bottomRow);

    // The time leads: it heads the top row and is what nearly every alarm sets, so the dialog
    // opens on it. The rest follows the screen from top to bottom, OK and Cancel last.
    QList<QWidget*> tabOrder = {m_pTime, m_pDate};
    for (QRadioButton* button : m_pFrequencyButtons) {
        tabOrder << button;
    }
    for (QRadioButton* button : m_pTypeButtons) {
        tabOrder << button;
    }
    tabOrder << m_pComment << m_pMessageCheck << m_pMessage << m_pSoundCheck << m_pSound
             << m_pBrowseSound << m_pPlay << m_pProgramCheck << m_pProgram << m_pBrowseProgram
             << m_pActiveCheck << m_pOk << m_pCancel;
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    // The help keys are caught before they reach the control that has the focus.
    CControlHelp::Install(this);

    connect(m_pOk, &QPushButton::clicked, this, &CAlarmDialog::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &CAlarmDialog::reject);
    // A click takes effect in the field at once; Cancel gives the caller's value back.
    connect(m_pFrequencyButtonGroup, &QButtonGroup::idClicked, this,
            [this](int id) { m_strFrequency = QLatin1String(kFrequencyKeywords[id]); });
    connect(m_pTypeButtonGroup, &QButtonGroup::idClicked, this,
            [this](int id) { m_strType = QLatin1String(kTypeKeywords[id]); });
    connect(m_pBrowseSound, &QPushButton::clicked, this, &CAlarmDialog::OnBrowseSound);
    connect(m_pBrowseProgram, &QPushButton::clicked, this, &CAlarmDialog::OnBrowseProgram);
    connect(m_pPlay, &QPushButton::clicked, this, &CAlarmDialog::OnPlay);
}

void CAlarmDialog::RetranslateUi()
{
    setWindowTitle(tr("Alarm"));
    m_pOk->setText(tr("OK"));
    m_pCancel->setText(tr("Anuluj"));

    m_pFrequencyGroup->setTitle(tr("Częstotliwość:"));
    m_pFrequencyButtons[0]->setText(tr("&Raz"));
    m_pFrequencyButtons[1]->setText(tr("&Codziennie"));
    m_pFrequencyButtons[2]->setText(tr("&Dni robocze"));
    m_pFrequencyButtons[3]->setText(tr("&Weekend"));
    m_pFrequencyButtons[4]->setText(tr("Co &tydzień"));
    m_pFrequencyButtons[5]->setText(tr("Co &miesiąc"));
    m_pFrequencyButtons[6]->setText(tr("Co ro&k"));
    m_pFrequencyButtons[0]->setWhatsThis(
        tr("Akcja zostanie wykonana tylko jeden raz, w określonym dniu i godzinie"));
    m_pFrequencyButtons[1]->setWhatsThis(tr(
        "Akcja wykonywana jest każdego dnia o określonej godzinie, począwszy od ustalonego dnia."));
    m_pFrequencyButtons[2]->setWhatsThis(
        tr("Budzik, który nie zadzwoni w sobotę lub niedzielę, dając spokojnie pospać"));
    m_pFrequencyButtons[3]->setWhatsThis(tr("Akcja występuje tylko w sobotę i niedzielę o "
                                            "określonej godzinie, począwszy od ustalonego dnia"));
    m_pFrequencyButtons[4]->setWhatsThis(
        tr("Akcja wykonywana jest co tydzień o określonej godzinie, począwszy od ustalonego dnia"));
    m_pFrequencyButtons[5]->setWhatsThis(
        tr("Akcja wykonywana jest co miesiąc o określonej godzinie, począwszy od ustalonego dnia"));
    m_pFrequencyButtons[6]->setWhatsThis(tr("Akcja wykonywana jest tylko raz w roku o określonej "
                                            "godzinie, począwszy od ustalonego dnia"));

    m_pTimeGroup->setTitle(tr("Czas:"));
    m_pTimeLabel->setText(tr("&Godzina:"));
    m_pDateLabel->setText(tr("D&ata:"));
    m_pTime->setWhatsThis(tr("Czas wystąpienia danego zdarzenia"));
    m_pDate->setWhatsThis(tr("Dzień pierwszego wystąpienia danego zdarzenia"));
    ApplyDateTimeFormats();

    m_pTypeGroup->setTitle(tr("Typ:"));
    m_pTypeButtons[0]->setText(tr("&Budzenie"));
    m_pTypeButtons[1]->setText(tr("Wstrzyma&nie"));
    m_pTypeButtons[2]->setText(tr("&Hibernacja"));
    m_pTypeButtons[3]->setText(tr("Wy&łączenie"));
    m_pTypeButtons[0]->setWhatsThis(tr("Obudzenie komputera ze stanu wstrzymania"));
    m_pTypeButtons[1]->setWhatsThis(tr("Przejście komputera w stan wstrzymania o ustalonej porze"));
    m_pTypeButtons[3]->setWhatsThis(tr("Wyłączenie komputera o ustalonej przez użytkownika porze"));

    m_pCommentLabel->setText(tr("K&omentarz:"));
    m_pComment->setWhatsThis(tr("Słowny opis zdarzenia"));

    m_pActionGroup->setTitle(tr("Akcja:"));
    m_pMessageCheck->setText(tr("Kom&unikat"));
    m_pMessageCheck->setWhatsThis(tr("Aktywacja akcji wyświetlania komunikatu obok zegara"));
    m_pMessage->setWhatsThis(tr("Treść komunikatu pokazującego się obok zegara"));
    m_pSoundCheck->setText(tr("Dźw&ięk"));
    m_pSoundCheck->setWhatsThis(tr("Aktywacja akcji odtwarzania dźwięku"));
    m_pSound->setWhatsThis(tr("Plik dźwiękowy w formacie WAV, MP3, Ogg lub FLAC"));
    m_pBrowseSound->setWhatsThis(tr("Wskazywanie dźwięku do odtwarzania w trakcie alarmu"));
    m_pPlay->setWhatsThis(tr("Odtwarzanie wybranego dźwięku"));
    m_pProgramCheck->setText(tr("&Program"));
    m_pProgramCheck->setWhatsThis(tr("Aktywacja akcji uruchamiania programu"));
    m_pProgram->setWhatsThis(tr("Uruchamiany program"));
    m_pBrowseProgram->setWhatsThis(tr("Wskazywanie programu do uruchamiania w trakcie alarmu"));
    // The boxes sit under their check boxes, not beside a label, and the browse buttons show
    // only "...": a screen reader needs their names said.
    m_pMessage->setAccessibleName(tr("Treść komunikatu"));
    m_pSound->setAccessibleName(tr("Plik dźwiękowy"));
    m_pProgram->setAccessibleName(tr("Polecenie uruchamiające program"));
    m_pBrowseSound->setAccessibleName(tr("Wybierz plik dźwiękowy"));
    m_pBrowseProgram->setAccessibleName(tr("Wybierz program"));
    UpdatePlayText();

    m_pActiveCheck->setText(tr("Akt&ywny"));
    m_pActiveCheck->setWhatsThis(tr("Aktywacja alarmu"));
}

void CAlarmDialog::ApplyDateTimeFormats()
{
    const QLocale locale;
    m_pDate->setDisplayFormat(locale.dateFormat(QLocale::LongFormat));
    m_pTime->setDisplayFormat(TimeFormatWithSeconds(locale));
}

void CAlarmDialog::UpdatePlayText()
{
    m_pPlay->setText(m_bPlaying ? tr("&Stop") : tr("Gra&j"));
}

void CAlarmDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::LocaleChange) {
        RetranslateUi();
    }
    QDialog::changeEvent(event);
}

int CAlarmDialog::exec()
{
    InitDialog();
    return QDialog::exec();
}

void CAlarmDialog::InitDialog()
{
    m_given = TakeFields();
    m_bInitialised = true;
    StopPreview();
    if (m_strFrequency.isEmpty()) {
        m_strFrequency = QLatin1String(kFrequencyOnce);
    }
    if (m_strType.isEmpty()) {
        m_strType = QLatin1String(kTypeWakeup);
    }
    FieldsToControls();
    m_pTime->setFocus();
}

bool CAlarmDialog::IsPlaying() const
{
    return m_bPlaying;
}

void CAlarmDialog::accept()
{
    StopPreview();
    if (m_bInitialised) {
        ControlsToFields();
    }
    QDialog::accept();
}

void CAlarmDialog::reject()
{
    StopPreview();
    if (m_bInitialised) {
        // The radio buttons and the file pickers write the fields while the dialog runs.
        PutFields(m_given);
    }
    QDialog::reject();
}

CAlarmDialog::Fields CAlarmDialog::TakeFields() const
{
    return Fields{m_strType,    m_strFrequency, m_dtDate,  m_dtTime,   m_strComment, m_strMessage,
                  m_strProgram, m_strSound,     m_bActive, m_bMessage, m_bProgram,   m_bSound};
}

void CAlarmDialog::PutFields(const Fields& fields)
{
    m_strType = fields.type;
    m_strFrequency = fields.frequency;
    m_dtDate = fields.date;
    m_dtTime = fields.time;
    m_strComment = fields.comment;
    m_strMessage = fields.message;
    m_strProgram = fields.program;
    m_strSound = fields.sound;
    m_bActive = fields.active;
    m_bMessage = fields.messageOn;
    m_bProgram = fields.programOn;
    m_bSound = fields.soundOn;
}

void CAlarmDialog::FieldsToControls()
{
    CheckKeyword(m_pFrequencyButtonGroup, kFrequencyKeywords, m_strFrequency);
    CheckKeyword(m_pTypeButtonGroup, kTypeKeywords, m_strType);
    // A picker cannot show "no value": an unset date or time shows the present one, which OK
    // then stores.
    QDate today;
    QTime now;
    if (const auto local = UtcToLocalSystemTime(Clock::Now())) {
        today = QDate(local->wYear, local->wMonth, local->wDay);
        now = QTime(local->wHour, local->wMinute, local->wSecond);
    }
    m_pDate->setDate(m_dtDate.isValid() ? m_dtDate : today);
    m_pTime->setTime(m_dtTime.isValid() ? m_dtTime : now);
    m_pComment->setText(m_strComment);
    m_pMessage->setText(m_strMessage);
    m_pProgram->setText(m_strProgram);
    m_pSound->setText(m_strSound);
    m_pActiveCheck->setChecked(m_bActive);
    m_pMessageCheck->setChecked(m_bMessage);
    m_pProgramCheck->setChecked(m_bProgram);
    m_pSoundCheck->setChecked(m_bSound);
}

void CAlarmDialog::ControlsToFields()
{
    // The keywords are already in their fields: the radio buttons write them on each click.
    m_dtDate = m_pDate->date();
    m_dtTime = m_pTime->time();
    m_strComment = m_pComment->text();
    m_strMessage = m_pMessage->text();
    m_strProgram = m_pProgram->text();
    m_strSound = m_pSound->text();
    m_bActive = m_pActiveCheck->isChecked();
    m_bMessage = m_pMessageCheck->isChecked();
    m_bProgram = m_pProgramCheck->isChecked();
    m_bSound = m_pSoundCheck->isChecked();
}

void CAlarmDialog::OnBrowseSound()
{
    ControlsToFields();
    const QString path = CFileDialog::GetOpenFileName(
        this, QString(),
        tr("Pliki dźwiękowe (*.wav *.mp3 *.ogg *.oga *.flac);;Wszystkie pliki (*)"));
    if (path.isEmpty()) {
        return;
    }
    m_strSound = path;
    m_bSound = true;
    FieldsToControls();
    // The preview belonged to the sound just replaced.
    StopPreview();
}

void CAlarmDialog::OnBrowseProgram()
{
    ControlsToFields();
#ifdef Q_OS_WIN
    const QString filter = tr("Pliki wykonywalne (*.exe *.bat *.cmd);;Wszystkie pliki (*)");
#else
    // Executables here carry no extension to filter by.
    const QString filter = tr("Pliki wykonywalne (*);;Wszystkie pliki (*)");
#endif
    const QString path = CFileDialog::GetOpenFileName(this, QString(), filter);
    if (path.isEmpty()) {
        return;
    }
    m_strProgram = AsCommandWord(path);
    m_bProgram = true;
    FieldsToControls();
}

void CAlarmDialog::OnPlay()
{
    if (m_bPlaying) {
        StopPreview();
        return;
    }
    // What the box shows now is what the user means to hear, typed or picked.
    const QString path = m_pSound->text();
    if (path.isEmpty()) {
        FailPreview();
        return;
    }
    if (!m_pPreview) {
        m_pPreview = new CSoundDevice(this);
        m_pPreview->setObjectName(QStringLiteral("previewSound"));
        connect(m_pPreview, &CSoundDevice::PlayedToEnd, this, &CAlarmDialog::OnPreviewEnded);
        connect(m_pPreview, &CSoundDevice::Failed, this, &CAlarmDialog::OnPreviewFailed);
    }
    if (!m_pPreview->Open(path)) {
        FailPreview();
        return;
    }
    m_bPlaying = true;
    UpdatePlayText();
    // Play() may already have told of a failure through Failed(); then it is dealt with.
    if (!m_pPreview->Play() && m_bPlaying) {
        FailPreview();
    }
}

void CAlarmDialog::OnPreviewEnded()
{
    if (m_bPlaying) {
        StopPreview();
    }
}

void CAlarmDialog::OnPreviewFailed()
{
    // A failure told after the preview was stopped concerns nobody any more.
    if (m_bPlaying) {
        FailPreview();
    }
}

void CAlarmDialog::StopPreview()
{
    if (m_pPreview) {
        m_pPreview->Close();
    }
    m_bPlaying = false;
    UpdatePlayText();
}

void CAlarmDialog::FailPreview()
{
    StopPreview();
    CMessageBox::Show(this, tr("Nie można odtworzyć dźwięku!"));
}

} // namespace zembra
