#pragma once

#include "CliCommand.h"

namespace zembra::cli {

// Tells whether a file is an alarm list, and which of its programs are not approved.
class CCheckCommand final : public CCliCommand {
public:
    CCheckCommand();
    int Run(Invocation& call) const override;
};

} // namespace zembra::cli
