#include "CSystemTray.h"

#include "time/Clock.h"

#include "TrayHosts.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QEvent>
#include <QMenu>
#include <QThread>
#include <QWidget>

// The images live in a static library: nothing would pull their object file into the program
// unless something names the registration function. Q_INIT_RESOURCE cannot be used inside a
// namespace.
static void InitTrayResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(tray);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace zembra {

namespace {

// Entries of the pop-up menu from top to bottom; 0 is a separator.
constexpr int kMenuLayout[] = {
    CSystemTray::kIdAppAbout,      0, CSystemTray::kIdRestore,
    CSystemTray::kIdHide,          0, CSystemTray::kIdConfirmAlarm,
    CSystemTray::kIdClearMessages, 0, CSystemTray::kIdAppExit,
};

// Whole seconds of a span of ticks, a half second rounded away from zero.
std::int64_t RoundToSeconds(FileTime ticks)
{
    constexpr FileTime half = kTicksPerSecond / 2;
    std::int64_t seconds = ticks / kTicksPerSecond;
    const FileTime rest = ticks % kTicksPerSecond;
    if (rest >= half) {
        ++seconds;
    } else if (rest <= -half) {
        --seconds;
    }
    return seconds;
}

QIcon ImageIcon(const QString& path)
{
    InitTrayResources();
    return QIcon(path);
}

} // namespace

CSystemTray::CSystemTray(QObject* parent)
    : QObject(parent)
    , m_pMenu(new QMenu())
{
    m_pMenu->setObjectName(QStringLiteral("trayPopup"));
    BuildMenu();
    m_pMenu->installEventFilter(this);

    connect(m_pMenu, &QMenu::aboutToShow, this, [this] {
        Q_EMIT MenuAboutToShow();
        m_pMenu->setDefaultAction(GetDefaultMenuAction());
    });

    m_animTimer.setObjectName(QStringLiteral("trayAnimationTimer"));
    connect(&m_animTimer, &QTimer::timeout, this, &CSystemTray::OnAnimationTimer);

    // A StatusNotifier host says so on the session bus; an XEmbed tray only shows in X's
    // selection, which is looked at every two seconds for the first ten minutes after start.
    m_pHostWatcher = new QDBusServiceWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                                             QDBusConnection::sessionBus(),
                                             QDBusServiceWatcher::WatchForRegistration, this);
    connect(m_pHostWatcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        // Give the host a moment to say that it is there before Qt asks.
        QTimer::singleShot(200, this, &CSystemTray::CheckAvailability);
    });
    m_availabilityPoll.setInterval(2000);
    connect(&m_availabilityPoll, &QTimer::timeout, this, &CSystemTray::CheckAvailability);
}

CSystemTray::~CSystemTray()
{
    // The icon goes first: it refers to the menu.
    ClearBindings();
    delete m_pTrayIcon;
    m_pTrayIcon = nullptr;
    delete m_pMenu;
}

QIcon CSystemTray::ProgramIcon()
{
    return ImageIcon(QStringLiteral(":/images/zembra.svg"));
}

QIcon CSystemTray::RestingIcon()
{
    return ImageIcon(QStringLiteral(":/images/tray_clock.svg"));
}

QIcon CSystemTray::RingingIcon()
{
    return ImageIcon(QStringLiteral(":/images/tray_ringing.svg"));
}

bool CSystemTray::CreateTrayIcon(QWidget* target, const QString& tooltip, const QIcon& icon,
                                 bool hidden)
{
    const bool available = IsAvailable();
    m_bEnabled = true;
    m_bAvailable = available;
    m_pNotifyTarget = target;
    m_strTooltip = tooltip;
    m_icon = icon;
    m_bVisible = !hidden;
    if (available) {
        MakeIcon();
    } else {
        m_nPollsLeft = 300;
        m_availabilityPoll.start();
    }
    return available;
}

void CSystemTray::CheckAvailability()
{
    const bool available = IsAvailable();
    if (m_nPollsLeft > 0 && --m_nPollsLeft == 0) {
        m_availabilityPoll.stop();
    }
    if (available == m_bAvailable) {
        return;
    }
    m_bAvailable = available;
    if (available) {
        m_availabilityPoll.stop();
        MakeIcon();
    }
    Q_EMIT AvailabilityChanged(available);
}

void CSystemTray::MakeIcon()
{
    if (m_pTrayIcon != nullptr) {
        return;
    }
    m_pTrayIcon = new QSystemTrayIcon(this);
    m_pTrayIcon->setContextMenu(m_pMenu);
    connect(m_pTrayIcon, &QSystemTrayIcon::activated, this, &CSystemTray::OnActivated);
    m_pTrayIcon->setToolTip(m_strTooltip);
    m_pTrayIcon->setIcon(m_icon);
    m_pTrayIcon->setVisible(m_bVisible);
}

bool CSystemTray::IsAvailable()
{
    return StatusNotifierHostPresent() || XEmbedTrayPresent();
}

bool CSystemTray::RemoveTrayIcon()
{
    m_bVisible = false;
    if (m_pTrayIcon != nullptr) {
        m_pTrayIcon->setVisible(false);
    }
    return true;
}

bool CSystemTray::SetTrayIcon(const QIcon& icon)
{
    if (!m_bEnabled) {
        return false;
    }
    m_icon = icon;
    if (m_pTrayIcon != nullptr) {
        m_pTrayIcon->setIcon(icon);
    }
    return true;
}

QIcon CSystemTray::GetTrayIcon() const
{
    return m_bEnabled ? m_icon : QIcon();
}

bool CSystemTray::SetTooltipText(const QString& tooltip)
{
    if (!m_bEnabled) {
        return false;
    }
    m_strTooltip = tooltip;
    if (m_pTrayIcon != nullptr) {
        m_pTrayIcon->setToolTip(tooltip);
    }
    return true;
}

QString CSystemTray::GetTooltipText() const
{
    return m_bEnabled ? m_strTooltip : QString();
}

void CSystemTray::BuildMenu()
{
    for (const int id : kMenuLayout) {
        if (id == 0) {
            m_pMenu->addSeparator();
            continue;
        }
        QAction* entry = m_pMenu->addAction(QString());
        entry->setData(id);
        // Nothing to run until the frame hands its action in.
        entry->setEnabled(false);
        m_menuEntries.insert(id, entry);
        connect(entry, &QAction::triggered, this, [this, id] {
            if (QAction* action = m_boundActions.value(id)) {
                action->trigger();
            }
        });
    }
    RetranslateUi();
    m_pMenu->setDefaultAction(GetDefaultMenuAction());
}

void CSystemTray::SetExtraActions(const QList<QAction*>& actions)
{
    for (const QPointer<QAction>& action : std::as_const(m_extraActions)) {
        if (action) {
            m_pMenu->removeAction(action);
        }
    }
    m_extraActions.clear();
    // After the confirm and clear entries: what the user does about a ringing or coming alarm
    // stays together.
    const QList<QAction*> entries = m_pMenu->actions();
    const qsizetype clear = entries.indexOf(m_menuEntries.value(kIdClearMessages));
    QAction* before = clear + 1 < entries.size() ? entries.at(clear + 1) : nullptr;
    for (QAction* action : actions) {
        m_pMenu->insertAction(before, action);
        m_extraActions << action;
    }
}

void CSystemTray::RetranslateUi()
{
    m_menuEntries.value(kIdAppAbout)->setText(tr("&O programie..."));
    m_menuEntries.value(kIdRestore)->setText(tr("&Przywróć"));
    m_menuEntries.value(kIdHide)->setText(tr("&Ukryj"));
    m_menuEntries.value(kIdConfirmAlarm)->setText(tr("Potwierdź alarm"));
    m_menuEntries.value(kIdClearMessages)->setText(tr("Wyczyść &komunikaty"));
    m_menuEntries.value(kIdAppExit)->setText(tr("&Wyjście"));
}

void CSystemTray::ClearBindings()
{
    for (const QMetaObject::Connection& binding : std::as_const(m_bindings)) {
        disconnect(binding);
    }
    m_bindings.clear();
    m_boundActions.clear();
    for (QAction* entry : std::as_const(m_menuEntries)) {
        entry->setEnabled(false);
    }
}

void CSystemTray::SetMenuActions(const QMap<int, QAction*>& actions)
{
    ClearBindings();
    for (auto it = actions.cbegin(); it != actions.cend(); ++it) {
        QAction* entry = m_menuEntries.value(it.key());
        QAction* action = it.value();
        if (entry == nullptr || action == nullptr) {
            continue;
        }
        m_boundActions.insert(it.key(), action);
        entry->setEnabled(action->isEnabled());
        m_bindings.append(connect(action, &QAction::enabledChanged, entry, &QAction::setEnabled));
        // A frame action that goes away leaves an entry that can do nothing.
        m_bindings.append(
            connect(action, &QObject::destroyed, entry, [entry] { entry->setEnabled(false); }));
    }
}

QMenu* CSystemTray::GetMenu() const
{
    return m_pMenu;
}

bool CSystemTray::SetDefaultMenuItem(unsigned item, bool byPosition)
{
    if (item == m_nDefaultItem && byPosition == m_bDefaultByPos) {
        return true;
    }
    m_nDefaultItem = item;
    m_bDefaultByPos = byPosition;
    m_pMenu->setDefaultAction(GetDefaultMenuAction());
    return true;
}

QAction* CSystemTray::GetDefaultMenuAction() const
{
    if (m_bDefaultByPos) {
        const QList<QAction*> items = m_pMenu->actions();
        if (m_nDefaultItem >= static_cast<unsigned>(items.size())) {
            return nullptr;
        }
        QAction* entry = items.at(static_cast<qsizetype>(m_nDefaultItem));
        return entry->isSeparator() ? nullptr : entry;
    }
    for (auto it = m_menuEntries.cbegin(); it != m_menuEntries.cend(); ++it) {
        if (static_cast<unsigned>(it.key()) == m_nDefaultItem) {
            return it.value();
        }
    }
    return nullptr;
}

void CSystemTray::OnActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        Q_EMIT LeftClicked();
        break;
    case QSystemTrayIcon::DoubleClick:
        // Its first click has already shown or hidden the window; a second command would
        // undo that.
        break;
    default:
        // The context menu is opened by QSystemTrayIcon itself.
        break;
    }
}

bool CSystemTray::SetAnimationIcons(const QList<QIcon>& icons)
{
    m_icons = icons;
    return true;
}

bool CSystemTray::IsAnimating() const
{
    return m_animTimer.isActive();
}

bool CSystemTray::StartAnimation(int delayMs, int seconds)
{
    // The timer belongs to this thread; the alerter's requests arrive through queued calls.
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_icons.isEmpty() || delayMs < 0) {
        return false;
    }
    StopAnimation();
    m_nCurrentIcon = 0;
    m_timeAnimStart = Clock::Now();
    m_nAnimSeconds = seconds;
    m_iconSaved = GetTrayIcon();
    m_animTimer.start(delayMs);
    return m_animTimer.isActive();
}

bool CSystemTray::StopAnimation()
{
    Q_ASSERT(QThread::currentThread() == thread());
    const bool wasRunning = m_animTimer.isActive();
    m_animTimer.stop();
    if (!m_iconSaved.isNull()) {
        SetTrayIcon(m_iconSaved);
        m_iconSaved = QIcon();
    }
    return wasRunning;
}

void CSystemTray::OnAnimationTimer()
{
    if (!m_animTimer.isActive()) {
        return;
    }
    // -1 ends after some 136 years: the unsigned comparison is what makes it "without end".
    const std::int64_t limit = static_cast<std::uint32_t>(m_nAnimSeconds);
    if ((m_nAnimSeconds != 0 && RoundToSeconds(Clock::Now() - m_timeAnimStart) > limit)
        || m_icons.isEmpty()) {
        StopAnimation();
        return;
    }
    ++m_nCurrentIcon;
    if (m_nCurrentIcon >= m_icons.size()) {
        m_nCurrentIcon = 0;
    }
    SetTrayIcon(m_icons.at(m_nCurrentIcon));
}

void CSystemTray::HideToTray(QWidget* window)
{
    // A hidden top-level window has no task-bar button either, and hide() leaves its state
    // (maximised, geometry) for the next show().
    if (window != nullptr) {
        window->hide();
    }
}

void CSystemTray::ShowFromTray(QWidget* window)
{
    if (window == nullptr) {
        return;
    }
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

bool CSystemTray::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pMenu && event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
    return QObject::eventFilter(watched, event);
}

QRect CSystemTray::IconGeometry() const
{
    if (m_pTrayIcon == nullptr || !m_pTrayIcon->isVisible()) {
        return {};
    }
    // An icon in an XEmbed tray is Qt's own little window, placed by the tray; Qt reports its
    // place inside the tray only, so the screen's answer is asked for.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget* window : windows) {
        if (window->objectName() == QLatin1String("QSystemTrayIconSys") && window->isVisible()) {
            const QRect onScreen = XWindowOnScreen(window->internalWinId());
            if (!onScreen.isEmpty()) {
                return onScreen;
            }
        }
    }
    return m_pTrayIcon->geometry();
}

QSystemTrayIcon* CSystemTray::TrayIconForTesting()
{
    MakeIcon();
    return m_pTrayIcon;
}

} // namespace zembra
