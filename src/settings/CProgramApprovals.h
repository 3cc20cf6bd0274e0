#pragma once

// The approved command lines in the user's settings (ApprovedPrograms: the SHA-256 digests of
// their UTF-8 text), shared by the desktop program and zembractl. Each question reads the store
// afresh, so an approval given by one is seen by the other at once.

#include "model/IProgramApprovals.h"

#include <QString>

namespace zembra {

class CProgramApprovals : public IProgramApprovals {
public:
    bool IsApproved(const std::string& commandLine) const override;
    bool Approve(const std::vector<std::string>& commandLines) override;

    // The digest kept for a command line (lower-case hexadecimal).
    static QString Digest(const std::string& commandLine);
};

} // namespace zembra
