#include "NextCommand.h"

#include "Json.h"
#include "model/CScheduler.h"

namespace zembra::cli {

namespace {

// The alarm the running program's timer is armed for, printed as `next` prints one.
std::optional<int> PrintProgramsNext(Invocation& call)
{
    IRunningProgram* program = ProgramWithFile(call);
    if (program == nullptr) {
        return std::nullopt;
    }
    std::optional<ProgramNextAlarm> next;
    const ProgramReply reply = program->NextAlarm(next);
    if (reply.kind == ProgramReply::Kind::NotRunning) {
        return std::nullopt;
    }
    if (!reply.Ok()) {
        return ProgramFailure(call, reply);
    }
    if (call.Has("json")) {
        JsonWriter json(call.out);
        if (next) {
            json.BeginObject()
                .Field("index", std::int64_t{next->index})
                .Field("local", next->local)
                .Field("utc", next->utc)
                .EndObject();
        } else {
            json.Null();
        }
        call.out << '\n';
        return kExitOk;
    }
    if (!next) {
        call.out << "no alarm pending\n";
        return kExitOk;
    }
    call.out << "alarm " << next->index << " (" << Printable(next->frequency) << ") fires at "
             << next->local << " (" << next->utc << ')';
    if (!next->comment.empty()) {
        call.out << ": " << Printable(next->comment);
    }
    call.out << '\n';
    return kExitOk;
}

} // namespace

CNextCommand::CNextCommand()
    : CCliCommand(
        {"next",
         {"FILE"},
         {{"at", "TIME", "look from TIME instead of from now"}, kJsonOption},
         "show the switched-on alarm that fires first",
         "Shows the switched-on alarm that fires first at or after TIME (default: now), with\n"
         "its firing in local time and in UTC. Of alarms firing at the same moment the first\n"
         "in the list is shown. While the desktop program has FILE open, the alarm is the one\n"
         "its timer is armed for (without --at) or one of its list.\n"
         "With --json: {\"index\", \"local\", \"utc\"}, or null when no alarm is pending.\n"})
{
}

int CNextCommand::Run(Invocation& call) const
{
    FileTime from = 0;
    if (const int status = ReadTimeOrNow(call, "at", from); status != kExitOk) {
        return status;
    }
    // From now, the running program knows best: what it has carried out already is not next.
    if (!call.Has("at")) {
        if (const std::optional<int> status = PrintProgramsNext(call)) {
            return *status;
        }
    }
    CScheduler schedule;
    if (const int status = ReadAlarms(call, schedule); status != kExitOk) {
        return status;
    }
    FileTime firing = 0;
    const CAlarm* alarm = schedule.GetEarliestAlarmUtc(from, firing);
    const auto local = alarm != nullptr ? FiringLocal(*alarm, firing) : std::nullopt;
    if (call.Has("json")) {
        JsonWriter json(call.out);
        if (local) {
            json.BeginObject()
                .Field("index", std::int64_t{schedule.IndexOf(alarm)})
                .Field("local", FormatIso(*local, false))
                .Field("utc", UtcText(firing))
                .EndObject();
        } else {
            json.Null();
        }
        call.out << '\n';
        return kExitOk;
    }
    if (!local) {
        call.out << "no alarm pending\n";
        return kExitOk;
    }
    call.out << "alarm " << schedule.IndexOf(alarm) << " (" << Printable(alarm->m_strFrequency)
             << ") fires at " << FormatIso(*local, false) << " (" << UtcText(firing) << ')';
    if (!alarm->m_strComment.empty()) {
        call.out << ": " << Printable(alarm->m_strComment);
    }
    call.out << '\n';
    return kExitOk;
}

} // namespace zembra::cli
