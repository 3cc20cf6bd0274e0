#pragma once

// The application: one per user at a time, it owns the settings, the wake timer, the power
// requests and the alerter thread, creates the document and the main window, and starts up in
// a fixed order: settings, timer, alerter, document, window, language, shown or in the tray,
// the list to open, the tip of the day.

#include <QObject>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class QLocalServer;

namespace zembra {

class CAlerterThread;
class CDBusService;
class CMainFrame;
class CPower;
class CSettings;
class CTimeZoneWatcher;
class CZembracfgDoc;
class IPowerRequests;

class CZembracfgApp : public QObject {
    Q_OBJECT

public:
    struct Options {
        QString file;             // a list to open
        bool hidden = false;      // start in the tray
        QString simulatePowerLog; // simulated power requests into this file
        bool noTips = false;      // tests: never show the tip of the day
    };

    CZembracfgApp();
    ~CZembracfgApp() override;

    // The name both instances meet under: one per user.
    static QString InstanceKey();
    // Another instance already runs: hands it the file to open (or just asks it to show its
    // window) and returns true, so that this start ends at once.
    static bool HandOverToRunningInstance(const QString& file);

    // Starts up; false when the program must end at once. The tip of the day and the offer of
    // a recovered list come once the event loop runs.
    bool InitInstance(const Options& options);
    // True once the program has been asked to end (Exit, a signal, the session): its event
    // loops end, and a start-up still under way must not enter a new one.
    bool IsExiting() const { return m_bExiting; }
    // SIGTERM or SIGINT: an unsaved list goes to the recovery copy and the program ends within
    // a second, whatever dialog is open.
    void OnTerminationSignal();
    // The session ends (logout): with questions allowed, the unsaved-changes question (false
    // when the user cancelled, which cancels the logout); without, the recovery copy.
    bool OnCommitData(bool interactionAllowed);
    // A list left unsaved by an earlier run: offered back with a question.
    void OfferRecovery();
    // Ends: stops the alerter thread (restoring a raised volume) and the instance lock.
    int ExitInstance();

    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    CZembracfgDoc* Document() const { return m_pDoc.get(); }
    CSettings& Settings() const { return *m_settings; }
    CAlerterThread* Alerter() const { return m_pAlerterThread.get(); }
    // The interface on the session bus (offered only when the bus lets this instance have it).
    CDBusService* DBusService() const { return m_dbus.get(); }
    // Requests of later starts not carried out yet (they wait for the alarm dialog).
    qsizetype PendingHandOvers() const { return m_handOvers.size(); }

private:
    void OnInstanceMessage();
    // Carries out the requests of later starts, one after the other, none while the alarm
    // dialog is open.
    void ProcessHandOvers();
    // Once per start while armed alarms cannot wake the computer, until the user says no more.
    void ShowWakeHint();

    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CPower> m_power;
    std::unique_ptr<IPowerRequests> m_powerRequests;
    std::unique_ptr<CAlerterThread> m_pAlerterThread;
    std::unique_ptr<CZembracfgDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<CDBusService> m_dbus;
    std::unique_ptr<QLocalServer> m_instanceServer;
    QStringList m_handOvers;
    bool m_bHandingOver = false;
    std::unique_ptr<CTimeZoneWatcher> m_zoneWatcher;
    bool m_bExiting = false;
    // Ends the process if an orderly end takes longer than a second after a signal.
    std::thread m_watchdog;
    std::mutex m_watchdogMutex;
    std::condition_variable m_watchdogCancel;
    bool m_bWatchdogCancelled = false;
};

} // namespace zembra
