// The tray icon: its menu and default command, clicks and the icon animation. Clicks are emitted
// as the Qt icon's activated() signal; time moves by the injectable clock. The test that needs a
// tray host runs in the test_tray_host variant, against a stand-in watcher on a private bus.

#include "CSystemTray.h"
#include "time/Clock.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

using namespace zembra;
using namespace Qt::StringLiterals;

class TestTray : public QObject {
    Q_OBJECT

private:
    FileTime m_now = 133'000'000'000'000'000; // 2022-06-18
    // Icons are told apart by their cache keys, which every icon made has of its own.
    QIcon m_resting = CSystemTray::RestingIcon();
    QIcon m_ringing = CSystemTray::RingingIcon();
    QIcon m_other = CSystemTray::ProgramIcon();
    QWidget m_window; // the frame
    std::unique_ptr<CSystemTray> m_tray;

    // A tray set up as the frame sets it up, with {resting, ringing} as its frames.
    CSystemTray& SetUp()
    {
        Clock::SetForTesting([this] { return m_now; });
        m_tray = std::make_unique<CSystemTray>();
        m_tray->CreateTrayIcon(&m_window, u"Zembra"_s, m_resting);
        m_tray->SetAnimationIcons({m_resting, m_ringing}); // (StartAnimation fails without)
        return *m_tray;
    }
    // What the icon in the panel shows.
    qint64 Shown() const { return m_tray->TrayIconForTesting()->icon().cacheKey(); }
    void Step(qint64 ms)
    {
        m_now += ms * kTicksPerMillisecond;
        m_tray->OnAnimationTimer();
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
    void cleanup() { Clock::SetForTesting({}); }

    // A single click is what every panel reports; the double click that follows it on some
    // panels runs nothing more, not even the default entry (it would undo what the click did).
    void theDefaultEntryIsBoldAndOnlyASingleClickIsPassedOn()
    {
        // The frame's side of the menu, for the default command.
        QAction about(u"&O programie Zembra..."_s);
        QSignalSpy aboutRuns(&about, &QAction::triggered);
        CSystemTray& tray = SetUp();
        tray.SetMenuActions({{CSystemTray::kIdAppAbout, &about}});
        // Until the frame chooses, the first entry, About, is the default and shown bold.
        QCOMPARE(tray.GetMenu()->defaultAction(), tray.GetMenu()->actions().constFirst());

        QSignalSpy left(&tray, &CSystemTray::LeftClicked);
        Q_EMIT tray.TrayIconForTesting()->activated(QSystemTrayIcon::Context);
        Q_EMIT tray.TrayIconForTesting()->activated(QSystemTrayIcon::Trigger);
        Q_EMIT tray.TrayIconForTesting()->activated(QSystemTrayIcon::DoubleClick);
        QCoreApplication::processEvents(); // a command would run once the click was handled
        QCOMPARE(left.count(), 1);
        QCOMPARE(aboutRuns.count(), 0);

        // The frame's choice is the one shown bold from then on.
        tray.SetDefaultMenuItem(CSystemTray::kIdHide, false);
        QCOMPARE(tray.GetMenu()->defaultAction(), tray.GetDefaultMenuAction());
    }

    // The frames alternate from the icon shown before until the time given, in whole seconds
    // with a half rounded up, has passed (-1 and 0: no end); the icon from before the first
    // start then comes back.
    void animationAlternatesTheFramesUntilItsEndAndPutsTheSavedIconBack()
    {
        CSystemTray& tray = SetUp();
        tray.SetTrayIcon(m_other);
        QVERIFY(tray.StartAnimation(500, 3));
        QCOMPARE(Shown(), m_other.cacheKey()); // until the first step shows the second frame
        for (const QIcon* frame : {&m_ringing, &m_resting, &m_ringing}) {
            Step(500);
            QCOMPARE(Shown(), frame->cacheKey());
        }
        Step(1999); // 3.499 s rounds to 3: not past the end yet
        QCOMPARE(Shown(), m_resting.cacheKey());
        Step(1); // 3.5 s rounds up to 4
        QVERIFY(!tray.IsAnimating());
        QCOMPARE(Shown(), m_other.cacheKey());
        // A restart saves the icon from before the first start, not a frame.
        const qint64 decade = qint64(10) * 365 * 24 * 3600 * 1000;
        for (const int endless : {-1, 0}) {
            QVERIFY(tray.StartAnimation(500, endless));
            Step(decade);
            QCOMPARE(Shown(), m_ringing.cacheKey());
        }
        QVERIFY(tray.StopAnimation());
        QCOMPARE(Shown(), m_other.cacheKey());
        QVERIFY(!tray.StopAnimation()); // idle: nothing to stop
        // Without frames there is nothing to animate.
        tray.SetAnimationIcons({});
        QVERIFY(!tray.StartAnimation(500, -1));
    }

    // A login where the program starts before the panel: the icon comes up, with its tooltip,
    // when the panel does; one made while the panel is there shows at once, as it is.
    void aTrayHostThatComesLateOrIsThereShowsTheIconAsItIs()
    {
        if (!qEnvironmentVariableIsSet("ZEMBRA_FAKE_SNI_WATCHER"))
            QSKIP("`ctest -R test_tray_host` runs this with a stand-in StatusNotifier watcher on a "
                  "private session bus and a virtual X display");
        // (Qt decides once per process whether a tray host is there: no icon of an earlier test
        // may have been made.)
        CSystemTray early;
        QSignalSpy available(&early, &CSystemTray::AvailabilityChanged);
        QVERIFY(!early.CreateTrayIcon(&m_window, u"Zembra"_s, CSystemTray::RestingIcon()));
        QProcess watcher; // the stand-in tray host
        watcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        watcher.start(qEnvironmentVariable("ZEMBRA_FAKE_SNI_WATCHER"), QStringList());
        QVERIFY2(watcher.waitForReadyRead(10000) && watcher.readLine().trimmed() == "ready",
                 "the stand-in watcher did not start");
        QVERIFY(available.wait(10000));
        QCOMPARE(available.last().at(0).toBool(), true);
        const QByteArray resting = NextRegistration(watcher);
        QVERIFY(resting.startsWith("registered tooltip=Zembra icon="));

        CSystemTray tray;
        QVERIFY(tray.CreateTrayIcon(&m_window, u"Zembra"_s, CSystemTray::RingingIcon()));
        const QByteArray ringing = NextRegistration(watcher);
        QVERIFY(ringing.startsWith("registered tooltip=Zembra icon="));
        QVERIFY(ringing != resting);
        watcher.kill();
        watcher.waitForFinished();
    }
};

QTEST_MAIN(TestTray)
#include "test_tray.moc"
