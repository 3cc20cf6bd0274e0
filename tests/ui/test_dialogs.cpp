// The alarm, settings and tips dialogs: fields in, controls, fields out; Cancel and Escape leave
// the caller's fields alone; the alarm's file pickers and sound preview; the help on the
// controls; the tips file rules and the word wrap of a tip.

#include "CAlarmDialog.h"
#include "CDialogSettings.h"
#include "CMessageBox.h"
#include "CSoundDevice.h"
#include "CStartupTip.h"
#include "CTipsDialog.h"
#include "CTipsFile.h"
#include "time/Clock.h"
#include "time/ZTime.h"

#include <QtTest>
#include <QtWidgets>

using namespace zembra;
using namespace Qt::StringLiterals;

class TestDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    template <class T = QWidget> static T* Find(const QWidget& dialog, const char* name)
    {
        T* widget = dialog.findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    // Controls are worked from the keyboard: a mouse click on a radio button or a check box
    // would have to hit the indicator, whose place depends on the style.
    static void Key(const QWidget& d, const char* name, Qt::Key key = Qt::Key_Space)
    {
        QTest::keyClick(Find(d, name), key);
    }
    static QString Ticks(std::initializer_list<bool> ticks)
    {
        QString text;
        for (const bool tick : ticks)
            text += tick ? u'1' : u'0';
        return text;
    }
    // A file of the given bytes in the test's own folder; an empty path if it cannot be written.
    QString Write(const QByteArray& bytes, const QString& name)
    {
        QFile file(m_dir.filePath(name));
        const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        return written ? file.fileName() : QString();
    }

    static constexpr const char* kBoxes[] = {"editComment", "editMessage", "editProgram",
                                             "editSound"};
    // Every field of the alarm dialog as text, so that one comparison covers them all: type,
    // frequency, date, time, comment, message, program, sound, and the ticks active, message,
    // program, sound.
    static QStringList FieldsOf(const CAlarmDialog& d)
    {
        return QStringList() << d.m_strType << d.m_strFrequency << d.m_dtDate.toString(Qt::ISODate)
                             << d.m_dtTime.toString(Qt::ISODate) << d.m_strComment << d.m_strMessage
                             << d.m_strProgram << d.m_strSound
                             << Ticks({d.m_bActive, d.m_bMessage, d.m_bProgram, d.m_bSound});
    }
    // What the controls show: the checked buttons by name, then the date, the time and the
    // boxes in the order of the fields.
    static QStringList ControlsOf(const CAlarmDialog& d)
    {
        QStringList checked, shown;
        for (const QAbstractButton* button : d.findChildren<QAbstractButton*>()) {
            if (button->isChecked())
                checked << button->objectName();
        }
        shown << checked.join(u',') << Find<QDateEdit>(d, "dateEdit")->date().toString(Qt::ISODate)
              << Find<QTimeEdit>(d, "timeEdit")->time().toString(Qt::ISODate);
        for (const char* box : kBoxes)
            shown << Find<QLineEdit>(d, box)->text();
        return shown;
    }
    static void OkOrCancelRows(const char* cancel = "Cancel")
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow(cancel) << false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Warsaw");
        ReloadTimeZone();
        CMessageBox::SetTestMode(true);
    }

    void cleanup()
    {
        Clock::SetForTesting({});
        CFileDialog::SetNextFileNames({});
        CMessageBox::TakeShownTexts();
    }

    // A new alarm starts from now, once, as a wake-up. A keyword the buttons do not know (read
    // from a file) leaves them all unchecked, even after an initialisation that checked one,
    // and stays as it was.
    void newAlarmStartsFromNowAndUnknownKeywordsStay()
    {
        // 05:15:42.567 UTC is 07:15:42 in Warsaw the day after the change to summer time.
        FileTime now = 0;
        QVERIFY(SystemTimeToFileTime(SystemTime{2026, 3, 1, 30, 5, 15, 42, 567}, now));
        Clock::SetForTesting([now] { return now; });
        CAlarmDialog dialog;
        dialog.m_bActive = true;
        dialog.InitDialog();
        QCOMPARE(ControlsOf(dialog), QStringList({u"radioOnce,radioWakeup,checkActive"_s,
                                                  u"2026-03-30"_s, u"07:15:42"_s})
                                         + QStringList(4, QString())); // the boxes empty
        dialog.m_strFrequency = u"fortnightly"_s;
        dialog.m_strType = u"Wakeup"_s;
        dialog.InitDialog();
        QCOMPARE(ControlsOf(dialog).first(), u"checkActive"_s);
        dialog.accept();
        QCOMPARE(FieldsOf(dialog).mid(0, 4),
                 (QStringList{u"Wakeup"_s, u"fortnightly"_s, u"2026-03-30"_s, u"07:15:42"_s}));
    }

    // An existing alarm changed by clicks, typing and picked files: OK reads every change back,
    // Cancel gives every field back as it was, though a click takes effect in its field at
    // once. A pick ticks its action and keeps what was typed elsewhere; a pick the user cancels
    // (no name left to give) changes nothing. The program box holds a command line, split into
    // words before it runs, so a picked path with a blank and a quote is quoted.
    void existingAlarmEditedThenOkOrCancel_data() { OkOrCancelRows(); }
    void existingAlarmEditedThenOkOrCancel()
    {
        QFETCH(bool, ok);
        CAlarmDialog dialog;
        dialog.m_strType = u"shutdown"_s;
        dialog.m_strFrequency = u"monthly"_s;
        dialog.m_dtDate = QDate(2024, 2, 29);
        dialog.m_dtTime = QTime(23, 59, 58);
        dialog.m_strComment = u"Rachunki"_s;
        dialog.m_strMessage = u"Zapłać za prąd"_s;
        dialog.m_strProgram = u"/usr/bin/backup --all"_s;
        dialog.m_strSound = u"/home/ala/dzwonek.wav"_s;
        dialog.m_bActive = dialog.m_bMessage = true;
        const QStringList given = FieldsOf(dialog);
        QStringList loaded;
        // Nothing in here may stop before the click: the modal loop would never end.
        QTimer::singleShot(0, &dialog, [&] {
            loaded = ControlsOf(dialog);
            Key(dialog, "radioWeekend");
            Key(dialog, "radioHibernate");
            loaded << dialog.m_strType; // a click takes effect in its field at once
            Find<QDateEdit>(dialog, "dateEdit")->setDate(QDate(2027, 1, 2));
            Find<QTimeEdit>(dialog, "timeEdit")->setTime(QTime(6, 5, 4));
            for (const char* box : kBoxes)
                QTest::keyClicks(Find(dialog, box), u"+z"_s);
            CFileDialog::SetNextFileNames({u"/muzyka/kogut.mp3"_s, u"/opt/Mój program/it's"_s});
            for (const char* pick : {"buttonBrowseSound", "buttonBrowseProgram",
                                     "buttonBrowseSound", "buttonBrowseProgram"})
                QTest::mouseClick(Find(dialog, pick), Qt::LeftButton);
            for (const char* tick : {"checkActive", "checkMessage", "checkProgram", "checkSound"})
                Key(dialog, tick);
            QTest::mouseClick(Find(dialog, ok ? "buttonOk" : "buttonCancel"), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(ok ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(loaded, (QStringList{u"radioMonthly,radioShutdown,checkMessage,checkActive"_s,
                                      u"2024-02-29"_s, u"23:59:58"_s, u"Rachunki"_s,
                                      u"Zapłać za prąd"_s, u"/usr/bin/backup --all"_s,
                                      u"/home/ala/dzwonek.wav"_s, u"hibernate"_s}));
        QCOMPARE(
            FieldsOf(dialog),
            (ok ? QStringList{u"hibernate"_s, u"weekend"_s, u"2027-01-02"_s, u"06:05:04"_s,
                              u"Rachunki+z"_s, u"Zapłać za prąd+z"_s,
                              u"'/opt/Mój program/it'\\''s'"_s, u"/muzyka/kogut.mp3"_s, u"0000"_s}
                : given));
    }

    // The preview plays what the box shows, typed or not, and the button stops it; opening and
    // starting need only a readable file, what the audio back end makes of it is told later
    // through the device's signals, which the test gives itself.
    void previewFollowsTheBoxAndTheDevice()
    {
        const QString kCannotPlay = u"Nie można odtworzyć dźwięku!"_s;
        const QString path = Write(QByteArray(1024, '\0'), u"cisza.wav"_s);
        CAlarmDialog dialog;
        dialog.InitDialog();
        auto* play = Find<QPushButton>(dialog, "buttonPlay");
        for (const QString& typed : {QString(), u"/nie/ma/pliku.wav"_s, path}) {
            Find<QLineEdit>(dialog, "editSound")->setText(typed);
            QTest::mouseClick(play, Qt::LeftButton);
            QCOMPARE(play->text(), typed == path ? u"&Stop"_s : u"Gra&j"_s);
            QCOMPARE(CMessageBox::TakeShownTexts(),
                     typed == path ? QStringList() : QStringList{kCannotPlay});
        }
        QTest::mouseClick(play, Qt::LeftButton);
        QVERIFY(!dialog.IsPlaying());
        QTest::mouseClick(play, Qt::LeftButton);
        auto* device = Find<CSoundDevice>(dialog, "previewSound");
        Q_EMIT device->PlayedToEnd();
        QCOMPARE(play->text(), u"Gra&j"_s);

        QTest::mouseClick(play, Qt::LeftButton);
        Q_EMIT device->Failed(u"no decoder"_s);
        QCOMPARE(CMessageBox::TakeShownTexts(), QStringList{kCannotPlay});

        // Closing the dialog ends the preview.
        QTest::mouseClick(play, Qt::LeftButton);
        QVERIFY(dialog.IsPlaying());
        dialog.reject();
        QVERIFY(!dialog.IsPlaying() && !device->IsOpen());
        QVERIFY(CMessageBox::TakeShownTexts().isEmpty());
    }

    // F1 answers for the focused control that has help, also one that handles keys itself;
    // Shift+F1 starts the help mode instead. The words are the translators' business; which
    // controls explain themselves is not.
    void f1ExplainsTheControlsThatHaveHelp_data()
    {
        QTest::addColumn<bool>("settings");
        QTest::addColumn<QStringList>("controls"); // the first has no help
        QTest::newRow("alarm") << false << u"radioHibernate radioOnce dateEdit"_s.split(u' ');
        QTest::newRow("settings")
            << true
            << u"editTransparency checkAutostart comboLanguage sliderTransparency"_s.split(u' ');
    }
    void f1ExplainsTheControlsThatHaveHelp()
    {
        QFETCH(bool, settings);
        QFETCH(QStringList, controls);
        CAlarmDialog alarm;
        CDialogSettings options;
        QDialog& dialog = settings ? static_cast<QDialog&>(options) : alarm;
        dialog.show();
        for (const QString& name : controls) {
            QWidget* control = dialog.findChild<QWidget*>(name);
            control->setFocus();
            QTest::keyClick(control, Qt::Key_F1);
            QVERIFY2((QApplication::activePopupWidget() != nullptr) == (name != controls.first()),
                     qPrintable(name));
            QWhatsThis::hideText();
        }
        QTest::keyClick(dialog.focusWidget(), Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QVERIFY(!QApplication::activePopupWidget());
        QWhatsThis::leaveWhatsThisMode();
    }

    // The settings as the frame hands them in, changed from the keyboard and the mouse: OK
    // reads every control back, Cancel keeps every field. The ticks of the rows give each box
    // its own pattern, shown and read back, so that a swapped or shared wire shows. A stored
    // transparency out of range shows as the nearest one the slider takes, and the box follows
    // the thumb while it is dragged, before the button is let go. The default language is
    // shown by its translated name and read back as "default"; a language or sleep mode the
    // lists do not hold is left unchosen, and OK then reads no choice.
    void settingsEditedThenOkOrCancel_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("read");
        QTest::newRow("OK") << true << u"1100"_s << u"0011"_s;
        QTest::newRow("OK, other ticks") << true << u"1010"_s << u"0101"_s;
        QTest::newRow("Cancel") << false << u"1010"_s << u"1010"_s;
    }
    void settingsEditedThenOkOrCancel()
    {
        QFETCH(bool, ok);
        QFETCH(QString, given);
        QFETCH(QString, read);
        CDialogSettings dialog;
        bool* ticks[] = {&dialog.m_bAutostart, &dialog.m_bMaxVolume, &dialog.m_bHideOnStartup,
                         &dialog.m_bAutoload};
        for (int i = 0; i < 4; ++i)
            *ticks[i] = given.at(i) == u'1';
        dialog.m_strLanguage = CDialogSettings::LanguageDisplayName(u"default"_s);
        dialog.m_nTransparency = 120;
        dialog.m_nSleepMode = 1;
        QString shownTicks;
        QStringList shown;
        // Nothing in here may stop before the click: the modal loop would never end.
        QTimer::singleShot(0, &dialog, [&] {
            for (const char* name :
                 {"checkAutostart", "checkMaxVolume", "checkHideOnStartup", "checkAutoload"}) {
                shownTicks += Find<QCheckBox>(dialog, name)->isChecked() ? u'1' : u'0';
                Key(dialog, name);
            }
            for (const char* name : {"comboLanguage", "comboSleepMode"})
                shown << Find<QComboBox>(dialog, name)->currentText();
            shown << Find<QLineEdit>(dialog, "editTransparency")->text();
            auto* slider = Find<QSlider>(dialog, "sliderTransparency");
            QTest::keyClick(slider, Qt::Key_Home);
            shown << Find<QLineEdit>(dialog, "editTransparency")->text();
            QStyleOptionSlider option;
            option.initFrom(slider);
            option.maximum = 90;
            const QRect thumb = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                                QStyle::SC_SliderHandle, slider);
            const QPoint beyond(slider->width() + 50, thumb.center().y());
            QTest::mousePress(slider, Qt::LeftButton, {}, thumb.center());
            QTest::mouseMove(slider, beyond);
            shown << Find<QLineEdit>(dialog, "editTransparency")->text();
            QTest::mouseRelease(slider, Qt::LeftButton, {}, beyond);
            Key(dialog, "comboSleepMode", Qt::Key_Up);
            Key(dialog, "comboLanguage", Qt::Key_Down);
            Key(dialog, "comboLanguage", Qt::Key_Down);
            QTest::mouseClick(Find(dialog, ok ? "buttonOk" : "buttonCancel"), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(ok ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(shownTicks, given);
        QCOMPARE(shown, (QStringList{u"<domyślny>"_s, u"Hibernacja"_s, u"90"_s, u"0"_s, u"90"_s}));
        QCOMPARE(Ticks({*ticks[0], *ticks[1], *ticks[2], *ticks[3]}), read);
        QCOMPARE(dialog.m_nTransparency, ok ? 90 : 120);
        QCOMPARE(dialog.m_nSleepMode, ok ? 0 : 1);
        QCOMPARE(dialog.m_strLanguageChoice, ok ? u"English"_s : QString());
        QCOMPARE(CDialogSettings::LanguageSettingFromChoice(shown.first()), u"default"_s);

        dialog.m_strLanguage = CDialogSettings::LanguageDisplayName(u"deutsch"_s);
        dialog.m_nSleepMode = 5;
        dialog.InitDialog();
        dialog.accept();
        QCOMPARE(dialog.m_strLanguageChoice, QString());
        QCOMPARE(dialog.m_nSleepMode, -1);
    }

    void parseTips_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("tips");
        QTest::newRow("three quotes")
            << QByteArray("\"jedna\" x \"reszta\r\n") << QStringList({u"jedna"_s});
        QTest::newRow("adjacent") << QByteArray("\"\"\"b\"") << QStringList({QString(), u"b"_s});
        // A pair closing on byte 32000 is kept; one closing a byte later is cut.
        QTest::newRow("last byte")
            << QByteArray(31996, ' ') + "\"ab\"\"cd\"" << QStringList({u"ab"_s});
        QTest::newRow("straddling") << QByteArray(31997, ' ') + "\"ab\"" << QStringList();
    }
    void parseTips()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, tips);
        QCOMPARE(CTipsFile::ParseTips(bytes), tips);
    }

    // The shipped Polish file gives readable tips.
    void theShippedTipsAreReadable()
    {
        QVERIFY(CTipsFile::LoadTips(QFINDTESTDATA("../../res/tips/TipsPL.lng")));
        QVERIFY(CTipsFile::Tips().size() >= 10);
        for (const QString& tip : CTipsFile::Tips()) {
            QVERIFY2(!tip.trimmed().isEmpty() && !tip.contains(QChar::ReplacementCharacter),
                     qPrintable(tip));
        }
    }

    void wrapTip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        const QString nine = u"abcdefghi "_s;
        QTest::newRow("12 x 9 letters") << nine.repeated(12) << QStringList(3, nine.repeated(4));
        QTest::newRow("49 on line 2")
            << QString(49, u'a') << QStringList({{}, QString(49, u'a') + u' '});
        QTest::newRow("150 cut") << QString(150, u'w') + u" z"_s
                                 << QStringList({{}, QString(98, u'w') + u' ', u"z "_s});
        // Nine full lines, then 30 characters; the next word does not fit, and neither does
        // the short one after it, though the line would have room for it.
        QStringList nineLines;
        for (char16_t c = u'a'; c < u'j'; ++c)
            nineLines << QString(48, QChar(c)) + u' ';
        QTest::newRow("ten lines")
            << nineLines.join(QString()) + QString(29, u'x') + u' ' + QString(20, u'y') + u" z"_s
            << nineLines + QStringList({QString(29, u'x') + u' '});
    }
    void wrapTip()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(CStartupTip::WrapTip(text), lines);
    }

    // With one tip, Next shows it again; OK takes the cleared show-at-startup box, Escape
    // leaves the field as it was. A tips file that is missing leaves the tips as they were.
    void tipsDialogNextThenOkOrEscape_data() { OkOrCancelRows("Escape"); }
    void tipsDialogNextThenOkOrEscape()
    {
        QFETCH(bool, ok);
        QVERIFY(CTipsFile::LoadTips(Write("\"Jedyna porada\"", u"tips"_s)));
        QVERIFY(!CTipsFile::LoadTips(m_dir.filePath(u"brak.lng"_s)));
        CTipsDialog dialog;
        dialog.m_bShowAtStartup = true;
        QTimer::singleShot(0, &dialog, [&] {
            QTest::mouseClick(Find(dialog, "buttonNext"), Qt::LeftButton);
            Key(dialog, "checkShowAtStartup");
            if (ok)
                QTest::mouseClick(Find(dialog, "buttonOk"), Qt::LeftButton);
            else
                Key(dialog, "buttonNext", Qt::Key_Escape);
        });
        QCOMPARE(dialog.exec(), int(ok ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(dialog.m_bShowAtStartup, !ok);
        QCOMPARE(Find<CStartupTip>(dialog, "startupTip")->Lines(),
                 QStringList({u"Jedyna porada "_s}));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
