// The sound device against the real playback back end, pointed at a sound server that does not
// exist: nothing reaches the user's own server, and the back end falls back to a sink that only
// keeps time, which still reports the end of the media.

#include "BuiltInTone.h"
#include "CSoundDevice.h"

#include <QtMultimedia>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>

using namespace Qt::StringLiterals;
using zembra::CSoundDevice;

namespace {

// Silent 8 kHz mono 16-bit PCM: what it sounds like does not matter, only that it decodes and
// lasts `ms`; silence keeps a run on a machine with a sound card inaudible.
void writeWav(const QString& path, int ms)
{
    const auto dataBytes = static_cast<quint32>(16 * ms); // 8000 samples of 2 bytes a second
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    file.write(QByteArray(static_cast<qsizetype>(dataBytes), '\0'));
}

} // namespace

class TestSound : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QString m_short = m_dir.filePath(u"short.wav"_s); // 0.2 s
    const QString m_long = m_dir.filePath(u"long.wav"_s);   // 5 s: never ends within a test

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_s + m_dir.filePath(u"no-server"_s)));
        writeWav(m_short, 200);
        writeWav(m_long, 5000);
    }

    void openRefusesWhatIsNotAReadableFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("empty path") << QString();
        QTest::newRow("directory") << m_dir.path();
    }

    void openRefusesWhatIsNotAReadableFile()
    {
        QFETCH(QString, file);
        CSoundDevice device;
        QSignalSpy ended(&device, &CSoundDevice::PlayedToEnd);
        QSignalSpy failed(&device, &CSoundDevice::Failed);
        QString reason = u"stale"_s;
        QVERIFY(device.Open(m_short, &reason));
        QVERIFY(reason.isEmpty());

        QVERIFY(!device.Open(file, &reason));
        QVERIFY(!reason.isEmpty());
        // The refused open still closed the sound that was open before.
        QVERIFY(!device.IsOpen());
        QVERIFY(!device.Play());
        QCoreApplication::sendPostedEvents(&device);
        QCOMPARE(ended.count(), 0);
        QCOMPARE(failed.count(), 0);
    }

    void stoppedSoundIsNotAnEnd()
    {
        CSoundDevice device;
        QSignalSpy ended(&device, &CSoundDevice::PlayedToEnd);
        auto* player = device.findChild<QMediaPlayer*>();
        QVERIFY(player);
        QVERIFY(device.Open(m_long));
        QVERIFY(device.Play());
        QTRY_VERIFY_WITH_TIMEOUT(player->position() > 0, 10000);
        device.Stop();
        QVERIFY(!device.IsPlaying());

        // The short sound's end, as the player itself reports it, is the only end told:
        // anything the stopped sound told would have come before it.
        QVERIFY(device.Open(m_short));
        QVERIFY(device.Play());
        QTRY_COMPARE_WITH_TIMEOUT(player->mediaStatus(), QMediaPlayer::EndOfMedia, 10000);
        QCoreApplication::sendPostedEvents(&device);
        QCOMPARE(ended.count(), 1);
    }

    void volumeMapsLinearlyAndResetsOnOpen()
    {
        CSoundDevice device;
        auto* output = device.findChild<QAudioOutput*>();
        QVERIFY(output);

        for (const auto& [set, kept] :
             {std::pair{0, 0}, {500, 500}, {1000, 1000}, {-5, 0}, {1500, 1000}}) {
            device.SetVolume(set);
            QCOMPARE(device.Volume(), kept);
            QCOMPARE(output->volume(), static_cast<float>(kept) / 1000.0f);
        }

        // A fade-out that ended at a low step must not carry over to the next sound.
        device.SetVolume(100);
        QVERIFY(device.Open(m_short));
        QCOMPARE(device.Volume(), 1000);
        QCOMPARE(output->volume(), 1.0f);
    }

    // As on the alerter's thread: a file's sound made, played and told of on a thread of its
    // own; played again after its end, as a repeated alarm sound is, it starts over. The
    // program's own tone, which needs no file and is no silence, plays to its end there too.
    void soundsPlayToTheirEndOnTheirOwnThreadAndOverAgain()
    {
        const QByteArray wav = zembra::BuiltInToneWav();
        int peak = 0;
        for (qsizetype i = 44; i + 1 < wav.size(); i += 2) {
            peak = std::max(peak, std::abs(qFromLittleEndian<qint16>(wav.constData() + i)));
        }
        QVERIFY(peak > 16000);

        QThread thread;
        QObject context;
        context.moveToThread(&thread);
        thread.start();
        CSoundDevice* device = nullptr;
        // Runs `call` on that thread and waits for it.
        const auto onThread = [&context](const std::function<void()>& call) {
            QMetaObject::invokeMethod(&context, call, Qt::BlockingQueuedConnection);
        };
        const auto stopThread = qScopeGuard([&] {
            onThread([&] { delete device; });
            thread.quit();
            thread.wait();
        });

        std::atomic<int> ended{0};
        std::atomic<bool> endedOnThread{false};
        bool started = false;
        onThread([&] {
            device = new CSoundDevice;
            QObject::connect(device, &CSoundDevice::PlayedToEnd, device, [&] {
                endedOnThread = QThread::currentThread() == &thread;
                ++ended;
            });
            started = device->Open(m_short) && device->Play();
        });
        QVERIFY(started);
        QTRY_COMPARE_WITH_TIMEOUT(ended.load(), 1, 10000);
        QVERIFY(endedOnThread.load());
        onThread([&] { started = device->Play(); });
        QVERIFY(started);
        QTRY_COMPARE_WITH_TIMEOUT(ended.load(), 2, 10000);
        onThread([&] { started = device->OpenBuiltInTone() && device->Play(); });
        QVERIFY(started);
        QTRY_COMPARE_WITH_TIMEOUT(ended.load(), 3, 10000);
    }
};

QTEST_GUILESS_MAIN(TestSound)
#include "test_sound.moc"
