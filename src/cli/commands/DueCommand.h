#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Prints the switched-on alarms due within a window.
class CDueCommand final : public CCliCommand {
public:
    CDueCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
