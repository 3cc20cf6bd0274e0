#pragma once

// One sound playback device, opened on one file at a time: the alarm sound has one, the edit
// dialog's preview another, so that they never disturb each other. It plays a file once to its
// end and says so; its volume runs on a 0-1000 scale for the fade-out.
//
// The device belongs to the thread that created it (the alerter thread has its own event loop):
// create, use and destroy it there. Its signals are emitted on that thread, and the sound is fed
// to the player from that thread's event loop, so a thread that blocks for long stalls its sound.

#include "ISoundDevice.h"

class QAudioOutput;
class QIODevice;
class QMediaPlayer;

namespace zembra {

class CSoundDevice : public ISoundDevice {
    Q_OBJECT

public:
    explicit CSoundDevice(QObject* parent = nullptr);
    ~CSoundDevice() override;

    // A file that is missing, unreadable or not a file is refused at once, with the reason.
    bool Open(const QString& path, QString* error = nullptr) override;
    bool OpenBuiltInTone() override;
    bool Play() override;
    void SetVolume(int volume) override;
    int Volume() const override;
    void Stop() override;
    void Close() override;
    bool IsOpen() const override;
    bool IsPlaying() const override;

private:
    // Hands an opened sound to the player; `nameHint` tells the player what kind of data it is.
    void OpenSource(QIODevice* source, const QUrl& nameHint);
    void ReportFailure(const QString& reason);
    // Emits on a later turn of the event loop, never from inside the player's own callbacks,
    // and only if no Stop, Close or Open came in between.
    template <typename Emit> void PostNotice(Emit emitNotice);

    // Children of the device, so that they live and die on its thread.
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_output = nullptr;
    QIODevice* m_source = nullptr; // the open sound (a file or the built-in tone), read by the player
    int m_volume = 1000;
    bool m_open = false;
    bool m_playing = false;
    bool m_failed = false;
    // Counts the Stops, Closes and Opens, so a notice posted before one of them is dropped.
    quint64 m_generation = 0;
};

} // namespace zembra
