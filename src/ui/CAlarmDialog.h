#pragma once

// The dialog in which the user creates or changes one alarm. It works on plain copies of the
// alarm's fields: the caller fills them, runs exec() and reads them back after OK; Cancel leaves
// them exactly as they were given. Beside that it picks a sound or a program file, previews the
// sound and shows a short help text for each control (What's This, F1, Shift+F1).

#include <QDate>
#include <QDialog>
#include <QString>
#include <QTime>

class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;

namespace zembra {

class CSoundDevice;

class CAlarmDialog : public QDialog {
    Q_OBJECT

public:
    explicit CAlarmDialog(QWidget* parent = nullptr);
    ~CAlarmDialog() override;

    // Plain fields: the caller fills them before exec() and reads them after an Accepted result.
    QString m_strType;      // keyword; empty becomes "wakeup" at initialisation
    QString m_strFrequency; // keyword; empty becomes "once"
    QDate m_dtDate;         // initially today (local, from Clock::Now())
    QTime m_dtTime;         // initially now, whole seconds (local)
    QString m_strComment, m_strMessage, m_strProgram, m_strSound;
    bool m_bActive = false, m_bMessage = false, m_bProgram = false, m_bSound = false;

    // Initialises the controls from the fields, runs, on OK reads them back.
    int exec() override;
    // Initialises the controls from the fields without running (exec() does this first).
    void InitDialog();
    // True while the sound preview plays.
    bool IsPlaying() const;

    // OK: stops the preview and reads the controls into the fields.
    void accept() override;
    // Cancel, Escape, the close box: stops the preview and gives the fields back unchanged.
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;
    // F1 and Shift+F1 on any control, before the control itself sees them.

private:
    // The fields as the caller handed them in, to give back on Cancel.
    struct Fields {
        QString type, frequency;
        QDate date;
        QTime time;
        QString comment, message, program, sound;
        bool active = false, messageOn = false, programOn = false, soundOn = false;
    };
    Fields TakeFields() const;
    void PutFields(const Fields& fields);

    void BuildUi();
    void RetranslateUi();
    void ApplyDateTimeFormats();
    void FieldsToControls();
    void ControlsToFields();

    void OnBrowseSound();
    void OnBrowseProgram();
    void OnPlay();
    void OnPreviewEnded();
    void OnPreviewFailed();
    void StopPreview();
    void FailPreview();
    void UpdatePlayText();

    QGroupBox* m_pFrequencyGroup = nullptr;
    QRadioButton* m_pFrequencyButtons[7] = {};
    QButtonGroup* m_pFrequencyButtonGroup = nullptr;

    QGroupBox* m_pTimeGroup = nullptr;
    QLabel* m_pTimeLabel = nullptr;
    QTimeEdit* m_pTime = nullptr;
    QLabel* m_pDateLabel = nullptr;
    QDateEdit* m_pDate = nullptr;

    QGroupBox* m_pTypeGroup = nullptr;
    QRadioButton* m_pTypeButtons[4] = {};
    QButtonGroup* m_pTypeButtonGroup = nullptr;

    QLabel* m_pCommentLabel = nullptr;
    QLineEdit* m_pComment = nullptr;

    QGroupBox* m_pActionGroup = nullptr;
    QCheckBox* m_pMessageCheck = nullptr;
    QLineEdit* m_pMessage = nullptr;
    QCheckBox* m_pSoundCheck = nullptr;
    QLineEdit* m_pSound = nullptr;
    QPushButton* m_pBrowseSound = nullptr;
    QPushButton* m_pPlay = nullptr;
    QCheckBox* m_pProgramCheck = nullptr;
    QLineEdit* m_pProgram = nullptr;
    QPushButton* m_pBrowseProgram = nullptr;

    QCheckBox* m_pActiveCheck = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;

    CSoundDevice* m_pPreview = nullptr; // made on the first preview
    bool m_bPlaying = false;
    bool m_bInitialised = false;
    Fields m_given;
};

} // namespace zembra
