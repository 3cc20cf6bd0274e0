#pragma once

// The system's output volume, as far as ringing an alarm needs it: read the current setting,
// turn it up to the maximum and unmute, and later put back exactly what was read. Calls may
// block for a bounded time (a sound server that does not answer), so they belong on the
// alerter thread, never on the GUI thread.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zembra {

struct VolumeState {
    // The output device the state was read from; empty in a state to write means the current
    // default output. Keeping it lets a restore reach the device that was raised even when the
    // user switched outputs meanwhile.
    std::string device;
    // One level per channel, on the back end's own scale, so that writing them back restores
    // the setting exactly (PulseAudio: pa_volume_t, where PA_VOLUME_NORM is 100 %).
    std::vector<std::uint32_t> levels;
    bool muted = false;

    friend bool operator==(const VolumeState&, const VolumeState&) = default;
};

class IVolumeControl {
public:
    virtual ~IVolumeControl() = default;

    // Whether there is an output to control right now (a sound server that answers and has a
    // default output).
    virtual bool Available() = 0;
    // Reads the default output's levels and mute; false, with `state` untouched, when that
    // cannot be done.
    virtual bool Read(VolumeState& state) = 0;
    // Sets the levels and mute of `state.device` (the default output when empty) exactly as
    // given; false when the device is gone or refused them.
    virtual bool Write(const VolumeState& state) = 0;
    // Sets every channel of `device` (the default output when empty) to full volume and
    // unmutes it.
    virtual bool SetMaximum(const std::string& device) = 0;
};

// The system's own volume control (Linux: the default PulseAudio or PipeWire sink).
std::unique_ptr<IVolumeControl> CreateSystemVolumeControl();

} // namespace zembra
