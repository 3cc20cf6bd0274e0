#include "IPowerRequests.h"

#include "model/CAlarm.h"

#include <string_view>

namespace zembra {

namespace {

// The word of logind's inhibitor list that holds off the request of an alarm type; empty for a
// type that asks nothing of the power state.
std::string_view InhibitorWord(const std::string& alarmType)
{
    if (alarmType == kTypeStandby || alarmType == kTypeHibernate) {
        return "sleep";
    }
    if (alarmType == kTypeShutdown) {
        return "shutdown";
    }
    return {};
}

} // namespace

bool InhibitorBlocks(const std::string& what, const std::string& mode, const std::string& alarmType)
{
    const std::string_view word = InhibitorWord(alarmType);
    if (word.empty() || mode != "block") {
        return false;
    }
    // Whole words only: the list also carries words such as "handle-suspend-key".
    std::string_view rest = what;
    while (true) {
        const std::size_t colon = rest.find(':');
        if (rest.substr(0, colon) == word) {
            return true;
        }
        if (colon == std::string_view::npos) {
            return false;
        }
        rest.remove_prefix(colon + 1);
    }
}

std::string DescribeInhibitors(const std::vector<PowerInhibitor>& inhibitors)
{
    std::string text;
    for (const PowerInhibitor& inhibitor : inhibitors) {
        if (!text.empty()) {
            text += ", ";
        }
        text += inhibitor.who.empty() ? std::string("?") : inhibitor.who;
        if (!inhibitor.why.empty()) {
            text += " (" + inhibitor.why + ")";
        }
    }
    return text;
}

} // namespace zembra
