#pragma once

// The application: one per user at a time, it owns the settings, the wake timer, the power
// requests and the alerter thread, creates the document and the main window, and starts up in
// a fixed order: settings, timer, alerter, document, window, language, shown or in the tray,
// the list to open, the tip of the day.

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLocalServer;

namespace zembra {

class CAlerterThread;
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

    // Starts up; false when the program must end at once.
    bool InitInstance(const Options& options);
    // Ends: stops the alerter thread (restoring a raised volume) and the instance lock.
    int ExitInstance();

    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    CZembracfgDoc* Document() const { return m_pDoc.get(); }
    CSettings& Settings() const { return *m_settings; }
    CAlerterThread* Alerter() const { return m_pAlerterThread.get(); }

private:
    void OnInstanceMessage();
    // Once per start while armed alarms cannot wake the computer, until the user says no more.
    void ShowWakeHint();

    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CPower> m_power;
    std::unique_ptr<IPowerRequests> m_powerRequests;
    std::unique_ptr<CAlerterThread> m_pAlerterThread;
    std::unique_ptr<CZembracfgDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<QLocalServer> m_instanceServer;
    std::unique_ptr<CTimeZoneWatcher> m_zoneWatcher;
};

} // namespace zembra
