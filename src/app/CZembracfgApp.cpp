#include "CZembracfgApp.h"

#include "CAlerterThread.h"
#include "CDBusService.h"
#include "CMainFrame.h"
#include "CPowerCountdown.h"
#include "CMessageBox.h"
#include "CRecoveryStore.h"
#include "CPower.h"
#include "CSettings.h"
#include "CTimeZoneWatcher.h"
#include "CZembracfgDoc.h"
#include "PowerBackends.h"
#include "model/AlarmTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QSessionManager>
#include <QTimer>
#include <QMessageBox>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <chrono>
#include <cstdlib>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace zembra {

namespace {

constexpr int kHandOverTimeoutMs = 3000;

std::string TranslateCoreText(const char* context, const char* sourceText)
{
    return QCoreApplication::translate(context, sourceText).toStdString();
}

// The user's own runtime folder (XDG_RUNTIME_DIR, mode 0700): no other local user can take the
// names of the lock or the socket there, as one could in /tmp.
QString RuntimePath(const QString& name)
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)).filePath(name);
}

QLockFile& InstanceLock()
{
    static QLockFile lock(RuntimePath(CZembracfgApp::InstanceKey() + QStringLiteral(".lock")));
    return lock;
}

} // namespace

CZembracfgApp::CZembracfgApp() = default;

CZembracfgApp::~CZembracfgApp()
{
    ExitInstance();
}

QString CZembracfgApp::InstanceKey()
{
    // One instance per user: the key names the user, since the pipe namespace on Windows (and a
    // shared runtime folder elsewhere) is the whole machine's.
#ifdef Q_OS_WIN
    const QString user = qEnvironmentVariable("USERDOMAIN") + u'-' + qEnvironmentVariable("USERNAME");
    return QStringLiteral("ZembraTqRnWbLxPeHsKvDz-%1").arg(user);
#else
    return QStringLiteral("ZembraTqRnWbLxPeHsKvDz-%1").arg(::getuid());
#endif
}

bool CZembracfgApp::HandOverToRunningInstance(const QString& file)
{
    QLockFile& lock = InstanceLock();
    lock.setStaleLockTime(0);
    if (lock.tryLock(0)) {
        return false; // this is the first instance; it keeps the lock until it ends
    }
    // Another instance holds the lock; it may still be setting its server up.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kHandOverTimeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(RuntimePath(InstanceKey()));
        if (socket.waitForConnected(200)) {
            const QString message = file.isEmpty()
                                        ? QStringLiteral("SHOW\n")
                                        : QStringLiteral("OPEN %1\n").arg(QFileInfo(file).absoluteFilePath());
            socket.write(message.toUtf8());
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return true;
        }
        QThread::msleep(50);
    }
    // The lock holder does not answer: it is hung or gone. Starting a second engine beside a
    // hung one could ring every alarm twice, so end here all the same.
    return true;
}

bool CZembracfgApp::InitInstance(const Options& options)
{
    SetTextTranslator(TranslateCoreText);

    m_instanceServer = std::make_unique<QLocalServer>();
    // The lock says no other instance of this user runs: a socket left there is a dead one's.
    QLocalServer::removeServer(RuntimePath(InstanceKey()));
    m_instanceServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_instanceServer->listen(RuntimePath(InstanceKey()))) {
        connect(m_instanceServer.get(), &QLocalServer::newConnection, this, &CZembracfgApp::OnInstanceMessage);
    }

    // Settings, with the paths of the running program.
    m_settings = std::make_unique<CSettings>();
    m_settings->m_strProgramPath = QCoreApplication::applicationFilePath();
    m_settings->m_strProgramDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');

    // The wake timer and the power requests.
    m_power = std::make_unique<CPower>(CreateSystemWakeTimer());
    m_power->Init();
    m_powerRequests = CreatePowerRequests(options.simulatePowerLog.toStdString());

    // The alerter thread, then the document, then the window with the view.
    m_pAlerterThread = std::make_unique<CAlerterThread>(*m_settings, m_powerRequests.get());
    m_pAlerterThread->Start();
    m_pDoc = std::make_unique<CZembracfgDoc>(*m_power, *m_settings, m_powerRequests.get(), m_pAlerterThread.get());
    connect(m_pDoc.get(), &CZembracfgDoc::AlarmsDue, m_pAlerterThread.get(),
            [this](const FiringPass& pass) { m_pAlerterThread->CarryOut(pass); });
    m_pMainFrame = std::make_unique<CMainFrame>(*m_pDoc, *m_settings, m_pAlerterThread.get());
    // The countdown before a power alarm names the programs that would block it.
    m_pMainFrame->Countdown()->SetBlockersSource([power = m_powerRequests.get()](const std::string& type) {
        return QString::fromStdString(DescribeInhibitors(power->BlockingInhibitors(type)));
    });
    m_dbus = std::make_unique<CDBusService>(*m_pDoc, *m_pMainFrame, m_pAlerterThread.get());
    m_zoneWatcher = std::make_unique<CTimeZoneWatcher>(SystemTimeZoneSources());
    connect(m_zoneWatcher.get(), &CTimeZoneWatcher::ZoneChanged, m_pDoc.get(),
            &CZembracfgDoc::OnTimeZoneChanged);
    connect(m_pMainFrame.get(), &CMainFrame::ExitRequested, this, [this] {
        m_bExiting = true;
        QCoreApplication::exit(0);
    }, Qt::QueuedConnection);
    // Logout: ask about unsaved changes where the session lets us, else keep them safe.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
            if (!OnCommitData(manager.allowsInteraction())) {
                manager.cancel();
            }
            manager.release();
        });
    }
    // A hand-over that waited for the alarm dialog goes on when the dialog closes.
    connect(m_pDoc.get(), &CZembracfgDoc::DialogOpenChanged, this, [this](bool open) {
        if (!open) {
            QMetaObject::invokeMethod(this, &CZembracfgApp::ProcessHandOvers, Qt::QueuedConnection);
        }
    });

    // The language of the Lang setting; another text (other letter case included) switches
    // nothing and the built-in Polish stays.
    const QString lang = m_settings->m_regLang.Get();
    if (lang == QLatin1String("default")) {
        m_pMainFrame->SetLanguage(0);
    } else if (lang == QLatin1String("Polski")) {
        m_pMainFrame->SetLanguage(2);
    } else if (lang == QLatin1String("English")) {
        m_pMainFrame->SetLanguage(1);
    } else if (lang == QLatin1String("Deutsch")) {
        m_pMainFrame->SetLanguage(3);
    }

    const bool toTray = options.hidden || m_settings->m_regHideOnStartup.Get() != 0;
    if (toTray) {
        m_pMainFrame->StartInTray();
    } else {
        m_pMainFrame->show();
    }

    if (const std::string error = m_power->LastError(); !error.empty()) {
        CMessageBox::Show(m_pMainFrame->isVisible() ? m_pMainFrame.get() : nullptr,
                          tr("Budzik systemowy jest niedostępny: %1\nAlarmy nie zadzwonią, dopóki "
                             "ten problem nie zniknie.")
                              .arg(QString::fromStdString(error)));
    }
    ShowWakeHint();

    // The first start that holds programs back: the list the user has been using all along
    // is theirs, and is approved once, before it is opened.
    const bool firstWithConsent = m_settings->m_regProgramConsent.Get() == 0;
    if (firstWithConsent) {
        m_settings->m_regProgramConsent = 1;
    }
    if (!options.file.isEmpty()) {
        m_pDoc->OpenDocumentFile(options.file);
    } else if (m_settings->m_regAutoload.Get() != 0) {
        const QString last = m_settings->m_regLastCfg.Get();
        if (!last.isEmpty()) {
            if (firstWithConsent) {
                CScheduler own;
                if (own.LoadFromFile(QFile::encodeName(last).toStdString()) == 0) {
                    m_pDoc->Approvals().Approve(ProgramsOf(own));
                }
            }
            m_pDoc->OpenDocumentFile(last);
        }
    }
    // Offered once the list is open: only this instance gets here, the first of the user's.
    m_dbus->Register();

    // Modal windows wait for the event loop: a signal or Exit while one is open then ends the
    // program instead of falling through into a loop started afterwards.
    QTimer::singleShot(0, this, [this, noTips = options.noTips] {
        if (m_bExiting) {
            return;
        }
        OfferRecovery();
        if (!noTips && !m_bExiting && m_settings->m_regTips.Get() != 0) {
            m_pMainFrame->ShowTipOfTheDay();
        }
    });
    return true;
}

void CZembracfgApp::OfferRecovery()
{
    const std::optional<CRecoveryStore::Entry> entry = CRecoveryStore::Find();
    if (!entry || !m_pDoc) {
        return;
    }
    const QString name = entry->original.isEmpty()
                             ? tr("nowej listy")
                             : QDir::toNativeSeparators(entry->original);
    const QMessageBox::StandardButton answer = CMessageBox::Ask(
        m_pMainFrame->isVisible() ? m_pMainFrame.get() : nullptr,
        tr("Zembra zakończyła pracę, gdy zmiany w %1 nie były zapisane. Ich kopia została "
           "zachowana.\nPrzywrócić niezapisane zmiany?")
            .arg(name),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (m_bExiting) {
        return; // the copy stays for the next start
    }
    if (answer == QMessageBox::Yes && !m_pDoc->SaveModified()) {
        return;
    }
    if (answer != QMessageBox::Yes || m_pDoc->OpenRecovered(entry->copy, entry->original)) {
        CRecoveryStore::Discard();
    }
}

void CZembracfgApp::OnTerminationSignal()
{
    if (m_pDoc && !m_pDoc->SaveRecoveryCopy()) {
        qWarning("Zembra: the unsaved list could not be kept in %s",
                 qPrintable(CRecoveryStore::Folder()));
    }
    m_bExiting = true;
    if (!m_watchdog.joinable()) {
        m_watchdog = std::thread([this] {
            std::unique_lock lock(m_watchdogMutex);
            if (!m_watchdogCancel.wait_for(lock, std::chrono::milliseconds(900),
                                           [this] { return m_bWatchdogCancelled; })) {
                // Something blocks the orderly end; the list is safe in the recovery copy.
                std::_Exit(0);
            }
        });
    }
    QCoreApplication::exit(0);
}

bool CZembracfgApp::OnCommitData(bool interactionAllowed)
{
    if (!m_pDoc || !m_pDoc->IsModified()) {
        return true;
    }
    if (interactionAllowed) {
        return m_pDoc->SaveModified();
    }
    // The session ends either way; what was not saved waits for the next start.
    m_pDoc->SaveRecoveryCopy();
    return true;
}

void CZembracfgApp::ShowWakeHint()
{
    const WakeCapability capability = m_power->GetWakeCapability();
    if (capability.canWake) {
        return;
    }
    // Told on the terminal every time; the alarms still ring while the machine is awake.
    qWarning("%s\n%s", capability.reason.c_str(), capability.remedy.c_str());
    const bool worthTelling = capability.kind == WakeCapability::Kind::NoPermission
                              || capability.kind == WakeCapability::Kind::NoWakeClock;
    if (!worthTelling || m_settings->m_regWakeHint.Get() == 0) {
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Zembra"),
                                tr("Alarmy nie wybudzą uśpionego komputera: %1")
                                    .arg(CZembracfgDoc::WakeWhyNot(capability, false)),
                                QMessageBox::Ok, m_pMainFrame->isVisible() ? m_pMainFrame.get() : nullptr);
    box->setObjectName(QStringLiteral("wakeHint"));
    box->setInformativeText(tr("Gdy komputer nie śpi, alarmy dzwonią o czasie; alarmy, które "
                               "minęły w czasie snu, zadzwonią po jego wybudzeniu. To samo "
                               "pokazuje panel Aktualny stan."));
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setCheckBox(new QCheckBox(tr("Nie pokazuj więcej"), box));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    connect(box, &QMessageBox::finished, this, [this, box] {
        if (box->checkBox()->isChecked() && m_settings) {
            m_settings->m_regWakeHint = 0;
        }
    });
    box->show();
}

void CZembracfgApp::OnInstanceMessage()
{
    while (QLocalSocket* socket = m_instanceServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // The socket only delivers the request here. Opening a list may ask questions in modal
        // boxes, whose event loops would delete the socket under a handler still reading it.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                m_handOvers << QString::fromUtf8(socket->readLine()).trimmed();
            }
            QMetaObject::invokeMethod(this, &CZembracfgApp::ProcessHandOvers, Qt::QueuedConnection);
        });
    }
}

void CZembracfgApp::ProcessHandOvers()
{
    if (m_bHandingOver || !m_pDoc || !m_pMainFrame) {
        return; // the request under way takes the queued ones after it
    }
    m_bHandingOver = true;
    while (!m_handOvers.isEmpty()) {
        m_pMainFrame->RestoreFromTray();
        // An alarm being edited is not replaced under the user's hands: the list opens once
        // the dialog is closed.
        if (m_pDoc->IsDialogOpen()) {
            break;
        }
        const QString request = m_handOvers.takeFirst();
        if (request.startsWith(QLatin1String("OPEN "))) {
            m_pDoc->OpenDocumentFile(request.mid(5));
        }
    }
    m_bHandingOver = false;
}

int CZembracfgApp::ExitInstance()
{
    if (m_watchdog.joinable()) {
        {
            const std::lock_guard lock(m_watchdogMutex);
            m_bWatchdogCancelled = true;
        }
        m_watchdogCancel.notify_all();
        m_watchdog.join();
    }
    if (m_pAlerterThread) {
        m_pAlerterThread->Stop();
    }
    m_dbus.reset();
    m_pMainFrame.reset();
    m_pDoc.reset();
    m_pAlerterThread.reset();
    m_instanceServer.reset();
    m_zoneWatcher.reset();
    m_power.reset();
    SetTextTranslator(nullptr);
    InstanceLock().unlock();
    return 0;
}

} // namespace zembra
