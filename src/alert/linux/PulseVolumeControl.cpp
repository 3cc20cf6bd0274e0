#include "PulseVolumeControl.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <utility>

namespace zembra {

namespace {

using Clock = std::chrono::steady_clock;

struct SinkState {
    pa_cvolume volume{};
    bool muted = false;
};

// One connection to the server for the length of one call, driven by a main loop of its own
// on the calling thread. Every wait ends at the call's deadline, so a server that accepts the
// connection and then never answers costs the timeout and no more.
class Session {
public:
    explicit Session(Clock::time_point deadline)
        : m_deadline(deadline)
    {
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ~Session()
    {
        if (m_context) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
        if (m_loop) {
            pa_mainloop_free(m_loop);
        }
    }

    bool Connect(const std::string& server)
    {
        m_loop = pa_mainloop_new();
        if (!m_loop) {
            return false;
        }
        m_context = pa_context_new(pa_mainloop_get_api(m_loop), "Zembra");
        if (!m_context) {
            return false;
        }
        // No autospawn: a missing server means there is no volume to raise, not a reason to
        // start one behind the user's back.
        if (pa_context_connect(m_context, server.empty() ? nullptr : server.c_str(),
                               PA_CONTEXT_NOAUTOSPAWN, nullptr)
            < 0) {
            return false;
        }
        RunUntil([this] {
            const pa_context_state_t state = pa_context_get_state(m_context);
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
        });
        return pa_context_get_state(m_context) == PA_CONTEXT_READY;
    }

    // The sink a call addresses: `device`, or the server's default sink when that is empty.
    std::string ResolveSink(const std::string& device)
    {
        if (!device.empty()) {
            return device;
        }
        struct Reply {
            bool done = false;
            std::string name;
        } reply;
        pa_operation* op = pa_context_get_server_info(
            m_context,
            [](pa_context*, const pa_server_info* info, void* data) {
                auto* r = static_cast<Reply*>(data);
                if (info && info->default_sink_name) {
                    r->name = info->default_sink_name;
                }
                r->done = true;
            },
            &reply);
        return Wait(op, reply.done) ? reply.name : std::string();
    }

    std::optional<SinkState> Sink(const std::string& name)
    {
        struct Reply {
            bool done = false;
            std::optional<SinkState> sink;
        } reply;
        pa_operation* op = pa_context_get_sink_info_by_name(
            m_context, name.c_str(),
            [](pa_context*, const pa_sink_info* info, int eol, void* data) {
                auto* r = static_cast<Reply*>(data);
                if (eol != 0) { // the end of the list, or an error such as "no such sink"
                    r->done = true;
                    return;
                }
                if (info) {
                    r->sink = SinkState{info->volume, info->mute != 0};
                }
            },
            &reply);
        if (!Wait(op, reply.done)) {
            return std::nullopt;
        }
        return reply.sink;
    }

    bool SetVolume(const std::string& name, const pa_cvolume& volume)
    {
        SuccessReply reply;
        return Wait(pa_context_set_sink_volume_by_name(m_context, name.c_str(), &volume,
                                                       &Session::OnSuccess, &reply),
                    reply.done)
               && reply.ok;
    }

    bool SetMute(const std::string& name, bool muted)
    {
        SuccessReply reply;
        return Wait(pa_context_set_sink_mute_by_name(m_context, name.c_str(), muted ? 1 : 0,
                                                     &Session::OnSuccess, &reply),
                    reply.done)
               && reply.ok;
    }

private:
    struct SuccessReply {
        bool done = false;
        bool ok = false;
    };

    static void OnSuccess(pa_context*, int success, void* data)
    {
        auto* r = static_cast<SuccessReply*>(data);
        r->ok = success != 0;
        r->done = true;
    }

    // Runs the loop until `done` or the deadline, or until the connection breaks. An operation
    // that did not finish is cancelled, so that its callback can never write into a reply that
    // has gone out of scope.
    bool Wait(pa_operation* op, const bool& done)
    {
        if (!op) {
            return false;
        }
        RunUntil([&] { return done || !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)); });
        if (!done) {
            pa_operation_cancel(op);
        }
        pa_operation_unref(op);
        return done;
    }

    template <typename Pred> void RunUntil(Pred pred)
    {
        while (!pred()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::microseconds>(m_deadline - Clock::now())
                    .count();
            if (left <= 0) {
                return;
            }
            const int timeoutUs = static_cast<int>(std::min<long long>(left, INT_MAX));
            if (pa_mainloop_prepare(m_loop, timeoutUs) < 0 || pa_mainloop_poll(m_loop) < 0
                || pa_mainloop_dispatch(m_loop) < 0) {
                return;
            }
        }
    }

    Clock::time_point m_deadline;
    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
};

} // namespace

PulseVolumeControl::PulseVolumeControl(std::string server, std::chrono::milliseconds timeout)
    : m_server(std::move(server))
    , m_timeout(timeout)
{
}

bool PulseVolumeControl::Available()
{
    Session session(Clock::now() + m_timeout);
    if (!session.Connect(m_server)) {
        return false;
    }
    const std::string sink = session.ResolveSink({});
    return !sink.empty() && session.Sink(sink).has_value();
}

bool PulseVolumeControl::Read(VolumeState& state)
{
    Session session(Clock::now() + m_timeout);
    if (!session.Connect(m_server)) {
        return false;
    }
    const std::string sink = session.ResolveSink({});
    if (sink.empty()) {
        return false;
    }
    const std::optional<SinkState> current = session.Sink(sink);
    if (!current) {
        return false;
    }
    state.device = sink;
    state.levels.assign(current->volume.values, current->volume.values + current->volume.channels);
    state.muted = current->muted;
    return true;
}

bool PulseVolumeControl::Write(const VolumeState& state)
{
    if (state.levels.empty() || state.levels.size() > PA_CHANNELS_MAX) {
        return false;
    }
    pa_cvolume volume;
    pa_cvolume_init(&volume);
    volume.channels = static_cast<std::uint8_t>(state.levels.size());
    std::copy(state.levels.begin(), state.levels.end(), volume.values);
    if (!pa_cvolume_valid(&volume)) {
        return false;
    }

    Session session(Clock::now() + m_timeout);
    if (!session.Connect(m_server)) {
        return false;
    }
    const std::string sink = session.ResolveSink(state.device);
    if (sink.empty()) {
        return false;
    }
    const std::optional<SinkState> current = session.Sink(sink);
    if (!current) {
        return false;
    }
    if (current->volume.channels != volume.channels) {
        // The sink was reconfigured since the levels were read: keep the loudest saved level
        // on every channel it has now rather than leave it at full volume.
        const pa_volume_t loudest = pa_cvolume_max(&volume);
        pa_cvolume_set(&volume, current->volume.channels, loudest);
    }
    // Mute first when the state is muted, unmute last when it is not: the sink is never
    // unmuted, even for a moment, at a level other than the one asked for.
    if (state.muted) {
        const bool muted = session.SetMute(sink, true);
        return session.SetVolume(sink, volume) && muted;
    }
    const bool set = session.SetVolume(sink, volume);
    return session.SetMute(sink, false) && set;
}

bool PulseVolumeControl::SetMaximum(const std::string& device)
{
    Session session(Clock::now() + m_timeout);
    if (!session.Connect(m_server)) {
        return false;
    }
    const std::string sink = session.ResolveSink(device);
    if (sink.empty()) {
        return false;
    }
    const std::optional<SinkState> current = session.Sink(sink);
    if (!current) {
        return false;
    }
    pa_cvolume volume;
    pa_cvolume_set(&volume, current->volume.channels, PA_VOLUME_NORM);
    const bool set = session.SetVolume(sink, volume);
    return session.SetMute(sink, false) && set;
}

std::unique_ptr<IVolumeControl> CreateSystemVolumeControl()
{
    return std::make_unique<PulseVolumeControl>();
}

} // namespace zembra
