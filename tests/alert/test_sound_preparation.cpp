// The alerter readies its sound device only ahead of an alarm: at start and with the next alarm
// far away, the media framework is not loaded; a minute before the alarm it is, so that the
// first sound does not wait for it; an alarm nobody announced still gets its sound.

#include "CAlerterWindow.h"
#include "CVolumeMixer.h"
#include "ISoundDevice.h"

#include "time/Clock.h"

#include <QTest>

#include <memory>

using namespace zembra;

namespace {

constexpr FileTime kNow = 134'000'000'000'000'000;

// A device that plays nothing; the test counts how many were made.
class SilentSound : public ISoundDevice {
public:
    bool Open(const QString&, QString*) override { return m_open = true; }
    bool OpenBuiltInTone() override { return m_open = true; }
    bool Play() override { return m_playing = m_open; }
    void SetVolume(int) override {}
    int Volume() const override { return 0; }
    void Stop() override { m_playing = false; }
    void Close() override { m_open = m_playing = false; }
    bool IsOpen() const override { return m_open; }
    bool IsPlaying() const override { return m_playing; }

private:
    bool m_open = false;
    bool m_playing = false;
};

CAlarm SoundAlarm()
{
    CAlarm alarm;
    alarm.m_nId = 7;
    alarm.m_strType = kTypeWakeup;
    alarm.m_bSoundActive = true;
    alarm.m_strSound = "/nonexistent/ring.wav";
    return alarm;
}

} // namespace

class TestSoundPreparation : public QObject {
    Q_OBJECT

private:
    FileTime m_now = kNow;
    int m_made = 0;

    std::unique_ptr<CAlerterWindow> MakeWindow()
    {
        CAlerterWindow::Dependencies deps;
        deps.maxRingVolume = [] { return false; };
        deps.makeSound = [this] {
            ++m_made;
            return std::make_unique<SilentSound>();
        };
        return std::make_unique<CAlerterWindow>(std::move(deps));
    }

private Q_SLOTS:
    void init()
    {
        m_now = kNow;
        m_made = 0;
        Clock::SetForTesting([this] { return m_now; });
    }
    void cleanup() { Clock::SetForTesting({}); }

    void readiedAMinuteAhead_data()
    {
        QTest::addColumn<FileTime>("ahead");
        QTest::addColumn<bool>("readyAtOnce");
        QTest::newRow("a day ahead") << 24 * 60 * kTicksPerMinute << false;
        QTest::newRow("two minutes ahead") << 2 * kTicksPerMinute << false;
        QTest::newRow("within the minute") << 30 * kTicksPerSecond << true;
        QTest::newRow("due now") << FileTime{0} << true;
    }
    void readiedAMinuteAhead()
    {
        QFETCH(FileTime, ahead);
        QFETCH(bool, readyAtOnce);
        auto window = MakeWindow();
        QCOMPARE(window->Sound(), nullptr);
        const FileTime firing = kNow + ahead;
        window->SetNextAlarm(SoundAlarm(), firing);
        QCOMPARE(window->Sound() != nullptr, readyAtOnce);
        QCOMPARE(m_made, readyAtOnce ? 1 : 0);
        // The timer's moment: the minute before the alarm begins; then it is readied, once.
        m_now = firing - CAlerterWindow::kSoundPrepareSpan;
        window->SetNextAlarm(SoundAlarm(), firing);
        QVERIFY(window->Sound() != nullptr);
        window->SetNextAlarm(SoundAlarm(), firing + kTicksPerMinute);
        QCOMPARE(m_made, 1);
    }

    void noAlarmPendingReadiesNothing()
    {
        auto window = MakeWindow();
        window->SetNextAlarm(std::nullopt, 0);
        QCOMPARE(window->Sound(), nullptr);
    }

    // An alarm that came without notice (no next alarm was named) makes its device when it
    // rings.
    void anUnannouncedAlarmStillSounds()
    {
        auto window = MakeWindow();
        FiringPass pass;
        DueAlarm due;
        due.alarm = SoundAlarm();
        pass.alarms.push_back(due);
        window->CarryOut(pass);
        QVERIFY(window->Sound() != nullptr);
        QVERIFY(window->Sound()->IsPlaying());
    }
};

QTEST_MAIN(TestSoundPreparation)
#include "test_sound_preparation.moc"
