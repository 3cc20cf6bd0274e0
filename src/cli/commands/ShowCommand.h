#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Brings the running desktop program's window up.
class CShowCommand final : public CCliCommand {
public:
    CShowCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
