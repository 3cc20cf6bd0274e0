#pragma once

// One sound playback device, opened on one file at a time: the alarm sound has one, the edit
// dialog's preview another, so that they never disturb each other. It plays a file once to its
// end and says so; its volume runs on a 0-1000 scale for the fade-out.
//
// The device belongs to the thread that created it (the alerter thread has its own event loop):
// create, use and destroy it there. Its signals are emitted on that thread, and the sound is fed
// to the player from that thread's event loop, so a thread that blocks for long stalls its sound.

#include <QObject>
#include <QString>

class QAudioOutput;
class QFile;
class QMediaPlayer;

namespace zembra {

class CSoundDevice : public QObject {
    Q_OBJECT

public:
    explicit CSoundDevice(QObject* parent = nullptr);
    ~CSoundDevice() override;

    // Opens a file, closing whatever was open, at full volume. False with the reason when the
    // file cannot be opened (missing, unreadable, not a file); a format the back end then
    // cannot decode is told later by Failed().
    bool Open(const QString& path, QString* error = nullptr);
    // Starts playing the open file once, from its start; false when nothing is open or the
    // open file has already failed.
    bool Play();
    // 0 (silent) to 1000 (the device's full volume), linear; values outside are clamped.
    void SetVolume(int volume);
    int Volume() const;
    // Stops playing; the file stays open, and Play() starts it over. No PlayedToEnd follows.
    void Stop();
    // Stops and forgets the file. No PlayedToEnd follows.
    void Close();
    bool IsOpen() const;
    // Between Play() and the end, a stop, a close or a failure.
    bool IsPlaying() const;

Q_SIGNALS:
    // The sound played to its end (not when stopped or closed).
    void PlayedToEnd();
    // Playback failed after opening (undecodable file, no output device...). Told once per
    // opened file.
    void Failed(const QString& reason);

private:
    void ReportFailure(const QString& reason);
    // Emits on a later turn of the event loop, never from inside the player's own callbacks,
    // and only if no Stop, Close or Open came in between.
    template <typename Emit> void PostNotice(Emit emitNotice);

    // Children of the device, so that they live and die on its thread.
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_output = nullptr;
    QFile* m_file = nullptr; // the open sound, read by the player
    int m_volume = 1000;
    bool m_open = false;
    bool m_playing = false;
    bool m_failed = false;
    // Counts the Stops, Closes and Opens, so a notice posted before one of them is dropped.
    quint64 m_generation = 0;
};

} // namespace zembra
