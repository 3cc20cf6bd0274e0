#include "AddCommand.h"

#include "model/CScheduler.h"
#include "model/IProgramApprovals.h"
#include "model/ListLock.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <system_error>

namespace zembra::cli {

namespace {

template <std::size_t N>
bool IsOneOf(const std::string& word, const std::array<const char*, N>& words)
{
    return std::any_of(words.begin(), words.end(), [&word](const char* w) { return word == w; });
}

template <std::size_t N> std::string JoinWords(const std::array<const char*, N>& words)
{
    std::string text;
    for (const char* w : words) {
        text += text.empty() ? "" : ", ";
        text += w;
    }
    return text;
}

} // namespace

CAddCommand::CAddCommand()
    : CCliCommand(
        {"add",
         {"FILE"},
         {{"at", "TIME", "when the alarm fires", true},
          {"frequency", "F",
           "once (default), everyday, workdays, weekend, weekly, monthly or yearly"},
          {"type", "T", "wakeup (default), standby, hibernate or shutdown"},
          {"comment", "C", "the alarm's comment"},
          {"message", "TEXT", "show this message"},
          {"sound", "PATH", "play this sound file"},
          {"program", "CMDLINE", "start this program"},
          {"inactive", "", "add the alarm switched off"}},
         "append an alarm",
         "Appends an alarm to FILE and saves it, creating FILE when it does not exist, then\n"
         "prints the new alarm's index. A TIME given in UTC is kept as the local time of that\n"
         "moment. Each action given is switched on with its text, the others are off. A FILE\n"
         "that cannot be read or is not an alarm list is left as it was. While the desktop\n"
         "program has FILE open, the alarm is added there: the window shows it at once and\n"
         "its timer is armed for it; the list is then saved, unless the window holds unsaved\n"
         "changes (they are saved together from the window).\n"})
{
}

int CAddCommand::Run(Invocation& call) const
{
    TimeArgument at;
    if (const int status = ReadTime(call, "at", *call.Value("at"), at); status != kExitOk) {
        return status;
    }
    auto alarm = std::make_unique<CAlarm>();
    alarm->m_time = at.local;
    alarm->m_strFrequency = kFrequencyOnce;
    alarm->m_strType = kTypeWakeup;
    if (const std::string* frequency = call.Value("frequency")) {
        if (!IsOneOf(*frequency, kAllFrequencies)) {
            return call.UsageError("--frequency: '" + *frequency + "' is not one of "
                                   + JoinWords(kAllFrequencies));
        }
        alarm->m_strFrequency = *frequency;
    }
    if (const std::string* type = call.Value("type")) {
        if (!IsOneOf(*type, kAllTypes)) {
            return call.UsageError("--type: '" + *type + "' is not one of " + JoinWords(kAllTypes));
        }
        alarm->m_strType = *type;
    }
    if (const std::string* comment = call.Value("comment")) {
        alarm->m_strComment = *comment;
    }
    const auto action = [&call](std::string_view option, bool& active, std::string& text) {
        const std::string* value = call.Value(option);
        active = value != nullptr;
        text = value != nullptr ? *value : std::string();
    };
    action("message", alarm->m_bMessageActive, alarm->m_strMessage);
    action("sound", alarm->m_bSoundActive, alarm->m_strSound);
    action("program", alarm->m_bProgramActive, alarm->m_strProgram);
    alarm->m_bActive = !call.Has("inactive");

    const std::string program = alarm->m_strProgram;
    IRunningProgram::State state;
    if (IRunningProgram* running = ProgramWithFile(call, &state)) {
        // Approved first, so that the window never shows the user's own program held back.
        if (!program.empty() && call.environment.approvals != nullptr
            && !call.environment.approvals->Approve({program})) {
            call.err << kProgram << ": add: the program could not be approved in the settings; "
                     << "it will be held back until it is (" << kProgram << " approve)\n";
        }
        int index = -1;
        const ProgramReply reply = running->AddAlarm(*call.Value("at"), *alarm, index);
        if (reply.Ok()) {
            const int status = SaveInProgram(call, *running, state);
            call.out << index << '\n';
            return status;
        }
        if (reply.kind != ProgramReply::Kind::NotRunning) {
            return ProgramFailure(call, reply);
        }
    }

    ListLock lock(call.File());
    if (const int status = LockList(call, lock); status != kExitOk) {
        return status;
    }
    CScheduler schedule;
    std::error_code ec;
    const bool missing =
        std::filesystem::status(call.File(), ec).type() == std::filesystem::file_type::not_found;
    // Anything that exists must read as an alarm list first: saving over a file that does not
    // would destroy it.
    if (!missing) {
        if (const int status = LoadList(call, schedule); status != kExitOk) {
            return status;
        }
    }
    schedule.AddAlarm(std::move(alarm));
    if (const int status = SaveList(call, schedule); status != kExitOk) {
        return status;
    }
    // The command line given here is the user's own.
    if (!program.empty() && call.environment.approvals != nullptr
        && !call.environment.approvals->Approve({program})) {
        call.err << kProgram << ": add: the program could not be approved in the settings; it "
                 << "will be held back until it is (" << kProgram << " approve)\n";
    }
    call.out << schedule.Count() - 1 << '\n';
    return kExitOk;
}

} // namespace zembra::cli
