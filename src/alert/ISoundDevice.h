#pragma once

// What the alerting needs of a sound device: play one sound once, at a volume on a 0-1000 scale,
// and say when it ended or failed. The program's device plays through the system's sound stack;
// tests put one in its place that only records what it was asked to play.

#include <QObject>
#include <QString>

namespace zembra {

class ISoundDevice : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Opens a file, closing whatever was open, at full volume. False with the reason when the
    // file cannot be opened; a format that cannot be decoded is told later by Failed().
    virtual bool Open(const QString& path, QString* error = nullptr) = 0;
    // Opens the program's own alarm tone, which needs no file.
    virtual bool OpenBuiltInTone() = 0;
    // Starts playing the open sound once, from its start; false when nothing is open or the
    // open sound has already failed.
    virtual bool Play() = 0;
    // 0 (silent) to 1000 (the device's full volume), linear; values outside are clamped.
    virtual void SetVolume(int volume) = 0;
    virtual int Volume() const = 0;
    // Stops playing; the sound stays open and Play() starts it over. No PlayedToEnd follows.
    virtual void Stop() = 0;
    // Stops and forgets the sound. No PlayedToEnd follows.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Between Play() and the end, a stop, a close or a failure.
    virtual bool IsPlaying() const = 0;

Q_SIGNALS:
    // The sound played to its end (not when stopped or closed).
    void PlayedToEnd();
    // Playback failed after opening (undecodable file, no output device...). Told once per
    // opened sound.
    void Failed(const QString& reason);
};

} // namespace zembra
