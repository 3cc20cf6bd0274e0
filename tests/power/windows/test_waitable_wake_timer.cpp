// The Windows wake timer against the real kernel object, with short real delays: what is under
// test is the contract every wake timer keeps (the Linux one included): a passed moment comes due
// at once, a second arming replaces the first, a cancelled or used-up timer stays silent, an
// interruption ends the wait, and a change of the system clock is reported. Each timer has a
// name of its own, so that parallel runs never share a kernel object. ctest sets
// ZEMBRA_NO_WAKE_ALARM, so nothing here programs the machine's wake-up.

#include "PowerBackends.h"
#include "time/ZTime.h"
#include "windows/WaitableWakeTimer.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>

using namespace zembra;
using namespace std::chrono_literals;
using WaitResult = IWakeTimer::WaitResult;
using Kind = WakeCapability::Kind;

namespace {

// Long enough for a loaded machine (or Wine) to deliver an expiry that is due.
constexpr auto kPromptly = 5s;

FileTime FromNow(std::int64_t ms)
{
    return GetSystemTimeAsFileTime() + ms * kTicksPerMillisecond;
}

std::wstring UniqueName()
{
    static std::atomic<int> counter{0};
    return L"zembra_wtimer_test_" + std::to_wstring(::GetCurrentProcessId()) + L"_"
           + std::to_wstring(counter++);
}

// Runs one Wait() and gives it `limit` to end; nullopt when it was still blocked then (it is
// interrupted, so that the thread can be joined).
std::optional<WaitResult> WaitWithin(IWakeTimer& timer, std::chrono::milliseconds limit)
{
    auto waiting = std::async(std::launch::async, [&timer] { return timer.Wait(); });
    if (waiting.wait_for(limit) != std::future_status::ready) {
        timer.Interrupt();
    }
    const WaitResult result = waiting.get();
    return result == WaitResult::Interrupted ? std::nullopt : std::optional(result);
}

class WaitableTimer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(timer.Create()) << timer.LastError(); }

    WaitableWakeTimer timer{UniqueName()};
};

} // namespace

TEST_F(WaitableTimer, PassedMomentsComeDueAtOnce)
{
    // Zero and negative values included: as due times they would mean "relative".
    for (const FileTime moment :
         {FromNow(-1), kUnixEpochTicks, FileTime{0}, std::numeric_limits<FileTime>::min()}) {
        ASSERT_TRUE(timer.Arm(moment)) << timer.LastError();
        EXPECT_EQ(WaitWithin(timer, kPromptly), WaitResult::Expired) << moment;
    }
}

TEST_F(WaitableTimer, OnlyTheSecondArmingComesDue)
{
    // The first moment still to come, or already passed, whose expiry may be waiting untaken.
    for (const int first : {100, -1}) {
        ASSERT_TRUE(timer.Arm(FromNow(first)));
        const FileTime second = FromNow(150);
        ASSERT_TRUE(timer.Arm(second));
        EXPECT_EQ(WaitWithin(timer, kPromptly), WaitResult::Expired) << first;
        EXPECT_GE(GetSystemTimeAsFileTime(), second) << first;
        EXPECT_EQ(WaitWithin(timer, 250ms), std::nullopt) << first; // real timer: one expiry
    }
}

TEST_F(WaitableTimer, CancelledStaysSilent)
{
    // A moment still to come, and one already passed, whose expiry may be waiting untaken.
    for (const int ms : {50, -1}) {
        ASSERT_TRUE(timer.Arm(FromNow(ms)));
        ASSERT_TRUE(timer.Cancel()) << timer.LastError();
        EXPECT_EQ(WaitWithin(timer, 200ms), std::nullopt) << ms; // real timer: past the moment
    }
}

TEST_F(WaitableTimer, InterruptionEndsOneWaitFromAnyThread)
{
    // Asked for before the wait: the wait still ends.
    timer.Interrupt();
    EXPECT_EQ(timer.Wait(), WaitResult::Interrupted);
    // Asked for from another thread while the wait runs (WaitWithin asks after the limit).
    EXPECT_EQ(WaitWithin(timer, 100ms), std::nullopt);
    // Used up: the next wait is for the timer again.
    ASSERT_TRUE(timer.Arm(FromNow(-1)));
    EXPECT_EQ(WaitWithin(timer, kPromptly), WaitResult::Expired);
}

TEST_F(WaitableTimer, SwitchedOffByTheEnvironmentDoesNotAskToWake)
{
    EXPECT_EQ(timer.Capability().kind, Kind::Disabled); // ctest sets ZEMBRA_NO_WAKE_ALARM
}

TEST_F(WaitableTimer, ClockSetOrResumeIsReportedAsClockChangeAndTheArmingStays)
{
    // Found among the top-level windows: a message-only window would miss the broadcasts.
    HWND listener = ::FindWindowW(L"ZembraWakeTimerListener", timer.ListenerTitle().c_str());
    ASSERT_NE(listener, nullptr);
    for (const auto& [message, wParam] :
         {std::pair<UINT, WPARAM>{WM_TIMECHANGE, 0}, {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC}}) {
        ASSERT_TRUE(timer.Arm(FromNow(300)));
        ::SendMessageW(listener, message, wParam, 0);
        EXPECT_EQ(WaitWithin(timer, kPromptly), WaitResult::ClockChanged) << message;
        EXPECT_EQ(WaitWithin(timer, kPromptly), WaitResult::Expired) << message;
    }
}

TEST(WaitableTimerObject, ProgramHasTheNamedTimerAndZembractlRunOneOfItsOwn)
{
    WaitableWakeTimer program;
    ASSERT_TRUE(program.Create()) << program.LastError();
    // The program's timer is the named one: it can be opened by that name.
    EXPECT_TRUE(::CloseHandle(::OpenWaitableTimerW(SYNCHRONIZE, FALSE, L"zembra_wtimer")));
    const std::unique_ptr<IWakeTimer> engine = CreateEngineWakeTimer();
    ASSERT_TRUE(engine->Create()) << engine->LastError();
    ASSERT_TRUE(program.Arm(FromNow(300)));
    // Had the two opened one kernel object, this would silence the program's alarm.
    ASSERT_TRUE(engine->Cancel());
    EXPECT_EQ(WaitWithin(program, kPromptly), WaitResult::Expired);
}

TEST(WaitableTimerObject, RefusedCreationIsToldWithTheSystemsReason)
{
    const std::wstring name = UniqueName();
    // The name is taken by another kind of object.
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    ASSERT_NE(mutex, nullptr);
    WaitableWakeTimer timer(name);
    EXPECT_EQ(timer.Capability().kind, Kind::NoTimer);
    EXPECT_FALSE(timer.Create());
    EXPECT_NE(timer.LastError().find("CreateWaitableTimerW failed: "), std::string::npos)
        << timer.LastError();
    EXPECT_NE(timer.Capability().reason.find(timer.LastError()), std::string::npos);
    EXPECT_FALSE(timer.Arm(FromNow(0)));
    EXPECT_FALSE(timer.Cancel());
    EXPECT_EQ(timer.Wait(), WaitResult::Failed);
    ::CloseHandle(mutex);
}

struct ProbeCase {
    const char* name;
    WaitableWakeProbe probe;
    Kind kind;
    const char* reason; // part of the reason given
};

class WakeCapabilityOf : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(WakeCapabilityOf, Probe)
{
    const WakeCapability capability = ClassifyWakeCapability(GetParam().probe);
    EXPECT_EQ(capability.kind, GetParam().kind);
    EXPECT_EQ(capability.reason.empty(), capability.canWake);
    EXPECT_NE(capability.reason.find(GetParam().reason), std::string::npos) << capability.reason;
    EXPECT_EQ(capability.remedy.empty(), capability.canWake);
    EXPECT_EQ(capability.command.empty(), GetParam().kind != Kind::NoPermission);
    if (GetParam().kind == Kind::NoPermission) {
        EXPECT_NE(capability.command.find("RTCWAKE 1"), std::string::npos);
        EXPECT_NE(capability.remedy.find(capability.command), std::string::npos);
    }
}

// Where the system refuses, its own words for the error ("not supported"), not its number.
const ProbeCase kProbes[] = {
    {"allowed", {false, 1, 0}, Kind::CanWake, ""},
    {"policyUnreadable", {false, -1, 0}, Kind::CanWake, ""},
    {"wakeTimersDisabled", {false, 0, 0}, Kind::NoPermission, "no wake timers"},
    {"importantTimersOnly", {false, 2, 0}, Kind::NoPermission, "only important wake timers"},
    {"resumeNotSupported", {false, 1, ERROR_NOT_SUPPORTED}, Kind::NoWakeClock, "not supported"},
    {"resumeIgnored", {false, 1, 722}, Kind::NoWakeClock, "SetWaitableTimer failed"},
    {"noClockOverPolicy", {false, 0, ERROR_NOT_SUPPORTED}, Kind::NoWakeClock, "not supported"},
    {"switchedOff", {true, 0, ERROR_NOT_SUPPORTED}, Kind::Disabled, "ZEMBRA_NO_WAKE_ALARM"},
};

INSTANTIATE_TEST_SUITE_P(Windows, WakeCapabilityOf, ::testing::ValuesIn(kProbes),
                         [](const auto& row) { return std::string(row.param.name); });
