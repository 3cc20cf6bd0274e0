#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Has the running desktop program ring its alarm again later.
class CSnoozeCommand final : public CCliCommand {
public:
    CSnoozeCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
