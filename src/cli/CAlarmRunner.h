#pragma once

// The alarm engine without a desktop, behind `zembractl run`: it keeps the wake timer armed for
// the earliest alarm of a list file and carries each alarm out when it comes due: one line on
// the output, its program, and the power request of its type (on time only). It follows the
// file when it changes on disk, and the system clock and zone when someone sets them.

#include "CPower.h"
#include "CProgramApprovals.h"
#include "IPowerRequests.h"
#include "model/CFiringRoad.h"
#include "model/CScheduler.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <memory>
#include <ostream>
#include <string>

namespace zembra {

class CAlarmRunner : public QObject {
    Q_OBJECT

public:
    struct Options {
        std::string listPath;
        std::string simulatePowerLog; // empty: the system's power requests
    };

    CAlarmRunner(Options options, std::ostream& out, std::ostream& err,
                 std::unique_ptr<IWakeTimer> timer = nullptr,
                 std::unique_ptr<IPowerRequests> power = nullptr);
    ~CAlarmRunner() override;

    // Loads the list and arms the timer; returns an exit status (0 when running).
    int Start();

public Q_SLOTS:
    void OnWake(const zembra::WakeEvent& event);
    // The zone rules have been reloaded: the alarms are searched again.
    void OnTimeZoneChanged();

private:
    // Carries out what fell due up to now; `token` names the alarm the timer was armed for.
    void RunPass(std::uint64_t token = 0);
    void UpdateTimer();
    void CarryOut(const DueAlarm& due);
    void ReloadList();
    void WatchList();
    void StartProgram(const std::string& commandLine);
    void RequestPower(const std::string& type);

    Options m_options;
    std::ostream& m_out;
    std::ostream& m_err;
    std::unique_ptr<CScheduler> m_pScheduler;
    std::unique_ptr<IPowerRequests> m_power;
    CProgramApprovals m_approvals;
    CPower m_wakeTimer;
    CFiringRoad m_road;
    QFileSystemWatcher m_watcher;
    QTimer m_reloadDelay;
};

// Runs `zembractl run` until SIGINT or SIGTERM; returns the exit status.
int RunAlarmEngine(const std::string& listPath, const std::string& simulatePowerLog,
                   std::ostream& out, std::ostream& err);

} // namespace zembra
