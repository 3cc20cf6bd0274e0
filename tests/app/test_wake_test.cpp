// The wake test as the user meets it: the window over the test with a scripted timer, gauge and
// power back end, through each way a test can end or be refused. (The menu command that opens it
// is tested with the main frame.)

#include "../alert/RecordingPower.h"
#include "CWakeTest.h"
#include "CWakeTestDialog.h"
#include "QuietTimer.h"

#include <QtTest>
#include <QtWidgets>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

constexpr FileTime kNow = 133'000'000'000'000'000; // a moment in 2022
constexpr FileTime kBoot = 5000 * kTicksPerSecond;

// A test timer that the system can refuse to make ("create") or to set ("arm").
class FakeTestTimer final : public test::QuietTimer {
public:
    bool Create() override { return m_broken != u"create"; }
    bool Arm(FileTime dueUtc) override { return m_broken != u"arm" && (m_armed = dueUtc) != 0; }
    bool Cancel() override { return ++m_cancels > 0; }
    WakeCapability Capability() const override { return m_capability; }
    std::string LastError() const override { return "device busy"; }

    QString m_broken;
    FileTime m_armed = 0;
    int m_cancels = 0;
    WakeCapability m_capability = WakeCapability::Granted();
};

class FakeGauge final : public ISleepGauge {
public:
    SleepGaugeSample Sample() const override { return m_now; }
    // The machine's clocks `seconds` after the test began, `asleep` of them in sleep.
    void Move(int seconds, int asleep)
    {
        m_now = {kBoot + seconds * kTicksPerSecond, kBoot + (seconds - asleep) * kTicksPerSecond};
    }

    SleepGaugeSample m_now{kBoot, kBoot};
};

} // namespace

class TestWakeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_power.Clear(); }
    void cleanup() { m_dialog.reset(); }
    void endsWithWhatTheGaugeTells_data()
    {
        QTest::addColumn<bool>("noPermission");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("backAfter"); // seconds after the start, on the since-boot clock
        QTest::addColumn<int>("asleep");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("displayOns");
        QTest::newRow("woke by the timer")
            << false << QString() << 62 << 55 << u"obudził się sam o nastawionej porze"_s << 1;
        QTest::newRow("woken by hand")
            << false << QString() << 30 << 20 << u"obudzono ręcznie 35 s przed"_s << 0;
        QTest::newRow("slept past, permission missing")
            << true << QString() << 400 << 390
            << u"nie obudził się sam: spał 7 min i wrócił dopiero 6 min po"_s << 0;
        QTest::newRow("standby refused") << false << u"Access denied"_s << 0 << 0
                                         << u"System odmówił uśpienia: Access denied"_s << 0;
    }

    void endsWithWhatTheGaugeTells()
    {
        QFETCH(bool, noPermission);
        QFETCH(QString, refusal);
        QFETCH(int, backAfter);
        QFETCH(int, asleep);
        QFETCH(QString, said);
        QFETCH(int, displayOns);

        const QString command = u"sudo setcap cap_wake_alarm+ep /usr/bin/zembra"_s;
        WakeCapability missing;
        missing.kind = WakeCapability::Kind::NoPermission;
        missing.command = command.toStdString();
        m_power.Refuse(refusal.toStdString());
        Open(noPermission ? missing : WakeCapability::Granted());
        // Without the permission the window says so and offers the command that grants it.
        auto* problem = m_dialog->findChild<QLabel*>(u"wakeTestProblem"_s);
        auto* commandField = m_dialog->findChild<QLineEdit*>(u"wakeTestCommand"_s);
        QCOMPARE(problem->isVisible(), noPermission);
        QVERIFY(!noPermission || problem->text().contains(u"uprawnienia"_s));
        QCOMPARE(commandField->isVisible() ? commandField->text() : QString(),
                 noPermission ? command : QString());
        QTest::mouseClick(StartButton(), Qt::LeftButton);

        QCOMPARE(m_timer->m_armed, kNow + kTicksPerMinute);
        QVERIFY(!StartButton()->isEnabled());
        QTRY_COMPARE(m_power.Requests().count(u"standby"_s), 1);
        if (refusal.isEmpty()) {
            // Asleep, and back: the next tick of the poll reads the gauge.
            m_gauge->Move(backAfter, asleep);
            m_test->Poll();
        }
        QTRY_VERIFY2(Status().contains(said), qPrintable(Status()));
        QVERIFY(StartButton()->isEnabled());
        // Whatever the end, the test timer is disarmed: woken early, it would wake a later sleep.
        QCOMPARE(m_timer->m_cancels, 1);
        QVERIFY(!noPermission || Status().contains(u"Przyczyna: program nie ma uprawnienia"_s));
        QTRY_COMPARE(m_power.Requests().count(u"display-on"_s), displayOns);
        QCOMPARE(m_power.Requests().count(u"standby"_s), 1);
    }

    void closingDuringTheTestDisarmsTheTimer()
    {
        Open();
        QTest::mouseClick(StartButton(), Qt::LeftButton);
        m_dialog->close();
        QVERIFY(!m_test->IsRunning());
        QCOMPARE(m_timer->m_cancels, 1);
        // A resume seen afterwards ends nothing and says nothing.
        m_gauge->Move(400, 390);
        m_test->Poll();
        QVERIFY(Status().startsWith(u"Test trwa"_s));
    }

    void neverAsksForSleepThatNoTimerEnds_data()
    {
        QTest::addColumn<QString>("broken");
        QTest::addColumn<QString>("said");
        QTest::newRow("timer not made")
            << u"create"_s << u"Nie można utworzyć budzika testowego: device busy"_s;
        QTest::newRow("timer not set")
            << u"arm"_s << u"Nie można nastawić budzika testowego: device busy"_s;
        QTest::newRow("no power back end") << u"power"_s << u"obsługa zasilania jest niedostępna"_s;
    }

    // Without a timer that is armed, standby would be a sleep nothing ends; without a power back
    // end there is none to ask. The window says why.
    void neverAsksForSleepThatNoTimerEnds()
    {
        QFETCH(QString, broken);
        QFETCH(QString, said);
        Open(WakeCapability::Granted(), broken);
        QTest::mouseClick(StartButton(), Qt::LeftButton);
        QVERIFY2(Status().contains(said), qPrintable(Status()));
        QVERIFY(m_power.Requests().isEmpty());
    }

private:
    // The window over a fresh test as the menu opens it; its timer reports `capability` and is
    // `broken` as FakeTestTimer says, and "power" takes the power back end away.
    void Open(const WakeCapability& capability = WakeCapability::Granted(),
              const QString& broken = {})
    {
        auto timer = std::make_unique<FakeTestTimer>();
        auto gauge = std::make_unique<FakeGauge>();
        timer->m_capability = capability;
        timer->m_broken = broken;
        m_timer = timer.get();
        m_gauge = gauge.get();
        m_dialog = std::make_unique<CWakeTestDialog>();
        m_test = new CWakeTest(std::move(timer), broken == u"power" ? nullptr : &m_power,
                               std::move(gauge), [] { return kNow; });
        m_test->Attach(m_dialog.get());
        m_dialog->show();
    }
    QString Status() const { return m_dialog->findChild<QLabel*>(u"wakeTestStatus"_s)->text(); }
    QPushButton* StartButton() const
    {
        return m_dialog->findChild<QPushButton*>(u"wakeTestStart"_s);
    }

    test::RecordingPower m_power;
    FakeTestTimer* m_timer = nullptr; // owned by the test
    FakeGauge* m_gauge = nullptr;     // owned by the test
    CWakeTest* m_test = nullptr;      // owned by the dialog
    std::unique_ptr<CWakeTestDialog> m_dialog;
};

QTEST_MAIN(TestWakeTest)
#include "test_wake_test.moc"
