#pragma once

// The Windows sleep gauge: the interrupt time counts the time the machine slept or hibernated,
// the unbiased interrupt time does not. Both are in 100-ns ticks since boot.

#include "SleepGauge.h"

namespace zembra {

class InterruptTimeSleepGauge final : public ISleepGauge {
public:
    InterruptTimeSleepGauge();

    SleepGaugeSample Sample() const override;

private:
    using QueryTime = void(__stdcall*)(unsigned long long*);
    // QueryInterruptTime, looked up at run time: Windows 10 has it, Wine and older systems do
    // not, and a program linked against it would not start there.
    QueryTime m_queryInterruptTime = nullptr;
};

} // namespace zembra
