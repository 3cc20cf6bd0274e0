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

using namespace zembra;
using namespace std::chrono_literals;
using WaitResult = IWakeTimer::WaitResult;
using Kind = WakeCapability::Kind;

namespace {

// Long enough for a loaded machine (or Wine) to deliver an expiry that is due.
constexpr auto kPromptly = 5s;

FileTime Now()
{
    return GetSystemTimeAsFileTime();
}

FileTime Milliseconds(std::int64_t ms)
{
    return ms * kTicksPerMillisecond;
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
    if (waiting.wait_for(limit) == std::future_status::ready) {
        return waiting.get();
    }
    timer.Interrupt();
    const WaitResult result = waiting.get();
    if (result == WaitResult::Interrupted) {
        return std::nullopt;
    }
    return result;
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
    for (const FileTime moment : {Now() - Milliseconds(1), kUnixEpochTicks, FileTime{0},
                                  std::numeric_limits<FileTime>::min()}) {
        ASSERT_TRUE(timer.Arm(moment)) << timer.LastError();
        EXPECT_EQ(WaitWithin(timer, kPromptly), WaitResult::Expired) << moment;
    }
}

struct TwoArmings {
    const char* name;
    int firstMs;
    int secondMs;
};

class WaitableTimerArmedTwice : public WaitableTimer,
                                public ::testing::WithParamInterface<TwoArmings> {};

TEST_P(WaitableTimerArmedTwice, OnlyTheSecondComesDue)
{
    ASSERT_TRUE(timer.Arm(Now() + Milliseconds(GetParam().firstMs)));
    const FileTime second = Now() + Milliseconds(GetParam().secondMs);
    ASSERT_TRUE(timer.Arm(second));
    EXPECT_EQ(WaitWithin(timer, kPromptly), WaitResult::Expired);
    EXPECT_GE(Now(), second);
    EXPECT_EQ(WaitWithin(timer, 250ms), std::nullopt); // real timer: past both moments, one expiry
}

INSTANTIATE_TEST_SUITE_P(Rearm, WaitableTimerArmedTwice,
                         ::testing::Values(TwoArmings{"laterReplacesEarlier", 100, 150},
                                           TwoArmings{"atOnceReplacesLater", 100, 0},
                                           TwoArmings{"laterReplacesPassed", -1, 100}),
                         [](const ::testing::TestParamInfo<TwoArmings>& param) {
                             return std::string(param.param.name);
                         });

TEST_F(WaitableTimer, CancelledBeforeItsMomentStaysSilent)
{
    ASSERT_TRUE(timer.Arm(Now() + Milliseconds(50)));
    ASSERT_TRUE(timer.Cancel()) << timer.LastError();
    EXPECT_EQ(WaitWithin(timer, 200ms), std::nullopt); // real timer: past the cancelled moment
}

TEST_F(WaitableTimer, CancelAfterExpiryKeepsItSilentUntilArmedAgain)
{
    ASSERT_TRUE(timer.Arm(Now() - Milliseconds(1)));
    ASSERT_EQ(WaitWithin(timer, kPromptly), WaitResult::Expired);
    EXPECT_TRUE(timer.Cancel()) << timer.LastError();
    EXPECT_EQ(WaitWithin(timer, 100ms), std::nullopt); // real timer: one-shot, nothing follows
    ASSERT_TRUE(timer.Arm(Now() + Milliseconds(10)));
    EXPECT_EQ(WaitWithin(timer, kPromptly), WaitResult::Expired);
}

TEST_F(WaitableTimer, InterruptionEndsOneWaitFromAnyThread)
{
    // Asked for before the wait: the wait still ends.
    timer.Interrupt();
    EXPECT_EQ(timer.Wait(), WaitResult::Interrupted);
    // Asked for from another thread while the wait runs.
    auto waiting = std::async(std::launch::async, [this] { return timer.Wait(); });
    timer.Interrupt();
    EXPECT_EQ(waiting.get(), WaitResult::Interrupted);
    // Used up: the next wait is for the timer again.
    ASSERT_TRUE(timer.Arm(Now() - Milliseconds(1)));
    EXPECT_EQ(WaitWithin(timer, kPromptly), WaitResult::Expired);
}

struct Notice {
    const char* name;
    UINT message;
    WPARAM wParam;
};

class WaitableTimerNotice : public WaitableTimer, public ::testing::WithParamInterface<Notice> {};

TEST_P(WaitableTimerNotice, IsReportedAsClockChangeAndTheArmingStays)
{
    // Found among the top-level windows: a message-only window would miss the broadcasts.
    HWND listener = ::FindWindowW(L"ZembraWakeTimerListener", timer.ListenerTitle().c_str());
    ASSERT_NE(listener, nullptr);
    ASSERT_TRUE(timer.Arm(Now() + Milliseconds(300)));
    ::SendMessageW(listener, GetParam().message, GetParam().wParam, 0);
    EXPECT_EQ(WaitWithin(timer, kPromptly), WaitResult::ClockChanged);
    EXPECT_EQ(WaitWithin(timer, kPromptly), WaitResult::Expired);
}

INSTANTIATE_TEST_SUITE_P(
    Broadcasts, WaitableTimerNotice,
    ::testing::Values(Notice{"clockSet", WM_TIMECHANGE, 0},
                      Notice{"resumedFromSleep", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC}),
    [](const ::testing::TestParamInfo<Notice>& param) { return std::string(param.param.name); });

TEST(WaitableTimerObject, IsTheNamedTimerOfTheProgram)
{
    WaitableWakeTimer timer;
    ASSERT_TRUE(timer.Create()) << timer.LastError();
    HANDLE same = ::OpenWaitableTimerW(SYNCHRONIZE, FALSE, L"zembra_wtimer");
    EXPECT_NE(same, nullptr);
    ::CloseHandle(same);
}

TEST(WaitableTimerObject, ZembractlRunHasATimerOfItsOwn)
{
    WaitableWakeTimer program;
    ASSERT_TRUE(program.Create()) << program.LastError();
    const std::unique_ptr<IWakeTimer> engine = CreateEngineWakeTimer();
    ASSERT_TRUE(engine->Create()) << engine->LastError();
    ASSERT_TRUE(program.Arm(Now() + Milliseconds(300)));
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
    const WakeCapability capability = timer.Capability();
    EXPECT_EQ(capability.kind, Kind::NoTimer);
    EXPECT_NE(capability.reason.find(timer.LastError()), std::string::npos);
    EXPECT_FALSE(timer.Arm(Now()));
    EXPECT_EQ(timer.Wait(), WaitResult::Failed);
    ::CloseHandle(mutex);
}

TEST(WaitableTimerObject, SwitchedOffByTheEnvironmentDoesNotAskToWake)
{
    WaitableWakeTimer timer(UniqueName());
    ASSERT_TRUE(timer.Create());
    EXPECT_EQ(timer.Capability().kind, Kind::Disabled); // ctest sets ZEMBRA_NO_WAKE_ALARM
}

struct ProbeCase {
    const char* name;
    WaitableWakeProbe probe;
    Kind kind;
};

class WakeCapabilityOf : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(WakeCapabilityOf, Probe)
{
    const WakeCapability capability = ClassifyWakeCapability(GetParam().probe);
    EXPECT_EQ(capability.kind, GetParam().kind);
    EXPECT_EQ(capability.canWake, GetParam().kind == Kind::CanWake);
    EXPECT_EQ(capability.reason.empty(), capability.canWake);
    EXPECT_EQ(capability.remedy.empty(), capability.canWake);
    EXPECT_EQ(capability.command.empty(), GetParam().kind != Kind::NoPermission);
    if (GetParam().kind == Kind::NoPermission) {
        EXPECT_NE(capability.command.find("RTCWAKE 1"), std::string::npos);
        EXPECT_NE(capability.remedy.find(capability.command), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WakeCapabilityOf,
    ::testing::Values(
        ProbeCase{"allowed", {false, 1, 0}, Kind::CanWake},
        ProbeCase{"policyUnreadable", {false, -1, 0}, Kind::CanWake},
        ProbeCase{"wakeTimersDisabled", {false, 0, 0}, Kind::NoPermission},
        ProbeCase{"importantTimersOnly", {false, 2, 0}, Kind::NoPermission},
        ProbeCase{"resumeNotSupported", {false, 1, ERROR_NOT_SUPPORTED}, Kind::NoWakeClock},
        ProbeCase{"resumeIgnored", {false, 1, 722}, Kind::NoWakeClock},
        ProbeCase{"noClockBeforeNoPermission", {false, 0, ERROR_NOT_SUPPORTED}, Kind::NoWakeClock},
        ProbeCase{"switchedOff", {true, 0, ERROR_NOT_SUPPORTED}, Kind::Disabled}),
    [](const ::testing::TestParamInfo<ProbeCase>& param) { return std::string(param.param.name); });

TEST(WakeCapabilityText, NoWakeClockQuotesTheSystem)
{
    const WakeCapability capability = ClassifyWakeCapability({false, 1, ERROR_NOT_SUPPORTED});
    // The system's own words for ERROR_NOT_SUPPORTED, not its number.
    EXPECT_NE(capability.reason.find("not supported"), std::string::npos) << capability.reason;
}
