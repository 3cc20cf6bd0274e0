#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Switches one alarm of a list on.
class CEnableCommand final : public CCliCommand {
public:
    CEnableCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
