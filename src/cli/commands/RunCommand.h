#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Carries the alarms of a list out as they come due, through the alarm engine.
class CRunCommand final : public CCliCommand {
public:
    CRunCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
