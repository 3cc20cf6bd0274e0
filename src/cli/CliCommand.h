#pragma once

// What every zembractl command shares: its definition (operands, options, help), the parsed
// command line it runs on, and the reading, printing and list handling the commands have in
// common, so that they all word their errors and exit statuses alike.

#include "CliCommands.h"
#include "IRunningProgram.h"
#include "time/ZTime.h"

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zembra {

class CAlarm;
class CScheduler;
class ListLock;

namespace cli {

inline constexpr std::string_view kProgram = "zembractl";

// A writer of the same list holds the lock for a moment; this long means it hangs.
inline constexpr int kLockTimeoutMs = 5000;

struct OptionDef {
    std::string_view name;     // without the leading dashes
    std::string_view argument; // placeholder for its value; empty for a flag
    std::string_view help;
    bool required = false;
};

inline const OptionDef kJsonOption{"json", "", "print JSON instead of text"};

// A command's words: the dispatcher, its --help and the tool's usage are all made from them.
struct CommandDef {
    std::string_view name;
    std::vector<std::string_view> operands; // all required, in order
    std::vector<OptionDef> options;
    std::string_view summary;           // one line in the tool's usage
    std::string_view description;       // the body of the command's --help
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

// One command of the tool: its definition, and what it does with a parsed command line.
class CCliCommand {
public:
    explicit CCliCommand(CommandDef definition)
        : m_definition(std::move(definition))
    {
    }
    virtual ~CCliCommand() = default;
    CCliCommand(const CCliCommand&) = delete;
    CCliCommand& operator=(const CCliCommand&) = delete;

    const CommandDef& Definition() const { return m_definition; }
    // Runs the command on a command line whose operands and options are known to fit it;
    // returns the exit status.
    virtual int Run(Invocation& call) const = 0;

private:
    CommandDef m_definition;
};

// ---- reading the command line -------------------------------------------------------------

std::string UtcText(FileTime utc);
// The local wall-clock time of a firing. A one-time alarm fires at its own moment as written,
// which is what the user set even where the zone rules would name that moment differently.
std::optional<SystemTime> FiringLocal(const CAlarm& alarm, FileTime firingUtc);

// A moment named on the command line, in both readings.
struct TimeArgument {
    FileTime utc = 0;
    SystemTime local;
};

// Reads the value of a TIME option; on failure reports wrong usage and returns its status.
int ReadTime(const Invocation& call, std::string_view option, const std::string& text,
             TimeArgument& result);
// A TIME option that defaults to the present moment.
int ReadTimeOrNow(const Invocation& call, std::string_view option, FileTime& utc);

// Plain decimal digits only: a sign, blanks or a suffix make the text something else.
enum class NumberRead { Ok, NotANumber, TooLarge };
NumberRead ReadUnsigned(const std::string& text, unsigned long long& value);

// Reads INDEX; the range is checked once the list is loaded.
int ReadIndexOperand(const Invocation& call, unsigned long long& index);
int CheckIndexInRange(const Invocation& call, const CScheduler& schedule, unsigned long long index);

// ---- output -----------------------------------------------------------------------------------

// Text output is read on a terminal: a control character from a hand-edited file must not
// break the line or move the cursor.
std::string Printable(std::string_view text);
// Left-aligned columns two spaces apart; the last column is not padded, so that no line ends
// in blanks and a long comment does not widen the others.
void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows);

// ---- the list file ----------------------------------------------------------------------------

// Reads FILE into the schedule; on failure says why and returns the exit status.
int LoadList(const Invocation& call, CScheduler& schedule);
int SaveList(const Invocation& call, CScheduler& schedule);
// Takes the lock beside FILE for a read-modify-write; when another writer keeps it, says so and
// returns the exit status.
int LockList(const Invocation& call, ListLock& lock);

// ---- the running desktop program --------------------------------------------------------------

// The running program when it has FILE open (and how its list stands), else null: the list in
// the window is then the one to read and change, unsaved changes included.
IRunningProgram* ProgramWithFile(const Invocation& call, IRunningProgram::State* state = nullptr);
// What the program refused, said as zembractl says its own refusals; returns the exit status.
int ProgramFailure(const Invocation& call, const ProgramReply& reply);
// After a change made in the running program, the list is saved, as zembractl saves a file it
// changes; unless the window holds unsaved changes of the user's, which are theirs to save.
int SaveInProgram(const Invocation& call, IRunningProgram& program,
                  const IRunningProgram::State& before);
// The alarms of FILE: from the running program when it has FILE open, else from the file.
int ReadAlarms(const Invocation& call, CScheduler& schedule);
// The program for silence, snooze and show; null (with the status set) when it cannot be asked.
IRunningProgram* ProgramToAsk(const Invocation& call, int& status);

// remove, enable and disable: one alarm changed, the list saved; in the running program when it
// has the list open.
int ChangeOne(Invocation& call, void (*change)(CScheduler&, CAlarm&),
              ProgramReply (*changeInProgram)(IRunningProgram&, int));

} // namespace cli
} // namespace zembra
