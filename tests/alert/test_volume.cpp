// The system volume against a private PulseAudio daemon that the test starts, with a null sink
// as its only (default) sink; the user's own server is never reached. pactl sets and inspects
// the sink independently of the code under test.

#include "CVolumeMixer.h"
#include "linux/PulseVolumeControl.h"

#include <QtNetwork>
#include <QtTest>

#include <chrono>
#include <csignal>
#include <memory>
#include <sys/prctl.h>

using namespace std::chrono_literals;
using namespace zembra;
using namespace Qt::StringLiterals;

namespace zembra {
// Lets QCOMPARE show the states that differ.
char* toString(const VolumeState& state)
{
    QStringList text{QString::fromStdString(state.device)};
    for (const std::uint32_t level : state.levels)
        text << QString::number(level);
    return qstrdup(qPrintable(text.join(u' ') + (state.muted ? " muted"_L1 : ""_L1)));
}
} // namespace zembra

namespace {

constexpr char kSink[] = "zembra_test";
const std::uint32_t kFull = 65536; // 100 %

QString pactl(const QString& command, const QStringList& args = {})
{
    QProcess process;
    process.start(u"pactl"_s, QStringList{command, QLatin1String(kSink)} + args);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        qWarning() << "pactl" << command << args << "failed:" << process.readAllStandardError();
    return QString::fromUtf8(process.readAllStandardOutput());
}

void setSink(const QStringList& percents, bool muted)
{
    pactl(u"set-sink-volume"_s, percents);
    pactl(u"set-sink-mute"_s, {QString::number(muted ? 1 : 0)});
}

// The sink as pactl reports it: "Volume: front-left: 19661 /  30% / -31.37 dB,   ...".
VolumeState sink()
{
    static const QRegularExpression raw(uR"(:\s*(\d+)\s*/\s*\d+%)"_s);
    VolumeState state{kSink, {}, pactl(u"get-sink-mute"_s).contains("yes"_L1)};
    for (const auto& match : raw.globalMatch(pactl(u"get-sink-volume"_s)))
        state.levels.push_back(match.captured(1).toUInt());
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
        qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_s + socket));
        const QString pulseaudio = QStandardPaths::findExecutable(u"pulseaudio"_s);
        QVERIFY2(!pulseaudio.isEmpty(), "pulseaudio is not installed (scripts/setup.sh)");
        QVERIFY2(!QStandardPaths::findExecutable(u"pactl"_s).isEmpty(),
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
        env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, u"unix:path=/none"_s);
        env.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, u"unix:path=/none"_s);
        for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "PULSE_SERVER"})
            env.remove(QString::fromLatin1(var));
        m_daemon.setProcessEnvironment(env);
        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        // Dies with the test, even one killed for running too long.
        m_daemon.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        // It warns when run as root (as CI does) but runs; --system would be shared by all.
        QStringList args = u"-n --daemonize=no --exit-idle-time=-1 --disable-shm=yes "
                           "--use-pid-file=no --log-target=stderr"_s.split(u' ');
        args << u"-L"_s << u"module-native-protocol-unix auth-anonymous=1 socket="_s + socket
             << u"-L"_s << u"module-null-sink channels=2 sink_name="_s + QLatin1String(kSink);
        m_daemon.start(pulseaudio, args);
        QVERIFY2(m_daemon.waitForStarted(10000), qPrintable(m_daemon.errorString()));
        PulseVolumeControl control;
        QTRY_VERIFY_WITH_TIMEOUT(control.Available() || m_daemon.state() != QProcess::Running,
                                 15000);
        QVERIFY2(m_daemon.state() == QProcess::Running, m_daemon.readAll().constData());
    }

    void cleanupTestCase()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000); // or else killed by QProcess's destructor
    }

    void mixerRaisesOnceAndRestoresWhatWasThereBefore()
    {
        CVolumeMixer mixer; // the system's control, here the test's daemon
        // Uneven channels and muted, so that one level for all or a lost mute would show.
        setSink({u"30%"_s, u"20%"_s}, true);
        const VolumeState before = sink();
        QCOMPARE(before.levels.size(), std::size_t(2));

        mixer.RaiseVolume();
        QVERIFY(mixer.IsRaised());
        QCOMPARE(sink(), (VolumeState{kSink, {kFull, kFull}, false}));

        // A second alarm while raised neither saves again nor raises again.
        setSink({u"50%"_s}, false);
        const VolumeState during = sink();
        mixer.RaiseVolume();
        QCOMPARE(sink(), during);

        mixer.RestoreVolume();
        QVERIFY(!mixer.IsRaised());
        QCOMPARE(sink(), before);

        // Nothing is saved any more: a further restore writes nothing.
        setSink({u"70%"_s}, false);
        const VolumeState changed = sink();
        mixer.RestoreVolume();
        QCOMPARE(sink(), changed);

        // Levels read before the sink lost a channel: the loudest of them on each channel it has
        // now, rather than a write the sink refuses and full volume left on.
        QVERIFY(PulseVolumeControl().Write({kSink, {kFull / 4, kFull / 2, kFull / 4}, false}));
        QCOMPARE(sink(), (VolumeState{kSink, {kFull / 2, kFull / 2}, false}));
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
        auto owned =
            std::make_unique<PulseVolumeControl>((u"unix:"_s + socket).toStdString(), 300ms);
        PulseVolumeControl& control = *owned;

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
        QCOMPARE(sink(), before); // the real sink was never touched
    }
};

QTEST_GUILESS_MAIN(TestVolume)
#include "test_volume.moc"
