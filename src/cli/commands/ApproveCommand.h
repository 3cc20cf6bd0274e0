#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Approves the programs a list starts, after asking.
class CApproveCommand final : public CCliCommand {
public:
    CApproveCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
