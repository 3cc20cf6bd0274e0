#include "CliCommands.h"

#ifdef ZEMBRA_WITH_ENGINE
#include "CAlarmRunner.h"
#include "CDBusProgramClient.h"
#include "CProgramApprovals.h"
#endif

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    zembra::CliEnvironment environment;
    environment.in = &std::cin;
#ifdef ZEMBRA_WITH_ENGINE
    environment.run = zembra::RunAlarmEngine;
    zembra::CProgramApprovals approvals;
    environment.approvals = &approvals;
    zembra::CDBusProgramClient program;
    environment.program = &program;
#endif
    const int status = zembra::RunZembractl(args, std::cout, std::cerr, environment);
    // Output that never arrived (a full disk, a closed pipe) must not look like success.
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "zembractl: cannot write the output\n";
        return status == zembra::kExitOk ? zembra::kExitFileError : status;
    }
    return status;
}
