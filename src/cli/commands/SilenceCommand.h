#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Silences the ringing alarm of the running desktop program.
class CSilenceCommand final : public CCliCommand {
public:
    CSilenceCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
