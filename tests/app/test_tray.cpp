// The tray icon: its menu and default command, clicks and the icon animation. Clicks are emitted
// as the Qt icon's activated() signal; time moves by the injectable clock. The test that needs a
// tray host runs in the test_tray_host variant, against a stand-in watcher on a private bus.

#include "CSystemTray.h"
#include "time/Clock.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <memory>

using namespace zembra;
using namespace Qt::StringLiterals;

// The command id of the menu's default entry; 0 when there is none.
static int DefaultId(const CSystemTray& tray)
{
    const QAction* entry = tray.GetMenu()->defaultAction();
    return entry != nullptr ? entry->data().toInt() : 0;
}

class TestTray : public QObject {
    Q_OBJECT

private:
    FileTime m_now = 0;
    // Icons are told apart by their cache keys, which every icon made has of its own.
    QIcon m_resting = CSystemTray::RestingIcon();
    QIcon m_ringing = CSystemTray::RingingIcon();
    QIcon m_other = CSystemTray::ProgramIcon();
    QWidget m_window; // the frame
    std::unique_ptr<CSystemTray> m_tray;

    // A tray set up as the frame sets it up, with {resting, ringing} as its frames.
    CSystemTray& SetUp()
    {
        m_tray = std::make_unique<CSystemTray>();
        m_tray->CreateTrayIcon(&m_window, u"Zembra"_s, m_resting);
        m_tray->SetAnimationIcons({m_resting, m_ringing}); // (StartAnimation fails without)
        return *m_tray;
    }
    qint64 Shown() const { return m_tray->GetTrayIcon().cacheKey(); }
    void Step(qint64 ms)
    {
        m_now += ms * kTicksPerMillisecond;
        m_tray->OnAnimationTimer();
    }

    // Starts the stand-in watcher, ending a running one first as a panel that restarts; true
    // once it owns its name.
    static bool StartWatcher(QProcess& watcher)
    {
        watcher.kill();
        watcher.waitForFinished();
        watcher.start(qEnvironmentVariable("ZEMBRA_FAKE_SNI_WATCHER"), QStringList());
        return watcher.waitForReadyRead(10000) && watcher.readLine().trimmed() == "ready";
    }
    // The watcher's next line about an item that registered:
    // "registered tooltip=<tooltip> icon=<digest of its pixels>".
    static QByteArray NextRegistration(QProcess& watcher)
    {
        // The tray answers the watcher from this thread, so wait with the events running.
        if (!QTest::qWaitFor([&watcher] { return watcher.canReadLine(); }, 10000))
            return {};
        return watcher.readLine().trimmed();
    }

private Q_SLOTS:
    void init()
    {
        m_now = 133'000'000'000'000'000; // 2022-06-18
        Clock::SetForTesting([this] { return m_now; });
    }
    void cleanup()
    {
        Clock::SetForTesting({});
        m_tray.reset();
    }

    void theDefaultEntryIsBoldAndOnlyASingleClickIsPassedOn()
    {
        // The frame's side of the menu, for the default command.
        QAction about(u"&O programie Zembra..."_s);
        QSignalSpy aboutRuns(&about, &QAction::triggered);
        CSystemTray& tray = SetUp();
        tray.SetMenuActions({{CSystemTray::kIdAppAbout, &about}});
        // Until the frame chooses, the first entry is the default and shown bold.
        QCOMPARE(DefaultId(tray), CSystemTray::kIdAppAbout);

        // A single click is what every panel reports; the double click that follows it on
        // some panels runs nothing more, not even the default entry (it would undo what the
        // click did).
        QSignalSpy left(&tray, &CSystemTray::LeftClicked);
        Q_EMIT tray.TrayIconForTesting()->activated(QSystemTrayIcon::Context);
        Q_EMIT tray.TrayIconForTesting()->activated(QSystemTrayIcon::Trigger);
        Q_EMIT tray.TrayIconForTesting()->activated(QSystemTrayIcon::DoubleClick);
        QCoreApplication::processEvents(); // a command would run once the click was handled
        QCOMPARE(left.count(), 1);
        QCOMPARE(aboutRuns.count(), 0);

        // By position the separators count: position 3 is Hide, position 1 names no command.
        tray.SetDefaultMenuItem(3, true);
        QCOMPARE(DefaultId(tray), CSystemTray::kIdHide);
        tray.SetDefaultMenuItem(1, true);
        QCOMPARE(DefaultId(tray), 0);
        tray.SetDefaultMenuItem(CSystemTray::kIdHide, false);
        QCOMPARE(DefaultId(tray), CSystemTray::kIdHide);
    }

    void animationAlternatesTheFramesAndStopPutsTheSavedIconBack()
    {
        CSystemTray& tray = SetUp();
        tray.SetTrayIcon(m_other);
        QVERIFY(tray.StartAnimation(500, -1));
        QCOMPARE(Shown(), m_other.cacheKey()); // until the first step shows the second frame
        for (const QIcon* frame : {&m_ringing, &m_resting, &m_ringing}) {
            Step(500);
            QCOMPARE(Shown(), frame->cacheKey());
        }
        // A restart saves the icon from before the first start, not a frame.
        QVERIFY(tray.StartAnimation(500, -1));
        QCOMPARE(Shown(), m_other.cacheKey());
        Step(500);
        QVERIFY(tray.StopAnimation());
        QCOMPARE(Shown(), m_other.cacheKey());
        QVERIFY(!tray.StopAnimation()); // idle: nothing to stop
        // Without frames there is nothing to animate.
        tray.SetAnimationIcons({});
        QVERIFY(!tray.StartAnimation(500, -1));
    }

    void animationEnd_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<bool>("animating");
        // 3.499 s rounds to 3, not past the end yet; 3.5 s rounds up to 4 and ends it.
        const qint64 decade = qint64(10) * 365 * 24 * 3600 * 1000;
        QTest::newRow("3 s, 3.499 s on") << 3 << qint64(3499) << true;
        QTest::newRow("3 s, 3.5 s on") << 3 << qint64(3500) << false;
        QTest::newRow("-1 never ends") << -1 << decade << true;
        QTest::newRow("0 never ends") << 0 << decade << true;
    }
    void animationEnd()
    {
        QFETCH(int, seconds);
        QFETCH(qint64, elapsedMs);
        QFETCH(bool, animating);
        CSystemTray& tray = SetUp();
        QVERIFY(tray.StartAnimation(500, seconds));
        Step(elapsedMs);
        QCOMPARE(tray.IsAnimating(), animating);
        QCOMPARE(Shown(), (animating ? m_ringing : m_resting).cacheKey());
    }

    // A login where the program starts before the panel: the icon comes up when the panel does,
    // and one made while the panel is there shows at once. The panel restarts while the alarm
    // rings: the icon comes back as it is now, with its tooltip.
    void aTrayHostThatComesLateOrRestartsShowsTheIconAsItIsNow()
    {
        if (!qEnvironmentVariableIsSet("ZEMBRA_FAKE_SNI_WATCHER"))
            QSKIP("`ctest -R test_tray_host` runs this with a stand-in StatusNotifier watcher on a "
                  "private session bus and a virtual X display");
        // (Qt decides once per process whether a tray host is there: no icon of an earlier test
        // may have been made.)
        QProcess watcher; // the stand-in tray host
        watcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QWidget window;
        {
            CSystemTray early;
            QSignalSpy available(&early, &CSystemTray::AvailabilityChanged);
            QVERIFY(!early.CreateTrayIcon(&window, u"Zembra-early"_s, CSystemTray::RestingIcon()));
            QVERIFY2(StartWatcher(watcher), "the stand-in watcher did not start");
            QVERIFY(available.wait(10000));
            QCOMPARE(available.last().at(0).toBool(), true);
            QVERIFY(NextRegistration(watcher).startsWith("registered tooltip=Zembra-early icon="));
        }
        CSystemTray tray;
        QVERIFY(tray.CreateTrayIcon(&window, u"Zembra"_s, CSystemTray::RestingIcon()));
        const QByteArray resting = NextRegistration(watcher);
        QVERIFY(resting.startsWith("registered tooltip=Zembra icon="));
        tray.SetTrayIcon(CSystemTray::RingingIcon());
        QVERIFY2(StartWatcher(watcher), "the stand-in watcher did not start again");
        const QByteArray ringing = NextRegistration(watcher);
        QVERIFY(ringing.startsWith("registered tooltip=Zembra icon="));
        QVERIFY(ringing != resting);
        watcher.kill();
        watcher.waitForFinished();
    }
};

QTEST_MAIN(TestTray)
#include "test_tray.moc"
