#include "ProgramStarter.h"

#include "model/CommandLine.h"

#include <QProcess>
#include <QStringList>

namespace zembra {

bool StartProgram(const std::string& commandLine, std::string& error)
{
    const auto words = SplitCommandLine(commandLine, &error);
    if (!words) {
        return false;
    }
    if (words->empty()) {
        error = "the command line is empty";
        return false;
    }
    QStringList arguments;
    for (std::size_t i = 1; i < words->size(); ++i) {
        arguments << QString::fromStdString((*words)[i]);
    }
    QProcess process;
    process.setProgram(QString::fromStdString(words->front()));
    process.setArguments(arguments);
    if (!process.startDetached()) {
        error = process.errorString().toStdString();
        return false;
    }
    return true;
}

} // namespace zembra
