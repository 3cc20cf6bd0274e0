#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Prints the switched-on alarm that fires first.
class CNextCommand final : public CCliCommand {
public:
    CNextCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
