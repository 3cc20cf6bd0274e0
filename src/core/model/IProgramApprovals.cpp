#include "model/IProgramApprovals.h"

#include <algorithm>

namespace zembra {

namespace {

void AddOnce(std::vector<std::string>& list, const std::string& commandLine)
{
    if (std::find(list.begin(), list.end(), commandLine) == list.end()) {
        list.push_back(commandLine);
    }
}

} // namespace

bool IsProgramHeldBack(const CAlarm& alarm, const IProgramApprovals& approvals)
{
    return alarm.m_bProgramActive && !alarm.m_strProgram.empty()
           && !approvals.IsApproved(alarm.m_strProgram);
}

std::vector<std::string> UnapprovedPrograms(const CScheduler& schedule,
                                            const IProgramApprovals& approvals)
{
    std::vector<std::string> unapproved;
    for (const auto& alarm : schedule.Alarms()) {
        if (IsProgramHeldBack(*alarm, approvals)) {
            AddOnce(unapproved, alarm->m_strProgram);
        }
    }
    return unapproved;
}

std::vector<std::string> ProgramsOf(const CScheduler& schedule)
{
    std::vector<std::string> programs;
    for (const auto& alarm : schedule.Alarms()) {
        if (!alarm->m_strProgram.empty()) {
            AddOnce(programs, alarm->m_strProgram);
        }
    }
    return programs;
}

} // namespace zembra
