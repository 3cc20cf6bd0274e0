#include "DueCommand.h"

#include "Json.h"
#include "model/CScheduler.h"

namespace zembra::cli {

CDueCommand::CDueCommand()
    : CCliCommand(
        {"due",
         {"FILE"},
         {{"from", "TIME", "start of the window", true},
          {"to", "TIME", "end of the window (included)", true},
          kJsonOption},
         "show the switched-on alarms due within a window",
         "Shows the switched-on alarms that fall due between --from and --to (both included),\n"
         "in list order, one line each: index, firing in local time, frequency and comment.\n"
         "With --json: an array of the alarms' indexes.\n"})
{
}

int CDueCommand::Run(Invocation& call) const
{
    TimeArgument start;
    TimeArgument end;
    if (const int status = ReadTime(call, "from", *call.Value("from"), start); status != kExitOk) {
        return status;
    }
    if (const int status = ReadTime(call, "to", *call.Value("to"), end); status != kExitOk) {
        return status;
    }
    CScheduler schedule;
    if (const int status = LoadList(call, schedule); status != kExitOk) {
        return status;
    }
    std::vector<const CAlarm*> due;
    schedule.ResetWalk();
    while (const CAlarm* alarm = schedule.GetNextDueAlarmUtc(start.utc, end.utc)) {
        due.push_back(alarm);
    }

    if (call.Has("json")) {
        JsonWriter json(call.out);
        json.BeginArray();
        for (const CAlarm* alarm : due) {
            json.Int(schedule.IndexOf(alarm));
        }
        json.EndArray();
        call.out << '\n';
        return kExitOk;
    }
    std::vector<std::vector<std::string>> rows;
    for (const CAlarm* alarm : due) {
        // The walk says which alarms are due, not when; the same search finds the moment.
        FileTime firing = 0;
        std::string when;
        if (alarm->NextOccurrenceUtc(start.utc, &end.utc, firing) == 1) {
            if (const auto local = FiringLocal(*alarm, firing)) {
                when = FormatIso(*local, false);
            }
        }
        rows.push_back({std::to_string(schedule.IndexOf(alarm)), when,
                        Printable(alarm->m_strFrequency), Printable(alarm->m_strComment)});
    }
    PrintTable(call.out, rows);
    return kExitOk;
}

} // namespace zembra::cli
