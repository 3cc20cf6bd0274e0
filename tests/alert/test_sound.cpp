// The sound device against the real playback back end. The process is pointed at a sound
// server that does not exist, so nothing is ever played through the user's own server and the
// run is the same as on a machine without sound: the back end then falls back to a sink that
// only keeps time, which still reports the end of the media.

#include "CSoundDevice.h"

#include <QAudioOutput>
#include <QDataStream>
#include <QFile>
#include <QMediaPlayer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <sys/stat.h>
#include <unistd.h>

using zembra::CSoundDevice;

namespace {

// Silent 8 kHz mono 16-bit PCM: what it sounds like does not matter, only that it decodes and
// lasts `ms`; silence keeps a run on a machine with a sound card inaudible.
void writeWav(const QString& path, int ms)
{
    constexpr quint32 rate = 8000;
    const quint32 dataBytes = rate * static_cast<quint32>(ms) / 1000 * 2;
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2)
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
    QString m_short; // 0.2 s
    QString m_long;  // 5 s: never reaches its end within a test

    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("PULSE_SERVER",
                QFile::encodeName(QStringLiteral("unix:") + path(QStringLiteral("no-server"))));
        m_short = path(QStringLiteral("short.wav"));
        m_long = path(QStringLiteral("long.wav"));
        writeWav(m_short, 200);
        writeWav(m_long, 5000);
    }

    void openRefusesWhatIsNotAReadableFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("empty path") << QString();
        QTest::newRow("missing") << path(QStringLiteral("missing.wav"));
        QTest::newRow("directory") << m_dir.path();
        // Opening a pipe to check it would wait for a writer that never comes.
        const QString fifo = path(QStringLiteral("pipe.wav"));
        QVERIFY(QFile::exists(fifo) || mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QTest::newRow("named pipe") << fifo;
        if (geteuid() != 0) { // root reads any file
            const QString locked = path(QStringLiteral("locked.wav"));
            QFile::copy(m_short, locked);
            QFile::setPermissions(locked, QFileDevice::WriteOwner);
            QTest::newRow("unreadable") << locked;
        }
    }

    void openRefusesWhatIsNotAReadableFile()
    {
        QFETCH(QString, file);
        CSoundDevice device;
        QSignalSpy ended(&device, &CSoundDevice::PlayedToEnd);
        QSignalSpy failed(&device, &CSoundDevice::Failed);
        QVERIFY(device.Open(m_short));

        QString reason;
        QVERIFY(!device.Open(file, &reason));
        QVERIFY(!reason.isEmpty());
        // The refused open still closed the sound that was open before.
        QVERIFY(!device.IsOpen());
        QVERIFY(!device.Play());
        QCoreApplication::sendPostedEvents(&device);
        QCOMPARE(ended.count(), 0);
        QCOMPARE(failed.count(), 0);
    }

    void playsOnceToTheEnd()
    {
        CSoundDevice device;
        QSignalSpy ended(&device, &CSoundDevice::PlayedToEnd);
        QSignalSpy failed(&device, &CSoundDevice::Failed);
        QVERIFY(!device.Play());

        QString reason = QStringLiteral("stale");
        QVERIFY(device.Open(m_short, &reason));
        QVERIFY(reason.isEmpty());
        QVERIFY(device.Play());
        QVERIFY(device.IsPlaying());
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);
        QVERIFY(!device.IsPlaying());
        QVERIFY(device.IsOpen());

        // Played again, it starts over and ends again.
        QVERIFY(device.Play());
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 10000);
        QCOMPARE(failed.count(), 0);
    }

    void undecodableFileFails()
    {
        const QString bad = path(QStringLiteral("not-audio.wav"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("this is a shopping list, not a sound\n").repeated(50));
        file.close();

        CSoundDevice device;
        QSignalSpy ended(&device, &CSoundDevice::PlayedToEnd);
        QSignalSpy failed(&device, &CSoundDevice::Failed);
        QVERIFY(device.Open(bad));
        device.Play();
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 10000);
        QVERIFY(!failed.first().first().toString().isEmpty());
        QVERIFY(!device.IsPlaying());
        QVERIFY(!device.Play());

        // The next file plays normally, and the failure is not told again.
        QVERIFY(device.Open(m_short));
        QVERIFY(device.Play());
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);
        QCOMPARE(failed.count(), 1);
    }

    void interruptedSoundIsNotAnEnd_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("stopped") << QStringLiteral("stop");
        QTest::newRow("closed") << QStringLiteral("close");
        // A second alarm at the same moment: the next sound cuts in before the first one
        // even got going.
        QTest::newRow("cut by the next sound at once") << QStringLiteral("cut");
    }

    void interruptedSoundIsNotAnEnd()
    {
        QFETCH(QString, how);
        CSoundDevice device;
        QSignalSpy ended(&device, &CSoundDevice::PlayedToEnd);
        auto* player = device.findChild<QMediaPlayer*>();
        QVERIFY(player);

        QVERIFY(device.Open(m_long));
        QVERIFY(device.Play());
        if (how != QLatin1String("cut")) {
            QTRY_VERIFY_WITH_TIMEOUT(player->position() > 0, 10000);
            if (how == QLatin1String("close")) {
                device.Close();
            } else {
                device.Stop();
            }
            QVERIFY(!device.IsPlaying());
            QCOMPARE(device.IsOpen(), how == QLatin1String("stop"));
            QCOMPARE(ended.count(), 0);
        }

        // The short sound's end, as the player itself reports it, is the only end told:
        // anything the interrupted sound told would have come before it.
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
        QCOMPARE(device.Volume(), 1000);

        const struct {
            int set;
            int kept;
        } steps[] = {{0, 0},     {1, 1},       {100, 100}, {500, 500},
                     {900, 900}, {1000, 1000}, {-5, 0},    {1500, 1000}};
        for (const auto& step : steps) {
            device.SetVolume(step.set);
            QCOMPARE(device.Volume(), step.kept);
            QCOMPARE(output->volume(), static_cast<float>(step.kept) / 1000.0f);
        }

        // A fade-out that ended at a low step must not carry over to the next sound.
        device.SetVolume(100);
        QVERIFY(device.Open(m_short));
        QCOMPARE(device.Volume(), 1000);
        QCOMPARE(output->volume(), 1.0f);
    }

    void worksOnItsOwnThread()
    {
        QThread thread;
        QObject context;
        context.moveToThread(&thread);
        thread.start();
        CSoundDevice* device = nullptr;
        const auto stopThread = qScopeGuard([&] {
            QMetaObject::invokeMethod(
                &context, [&] { delete device; }, Qt::BlockingQueuedConnection);
            thread.quit();
            thread.wait();
        });

        std::atomic<int> ended{0};
        std::atomic<bool> endedOnThread{false};
        bool started = false;
        QMetaObject::invokeMethod(
            &context,
            [&] {
                device = new CSoundDevice;
                QObject::connect(device, &CSoundDevice::PlayedToEnd, device, [&] {
                    endedOnThread = QThread::currentThread() == &thread;
                    ++ended;
                });
                started = device->Open(m_short) && device->Play();
            },
            Qt::BlockingQueuedConnection);
        QVERIFY(started);
        QTRY_COMPARE_WITH_TIMEOUT(ended.load(), 1, 10000);
        QVERIFY(endedOnThread.load());
    }
};

QTEST_GUILESS_MAIN(TestSound)
#include "test_sound.moc"
