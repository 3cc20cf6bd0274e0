#pragma once

// The program settings dialog. Like the alarm dialog it works on plain fields: the caller fills
// them from the settings, runs exec() and, after OK, reads them back and applies them; Cancel
// leaves every field as it was given. Each control that needs explaining carries a short help
// text (What's This, F1, Shift+F1, the title bar's help button).

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;

namespace zembra {

class CDialogSettings : public QDialog {
    Q_OBJECT

public:
    explicit CDialogSettings(QWidget* parent = nullptr);
    ~CDialogSettings() override;

    // In: display name of the current language, as LanguageDisplayName() gives it.
    QString m_strLanguage;
    bool m_bMaxVolume = false;
    bool m_bAutostart = false;
    bool m_bHideOnStartup = false;
    bool m_bAutoload = false;
    // Out: the text of the chosen language entry, empty when none is chosen.
    QString m_strLanguageChoice;
    int m_nTransparency = 0; // percent, 0 to 90
    int m_nSleepMode = 0;    // 0 standby, 1 hibernation; -1 after OK when none is chosen
    bool m_bRepeatSound = false;
    int m_nSnoozeMinutes = 10; // the snooze offered first

    // The display name for the Lang setting: "default" becomes the translated "<domyślny>",
    // any other value is its own name.
    static QString LanguageDisplayName(const QString& langSetting);
    // The Lang setting for a chosen entry: the translated "<domyślny>" becomes "default",
    // any other text stays as it is.
    static QString LanguageSettingFromChoice(const QString& choice);

    // Initialises the controls from the fields, runs, on OK reads them back.
    int exec() override;
    // Initialises the controls from the fields without running (exec() does this first).
    void InitDialog();

    // OK: reads the controls into the fields.
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;
    // F1 and Shift+F1 on any control, before the control itself sees them.

private:
    void BuildUi();
    void RetranslateUi();
    void OnTransparencyChanged(int value);

    QGroupBox* m_pBehaviourGroup = nullptr;
    QCheckBox* m_pAutostartCheck = nullptr;
    QCheckBox* m_pMaxVolumeCheck = nullptr;
    QCheckBox* m_pRepeatSoundCheck = nullptr;
    QLabel* m_pSnoozeLabel = nullptr;
    QSpinBox* m_pSnoozeSpin = nullptr;
    QCheckBox* m_pHideOnStartupCheck = nullptr;
    QCheckBox* m_pAutoloadCheck = nullptr;
    QLabel* m_pSleepModeLabel = nullptr;
    QComboBox* m_pSleepModeCombo = nullptr;
    QLabel* m_pTransparencyLabel = nullptr;
    QLineEdit* m_pTransparencyEdit = nullptr;
    QLabel* m_pPercentLabel = nullptr;
    QSlider* m_pTransparencySlider = nullptr;

    QGroupBox* m_pLookGroup = nullptr;
    QLabel* m_pLanguageLabel = nullptr;
    QComboBox* m_pLanguageCombo = nullptr;

    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;

    bool m_bInitialised = false;
};

} // namespace zembra
