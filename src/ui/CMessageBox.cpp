#include "CMessageBox.h"

#include <QApplication>
#include <QFileDialog>

namespace zembra {

namespace {

struct Seam {
    bool testMode = false;
    std::deque<QMessageBox::StandardButton> answers;
    QStringList shown;
    std::deque<QString> fileNames;
};

Seam& TheSeam()
{
    static Seam seam;
    return seam;
}

QString Title()
{
    return QApplication::applicationDisplayName().isEmpty() ? QStringLiteral("Zembra")
                                                            : QApplication::applicationDisplayName();
}

} // namespace

QMessageBox::StandardButton CMessageBox::Ask(QWidget* parent, const QString& text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton,
                                             QMessageBox::Icon icon)
{
    Seam& seam = TheSeam();
    if (seam.testMode || !seam.answers.empty()) {
        seam.shown << text;
        if (seam.answers.empty()) {
            // Unanswered in a test: take the safe way out rather than block.
            return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::No;
        }
        const QMessageBox::StandardButton answer = seam.answers.front();
        seam.answers.pop_front();
        return answer;
    }
    QMessageBox box(icon, Title(), text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void CMessageBox::Show(QWidget* parent, const QString& text, QMessageBox::Icon icon)
{
    Seam& seam = TheSeam();
    if (seam.testMode) {
        seam.shown << text;
        return;
    }
    QMessageBox box(icon, Title(), text, QMessageBox::Ok, parent);
    box.exec();
}

void CMessageBox::SetNextAnswers(std::deque<QMessageBox::StandardButton> answers)
{
    TheSeam().answers = std::move(answers);
}

void CMessageBox::SetTestMode(bool on)
{
    TheSeam().testMode = on;
}

QStringList CMessageBox::TakeShownTexts()
{
    QStringList texts;
    texts.swap(TheSeam().shown);
    return texts;
}

QString CFileDialog::GetOpenFileName(QWidget* parent, const QString& caption, const QString& filter)
{
    Seam& seam = TheSeam();
    if (seam.testMode) {
        if (seam.fileNames.empty()) {
            return {};
        }
        QString name = seam.fileNames.front();
        seam.fileNames.pop_front();
        return name;
    }
    return QFileDialog::getOpenFileName(parent, caption, {}, filter);
}

QString CFileDialog::GetSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                                     const QString& suggested, const QString& defaultSuffix)
{
    Seam& seam = TheSeam();
    if (seam.testMode) {
        if (seam.fileNames.empty()) {
            return {};
        }
        QString name = seam.fileNames.front();
        seam.fileNames.pop_front();
        return name;
    }
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

void CFileDialog::SetNextFileNames(std::deque<QString> names)
{
    TheSeam().fileNames = std::move(names);
}

} // namespace zembra
