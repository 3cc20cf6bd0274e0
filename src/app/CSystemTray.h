#pragma once

// The program's icon in the desktop's notification area: its pop-up menu, the double click that
// runs the menu's default command, the icon animation while an alarm rings, and moving the main
// window into the tray and back.
//
// The menu's commands belong to the main frame. The tray keeps one entry per command with its
// own label (the tray says "Potwierdź alarm" where the menu bar says "&Potwierdź"); each entry
// mirrors the enabled state of the frame's QAction for that command and triggers it, so the
// frame's rules decide what is enabled in both places.
//
// A desktop that restarts its panel gets the icon back by itself: Qt registers the item again
// with the new StatusNotifier watcher (or the new XEmbed tray), with the current icon and
// tooltip. A panel that comes up only after the program (a login where autostart wins the race)
// is noticed here: Qt chooses between a StatusNotifier item and an XEmbed icon once per process,
// when its first icon is made, so the Qt icon is made only once a tray host is there (see
// TrayHosts.h), and AvailabilityChanged tells the frame that windows may now go to the tray.

#include <QIcon>
#include <QList>
#include <QMap>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QRect>
#include <QSystemTrayIcon>
#include <QTimer>

class QDBusServiceWatcher;

#include "time/ZTime.h"

class QAction;
class QEvent;
class QMenu;
class QWidget;

namespace zembra {

class CSystemTray : public QObject {
    Q_OBJECT

public:
    // Command ids of the pop-up menu's entries (the frame's commands).
    static constexpr int kIdAppAbout = 57664;
    static constexpr int kIdRestore = 32782;
    static constexpr int kIdHide = 32783;
    static constexpr int kIdConfirmAlarm = 32792;
    static constexpr int kIdClearMessages = 32794;
    static constexpr int kIdAppExit = 57665;

    explicit CSystemTray(QObject* parent = nullptr);
    CSystemTray(const CSystemTray&) = delete;
    CSystemTray& operator=(const CSystemTray&) = delete;
    ~CSystemTray() override;

    // The images the program ships: the program icon (window and desktop files), the tray's
    // resting icon and the tray's second animation frame.
    static QIcon ProgramIcon();
    static QIcon RestingIcon();
    static QIcon RingingIcon();

    // Sets the icon up for `target` (the window the menu's commands are for; without it a double
    // click does nothing) with its tooltip and icon, shown unless `hidden`. The icon is installed
    // even when no tray host answers, so that a panel starting later still shows it; the result
    // says whether one answers now, and the caller must not send its window into the tray when
    // it is false.
    bool CreateTrayIcon(QWidget* target, const QString& tooltip, const QIcon& icon,
                        bool hidden = false);
    // Whether the desktop shows tray icons at this moment.
    static bool IsAvailable();
    // Takes the icon off the desktop; true when it is gone.
    bool RemoveTrayIcon();

    // Changes the icon shown; false before CreateTrayIcon. A hidden icon keeps it for later.
    bool SetTrayIcon(const QIcon& icon);
    // The icon shown; null before CreateTrayIcon.
    QIcon GetTrayIcon() const;
    // Where the icon sits on the screen; empty when it is not shown or the desktop does not
    // tell (a StatusNotifier panel keeps that to itself).
    QRect IconGeometry() const;
    // Changes the tooltip; false before CreateTrayIcon.
    bool SetTooltipText(const QString& tooltip);
    QString GetTooltipText() const;

    // Binds the menu's entries to the frame's actions, keyed by command id. An entry then shows
    // the action's enabled state and triggers it when chosen; an entry without an action stays
    // disabled. Replaces any earlier binding.
    void SetMenuActions(const QMap<int, QAction*>& actions);
    // The pop-up menu, owned by the tray.
    QMenu* GetMenu() const;
    // Entries of the moment (snooze, the power countdown's commands), shown after "Potwierdź
    // alarm"; they replace the ones given before. The tray does not own them.
    void SetExtraActions(const QList<QAction*>& actions);
    // Makes an entry the menu's default (shown bold, run by a double click): the entry at
    // position `item` (separators count) when `byPosition`, else the entry with command id
    // `item`. Always true: the menu exists as long as the tray does.
    bool SetDefaultMenuItem(unsigned item, bool byPosition);
    // The entry a double click would run now; null when the default names no command.
    QAction* GetDefaultMenuAction() const;

    // Replaces the animation frames; true.
    bool SetAnimationIcons(const QList<QIcon>& icons);
    bool IsAnimating() const;
    // One tick of the animation timer: ends the animation when its time is up, otherwise shows
    // the next frame. Does nothing when no animation runs.
    void OnAnimationTimer();

    // Takes a window off the screen and the task bar, keeping its state (maximised and so on).
    static void HideToTray(QWidget* window);
    // Shows the window again, un-minimised, raised and active.
    static void ShowFromTray(QWidget* window);

    // Sets the menu's texts in the current language; also done on every language change.
    void RetranslateUi();

    // The Qt icon behind the tray (made now if no host made it yet), so that tests can emit its
    // activated() signal.
    QSystemTrayIcon* TrayIconForTesting();

public Q_SLOTS:
    // Cycles the icon through the frames, one step every `delayMs`, from the frame after the
    // first; after `seconds` (taken as unsigned, so -1 and 0 mean without end) it stops by
    // itself. Restarts a running animation. False when there are no frames or the delay is
    // negative. Runs on the tray's thread: other threads reach it through a queued connection.
    bool StartAnimation(int delayMs, int seconds);
    // Stops the animation and puts back the icon shown before it; true when one was running.
    // When idle it changes nothing.
    bool StopAnimation();

Q_SIGNALS:
    // A single left click on the icon (the frame silences a ringing alarm with it, and
    // otherwise shows or hides the window). StatusNotifier panels report only such clicks.
    void LeftClicked();
    // A tray host appeared (or went) after the icon was made.
    void AvailabilityChanged(bool available);
    // The menu is about to open: the frame brings its actions' enabled state up to date.
    void MenuAboutToShow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    // Makes the Qt icon, as it is now, once a tray host is there.
    void MakeIcon();
    void CheckAvailability();
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void ClearBindings();

    QSystemTrayIcon* m_pTrayIcon = nullptr; // made only once a tray host is there
    QIcon m_icon;
    QString m_strTooltip;
    bool m_bVisible = false;
    bool m_bAvailable = false;
    QTimer m_availabilityPoll{this};
    int m_nPollsLeft = 0;
    QDBusServiceWatcher* m_pHostWatcher = nullptr;
    QMenu* m_pMenu = nullptr;                    // owned; a top-level pop-up has no parent widget
    QMap<int, QAction*> m_menuEntries;           // the menu's own entries by command id
    QMap<int, QPointer<QAction>> m_boundActions; // the frame's actions the entries stand for
    QList<QMetaObject::Connection> m_bindings;
    QList<QPointer<QAction>> m_extraActions;

    bool m_bEnabled = false; // CreateTrayIcon has run
    QPointer<QWidget> m_pNotifyTarget;

    unsigned m_nDefaultItem = 0;
    bool m_bDefaultByPos = true;

    QList<QIcon> m_icons;
    QTimer m_animTimer{this};
    int m_nCurrentIcon = 0;
    FileTime m_timeAnimStart = 0; // UTC: a daylight-saving change must not end the animation
    int m_nAnimSeconds = 0;
    QIcon m_iconSaved;
};

} // namespace zembra
