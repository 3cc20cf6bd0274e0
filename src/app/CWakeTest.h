#pragma once

// The wake test: the user's way to find out whether this computer really comes back from
// standby for an alarm. It arms a wake timer of its own a minute ahead (never the alarms'
// timer, which stays armed for the next alarm), asks for standby through the program's power
// requests, and from the sleep gauge sampled every second tells, once the machine is back,
// whether the timer woke it, someone woke it earlier, it slept through the armed moment, or it
// never slept at all.
//
// Nothing here blocks the user-interface thread: the standby request (logind may take its time
// to answer, Windows answers only after the resume) runs on a worker, and the alarms and the
// requests of later starts go on meanwhile.

#include "IWakeTimer.h"
#include "SleepGauge.h"
#include "WakeTestOutcome.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <memory>

class QWidget;

namespace zembra {

class CWakeTestDialog;
class IPowerRequests;
struct PowerResult;

class CWakeTest : public QObject {
    Q_OBJECT

public:
    using NowFunction = std::function<FileTime()>;

    // How far ahead the test timer is armed: long enough for the machine to fall asleep.
    static constexpr FileTime kLeadTime = kTicksPerMinute;
    static constexpr int kPollMs = 1000;

    // `requests` is the program's own and must outlive the test (null: no power control here).
    // The timer is created at once, so that its capability is known before the test starts.
    // `now` gives the present moment in UTC (the program's clock when empty).
    CWakeTest(std::unique_ptr<IWakeTimer> timer, IPowerRequests* requests,
              std::unique_ptr<ISleepGauge> gauge, NowFunction now = {}, QObject* parent = nullptr);
    CWakeTest(const CWakeTest&) = delete;
    CWakeTest& operator=(const CWakeTest&) = delete;
    // Cancels a test that runs, and waits for a request still on its way.
    ~CWakeTest() override;

    // Whether the test timer can wake the machine at all, and if not, why.
    WakeCapability Capability() const;
    bool IsRunning() const { return m_bRunning; }
    FileTime ArmedUtc() const { return m_armedUtc; }

    // Arms the test timer kLeadTime ahead and asks for standby. Says Started, or Finished at
    // once when the timer cannot be armed. Nothing happens while a test runs.
    void Start();
    // Disarms the test timer; the answer of a standby request already made is ignored.
    void Cancel();
    // Reads the gauge and ends the test when the samples tell how it went; runs every
    // kPollMs while the test runs (the first tick after a resume comes at once).
    void Poll();

    // Shows the capability, the progress and the outcome in the dialog, which starts the test;
    // closing the dialog cancels it. The test becomes the dialog's child.
    void Attach(CWakeTestDialog* dialog);
    // The dialog with a test over the system's own timer and gauge, shown without blocking
    // and deleted when closed.
    static CWakeTestDialog* OpenDialog(QWidget* parent, IPowerRequests* requests);

Q_SIGNALS:
    void Started(qint64 armedUtc);
    // `error`: why the computer was not put to sleep (standby refused, no timer), or empty.
    void Finished(const zembra::WakeTestVerdict& verdict, const QString& error);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnStandbyAnswered(int run, const PowerResult& result);
    void Finish(const WakeTestVerdict& verdict, const QString& error = {});
    void ShowCapability(CWakeTestDialog* dialog) const;

    std::unique_ptr<IWakeTimer> m_timer;
    IPowerRequests* m_pRequests = nullptr;
    std::unique_ptr<ISleepGauge> m_gauge;
    NowFunction m_now;
    bool m_bTimerCreated = false;
    bool m_bRunning = false;
    // Numbers the tests, so that the answer of a cancelled one is not taken for a later one's.
    int m_nRun = 0;
    FileTime m_armedUtc = 0;
    FileTime m_armedSinceBoot = 0;
    SleepGaugeSample m_previous;
    QTimer m_poll;
    // One worker: the requests of one test come one after the other.
    QThreadPool m_pool;
};

} // namespace zembra
