#pragma once

// The requests by which the program changes the power state of the computer. Each returns
// whether the system accepted it and, when not, the system's own explanation, so that no
// request can fail silently.

#include <string>
#include <vector>

namespace zembra {

struct PowerResult {
    bool ok = true;
    std::string error; // the system's text when !ok

    static PowerResult Ok() { return {}; }
    static PowerResult Failed(std::string text) { return {false, std::move(text)}; }
};

// A program that holds off a change of the power state, as the system names it.
struct PowerInhibitor {
    std::string who;  // the program's own name for itself
    std::string why;  // its reason, as it gave it
    std::string what; // logind's colon-separated list ("sleep:shutdown")
    unsigned pid = 0;
    unsigned uid = 0;
};

// Whether an inhibitor of these `what` words ("sleep:shutdown") in this mode ("block", "delay")
// stops the request of this alarm type ("standby", "hibernate", "shutdown"). A delay only holds
// the request back for a moment, so only "block" counts.
bool InhibitorBlocks(const std::string& what, const std::string& mode,
                     const std::string& alarmType);
// The blockers in a few words for the user: "Updater (Installing updates), Backup (Copying
// files)"; a program that gave no reason is named alone.
std::string DescribeInhibitors(const std::vector<PowerInhibitor>& inhibitors);

class IPowerRequests {
public:
    virtual ~IPowerRequests() = default;

    virtual PowerResult Standby() = 0;
    virtual PowerResult Hibernate() = 0;
    // Switches the computer off; running programs are not asked.
    virtual PowerResult Shutdown() = 0;
    // Turns the display on after the machine woke for an alarm.
    virtual PowerResult DisplayOn() = 0;

    // The programs that hold a blocking inhibitor against the request of this alarm type
    // ("standby" and "hibernate" are blocked by "sleep", "shutdown" by "shutdown"). Blocks until
    // the system answers; empty when none does or the system cannot tell.
    virtual std::vector<PowerInhibitor> BlockingInhibitors(const std::string& alarmType)
    {
        static_cast<void>(alarmType);
        return {};
    }
};

} // namespace zembra
