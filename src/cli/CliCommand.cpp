#include "CliCommand.h"

#include "model/CScheduler.h"
#include "model/ListLock.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <filesystem>
#include <system_error>

namespace zembra::cli {

namespace {

// Columns are measured in characters, not bytes, so that Polish letters line up.
std::size_t DisplayWidth(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// True when both paths lead to the same file (or would, for a file not made yet).
bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    const std::filesystem::path first = std::filesystem::weakly_canonical(a, ec);
    if (ec) {
        return false;
    }
    const std::filesystem::path second = std::filesystem::weakly_canonical(b, ec);
    return !ec && first == second;
}

} // namespace

std::string UtcText(FileTime utc)
{
    SystemTime st;
    if (!FileTimeToSystemTime(utc, st)) {
        return {};
    }
    return FormatIso(st, true);
}

std::optional<SystemTime> FiringLocal(const CAlarm& alarm, FileTime firingUtc)
{
    if (alarm.m_strFrequency == kFrequencyOnce) {
        return alarm.m_time;
    }
    return UtcToLocalSystemTime(firingUtc);
}

int ReadTime(const Invocation& call, std::string_view option, const std::string& text,
             TimeArgument& result)
{
    const auto bad = [&](const std::string& why) {
        return call.UsageError("--" + std::string(option) + ": '" + text + "' " + why);
    };
    const auto parsed = ParseIso(text);
    if (!parsed) {
        return bad("is not a TIME (YYYY-MM-DDTHH:MM[:SS[.mmm]], local, or UTC with a trailing Z)");
    }
    if (parsed->utc) {
        if (!SystemTimeToFileTime(parsed->time, result.utc)) {
            return bad("is out of range");
        }
        const auto local = UtcToLocalSystemTime(result.utc);
        if (!local) {
            return bad("is out of range in the local time zone");
        }
        result.local = *local;
    } else {
        const auto utc = LocalSystemTimeToUtc(parsed->time);
        if (!utc) {
            return bad("is out of range in the local time zone");
        }
        result.utc = *utc;
        result.local = parsed->time;
    }
    return kExitOk;
}

int ReadTimeOrNow(const Invocation& call, std::string_view option, FileTime& utc)
{
    const std::string* text = call.Value(option);
    if (text == nullptr) {
        utc = call.environment.now();
        return kExitOk;
    }
    TimeArgument time;
    const int status = ReadTime(call, option, *text, time);
    utc = time.utc;
    return status;
}

NumberRead ReadUnsigned(const std::string& text, unsigned long long& value)
{
    if (text.empty()
        || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return NumberRead::NotANumber;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        return NumberRead::TooLarge;
    }
    return ec == std::errc() && end == text.data() + text.size() ? NumberRead::Ok
                                                                 : NumberRead::NotANumber;
}

int LoadList(const Invocation& call, CScheduler& schedule)
{
    const std::string& path = call.File();
    schedule.LoadFromFile(path);
    switch (schedule.GetLastLoadStatus()) {
    case CScheduler::LoadStatus::Read:
        return kExitOk;
    case CScheduler::LoadStatus::CannotOpen:
        call.err << kProgram << ": cannot read " << path << ": " << schedule.GetLastFileError()
                 << '\n';
        return kExitFileError;
    case CScheduler::LoadStatus::NotParsed:
    case CScheduler::LoadStatus::NotAlarmList:
        break;
    }
    call.err << kProgram << ": " << path << ": not an alarm list: " << schedule.GetLastFileError()
             << '\n';
    return kExitNotAlarmList;
}

int SaveList(const Invocation& call, CScheduler& schedule)
{
    if (schedule.SaveToFile(call.File()) != 0) {
        call.err << kProgram << ": cannot write " << call.File() << ": "
                 << schedule.GetLastFileError() << '\n';
        return kExitFileError;
    }
    return kExitOk;
}

std::string Printable(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = ' ';
        }
    }
    return result;
}

void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], DisplayWidth(row[i]));
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) {
                line.append(widths[i] - DisplayWidth(row[i]) + 2, ' ');
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        out << line << '\n';
    }
}

int ReadIndexOperand(const Invocation& call, unsigned long long& index)
{
    const std::string& text = call.operands[1];
    const NumberRead read = ReadUnsigned(text, index);
    if (read == NumberRead::NotANumber) {
        return call.UsageError("INDEX must be a number counting from 0, not '" + text + "'");
    }
    if (read == NumberRead::TooLarge) {
        index = static_cast<unsigned long long>(-1);
    }
    return kExitOk;
}

int CheckIndexInRange(const Invocation& call, const CScheduler& schedule, unsigned long long index)
{
    if (index < schedule.Count()) {
        return kExitOk;
    }
    call.err << kProgram << ": " << call.command.name << ": index " << call.operands[1]
             << " is out of range: ";
    if (schedule.Count() == 0) {
        call.err << call.File() << " holds no alarms\n";
    } else {
        call.err << "valid indexes are 0 to " << schedule.Count() - 1 << " (" << call.File()
                 << " holds " << schedule.Count()
                 << (schedule.Count() == 1 ? " alarm)\n" : " alarms)\n");
    }
    return kExitUsage;
}

IRunningProgram* ProgramWithFile(const Invocation& call, IRunningProgram::State* state)
{
    IRunningProgram* program = call.environment.program;
    if (program == nullptr) {
        return nullptr;
    }
    const std::optional<IRunningProgram::State> open = program->OpenList();
    if (!open || open->path.empty() || !SameFile(open->path, call.File())) {
        return nullptr;
    }
    if (state != nullptr) {
        *state = *open;
    }
    return program;
}

int ProgramFailure(const Invocation& call, const ProgramReply& reply)
{
    call.err << kProgram << ": " << call.command.name << ": " << reply.message << '\n';
    switch (reply.kind) {
    case ProgramReply::Kind::Done:
        return kExitOk;
    case ProgramReply::Kind::NotRunning:
        return kExitNoProgram;
    case ProgramReply::Kind::BadArgument:
        return kExitUsage;
    case ProgramReply::Kind::FileError:
        return kExitFileError;
    case ProgramReply::Kind::NotAlarmList:
        return kExitNotAlarmList;
    case ProgramReply::Kind::Failed:
        break;
    }
    return kExitInternal;
}

int SaveInProgram(const Invocation& call, IRunningProgram& program,
                  const IRunningProgram::State& before)
{
    if (before.modified) {
        call.err << kProgram << ": " << call.command.name
                 << ": done in the running Zembra; its list has unsaved changes, so " << call.File()
                 << " is written when the list is saved there\n";
        return kExitOk;
    }
    const ProgramReply saved = program.Save();
    if (saved.Ok()) {
        return kExitOk;
    }
    call.err << kProgram << ": " << call.command.name
             << ": done in the running Zembra, but the list was not saved: " << saved.message
             << '\n';
    return saved.kind == ProgramReply::Kind::FileError ? kExitFileError : kExitInternal;
}

int ReadAlarms(const Invocation& call, CScheduler& schedule)
{
    if (IRunningProgram* program = ProgramWithFile(call)) {
        std::vector<CAlarm> alarms;
        const ProgramReply reply = program->ListAlarms(alarms);
        if (reply.Ok()) {
            for (CAlarm& alarm : alarms) {
                schedule.AddAlarm(std::make_unique<CAlarm>(std::move(alarm)));
            }
            return kExitOk;
        }
        // A program that ended meanwhile leaves the file to read.
        if (reply.kind != ProgramReply::Kind::NotRunning) {
            return ProgramFailure(call, reply);
        }
    }
    return LoadList(call, schedule);
}

int LockList(const Invocation& call, ListLock& lock)
{
    std::string error;
    if (lock.Acquire(kLockTimeoutMs, error) != ListLock::Result::Busy) {
        return kExitOk; // without a lock file, the write itself says what is wrong
    }
    call.err << kProgram << ": " << call.command.name << ": " << error << '\n';
    return kExitFileError;
}

IRunningProgram* ProgramToAsk(const Invocation& call, int& status)
{
    if (call.environment.program == nullptr) {
        call.err << kProgram << ": " << call.command.name << ": this build of " << kProgram
                 << " cannot reach the desktop program (it was built without Qt)\n";
        status = kExitInternal;
    }
    return call.environment.program;
}

int ChangeOne(Invocation& call, void (*change)(CScheduler&, CAlarm&),
              ProgramReply (*changeInProgram)(IRunningProgram&, int))
{
    unsigned long long index = 0;
    if (const int status = ReadIndexOperand(call, index); status != kExitOk) {
        return status;
    }
    IRunningProgram::State state;
    if (IRunningProgram* program = ProgramWithFile(call, &state)) {
        const int asked =
            index > static_cast<unsigned long long>(INT_MAX) ? INT_MAX : static_cast<int>(index);
        const ProgramReply reply = changeInProgram(*program, asked);
        if (reply.Ok()) {
            return SaveInProgram(call, *program, state);
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
    if (const int status = LoadList(call, schedule); status != kExitOk) {
        return status;
    }
    if (const int status = CheckIndexInRange(call, schedule, index); status != kExitOk) {
        return status;
    }
    change(schedule, *schedule.At(static_cast<std::size_t>(index)));
    return SaveList(call, schedule);
}

} // namespace zembra::cli
