#include "CMainFrame.h"

#include "CAboutDlg.h"
#include "CAlerterThread.h"
#include "CDialogSettings.h"
#include "CHelpWindow.h"
#include "CLateAlarmsNotice.h"
#include "CMessageBox.h"
#include "CPowerCountdown.h"
#include "CSettings.h"
#include "CSystemTray.h"
#include "CTaskbarNotifier.h"
#include "CTipsDialog.h"
#include "CTipsFile.h"
#include "CTrueColorToolBar.h"
#include "CWakeTest.h"
#include "CWakeTestDialog.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLayout>
#include <QLibraryInfo>
#include <QToolButton>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QStatusBar>
#include <QTranslator>
#include <QWhatsThis>

#include <algorithm>

namespace zembra {

Q_LOGGING_CATEGORY(lcLanguage, "zembra.language", QtWarningMsg)

namespace {

constexpr int kRecentCount = 4;
constexpr int kFadeOutMs = 2000;

int g_translatorLoads = 0;

// The translators of the languages other than the built-in Polish, each loaded at most once
// and kept for the rest of the run (null when its file could not be loaded).
QMap<int, QTranslator*>& LoadedTranslators()
{
    static QMap<int, QTranslator*> loaded;
    return loaded;
}

// Qt's own texts (the buttons of every question, the file dialog) in the chosen language, from
// the system's Qt translations; kept for the rest of the run like the program's own.
QTranslator* QtTranslatorFor(int language)
{
    static QMap<int, QTranslator*> loaded;
    if (loaded.contains(language)) {
        return loaded.value(language);
    }
    auto* translator = new QTranslator(qApp);
    const QString name = language == 2 ? QStringLiteral("qtbase_pl") : QStringLiteral("qtbase_de");
    if (language == 1
        || !translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        translator = nullptr;
    }
    loaded.insert(language, translator);
    return translator;
}

QTranslator* TranslatorFor(int language)
{
    QMap<int, QTranslator*>& loaded = LoadedTranslators();
    if (loaded.contains(language)) {
        return loaded.value(language);
    }
    ++g_translatorLoads;
    auto* translator = new QTranslator(qApp);
    const QString name = language == 1 ? QStringLiteral("zembra_en") : QStringLiteral("zembra_de");
    if (!translator->load(name, QStringLiteral(":/translations"))) {
        delete translator;
        translator = nullptr;
    }
    loaded.insert(language, translator);
    return translator;
}

// The window's size with the usual font, and the least it ever gets.
constexpr QSize kSmallestSize(600, 370);

} // namespace

CMainFrame::CMainFrame(CZembracfgDoc& doc, CSettings& settings, CAlerterThread* alerter, QWidget* parent)
    : QMainWindow(parent)
    , m_doc(doc)
    , m_settings(settings)
    , m_pAlerter(alerter)
    , m_trayIcon(std::make_unique<CSystemTray>())
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(CSystemTray::ProgramIcon());
    resize(kSmallestSize);
    setMinimumSize(kSmallestSize);
    setAcceptDrops(true);

    m_pView = new CZembracfgView(this);
    setCentralWidget(m_pView);

    CreateActions();
    CreateMenus();

    m_wndToolBar = new CTrueColorToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("toolBar"));
    QList<QAction*> buttons;
    for (const int command : CTrueColorToolBar::ButtonOrder()) {
        buttons << (command == 0 ? nullptr : Action(command));
    }
    m_wndToolBar->SetButtons(buttons);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    // In the help mode (Shift+F1), a click on a button or on the list opens the help about it.
    for (QAction* action : m_wndToolBar->ButtonActions()) {
        if (action != nullptr) {
            m_wndToolBar->ButtonFor(action)->installEventFilter(this);
        }
    }
    m_pView->installEventFilter(this);

    // The tray: its menu shares the frame's actions, so their enabled states are one.
    m_bHasTray = m_trayIcon->CreateTrayIcon(this, QStringLiteral("Zembra"), CSystemTray::RestingIcon());
    m_trayIcon->SetAnimationIcons({CSystemTray::RestingIcon(), CSystemTray::RingingIcon()});
    QMap<int, QAction*> trayActions;
    for (const int command : {kAppAbout, kRestore, kHide, kConfirm, kClearMessages, kAppExit}) {
        trayActions.insert(command, Action(command));
    }
    m_trayIcon->SetMenuActions(trayActions);
    UpdateTrayExtras();
    connect(m_trayIcon.get(), &CSystemTray::MenuAboutToShow, this, &CMainFrame::UpdateCommandStates);
    // A click on the icon silences a ringing alarm, as the confirm command does, and otherwise
    // shows or hides the window: the one click every panel reports.
    connect(m_trayIcon.get(), &CSystemTray::LeftClicked, this, &CMainFrame::OnTrayClicked);
    // A panel that comes up after the program: from then on the window may go to the tray, and
    // a start that asked for the tray goes there now, unless the user has taken the window up.
    connect(m_trayIcon.get(), &CSystemTray::AvailabilityChanged, this, [this](bool available) {
        m_bHasTray = available;
        if (available && m_bHideWhenTrayAppears) {
            HideToTray();
        }
        StopWaitingForTray();
        UpdateCommandStates();
    });

    if (m_pAlerter != nullptr) {
        connect(m_pAlerter, &CAlerterThread::StartTrayAnimation, this, [this](int delayMs, int seconds) {
            m_trayIcon->StartAnimation(delayMs, seconds);
            UpdateCommandStates();
        });
        connect(m_pAlerter, &CAlerterThread::StopTrayAnimation, this, [this] {
            m_trayIcon->StopAnimation();
            UpdateCommandStates();
        });
        connect(m_pAlerter, &CAlerterThread::RingingChanged, this, &CMainFrame::UpdateCommandStates);
        connect(m_pAlerter, &CAlerterThread::Snoozed, this,
                [this](const std::vector<CAlarm>& alarms, int minutes) {
                    m_doc.Snooze(alarms, minutes);
                    UpdateCommandStates();
                });
        // The pop-up's own menu: what can be done about the alarm it shows.
        if (CTaskbarNotifier* notifier = m_pAlerter->Notifier()) {
            // The pop-up comes out beside the tray icon, never over it: a click on the icon
            // silences the alarm.
            // The pop-up outlives the window (the alerter thread owns it).
            notifier->SetKeepClear([tray = QPointer<CSystemTray>(m_trayIcon.get())] {
                const CSystemTray* icon = tray.data();
                return icon != nullptr ? icon->IconGeometry() : QRect();
            });
            connect(notifier, &CTaskbarNotifier::MenuRequested, this, [this](const QPoint& at) {
                UpdateCommandStates();
                QMenu menu;
                menu.addAction(Action(kConfirm));
                menu.addAction(Action(kClearMessages));
                menu.addMenu(m_pSnoozeMenu);
                menu.exec(at);
            });
        }
    }
    connect(&m_doc, &CZembracfgDoc::SnoozesChanged, this, &CMainFrame::UpdateCommandStates);

    // The warning before power alarms, with its commands, which the tray menu offers as well.
    m_pCountdown = std::make_unique<CPowerCountdown>();
    connect(&m_doc, &CZembracfgDoc::PowerOccurrencesAhead, m_pCountdown.get(), &CPowerCountdown::SetOccurrences);
    connect(m_pCountdown.get(), &CPowerCountdown::PostponeRequested, this,
            [this](std::uint64_t id, FileTime at, int minutes) { m_doc.PostponeOccurrence(id, at, minutes); });
    connect(m_pCountdown.get(), &CPowerCountdown::SkipRequested, this,
            [this](std::uint64_t id, FileTime at) { m_doc.SkipOccurrence(id, at); });
    connect(m_pCountdown.get(), &CPowerCountdown::CarryOutNowRequested, this,
            [this](std::uint64_t id, FileTime at) { m_doc.CarryOutNow(id, at); });
    connect(m_pCountdown.get(), &CPowerCountdown::ShownChanged, this, &CMainFrame::UpdateTrayExtras);
    m_pCountdown->SetOccurrences(m_doc.PowerOccurrences());
    UpdateTrayExtras();

    m_doc.SetView(m_pView);
    connect(&m_doc, &CZembracfgDoc::TitleChanged, this, [this](const QString& title) { setWindowTitle(title); });
    connect(&m_doc, &CZembracfgDoc::RecentFilesChanged, this, &CMainFrame::UpdateRecentFiles);
    connect(&m_doc, &CZembracfgDoc::DialogOpenChanged, this, &CMainFrame::UpdateCommandStates);
    connect(m_pView, &CZembracfgView::SelectionChanged, this, &CMainFrame::UpdateCommandStates);
    connect(&m_doc, &CZembracfgDoc::AlarmsDue, this, [this](const FiringPass& pass) {
        if (pass.HasLate()) {
            LateNotice()->Add(pass);
        }
    });
    setWindowTitle(m_doc.Title());
    // What happened to the list behind the window's back (read again after a change on disk,
    // its file gone) is said here, as are the commands' status tips.
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    connect(&m_doc, &CZembracfgDoc::StatusMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text); });

    RetranslateUi();
    UpdateRecentFiles();
    UpdateCommandStates();

    // The first size leaves room for what the window holds (the panels grow with the font).
    resize(sizeHint().expandedTo(kSmallestSize));

    if (m_settings.m_regHideOnStartup.Get() != 0) {
        StartInTray();
    }
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::AddAction(int command, QMenu* menu)
{
    auto* action = new QAction(this);
    action->setData(command);
    action->setObjectName(QStringLiteral("command%1").arg(command));
    m_actions.insert(command, action);
    if (menu != nullptr) {
        menu->addAction(action);
    }
    return action;
}

void CMainFrame::CreateActions()
{
    const auto on = [this](int command, auto slot) {
        connect(AddAction(command), &QAction::triggered, this, slot);
    };
    on(kFileNew, [this] { m_doc.FileNew(); });
    on(kFileOpen, [this] { m_doc.FileOpen(); });
    on(kFileSave, [this] { m_doc.FileSave(); });
    on(kFileSaveAs, [this] { m_doc.FileSaveAs(); });
    on(kAppExit, [this] { Exit(); });
    on(kNewAlarm, [this] { m_doc.OnNewAlarm(); });
    on(kEditAlarm, [this] { m_doc.OnEditAlarm(); });
    on(kDeleteAlarm, [this] { m_doc.OnDeleteAlarm(); });
    on(kSleep, [this] { m_doc.OnSleep(); });
    on(kConfirm, [this] { SilenceAlarm(); });
    on(kClearMessages, [this] {
        if (m_pAlerter != nullptr) {
            m_pAlerter->ClearMessages();
        }
    });
    on(kSettings, [this] { OnSettings(); });
    on(kWakeTest, [this] {
        // One test at a time: a second choice brings the open window forward.
        if (auto* open = findChild<CWakeTestDialog*>()) {
            open->show();
            open->raise();
            open->activateWindow();
            return;
        }
        CWakeTest::OpenDialog(this, m_doc.PowerRequests());
    });
    on(kHide, [this] { HideToTray(); });
    on(kRestore, [this] { RestoreFromTray(); });
    on(kAppAbout, [this] { ShowAbout(); });
    on(kTipOfTheDay, [this] { ShowTipOfTheDay(); });
    on(kContextHelp, [] { QWhatsThis::enterWhatsThisMode(); });
    on(kLangEnglish, [this] { SetLanguage(1); });
    on(kLangPolish, [this] { SetLanguage(2); });
    on(kLangGerman, [this] { SetLanguage(3); });
    on(kHelpTopics, [] { CHelpWindow::Instance()->ShowMainTopic(); });
    on(kHelp, [this] { ShowHelpFor(CommandUnderMouse()); });

    Action(kFileNew)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    Action(kFileOpen)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Action(kFileSave)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Action(kNewAlarm)->setShortcut(QKeySequence(Qt::Key_Insert));
    Action(kEditAlarm)->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    Action(kContextHelp)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    Action(kHelp)->setShortcut(QKeySequence(Qt::Key_F1));
    for (const int command : {kFileNew, kFileOpen, kFileSave, kNewAlarm, kEditAlarm, kContextHelp, kHelp}) {
        Action(command)->setShortcutContext(Qt::WindowShortcut);
        addAction(Action(command));
    }

    m_languageGroup = new QActionGroup(this);
    for (const int command : {kLangEnglish, kLangPolish, kLangGerman}) {
        Action(command)->setCheckable(true);
        m_languageGroup->addAction(Action(command));
    }
    Action(kLangPolish)->setChecked(true);

    for (int i = 0; i < kRecentCount; ++i) {
        QAction* recent = AddAction(kFileRecent1 + i);
        connect(recent, &QAction::triggered, this, [this, recent] {
            m_doc.OpenRecentFile(recent->property("path").toString());
        });
        m_recentActions << recent;
    }
}

void CMainFrame::CreateMenus()
{
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QString());
    for (const int command : {kFileNew, kFileOpen, kFileSave, kFileSaveAs}) {
        file->addAction(Action(command));
    }
    file->addSeparator();
    for (QAction* recent : m_recentActions) {
        file->addAction(recent);
    }
    file->addSeparator();
    file->addAction(Action(kAppExit));

    QMenu* alarm = bar->addMenu(QString());
    for (const int command : {kNewAlarm, kEditAlarm, kDeleteAlarm}) {
        alarm->addAction(Action(command));
    }
    alarm->addSeparator();
    alarm->addAction(Action(kSleep));
    alarm->addAction(Action(kConfirm));
    alarm->addAction(Action(kClearMessages));
    m_pSnoozeMenu = alarm->addMenu(QString());
    m_pSnoozeMenu->setObjectName(QStringLiteral("snoozeMenu"));

    QMenu* options = bar->addMenu(QString());
    options->addAction(Action(kSettings));
    QMenu* language = options->addMenu(QString());
    for (const int command : {kLangEnglish, kLangPolish, kLangGerman}) {
        language->addAction(Action(command));
    }
    options->addAction(Action(kWakeTest));
    options->addSeparator();
    options->addAction(Action(kHide));
    options->addAction(Action(kRestore));

    QMenu* help = bar->addMenu(QString());
    help->addAction(Action(kHelpTopics));
    help->addAction(Action(kContextHelp));
    help->addSeparator();
    help->addAction(Action(kTipOfTheDay));
    help->addAction(Action(kAppAbout));

    m_menus = {{0, file}, {1, alarm}, {2, options}, {3, language}, {4, help}};
    for (QMenu* menu : m_menus) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
        // F1 on a highlighted menu command opens the help about that command.
        menu->installEventFilter(this);
    }
}

void CMainFrame::RetranslateUi()
{
    setWindowTitle(m_doc.Title());
    m_menus.value(0)->setTitle(tr("&Plik"));
    m_menus.value(1)->setTitle(tr("&Alarm"));
    m_menus.value(2)->setTitle(tr("&Opcje"));
    m_menus.value(3)->setTitle(tr("&Język"));
    m_menus.value(4)->setTitle(tr("Pomo&c"));

    Action(kFileNew)->setText(tr("&Nowy"));
    Action(kFileOpen)->setText(tr("&Otwórz..."));
    Action(kFileSave)->setText(tr("&Zapisz"));
    Action(kFileSaveAs)->setText(tr("Zapisz &jako..."));
    Action(kAppExit)->setText(tr("&Wyjście"));
    Action(kNewAlarm)->setText(tr("&Nowy"));
    Action(kEditAlarm)->setText(tr("&Edytuj"));
    Action(kDeleteAlarm)->setText(tr("&Usuń"));
    Action(kSleep)->setText(tr("&Wstrzymaj komputer"));
    Action(kConfirm)->setText(tr("&Potwierdź"));
    Action(kClearMessages)->setText(tr("Wyczyść &komunikaty"));
    Action(kSettings)->setText(tr("&Ustawienia"));
    Action(kWakeTest)->setText(tr("&Sprawdź wybudzanie…"));
    Action(kHide)->setText(tr("U&kryj"));
    Action(kRestore)->setText(tr("&Przywróć"));
    Action(kHelpTopics)->setText(tr("&Tematy pomocy"));
    Action(kContextHelp)->setText(tr("Pomoc &kontekstowa"));
    Action(kTipOfTheDay)->setText(tr("&Porada dnia"));
    Action(kAppAbout)->setText(tr("&O programie..."));
    Action(kHelp)->setText(tr("Pomoc"));
    // Language names stay in their own language, so that anyone can find theirs.
    Action(kLangEnglish)->setText(QStringLiteral("English"));
    Action(kLangPolish)->setText(QStringLiteral("Polski"));
    Action(kLangGerman)->setText(QStringLiteral("Deutsch"));

    // Status tips: what each command does (the text the status line would show).
    Action(kNewAlarm)->setStatusTip(tr("Dodaje nowy alarm"));
    Action(kDeleteAlarm)->setStatusTip(tr("Usuwa wybrany alarm"));
    Action(kEditAlarm)->setStatusTip(tr("Edytuje wybrany alarm"));
    Action(kSleep)->setStatusTip(tr("Wstrzymuje komputer"));
    Action(kConfirm)->setStatusTip(tr("Kończy odtwarzanie dźwięku alarmu"));
    Action(kClearMessages)->setStatusTip(tr("Usuwa komunikaty z okienka obok zegara"));
    for (QAction* action : std::as_const(m_actions)) {
        if (!action->statusTip().isEmpty()) {
            action->setToolTip(action->statusTip());
        }
    }
    UpdateSnoozeMenu();
    UpdateButtonTexts();
    UpdateRecentFiles();
}

void CMainFrame::UpdateSnoozeMenu()
{
    m_pSnoozeMenu->setTitle(tr("&Drzemka"));
    m_pSnoozeMenu->clear();
    // The usual lengths, and the one from the settings first when it is none of them.
    const int preferred = m_settings.SnoozeMinutes();
    QList<int> lengths{5, 10, 15};
    if (!lengths.contains(preferred)) {
        lengths.prepend(preferred);
    }
    for (const int minutes : std::as_const(lengths)) {
        // "&5 min", "1&0 min", "1&5 min": the last digit is the key.
        QString text = tr("%1 min").arg(minutes);
        const qsizetype key = text.indexOf(QString::number(minutes % 10));
        if (key >= 0) {
            text.insert(key, u'&');
        }
        if (minutes == preferred) {
            text = tr("%1 (domyślnie)").arg(text);
        }
        QAction* entry = m_pSnoozeMenu->addAction(text);
        entry->setObjectName(QStringLiteral("snooze%1").arg(minutes));
        connect(entry, &QAction::triggered, this, [this, minutes] { SnoozeAlarm(minutes); });
        if (minutes == preferred) {
            m_pSnoozeMenu->setDefaultAction(entry);
        }
    }
}

void CMainFrame::SnoozeAlarm(int minutes)
{
    if (m_pAlerter != nullptr && m_pAlerter->IsRinging()) {
        m_pAlerter->Snooze(minutes > 0 ? minutes : m_settings.SnoozeMinutes());
    }
}

void CMainFrame::UpdateTrayExtras()
{
    if (!m_pCountdown) {
        return; // still being built: the countdown comes later and calls again
    }
    QList<QAction*> extras{m_pSnoozeMenu->menuAction()};
    // One submenu for each power alarm being counted down, with the window's commands.
    for (QMenu* menu : std::as_const(m_countdownMenus)) {
        menu->deleteLater();
    }
    m_countdownMenus.clear();
    for (const PlannedOccurrence& occurrence : m_pCountdown->Shown()) {
        auto* menu = new QMenu(tr("%1 o %2").arg(CPowerCountdown::ActionName(occurrence.alarm.m_strType),
                                                 CPowerCountdown::ClockText(occurrence.atUtc)));
        menu->setObjectName(QStringLiteral("countdownMenu"));
        const std::uint64_t id = occurrence.alarm.m_nId;
        const FileTime when = occurrence.atUtc;
        connect(menu->addAction(tr("Odłóż o 5 min")), &QAction::triggered, this,
                [this, id, when] { m_doc.PostponeOccurrence(id, when, 5); });
        connect(menu->addAction(tr("Odłóż o 30 min")), &QAction::triggered, this,
                [this, id, when] { m_doc.PostponeOccurrence(id, when, 30); });
        connect(menu->addAction(tr("Pomiń tym razem")), &QAction::triggered, this,
                [this, id, when] { m_doc.SkipOccurrence(id, when); });
        connect(menu->addAction(tr("Teraz")), &QAction::triggered, this,
                [this, id, when] { m_doc.CarryOutNow(id, when); });
        m_countdownMenus << menu;
        extras << menu->menuAction();
    }
    m_trayIcon->SetExtraActions(extras);
}

void CMainFrame::UpdateButtonTexts()
{
    if (m_wndToolBar == nullptr) {
        return;
    }
    // The buttons are labelled from the menu texts, shortcut included, as the menus show them.
    QMap<QAction*, QString> texts;
    // Two menu texts are too long for a button under an image: they get short ones.
    const QMap<int, QString> shortTexts = {{kSleep, tr("Wstrzymaj", "toolbar")},
                                           {kContextHelp, tr("Pomoc kontekstowa", "toolbar")}};
    for (const int command : CTrueColorToolBar::ButtonOrder()) {
        if (QAction* action = Action(command)) {
            QString text = shortTexts.value(command, action->text());
            if (!action->shortcut().isEmpty()) {
                text += QLatin1Char('\t') + action->shortcut().toString(QKeySequence::NativeText);
            }
            texts.insert(action, text);
        }
    }
    m_wndToolBar->SetButtonTexts(texts);
    // A screen reader names a button by its label, which may be cut short, and two of them read
    // "Nowy": each gets the whole name of its command, and says what it does.
    for (QAction* action : m_wndToolBar->ButtonActions()) {
        if (QToolButton* button = action != nullptr ? m_wndToolBar->ButtonFor(action) : nullptr) {
            const int command = action->data().toInt();
            QString name = command == kFileNew    ? tr("Nowa lista alarmów")
                           : command == kNewAlarm ? tr("Nowy alarm")
                                                  : action->text();
            name.remove(u'&');
            while (name.endsWith(u'.') || name.endsWith(QChar(0x2026))) {
                name.chop(1);
            }
            button->setAccessibleName(name);
            button->setAccessibleDescription(action->statusTip());
        }
    }
}

void CMainFrame::UpdateRecentFiles()
{
    const QStringList files = m_doc.RecentFiles();
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions.at(i);
        const bool used = i < files.size();
        action->setVisible(used);
        if (used) {
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files.at(i))));
            action->setProperty("path", files.at(i));
        }
    }
}

void CMainFrame::UpdateCommandStates()
{
    const bool picked = m_pView != nullptr && m_pView->SelectedAlarm() != nullptr;
    Action(kEditAlarm)->setEnabled(picked);
    Action(kDeleteAlarm)->setEnabled(picked);
    // No way out of the program while an alarm is being edited: the edit would be lost.
    Action(kAppExit)->setEnabled(!m_doc.IsDialogOpen());
    const bool minimised = isMinimized();
    Action(kHide)->setEnabled(!minimised && isVisible());
    Action(kRestore)->setEnabled(!minimised && !isVisible());
    const bool ringing = m_pAlerter != nullptr && m_pAlerter->IsRinging();
    // Confirming also ends a pending snooze, so it stays possible while one waits.
    Action(kConfirm)->setEnabled((m_pAlerter != nullptr && m_pAlerter->IsSoundPlaying()) || ringing
                                 || m_doc.HasSnoozes());
    m_pSnoozeMenu->setEnabled(ringing);
    const CTaskbarNotifier* notifier = m_pAlerter != nullptr ? m_pAlerter->Notifier() : nullptr;
    Action(kClearMessages)->setEnabled(notifier != nullptr && notifier->isVisible());
}

void CMainFrame::SetTrayDefault(int command)
{
    m_trayIcon->SetDefaultMenuItem(static_cast<unsigned>(command), false);
}

void CMainFrame::HideToTray()
{
    if (!m_bHasTray) {
        // A window hidden with no tray icon to bring it back would leave the program running
        // with no way to reach it.
        showMinimized();
        if (!m_bToldNoTray) {
            m_bToldNoTray = true;
            CMessageBox::Show(this,
                              tr("Ten pulpit nie ma obszaru powiadomień, więc okno Zembry zostaje "
                                 "zminimalizowane zamiast ukryte. Alarmy działają dalej; program "
                                 "kończy polecenie Wyjście."),
                              QMessageBox::Information);
        }
        return;
    }
    CSystemTray::HideToTray(this);
    SetTrayDefault(kRestore);
    UpdateCommandStates();
}

void CMainFrame::RestoreFromTray()
{
    CSystemTray::ShowFromTray(this);
    SetTrayDefault(kHide);
    UpdateCommandStates();
}

void CMainFrame::OnTrayClicked()
{
    if (m_pAlerter != nullptr && m_pAlerter->IsSoundPlaying()) {
        SilenceAlarm();
    } else if (isVisible() && !isMinimized()) {
        HideToTray();
    } else {
        RestoreFromTray();
    }
}

void CMainFrame::StartInTray()
{
    if (m_bHasTray) {
        HideToTray();
        return;
    }
    // Shown for now; it goes to the tray when a panel with one comes up, unless the user has
    // taken the window up meanwhile (a click or a key in it). Having the focus alone does not
    // count: the window manager gives it to the first window of a login.
    if (!m_bHideWhenTrayAppears) {
        m_bHideWhenTrayAppears = true;
        qApp->installEventFilter(this);
    }
    show();
}

void CMainFrame::StopWaitingForTray()
{
    if (m_bHideWhenTrayAppears) {
        m_bHideWhenTrayAppears = false;
        qApp->removeEventFilter(this);
    }
}

void CMainFrame::SilenceAlarm()
{
    if (m_pAlerter != nullptr) {
        m_pAlerter->Silence(kFadeOutMs);
    }
    m_trayIcon->StopAnimation();
    m_doc.CancelSnoozes();
    UpdateCommandStates();
}

void CMainFrame::OnSettings()
{
    CDialogSettings dialog(isVisible() ? this : nullptr);
    dialog.m_bAutostart = m_settings.m_regAutostart.Get() == 1;
    dialog.m_bMaxVolume = m_settings.m_regMaxRingVolume.Get() != 0;
    dialog.m_bRepeatSound = m_settings.m_regRepeatSound.Get() != 0;
    dialog.m_nSnoozeMinutes = m_settings.SnoozeMinutes();
    dialog.m_bHideOnStartup = m_settings.m_regHideOnStartup.Get() != 0;
    dialog.m_bAutoload = m_settings.m_regAutoload.Get() != 0;
    dialog.m_nTransparency = static_cast<int>(m_settings.m_regTransparency.Get());
    dialog.m_nSleepMode = static_cast<int>(m_settings.m_regButtonSleepMode.Get());
    const QString langBefore = m_settings.m_regLang.Get();
    dialog.m_strLanguage = CDialogSettings::LanguageDisplayName(langBefore);

    const int result = m_settingsRunner ? m_settingsRunner(dialog) : dialog.exec();
    if (result != QDialog::Accepted) {
        return;
    }
    m_settings.SetAutostart(dialog.m_bAutostart ? 1 : 0);
    m_settings.m_regMaxRingVolume = dialog.m_bMaxVolume ? 1 : 0;
    m_settings.m_regRepeatSound = dialog.m_bRepeatSound ? 1 : 0;
    m_settings.m_regSnoozeMinutes = static_cast<quint32>(
        std::clamp(dialog.m_nSnoozeMinutes, int(CSettings::kSnoozeMin), int(CSettings::kSnoozeMax)));
    UpdateSnoozeMenu();
    m_settings.m_regHideOnStartup = dialog.m_bHideOnStartup ? 1 : 0;
    m_settings.m_regAutoload = dialog.m_bAutoload ? 1 : 0;
    m_settings.m_regTransparency = static_cast<quint32>(std::clamp(dialog.m_nTransparency, 0, 90));
    if (dialog.m_nSleepMode >= 0) {
        m_settings.m_regButtonSleepMode = static_cast<quint32>(dialog.m_nSleepMode);
    }
    if (m_pAlerter != nullptr) {
        m_pAlerter->SetTransparency(m_settings.m_regTransparency.Get());
    }
    // An empty choice (nothing picked) keeps the language as it was.
    if (!dialog.m_strLanguageChoice.isEmpty()) {
        m_settings.m_regLang = CDialogSettings::LanguageSettingFromChoice(dialog.m_strLanguageChoice);
    }
    const QString langAfter = m_settings.m_regLang.Get();
    if (langAfter != langBefore) {
        if (langAfter == QLatin1String("default")) {
            SetLanguage(0);
        } else if (langAfter == QLatin1String("Polski")) {
            SetLanguage(2);
        } else if (langAfter == QLatin1String("English")) {
            SetLanguage(1);
        } else if (langAfter == QLatin1String("Deutsch")) {
            SetLanguage(3);
        }
    }
}

void CMainFrame::SetLanguage(int language)
{
    if (language == 0) {
        switch (QLocale::system().language()) {
        case QLocale::German:
            language = 3;
            break;
        case QLocale::Polish:
            language = 2;
            break;
        default:
            language = 1;
            break;
        }
    }
    if (language < 1 || language > 3) {
        language = 2;
    }
    const QMap<int, QTranslator*>& loaded = LoadedTranslators();
    for (auto it = loaded.cbegin(); it != loaded.cend(); ++it) {
        if (it.key() != language && it.value() != nullptr) {
            QCoreApplication::removeTranslator(it.value());
        }
    }
    for (const int other : {1, 2, 3}) {
        if (other != language) {
            if (QTranslator* qt = QtTranslatorFor(other)) {
                QCoreApplication::removeTranslator(qt);
            }
        }
    }
    if (QTranslator* qt = QtTranslatorFor(language)) {
        QCoreApplication::installTranslator(qt);
    }
    if (language != 2) {
        if (QTranslator* translator = TranslatorFor(language)) {
            QCoreApplication::installTranslator(translator);
        }
    }
    m_nLanguage = language;
    CHelpWindow::SetProgramLanguage(CHelpWindow::LanguageCode(language));
    qCInfo(lcLanguage, "language %d", language);
    const QLocale::Language locale = language == 1 ? QLocale::English
                                     : language == 3 ? QLocale::German
                                                     : QLocale::Polish;
    const QLocale::Territory territory = language == 1 ? QLocale::UnitedStates
                                         : language == 3 ? QLocale::Germany
                                                         : QLocale::Poland;
    QLocale::setDefault(QLocale(locale, territory));
    Action(language == 1 ? kLangEnglish : language == 3 ? kLangGerman : kLangPolish)->setChecked(true);
    // Widgets re-translate on the language-change event; a switch back to Polish, which
    // installs no translator, must send it too.
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(qApp, &change);
    for (QWidget* widget : QApplication::allWidgets()) {
        QApplication::sendEvent(widget, &change);
    }
    CTipsFile::LoadTips(CTipsFile::TipsFilePath(language == 1   ? QStringLiteral("TipsEN.lng")
                                                 : language == 3 ? QStringLiteral("TipsGER.lng")
                                                                 : QStringLiteral("TipsPL.lng")));
}

int CMainFrame::TranslatorLoads()
{
    return g_translatorLoads;
}

void CMainFrame::ShowHelpFor(int command)
{
    CHelpWindow* help = CHelpWindow::Instance();
    if (command == 0) {
        help->ShowMainTopic();
    } else {
        help->ShowContext(CHelpWindow::ContextForCommand(command));
    }
}

int CMainFrame::CommandUnderMouse() const
{
    // A toolbar button under the mouse names its command; anywhere else the main topic.
    for (QWidget* widget = QApplication::widgetAt(QCursor::pos()); widget != nullptr;
         widget = widget->parentWidget()) {
        if (auto* button = qobject_cast<QToolButton*>(widget); button && button->defaultAction()) {
            return button->defaultAction()->data().toInt();
        }
    }
    return 0;
}

bool CMainFrame::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::LayoutRequest && layout() != nullptr) {
        // Never smaller than what the window holds needs: a larger font or a longer text in
        // the panels must not be squeezed into a size fixed for the usual font (the window
        // grows with it when it has to).
        setMinimumSize(layout()->minimumSize().expandedTo(kSmallestSize));
    }
    return handled;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (m_bHideWhenTrayAppears
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress)) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this) {
            StopWaitingForTray();
        }
    }
    if (event->type() == QEvent::WhatsThis) {
        const auto* button = qobject_cast<QToolButton*>(watched);
        ShowHelpFor(button != nullptr && button->defaultAction() != nullptr
                        ? button->defaultAction()->data().toInt()
                        : int{kNewAlarm});
        return true;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        if (auto* menu = qobject_cast<QMenu*>(watched); menu && menu->activeAction()) {
            const int command = menu->activeAction()->data().toInt();
            menu->close();
            ShowHelpFor(command);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::ShowAbout()
{
    CAboutDlg dialog(isVisible() ? this : nullptr);
    // Modal for the window only: the tray's menu (Exit) stays at hand meanwhile.
    dialog.setWindowModality(Qt::WindowModal);
    dialog.exec();
}

void CMainFrame::ShowTipOfTheDay()
{
    CTipsDialog dialog(isVisible() ? this : nullptr);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.m_bShowAtStartup = m_settings.m_regTips.Get() != 0;
    qCInfo(lcLanguage, "tip of the day shown");
    if (dialog.exec() == QDialog::Accepted) {
        m_settings.m_regTips = dialog.m_bShowAtStartup ? 1 : 0;
    }
}

bool CMainFrame::Exit()
{
    if (m_doc.IsDialogOpen() || !m_doc.SaveModified()) {
        return false;
    }
    m_bExiting = true;
    Q_EMIT ExitRequested();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_bExiting) {
        event->accept();
        return;
    }
    // Closing the window sends it to the tray; the alarms go on.
    event->ignore();
    HideToTray();
}

void CMainFrame::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    } else if (event->type() == QEvent::WindowStateChange) {
        UpdateCommandStates();
    }
    QMainWindow::changeEvent(event);
}

void CMainFrame::showEvent(QShowEvent* event)
{
    if (!m_bShownOnce) {
        // The language chosen at start may need more room than the built-in one.
        m_bShownOnce = true;
        resize(size().expandedTo(sizeHint()));
    }
    QMainWindow::showEvent(event);
    UpdateCommandStates();
    // A change of zone or clock the system did not announce is caught up with at the latest
    // when the user looks.
    m_doc.Resync();
}

CLateAlarmsNotice* CMainFrame::LateNotice()
{
    if (!m_pLateNotice) {
        m_pLateNotice = std::make_unique<CLateAlarmsNotice>();
    }
    return m_pLateNotice.get();
}

void CMainFrame::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    UpdateCommandStates();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        m_doc.OpenDocumentFile(urls.first().toLocalFile());
        event->acceptProposedAction();
    }
}

} // namespace zembra
