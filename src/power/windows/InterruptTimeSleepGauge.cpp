#include "windows/InterruptTimeSleepGauge.h"

#include <windows.h>

namespace zembra {

InterruptTimeSleepGauge::InterruptTimeSleepGauge()
{
    if (HMODULE kernel = ::GetModuleHandleW(L"kernelbase.dll")) {
        // Through void (*)(void), the one function pointer type every other converts to
        // without a warning.
        m_queryInterruptTime = reinterpret_cast<QueryTime>(
            reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "QueryInterruptTime")));
    }
}

SleepGaugeSample InterruptTimeSleepGauge::Sample() const
{
    SleepGaugeSample sample;
    ULONGLONG sinceBoot = 0;
    if (m_queryInterruptTime != nullptr) {
        m_queryInterruptTime(&sinceBoot);
    } else {
        // The tick count counts sleep too, in milliseconds.
        sinceBoot = ::GetTickCount64() * 10'000;
    }
    ULONGLONG awake = 0;
    ::QueryUnbiasedInterruptTime(&awake);
    sample.sinceBoot = static_cast<FileTime>(sinceBoot);
    sample.awake = static_cast<FileTime>(awake);
    return sample;
}

} // namespace zembra
