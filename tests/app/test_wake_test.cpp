// The wake test as the user meets it: the window over the test with a scripted timer, gauge and
// power back end, through each way a test can end, and the menu command that opens it.

#include "CAlerterThread.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CSettings.h"
#include "CWakeTest.h"
#include "CWakeTestDialog.h"
#include "CZembracfgDoc.h"
#include "../alert/RecordingPower.h"
#include "QuietTimer.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace zembra;

namespace {

constexpr FileTime kNow = 133'000'000'000'000'000; // a moment in 2022
constexpr FileTime kBoot = 5000 * kTicksPerSecond;

class FakeTestTimer final : public test::QuietTimer {
public:
    bool Arm(FileTime dueUtc) override { return (m_armed = dueUtc) != 0; }
    bool Cancel() override { return ++m_cancels > 0; }
    WakeCapability Capability() const override { return m_capability; }

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
    void init();
    void cleanup();
    void endsWithWhatTheGaugeTells_data();
    void endsWithWhatTheGaugeTells();
    void closingDuringTheTestDisarmsTheTimer();
    void theMenuOpensOneWindowThatDoesNotBlock();

private:
    // The window over a fresh test whose timer reports `capability`, as the menu opens it.
    void Open(const WakeCapability& capability = WakeCapability::Granted());
    QString Status() const
    {
        return m_dialog->findChild<QLabel*>(QStringLiteral("wakeTestStatus"))->text();
    }
    QPushButton* StartButton() const
    {
        return m_dialog->findChild<QPushButton*>(QStringLiteral("wakeTestStart"));
    }

    test::RecordingPower m_power;
    FakeTestTimer* m_timer = nullptr; // owned by the test
    FakeGauge* m_gauge = nullptr;     // owned by the test
    CWakeTest* m_test = nullptr;      // owned by the dialog
    std::unique_ptr<CWakeTestDialog> m_dialog;
};

void TestWakeTest::init()
{
    m_power.Clear();
}

void TestWakeTest::Open(const WakeCapability& capability)
{
    auto timer = std::make_unique<FakeTestTimer>();
    auto gauge = std::make_unique<FakeGauge>();
    timer->m_capability = capability;
    m_timer = timer.get();
    m_gauge = gauge.get();
    m_dialog = std::make_unique<CWakeTestDialog>();
    m_test = new CWakeTest(std::move(timer), &m_power, std::move(gauge), [] { return kNow; });
    m_test->Attach(m_dialog.get());
    m_dialog->show();
}

void TestWakeTest::cleanup()
{
    m_dialog.reset();
}

void TestWakeTest::endsWithWhatTheGaugeTells_data()
{
    QTest::addColumn<bool>("noPermission");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<int>("backAfter"); // seconds after the start, on the since-boot clock
    QTest::addColumn<int>("asleep");
    QTest::addColumn<QString>("said");
    QTest::addColumn<int>("displayOns");

    QTest::newRow("woke by the timer")
        << false << QString() << 62 << 55 << QStringLiteral("obudził się sam o nastawionej porze")
        << 1;
    QTest::newRow("woken by hand")
        << false << QString() << 30 << 20 << QStringLiteral("obudzono ręcznie 35 s przed") << 0;
    QTest::newRow("never slept") << false << QString() << 66 << 0
                                 << QStringLiteral("Komputer nie zasnął") << 0;
    QTest::newRow("slept past, permission missing")
        << true << QString() << 400 << 390
        << QStringLiteral("nie obudził się sam: spał 7 min i wrócił dopiero 6 min po") << 0;
    QTest::newRow("standby refused")
        << false << QStringLiteral("Access denied") << 0 << 0
        << QStringLiteral("System odmówił uśpienia: Access denied") << 0;
}

void TestWakeTest::endsWithWhatTheGaugeTells()
{
    QFETCH(bool, noPermission);
    QFETCH(QString, refusal);
    QFETCH(int, backAfter);
    QFETCH(int, asleep);
    QFETCH(QString, said);
    QFETCH(int, displayOns);

    const QString command = QStringLiteral("sudo setcap cap_wake_alarm+ep /usr/bin/zembra");
    WakeCapability capability = WakeCapability::Granted();
    if (noPermission) {
        capability.canWake = false;
        capability.kind = WakeCapability::Kind::NoPermission;
        capability.command = command.toStdString();
    }
    m_power.Refuse(refusal.toStdString());
    Open(capability);
    auto* problem = m_dialog->findChild<QLabel*>(QStringLiteral("wakeTestProblem"));
    auto* commandField = m_dialog->findChild<QLineEdit*>(QStringLiteral("wakeTestCommand"));
    QCOMPARE(problem->isVisible(), noPermission);
    QCOMPARE(commandField->isVisible(), noPermission);
    if (noPermission) {
        QVERIFY(problem->text().contains(QStringLiteral("uprawnienia")));
        QCOMPARE(commandField->text(), command);
    }

    QTest::mouseClick(StartButton(), Qt::LeftButton);
    QCOMPARE(m_timer->m_armed, kNow + kTicksPerMinute);
    QVERIFY(!StartButton()->isEnabled());
    QVERIFY(Status().startsWith(QStringLiteral("Test trwa")));
    QTRY_COMPARE(m_power.Requests().count(QStringLiteral("standby")), 1);

    if (refusal.isEmpty()) {
        // Asleep, and back: the next tick of the poll reads the gauge.
        m_gauge->Move(backAfter, asleep);
        m_test->Poll();
    }
    QTRY_VERIFY2(Status().contains(said), qPrintable(Status()));
    QVERIFY(!m_test->IsRunning());
    QVERIFY(StartButton()->isEnabled());
    // Whatever the end, the test timer is disarmed: woken early, it would wake a later sleep.
    QCOMPARE(m_timer->m_cancels, 1);
    if (noPermission) {
        QVERIFY(Status().contains(QStringLiteral("Przyczyna: program nie ma uprawnienia")));
    }
    QTRY_COMPARE(m_power.Requests().count(QStringLiteral("display-on")), displayOns);
    QCOMPARE(m_power.Requests().count(QStringLiteral("standby")), 1);
}

void TestWakeTest::closingDuringTheTestDisarmsTheTimer()
{
    Open();
    QTest::mouseClick(StartButton(), Qt::LeftButton);
    QVERIFY(m_test->IsRunning());
    m_dialog->close();
    QVERIFY(!m_test->IsRunning());
    QCOMPARE(m_timer->m_cancels, 1);
    // A resume seen afterwards ends nothing and says nothing.
    m_gauge->Move(400, 390);
    m_test->Poll();
    QVERIFY(Status().startsWith(QStringLiteral("Test trwa")));
}

void TestWakeTest::theMenuOpensOneWindowThatDoesNotBlock()
{
    QTemporaryDir dir;
    CSettings::SetStorePath(dir.filePath(QStringLiteral("settings.ini")));
    CMessageBox::SetTestMode(true);
    {
        CSettings settings;
        CPower power(std::make_unique<test::QuietTimer>());
        power.Init();
        CAlerterThread alerter(settings, nullptr);
        CZembracfgDoc doc(power, settings, &m_power, &alerter);
        CMainFrame frame(doc, settings, &alerter);
        QAction* command = frame.Action(CMainFrame::kWakeTest);
        QCOMPARE(command->text(), QStringLiteral("&Sprawdź wybudzanie…"));

        // Returns at once: a modal run would hold this test (and the alarms) here.
        command->trigger();
        auto* dialog = frame.findChild<CWakeTestDialog*>();
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        command->trigger();
        QCOMPARE(frame.findChildren<CWakeTestDialog*>().size(), 1);

        dialog->close();
        QTRY_VERIFY(frame.findChild<CWakeTestDialog*>() == nullptr);
    }
    CMessageBox::SetTestMode(false);
    CSettings::SetStorePath({});
}

QTEST_MAIN(TestWakeTest)
#include "test_wake_test.moc"
