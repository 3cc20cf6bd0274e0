#include "CZembracfgApp.h"

#include "CAlerterThread.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CSettings.h"
#include "CTimeZoneWatcher.h"
#include "CZembracfgDoc.h"
#include "PowerBackends.h"
#include "model/AlarmTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace zembra {

namespace {

constexpr int kHandOverTimeoutMs = 3000;

std::string TranslateCoreText(const char* context, const char* sourceText)
{
    return QCoreApplication::translate(context, sourceText).toStdString();
}

QLockFile& InstanceLock()
{
    static QLockFile lock(QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
                              .filePath(CZembracfgApp::InstanceKey() + QStringLiteral(".lock")));
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
    return QStringLiteral("ZembraTqRnWbLxPeHsKvDz-%1").arg(::getuid());
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
        socket.connectToServer(InstanceKey());
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
    QLocalServer::removeServer(InstanceKey());
    m_instanceServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_instanceServer->listen(InstanceKey())) {
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
    m_zoneWatcher = std::make_unique<CTimeZoneWatcher>(SystemTimeZoneSources());
    connect(m_zoneWatcher.get(), &CTimeZoneWatcher::ZoneChanged, m_pDoc.get(),
            &CZembracfgDoc::OnTimeZoneChanged);
    connect(m_pMainFrame.get(), &CMainFrame::ExitRequested, qApp, [] { QCoreApplication::exit(0); },
            Qt::QueuedConnection);

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
    if (toTray && m_pMainFrame->HasTray()) {
        m_pMainFrame->HideToTray();
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

    if (!options.file.isEmpty()) {
        m_pDoc->OpenDocumentFile(options.file);
    } else if (m_settings->m_regAutoload.Get() != 0) {
        const QString last = m_settings->m_regLastCfg.Get();
        if (!last.isEmpty()) {
            m_pDoc->OpenDocumentFile(last);
        }
    }

    if (!options.noTips && m_settings->m_regTips.Get() != 0) {
        m_pMainFrame->ShowTipOfTheDay();
    }
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QString line = QString::fromUtf8(socket->readLine()).trimmed();
                if (m_pMainFrame) {
                    m_pMainFrame->RestoreFromTray();
                }
                if (line.startsWith(QLatin1String("OPEN ")) && m_pDoc) {
                    m_pDoc->OpenDocumentFile(line.mid(5));
                }
            }
        });
    }
}

int CZembracfgApp::ExitInstance()
{
    if (m_pAlerterThread) {
        m_pAlerterThread->Stop();
    }
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
