// The settings dialog: fields in and out, Cancel, the transparency box, languages, help.

#include "CDialogSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWhatsThis>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

template <class T = QWidget> T* Find(const QWidget& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QLatin1String(name));
    if (!widget) {
        qFatal("no control %s", name);
    }
    return widget;
}

QString Box(const QWidget& d)
{
    return Find<QLineEdit>(d, "editTransparency")->text();
}
QComboBox* Combo(const QWidget& d, const char* name)
{
    return Find<QComboBox>(d, name);
}
void Key(const QWidget& d, const char* name, Qt::Key key)
{
    QTest::keyClick(Find(d, name), key);
}

const char* const kChecks[] = {"checkAutostart", "checkMaxVolume", "checkHideOnStartup",
                               "checkAutoload"};

// The four ticks in the order of kChecks, so that a swapped wire shows up.
QString Ticks(const CDialogSettings& d)
{
    QString ticks;
    for (const bool tick : {d.m_bAutostart, d.m_bMaxVolume, d.m_bHideOnStartup, d.m_bAutoload}) {
        ticks += tick ? u'1' : u'0';
    }
    return ticks;
}

bool PopupShown()
{
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* w) {
        return w->isVisible() && w->windowType() == Qt::Popup;
    });
}

} // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void boxFollowsTheSlider()
    {
        CDialogSettings dialog;
        dialog.InitDialog();
        QCOMPARE(Box(dialog), u"0"_s);
        dialog.m_nTransparency = 120;
        dialog.InitDialog();
        QCOMPARE(Box(dialog), u"90"_s);
        dialog.m_nTransparency = 30;
        dialog.InitDialog();
        dialog.show();
        auto* slider = Find<QSlider>(dialog, "sliderTransparency");
        QCOMPARE(Box(dialog), u"30"_s);
        const std::pair<Qt::Key, QString> steps[] = {
            {Qt::Key_End, u"90"_s}, {Qt::Key_Left, u"89"_s}, {Qt::Key_Home, u"0"_s}};
        for (const auto& [key, shown] : steps) {
            QTest::keyClick(slider, key);
            QCOMPARE(Box(dialog), shown);
        }
        // The thumb dragged past the right end: the box shows 90 before the button is let go.
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.maximum = 90;
        const QPoint thumb =
            slider->style()
                ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
                .center();
        QTest::mousePress(slider, Qt::LeftButton, {}, thumb);
        QTest::mouseMove(slider, QPoint(slider->width() + 50, thumb.y()));
        QCOMPARE(Box(dialog), u"90"_s);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() + 50, thumb.y()));
        dialog.accept();
        QCOMPARE(dialog.m_nTransparency, 90);
    }

    void languages()
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
            shown = Combo(dialog, "comboLanguage")->currentText();
            Key(dialog, "comboLanguage", Qt::Key_Down);
            Key(dialog, "comboLanguage", Qt::Key_Down);
            QTest::mouseClick(Find(dialog, "buttonOk"), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(shown, u"<domyślny>"_s);
        QCOMPARE(dialog.m_strLanguageChoice, u"English"_s);

        dialog.m_strLanguage = u"Deutsch"_s;
        dialog.InitDialog();
        QCOMPARE(Combo(dialog, "comboLanguage")->currentIndex(), 3);
        dialog.m_strLanguage = u"deutsch"_s;
        dialog.InitDialog();
        dialog.accept();
        QCOMPARE(dialog.m_strLanguageChoice, QString());
    }

    void sleepMode()
    {
        CDialogSettings dialog;
        dialog.m_nSleepMode = 5;
        dialog.InitDialog();
        QCOMPARE(Combo(dialog, "comboSleepMode")->currentIndex(), -1);
        dialog.accept();
        QCOMPARE(dialog.m_nSleepMode, -1);
        dialog.m_nSleepMode = 1;
        dialog.InitDialog();
        QCOMPARE(Combo(dialog, "comboSleepMode")->currentText(), u"Hibernacja"_s);
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
            for (int j = 0; j < 4; ++j) {
                QCOMPARE(Find<QCheckBox>(d, kChecks[j])->isChecked(), i == j);
            }
            Key(d, kChecks[i], Qt::Key_Space);
            Key(d, kChecks[(i + 1) % 4], Qt::Key_Space);
            d.accept();
            QString expected = u"0000"_s;
            expected[(i + 1) % 4] = u'1';
            QCOMPARE(Ticks(d), expected);
        }
    }

    void cancelKeepsEveryField()
    {
        CDialogSettings dialog;
        dialog.m_strLanguage = u"Polski"_s;
        dialog.m_bAutostart = dialog.m_bHideOnStartup = true;
        dialog.m_nTransparency = 40;
        dialog.m_nSleepMode = 1;
        QTimer::singleShot(0, &dialog, [&] {
            for (const char* name : kChecks) {
                Key(dialog, name, Qt::Key_Space);
            }
            Key(dialog, "sliderTransparency", Qt::Key_End);
            Key(dialog, "comboSleepMode", Qt::Key_Up);
            Key(dialog, "comboLanguage", Qt::Key_Down);
            QTest::mouseClick(Find(dialog, "buttonCancel"), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(Ticks(dialog), u"1010"_s);
        QCOMPARE(dialog.m_nTransparency, 40);
        QCOMPARE(dialog.m_nSleepMode, 1);
        QCOMPARE(dialog.m_strLanguage, u"Polski"_s);
        QCOMPARE(dialog.m_strLanguageChoice, QString());
    }

    void f1ExplainsTheControlsThatHaveHelp()
    {
        CDialogSettings dialog;
        dialog.InitDialog();
        dialog.show();
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        // The words are the translators' business; which controls explain themselves is not.
        for (const char* name : {"checkAutostart", "checkMaxVolume", "checkHideOnStartup",
                                 "checkAutoload", "comboLanguage", "sliderTransparency"}) {
            QVERIFY2(!Find(dialog, name)->whatsThis().isEmpty(), name);
        }
        QVERIFY(Find(dialog, "editTransparency")->whatsThis().isEmpty());
        Key(dialog, "editTransparency", Qt::Key_F1);
        QVERIFY(!PopupShown());
        Key(dialog, "comboLanguage", Qt::Key_F1);
        QVERIFY(PopupShown());
        QWhatsThis::hideText();
        QTest::keyClick(Find(dialog, "comboLanguage"), Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QWhatsThis::leaveWhatsThisMode();
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "test_settings_dialog.moc"
