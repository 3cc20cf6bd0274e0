#pragma once

// Raises the system volume for a ringing alarm and puts it back afterwards. The setting before
// the first raise is what a restore brings back: while the volume is raised, further alarms
// neither save nor raise again. Calls may block for the volume control's timeout, so the
// object lives on the alerter thread.

#include "IVolumeControl.h"

#include <memory>
#include <optional>

namespace zembra {

class CVolumeMixer {
public:
    // Takes the control to act on; null means the system's (CreateSystemVolumeControl).
    explicit CVolumeMixer(std::unique_ptr<IVolumeControl> control = nullptr);
    CVolumeMixer(const CVolumeMixer&) = delete;
    CVolumeMixer& operator=(const CVolumeMixer&) = delete;
    virtual ~CVolumeMixer();

    // Marks the volume raised (whether or not the control answers), saves the current setting
    // and sets full volume, unmuted. Does nothing while already raised. When the setting
    // cannot be read, nothing is changed: what cannot be restored is not raised.
    void RaiseVolume();
    // Clears the raised mark and writes back the setting saved by the raise, if one was saved;
    // never writes anything else.
    void RestoreVolume();
    bool IsRaised() const { return m_bVolumeRaised; }

private:
    std::unique_ptr<IVolumeControl> m_control;
    bool m_bVolumeRaised = false;
    std::optional<VolumeState> m_saved;
};

} // namespace zembra
