#pragma once

// The wake timer with its waiting thread. CPower knows nothing of alarms: it carries one opaque
// token (the document puts the id of the alarm it armed for there) and the armed moment from
// the arming to the receiver, which is told of every expiry and of every change of the system
// clock. The receiver is a callback, run on the waiting thread, or a Qt object, which gets the
// event through a queued call on its own thread.

#include "IWakeTimer.h"
#include "model/CFiringRoad.h"

#include <QMetaObject>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class QObject;

namespace zembra {

struct WakeEvent {
    enum class Kind {
        Expired,      // the timer came due: token and armedForUtc are those of that arming
        ClockChanged, // the system clock was set: search the schedule again and re-arm
        WaitFailed,   // the wait failed; `error` says why (reported once until a wait succeeds)
    };
    Kind kind = Kind::Expired;
    std::uint64_t token = 0;
    FileTime armedForUtc = 0;
    std::string error;
};

class CPower {
public:
    using Receiver = std::function<void(const WakeEvent&)>;

    // Takes the timer back end; the default is the system's.
    explicit CPower(std::unique_ptr<IWakeTimer> timer = nullptr);
    CPower(const CPower&) = delete;
    CPower& operator=(const CPower&) = delete;
    // Stops the waiting thread.
    virtual ~CPower();

    // Creates the timer and starts the waiting thread (once). Returns 0; a timer that cannot
    // be created is told by LastError() and the thread still runs, backing off.
    int Init();
    // Arms for an absolute UTC moment with a token; the token is stored before the arming,
    // whether or not the arming succeeds. Returns false when the system refused (LastError).
    bool SetWakeTimer(FileTime dueUtc, std::uint64_t token);
    // Disarms; the pending token becomes 0. An expiry already delivered is not recalled.
    bool CancelWakeTimer();
    // The receiver of the events; a new one replaces the old. With no receiver an expiry is
    // consumed and dropped.
    int SetNotifyWindow(Receiver receiver);
    // A Qt receiver: `slot` (a slot or invokable taking const zembra::WakeEvent&) is invoked
    // queued on the object's thread. Register the type with qRegisterMetaType first.
    // Returns -1 (with a warning) when the object has no such method; a null object removes
    // the receiver.
    int SetNotifyWindow(QObject* receiver, const char* slot);

    std::uint64_t PendingToken() const { return m_pendingToken.load(); }
    WakeCapability GetWakeCapability() const;
    std::string LastError() const;

private:
    void WaitThreadProc();
    // Takes the expiry Wait() returned and delivers it with the token and moment of the arming
    // it belongs to, or drops it when that arming was cancelled or replaced meanwhile.
    void HandleExpiry();
    // Reports a change of the system clock; an armed moment the clock was set past is
    // delivered as an expiry first.
    void HandleClockChange();
    // Tries to create the timer (on the waiting thread, after a failure at Init).
    bool TryCreateTimer(std::string& error);
    // Sleeps for `delay` unless the destructor asks to stop first; false when stopping.
    bool BackOff(std::chrono::milliseconds delay);
    void Deliver(const WakeEvent& event);
    void SetError(std::string error);

    std::unique_ptr<IWakeTimer> m_timer;
    std::thread m_waitThread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_timerCreated{false};

    // Wakes the waiting thread out of a back-off when the object is destroyed.
    std::mutex m_stopMutex;
    std::condition_variable m_stopCondition;

    // Arming and reading an expiry happen under one lock, so an expiry always comes with the
    // token and moment of the arming it belongs to.
    mutable std::mutex m_armMutex;
    std::atomic<std::uint64_t> m_pendingToken{0};
    FileTime m_armedForUtc = 0;
    bool m_armed = false;     // armed in the system's timer
    bool m_wantArmed = false; // an arming was asked for and not cancelled or used up

    mutable std::mutex m_receiverMutex;
    Receiver m_receiver;

    mutable std::mutex m_errorMutex;
    std::string m_lastError;
};

} // namespace zembra

Q_DECLARE_METATYPE(zembra::WakeEvent)
Q_DECLARE_METATYPE(zembra::FiringPass)
