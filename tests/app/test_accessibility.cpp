// Everyone can use it: in each window and language a screen reader finds a name on every control,
// the keyboard reaches every field and command by a key of its own, the focus is drawn where it
// can be seen, texts stay readable under a dark palette and a large desktop font cuts none.

#include "AlarmLists.h"
#include "CAboutDlg.h"
#include "CAlarmDialog.h"
#include "CAlarmPropDialog.h"
#include "CBitmapViewer.h"
#include "CDialogSettings.h"
#include "CFocusStyle.h"
#include "CHelpWindow.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CPowerCountdown.h"
#include "CSettings.h"
#include "CStartupTip.h"
#include "CStatusDIalog.h"
#include "CTipsDialog.h"
#include "CTrueColorToolBar.h"
#include "CWakeTestDialog.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "QuietTimer.h"
#include "time/Clock.h"

#include <QtTest>
#include <QtWidgets>

#include <cmath>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

// The program's languages by their number, and how rows name them.
constexpr std::pair<int, const char*> kLanguages[] = {{2, "Polish"}, {1, "English"}, {3, "German"}};

QString Describe(const QWidget* widget)
{
    return u"%1 \"%2\""_s.arg(QLatin1String(widget->metaObject()->className()),
                              widget->objectName());
}

// Each text needs a key ("Co &tydzień" -> Alt+T); with `unique`, one no other text has.
void CheckKeys(const QStringList& texts, bool unique, QStringList& findings)
{
    QMap<QKeySequence, QString> seen;
    for (const QString& text : texts) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (key.isEmpty())
            findings << u"no key: "_s + text;
        else if (unique && seen.contains(key))
            findings << u"key %1 twice: %2, %3"_s.arg(key.toString(), seen.value(key), text);
        seen.insert(key, text);
    }
}

QStringList Texts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* action : actions)
        if (action->isVisible() && !action->isSeparator())
            texts << action->text();
    return texts;
}

// Everything wrong with one window; empty when nothing is.
QStringList Findings(QWidget* window, bool dialog)
{
    // The controls the user works with: those Tab reaches and every button (toolbar buttons
    // too, which take no focus). Parts of a compound control (the text box inside a spin box)
    // speak through the whole, which names them.
    QStringList findings;
    QMap<QString, QWidget*> names;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(window) || control->window() != window
            || control->focusProxy() != nullptr
            || (qobject_cast<QAbstractButton*>(control) == nullptr
                && (control->focusPolicy() & Qt::TabFocus) == 0))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        const QString name = accessible ? accessible->text(QAccessible::Name).trimmed() : QString();
        if (name.isEmpty())
            findings << u"no name: "_s + Describe(control);
        else if (names.contains(name))
            findings << u"name \"%1\" twice: %2, %3"_s.arg(name, Describe(names.value(name)),
                                                           Describe(control));
        names.insert(name, control);
    }

    // A label that names a field takes the user there with its key; in a dialog so does every
    // button but OK and Cancel, which Enter and Escape reach.
    QStringList texts;
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy() != nullptr && label->isVisibleTo(window))
            texts << label->text();
    const QStringList okAndCancel{u"buttonOk"_s, u"okButton"_s, u"buttonCancel"_s};
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const QString text = button->text();
        if (dialog && button->isVisibleTo(window) && !okAndCancel.contains(button->objectName())
            && std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); }))
            texts << text;
    }
    CheckKeys(texts, dialog, findings);
    // The menu bar and each of its menus give every command a key of its own.
    if (auto* frame = qobject_cast<QMainWindow*>(window)) {
        CheckKeys(Texts(frame->menuBar()->actions()), true, findings);
        for (const QAction* menu : frame->menuBar()->actions())
            CheckKeys(Texts(menu->menu()->actions()), true, findings);
    }
    return findings;
}

// Pixels of the highlight colour in a control painted with or without the focus.
int HighlightPixels(QWidget& control, bool focused)
{
    control.setAttribute(Qt::WA_KeyboardFocusChange, true);
    QImage image(control.size(), QImage::Format_ARGB32);
    image.fill(control.palette().color(QPalette::Window));
    if (focused)
        control.setFocus();
    else
        control.clearFocus();
    control.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRgb highlight = control.palette().color(QPalette::Active, QPalette::Highlight).rgb();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (highlight & 0xFFFFFF) ? 1 : 0;
    return count;
}

// Contrast ratio of two colours as the web accessibility guidelines define it.
double Contrast(QRgb a, QRgb b)
{
    const auto luminance = [](QRgb rgb) {
        const auto channel = [](int value) {
            const double c = value / 255.0;
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb))
               + 0.0722 * channel(qBlue(rgb));
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What makes the text in `area` of a grab hard to read; empty when it stands on the palette's
// own `expected` background and stands out from it as much as accessibility guidelines ask (a
// contrast ratio of 4.5). Judged on what is painted, pixel by pixel, not on how the widgets are
// set up.
QString Unreadable(const QImage& painted, QRect area, const QColor& expected)
{
    // A pixel of a grab is a device pixel; the area was in widget pixels.
    const qreal ratio = painted.devicePixelRatio();
    area = QRect(area.topLeft() * ratio, area.size() * ratio).intersected(painted.rect());
    // The background is the commonest colour; the text's contrast is that of the pixel that
    // stands out most (the core of a glyph's stroke).
    QMap<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[painted.pixel(x, y) | 0xFF000000u];
    const QRgb background =
        std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
            return a.second < b.second;
        })->first;
    double text = 0;
    for (const QRgb colour : counts.keys())
        text = std::max(text, Contrast(colour, background));
    if (Contrast(background, expected.rgb()) < 1.1 && text >= 4.5)
        return {};
    return u"background %1 (palette %2), text contrast %3"_s
        .arg(QColor(background).name(), expected.name())
        .arg(text, 0, 'f', 2);
}

// A dialog filled in as it is before it shows.
template <class Dialog> std::unique_ptr<QWidget> Prepared()
{
    auto dialog = std::make_unique<Dialog>();
    dialog->InitDialog();
    return dialog;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(u"config"_s).toUtf8());
        qputenv("XDG_DATA_HOME", m_dir.filePath(u"data"_s).toUtf8());
        CSettings::SetStorePath(m_dir.filePath(u"settings.ini"_s));
        CMessageBox::SetTestMode(true);
    }
    void init()
    {
        m_settings = std::make_unique<CSettings>();
        m_power = std::make_unique<CPower>(std::make_unique<test::QuietTimer>());
        m_doc = std::make_unique<CZembracfgDoc>(*m_power, *m_settings);
        m_frame = std::make_unique<CMainFrame>(*m_doc, *m_settings, nullptr);
    }
    void cleanup()
    {
        m_frame->SetLanguage(2);
        m_frame.reset();
        m_doc.reset();
        m_power.reset();
        m_settings.reset();
    }
    void everyWindowIsNamedAndKeyed_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("window");
        for (const auto& [language, name] : kLanguages)
            for (const char* window : {"main window", "alarm", "alarm playing", "settings", "tips",
                                       "wake test", "countdown", "about", "help"})
                QTest::addRow("%s %s", name, window) << language << QString::fromLatin1(window);
    }
    void everyWindowIsNamedAndKeyed()
    {
        QFETCH(int, language);
        QFETCH(QString, window);
        m_frame->SetLanguage(language);

        std::unique_ptr<QWidget> owned;
        QWidget* shown = m_frame.get();
        if (window == u"main window") {
            ShowOneAlarm(kFrequencyEveryday, kTypeWakeup);
            // The bars above the list, with their answers, are part of the window when they show.
            m_frame->View()->ShowConsentBar(u"lista.zmb"_s, {u"/bin/true"_s});
            m_frame->View()->ShowDiskChangedBar(u"lista.zmb"_s);
        } else if (window.startsWith(u"alarm")) {
            owned = Prepared<CAlarmDialog>();
            // While a sound plays its button reads "Stop", and keeps a key of its own.
            if (window == u"alarm playing")
                owned->findChild<QAbstractButton*>(u"buttonPlay"_s)
                    ->setText(QCoreApplication::translate("zembra::CAlarmDialog", "&Stop"));
        } else if (window == u"settings") {
            owned = Prepared<CDialogSettings>();
        } else if (window == u"tips") {
            owned = Prepared<CTipsDialog>();
        } else if (window == u"wake test") {
            auto dialog = std::make_unique<CWakeTestDialog>();
            dialog->SetWakeProblem(u"RTC"_s, u"sudo true"_s);
            owned = std::move(dialog);
        } else if (window == u"countdown") {
            // Two power alarms close together: two rows with the same buttons.
            const FileTime now = Clock::Now();
            auto countdown = std::make_unique<CPowerCountdown>();
            const auto standby = [](const char* comment) {
                return test::Alarm({}, comment, kFrequencyOnce, kTypeStandby);
            };
            countdown->SetOccurrences({{standby("Noc"), now + kTicksPerMinute, 0},
                                       {standby("Kino"), now + 2 * kTicksPerMinute, 0}});
            QCOMPARE(countdown->Shown().size(), std::size_t(2));
            owned = std::move(countdown);
        } else if (window == u"help") {
            shown = CHelpWindow::Instance();
        } else {
            owned = std::make_unique<CAboutDlg>();
        }
        if (owned)
            shown = owned.get();
        shown->show();
        QCOMPARE(Findings(shown, qobject_cast<QDialog*>(shown) != nullptr).join(u'\n'), QString());
    }
    void theAlarmDialogIsWorkedFromTheKeyboard_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QTime>("time");
        // "7" fills the hour by itself (no hour starts with 7 and has two digits); the Tab typed
        // after it, as after every part, must not skip the minutes.
        QTest::newRow("24 hours") << 2 << u"7\t30\t15"_s << QTime(7, 30, 15);
        // Where the locale has AM and PM, the last part takes "p" for PM and keeps it when the Tab
        // after it leaves the field (the field starts at a morning time).
        QTest::newRow("AM/PM, p for PM") << 1 << u"7\t30\t00\tp\t"_s << QTime(19, 30);
    }
    // The alarm dialog opens on the time, and Tab goes round once from there: top to bottom,
    // OK and Cancel last. The time takes Tab after a part that filled itself; the date opens
    // its calendar with the keys a drop-down list opens with.
    void theAlarmDialogIsWorkedFromTheKeyboard()
    {
        QFETCH(int, language);
        QFETCH(QString, typed);
        QFETCH(QTime, time);
        m_frame->SetLanguage(language);
        CAlarmDialog dialog;
        dialog.m_dtTime = QTime(1, 13);
        dialog.InitDialog();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* edit = dialog.findChild<QTimeEdit*>(u"timeEdit"_s);
        QVERIFY(edit->hasFocus());
        QStringList order;
        QWidget* widget = edit;
        do {
            order << widget->objectName();
            widget = widget->nextInFocusChain();
            while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(&dialog)
                   || widget->focusProxy() != nullptr || widget->window() != &dialog)
                widget = widget->nextInFocusChain();
        } while (widget != edit && order.size() < 100);
        QCOMPARE(order.mid(0, 3), (QStringList{u"timeEdit"_s, u"dateEdit"_s, u"radioOnce"_s}));
        QCOMPARE(order.mid(order.size() - 3),
                 (QStringList{u"checkActive"_s, u"buttonOk"_s, u"buttonCancel"_s}));

        QCOMPARE(edit->displayFormat().contains(u"AP"_s, Qt::CaseInsensitive), language == 1);
        edit->setSelectedSection(QDateTimeEdit::HourSection);
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->time(), time);
        QCOMPARE(edit->hasFocus(), !typed.endsWith(u'\t'));
        auto* date = dialog.findChild<QDateEdit*>(u"dateEdit"_s);
        for (const QKeyCombination key :
             {QKeyCombination(Qt::Key_F4), Qt::ALT | Qt::Key_Down, Qt::ALT | Qt::Key_Up}) {
            date->setFocus();
            QTest::keyClick(date, key.key(), key.keyboardModifiers());
            QTRY_VERIFY2(date->calendarWidget()->window()->isVisible(),
                         qPrintable(QKeySequence(key).toString()));
            date->calendarWidget()->window()->close();
        }
        // A language switch while the dialog is open keeps what was typed; Cancel then gives
        // the alarm back its own time.
        m_frame->SetLanguage(3);
        QCOMPARE(edit->time(), time);
        dialog.reject();
        QCOMPARE(dialog.m_dtTime, QTime(1, 13));
    }
    // The wake test's reason is the document's text, which its window cannot translate itself:
    // it is put in again when the language changes under the open window. (Under
    // ZEMBRA_NO_WAKE_ALARM, as the tests run, the timer says it cannot wake, and why.)
    void theWakeTestsReasonFollowsTheLanguage()
    {
        m_frame->Action(CMainFrame::kWakeTest)->trigger();
        m_frame->SetLanguage(1);
        const auto* problem = m_frame->findChild<QLabel*>(u"wakeTestProblem"_s);
        QTRY_VERIFY(problem != nullptr && problem->text().contains(u"waking was turned off"_s));
    }
    // A frame round the focused control, not a dot: at least its two long sides. (A radio button
    // is a button as a check box is, and draws its focus the same way.)
    void theFocusIsDrawnOnEveryKindOfControl()
    {
        CFocusStyle style(u"Fusion"_s);
        QWidget window;
        const QList<QWidget*> controls{new QCheckBox(u"&Aktywny"_s, &window),
                                       new QSlider(Qt::Horizontal, &window)};
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        for (QWidget* control : controls) {
            control->setStyle(&style);
            control->resize(control->sizeHint().expandedTo(QSize(120, 24)));
            const int without = HighlightPixels(*control, false);
            const int more = HighlightPixels(*control, true) - without;
            QVERIFY2(
                more >= 2 * (control->width() / 2),
                qPrintable(u"%1: %2 more highlight pixels"_s.arg(Describe(control)).arg(more)));
        }
    }
    void aLargeFontCutsNoText_data()
    {
        QTest::addColumn<int>("language");
        for (const auto& [language, name] : kLanguages)
            QTest::newRow(name) << language;
    }
    // With a 16 pt desktop font the main window makes room for it: its first size comes from what
    // it holds, every toolbar button shows its whole text, and no text of the panels beside the
    // list is cut or drawn over the clock picture.
    void aLargeFontCutsNoText()
    {
        QFETCH(int, language);
        const QFont saved = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(saved); });
        QFont large = saved;
        large.setPointSize(16);
        QApplication::setFont(large);
        m_frame.reset(); // the window is made under the large font
        m_frame = std::make_unique<CMainFrame>(*m_doc, *m_settings, nullptr);
        m_frame->SetLanguage(language);
        ShowOneAlarm(kFrequencyWorkdays, kTypeHibernate);
        auto* rows = m_frame->View()->findChild<QAbstractItemView*>();
        rows->setCurrentIndex(rows->model()->index(0, 0));
        QCoreApplication::processEvents();
        CMainFrame& frame = *m_frame;

        QCOMPARE(frame.size().expandedTo(frame.sizeHint()), frame.size());
        // Each button has at least the room its whole text asks for, and none is pushed into the
        // toolbar's overflow menu.
        for (QAction* action : frame.ToolBar()->ButtonActions()) {
            QToolButton* button = frame.ToolBar()->ButtonFor(action);
            const QString text = button->text();
            QVERIFY2(button->isVisible(), qPrintable(text));
            QVERIFY2(!text.contains(u"..."_s) && !text.contains(QChar(0x2026)), qPrintable(text));
            QVERIFY2(button->size().expandedTo(button->sizeHint()) == button->size(),
                     qPrintable(text));
        }
        // Every text of the panels fits its label whole, and none runs over the picture.
        CStatusDIalog* status = frame.View()->StatusPanel();
        const QRect picture(status->Picture()->mapTo(&frame, QPoint()), status->Picture()->size());
        QList<QLabel*> labels = status->findChildren<QLabel*>();
        labels += frame.View()->PropertiesPanel()->findChildren<QLabel*>();
        int checked = 0;
        for (QLabel* label : std::as_const(labels)) {
            if (!label->isVisible() || label->text().isEmpty())
                continue;
            ++checked;
            const QString what = u"%1 \"%2\""_s.arg(label->objectName(), label->text());
            const int needed = label->wordWrap() ? label->heightForWidth(label->width())
                                                 : label->sizeHint().height();
            QVERIFY2(label->height() >= needed, qPrintable(what + u" is cut at the bottom"_s));
            if (!label->wordWrap())
                QVERIFY2(label->width() >= label->sizeHint().width(),
                         qPrintable(what + u" is cut at the right"_s));
            const QRect placed(label->mapTo(&frame, QPoint()), label->size());
            QVERIFY2(!placed.intersects(picture), qPrintable(what + u" runs over the picture"_s));
        }
        QVERIFY(checked >= 3);
    }
    // Under a dark desktop palette the tip of the day and the list of alarms are drawn on the
    // palette's field colour, the about box's links on its window colour, all readable.
    void readableOnADarkPalette()
    {
        const QPalette saved = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(saved); });
        QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
        QPalette dark(QColor(0x35, 0x35, 0x35)); // white text on black fields
        dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
        QApplication::setPalette(dark);

        CStartupTip tip;
        tip.SetTipText(u"Alarm może uśpić komputer i obudzić go o ustalonej porze, "
                       "a nawet odtworzyć wybraną muzykę."_s);
        tip.resize(tip.sizeHint());
        tip.show();
        // The lines of the tip, right of the band and under the header.
        const QRect lines(60, 40, tip.width() - 70, tip.height() - 50);
        QCOMPARE(Unreadable(tip.grab().toImage(), lines, dark.color(QPalette::Base)), QString());

        ShowOneAlarm(kFrequencyEveryday, kTypeWakeup);
        auto* view = m_frame->View()->findChild<QAbstractItemView*>();
        // The comment's cell of the row, as the list paints it.
        const QModelIndex comment = view->model()->index(0, view->model()->columnCount() - 1);
        const QRect cell = view->visualRect(comment).intersected(view->viewport()->rect());
        QVERIFY(!cell.isEmpty());
        QCOMPARE(Unreadable(view->viewport()->grab().toImage(), cell, dark.color(QPalette::Base)),
                 QString());

        CAboutDlg about;
        about.show();
        auto* link = about.findChild<QLabel*>(u"webPageLink"_s);
        QCOMPARE(Unreadable(link->grab().toImage(), link->rect(), dark.color(QPalette::Window)),
                 QString());
    }

private:
    // The list holds one alarm with a message and a comment, and the window shows it.
    void ShowOneAlarm(const char* frequency, const char* type)
    {
        m_power->Init();
        CAlarm alarm = test::Alarm({2030, 3, 1, 4, 7, 30, 0, 0}, "Poranna pobudka przed pracą",
                                   frequency, type);
        alarm.m_bMessageActive = true;
        alarm.m_strMessage = "Czas wstawać";
        const QString list = m_dir.filePath(u"one.zmb"_s);
        QVERIFY(test::WriteList(list, {alarm}));
        QVERIFY(m_doc->OnOpenDocument(list));
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CPower> m_power;
    std::unique_ptr<CZembracfgDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
