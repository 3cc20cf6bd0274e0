#include "CliCommands.h"

#include "CliCommand.h"
#include "commands/AddCommand.h"
#include "commands/ApproveCommand.h"
#include "commands/CheckCommand.h"
#include "commands/DisableCommand.h"
#include "commands/DueCommand.h"
#include "commands/EnableCommand.h"
#include "commands/ListCommand.h"
#include "commands/NextCommand.h"
#include "commands/OccurrencesCommand.h"
#include "commands/RemoveCommand.h"
#include "commands/RunCommand.h"
#include "commands/ShowCommand.h"
#include "commands/SilenceCommand.h"
#include "commands/SnoozeCommand.h"

#include <exception>
#include <memory>
#include <optional>
#include <string_view>

namespace zembra {

namespace {

using namespace cli;

constexpr std::string_view kTimeHelp =
    "TIME is YYYY-MM-DDTHH:MM[:SS[.mmm]] in local time, or in UTC with a trailing Z.\n"
    "Times are shown with milliseconds: local time without a suffix, UTC with Z.\n"
    "The local zone is the process's own (TZ where set).\n";

// Every command is one class: the dispatcher, each command's --help and the tool's usage are all
// made from these, so a new command (such as one that carries out due alarms) is a new class
// and its line here, nothing more.
const std::vector<std::unique_ptr<CCliCommand>>& Commands()
{
    static const std::vector<std::unique_ptr<CCliCommand>> commands = [] {
        std::vector<std::unique_ptr<CCliCommand>> all;
        all.push_back(std::make_unique<CListCommand>());
        all.push_back(std::make_unique<CNextCommand>());
        all.push_back(std::make_unique<COccurrencesCommand>());
        all.push_back(std::make_unique<CDueCommand>());
        all.push_back(std::make_unique<CAddCommand>());
        all.push_back(std::make_unique<CRemoveCommand>());
        all.push_back(std::make_unique<CEnableCommand>());
        all.push_back(std::make_unique<CDisableCommand>());
        all.push_back(std::make_unique<CCheckCommand>());
        all.push_back(std::make_unique<CApproveCommand>());
        all.push_back(std::make_unique<CRunCommand>());
        all.push_back(std::make_unique<CSilenceCommand>());
        all.push_back(std::make_unique<CSnoozeCommand>());
        all.push_back(std::make_unique<CShowCommand>());
        return all;
    }();
    return commands;
}

const CCliCommand* FindCommand(std::string_view name)
{
    for (const auto& command : Commands()) {
        if (command->Definition().name == name) {
            return command.get();
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
        const CommandDef& definition = command->Definition();
        out << "  " << definition.Synopsis(2, 8) << "\n      " << definition.summary << '\n';
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
    const CCliCommand* found = FindCommand(args[0]);
    if (found == nullptr) {
        err << kProgram << ": "
            << (LooksLikeOption(args[0]) ? "unknown option '" : "unknown command '") << args[0]
            << "'\n";
        PrintToolUsage(err);
        return kExitUsage;
    }

    const CommandDef* command = &found->Definition();
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
    return found->Run(call);
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
