#pragma once

// The program's one top-level window: menus, toolbar, the alarm list view, and the tray icon.
// Closing it does not end the program: the window goes to the tray and the alarms go on; only
// the exit command ends it.

#include <QMainWindow>
#include <QMap>

#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QMenu;

namespace zembra {

class CAlerterThread;
class CSettings;
class CSystemTray;
class CTrueColorToolBar;
class CZembracfgDoc;
class CZembracfgView;
class CDialogSettings;
class CLateAlarmsNotice;
class CPowerCountdown;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Command ids of the menus, toolbar, tray and accelerators.
    enum Command {
        kFileNew = 57600,
        kFileOpen = 57601,
        kFileSave = 57603,
        kFileSaveAs = 57604,
        kFileRecent1 = 57616, // .. 57619
        kAppExit = 57665,
        kAppAbout = 57664,
        kHelpTopics = 57667,
        kHelp = 57670,
        kContextHelp = 57669,
        kNewAlarm = 32784,
        kDeleteAlarm = 32785,
        kEditAlarm = 32786,
        kSleep = 32787,
        kConfirm = 32792,
        kClearMessages = 32794,
        kSettings = 32776,
        kRestore = 32782,
        kHide = 32783,
        kTipOfTheDay = 32789,
        kLangEnglish = 32790,
        kLangPolish = 32774,
        kLangGerman = 32791,
        kWakeTest = 32793,
    };

    CMainFrame(CZembracfgDoc& doc, CSettings& settings, CAlerterThread* alerter,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    CZembracfgView* View() const { return m_pView; }
    CSystemTray* Tray() const { return m_trayIcon.get(); }
    CTrueColorToolBar* ToolBar() const { return m_wndToolBar; }
    QAction* Action(int command) const { return m_actions.value(command); }

    // Sends the window to the tray (or, with no tray on this desktop, minimises it).
    void HideToTray();
    void RestoreFromTray();
    // Stops a ringing alarm: the sound fades out, the tray icon stops.
    void SilenceAlarm();
    // The tray icon was clicked: silences a ringing alarm, else shows or hides the window.
    void OnTrayClicked();
    // The start asked for the tray (HideOnStartup, --hidden): there now, or as soon as a panel
    // with a tray comes up.
    void StartInTray();
    // The settings command: the dialog, then everything it changed is stored and applied.
    void OnSettings();
    // Switches the interface language: 0 follows the system, 1 English, 2 Polish, 3 German.
    void SetLanguage(int language);
    int Language() const { return m_nLanguage; }
    // How many translation files were loaded in this run (each language at most once).
    static int TranslatorLoads();
    // True when the desktop shows a tray icon; without one the window is never hidden.
    bool HasTray() const { return m_bHasTray; }
    // Tests: behave as on a desktop with (or without) a tray.
    void SetHasTrayForTesting(bool hasTray) { m_bHasTray = hasTray; }
    // Brings every command's enabled state up to date.
    void UpdateCommandStates();
    // Exits after the unsaved-changes question (false when the user cancelled).
    bool Exit();

    // Tests: the settings dialog is run through this instead of exec().
    using SettingsRunner = std::function<int(CDialogSettings&)>;
    void SetSettingsRunner(SettingsRunner runner) { m_settingsRunner = std::move(runner); }

    // "Zembra wersja 1.6" needs the version; the about box and the tips come from here.
    void ShowAbout();
    // The help about a command (0: the page on how the program works).
    void ShowHelpFor(int command);
    void ShowTipOfTheDay();
    // The notice of the late alarms of one pass (created on first use).
    CLateAlarmsNotice* LateNotice();
    // The ringing alarms fall quiet and ring again in `minutes` (0: the setting's length).
    void SnoozeAlarm(int minutes);
    QMenu* SnoozeMenu() const { return m_pSnoozeMenu; }
    // The warning window before power alarms.
    CPowerCountdown* Countdown() const { return m_pCountdown.get(); }

Q_SIGNALS:
    void ExitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int CommandUnderMouse() const;
    QAction* AddAction(int command, QMenu* menu = nullptr);
    void CreateActions();
    void CreateMenus();
    void RetranslateUi();
    void UpdateRecentFiles();
    void UpdateButtonTexts();
    void SetTrayDefault(int command);
    // The snooze lengths, the one from the settings marked as the default.
    void UpdateSnoozeMenu();
    // The tray menu's entries of the moment: snooze, and the power countdown's commands.
    void UpdateTrayExtras();
    void StopWaitingForTray();

    CZembracfgDoc& m_doc;
    CSettings& m_settings;
    CAlerterThread* m_pAlerter;
    CZembracfgView* m_pView = nullptr;
    std::unique_ptr<CSystemTray> m_trayIcon;
    CTrueColorToolBar* m_wndToolBar = nullptr;
    QMap<int, QAction*> m_actions;
    QMap<int, QMenu*> m_menus;
    QList<QAction*> m_recentActions;
    QActionGroup* m_languageGroup = nullptr;
    int m_nLanguage = 2;
    bool m_bHasTray = false;
    bool m_bHideWhenTrayAppears = false;
    bool m_bShownOnce = false;
    bool m_bToldNoTray = false;
    bool m_bExiting = false;
    SettingsRunner m_settingsRunner;
    // A window of its own, so that it shows while the frame is in the tray.
    std::unique_ptr<CLateAlarmsNotice> m_pLateNotice;
    QMenu* m_pSnoozeMenu = nullptr;
    std::unique_ptr<CPowerCountdown> m_pCountdown;
    QList<QMenu*> m_countdownMenus;
};

} // namespace zembra
