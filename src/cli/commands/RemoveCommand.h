#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Deletes one alarm of a list.
class CRemoveCommand final : public CCliCommand {
public:
    CRemoveCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
