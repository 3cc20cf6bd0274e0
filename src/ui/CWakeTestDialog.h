#pragma once

// The window of the wake test. It says what the test does before anything happens (a timer a
// minute ahead, standby, the computer should come back by itself), what stands in the way of
// waking when something does (with the command that fixes it), and, once the computer is back,
// how it went. It never blocks: alarms ring and other starts are served while it is open.
// The test itself is run by its controller, which fills this window and hears its Start button.

#include "WakeTestOutcome.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zembra {

class CWakeTestDialog : public QDialog {
    Q_OBJECT

public:
    explicit CWakeTestDialog(QWidget* parent = nullptr);

    // Why an armed timer cannot wake this computer, in the current language (empty: it can),
    // and the one command that grants what is missing (empty: none).
    void SetWakeProblem(const QString& why, const QString& command);
    // The test runs, with the test timer armed for this UTC moment (FileTime ticks).
    void ShowRunning(qint64 armedUtc);
    // The test has ended; `error` tells why the computer was not put to sleep, when it was not.
    void ShowResult(const zembra::WakeTestVerdict& verdict, const QString& error);

    // What the window says about the test now (before, during, after).
    QString StatusText() const;
    // "12 s" below two minutes, "5 min" above.
    static QString DurationText(FileTime ticks);

Q_SIGNALS:
    void StartRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    enum class Phase { Ready, Running, Done };

    void RetranslateUi();
    void UpdateStatus();
    void FitToText();
    QString ResultText() const;

    QLabel* m_stExplain = nullptr;
    QLabel* m_stProblem = nullptr;
    QLineEdit* m_edCommand = nullptr;
    QLabel* m_stStatus = nullptr;
    QPushButton* m_btnStart = nullptr;
    QPushButton* m_btnClose = nullptr;

    Phase m_phase = Phase::Ready;
    QString m_strWhy;
    QString m_strCommand;
    qint64 m_armedUtc = 0;
    WakeTestVerdict m_verdict;
    QString m_strError;
};

} // namespace zembra
