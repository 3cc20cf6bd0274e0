#include "windows/EndpointVolumeControl.h"

#include "windows/WindowsText.h"

#include <windows.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <bit>

namespace zembra {

namespace {

// COM for the calling thread, for the length of one call. A thread that already has COM in
// the other apartment model (RPC_E_CHANGED_MODE) can use the endpoint all the same.
class ComScope {
public:
    ComScope()
        : m_initialised(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
    {
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope()
    {
        if (m_initialised) {
            ::CoUninitialize();
        }
    }

private:
    bool m_initialised;
};

template <typename T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr()
    {
        if (m_p != nullptr) {
            m_p->Release();
        }
    }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    T** Out() { return &m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

enum class Found { Endpoint, NoEndpoint, Failed };

// The endpoint named by `device`, or the default render endpoint when it is empty.
Found FindEndpoint(const std::string& device, ComPtr<IMMDevice>& endpoint)
{
    ComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                  __uuidof(IMMDeviceEnumerator),
                                  reinterpret_cast<void**>(enumerator.Out())))) {
        return Found::Failed;
    }
    const HRESULT result =
        device.empty() ? enumerator->GetDefaultAudioEndpoint(eRender, eConsole, endpoint.Out())
                       : enumerator->GetDevice(Utf8ToWide(device).c_str(), endpoint.Out());
    if (SUCCEEDED(result) && endpoint) {
        return Found::Endpoint;
    }
    // Only the default can be missing without fault; a named device that is gone is a failure.
    return device.empty() && result == HRESULT_FROM_WIN32(ERROR_NOT_FOUND) ? Found::NoEndpoint
                                                                           : Found::Failed;
}

bool ActivateVolume(IMMDevice& endpoint, ComPtr<IAudioEndpointVolume>& volume)
{
    return SUCCEEDED(endpoint.Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr,
                                       reinterpret_cast<void**>(volume.Out())));
}

} // namespace

bool EndpointVolumeControl::Available()
{
    const ComScope com;
    ComPtr<IMMDevice> endpoint;
    return FindEndpoint({}, endpoint) == Found::Endpoint;
}

bool EndpointVolumeControl::Read(VolumeState& state)
{
    const ComScope com;
    ComPtr<IMMDevice> endpoint;
    ComPtr<IAudioEndpointVolume> volume;
    if (FindEndpoint({}, endpoint) != Found::Endpoint || !ActivateVolume(*endpoint, volume)) {
        return false;
    }
    VolumeState read;
    wchar_t* id = nullptr;
    if (FAILED(endpoint->GetId(&id))) {
        return false;
    }
    read.device = WideToUtf8(id);
    ::CoTaskMemFree(id);
    UINT channels = 0;
    BOOL muted = FALSE;
    if (FAILED(volume->GetChannelCount(&channels)) || FAILED(volume->GetMute(&muted))) {
        return false;
    }
    for (UINT channel = 0; channel < channels; ++channel) {
        float level = 0.0f;
        if (FAILED(volume->GetChannelVolumeLevelScalar(channel, &level))) {
            return false;
        }
        read.levels.push_back(std::bit_cast<std::uint32_t>(level));
    }
    read.muted = muted != FALSE;
    state = std::move(read);
    return true;
}

bool EndpointVolumeControl::Write(const VolumeState& state)
{
    const ComScope com;
    ComPtr<IMMDevice> endpoint;
    const Found found = FindEndpoint(state.device, endpoint);
    if (found == Found::NoEndpoint) {
        return true;
    }
    ComPtr<IAudioEndpointVolume> volume;
    if (found == Found::Failed || !ActivateVolume(*endpoint, volume)) {
        return false;
    }
    UINT channels = 0;
    if (FAILED(volume->GetChannelCount(&channels)) || channels != state.levels.size()) {
        return false;
    }
    for (UINT channel = 0; channel < channels; ++channel) {
        const float level = std::bit_cast<float>(state.levels[channel]);
        if (FAILED(volume->SetChannelVolumeLevelScalar(channel, level, nullptr))) {
            return false;
        }
    }
    return SUCCEEDED(volume->SetMute(state.muted ? TRUE : FALSE, nullptr));
}

bool EndpointVolumeControl::SetMaximum(const std::string& device)
{
    const ComScope com;
    ComPtr<IMMDevice> endpoint;
    const Found found = FindEndpoint(device, endpoint);
    if (found == Found::NoEndpoint) {
        return true;
    }
    ComPtr<IAudioEndpointVolume> volume;
    if (found == Found::Failed || !ActivateVolume(*endpoint, volume)) {
        return false;
    }
    UINT channels = 0;
    if (FAILED(volume->GetChannelCount(&channels))) {
        return false;
    }
    for (UINT channel = 0; channel < channels; ++channel) {
        if (FAILED(volume->SetChannelVolumeLevelScalar(channel, 1.0f, nullptr))) {
            return false;
        }
    }
    return SUCCEEDED(volume->SetMute(FALSE, nullptr));
}

std::unique_ptr<IVolumeControl> CreateSystemVolumeControl()
{
    return std::make_unique<EndpointVolumeControl>();
}

} // namespace zembra
