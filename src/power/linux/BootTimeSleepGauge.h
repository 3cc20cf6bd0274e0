#pragma once

// The Linux sleep gauge: CLOCK_BOOTTIME counts the time the machine was suspended,
// CLOCK_MONOTONIC does not.

#include "SleepGauge.h"

namespace zembra {

class BootTimeSleepGauge final : public ISleepGauge {
public:
    SleepGaugeSample Sample() const override;
};

} // namespace zembra
