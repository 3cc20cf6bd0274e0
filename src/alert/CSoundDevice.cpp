#include "CSoundDevice.h"

#include "BuiltInTone.h"

#include <QAudioOutput>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

#include <algorithm>
#include <memory>

namespace zembra {

namespace {

constexpr int kFullVolume = 1000;

} // namespace

CSoundDevice::CSoundDevice(QObject* parent)
    : ISoundDevice(parent)
    , m_player(new QMediaPlayer(this))
    , m_output(new QAudioOutput(this))
{
    m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia && m_playing) {
                    m_playing = false;
                    PostNotice([this] { Q_EMIT PlayedToEnd(); });
                } else if (status == QMediaPlayer::InvalidMedia) {
                    ReportFailure(tr("tego pliku nie da się odtworzyć"));
                }
            });
    connect(m_player, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error error, const QString& text) {
                if (error != QMediaPlayer::NoError) {
                    ReportFailure(text.isEmpty() ? tr("odtwarzanie nie powiodło się") : text);
                }
            });
}

CSoundDevice::~CSoundDevice()
{
    // The player may still report while it tears its pipeline down; nothing of this object
    // is there to hear it any more.
    m_player->disconnect(this);
    delete m_player;
    delete m_output;
    delete m_source;
}

bool CSoundDevice::Open(const QString& path, QString* error)
{
    Close();

    const auto refuse = [error](const QString& reason) {
        if (error) {
            *error = reason;
        }
        return false;
    };
    // Checked here, at once, because the player would tell of a missing file only later and
    // in its own words. The reasons are shown to the user beside the alarm's message.
    if (path.isEmpty()) {
        return refuse(tr("nie wybrano pliku dźwiękowego"));
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return refuse(tr("nie ma pliku %1").arg(path));
    }
    if (!info.isFile()) {
        return refuse(tr("%1 nie jest plikiem").arg(path));
    }
    auto file = std::make_unique<QFile>(info.absoluteFilePath());
    if (!file->open(QIODevice::ReadOnly)) {
        return refuse(tr("nie można odczytać pliku %1: %2").arg(path, file->errorString()));
    }

    OpenSource(file.release(), QUrl::fromLocalFile(info.absoluteFilePath()));
    if (error) {
        error->clear();
    }
    return true;
}

bool CSoundDevice::OpenBuiltInTone()
{
    Close();
    auto* tone = new QBuffer(this);
    tone->setData(BuiltInToneWav());
    tone->open(QIODevice::ReadOnly);
    OpenSource(tone, QUrl(QStringLiteral("zembra-tone.wav")));
    return true;
}

void CSoundDevice::OpenSource(QIODevice* source, const QUrl& nameHint)
{
    // A newly opened device starts at full volume: the fade-out that ended the previous sound
    // must not leave the next alarm nearly silent.
    m_volume = kFullVolume;
    m_output->setVolume(1.0f);
    m_open = true;
    // The player reads the sound through this device rather than by its name. Fed this way, it
    // gets its data only from this thread's event loop, so nothing is decoded while it is
    // still setting the new source up: the back end can deadlock when its decoder announces
    // the stream while that set-up is under way, which would silence this alarm and all the
    // ones after it.
    m_source = source;
    m_source->setParent(this);
    m_player->setSourceDevice(m_source, nameHint);
}

bool CSoundDevice::Play()
{
    if (!m_open || m_failed) {
        return false;
    }
    if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia) {
        m_player->setPosition(0);
    }
    m_playing = true;
    m_player->play();
    return true;
}

void CSoundDevice::SetVolume(int volume)
{
    m_volume = std::clamp(volume, 0, kFullVolume);
    m_output->setVolume(static_cast<float>(m_volume) / kFullVolume);
}

int CSoundDevice::Volume() const
{
    return m_volume;
}

void CSoundDevice::Stop()
{
    ++m_generation;
    m_playing = false;
    m_player->stop();
}

void CSoundDevice::Close()
{
    ++m_generation;
    m_playing = false;
    m_open = false;
    m_failed = false;
    // Setting no source takes the pipeline down at once; stopping first would wait for a sound
    // that has only just started to settle, and seek for nothing.
    m_player->setSource(QUrl());
    delete m_source; // only now that the player has let go of it
    m_source = nullptr;
}

bool CSoundDevice::IsOpen() const
{
    return m_open;
}

bool CSoundDevice::IsPlaying() const
{
    return m_playing;
}

void CSoundDevice::ReportFailure(const QString& reason)
{
    if (!m_open || m_failed) {
        return;
    }
    m_failed = true;
    m_playing = false;
    PostNotice([this, reason] { Q_EMIT Failed(reason); });
}

template <typename Emit> void CSoundDevice::PostNotice(Emit emitNotice)
{
    QMetaObject::invokeMethod(
        this,
        [this, generation = m_generation, emitNotice] {
            if (generation == m_generation) {
                emitNotice();
            }
        },
        Qt::QueuedConnection);
}

} // namespace zembra
