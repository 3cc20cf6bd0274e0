#pragma once

// The volume of the default render endpoint (the speakers or headphones Windows plays through),
// through its IAudioEndpointVolume. Every call finds the endpoint anew, so a restore reaches
// the device that was raised even after the user switched outputs. Levels are the endpoint's
// scalar volumes (0.0 to 1.0 per channel), kept as the bits of the float so that a restore
// writes back exactly what was read. A machine without any render endpoint (no sound card, or
// Wine without a sound server) has nothing to raise: raising there succeeds and changes nothing.

#include "IVolumeControl.h"

namespace zembra {

class EndpointVolumeControl final : public IVolumeControl {
public:
    bool Available() override;
    bool Read(VolumeState& state) override;
    bool Write(const VolumeState& state) override;
    bool SetMaximum(const std::string& device) override;
};

} // namespace zembra
