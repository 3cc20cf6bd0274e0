#include "ListCommand.h"

#include "Json.h"
#include "model/CScheduler.h"

namespace zembra::cli {

namespace {

std::string ActionsKeywords(const CAlarm& alarm)
{
    std::string text;
    const auto append = [&text](bool active, const char* name) {
        if (active) {
            text += text.empty() ? "" : ", ";
            text += name;
        }
    };
    append(alarm.m_bMessageActive, "message");
    append(alarm.m_bSoundActive, "sound");
    append(alarm.m_bProgramActive, "program");
    return text.empty() ? "-" : text;
}

} // namespace

CListCommand::CListCommand()
    : CCliCommand(
        {"list",
         {"FILE"},
         {kJsonOption},
         "show every alarm in list order",
         "Shows every alarm of FILE in list order, switched on or not: its index, whether it is\n"
         "on, its type, frequency, local time, switched-on actions and comment. While the\n"
         "desktop program has FILE open, the list is its list, unsaved changes included.\n"
         "With --json: an array of objects with the keys index, active, type, frequency, local,\n"
         "comment, message, sound and program; each action is an object {active, text}.\n"})
{
}

int CListCommand::Run(Invocation& call) const
{
    CScheduler schedule;
    if (const int status = ReadAlarms(call, schedule); status != kExitOk) {
        return status;
    }
    if (call.Has("json")) {
        JsonWriter json(call.out);
        json.BeginArray();
        std::int64_t index = 0;
        for (const auto& alarm : schedule.Alarms()) {
            const auto action = [&json](const char* name, bool active, const std::string& text) {
                json.Key(name)
                    .BeginObject()
                    .Field("active", active)
                    .Field("text", text)
                    .EndObject();
            };
            json.BeginObject()
                .Field("index", index++)
                .Field("active", alarm->m_bActive)
                .Field("type", alarm->m_strType)
                .Field("frequency", alarm->m_strFrequency)
                .Field("local", FormatIso(alarm->m_time, false))
                .Field("comment", alarm->m_strComment);
            action("message", alarm->m_bMessageActive, alarm->m_strMessage);
            action("sound", alarm->m_bSoundActive, alarm->m_strSound);
            action("program", alarm->m_bProgramActive, alarm->m_strProgram);
            json.EndObject();
        }
        json.EndArray();
        call.out << '\n';
        return kExitOk;
    }
    if (schedule.Count() == 0) {
        call.out << call.File() << ": no alarms\n";
        return kExitOk;
    }
    std::vector<std::vector<std::string>> rows{
        {"#", "On", "Type", "Frequency", "Local time", "Actions", "Comment"}};
    std::size_t index = 0;
    for (const auto& alarm : schedule.Alarms()) {
        rows.push_back({std::to_string(index++), alarm->m_bActive ? "yes" : "no",
                        Printable(alarm->m_strType), Printable(alarm->m_strFrequency),
                        FormatIso(alarm->m_time, false), ActionsKeywords(*alarm),
                        Printable(alarm->m_strComment)});
    }
    PrintTable(call.out, rows);
    return kExitOk;
}

} // namespace zembra::cli
