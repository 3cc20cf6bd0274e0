#include "CliCommands.h"

#include "IRunningProgram.h"
#include "Json.h"
#include "model/CScheduler.h"
#include "model/IProgramApprovals.h"
#include "model/ListLock.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>

namespace zembra {

namespace {

constexpr std::string_view kProgram = "zembractl";

constexpr std::string_view kTimeHelp =
    "TIME is YYYY-MM-DDTHH:MM[:SS[.mmm]] in local time, or in UTC with a trailing Z.\n"
    "Times are shown with milliseconds: local time without a suffix, UTC with Z.\n"
    "The local zone is the process's own (TZ where set).\n";

// Above this the output would be useless anyway; the bound keeps a typo from running for hours.
constexpr long long kMaxCount = 100'000;

// A writer of the same list holds the lock for a moment; this long means it hangs.
constexpr int kLockTimeoutMs = 5000;

// The longest snooze asked for: a day.
constexpr unsigned long long kMaxSnoozeMinutes = 24 * 60;

struct OptionDef {
    std::string_view name;     // without the leading dashes
    std::string_view argument; // placeholder for its value; empty for a flag
    std::string_view help;
    bool required = false;
};

struct Invocation;
using Handler = int (*)(Invocation&);

struct CommandDef {
    std::string_view name;
    std::vector<std::string_view> operands; // all required, in order
    std::vector<OptionDef> options;
    std::string_view summary;     // one line in the tool's usage
    std::string_view description; // the body of the command's --help
    Handler handler = nullptr;
    std::string_view optionalOperand{}; // one more operand that may be left out, after the others

    const OptionDef* FindOption(std::string_view option) const
    {
        for (const auto& entry : options) {
            if (entry.name == option) {
                return &entry;
            }
        }
        return nullptr;
    }

    bool TakesTime() const
    {
        return std::any_of(options.begin(), options.end(),
                           [](const OptionDef& entry) { return entry.argument == "TIME"; });
    }

    // The command's words for a usage line: name, operands, options (optional ones bracketed).
    std::vector<std::string> SynopsisWords() const
    {
        std::vector<std::string> words{std::string(name)};
        for (const auto operand : operands) {
            words.emplace_back(operand);
        }
        if (!optionalOperand.empty()) {
            words.push_back("[" + std::string(optionalOperand) + "]");
        }
        for (const auto& option : options) {
            std::string word = "--" + std::string(option.name);
            if (!option.argument.empty()) {
                word += ' ';
                word += option.argument;
            }
            words.push_back(option.required ? word : "[" + word + "]");
        }
        return words;
    }

    // The synopsis for a line that starts at `column`; continuation lines start at `indent`,
    // so that the long ones stay within a terminal's 80 columns.
    std::string Synopsis(std::size_t column, std::size_t indent) const
    {
        constexpr std::size_t kWidth = 79;
        std::string text;
        std::size_t at = column;
        for (const auto& word : SynopsisWords()) {
            if (!text.empty()) {
                if (at + 1 + word.size() > kWidth) {
                    text += '\n';
                    text.append(indent, ' ');
                    at = indent;
                } else {
                    text += ' ';
                    ++at;
                }
            }
            text += word;
            at += word.size();
        }
        return text;
    }

    // The synopsis as printed after "Usage: zembractl ".
    std::string UsageSynopsis() const
    {
        constexpr std::size_t kPrefix = sizeof("Usage: zembractl ") - 1;
        return Synopsis(kPrefix, kPrefix + name.size() + 1);
    }
};

struct Invocation {
    const CommandDef& command;
    std::vector<std::string> operands;
    // Options given, by name; flags map to an empty text.
    std::map<std::string, std::string, std::less<>> options;
    std::ostream& out;
    std::ostream& err;
    const CliEnvironment& environment;

    bool Has(std::string_view option) const { return options.find(option) != options.end(); }

    const std::string* Value(std::string_view option) const
    {
        const auto it = options.find(option);
        return it == options.end() ? nullptr : &it->second;
    }

    const std::string& File() const { return operands.front(); }

    // Wrong usage: the reason, then how the command is called. Goes to the error stream so
    // that nothing of it is mistaken for the command's output.
    int UsageError(const std::string& message) const
    {
        err << kProgram << ": " << command.name << ": " << message << '\n'
            << "Usage: " << kProgram << ' ' << command.UsageSynopsis() << '\n'
            << "Run '" << kProgram << ' ' << command.name << " --help' for details.\n";
        return kExitUsage;
    }
};

// ---- shared pieces ----------------------------------------------------------------------------

std::string UtcText(FileTime utc)
{
    SystemTime st;
    if (!FileTimeToSystemTime(utc, st)) {
        return {};
    }
    return FormatIso(st, true);
}

// The local wall-clock time of a firing. A one-time alarm fires at its own moment as written,
// which is what the user set even where the zone rules would name that moment differently.
std::optional<SystemTime> FiringLocal(const CAlarm& alarm, FileTime firingUtc)
{
    if (alarm.m_strFrequency == kFrequencyOnce) {
        return alarm.m_time;
    }
    return UtcToLocalSystemTime(firingUtc);
}

// A moment named on the command line, in both readings.
struct TimeArgument {
    FileTime utc = 0;
    SystemTime local;
};

// Reads the value of a TIME option; on failure reports wrong usage and returns its status.
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

// A TIME option that defaults to the present moment.
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

// Plain decimal digits only: a sign, blanks or a suffix make the text something else.
enum class NumberRead { Ok, NotANumber, TooLarge };

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

// Reads FILE into the schedule; on failure says why and returns the exit status.
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

// Text output is read on a terminal: a control character from a hand-edited file must not
// break the line or move the cursor.
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

// Columns are measured in characters, not bytes, so that Polish letters line up.
std::size_t DisplayWidth(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Left-aligned columns two spaces apart; the last column is not padded, so that no line ends
// in blanks and a long comment does not widen the others.
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

// Reads INDEX; the range is checked once the list is loaded.
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

// ---- the running desktop program --------------------------------------------------------------

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

// The running program when it has FILE open (and how its list stands), else null: the list in
// the window is then the one to read and change, unsaved changes included.
IRunningProgram* ProgramWithFile(const Invocation& call, IRunningProgram::State* state = nullptr)
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

// What the program refused, said as zembractl says its own refusals; returns the exit status.
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

// After a change made in the running program, the list is saved, as zembractl saves a file it
// changes; unless the window holds unsaved changes of the user's, which are theirs to save.
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

// The alarms of FILE: from the running program when it has FILE open, else from the file.
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

// Takes the lock beside FILE for a read-modify-write; when another writer keeps it, says so and
// returns the exit status.
int LockList(const Invocation& call, ListLock& lock)
{
    std::string error;
    if (lock.Acquire(kLockTimeoutMs, error) != ListLock::Result::Busy) {
        return kExitOk; // without a lock file, the write itself says what is wrong
    }
    call.err << kProgram << ": " << call.command.name << ": " << error << '\n';
    return kExitFileError;
}

// The program for silence, snooze and show; null (with the status set) when it cannot be asked.
IRunningProgram* ProgramToAsk(const Invocation& call, int& status)
{
    if (call.environment.program == nullptr) {
        call.err << kProgram << ": " << call.command.name << ": this build of " << kProgram
                 << " cannot reach the desktop program (it was built without Qt)\n";
        status = kExitInternal;
    }
    return call.environment.program;
}

// ---- the commands -----------------------------------------------------------------------------

int RunList(Invocation& call)
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

int RunNext(Invocation& call)
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

struct Firing {
    SystemTime local;
    FileTime utc = 0;
};

int RunOccurrences(Invocation& call)
{
    FileTime from = 0;
    if (const int status = ReadTimeOrNow(call, "from", from); status != kExitOk) {
        return status;
    }
    std::optional<FileTime> to;
    if (const std::string* text = call.Value("to")) {
        TimeArgument time;
        if (const int status = ReadTime(call, "to", *text, time); status != kExitOk) {
            return status;
        }
        to = time.utc;
    }
    unsigned long long count = 5;
    if (const std::string* text = call.Value("count")) {
        if (ReadUnsigned(*text, count) != NumberRead::Ok || count < 1
            || count > static_cast<unsigned long long>(kMaxCount)) {
            return call.UsageError("--count: N must be a whole number from 1 to "
                                   + std::to_string(kMaxCount) + ", not '" + *text + "'");
        }
    }
    CScheduler schedule;
    if (const int status = LoadList(call, schedule); status != kExitOk) {
        return status;
    }

    std::vector<std::vector<Firing>> perAlarm;
    for (const auto& alarm : schedule.Alarms()) {
        std::vector<Firing>& firings = perAlarm.emplace_back();
        FileTime searchFrom = from;
        // A switched-off alarm never fires, whatever its frequency says.
        while (alarm->m_bActive && firings.size() < count) {
            FileTime occurrence = 0;
            if (alarm->NextOccurrenceUtc(searchFrom, to ? &*to : nullptr, occurrence) != 1) {
                break;
            }
            const auto local = FiringLocal(*alarm, occurrence);
            if (!local) {
                break;
            }
            firings.push_back({*local, occurrence});
            if (alarm->m_strFrequency == kFrequencyOnce) {
                break;
            }
            // Firings are whole seconds apart at least; a millisecond on finds the next one.
            searchFrom = occurrence + kTicksPerMillisecond;
        }
    }

    if (call.Has("json")) {
        JsonWriter json(call.out);
        json.BeginArray();
        for (std::size_t i = 0; i < perAlarm.size(); ++i) {
            json.BeginObject()
                .Field("index", static_cast<std::int64_t>(i))
                .Field("active", schedule.At(i)->m_bActive)
                .Key("occurrences");
            json.BeginArray();
            for (const auto& firing : perAlarm[i]) {
                json.BeginObject()
                    .Field("local", FormatIso(firing.local, false))
                    .Field("utc", UtcText(firing.utc))
                    .EndObject();
            }
            json.EndArray().EndObject();
        }
        json.EndArray();
        call.out << '\n';
        return kExitOk;
    }
    if (perAlarm.empty()) {
        call.out << call.File() << ": no alarms\n";
        return kExitOk;
    }
    for (std::size_t i = 0; i < perAlarm.size(); ++i) {
        const CAlarm& alarm = *schedule.At(i);
        call.out << "alarm " << i << " (" << Printable(alarm.m_strFrequency)
                 << (alarm.m_bActive ? "" : ", off") << ')';
        if (!alarm.m_strComment.empty()) {
            call.out << ": " << Printable(alarm.m_strComment);
        }
        call.out << '\n';
        if (!alarm.m_bActive) {
            call.out << "  switched off: no firing\n";
        } else if (perAlarm[i].empty()) {
            call.out << "  no firing\n";
        }
        for (const auto& firing : perAlarm[i]) {
            call.out << "  " << FormatIso(firing.local, false) << "  " << UtcText(firing.utc)
                     << '\n';
        }
    }
    return kExitOk;
}

int RunDue(Invocation& call)
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

int RunAdd(Invocation& call)
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

// remove, enable and disable: one alarm changed, the list saved; in the running program when it
// has the list open.
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

int RunRemove(Invocation& call)
{
    return ChangeOne(
        call, [](CScheduler& schedule, CAlarm& alarm) { schedule.RemoveAlarm(&alarm); },
        [](IRunningProgram& program, int index) { return program.RemoveAlarm(index); });
}

int RunEnable(Invocation& call)
{
    return ChangeOne(
        call, [](CScheduler&, CAlarm& alarm) { alarm.m_bActive = true; },
        [](IRunningProgram& program, int index) { return program.SetAlarmActive(index, true); });
}

int RunDisable(Invocation& call)
{
    return ChangeOne(
        call, [](CScheduler&, CAlarm& alarm) { alarm.m_bActive = false; },
        [](IRunningProgram& program, int index) { return program.SetAlarmActive(index, false); });
}

int RunCheck(Invocation& call)
{
    CScheduler schedule;
    if (const int status = LoadList(call, schedule); status != kExitOk) {
        return status;
    }
    call.out << call.File() << ": alarm list with " << schedule.Count()
             << (schedule.Count() == 1 ? " alarm\n" : " alarms\n");
    if (call.environment.approvals != nullptr) {
        for (const std::string& program : UnapprovedPrograms(schedule, *call.environment.approvals)) {
            call.out << "program not approved: " << Printable(program) << '\n';
        }
    }
    return kExitOk;
}

int RunApprove(Invocation& call)
{
    if (call.environment.approvals == nullptr) {
        call.err << kProgram << ": approve: this build of " << kProgram
                 << " has no access to the approvals (it was built without Qt)\n";
        return kExitInternal;
    }
    // Taken where it can be, so that a writer busy with the list finishes before its programs
    // are read; a list in a folder this user may not write is approved all the same.
    ListLock lock(call.File());
    std::string lockError;
    lock.Acquire(kLockTimeoutMs, lockError);
    CScheduler schedule;
    if (const int status = LoadList(call, schedule); status != kExitOk) {
        return status;
    }
    const std::vector<std::string> programs = UnapprovedPrograms(schedule, *call.environment.approvals);
    if (programs.empty()) {
        call.out << call.File() << ": every program of the list is approved\n";
        return kExitOk;
    }
    call.out << call.File() << " starts these programs, not approved yet:\n";
    for (const std::string& program : programs) {
        call.out << "  " << Printable(program) << '\n';
    }
    if (!call.Has("yes")) {
        call.out << "Approve them? [y/N] " << std::flush;
        std::string answer;
        if (call.environment.in == nullptr || !std::getline(*call.environment.in, answer)
            || (answer != "y" && answer != "Y" && answer != "yes")) {
            call.out << "Nothing approved.\n";
            return kExitOk;
        }
    }
    if (!call.environment.approvals->Approve(programs)) {
        call.err << kProgram << ": approve: the approvals cannot be stored in the settings\n";
        return kExitFileError;
    }
    call.out << "Approved " << programs.size() << (programs.size() == 1 ? " program.\n" : " programs.\n");
    return kExitOk;
}

int RunRun(Invocation& call)
{
    if (!call.environment.run) {
        call.err << kProgram << ": run: this build of " << kProgram
                 << " has no alarm engine (it was built without Qt)\n";
        return kExitInternal;
    }
    const std::string* simulate = call.Value("simulate-power");
    return call.environment.run(call.File(), simulate != nullptr ? *simulate : std::string(),
                                call.out, call.err);
}

int RunSilence(Invocation& call)
{
    int status = kExitOk;
    IRunningProgram* program = ProgramToAsk(call, status);
    if (program == nullptr) {
        return status;
    }
    bool wasRinging = false;
    if (const ProgramReply reply = program->Silence(wasRinging); !reply.Ok()) {
        return ProgramFailure(call, reply);
    }
    call.out << (wasRinging ? "alarm silenced\n" : "no alarm was ringing\n");
    return kExitOk;
}

int RunSnooze(Invocation& call)
{
    unsigned long long minutes = 0;
    if (!call.operands.empty()) {
        const std::string& text = call.operands.front();
        if (ReadUnsigned(text, minutes) != NumberRead::Ok || minutes < 1
            || minutes > kMaxSnoozeMinutes) {
            return call.UsageError("MINUTES must be a whole number from 1 to "
                                   + std::to_string(kMaxSnoozeMinutes) + ", not '" + text + "'");
        }
    }
    int status = kExitOk;
    IRunningProgram* program = ProgramToAsk(call, status);
    if (program == nullptr) {
        return status;
    }
    if (const ProgramReply reply = program->Snooze(static_cast<unsigned>(minutes)); !reply.Ok()) {
        return ProgramFailure(call, reply);
    }
    call.out << "alarm snoozed\n";
    return kExitOk;
}

int RunShow(Invocation& call)
{
    int status = kExitOk;
    IRunningProgram* program = ProgramToAsk(call, status);
    if (program == nullptr) {
        return status;
    }
    if (const ProgramReply reply = program->Show(); !reply.Ok()) {
        return ProgramFailure(call, reply);
    }
    return kExitOk;
}

// ---- the command table ------------------------------------------------------------------------

const OptionDef kJsonOption{"json", "", "print JSON instead of text"};

// Every command is one row: the dispatcher, each command's --help and the tool's usage are all
// made from this table, so a new command (such as one that carries out due alarms) is a new row
// and its handler, nothing more.
const std::vector<CommandDef>& Commands()
{
    static const std::vector<CommandDef> commands{
        {"list",
         {"FILE"},
         {kJsonOption},
         "show every alarm in list order",
         "Shows every alarm of FILE in list order, switched on or not: its index, whether it is\n"
         "on, its type, frequency, local time, switched-on actions and comment. While the\n"
         "desktop program has FILE open, the list is its list, unsaved changes included.\n"
         "With --json: an array of objects with the keys index, active, type, frequency, local,\n"
         "comment, message, sound and program; each action is an object {active, text}.\n",
         RunList},
        {"next",
         {"FILE"},
         {{"at", "TIME", "look from TIME instead of from now"}, kJsonOption},
         "show the switched-on alarm that fires first",
         "Shows the switched-on alarm that fires first at or after TIME (default: now), with\n"
         "its firing in local time and in UTC. Of alarms firing at the same moment the first\n"
         "in the list is shown. While the desktop program has FILE open, the alarm is the one\n"
         "its timer is armed for (without --at) or one of its list.\n"
         "With --json: {\"index\", \"local\", \"utc\"}, or null when no alarm is pending.\n",
         RunNext},
        {"occurrences",
         {"FILE"},
         {{"from", "TIME", "first moment searched (default: now)"},
          {"to", "TIME", "last moment searched (default: no end)"},
          {"count", "N", "firings shown per alarm (default: 5)"},
          kJsonOption},
         "show the next firings of every alarm",
         "For every alarm in list order shows its next N firings at or after --from, up to\n"
         "and including --to when given. A switched-off alarm, and one with an unknown\n"
         "frequency, never fires; a one-time alarm fires at most once.\n"
         "With --json: an array of {\"index\", \"active\", \"occurrences\": [{\"local\", \"utc\"},\n"
         "...]}.\n",
         RunOccurrences},
        {"due",
         {"FILE"},
         {{"from", "TIME", "start of the window", true},
          {"to", "TIME", "end of the window (included)", true},
          kJsonOption},
         "show the switched-on alarms due within a window",
         "Shows the switched-on alarms that fall due between --from and --to (both included),\n"
         "in list order, one line each: index, firing in local time, frequency and comment.\n"
         "With --json: an array of the alarms' indexes.\n",
         RunDue},
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
         "changes (they are saved together from the window).\n",
         RunAdd},
        {"remove",
         {"FILE", "INDEX"},
         {},
         "delete an alarm",
         "Deletes the alarm at INDEX (counting from 0) from FILE and saves it; through the\n"
         "desktop program while it has FILE open, as add does.\n",
         RunRemove},
        {"enable",
         {"FILE", "INDEX"},
         {},
         "switch an alarm on",
         "Switches the alarm at INDEX (counting from 0) on and saves FILE; through the\n"
         "desktop program while it has FILE open, as add does.\n",
         RunEnable},
        {"disable",
         {"FILE", "INDEX"},
         {},
         "switch an alarm off",
         "Switches the alarm at INDEX (counting from 0) off and saves FILE; through the\n"
         "desktop program while it has FILE open, as add does.\n",
         RunDisable},
        {"check",
         {"FILE"},
         {},
         "tell whether a file is an alarm list",
         "Reads FILE as an alarm list. Prints how many alarms it holds, then one line\n"
         "'program not approved: CMDLINE' for each program it would start that is not approved,\n"
         "and exits with 0; or says why it is not an alarm list and exits with 4 (3 when it\n"
         "cannot be read).\n",
         RunCheck},
        {"approve",
         {"FILE"},
         {{"yes", "", "approve without asking"}},
         "approve the programs a list starts",
         "Prints every command line that FILE would start and that is not approved, and approves\n"
         "them after a yes on standard input (or at once with --yes). A list from elsewhere\n"
         "starts no program until its command lines are approved, here or in the desktop\n"
         "program; the approvals are the desktop program's own.\n",
         RunApprove},
        {"run",
         {"FILE"},
         {{"simulate-power", "LOG",
           "append the power requests to LOG instead of making them (nothing is suspended)"}},
         "carry the alarms of a list out as they come due",
         "Keeps the wake timer armed for the earliest alarm of FILE and carries each alarm out\n"
         "when it comes due: prints '<local time> <type> <comment>: <message>', starts its\n"
         "program (split into arguments, no shell) when the command line is approved, and makes\n"
         "the power request of its type. An alarm carried out more than 2 minutes late (the\n"
         "computer slept, or the engine was stopped) never changes the power state; its line\n"
         "ends with '(late N min)'. A program not approved is held back and said on standard\n"
         "error. FILE is read again when it changes; the list is searched again when the\n"
         "system clock or the time zone is set. Runs until interrupted (Ctrl+C) or terminated.\n"
         "Whether the timer can wake the computer from sleep is told at start; waking needs\n"
         "the CAP_WAKE_ALARM capability (sudo setcap cap_wake_alarm+ep PATH-OF-zembractl).\n",
         RunRun},
        {"silence",
         {},
         {},
         "silence the ringing alarm of the desktop program",
         "Stops the alarm sound of the running desktop program, as a click on its tray icon\n"
         "does, and says whether one rang. Exits with 5 when the program does not run.\n",
         RunSilence},
        {"snooze",
         {},
         {},
         "ring the alarm of the desktop program again later",
         "Silences the ringing alarm of the running desktop program and has it ring again in\n"
         "MINUTES (1 to 1440; without it, the program's own snooze time). Exits with 5 when\n"
         "the program does not run.\n",
         RunSnooze,
         "MINUTES"},
        {"show",
         {},
         {},
         "show the window of the desktop program",
         "Brings the running desktop program's window up, out of the tray. Exits with 5 when\n"
         "the program does not run.\n",
         RunShow},
    };
    return commands;
}

const CommandDef* FindCommand(std::string_view name)
{
    for (const auto& command : Commands()) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

void PrintToolUsage(std::ostream& out)
{
    out << "Usage: " << kProgram << " COMMAND [FILE] [ARGUMENTS]\n"
        << "       " << kProgram << " COMMAND --help\n"
        << "\n"
        << "Reads and changes Zembra alarm lists (.zmb files); a list the desktop program has\n"
        << "open is read and changed through the program.\n"
        << "\n"
        << "Commands:\n";
    for (const auto& command : Commands()) {
        out << "  " << command.Synopsis(2, 8) << "\n      " << command.summary << '\n';
    }
    out << "\n"
        << kTimeHelp << "INDEX is an alarm's position in the list, counting from 0.\n"
        << "\n"
        << "Exit status: 0 done, 2 wrong usage, 3 a file that cannot be read or written,\n"
        << "4 a file that is not an alarm list, 5 no desktop program runs (silence, snooze,\n"
        << "show).\n";
}

void PrintCommandHelp(const CommandDef& command, std::ostream& out)
{
    out << "Usage: " << kProgram << ' ' << command.UsageSynopsis() << "\n\n" << command.description;
    std::vector<std::vector<std::string>> rows;
    for (const auto& option : command.options) {
        std::string left = "  --" + std::string(option.name);
        if (!option.argument.empty()) {
            left += ' ';
            left += option.argument;
        }
        rows.push_back({left, std::string(option.help)});
    }
    rows.push_back({"  --help", "show this help"});
    out << "\nOptions:\n";
    PrintTable(out, rows);
    if (command.TakesTime()) {
        out << '\n' << kTimeHelp;
    }
}

bool LooksLikeOption(const std::string& arg)
{
    // "-" alone is a file name, and "-1" a (bad) index that deserves its own message.
    return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const CliEnvironment& environment)
{
    if (args.empty()) {
        PrintToolUsage(err);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        PrintToolUsage(out);
        return kExitOk;
    }
    const CommandDef* command = FindCommand(args[0]);
    if (command == nullptr) {
        err << kProgram << ": "
            << (LooksLikeOption(args[0]) ? "unknown option '" : "unknown command '") << args[0]
            << "'\n";
        PrintToolUsage(err);
        return kExitUsage;
    }

    Invocation call{*command, {}, {}, out, err, environment};
    // The whole line is read before anything is reported, so that --help anywhere wins over
    // mistakes elsewhere in it.
    bool help = false;
    std::optional<std::string> mistake;
    const auto note = [&mistake](std::string text) {
        if (!mistake) {
            mistake = std::move(text);
        }
    };
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !LooksLikeOption(arg)) {
            call.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            help = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionDef* option = name.rfind("--", 0) == 0
                                      ? command->FindOption(std::string_view(name).substr(2))
                                      : nullptr;
        if (option == nullptr) {
            note("unknown option '" + name + "'");
            continue;
        }
        std::string value;
        if (option->argument.empty()) {
            if (equals != std::string::npos) {
                note(name + " takes no value");
                continue;
            }
        } else if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            note(name + " needs a value (" + std::string(option->argument) + ")");
            continue;
        }
        if (!call.options.emplace(std::string(option->name), std::move(value)).second) {
            note(name + " is given more than once");
        }
    }
    if (help) {
        PrintCommandHelp(*command, out);
        return kExitOk;
    }
    if (mistake) {
        return call.UsageError(*mistake);
    }
    if (call.operands.size() < command->operands.size()) {
        return call.UsageError("missing " + std::string(command->operands[call.operands.size()]));
    }
    const std::size_t most = command->operands.size() + (command->optionalOperand.empty() ? 0 : 1);
    if (call.operands.size() > most) {
        return call.UsageError("unexpected argument '" + call.operands[most] + "'");
    }
    for (const auto& option : command->options) {
        if (option.required && !call.Has(option.name)) {
            return call.UsageError("--" + std::string(option.name) + " "
                                   + std::string(option.argument) + " is required");
        }
    }
    return command->handler(call);
}

} // namespace

int RunZembractl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const CliEnvironment& environment)
{
    try {
        return Dispatch(args, out, err, environment);
    } catch (const std::exception& e) {
        err << kProgram << ": internal error: " << e.what() << '\n';
        return kExitInternal;
    }
}

int RunZembractl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    return RunZembractl(args, out, err, CliEnvironment{});
}

} // namespace zembra
