#pragma once

// The help on a dialog's controls: F1 shows the focused control's What's This text, Shift+F1
// starts the help mode in which the next click on a control shows its text. Shared by every
// dialog with help texts.

#include <QObject>

class QDialog;
class QWidget;

namespace zembra {

class CControlHelp : public QObject {
    Q_OBJECT

public:
    // Catches the help keys on the dialog and on every control it holds at this moment.
    static void Install(QDialog* dialog);
    // Shows the control's text at the mouse, as a click in the help mode would, or below the
    // control when the mouse is outside the dialog (the user then works with the keyboard).
    // A control without a text shows nothing.
    static void Show(const QWidget* dialog, QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CControlHelp(QDialog* dialog);

    QDialog* m_pDialog;
};

} // namespace zembra
