#pragma once

// The volume of the default sink of the PulseAudio server (or of PipeWire's PulseAudio
// service). Every call opens a connection of its own and closes it before returning: the calls
// are rare (an alarm's raise and restore), and a fresh connection always sees the server and
// the default sink as they are now, even after the server restarted. A call never waits longer
// than the timeout, and a server is never started on the program's behalf.

#include "IVolumeControl.h"

#include <chrono>
#include <string>

namespace zembra {

class PulseVolumeControl : public IVolumeControl {
public:
    // `server` in libpulse's notation ("unix:/run/user/1000/pulse/native"); empty for the
    // user's own server, found the way every PulseAudio client finds it (PULSE_SERVER,
    // client.conf, the runtime directory). `timeout` bounds each call as a whole.
    explicit PulseVolumeControl(std::string server = {},
                                std::chrono::milliseconds timeout = std::chrono::seconds(2));

    bool Available() override;
    bool Read(VolumeState& state) override;
    bool Write(const VolumeState& state) override;
    bool SetMaximum(const std::string& device) override;

private:
    std::string m_server;
    std::chrono::milliseconds m_timeout;
};

} // namespace zembra
