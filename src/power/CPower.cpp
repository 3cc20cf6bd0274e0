#include "CPower.h"

#include "PowerBackends.h"
#include "time/Clock.h"

#include <QByteArray>
#include <QMetaMethod>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QtGlobal>

#include <algorithm>
#include <system_error>
#include <utility>

namespace zembra {

namespace {

// A wait that fails at once every time must not turn the waiting thread into a busy loop, nor
// may a passing failure leave the alarms unwatched for long.
constexpr std::chrono::milliseconds kFirstBackOff{50};
constexpr std::chrono::milliseconds kLastBackOff{30'000};

// "onWake", or the SLOT(onWake(zembra::WakeEvent)) form, which carries a code digit and the
// signature: both name the same method.
QByteArray MethodName(const char* slot)
{
    QByteArray name(slot != nullptr ? slot : "");
    if (!name.isEmpty() && (name.front() == '1' || name.front() == '2')) {
        name.remove(0, 1);
    }
    if (const qsizetype paren = name.indexOf('('); paren >= 0) {
        name.truncate(paren);
    }
    return name.trimmed();
}

// The receiver's method that takes one WakeEvent, matched by the parameter's type rather than
// by its spelling, which differs between a declaration inside namespace zembra and one outside.
QMetaMethod FindWakeMethod(const QObject* receiver, const QByteArray& name)
{
    const QMetaObject* meta = receiver->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.name() == name && method.parameterCount() == 1
            && method.parameterMetaType(0) == QMetaType::fromType<WakeEvent>()) {
            return method;
        }
    }
    return {};
}

// Deletes the relay on its own thread: the waiting thread may still hold a copy of the
// receiver when the receiver is replaced, so the relay dies with the last copy.
void DeleteRelay(QObject* relay)
{
    if (relay->thread() == QThread::currentThread()) {
        delete relay;
    } else {
        relay->deleteLater();
    }
}

} // namespace

CPower::CPower(std::unique_ptr<IWakeTimer> timer)
    : m_timer(timer ? std::move(timer) : CreateSystemWakeTimer())
{
}

CPower::~CPower()
{
    {
        const std::lock_guard lock(m_stopMutex);
        m_stop.store(true);
    }
    m_stopCondition.notify_all();
    if (m_timer) {
        m_timer->Interrupt();
    }
    if (m_waitThread.joinable()) {
        m_waitThread.join();
    }
}

int CPower::Init()
{
    if (m_waitThread.joinable()) {
        return 0;
    }
    {
        const std::lock_guard lock(m_armMutex);
        if (!m_timer) {
            SetError("there is no wake-up timer on this system");
        } else if (m_timer->Create()) {
            m_timerCreated.store(true);
        } else {
            SetError(m_timer->LastError());
        }
    }
    try {
        m_waitThread = std::thread(&CPower::WaitThreadProc, this);
    } catch (const std::system_error& e) {
        SetError(std::string("cannot start the waiting thread: ") + e.what());
    }
    return 0;
}

bool CPower::SetWakeTimer(FileTime dueUtc, std::uint64_t token)
{
    const std::lock_guard lock(m_armMutex);
    m_pendingToken.store(token);
    m_armedForUtc = dueUtc;
    // Remembered even when the timer cannot be armed now: the waiting thread arms it as soon as
    // it manages to create the timer.
    m_wantArmed = true;
    if (!m_timerCreated.load()) {
        m_armed = false;
        SetError("the wake-up timer does not exist, so it cannot be set");
        return false;
    }
    m_armed = m_timer->Arm(dueUtc);
    if (!m_armed) {
        SetError(m_timer->LastError());
        // The kernel may still hold the previous arming. Its expiry would come with this
        // arming's token, early, so the timer is cleared; the caller reports the failure.
        m_timer->Cancel();
    }
    return m_armed;
}

bool CPower::CancelWakeTimer()
{
    const std::lock_guard lock(m_armMutex);
    m_armed = false;
    m_wantArmed = false;
    m_pendingToken.store(0);
    if (!m_timerCreated.load()) {
        SetError("the wake-up timer does not exist, so it cannot be canceled");
        return false;
    }
    if (!m_timer->Cancel()) {
        SetError(m_timer->LastError());
        return false;
    }
    return true;
}

int CPower::SetNotifyWindow(Receiver receiver)
{
    const std::lock_guard lock(m_receiverMutex);
    m_receiver = std::move(receiver);
    return 0;
}

int CPower::SetNotifyWindow(QObject* receiver, const char* slot)
{
    if (receiver == nullptr) {
        return SetNotifyWindow(Receiver{});
    }
    qRegisterMetaType<WakeEvent>();
    const QByteArray name = MethodName(slot);
    if (!FindWakeMethod(receiver, name).isValid()) {
        qWarning("CPower::SetNotifyWindow: %s has no method %s(const zembra::WakeEvent&)",
                 receiver->metaObject()->className(), name.constData());
        return -1;
    }

    // The waiting thread never touches the receiver itself: it posts to a relay that lives on
    // the receiver's thread and is owned here, and only there, on that thread, is the guarded
    // pointer to the receiver looked at. A receiver deleted meanwhile drops the event.
    auto* relay = new QObject;
    relay->moveToThread(receiver->thread());
    const std::shared_ptr<QObject> relayOwner(relay, DeleteRelay);
    const QPointer<QObject> target(receiver);
    return SetNotifyWindow([relayOwner, target, name](const WakeEvent& event) {
        QMetaObject::invokeMethod(
            relayOwner.get(),
            [target, name, event] {
                if (target.isNull()) {
                    return;
                }
                const QMetaMethod method = FindWakeMethod(target.data(), name);
                if (method.isValid()) {
                    method.invoke(target.data(), Qt::DirectConnection,
                                  Q_ARG(zembra::WakeEvent, event));
                }
            },
            Qt::QueuedConnection);
    });
}

WakeCapability CPower::GetWakeCapability() const
{
    if (!m_timer) {
        WakeCapability none;
        none.reason = "there is no wake-up timer on this system";
        return none;
    }
    return m_timer->Capability();
}

std::string CPower::LastError() const
{
    const std::lock_guard lock(m_errorMutex);
    return m_lastError;
}

void CPower::SetError(std::string error)
{
    const std::lock_guard lock(m_errorMutex);
    m_lastError = std::move(error);
}

bool CPower::TryCreateTimer(std::string& error)
{
    const std::lock_guard lock(m_armMutex);
    if (!m_timer) {
        error = "there is no wake-up timer on this system";
        return false;
    }
    if (!m_timer->Create()) {
        error = m_timer->LastError();
        return false;
    }
    m_timerCreated.store(true);
    // The arming asked for while there was no timer is made now, or its alarm would wait for
    // the next change of the list.
    if (m_wantArmed) {
        m_armed = m_timer->Arm(m_armedForUtc);
        if (!m_armed) {
            SetError(m_timer->LastError());
        }
    }
    return true;
}

bool CPower::BackOff(std::chrono::milliseconds delay)
{
    std::unique_lock lock(m_stopMutex);
    return !m_stopCondition.wait_for(lock, delay, [this] { return m_stop.load(); });
}

void CPower::WaitThreadProc()
{
    std::chrono::milliseconds delay = kFirstBackOff;
    bool failureReported = false;

    // One report per run of failures: the receiver hears of the trouble without being flooded,
    // and hears again if it comes back after the timer has worked.
    const auto fail = [&](const std::string& error) {
        SetError(error);
        if (!failureReported) {
            failureReported = true;
            qWarning("Zembra wake timer: %s", error.c_str());
            WakeEvent event;
            event.kind = WakeEvent::Kind::WaitFailed;
            event.error = error;
            Deliver(event);
        }
        const bool goOn = BackOff(delay);
        delay = std::min(delay * 2, kLastBackOff);
        return goOn;
    };
    const auto succeeded = [&] {
        failureReported = false;
        delay = kFirstBackOff;
    };

    while (!m_stop.load()) {
        if (!m_timerCreated.load()) {
            std::string error;
            if (!TryCreateTimer(error)) {
                if (!fail(error)) {
                    return;
                }
                continue;
            }
            succeeded();
        }

        switch (m_timer->Wait()) {
        case IWakeTimer::WaitResult::Expired:
            succeeded();
            HandleExpiry();
            break;
        case IWakeTimer::WaitResult::ClockChanged:
            succeeded();
            HandleClockChange();
            break;
        case IWakeTimer::WaitResult::Interrupted:
            // Only the destructor interrupts; a stray interruption just waits again.
            break;
        case IWakeTimer::WaitResult::Failed:
            if (!fail(m_timer->LastError())) {
                return;
            }
            break;
        }
    }
}

void CPower::HandleExpiry()
{
    WakeEvent event;
    event.kind = WakeEvent::Kind::Expired;
    {
        const std::lock_guard lock(m_armMutex);
        if (!m_armed) {
            return; // cancelled after the kernel signalled: the expiry is not wanted any more
        }
        // The arming in force is for a moment still ahead: this expiry belonged to an arming
        // it replaced. The timer comes due again at the new moment; delivering now would ring
        // the new alarm early.
        if (Clock::Now() < m_armedForUtc) {
            return;
        }
        event.token = m_pendingToken.load();
        event.armedForUtc = m_armedForUtc;
        m_armed = false;
        m_wantArmed = false;
    }
    Deliver(event);
}

void CPower::HandleClockChange()
{
    bool passed = false;
    WakeEvent expired;
    WakeEvent changed;
    changed.kind = WakeEvent::Kind::ClockChanged;
    {
        const std::lock_guard lock(m_armMutex);
        if (m_armed && Clock::Now() >= m_armedForUtc) {
            // The armed moment has passed, and the kernel folded its expiry into the
            // clock-change report. That is what happens on every resume from suspend (the
            // real-time clock moved against the monotonic one), so it is also how the expiry
            // that woke the machine arrives; and a clock set forward past the moment means
            // the moment has come all the same. Either way the alarm rings.
            passed = true;
            expired.token = m_pendingToken.load();
            expired.armedForUtc = m_armedForUtc;
            m_armed = false;
            m_wantArmed = false;
        } else if (m_armed) {
            // The timer stays armed for its absolute moment; the receiver searches the
            // schedule again and re-arms if the earliest alarm has changed.
            changed.token = m_pendingToken.load();
            changed.armedForUtc = m_armedForUtc;
        }
    }
    if (passed) {
        Deliver(expired);
    }
    Deliver(changed);
}

void CPower::Deliver(const WakeEvent& event)
{
    Receiver receiver;
    {
        const std::lock_guard lock(m_receiverMutex);
        receiver = m_receiver;
    }
    // Called outside the lock, so the receiver may replace itself or arm the timer again.
    if (receiver) {
        receiver(event);
    }
}

} // namespace zembra
