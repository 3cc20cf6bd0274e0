#include "CVolumeMixer.h"

#include <utility>

namespace zembra {

CVolumeMixer::CVolumeMixer(std::unique_ptr<IVolumeControl> control)
    : m_control(control ? std::move(control) : CreateSystemVolumeControl())
{
}

CVolumeMixer::~CVolumeMixer() = default;

void CVolumeMixer::RaiseVolume()
{
    if (m_bVolumeRaised) {
        return;
    }
    // Set before the control is touched: a raise that failed still counts, so the alarms that
    // follow do not keep trying while one restore is pending.
    m_bVolumeRaised = true;

    VolumeState current;
    if (!m_control->Read(current)) {
        return;
    }
    m_saved = current;
    m_control->SetMaximum(current.device);
}

void CVolumeMixer::RestoreVolume()
{
    m_bVolumeRaised = false;
    if (!m_saved) {
        return;
    }
    // Taken out before writing: a failed write is not retried by a later restore with a
    // setting that may by then be stale.
    const VolumeState saved = std::move(*m_saved);
    m_saved.reset();
    m_control->Write(saved);
}

} // namespace zembra
