#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Prints the next firings of every alarm.
class COccurrencesCommand final : public CCliCommand {
public:
    COccurrencesCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
