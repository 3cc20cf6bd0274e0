#include "windows/WaitableWakeTimer.h"

#include "windows/WindowsText.h"

#include <windows.h>

#include <powrprof.h>

#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>

namespace zembra {

namespace {

// SetWaitableTimer's "the timer was set, but the system cannot resume": documented as
// ERROR_NOT_SUPPORTED, and answered as this code by the kernel's status on some systems and
// by Wine. Not in every SDK's headers.
constexpr DWORD kErrorTimerResumeIgnored = 722;

// Power Options > Sleep > "Allow wake timers".
constexpr GUID kSleepSubgroup = {
    0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
constexpr GUID kAllowWakeTimers = {
    0xbd3b718a, 0x0680, 0x4d9d, {0x8a, 0xb2, 0xe1, 0xd2, 0xb4, 0xac, 0x80, 0x6d}};

constexpr const wchar_t* kListenerClass = L"ZembraWakeTimerListener";

// Allows wake timers on both power sources and makes the change take effect; runs from cmd and
// from PowerShell alike.
constexpr const char* kAllowWakeTimersCommand =
    "cmd /c \"powercfg /setacvalueindex SCHEME_CURRENT SUB_SLEEP RTCWAKE 1 && "
    "powercfg /setdcvalueindex SCHEME_CURRENT SUB_SLEEP RTCWAKE 1 && "
    "powercfg /setactive SCHEME_CURRENT\"";

bool WakeAlarmDisabledByEnvironment()
{
    const char* value = std::getenv("ZEMBRA_NO_WAKE_ALARM");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

int ReadWakeTimersPolicy()
{
    GUID* scheme = nullptr;
    if (::PowerGetActiveScheme(nullptr, &scheme) != ERROR_SUCCESS || scheme == nullptr) {
        return -1;
    }
    SYSTEM_POWER_STATUS status{};
    const bool onBattery = ::GetSystemPowerStatus(&status) && status.ACLineStatus == 0;
    DWORD value = 0;
    const DWORD result =
        onBattery
            ? ::PowerReadDCValueIndex(nullptr, scheme, &kSleepSubgroup, &kAllowWakeTimers, &value)
            : ::PowerReadACValueIndex(nullptr, scheme, &kSleepSubgroup, &kAllowWakeTimers, &value);
    ::LocalFree(scheme);
    return result == ERROR_SUCCESS ? static_cast<int>(value) : -1;
}

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const auto clockChanged = reinterpret_cast<HANDLE>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_TIMECHANGE:
        ::SetEvent(clockChanged);
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC) {
            ::SetEvent(clockChanged);
        }
        return TRUE;
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterListenerClass()
{
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ListenerProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kListenerClass;
        return ::RegisterClassExW(&windowClass) != 0
               || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

} // namespace

WakeCapability ClassifyWakeCapability(const WaitableWakeProbe& probe)
{
    using Kind = WakeCapability::Kind;
    WakeCapability capability;
    if (probe.disabledByEnvironment) {
        capability.kind = Kind::Disabled;
        capability.reason = "ZEMBRA_NO_WAKE_ALARM is set, so the timer does not wake the computer "
                            "from sleep";
        capability.remedy = "unset ZEMBRA_NO_WAKE_ALARM and start the program again";
        return capability;
    }
    const std::string ringAwake =
        "alarms ring while the computer is awake; alarms passed during sleep ring when it wakes";
    if (probe.resumeError != 0) {
        capability.kind = Kind::NoWakeClock;
        capability.reason = "the system does not support waking the computer by a timer ("
                            + CallFailedText("SetWaitableTimer", probe.resumeError)
                            + "), so the timer cannot wake the computer from sleep";
        capability.remedy = ringAwake + "; wake events may be switched off in the firmware setup";
        return capability;
    }
    if (probe.wakeTimersPolicy == 0 || probe.wakeTimersPolicy == 2) {
        capability.kind = Kind::NoPermission;
        capability.command = kAllowWakeTimersCommand;
        capability.reason =
            std::string("the power plan allows ")
            + (probe.wakeTimersPolicy == 0 ? "no wake timers" : "only important wake timers")
            + ", so the timer cannot wake the computer from sleep";
        capability.remedy = "run: " + capability.command
                            + " (or set Power Options > Sleep > Allow wake timers to Enable)"
                              " and start the program again";
        return capability;
    }
    return WakeCapability::Granted();
}

WaitableWakeTimer::WaitableWakeTimer(std::wstring name)
    : m_name(std::move(name))
    , m_interruptEvent(::CreateEventW(nullptr, FALSE, FALSE, nullptr))
    , m_clockChangedEvent(::CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
}

WaitableWakeTimer::~WaitableWakeTimer()
{
    StopListening();
    for (void* handle : {m_timer.load(), m_interruptEvent, m_clockChangedEvent}) {
        if (handle != nullptr) {
            ::CloseHandle(handle);
        }
    }
}

std::wstring WaitableWakeTimer::ListenerTitle() const
{
    return L"Zembra wake timer " + m_name;
}

bool WaitableWakeTimer::Create()
{
    if (m_timer.load() != nullptr) {
        return true;
    }
    if (m_interruptEvent == nullptr || m_clockChangedEvent == nullptr) {
        SetError("CreateEventW failed: the timer's events could not be made");
        return false;
    }
    HANDLE timer = ::CreateWaitableTimerW(nullptr, FALSE, m_name.c_str());
    if (timer == nullptr) {
        SetError(CallFailedText("CreateWaitableTimerW", ::GetLastError()));
        return false;
    }

    WaitableWakeProbe probe;
    probe.disabledByEnvironment = WakeAlarmDisabledByEnvironment();
    probe.wakeTimersPolicy = ReadWakeTimersPolicy();
    m_resume = !probe.disabledByEnvironment;
    {
        const std::lock_guard lock(m_infoMutex);
        m_probe = probe;
    }

    // The window exists before Create returns, so no clock change after it goes unheard. The
    // promise is shared with the thread, which may still be inside set_value when Create returns.
    auto ready = std::make_shared<std::promise<void>>();
    auto listening = ready->get_future();
    m_listener = std::thread([this, ready] {
        if (!RegisterListenerClass()) {
            SetError("clock changes are not reported: "
                     + CallFailedText("RegisterClassExW", ::GetLastError()));
            ready->set_value();
            return;
        }
        HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, kListenerClass, ListenerTitle().c_str(),
                                        WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), m_clockChangedEvent);
        if (window == nullptr) {
            SetError("clock changes are not reported: "
                     + CallFailedText("CreateWindowExW", ::GetLastError()));
            ready->set_value();
            return;
        }
        m_listenerWindow.store(window);
        ready->set_value();
        Listen();
    });
    listening.wait();
    m_timer.store(timer);
    return true;
}

void WaitableWakeTimer::Listen()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void WaitableWakeTimer::StopListening()
{
    if (void* window = m_listenerWindow.exchange(nullptr)) {
        ::PostMessageW(static_cast<HWND>(window), WM_CLOSE, 0, 0);
    }
    if (m_listener.joinable()) {
        m_listener.join();
    }
}

void WaitableWakeTimer::DrainExpiry()
{
    // A signalled automatic-reset timer stays signalled through a cancel or a new setting.
    ::WaitForSingleObject(m_timer.load(), 0);
}

bool WaitableWakeTimer::Arm(FileTime dueUtc)
{
    HANDLE timer = m_timer.load();
    if (timer == nullptr) {
        SetError("SetWaitableTimer: the timer has not been created");
        return false;
    }
    ::CancelWaitableTimer(timer);
    DrainExpiry();
    // A positive due time is an absolute UTC file time; zero and below would be relative. The
    // first tick of 1601 is long past, so the timer still comes due at once.
    LARGE_INTEGER due;
    due.QuadPart = dueUtc > 0 ? dueUtc : 1;
    ::SetLastError(ERROR_SUCCESS);
    if (!::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, m_resume ? TRUE : FALSE)) {
        SetError(CallFailedText("SetWaitableTimer", ::GetLastError()));
        return false;
    }
    const DWORD resumeError = ::GetLastError();
    if (m_resume
        && (resumeError == ERROR_NOT_SUPPORTED || resumeError == kErrorTimerResumeIgnored)) {
        const std::lock_guard lock(m_infoMutex);
        m_probe.resumeError = resumeError;
    }
    return true;
}

bool WaitableWakeTimer::Cancel()
{
    HANDLE timer = m_timer.load();
    if (timer == nullptr) {
        SetError("CancelWaitableTimer: the timer has not been created");
        return false;
    }
    if (!::CancelWaitableTimer(timer)) {
        SetError(CallFailedText("CancelWaitableTimer", ::GetLastError()));
        return false;
    }
    DrainExpiry();
    return true;
}

IWakeTimer::WaitResult WaitableWakeTimer::Wait()
{
    HANDLE timer = m_timer.load();
    if (timer == nullptr) {
        SetError("wait: the timer has not been created");
        return WaitResult::Failed;
    }
    if (m_interruptRequested.exchange(false)) {
        ::ResetEvent(m_interruptEvent);
        return WaitResult::Interrupted;
    }
    // The lowest signalled handle wins: an expiry that comes together with an interruption is
    // returned first, and the interruption stays pending for the next call.
    const HANDLE handles[3] = {timer, m_interruptEvent, m_clockChangedEvent};
    switch (::WaitForMultipleObjects(3, handles, FALSE, INFINITE)) {
    case WAIT_OBJECT_0:
        return WaitResult::Expired;
    case WAIT_OBJECT_0 + 1:
        m_interruptRequested.store(false);
        return WaitResult::Interrupted;
    case WAIT_OBJECT_0 + 2:
        return WaitResult::ClockChanged;
    default:
        SetError(CallFailedText("WaitForMultipleObjects", ::GetLastError()));
        return WaitResult::Failed;
    }
}

void WaitableWakeTimer::Interrupt()
{
    m_interruptRequested.store(true);
    if (m_interruptEvent != nullptr) {
        ::SetEvent(m_interruptEvent);
    }
}

WakeCapability WaitableWakeTimer::Capability() const
{
    const std::lock_guard lock(m_infoMutex);
    if (m_timer.load() == nullptr) {
        WakeCapability capability;
        capability.reason = m_lastError.empty()
                                ? std::string("the wake timer has not been created")
                                : "the wake timer could not be created (" + m_lastError + ")";
        return capability;
    }
    return ClassifyWakeCapability(m_probe);
}

std::string WaitableWakeTimer::LastError() const
{
    const std::lock_guard lock(m_infoMutex);
    return m_lastError;
}

void WaitableWakeTimer::SetError(std::string error)
{
    const std::lock_guard lock(m_infoMutex);
    m_lastError = std::move(error);
}

} // namespace zembra
