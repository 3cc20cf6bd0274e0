#include "CAlarmRunner.h"

#include "CTimeZoneWatcher.h"
#include "PowerBackends.h"
#include "ProgramStarter.h"
#include "TerminationSignals.h"
#include "time/Clock.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace zembra {

namespace {

// Editors and the program itself replace a list in several steps (write, rename); wait for the
// burst to settle before reading it again.
constexpr int kReloadDelayMs = 200;

std::string LocalFiringText(const DueAlarm& due)
{
    if (due.alarm.m_strFrequency == kFrequencyOnce) {
        return FormatIso(due.alarm.m_time, false);
    }
    const auto local = UtcToLocalSystemTime(due.firingUtc);
    return local ? FormatIso(*local, false) : std::string("?");
}

} // namespace

CAlarmRunner::CAlarmRunner(Options options, std::ostream& out, std::ostream& err,
                           std::unique_ptr<IWakeTimer> timer, std::unique_ptr<IPowerRequests> power)
    : m_options(std::move(options))
    , m_out(out)
    , m_err(err)
    , m_pScheduler(std::make_unique<CScheduler>())
    , m_power(power ? std::move(power) : CreatePowerRequests(m_options.simulatePowerLog))
    , m_wakeTimer(timer ? std::move(timer) : CreateEngineWakeTimer())
    , m_road([] { return Clock::Now(); })
{
    m_road.SetProgramApprovals(&m_approvals);
    m_reloadDelay.setSingleShot(true);
    m_reloadDelay.setInterval(kReloadDelayMs);
    connect(&m_reloadDelay, &QTimer::timeout, this, &CAlarmRunner::ReloadList);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { m_reloadDelay.start(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_reloadDelay.start(); });
}

CAlarmRunner::~CAlarmRunner() = default;

int CAlarmRunner::Start()
{
    const std::string& path = m_options.listPath;
    if (m_pScheduler->LoadFromFile(path) != 0) {
        m_err << "zembractl: cannot read " << path << ": " << m_pScheduler->GetLastFileError() << '\n';
        return 3;
    }
    if (m_pScheduler->GetLastLoadStatus() != CScheduler::LoadStatus::Read) {
        m_err << "zembractl: " << path << ": not an alarm list: " << m_pScheduler->GetLastFileError()
              << '\n';
        return 4;
    }

    m_wakeTimer.Init();
    if (const std::string error = m_wakeTimer.LastError(); !error.empty()) {
        m_err << "zembractl: the wake timer is not available: " << error << '\n';
    }
    const WakeCapability capability = m_wakeTimer.GetWakeCapability();
    if (capability.canWake) {
        m_err << "zembractl: the timer can wake the computer from sleep\n";
    } else if (capability.kind == WakeCapability::Kind::NoPermission) {
        m_err << "zembractl: the timer cannot wake the computer from sleep: " << capability.reason
              << "\nzembractl: to allow it, run: " << capability.command << '\n';
    } else {
        m_err << "zembractl: the timer cannot wake the computer from sleep: " << capability.reason
              << "\nzembractl: " << capability.remedy << '\n';
    }
    if (!m_options.simulatePowerLog.empty()) {
        m_err << "zembractl: power requests are simulated into " << m_options.simulatePowerLog << '\n';
    }
    for (const std::string& program : UnapprovedPrograms(*m_pScheduler, m_approvals)) {
        m_err << "zembractl: program held back (not approved): " << program << '\n';
    }
    m_err << std::flush;

    qRegisterMetaType<zembra::WakeEvent>();
    m_wakeTimer.SetNotifyWindow(this, "OnWake");
    WatchList();
    UpdateTimer();
    return 0;
}

void CAlarmRunner::UpdateTimer()
{
    FileTime firing = 0;
    const CAlarm* next = m_road.NextAlarm(*m_pScheduler, firing);
    if (next == nullptr) {
        if (!m_wakeTimer.CancelWakeTimer()) {
            m_err << "zembractl: cannot cancel the wake timer: " << m_wakeTimer.LastError() << '\n';
        }
        m_err << "zembractl: no alarm pending" << std::endl;
        return;
    }
    if (!m_wakeTimer.SetWakeTimer(firing, next->m_nId)) {
        m_err << "zembractl: cannot arm the wake timer: " << m_wakeTimer.LastError() << '\n';
    }
    const DueAlarm shown{*next, firing, firing, false, false};
    m_err << "zembractl: next alarm #" << m_pScheduler->IndexOf(next) << " at "
          << LocalFiringText(shown) << std::endl;
}

void CAlarmRunner::OnWake(const WakeEvent& event)
{
    switch (event.kind) {
    case WakeEvent::Kind::Expired:
        RunPass(event.token);
        UpdateTimer();
        break;
    case WakeEvent::Kind::ClockChanged:
        m_err << "zembractl: the system clock was set; searching the list again" << std::endl;
        m_road.OnClockSet();
        RunPass();
        UpdateTimer();
        break;
    case WakeEvent::Kind::WaitFailed:
        m_err << "zembractl: waiting for the wake timer failed: " << event.error << std::endl;
        break;
    }
}

void CAlarmRunner::OnTimeZoneChanged()
{
    m_err << "zembractl: the time zone changed; searching the list again" << std::endl;
    RunPass();
    UpdateTimer();
}

void CAlarmRunner::RunPass(std::uint64_t token)
{
    const FiringPass pass = m_road.OnFireAlarm(*m_pScheduler, token);
    for (const DueAlarm& due : pass.alarms) {
        CarryOut(due);
    }
    // One request for the pass, after every other action: the strongest on-time type.
    if (!pass.powerType.empty()) {
        RequestPower(pass.powerType);
    }
}

void CAlarmRunner::CarryOut(const DueAlarm& due)
{
    const CAlarm& alarm = due.alarm;
    // A late alarm makes no power request of any kind, the display's included.
    if (alarm.m_strType == kTypeWakeup && !due.late) {
        if (const PowerResult result = m_power->DisplayOn(); !result.ok) {
            m_err << "zembractl: cannot turn the display on: " << result.error << '\n';
        }
    }
    m_out << LocalFiringText(due) << ' ' << alarm.m_strType << ' ' << alarm.m_strComment << ": "
          << (alarm.m_bMessageActive ? alarm.m_strMessage : std::string());
    // A late alarm (the machine slept through it, or the engine could not run) never changes
    // the power state: switching the machine off the moment it wakes would close the user's
    // programs without a warning.
    if (due.late) {
        m_out << " (late " << due.LateMinutes() << " min)";
        if (IsPowerType(alarm.m_strType)) {
            m_out << ", " << alarm.m_strType << " skipped";
        }
    }
    m_out << std::endl;
    if (due.programHeldBack) {
        // A list from elsewhere starts nothing the user has not approved (zembractl approve).
        m_err << "zembractl: program held back (not approved): " << alarm.m_strProgram << std::endl;
    } else if (alarm.m_bProgramActive && !alarm.m_strProgram.empty()) {
        StartProgram(alarm.m_strProgram);
    }
}

void CAlarmRunner::StartProgram(const std::string& commandLine)
{
    std::string error;
    if (!zembra::StartProgram(commandLine, error)) {
        m_err << "zembractl: cannot start " << commandLine << ": " << error << std::endl;
    }
}

void CAlarmRunner::RequestPower(const std::string& type)
{
    PowerResult result;
    const char* what = nullptr;
    if (type == kTypeStandby) {
        what = "standby";
        result = m_power->Standby();
    } else if (type == kTypeHibernate) {
        what = "hibernation";
        result = m_power->Hibernate();
    } else if (type == kTypeShutdown) {
        what = "shutdown";
        result = m_power->Shutdown();
    } else {
        return;
    }
    if (!result.ok) {
        m_err << "zembractl: the " << what << " request failed: " << result.error << std::endl;
    }
}

void CAlarmRunner::WatchList()
{
    // The folder is watched too: a list saved by renaming a new file over it is a new file,
    // which a watch on the old one never sees.
    const QFileInfo info(QString::fromStdString(m_options.listPath));
    const QString file = info.absoluteFilePath();
    if (!m_watcher.files().contains(file) && info.exists()) {
        m_watcher.addPath(file);
    }
    if (m_watcher.directories().isEmpty()) {
        m_watcher.addPath(info.absolutePath());
    }
}

void CAlarmRunner::ReloadList()
{
    WatchList();
    auto fresh = std::make_unique<CScheduler>();
    if (fresh->LoadFromFile(m_options.listPath) != 0
        || fresh->GetLastLoadStatus() != CScheduler::LoadStatus::Read) {
        m_err << "zembractl: " << m_options.listPath << " changed but cannot be read ("
              << fresh->GetLastFileError() << "); keeping the alarms read before" << std::endl;
        return;
    }
    if (fresh->ToFileText() == m_pScheduler->ToFileText()) {
        return;
    }
    // What fell due on the list as it was is carried out before the new one takes over, so
    // that the change neither drops it nor rings what the new list adds in the past.
    RunPass();
    m_pScheduler = std::move(fresh);
    m_err << "zembractl: " << m_options.listPath << " changed: " << m_pScheduler->Count()
          << " alarms" << std::endl;
    UpdateTimer();
}

int RunAlarmEngine(const std::string& listPath, const std::string& simulatePowerLog,
                   std::ostream& out, std::ostream& err)
{
    static int argc = 1;
    static char name[] = "zembractl";
    static char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    if (!ExitOnTerminationSignals(app)) {
        err << "zembractl: cannot set up signal handling\n";
        return 1;
    }

    CAlarmRunner runner({listPath, simulatePowerLog}, out, err);
    if (const int status = runner.Start(); status != 0) {
        return status;
    }
    CTimeZoneWatcher zone(SystemTimeZoneSources());
    QObject::connect(&zone, &CTimeZoneWatcher::ZoneChanged, &runner, &CAlarmRunner::OnTimeZoneChanged);
    const int status = QCoreApplication::exec();
    err << "zembractl: stopped" << std::endl;
    return status;
}

} // namespace zembra
