#include "CWakeTest.h"

#include "CWakeTestDialog.h"
#include "CZembracfgDoc.h"
#include "IPowerRequests.h"
#include "PowerBackends.h"
#include "time/Clock.h"

#include <QEvent>
#include <QLoggingCategory>

#include <utility>

namespace zembra {

Q_LOGGING_CATEGORY(lcWakeTest, "zembra.waketest", QtWarningMsg)

namespace {

QString FromCore(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CWakeTest::CWakeTest(std::unique_ptr<IWakeTimer> timer, IPowerRequests* requests,
                     std::unique_ptr<ISleepGauge> gauge, NowFunction now, QObject* parent)
    : QObject(parent)
    , m_timer(std::move(timer))
    , m_pRequests(requests)
    , m_gauge(std::move(gauge))
    , m_now(now ? std::move(now) : NowFunction([] { return Clock::Now(); }))
{
    m_bTimerCreated = m_timer && m_timer->Create();
    m_pool.setMaxThreadCount(1);
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &CWakeTest::Poll);
}

CWakeTest::~CWakeTest()
{
    Cancel();
    // The worker posts its answer to this object; it must be done before the object goes.
    m_pool.waitForDone();
}

WakeCapability CWakeTest::Capability() const
{
    if (!m_timer) {
        WakeCapability none;
        none.reason = "there is no wake-up timer on this system";
        return none;
    }
    return m_timer->Capability();
}

void CWakeTest::Start()
{
    if (m_bRunning) {
        return;
    }
    m_bRunning = true;
    ++m_nRun;
    // The gauge and the wall clock are read together: the armed moment is the same instant on
    // the gauge's clock, which keeps counting through the sleep.
    m_previous = m_gauge->Sample();
    m_armedUtc = m_now() + kLeadTime;
    m_armedSinceBoot = m_previous.sinceBoot + kLeadTime;

    WakeTestVerdict notSlept;
    notSlept.outcome = WakeTestOutcome::DidNotSleep;
    // Without a timer that is armed, standby would be a sleep nothing ends: it is not asked for.
    if (!m_bTimerCreated) {
        Finish(
            notSlept,
            tr("Nie można utworzyć budzika testowego: %1")
                .arg(FromCore(m_timer ? m_timer->LastError()
                                      : std::string("there is no wake-up timer on this system"))));
        return;
    }
    if (m_pRequests == nullptr) {
        Finish(notSlept, tr("Nie można wstrzymać komputera: obsługa zasilania jest niedostępna."));
        return;
    }
    if (!m_timer->Arm(m_armedUtc)) {
        Finish(notSlept,
               tr("Nie można nastawić budzika testowego: %1").arg(FromCore(m_timer->LastError())));
        return;
    }
    qCInfo(lcWakeTest, "test timer set %lld s ahead; asking the system to suspend",
           static_cast<long long>(kLeadTime / kTicksPerSecond));
    Q_EMIT Started(m_armedUtc);
    m_poll.start();

    IPowerRequests* requests = m_pRequests;
    const int run = m_nRun;
    m_pool.start([this, requests, run] {
        const PowerResult result = requests->Standby();
        QMetaObject::invokeMethod(
            this, [this, run, result] { OnStandbyAnswered(run, result); }, Qt::QueuedConnection);
    });
}

void CWakeTest::OnStandbyAnswered(int run, const PowerResult& result)
{
    if (run != m_nRun || !m_bRunning) {
        return; // a test cancelled since
    }
    if (!result.ok) {
        WakeTestVerdict notSlept;
        notSlept.outcome = WakeTestOutcome::DidNotSleep;
        Finish(notSlept, tr("System odmówił uśpienia: %1").arg(FromCore(result.error)));
        return;
    }
    // Windows answers only once the machine is back: no need to wait for the next tick.
    Poll();
}

void CWakeTest::Poll()
{
    if (!m_bRunning) {
        return;
    }
    const SleepGaugeSample latest = m_gauge->Sample();
    const WakeTestVerdict verdict = ClassifyWakeTest(m_previous, latest, m_armedSinceBoot);
    m_previous = latest;
    if (verdict.outcome != WakeTestOutcome::Running) {
        Finish(verdict);
    }
}

void CWakeTest::Cancel()
{
    if (!m_bRunning) {
        return;
    }
    m_bRunning = false;
    ++m_nRun;
    m_poll.stop();
    // Left armed, a timer with the resume flag could wake the machine from a later sleep.
    if (m_bTimerCreated && !m_timer->Cancel()) {
        qCWarning(lcWakeTest, "cannot disarm the test timer: %s", m_timer->LastError().c_str());
    }
    qCInfo(lcWakeTest, "test canceled");
}

void CWakeTest::Finish(const WakeTestVerdict& verdict, const QString& error)
{
    m_bRunning = false;
    m_poll.stop();
    // Woken by hand before its moment, the timer is still armed and would wake a later sleep.
    if (m_bTimerCreated && !m_timer->Cancel()) {
        qCWarning(lcWakeTest, "cannot disarm the test timer: %s", m_timer->LastError().c_str());
    }
    if (verdict.outcome == WakeTestOutcome::WokeByTimer && m_pRequests != nullptr) {
        // Woken by a timer, the machine may leave the display dark (and Windows sends it back
        // to sleep soon after); an alarm that wakes it turns the display on the same way.
        IPowerRequests* requests = m_pRequests;
        m_pool.start([requests] {
            if (const PowerResult result = requests->DisplayOn(); !result.ok) {
                qCWarning(lcWakeTest, "cannot turn the display on: %s", result.error.c_str());
            }
        });
    }
    qCInfo(lcWakeTest, "test ended: outcome %d, slept %lld s, woke %lld s after the armed moment",
           static_cast<int>(verdict.outcome),
           static_cast<long long>(verdict.slept / kTicksPerSecond),
           static_cast<long long>(verdict.wokeAfterArmed / kTicksPerSecond));
    Q_EMIT Finished(verdict, error);
}

void CWakeTest::ShowCapability(CWakeTestDialog* dialog) const
{
    const WakeCapability capability = Capability();
    const bool permission = capability.kind == WakeCapability::Kind::NoPermission;
    // For a missing permission the short reason leads to the command in the field below it.
    dialog->SetWakeProblem(CZembracfgDoc::WakeWhyNot(capability, permission),
                           permission ? FromCore(capability.command) : QString());
}

void CWakeTest::Attach(CWakeTestDialog* dialog)
{
    setParent(dialog);
    ShowCapability(dialog);
    dialog->installEventFilter(this);
    connect(dialog, &CWakeTestDialog::StartRequested, this, &CWakeTest::Start);
    connect(dialog, &QDialog::finished, this, &CWakeTest::Cancel);
    connect(this, &CWakeTest::Started, dialog, &CWakeTestDialog::ShowRunning);
    connect(this, &CWakeTest::Finished, dialog, &CWakeTestDialog::ShowResult);
}

bool CWakeTest::eventFilter(QObject* watched, QEvent* event)
{
    // The reason comes from the document's texts, which the dialog cannot translate itself.
    if (event->type() == QEvent::LanguageChange) {
        if (auto* dialog = qobject_cast<CWakeTestDialog*>(watched)) {
            ShowCapability(dialog);
        }
    }
    return QObject::eventFilter(watched, event);
}

CWakeTestDialog* CWakeTest::OpenDialog(QWidget* parent, IPowerRequests* requests)
{
    auto* dialog = new CWakeTestDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* test = new CWakeTest(CreateWakeTestTimer(), requests, CreateSystemSleepGauge());
    test->Attach(dialog);
    dialog->show();
    return dialog;
}

} // namespace zembra
