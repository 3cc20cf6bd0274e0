#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Switches one alarm of a list off.
class CDisableCommand final : public CCliCommand {
public:
    CDisableCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
