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

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QWhatsThis>

using namespace zembra;
using namespace Qt::StringLiterals;

class TestDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    template <class T = QWidget> static T* Find(const QWidget& dialog, const char* name)
    {
        T* widget = dialog.findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    static QString Text(const QWidget& d, const char* name)
    {
        return Find<QLineEdit>(d, name)->text();
    }
    // Controls are worked from the keyboard: a mouse click on a radio button or a check box
    // would have to hit the indicator, whose place depends on the style.
    static void Key(const QWidget& d, const char* name, Qt::Key key = Qt::Key_Space)
    {
        QTest::keyClick(Find(d, name), key);
    }
    static void Click(const QWidget& d, const char* name)
    {
        QTest::mouseClick(Find(d, name), Qt::LeftButton);
    }
    static QString Ticks(std::initializer_list<bool> ticks)
    {
        QString text;
        for (const bool tick : ticks)
            text += tick ? u'1' : u'0';
        return text;
    }
    static qsizetype VisiblePopups()
    {
        const QList<QWidget*> windows = QApplication::topLevelWidgets();
        return std::count_if(windows.begin(), windows.end(), [](const QWidget* window) {
            return window->isVisible() && window->windowType() == Qt::Popup;
        });
    }
    // A file of the given bytes in the test's own folder; an empty path if it cannot be written.
    QString Write(const QByteArray& bytes, const QString& name = {})
    {
        const QString path = m_dir.filePath(name.isEmpty() ? QString::number(++m_files) : name);
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path
                                                                                    : QString();
    }
    // Makes the program-wide list of tips hold what the file bytes give.
    void UseTips(const QByteArray& bytes) { QVERIFY(CTipsFile::LoadTips(Write(bytes))); }

    static constexpr const char* kBoxes[] = {"editComment", "editMessage", "editProgram",
                                             "editSound"};
    static constexpr const char* kTicks[] = {"checkActive", "checkMessage", "checkProgram",
                                             "checkSound"};
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
    // What the controls show, in the same order; the checked radio buttons come first.
    static QStringList ControlsOf(const CAlarmDialog& d)
    {
        QStringList checked, shown;
        for (const QRadioButton* radio : d.findChildren<QRadioButton*>()) {
            if (radio->isChecked())
                checked << radio->objectName();
        }
        shown << checked.join(u',') << Find<QDateEdit>(d, "dateEdit")->date().toString(Qt::ISODate)
              << Find<QTimeEdit>(d, "timeEdit")->time().toString(Qt::ISODate);
        for (const char* box : kBoxes)
            shown << Text(d, box);
        QString ticks;
        for (const char* box : kTicks)
            ticks += Find<QAbstractButton>(d, box)->isChecked() ? u'1' : u'0';
        return shown << ticks;
    }
    // An existing alarm as the document hands it in.
    static void FillExisting(CAlarmDialog& dialog)
    {
        dialog.m_strType = u"shutdown"_s;
        dialog.m_strFrequency = u"monthly"_s;
        dialog.m_dtDate = QDate(2024, 2, 29);
        dialog.m_dtTime = QTime(23, 59, 58);
        dialog.m_strComment = u"Rachunki"_s;
        dialog.m_strMessage = u"Zapłać za prąd"_s;
        dialog.m_strProgram = u"/usr/bin/backup --all"_s;
        dialog.m_strSound = u"/home/ala/dzwonek.wav"_s;
        dialog.m_bActive = dialog.m_bMessage = true;
    }
    // Runs inside exec(); the caller closes the dialog whatever it finds, so that a failure
    // never leaves the test waiting on a modal loop.
    static void CheckLoadedThenEdit(CAlarmDialog& dialog)
    {
        QCOMPARE(ControlsOf(dialog),
                 (QStringList{u"radioMonthly,radioShutdown"_s, u"2024-02-29"_s, u"23:59:58"_s,
                              u"Rachunki"_s, u"Zapłać za prąd"_s, u"/usr/bin/backup --all"_s,
                              u"/home/ala/dzwonek.wav"_s, u"1100"_s}));
        Key(dialog, "radioWeekend");
        Key(dialog, "radioHibernate");
        Find<QDateEdit>(dialog, "dateEdit")->setDate(QDate(2027, 1, 2));
        Find<QTimeEdit>(dialog, "timeEdit")->setTime(QTime(6, 5, 4));
        for (const char* box : kBoxes)
            QTest::keyClicks(Find(dialog, box), u"+z"_s);
        for (const char* box : kTicks)
            Key(dialog, box);
    }
    // The settings dialog's four ticks, so that a swapped wire shows up.
    static QString Ticks(const CDialogSettings& d)
    {
        return Ticks({d.m_bAutostart, d.m_bMaxVolume, d.m_bHideOnStartup, d.m_bAutoload});
    }
    static constexpr const char* kChecks[] = {"checkAutostart", "checkMaxVolume",
                                              "checkHideOnStartup", "checkAutoload"};

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Warsaw");
        ReloadTimeZone();
        CMessageBox::SetTestMode(true);
        QVERIFY(m_dir.isValid());
    }

    void cleanup()
    {
        Clock::SetForTesting({});
        CFileDialog::SetNextFileNames({});
        CMessageBox::TakeShownTexts();
    }

    void newAlarmStartsFromNow()
    {
        // 05:15:42.567 UTC is 07:15:42 in Warsaw the day after the change to summer time.
        FileTime now = 0;
        QVERIFY(SystemTimeToFileTime(SystemTime{2026, 3, 1, 30, 5, 15, 42, 567}, now));
        Clock::SetForTesting([now] { return now; });
        CAlarmDialog dialog;
        dialog.m_bActive = true;
        dialog.InitDialog();
        dialog.show();
        const QString none;
        QCOMPARE(FieldsOf(dialog), (QStringList{u"wakeup"_s, u"once"_s, u"2026-03-30"_s,
                                                u"07:15:42"_s, none, none, none, none, u"1000"_s}));
        QCOMPARE(ControlsOf(dialog),
                 (QStringList{u"radioOnce,radioWakeup"_s, u"2026-03-30"_s, u"07:15:42"_s, none,
                              none, none, none, u"1000"_s}));
        QCOMPARE(dialog.focusWidget(), Find(dialog, "timeEdit"));
    }

    void existingAlarmLoadsAndOkReadsBack()
    {
        CAlarmDialog dialog;
        FillExisting(dialog);
        QTimer::singleShot(0, &dialog, [&dialog] {
            CheckLoadedThenEdit(dialog);
            Click(dialog, "buttonOk");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(FieldsOf(dialog),
                 (QStringList{u"hibernate"_s, u"weekend"_s, u"2027-01-02"_s, u"06:05:04"_s,
                              u"Rachunki+z"_s, u"Zapłać za prąd+z"_s, u"/usr/bin/backup --all+z"_s,
                              u"/home/ala/dzwonek.wav+z"_s, u"0011"_s}));
    }

    void cancelTakesBackClicksTypingAndPickedFiles()
    {
        CAlarmDialog dialog;
        FillExisting(dialog);
        const QStringList given = FieldsOf(dialog);
        dialog.InitDialog();
        Key(dialog, "radioWeekly");
        Key(dialog, "radioStandby");
        QTest::keyClicks(Find(dialog, "editComment"), u"!"_s);
        // A click takes effect in the field at once; Cancel has to take it back.
        QCOMPARE(dialog.m_strFrequency, u"weekly"_s);
        QCOMPARE(dialog.m_strType, u"standby"_s);
        const QStringList typed = ControlsOf(dialog);
        Click(dialog, "buttonBrowseSound"); // cancelled: nothing changes
        QCOMPARE(ControlsOf(dialog), typed);

        CFileDialog::SetNextFileNames({u"/muzyka/kogut.mp3"_s, u"/opt/Mój program/it's"_s});
        Click(dialog, "buttonBrowseSound");
        Click(dialog, "buttonBrowseProgram");
        // What was typed before picking survives the round trip through the fields; the
        // program box holds a command line, split into words before it runs.
        QCOMPARE(ControlsOf(dialog),
                 (QStringList{u"radioWeekly,radioStandby"_s, u"2024-02-29"_s, u"23:59:58"_s,
                              u"Rachunki!"_s, u"Zapłać za prąd"_s, u"'/opt/Mój program/it'\\''s'"_s,
                              u"/muzyka/kogut.mp3"_s, u"1111"_s}));
        Click(dialog, "buttonCancel");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(FieldsOf(dialog), given);
    }

    // The preview plays what the box shows, typed or not; opening and starting need only a
    // readable file, what the audio back end makes of it is told later through the device's
    // signals, which the test gives itself.
    void previewFollowsTheBoxAndTheDevice()
    {
        const QString kCannotPlay = u"Nie można odtworzyć dźwięku!"_s;
        const QString path = Write(QByteArray(1024, '\0'), u"cisza.wav"_s);
        QVERIFY(!path.isEmpty());
        CAlarmDialog dialog;
        dialog.InitDialog();
        auto* play = Find<QPushButton>(dialog, "buttonPlay");
        for (const QString& typed : {QString(), u"/nie/ma/pliku.wav"_s, path}) {
            Find<QLineEdit>(dialog, "editSound")->setText(typed);
            QTest::mouseClick(play, Qt::LeftButton);
            QCOMPARE(dialog.IsPlaying(), typed == path);
            QCOMPARE(play->text(), typed == path ? u"&Stop"_s : u"Gra&j"_s);
            QCOMPARE(CMessageBox::TakeShownTexts(),
                     typed == path ? QStringList() : QStringList{kCannotPlay});
        }
        auto* device = dialog.findChild<CSoundDevice*>(u"previewSound"_s);
        QVERIFY(device);
        Q_EMIT device->PlayedToEnd();
        QVERIFY(!dialog.IsPlaying());
        QCOMPARE(play->text(), u"Gra&j"_s);

        QTest::mouseClick(play, Qt::LeftButton);
        Q_EMIT device->Failed(u"no decoder"_s);
        QCOMPARE(CMessageBox::TakeShownTexts(), QStringList{kCannotPlay});
        QCOMPARE(play->text(), u"Gra&j"_s);

        // Closing the dialog ends the preview.
        QTest::mouseClick(play, Qt::LeftButton);
        QVERIFY(dialog.IsPlaying());
        dialog.reject();
        QVERIFY(!dialog.IsPlaying() && !device->IsOpen());
        QVERIFY(CMessageBox::TakeShownTexts().isEmpty());
    }

    void unknownKeywordStaysUnchecked()
    {
        CAlarmDialog dialog;
        dialog.m_strFrequency = u"weekly"_s;
        dialog.InitDialog();
        QCOMPARE(ControlsOf(dialog).first(), u"radioWeekly,radioWakeup"_s);
        // A second initialisation must be able to clear what the first one checked.
        dialog.m_strFrequency = u"fortnightly"_s;
        dialog.m_strType = u"Wakeup"_s;
        dialog.InitDialog();
        QCOMPARE(ControlsOf(dialog).first(), QString());
        dialog.accept();
        QCOMPARE(FieldsOf(dialog).mid(0, 2), (QStringList{u"Wakeup"_s, u"fortnightly"_s}));
    }

    // F1 answers for the focused control that has help, also one that handles keys itself;
    // Shift+F1 starts the help mode instead. The words are the translators' business; which
    // controls explain themselves is not.
    void f1ExplainsTheControlsThatHaveHelp_data()
    {
        QTest::addColumn<bool>("settings");
        QTest::addColumn<QString>("quiet"); // a control without help
        QTest::addColumn<QString>("helped");
        QTest::newRow("alarm") << false << u"radioHibernate"_s << u"radioOnce dateEdit"_s;
        QTest::newRow("settings") << true << u"editTransparency"_s
                                  << u"checkAutostart checkMaxVolume checkHideOnStartup "
                                     "checkAutoload comboLanguage sliderTransparency"_s;
    }
    void f1ExplainsTheControlsThatHaveHelp()
    {
        QFETCH(bool, settings);
        QFETCH(QString, quiet);
        QFETCH(QString, helped);
        CAlarmDialog alarm;
        CDialogSettings options;
        alarm.InitDialog();
        options.InitDialog();
        QDialog& dialog = settings ? static_cast<QDialog&>(options) : alarm;
        dialog.show();
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        for (const QString& name : (quiet + u' ' + helped).split(u' ')) {
            QWidget* control = dialog.findChild<QWidget*>(name);
            QVERIFY2(control->whatsThis().isEmpty() == (name == quiet), qPrintable(name));
            control->setFocus();
            QTest::keyClick(control, Qt::Key_F1);
            QCOMPARE(VisiblePopups(), name == quiet ? 0 : 1);
            QWhatsThis::hideText();
        }
        QTest::keyClick(dialog.focusWidget(), Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QCOMPARE(VisiblePopups(), 0);
        QWhatsThis::leaveWhatsThisMode();
    }

    void transparencyBoxFollowsTheSlider()
    {
        CDialogSettings dialog;
        const std::pair<int, QString> given[] = {{0, u"0"_s}, {120, u"90"_s}, {30, u"30"_s}};
        for (const auto& [percent, shown] : given) {
            dialog.m_nTransparency = percent;
            dialog.InitDialog();
            QCOMPARE(Text(dialog, "editTransparency"), shown);
        }
        dialog.show();
        auto* slider = Find<QSlider>(dialog, "sliderTransparency");
        const std::pair<Qt::Key, QString> steps[] = {
            {Qt::Key_End, u"90"_s}, {Qt::Key_Left, u"89"_s}, {Qt::Key_Home, u"0"_s}};
        for (const auto& [key, shown] : steps) {
            QTest::keyClick(slider, key);
            QCOMPARE(Text(dialog, "editTransparency"), shown);
        }
        // The thumb dragged past the right end: the box shows 90 before the button is let go.
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.maximum = 90;
        const QPoint thumb =
            slider->style()
                ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
                .center();
        const QPoint beyond(slider->width() + 50, thumb.y());
        QTest::mousePress(slider, Qt::LeftButton, {}, thumb);
        QTest::mouseMove(slider, beyond);
        QCOMPARE(Text(dialog, "editTransparency"), u"90"_s);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, beyond);
        dialog.accept();
        QCOMPARE(dialog.m_nTransparency, 90);
    }

    // A known language or sleep mode is shown and read back; an unknown one is left unchosen.
    void languageAndSleepModeChoices()
    {
        QCOMPARE(CDialogSettings::LanguageDisplayName(u"default"_s), u"<domyślny>"_s);
        QCOMPARE(CDialogSettings::LanguageDisplayName(u"English"_s), u"English"_s);
        QCOMPARE(CDialogSettings::LanguageSettingFromChoice(u"<domyślny>"_s), u"default"_s);
        QCOMPARE(CDialogSettings::LanguageSettingFromChoice(u"Deutsch"_s), u"Deutsch"_s);

        CDialogSettings dialog;
        dialog.m_strLanguage = CDialogSettings::LanguageDisplayName(u"default"_s);
        QString shown;
        // Nothing in here may stop before the click: the modal loop would never end.
        QTimer::singleShot(0, &dialog, [&] {
            shown = Find<QComboBox>(dialog, "comboLanguage")->currentText();
            Key(dialog, "comboLanguage", Qt::Key_Down);
            Key(dialog, "comboLanguage", Qt::Key_Down);
            Click(dialog, "buttonOk");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(shown, u"<domyślny>"_s);
        QCOMPARE(dialog.m_strLanguageChoice, u"English"_s);

        dialog.m_strLanguage = u"Deutsch"_s;
        dialog.InitDialog();
        QCOMPARE(Find<QComboBox>(dialog, "comboLanguage")->currentIndex(), 3);
        dialog.m_strLanguage = u"deutsch"_s;
        dialog.m_nSleepMode = 5;
        dialog.InitDialog();
        QCOMPARE(Find<QComboBox>(dialog, "comboSleepMode")->currentIndex(), -1);
        dialog.accept();
        QCOMPARE(dialog.m_strLanguageChoice, QString());
        QCOMPARE(dialog.m_nSleepMode, -1);
        dialog.m_nSleepMode = 1;
        dialog.InitDialog();
        QCOMPARE(Find<QComboBox>(dialog, "comboSleepMode")->currentText(), u"Hibernacja"_s);
        Key(dialog, "comboSleepMode", Qt::Key_Up);
        dialog.accept();
        QCOMPARE(dialog.m_nSleepMode, 0);
    }

    void eachCheckBoxCarriesItsOwnField()
    {
        for (int i = 0; i < 4; ++i) {
            CDialogSettings d;
            bool* fields[] = {&d.m_bAutostart, &d.m_bMaxVolume, &d.m_bHideOnStartup,
                              &d.m_bAutoload};
            *fields[i] = true;
            d.InitDialog();
            for (int j = 0; j < 4; ++j)
                QCOMPARE(Find<QCheckBox>(d, kChecks[j])->isChecked(), i == j);
            Key(d, kChecks[i]);
            Key(d, kChecks[(i + 1) % 4]);
            d.accept();
            QString expected = u"0000"_s;
            expected[(i + 1) % 4] = u'1';
            QCOMPARE(Ticks(d), expected);
        }
    }

    void settingsCancelKeepsEveryField()
    {
        CDialogSettings dialog;
        dialog.m_strLanguage = u"Polski"_s;
        dialog.m_bAutostart = dialog.m_bHideOnStartup = true;
        dialog.m_nTransparency = 40;
        dialog.m_nSleepMode = 1;
        QTimer::singleShot(0, &dialog, [&] {
            for (const char* name : kChecks)
                Key(dialog, name);
            Key(dialog, "sliderTransparency", Qt::Key_End);
            Key(dialog, "comboSleepMode", Qt::Key_Up);
            Key(dialog, "comboLanguage", Qt::Key_Down);
            Click(dialog, "buttonCancel");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(Ticks(dialog), u"1010"_s);
        QCOMPARE(dialog.m_nTransparency, 40);
        QCOMPARE(dialog.m_nSleepMode, 1);
        QCOMPARE(dialog.m_strLanguage, u"Polski"_s);
        QCOMPARE(dialog.m_strLanguageChoice, QString());
    }

    void parseTips_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("tips");
        QTest::newRow("one a line") << QByteArray("\"Pierwsza\"\r\n\"Druga\"\r\n")
                                    << QStringList({u"Pierwsza"_s, u"Druga"_s});
        QTest::newRow("no quote") << QByteArray("nic\r\n") << QStringList();
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

    // A long file is read up to its limit; a missing one leaves the tips as they were.
    void loadTips()
    {
        UseTips("\"przed\"" + QByteArray(CTipsFile::kMaxFileBytes, ' ') + "\"po\"");
        QCOMPARE(CTipsFile::Tips(), QStringList({u"przed"_s}));
        QVERIFY(!CTipsFile::LoadTips(m_dir.filePath(u"brak.lng"_s)));
        QCOMPARE(CTipsFile::Tips(), QStringList({u"przed"_s}));
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

    void nextWithOneTipShowsItAgain()
    {
        UseTips("\"Jedyna porada\"");
        CTipsDialog dialog;
        dialog.InitDialog();
        auto* tip = Find<CStartupTip>(dialog, "startupTip");
        QCOMPARE(tip->Lines(), QStringList({u"Jedyna porada "_s}));
        Click(dialog, "buttonNext");
        QCOMPARE(tip->Lines(), QStringList({u"Jedyna porada "_s}));
    }

    // OK takes the cleared show-at-startup box; Escape leaves the field as it was.
    void tipsDialogResult_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Escape") << false;
    }
    void tipsDialogResult()
    {
        QFETCH(bool, ok);
        UseTips("\"porada\"");
        CTipsDialog dialog;
        dialog.m_bShowAtStartup = true;
        bool wasChecked = false;
        QTimer::singleShot(0, &dialog, [&] {
            auto* check = Find<QCheckBox>(dialog, "checkShowAtStartup");
            wasChecked = check->isChecked();
            QTest::keyClick(check, Qt::Key_Space);
            if (ok)
                Click(dialog, "buttonOk");
            else
                Key(dialog, "buttonNext", Qt::Key_Escape);
            if (dialog.isVisible())
                dialog.done(42); // the keys did not close it
        });
        QCOMPARE(dialog.exec(), int(ok ? QDialog::Accepted : QDialog::Rejected));
        QVERIFY(wasChecked);
        QCOMPARE(dialog.m_bShowAtStartup, !ok);
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
