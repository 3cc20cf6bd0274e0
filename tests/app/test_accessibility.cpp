// What a screen reader and a keyboard user find in each window, in each language: every control
// that can be used has a name, no two controls of a window share one, every label of a field and
// every button of a dialog has a key of its own, and the focus is drawn where it can be seen.

#include "CAboutDlg.h"
#include "CAlarmDialog.h"
#include "CDialogSettings.h"
#include "CHelpWindow.h"
#include "CFocusStyle.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CPowerCountdown.h"
#include "CSettings.h"
#include "CTipsDialog.h"
#include "CWakeTestDialog.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "QuietTimer.h"
#include "time/Clock.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <memory>

using namespace zembra;
using zembra::test::QuietTimer;

namespace {

// The key letter of a text ("Co &tydzień" -> 't'), or none.
QChar Mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (text.at(i + 1) != u'&') {
                return text.at(i + 1).toLower();
            }
            ++i;
        }
    }
    return {};
}

bool HasLetters(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

QString Describe(const QWidget* widget)
{
    return QStringLiteral("%1 \"%2\"")
        .arg(QLatin1String(widget->metaObject()->className()), widget->objectName());
}

// Controls the user works with: those Tab reaches and every button (toolbar buttons too, which
// take no focus). Parts of a compound control (the text box inside a spin box) speak through
// the whole, which names them.
QList<QWidget*> Controls(QWidget* window)
{
    QList<QWidget*> controls;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) || widget->window() != window
            || widget->focusProxy() != nullptr) {
            continue;
        }
        if (qobject_cast<QAbstractButton*>(widget) != nullptr
            || (widget->focusPolicy() & Qt::TabFocus) != 0) {
            controls << widget;
        }
    }
    return controls;
}

QString AccessibleName(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(QAccessible::Name).trimmed() : QString();
}

// Everything wrong with one window; empty when nothing is.
QStringList Findings(QWidget* window, bool dialog)
{
    QStringList findings;
    QMap<QString, QWidget*> names;
    for (QWidget* control : Controls(window)) {
        const QString name = AccessibleName(control);
        if (name.isEmpty()) {
            findings << QStringLiteral("no name: ") + Describe(control);
        } else if (names.contains(name)) {
            findings << QStringLiteral("name \"%1\" twice: %2, %3")
                            .arg(name, Describe(names.value(name)), Describe(control));
        }
        names.insert(name, control);
    }

    // A label that names a field takes the user there with its key; in a dialog so does every
    // button but OK and Cancel, which Enter and Escape reach.
    QMap<QChar, QString> keys;
    const auto needsKey = [&](const QString& text, const QWidget* widget) {
        const QChar key = Mnemonic(text);
        if (key.isNull()) {
            findings << QStringLiteral("no key: ") + Describe(widget) + u' ' + text;
        } else if (dialog && keys.contains(key)) {
            findings
                << QStringLiteral("key '%1' twice: %2, %3").arg(key).arg(keys.value(key), text);
        }
        keys.insert(key, text);
    };
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() != nullptr && label->isVisibleTo(window)) {
            needsKey(label->text(), label);
        }
    }
    if (dialog) {
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            const QString name = button->objectName();
            if (button->isVisibleTo(window) && HasLetters(button->text())
                && !QStringList{QStringLiteral("buttonOk"), QStringLiteral("okButton"),
                                QStringLiteral("buttonCancel")}
                        .contains(name)) {
                needsKey(button->text(), button);
            }
        }
    }
    return findings;
}

CAlarm PowerAlarm(std::uint64_t id, const char* comment)
{
    CAlarm alarm;
    alarm.m_nId = id;
    alarm.m_strType = kTypeStandby;
    alarm.m_bActive = true;
    alarm.m_strComment = comment;
    return alarm;
}

// Pixels of the highlight colour in a control painted with or without the focus.
int HighlightPixels(QWidget& control, bool focused)
{
    control.setAttribute(Qt::WA_KeyboardFocusChange, true);
    QImage image(control.size(), QImage::Format_ARGB32);
    image.fill(control.palette().color(QPalette::Window));
    {
        QPainter painter(&image);
        if (focused) {
            control.setFocus();
        } else {
            control.clearFocus();
        }
        control.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    const QRgb highlight = control.palette().color(QPalette::Active, QPalette::Highlight).rgb();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += (image.pixel(x, y) & 0xFFFFFF) == (highlight & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void everyWindowIsNamedAndKeyed_data();
    void everyWindowIsNamedAndKeyed();
    void theAlarmDialogOpensOnTheTimeAndEndsWithOkAndCancel();
    void theTimeTakesTabAfterAPartThatFilledItself();
    void theDateOpensItsCalendarFromTheKeyboard_data();
    void theDateOpensItsCalendarFromTheKeyboard();
    void theFocusIsDrawnOnEveryKindOfControl_data();
    void theFocusIsDrawnOnEveryKindOfControl();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CPower> m_power;
    std::unique_ptr<CZembracfgDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestAccessibility::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    CSettings::SetStorePath(m_dir->filePath(QStringLiteral("settings.ini")));
    CMessageBox::SetTestMode(true);
    m_settings = std::make_unique<CSettings>();
    m_power = std::make_unique<CPower>(std::make_unique<QuietTimer>());
    m_doc = std::make_unique<CZembracfgDoc>(*m_power, *m_settings);
    m_frame = std::make_unique<CMainFrame>(*m_doc, *m_settings, nullptr);
}

void TestAccessibility::cleanup()
{
    m_frame->SetLanguage(2);
    m_frame.reset();
    m_doc.reset();
    m_power.reset();
    m_settings.reset();
    CSettings::SetStorePath({});
    CMessageBox::SetTestMode(false);
}

void TestAccessibility::everyWindowIsNamedAndKeyed_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("window");
    const std::pair<int, const char*> languages[] = {{2, "Polish"}, {1, "English"}, {3, "German"}};
    for (const auto& [language, name] : languages) {
        for (const char* window :
             {"main window", "alarm", "settings", "tips", "wake test", "countdown", "about", "help"}) {
            QTest::addRow("%s %s", name, window) << language << QString::fromLatin1(window);
        }
    }
}

void TestAccessibility::everyWindowIsNamedAndKeyed()
{
    QFETCH(int, language);
    QFETCH(QString, window);
    m_frame->SetLanguage(language);

    std::unique_ptr<QWidget> owned;
    QWidget* shown = nullptr;
    if (window == QLatin1String("main window")) {
        m_doc->SetDialogRunner([](CAlarmDialog& dialog) {
            dialog.InitDialog();
            dialog.accept();
            return static_cast<int>(QDialog::Accepted);
        });
        m_doc->OnNewAlarm();
        m_doc->SetModifiedFlag(false);
        // The bars above the list, with their answers, are part of the window when they show.
        m_frame->View()->ShowConsentBar(QStringLiteral("lista.zmb"), {QStringLiteral("/bin/true")});
        m_frame->View()->ShowDiskChangedBar(QStringLiteral("lista.zmb"));
        shown = m_frame.get();
    } else if (window == QLatin1String("alarm")) {
        auto* dialog = new CAlarmDialog;
        dialog->InitDialog();
        owned.reset(dialog);
    } else if (window == QLatin1String("settings")) {
        auto* dialog = new CDialogSettings;
        dialog->InitDialog();
        owned.reset(dialog);
    } else if (window == QLatin1String("tips")) {
        auto* dialog = new CTipsDialog;
        dialog->InitDialog();
        owned.reset(dialog);
    } else if (window == QLatin1String("wake test")) {
        auto* dialog = new CWakeTestDialog;
        dialog->SetWakeProblem(QStringLiteral("RTC"), QStringLiteral("sudo true"));
        owned.reset(dialog);
    } else if (window == QLatin1String("countdown")) {
        // Two power alarms close together: two rows with the same buttons.
        const FileTime now = Clock::Now();
        auto* countdown = new CPowerCountdown;
        countdown->SetOccurrences({{PowerAlarm(1, "Noc"), now + 60 * kTicksPerSecond, 0},
                                   {PowerAlarm(2, "Kino"), now + 120 * kTicksPerSecond, 0}});
        QCOMPARE(countdown->Shown().size(), std::size_t(2));
        owned.reset(countdown);
    } else if (window == QLatin1String("help")) {
        CHelpWindow::Instance()->ShowMainTopic();
        shown = CHelpWindow::Instance();
    } else {
        owned = std::make_unique<CAboutDlg>();
    }
    if (owned) {
        shown = owned.get();
    }
    shown->show();
    const bool dialog = qobject_cast<QDialog*>(shown) != nullptr;
    const QStringList findings = Findings(shown, dialog);
    QVERIFY2(findings.isEmpty(), qPrintable(findings.join(QStringLiteral("\n"))));
}

void TestAccessibility::theAlarmDialogOpensOnTheTimeAndEndsWithOkAndCancel()
{
    CAlarmDialog dialog;
    dialog.InitDialog();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QWidget* time = dialog.findChild<QTimeEdit*>(QStringLiteral("timeEdit"));
    QCOMPARE(dialog.focusWidget(), time);
    // Tab goes round once: top to bottom, OK and Cancel last, then back to the time.
    QStringList order;
    QWidget* widget = time;
    do {
        order << widget->objectName();
        widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(&dialog)
               || widget->focusProxy() != nullptr || widget->window() != &dialog) {
            widget = widget->nextInFocusChain();
        }
    } while (widget != time && order.size() < 100);
    QCOMPARE(order.mid(0, 3), (QStringList{QStringLiteral("timeEdit"), QStringLiteral("dateEdit"),
                                           QStringLiteral("radioOnce")}));
    QCOMPARE(order.mid(order.size() - 3),
             (QStringList{QStringLiteral("checkActive"), QStringLiteral("buttonOk"),
                          QStringLiteral("buttonCancel")}));
}

void TestAccessibility::theTimeTakesTabAfterAPartThatFilledItself()
{
    m_frame->SetLanguage(2);
    CAlarmDialog dialog;
    dialog.m_dtTime = QTime(12, 0, 0);
    dialog.InitDialog();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* time = dialog.findChild<QTimeEdit*>(QStringLiteral("timeEdit"));
    QVERIFY(time->hasFocus());
    QCOMPARE(time->displayFormat(), QStringLiteral("HH:mm:ss"));
    time->setSelectedSection(QDateTimeEdit::HourSection);
    // "7" fills the hour by itself (no hour starts with 7 and has two digits); the Tab typed
    // after it, as after every part, must not skip the minutes.
    QTest::keyClicks(time, QStringLiteral("7"));
    QTest::keyClick(time, Qt::Key_Tab);
    QTest::keyClicks(time, QStringLiteral("30"));
    QTest::keyClick(time, Qt::Key_Tab);
    QTest::keyClicks(time, QStringLiteral("15"));
    QCOMPARE(time->time(), QTime(7, 30, 15));
    QVERIFY(time->hasFocus());

    // Where the locale has AM and PM, the last part takes "p" for PM and keeps it.
    dialog.close();
    m_frame->SetLanguage(1);
    CAlarmDialog english;
    english.m_dtTime = QTime(1, 13, 0); // a morning time: the last part starts at AM
    english.InitDialog();
    english.show();
    QVERIFY(QTest::qWaitForWindowActive(&english));
    time = english.findChild<QTimeEdit*>(QStringLiteral("timeEdit"));
    QVERIFY(time->displayFormat().contains(QStringLiteral("AP"), Qt::CaseInsensitive));
    time->setSelectedSection(QDateTimeEdit::HourSection);
    QTest::keyClicks(time, QStringLiteral("7"));
    QTest::keyClick(time, Qt::Key_Tab);
    QTest::keyClicks(time, QStringLiteral("30"));
    QTest::keyClick(time, Qt::Key_Tab);
    QTest::keyClicks(time, QStringLiteral("00"));
    QTest::keyClick(time, Qt::Key_Tab);
    QTest::keyClicks(time, QStringLiteral("p"));
    QTest::keyClick(time, Qt::Key_Tab);
    QCOMPARE(time->time(), QTime(19, 30, 0));
    QVERIFY(!time->hasFocus());
    QVERIFY(!time->hasFocus());
}

void TestAccessibility::theDateOpensItsCalendarFromTheKeyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("F4") << int(Qt::Key_F4) << int(Qt::NoModifier);
    QTest::newRow("Alt+Down") << int(Qt::Key_Down) << int(Qt::AltModifier);
    QTest::newRow("Alt+Up") << int(Qt::Key_Up) << int(Qt::AltModifier);
}

void TestAccessibility::theDateOpensItsCalendarFromTheKeyboard()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    CAlarmDialog dialog;
    dialog.InitDialog();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* date = dialog.findChild<QDateEdit*>(QStringLiteral("dateEdit"));
    date->setFocus();
    QTest::keyClick(date, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCalendarWidget* calendar = date->calendarWidget();
    QVERIFY(calendar != nullptr);
    QTRY_VERIFY(calendar->window()->isVisible());
    QCOMPARE(calendar->selectedDate(), date->date());
    calendar->window()->close();
}

void TestAccessibility::theFocusIsDrawnOnEveryKindOfControl_data()
{
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"check box", "radio button", "slider"}) {
        QTest::newRow(kind) << QString::fromLatin1(kind);
    }
}

void TestAccessibility::theFocusIsDrawnOnEveryKindOfControl()
{
    QFETCH(QString, kind);
    CFocusStyle style(QStringLiteral("Fusion"));
    QWidget window;
    std::unique_ptr<QWidget> control;
    if (kind == QLatin1String("check box")) {
        control = std::make_unique<QCheckBox>(QStringLiteral("&Aktywny"), &window);
    } else if (kind == QLatin1String("radio button")) {
        control = std::make_unique<QRadioButton>(QStringLiteral("&Raz"), &window);
    } else {
        auto slider = std::make_unique<QSlider>(Qt::Horizontal, &window);
        slider->setRange(0, 90);
        control = std::move(slider);
    }
    control->setStyle(&style);
    control->resize(control->sizeHint().expandedTo(QSize(120, 24)));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const int without = HighlightPixels(*control, false);
    const int with = HighlightPixels(*control, true);
    // A frame round the control, not a dot: at least its two long sides.
    QVERIFY2(with - without >= 2 * (control->width() / 2),
             qPrintable(QStringLiteral("%1 more highlight pixels").arg(with - without)));
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
