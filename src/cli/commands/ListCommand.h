#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Prints the alarms of a list, as a table or as JSON.
class CListCommand final : public CCliCommand {
public:
    CListCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
