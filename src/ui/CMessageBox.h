#pragma once

// Every question and message box of the program goes through here, so that a test can answer
// in advance instead of blocking on a modal window, and can read what would have been shown.

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>

class QWidget;

namespace zembra {

class CMessageBox {
public:
    // A question with the given buttons; returns the button chosen.
    static QMessageBox::StandardButton Ask(QWidget* parent, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton,
                                           QMessageBox::Icon icon = QMessageBox::Question);
    // A message with an OK button.
    static void Show(QWidget* parent, const QString& text,
                     QMessageBox::Icon icon = QMessageBox::Warning);

    // Tests: the next boxes are not shown but answered with these buttons, in order (a Show
    // takes no answer). Every text that would have been shown is recorded.
    static void SetNextAnswers(std::deque<QMessageBox::StandardButton> answers);
    static void SetTestMode(bool on);
    static QStringList TakeShownTexts();
};

// The same seam for the file dialogs.
class CFileDialog {
public:
    // Empty when the user cancelled.
    static QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& filter);
    // `defaultSuffix` is added to a name typed without one before the overwrite question.
    static QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                                   const QString& suggested = {}, const QString& defaultSuffix = {});

    // Tests: the next dialogs return these names (an empty one means Cancel).
    static void SetNextFileNames(std::deque<QString> names);
};

} // namespace zembra
