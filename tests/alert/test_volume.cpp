// The system volume against a real PulseAudio daemon that the test starts for itself, with a
// null sink as its only (and so default) sink. The process is pointed at that daemon before
// anything else runs, so the user's own sound server and its settings are never reached. pactl
// sets and inspects the sink independently of the code under test.

#include "CSoundDevice.h"
#include "CVolumeMixer.h"
#include "linux/PulseVolumeControl.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <csignal>
#include <memory>
#include <sys/prctl.h>

using namespace std::chrono_literals;
using namespace zembra;

namespace zembra {
// Lets QCOMPARE show the states that differ.
char* toString(const VolumeState& state)
{
    QStringList levels;
    for (const std::uint32_t level : state.levels) {
        levels << QString::number(level);
    }
    return qstrdup(
        qPrintable(QStringLiteral("%1 [%2]%3")
                       .arg(QString::fromStdString(state.device), levels.join(QLatin1Char(' ')),
                            state.muted ? QStringLiteral(" muted") : QString())));
}
} // namespace zembra

namespace {

const std::string kSink = "zembra_test";
const std::uint32_t kFull = 65536; // 100 %

// Records what the mixer asks of the platform; Read succeeds only while `readable`.
class RecordingVolumeControl : public IVolumeControl {
public:
    bool readable = true;
    VolumeState current{"speakers", {1000, 2000}, true};
    int reads = 0;
    QStringList maximised;
    QList<VolumeState> written;

    bool Available() override { return readable; }
    bool Read(VolumeState& state) override
    {
        ++reads;
        if (readable) {
            state = current;
        }
        return readable;
    }
    bool Write(const VolumeState& state) override
    {
        written.append(state);
        return true;
    }
    bool SetMaximum(const std::string& device) override
    {
        maximised.append(QString::fromStdString(device));
        return true;
    }
};

QString pactl(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), args);
    if (!process.waitForFinished(10000) || process.exitCode() != 0) {
        qWarning() << "pactl" << args << "failed:" << process.readAllStandardError();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

void setSink(QStringList percents, bool muted)
{
    const QString sink = QString::fromStdString(kSink);
    pactl(QStringList{QStringLiteral("set-sink-volume"), sink} + percents);
    pactl({QStringLiteral("set-sink-mute"), sink, QString::number(muted ? 1 : 0)});
}

// The sink as pactl reports it: "Volume: front-left: 19661 /  30% / -31.37 dB,   ...".
VolumeState sink()
{
    const QString name = QString::fromStdString(kSink);
    static const QRegularExpression raw(QStringLiteral(":\\s*(\\d+)\\s*/\\s*\\d+%"));
    VolumeState state{kSink, {}, false};
    for (const auto& match : raw.globalMatch(pactl({QStringLiteral("get-sink-volume"), name}))) {
        state.levels.push_back(match.captured(1).toUInt());
    }
    state.muted = pactl({QStringLiteral("get-sink-mute"), name}).contains(QStringLiteral("yes"));
    return state;
}

} // namespace

class TestVolume : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;

    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString socket = path("native");
        // First of all, so that nothing in this process can reach the user's server.
        qputenv("PULSE_SERVER", QFile::encodeName(QStringLiteral("unix:") + socket));
        const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        QVERIFY2(!pulseaudio.isEmpty(), "pulseaudio is not installed (scripts/setup.sh)");
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty(),
                 "pactl is not installed (scripts/setup.sh)");

        // Its own home and runtime directory, and no way to the session's D-Bus or display,
        // where it would announce itself or clash with the user's daemon.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME",
                                "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
            QVERIFY(QDir().mkpath(path(var)));
            QFile::setPermissions(path(var), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                 | QFileDevice::ExeOwner);
            env.insert(QString::fromLatin1(var), path(var));
        }
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/none"));
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), QStringLiteral("unix:path=/none"));
        for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "PULSE_SERVER"}) {
            env.remove(QString::fromLatin1(var));
        }
        m_daemon.setProcessEnvironment(env);
        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        // Dies with the test, even one killed for running too long.
        m_daemon.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        // It warns when run as root (as CI does) but runs; --system would be shared by all.
        m_daemon.start(
            pulseaudio,
            QStringList{QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                        QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm=yes"),
                        QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-target=stderr"),
                        QStringLiteral("-L"),
                        QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=")
                            + socket,
                        QStringLiteral("-L"),
                        QStringLiteral("module-null-sink channels=2 sink_name=")
                            + QString::fromStdString(kSink)});
        QVERIFY2(m_daemon.waitForStarted(10000), qPrintable(m_daemon.errorString()));
        PulseVolumeControl control;
        QTRY_VERIFY_WITH_TIMEOUT(control.Available() || m_daemon.state() != QProcess::Running,
                                 15000);
        QVERIFY2(m_daemon.state() == QProcess::Running, m_daemon.readAll().constData());
    }

    void cleanupTestCase()
    {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }

    void controlReadsAndWritesTheDefaultSinkExactly()
    {
        PulseVolumeControl control;
        // Uneven channels, so that one level for all would show.
        setSink({QStringLiteral("30%"), QStringLiteral("20%")}, true);
        const VolumeState before = sink();
        QCOMPARE(before.levels.size(), std::size_t(2));
        VolumeState saved;
        QVERIFY(control.Read(saved));
        QCOMPARE(saved, before);

        QVERIFY(control.SetMaximum({}));
        QCOMPARE(sink(), (VolumeState{kSink, {kFull, kFull}, false}));
        QVERIFY(control.Write(saved));
        QCOMPARE(sink(), before);

        saved.device = "no_such_sink";
        QVERIFY(!control.Write(saved));
        QVERIFY(!control.SetMaximum("no_such_sink"));
    }

    void mixerRaisesOnceAndRestoresWhatWasThereBefore()
    {
        CVolumeMixer mixer; // the system's control, here the test's daemon
        setSink({QStringLiteral("30%")}, true);
        const VolumeState before = sink();

        mixer.RaiseVolume();
        QVERIFY(mixer.IsRaised());
        QCOMPARE(sink(), (VolumeState{kSink, {kFull, kFull}, false}));

        // A second alarm while raised neither saves again nor raises again.
        setSink({QStringLiteral("50%")}, false);
        const VolumeState during = sink();
        mixer.RaiseVolume();
        QCOMPARE(sink(), during);

        mixer.RestoreVolume();
        QVERIFY(!mixer.IsRaised());
        QCOMPARE(sink(), before);

        // Nothing is saved any more: a further restore writes nothing.
        setSink({QStringLiteral("70%")}, false);
        const VolumeState changed = sink();
        mixer.RestoreVolume();
        QCOMPARE(sink(), changed);
    }

    void alarmSoundPlaysThroughTheRaisedSink()
    {
        const QString wav = path("ring.wav");
        {
            constexpr quint32 bytes = 16000; // 1 s of silent 8 kHz 16-bit mono
            QFile file(wav);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QDataStream out(&file);
            out.setByteOrder(QDataStream::LittleEndian);
            out.writeRawData("RIFF", 4);
            out << quint32(36 + bytes);
            out.writeRawData("WAVEfmt ", 8);
            out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000)
                << quint16(2) << quint16(16);
            out.writeRawData("data", 4);
            out << bytes;
            file.write(QByteArray(bytes, '\0'));
        }
        setSink({QStringLiteral("40%")}, true);
        const VolumeState before = sink();

        CVolumeMixer mixer;
        CSoundDevice device;
        QSignalSpy ended(&device, &CSoundDevice::PlayedToEnd);
        mixer.RaiseVolume();
        QVERIFY(device.Open(wav));
        QVERIFY(device.Play());
        // The sound reaches the sink that was raised.
        const QStringList inputs{QStringLiteral("list"), QStringLiteral("short"),
                                 QStringLiteral("sink-inputs")};
        QTRY_VERIFY_WITH_TIMEOUT(pactl(inputs).contains(QLatin1Char('\t')), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 15000);
        device.Close();
        mixer.RestoreVolume();
        QCOMPARE(sink(), before);
    }

    void mixerNeverWritesWhatItCouldNotSave()
    {
        auto owned = std::make_unique<RecordingVolumeControl>();
        RecordingVolumeControl& control = *owned;
        CVolumeMixer mixer(std::move(owned));

        control.readable = false;
        mixer.RaiseVolume();
        QVERIFY(mixer.IsRaised());
        QVERIFY(control.maximised.isEmpty()); // what cannot be restored is not raised
        control.readable = true;              // the server came back meanwhile
        mixer.RaiseVolume();
        QCOMPARE(control.reads, 1);
        mixer.RestoreVolume();
        QVERIFY(!mixer.IsRaised());
        QVERIFY(control.written.isEmpty());

        // Saved from the device it read, restored to that device.
        mixer.RaiseVolume();
        QCOMPARE(control.maximised, QStringList{QStringLiteral("speakers")});
        control.current = VolumeState{"headphones", {5}, false};
        mixer.RestoreVolume();
        QCOMPARE(control.written, (QList<VolumeState>{{"speakers", {1000, 2000}, true}}));
    }

    void noServerOrAHungOneIsNoVolumeAndNoHang_data()
    {
        QTest::addColumn<bool>("hung");
        QTest::newRow("no server") << false;
        QTest::newRow("server never answers") << true;
    }

    void noServerOrAHungOneIsNoVolumeAndNoHang()
    {
        QFETCH(bool, hung);
        // A listening socket that is never served: the connection is made, no reply comes.
        QLocalServer silent;
        const QString socket = path(hung ? "hung" : "missing");
        QVERIFY(!hung || silent.listen(socket));
        const VolumeState before = sink();
        auto owned = std::make_unique<PulseVolumeControl>(
            (QStringLiteral("unix:") + socket).toStdString(), 300ms);
        PulseVolumeControl& control = *owned;

        QElapsedTimer clock;
        clock.start();
        QVERIFY(!control.Available());
        const VolumeState untouched{"untouched", {1}, true};
        VolumeState state = untouched;
        QVERIFY(!control.Read(state));
        QCOMPARE(state, untouched);
        QVERIFY(!control.Write(VolumeState{{}, {kFull, kFull}, false}));
        QVERIFY(!control.SetMaximum({}));
        CVolumeMixer mixer(std::move(owned));
        mixer.RaiseVolume();
        mixer.RestoreVolume();
        QVERIFY(!mixer.IsRaised());
        // Five bounded calls of 300 ms at most, with room for a slow machine.
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(sink(), before); // the real sink was never touched
    }
};

QTEST_GUILESS_MAIN(TestVolume)
#include "test_volume.moc"
