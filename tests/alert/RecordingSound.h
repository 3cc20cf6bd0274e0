#pragma once

// A sound device for tests: plays nothing, records what it was asked to do, and refuses to open
// what lies under /missing/. The log may be read from another thread than the device's.

#include "ISoundDevice.h"

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

namespace zembra::test {

class SoundLog {
public:
    void Add(const QString& entry)
    {
        QMutexLocker lock(&m_mutex);
        m_entries << entry;
    }
    QStringList Entries() const
    {
        QMutexLocker lock(&m_mutex);
        return m_entries;
    }
    void Clear()
    {
        QMutexLocker lock(&m_mutex);
        m_entries.clear();
    }

private:
    mutable QMutex m_mutex;
    QStringList m_entries;
};

class RecordingSound : public ISoundDevice {
public:
    explicit RecordingSound(SoundLog* log) : m_log(log) {}
    bool Open(const QString& path, QString* error) override
    {
        m_log->Add(QStringLiteral("open ") + path);
        m_open = !path.startsWith(QStringLiteral("/missing/"));
        if (!m_open && error != nullptr) {
            *error = QStringLiteral("nie ma pliku ") + path;
        }
        return m_open;
    }
    bool OpenBuiltInTone() override { return Log("open tone", m_open = true); }
    bool Play() override { return Log("play", m_playing = m_open); }
    void SetVolume(int volume) override { m_volume = volume; }
    int Volume() const override { return m_volume; }
    void Stop() override { Log("stop", m_playing = false); }
    void Close() override { m_open = m_playing = false; }
    bool IsOpen() const override { return m_open; }
    bool IsPlaying() const override { return m_playing; }

private:
    // Records the request after it was carried out; returns its result.
    bool Log(const char* request, bool result)
    {
        m_log->Add(QString::fromLatin1(request));
        return result;
    }

    SoundLog* m_log;
    int m_volume = 1000;
    bool m_open = false;
    bool m_playing = false;
};

} // namespace zembra::test
