// The Windows power requests over a recording double of the Win32 calls: which calls each
// request makes, in which order and with which arguments, and that a refusal comes back with
// the system's own text. Nothing here suspends, hibernates or switches off the machine.

#include "PowerBackends.h"
#include "windows/PowerCalls.h"
#include "windows/Win32PowerRequests.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace zembra;

namespace {

// Logs each call in a few words, which say whether its arguments were the expected ones.
class RecordingPowerCalls final : public IPowerCalls {
public:
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

    std::vector<std::string> log;
    std::string refused; // this call fails, with ERROR_ACCESS_DENIED

private:
    bool Record(const std::string& call, unsigned long& error)
    {
        log.push_back(call);
        error = call == refused ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
        return call != refused;
    }
};

struct RequestCase {
    const char* name;
    PowerResult (IPowerRequests::*request)();
    std::vector<std::string> calls;
};

class PowerRequest : public ::testing::TestWithParam<RequestCase> {
protected:
    PowerResult Request() { return (requests.*GetParam().request)(); }

    // Handed to `requests`, and still read through `calls`.
    std::unique_ptr<RecordingPowerCalls> owned = std::make_unique<RecordingPowerCalls>();
    RecordingPowerCalls& calls = *owned;
    Win32PowerRequests requests{std::move(owned)};
};

} // namespace

TEST_P(PowerRequest, MakesItsCallsInOrderAndStopsAtARefusedOne)
{
    const std::vector<std::string>& all = GetParam().calls;
    EXPECT_TRUE(Request().ok);
    EXPECT_EQ(calls.log, all);
    // Each call refused in turn: the request stops there.
    for (auto refused = all.begin(); refused != all.end(); ++refused) {
        calls.log.clear();
        calls.refused = *refused;
        const PowerResult result = Request();
        EXPECT_FALSE(result.ok) << *refused;
        EXPECT_EQ(calls.log, std::vector(all.begin(), refused + 1));
        // The system's words ("Access denied"), not a number.
        EXPECT_NE(result.error.find(": Access"), std::string::npos) << result.error;
    }
}

const RequestCase kRequests[] = {
    {"standby", &IPowerRequests::Standby, {"privilege", "suspend standby"}},
    {"hibernate", &IPowerRequests::Hibernate, {"privilege", "suspend hibernate"}},
    {"shutdown", &IPowerRequests::Shutdown, {"privilege", "exit poweroff forced planned"}},
    {"displayOn", &IPowerRequests::DisplayOn, {"execution display"}},
};

INSTANTIATE_TEST_SUITE_P(Windows, PowerRequest, ::testing::ValuesIn(kRequests),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SystemPowerCalls, EnableTheShutdownPrivilegeOfTheProcess)
{
    // Harmless on its own: it only allows this process to ask later.
    unsigned long error = 0;
    EXPECT_TRUE(CreateSystemPowerCalls()->EnableShutdownPrivilege(error)) << error;
}

TEST(PowerBackendSelection, SimulationWhenALogIsGiven)
{
    const std::filesystem::path log =
        std::filesystem::temp_directory_path()
        / ("zembra-power-" + std::to_string(::GetCurrentProcessId()) + ".log");
    EXPECT_TRUE(CreatePowerRequests(log.string())->Standby().ok);
    EXPECT_TRUE(std::filesystem::remove(log)); // the simulation wrote it
}
