#pragma once

// Answers the next modal window from inside its own event loop, as a user would: the test arms
// it before the call that opens the window, and the window runs its real modal loop.

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace zembra::test {

// Runs `act` on the first modal window (of the class `className`, when given) that appears
// within ten seconds; gives up silently after that (the test then fails on what it expected the
// answer to do).
inline void AnswerNextModal(std::function<void(QWidget*)> act, const char* className = nullptr)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, deadline = QDeadlineTimer(10000), act = std::move(act), className] {
                         QWidget* modal = QApplication::activeModalWidget();
                         const bool found = modal != nullptr && modal->isVisible()
                                            && (className == nullptr || modal->inherits(className));
                         if (found || deadline.hasExpired()) {
                             timer->stop();
                             timer->deleteLater();
                         }
                         if (found) {
                             act(modal);
                         }
                     });
    timer->start(10);
}

// Answers the next message box with a button, the way a click does, keeping its text.
inline void AnswerNextBox(QMessageBox::StandardButton which, QString* text = nullptr)
{
    AnswerNextModal(
        [which, text](QWidget* box) {
            auto* message = static_cast<QMessageBox*>(box);
            if (text != nullptr) {
                *text = message->text();
            }
            if (QAbstractButton* button = message->button(which)) {
                button->click();
            }
        },
        "QMessageBox");
}

} // namespace zembra::test
