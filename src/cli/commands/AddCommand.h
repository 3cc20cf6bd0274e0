#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Appends an alarm to a list, creating the list when there is none.
class CAddCommand final : public CCliCommand {
public:
    CAddCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
