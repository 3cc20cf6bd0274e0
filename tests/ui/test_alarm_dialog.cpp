// The alarm edit dialog: fields in, controls, fields out; Cancel leaves the caller's fields
// alone; the file pickers, the sound preview and the control help.

#include "CAlarmDialog.h"
#include "CMessageBox.h"
#include "CSoundDevice.h"
#include "time/Clock.h"
#include "time/ZTime.h"

#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QWhatsThis>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

const QString kCannotPlay = u"Nie można odtworzyć dźwięku!"_s;

template <class T> T* Find(const QWidget& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QLatin1String(name));
    if (!widget) {
        qFatal("no control %s", name);
    }
    return widget;
}

QString Text(const QWidget& dialog, const char* name)
{
    return Find<QLineEdit>(dialog, name)->text();
}

// Radio buttons and check boxes are toggled as from the keyboard: a mouse click would have to
// hit the indicator, whose place depends on the style.
void Press(const QWidget& dialog, const char* name)
{
    QTest::keyClick(Find<QAbstractButton>(dialog, name), Qt::Key_Space);
}

void Click(const QWidget& dialog, const char* name)
{
    QTest::mouseClick(Find<QPushButton>(dialog, name), Qt::LeftButton);
}

QString Ticks(std::initializer_list<bool> ticks)
{
    QString text;
    for (const bool tick : ticks) {
        text += tick ? u'1' : u'0';
    }
    return text;
}

// Every field as text, so that one comparison covers them all: type, frequency, date, time,
// comment, message, program, sound, and the ticks active, message, program, sound.
QStringList FieldsOf(const CAlarmDialog& d)
{
    const QString ticks = Ticks({d.m_bActive, d.m_bMessage, d.m_bProgram, d.m_bSound});
    return QStringList() << d.m_strType << d.m_strFrequency << d.m_dtDate.toString(Qt::ISODate)
                         << d.m_dtTime.toString(Qt::ISODate) << d.m_strComment << d.m_strMessage
                         << d.m_strProgram << d.m_strSound << ticks;
}

// What the controls show, in the same order; the checked radio buttons come first.
QStringList ControlsOf(const CAlarmDialog& d)
{
    QStringList checked;
    const QList<QRadioButton*> radios = d.findChildren<QRadioButton*>();
    for (const QRadioButton* radio : radios) {
        if (radio->isChecked()) {
            checked << radio->objectName();
        }
    }
    const auto ticked = [&d](const char* name) {
        return Find<QAbstractButton>(d, name)->isChecked();
    };
    const QString ticks = Ticks({ticked("checkActive"), ticked("checkMessage"),
                                 ticked("checkProgram"), ticked("checkSound")});
    const QString date = Find<QDateEdit>(d, "dateEdit")->date().toString(Qt::ISODate);
    const QString time = Find<QTimeEdit>(d, "timeEdit")->time().toString(Qt::ISODate);
    return QStringList() << checked.join(u',') << date << time << Text(d, "editComment")
                         << Text(d, "editMessage") << Text(d, "editProgram") << Text(d, "editSound")
                         << ticks;
}

qsizetype VisiblePopups()
{
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    return std::count_if(windows.begin(), windows.end(), [](const QWidget* window) {
        return window->isVisible() && window->windowType() == Qt::Popup;
    });
}

// An existing alarm as the document hands it in.
void FillExisting(CAlarmDialog& dialog)
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

// Runs inside exec(); the caller closes the dialog whatever it finds, so that a
// failure never leaves the test waiting on a modal loop.
void CheckLoadedThenEdit(CAlarmDialog& dialog)
{
    QCOMPARE(ControlsOf(dialog),
             (QStringList{u"radioMonthly,radioShutdown"_s, u"2024-02-29"_s, u"23:59:58"_s,
                          u"Rachunki"_s, u"Zapłać za prąd"_s, u"/usr/bin/backup --all"_s,
                          u"/home/ala/dzwonek.wav"_s, u"1100"_s}));
    Press(dialog, "radioWeekend");
    Press(dialog, "radioHibernate");
    Find<QDateEdit>(dialog, "dateEdit")->setDate(QDate(2027, 1, 2));
    Find<QTimeEdit>(dialog, "timeEdit")->setTime(QTime(6, 5, 4));
    for (const char* name : {"editComment", "editMessage", "editProgram", "editSound"}) {
        QTest::keyClicks(Find<QLineEdit>(dialog, name), u"+z"_s);
    }
    for (const char* name : {"checkActive", "checkMessage", "checkProgram", "checkSound"}) {
        Press(dialog, name);
    }
}

} // namespace

class TestAlarmDialog : public QObject {
    Q_OBJECT

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
        QCOMPARE(dialog.windowTitle(), u"Alarm"_s);
        const QString none;
        QCOMPARE(FieldsOf(dialog), (QStringList{u"wakeup"_s, u"once"_s, u"2026-03-30"_s,
                                                u"07:15:42"_s, none, none, none, none, u"1000"_s}));
        QCOMPARE(ControlsOf(dialog),
                 (QStringList{u"radioOnce,radioWakeup"_s, u"2026-03-30"_s, u"07:15:42"_s, none,
                              none, none, none, u"1000"_s}));
        QCOMPARE(Find<QPushButton>(dialog, "buttonPlay")->text(), u"Gra&j"_s);
        QCOMPARE(dialog.focusWidget(), Find<QTimeEdit>(dialog, "timeEdit"));
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

    void cancelAfterFrequencyClickKeepsFields()
    {
        CAlarmDialog dialog;
        FillExisting(dialog);
        const QStringList given = FieldsOf(dialog);
        dialog.InitDialog();
        Press(dialog, "radioWeekly");
        Press(dialog, "radioStandby");
        QTest::keyClicks(Find<QLineEdit>(dialog, "editComment"), u"xyz"_s);
        // A click takes effect in the field at once; Cancel has to take it back.
        QCOMPARE(dialog.m_strFrequency, u"weekly"_s);
        QCOMPARE(dialog.m_strType, u"standby"_s);
        Click(dialog, "buttonCancel");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(FieldsOf(dialog), given);
    }

    void pickedFilesTickTheirBoxesAndCancelForgetsThem()
    {
        CAlarmDialog dialog;
        FillExisting(dialog);
        const QStringList given = FieldsOf(dialog);
        dialog.InitDialog();
        QTest::keyClicks(Find<QLineEdit>(dialog, "editComment"), u"!"_s);
        const QStringList typed = ControlsOf(dialog);
        Click(dialog, "buttonBrowseSound"); // cancelled: nothing changes
        QCOMPARE(ControlsOf(dialog), typed);

        CFileDialog::SetNextFileNames({u"/muzyka/kogut.mp3"_s, u"/opt/Mój program/it's"_s});
        Click(dialog, "buttonBrowseSound");
        Click(dialog, "buttonBrowseProgram");
        // What was typed before picking survives the round trip through the fields; the
        // program box holds a command line, split into words before it runs.
        QCOMPARE(ControlsOf(dialog),
                 (QStringList{u"radioMonthly,radioShutdown"_s, u"2024-02-29"_s, u"23:59:58"_s,
                              u"Rachunki!"_s, u"Zapłać za prąd"_s, u"'/opt/Mój program/it'\\''s'"_s,
                              u"/muzyka/kogut.mp3"_s, u"1111"_s}));
        dialog.reject();
        QCOMPARE(FieldsOf(dialog), given);
    }

    void playWithoutPlayableFileComplains()
    {
        CAlarmDialog dialog;
        dialog.InitDialog();
        auto* play = Find<QPushButton>(dialog, "buttonPlay");
        for (const QString& typed : {QString(), u"/nie/ma/pliku.wav"_s}) {
            Find<QLineEdit>(dialog, "editSound")->setText(typed);
            QTest::mouseClick(play, Qt::LeftButton);
            QCOMPARE(CMessageBox::TakeShownTexts(), QStringList{kCannotPlay});
            QCOMPARE(play->text(), u"Gra&j"_s);
            QVERIFY(!dialog.IsPlaying());
        }
    }

    void previewFollowsTheDevice()
    {
        // Opening and starting need only a readable file; what the audio back end makes of it
        // is told later through the device's signals, which the test gives itself.
        QTemporaryDir dir;
        const QString path = dir.filePath(u"cisza.wav"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(1024, '\0')) == 1024);
        file.close();

        CAlarmDialog dialog;
        dialog.InitDialog();
        auto* play = Find<QPushButton>(dialog, "buttonPlay");
        // Typed, not handed in: the preview plays what the box shows.
        Find<QLineEdit>(dialog, "editSound")->setText(path);
        QTest::mouseClick(play, Qt::LeftButton);
        QVERIFY(dialog.IsPlaying());
        QCOMPARE(play->text(), u"&Stop"_s);
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

    void helpFollowsTheControl()
    {
        CAlarmDialog dialog;
        dialog.InitDialog();
        dialog.show();
        auto* once = Find<QRadioButton>(dialog, "radioOnce");
        auto* hibernate = Find<QRadioButton>(dialog, "radioHibernate");
        QVERIFY(!once->whatsThis().isEmpty());
        QVERIFY(hibernate->whatsThis().isEmpty());

        hibernate->setFocus();
        QTest::keyClick(hibernate, Qt::Key_F1);
        QCOMPARE(VisiblePopups(), 0);
        // F1 reaches the help from a control that handles keys itself, too.
        for (QWidget* control : {static_cast<QWidget*>(once), Find<QWidget>(dialog, "dateEdit")}) {
            control->setFocus();
            QTest::keyClick(control, Qt::Key_F1);
            QCOMPARE(VisiblePopups(), 1);
            QWhatsThis::hideText();
        }
        // Shift+F1 starts the help mode instead of answering for the focused control at once.
        QTest::keyClick(once, Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QCOMPARE(VisiblePopups(), 0);
        QWhatsThis::leaveWhatsThisMode();
    }
};

QTEST_MAIN(TestAlarmDialog)
#include "test_alarm_dialog.moc"
