// The Windows power requests over a recording double of the Win32 calls: which calls each
// request makes, in which order and with which arguments, and that a refusal comes back with
// the system's own text. Nothing here suspends, hibernates or switches off the machine.

#include "PowerBackends.h"
#include "windows/PowerCalls.h"
#include "windows/Win32PowerRequests.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace zembra;

namespace {

struct Log {
    std::vector<std::string> calls;
    // The call that is refused, and with which error.
    std::string refused;
    unsigned long error = 0;
};

class RecordingPowerCalls final : public IPowerCalls {
public:
    explicit RecordingPowerCalls(Log& log)
        : m_log(log)
    {
    }

    bool EnableShutdownPrivilege(unsigned long& error) override
    {
        return Record("privilege", error);
    }
    bool SuspendSystem(bool hibernate, unsigned long& error) override
    {
        return Record(hibernate ? "suspend hibernate" : "suspend standby", error);
    }
    bool ExitSystem(unsigned flags, unsigned long reason, unsigned long& error) override
    {
        const bool expected =
            flags == (EWX_POWEROFF | EWX_FORCE) && (reason & SHTDN_REASON_FLAG_PLANNED) != 0;
        return Record(expected ? "exit poweroff forced planned" : "exit other", error);
    }
    bool SetExecutionState(unsigned long flags, unsigned long& error) override
    {
        const bool expected = (flags & ES_DISPLAY_REQUIRED) != 0 && (flags & ES_CONTINUOUS) == 0;
        return Record(expected ? "execution display" : "execution other", error);
    }

private:
    bool Record(const std::string& call, unsigned long& error)
    {
        m_log.calls.push_back(call);
        if (call.rfind(m_log.refused, 0) == 0 && !m_log.refused.empty()) {
            error = m_log.error;
            return false;
        }
        return true;
    }

    Log& m_log;
};

struct RequestCase {
    const char* name;
    std::function<PowerResult(IPowerRequests&)> request;
    std::vector<std::string> calls;
};

class PowerRequest : public ::testing::TestWithParam<RequestCase> {
protected:
    Log log;
    Win32PowerRequests requests{std::make_unique<RecordingPowerCalls>(log)};
};

} // namespace

TEST_P(PowerRequest, MakesItsCallsAfterThePrivilege)
{
    const PowerResult result = GetParam().request(requests);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(log.calls, GetParam().calls);
}

TEST_P(PowerRequest, RefusedPrivilegeStopsTheRequestWithTheSystemsText)
{
    log.refused = "privilege";
    log.error = ERROR_PRIVILEGE_NOT_HELD;
    const PowerResult result = GetParam().request(requests);
    if (GetParam().calls.front() != "privilege") {
        EXPECT_TRUE(result.ok); // turning the display on needs no privilege
        return;
    }
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(log.calls, std::vector<std::string>{"privilege"});
    // The system's words ("A required privilege is not held by the client."), not a number.
    EXPECT_NE(result.error.find("not held"), std::string::npos) << result.error;
}

TEST_P(PowerRequest, RefusedCallIsToldWithTheSystemsText)
{
    log.refused = GetParam().calls.back();
    log.error = ERROR_ACCESS_DENIED;
    const PowerResult result = GetParam().request(requests);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(log.calls, GetParam().calls);
    EXPECT_NE(result.error.find("failed: Access"), std::string::npos) << result.error;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, PowerRequest,
    ::testing::Values(RequestCase{"standby",
                                  [](IPowerRequests& r) { return r.Standby(); },
                                  {"privilege", "suspend standby"}},
                      RequestCase{"hibernate",
                                  [](IPowerRequests& r) { return r.Hibernate(); },
                                  {"privilege", "suspend hibernate"}},
                      RequestCase{"shutdown",
                                  [](IPowerRequests& r) { return r.Shutdown(); },
                                  {"privilege", "exit poweroff forced planned"}},
                      RequestCase{"displayOn",
                                  [](IPowerRequests& r) { return r.DisplayOn(); },
                                  {"execution display"}}),
    [](const ::testing::TestParamInfo<RequestCase>& param) {
        return std::string(param.param.name);
    });

TEST(SystemPowerCalls, EnableTheShutdownPrivilegeOfTheProcess)
{
    // Harmless on its own: it only allows this process to ask later.
    unsigned long error = 0;
    EXPECT_TRUE(CreateSystemPowerCalls()->EnableShutdownPrivilege(error)) << error;
}

TEST(PowerBackendSelection, SimulationWhenALogIsGiven)
{
    char folder[MAX_PATH];
    ASSERT_NE(::GetTempPathA(MAX_PATH, folder), 0u);
    const std::string log =
        std::string(folder) + "zembra-power-" + std::to_string(::GetCurrentProcessId()) + ".log";
    EXPECT_TRUE(CreatePowerRequests(log)->Standby().ok);
    EXPECT_NE(::GetFileAttributesA(log.c_str()), INVALID_FILE_ATTRIBUTES);
    ::DeleteFileA(log.c_str());
}
