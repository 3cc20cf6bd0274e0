// Any bytes as an alarm-list file: loading must never crash, hang or trip a sanitizer, and
// whatever loads must save and load again to the same alarms.
#include "model/CScheduler.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using zembra::CScheduler;
    CScheduler schedule;
    schedule.AppendFromFileText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& alarm : schedule.Alarms()) {
        zembra::FileTime firing = 0;
        alarm->NextOccurrenceUtc(zembra::GetSystemTimeAsFileTime(), nullptr, firing);
        (void)alarm->GetFrequencyText();
        (void)alarm->GetActionsText();
    }
    const std::string saved = schedule.ToFileText();
    CScheduler again;
    if (again.AppendFromFileText(saved) != CScheduler::LoadStatus::Read
        || again.Count() != schedule.Count()) {
        std::abort();
    }
    for (std::size_t i = 0; i < schedule.Count(); ++i) {
        const auto& a = *schedule.At(i);
        const auto& b = *again.At(i);
        if (a.m_strComment != b.m_strComment || a.m_strMessage != b.m_strMessage
            || a.m_strFrequency != b.m_strFrequency || a.m_bActive != b.m_bActive) {
            std::abort();
        }
    }
    return 0;
}
