#pragma once

// The tip of the day: a random tip of the current language's list, "Następna" for another one,
// and the choice of showing tips at start-up. The caller fills m_bShowAtStartup, runs exec()
// and, only when it ends with OK, reads the field back; Escape and the close box leave it alone.

#include <QDialog>
#include <QRandomGenerator>

class QCheckBox;
class QPushButton;

namespace zembra {

class CStartupTip;

class CTipsDialog : public QDialog {
    Q_OBJECT

public:
    explicit CTipsDialog(QWidget* parent = nullptr);

    bool m_bShowAtStartup = false;

    // Initialises the controls from the field and shows a random tip, then runs.
    int exec() override;
    // What exec() does before running, for a caller that shows the dialog itself.
    void InitDialog();
    // Puts a tip picked at random from the tips list into the tip control; nothing when the
    // list is empty. The same tip may come twice in a row.
    void ShowRandomTip();

    // OK: reads the check box into the field.
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void RetranslateUi();

    CStartupTip* m_tip = nullptr;
    QCheckBox* m_pShowAtStartup = nullptr;
    QPushButton* m_pNext = nullptr;
    QPushButton* m_pOk = nullptr;
    QRandomGenerator m_random;
};

} // namespace zembra
