// The tray icon: its menu and default command, clicks and the icon animation. Clicks are emitted
// as the Qt icon's activated() signal; time moves by the injectable clock. The tests that need a
// tray host run in the test_tray_host and test_tray_late_host variants, against a stand-in
// watcher on a private bus.

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
#include <thread>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

QIcon SolidIcon(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QAction* Entry(const CSystemTray& tray, int id)
{
    for (QAction* item : tray.GetMenu()->actions())
        if (item->data().toInt() == id)
            return item;
    return nullptr;
}

} // namespace

class TestTray : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QProcess> m_pWatcher; // the stand-in tray host, when there is one
    FileTime m_now = 0;
    QIcon m_resting = SolidIcon(Qt::blue);
    QIcon m_ringing = SolidIcon(Qt::red);
    QIcon m_other = SolidIcon(Qt::green);
    CSystemTray* m_tray = nullptr;
    std::unique_ptr<QWidget> m_window;

    // A tray set up as the frame sets it up, with {resting, ringing} as its frames.
    CSystemTray& SetUp()
    {
        m_window = std::make_unique<QWidget>();
        m_tray = new CSystemTray(m_window.get());
        m_tray->CreateTrayIcon(m_window.get(), u"Zembra"_s, m_resting);
        m_tray->SetAnimationIcons({m_resting, m_ringing}); // (StartAnimation fails without)
        return *m_tray;
    }
    qint64 Shown() const { return m_tray->GetTrayIcon().cacheKey(); }
    void Step(qint64 ms)
    {
        m_now += ms * kTicksPerMillisecond;
        m_tray->OnAnimationTimer();
    }

    void StopWatcher()
    {
        if (m_pWatcher) {
            m_pWatcher->kill();
            m_pWatcher->waitForFinished();
            m_pWatcher.reset();
        }
    }
    void StartWatcher()
    {
        m_pWatcher = std::make_unique<QProcess>();
        m_pWatcher->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_pWatcher->start(qEnvironmentVariable("ZEMBRA_FAKE_SNI_WATCHER"), QStringList());
        QVERIFY2(m_pWatcher->waitForReadyRead(10000), "the stand-in watcher did not start");
        QCOMPARE(m_pWatcher->readLine().trimmed(), QByteArray("ready"));
    }
    // The icon digest of the next item the watcher saw register with `tooltip`; lines about
    // the trays of earlier tests are passed over.
    QString NextRegistration(const QString& tooltip)
    {
        const QString wanted = u"tooltip="_s + tooltip + u" icon="_s;
        // The tray answers the watcher from this thread, so wait in an event loop.
        QSignalSpy output(m_pWatcher.get(), &QProcess::readyReadStandardOutput);
        for (;;) {
            while (!m_pWatcher->canReadLine())
                if (!output.wait(10000))
                    return {};
            const QString line = QString::fromUtf8(m_pWatcher->readLine().trimmed());
            if (const qsizetype at = line.indexOf(wanted); at >= 0)
                return line.mid(at + wanted.size());
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Qt decides once per process whether a tray host is there, so it must be up first.
        if (qEnvironmentVariableIsSet("ZEMBRA_FAKE_SNI_WATCHER")
            && !qEnvironmentVariableIsSet("ZEMBRA_FAKE_SNI_WATCHER_LATE"))
            StartWatcher();
    }
    void cleanupTestCase() { StopWatcher(); }
    void init()
    {
        m_now = 133'000'000'000'000'000; // 2022-06-18
        Clock::SetForTesting([this] { return m_now; });
    }
    void cleanup()
    {
        Clock::SetForTesting({});
        m_window.reset();
    }

    void theDefaultEntryIsBoldAndOnlyASingleClickIsPassedOn()
    {
        // The frame's side of the menu, for the two commands the test runs.
        QAction about(u"&O programie Zembra..."_s);
        QAction hide(u"&Ukryj"_s);
        QSignalSpy aboutRuns(&about, &QAction::triggered);
        m_window = std::make_unique<QWidget>();
        CSystemTray tray;
        tray.SetMenuActions({{CSystemTray::kIdAppAbout, &about}, {CSystemTray::kIdHide, &hide}});
        tray.CreateTrayIcon(m_window.get(), u"Zembra"_s, m_resting);
        // Until the frame chooses, the first entry is the default and shown bold.
        QCOMPARE(tray.GetMenu()->defaultAction(), Entry(tray, CSystemTray::kIdAppAbout));
        QVERIFY(tray.SetDefaultMenuItem(CSystemTray::kIdHide, false));
        QCOMPARE(tray.GetMenu()->defaultAction(), Entry(tray, CSystemTray::kIdHide));
        // By position the separators count: position 3 is Hide, position 1 names no command.
        QVERIFY(tray.SetDefaultMenuItem(3, true));
        QCOMPARE(tray.GetMenu()->defaultAction(), Entry(tray, CSystemTray::kIdHide));
        QVERIFY(tray.SetDefaultMenuItem(1, true));
        QCOMPARE(tray.GetMenu()->defaultAction(), nullptr);

        // A single click is what every panel reports; the double click that follows it on
        // some panels runs nothing more (it would undo what the click did).
        QSignalSpy left(&tray, &CSystemTray::LeftClicked);
        Q_EMIT tray.TrayIconForTesting()->activated(QSystemTrayIcon::Context);
        QCOMPARE(left.count(), 0);
        Q_EMIT tray.TrayIconForTesting()->activated(QSystemTrayIcon::Trigger);
        Q_EMIT tray.TrayIconForTesting()->activated(QSystemTrayIcon::DoubleClick);
        QCoreApplication::processEvents(); // the command runs once the click has been handled
        QCOMPARE(left.count(), 1);
        QCOMPARE(aboutRuns.count(), 0);
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
        QCOMPARE(Shown(), m_other.cacheKey());
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

    void anotherThreadStartsAndStopsThroughQueuedCalls()
    {
        CSystemTray& tray = SetUp();
        std::thread([&tray] {
            QMetaObject::invokeMethod(&tray, "StartAnimation", Qt::QueuedConnection,
                                      Q_ARG(int, 500), Q_ARG(int, -1));
        }).join();
        QVERIFY(!tray.IsAnimating());
        QCoreApplication::processEvents();
        QVERIFY(tray.IsAnimating());
        std::thread([&tray] {
            QMetaObject::invokeMethod(&tray, "StopAnimation", Qt::QueuedConnection);
        }).join();
        QCoreApplication::processEvents();
        QVERIFY(!tray.IsAnimating());
    }

    void trayHostShowsTheIconAndGetsItBack()
    {
        if (!m_pWatcher)
            QSKIP("needs a tray host: `ctest -R test_tray_host` runs this with a stand-in "
                  "StatusNotifier watcher on a private session bus and a virtual X display");
        QVERIFY(CSystemTray::IsAvailable());
        const QString tooltip = u"Zembra-host"_s;
        CSystemTray tray;
        QWidget window;
        QVERIFY(tray.CreateTrayIcon(&window, tooltip, CSystemTray::RestingIcon()));
        const QString resting = NextRegistration(tooltip);
        QVERIFY(!resting.isEmpty());

        // The panel restarts while the alarm rings: the icon comes back as it is now, with its
        // tooltip.
        tray.SetTrayIcon(CSystemTray::RingingIcon());
        StopWatcher();
        StartWatcher();
        if (QTest::currentTestFailed())
            return;
        const QString ringing = NextRegistration(tooltip);
        QVERIFY(!ringing.isEmpty());
        QVERIFY(ringing != resting);
    }

    // A login where the program starts before the panel: the icon comes up when the panel does.
    void aTrayHostThatComesLaterIsTakenUp()
    {
        if (!qEnvironmentVariableIsSet("ZEMBRA_FAKE_SNI_WATCHER_LATE"))
            QSKIP("`ctest -R test_tray_late_host` runs this with a stand-in StatusNotifier "
                  "watcher that starts after the icon was made");
        QVERIFY(!CSystemTray::IsAvailable());
        const QString tooltip = u"Zembra-late"_s;
        CSystemTray tray;
        QWidget window;
        QSignalSpy available(&tray, &CSystemTray::AvailabilityChanged);
        QVERIFY(!tray.CreateTrayIcon(&window, tooltip, CSystemTray::RestingIcon()));
        StartWatcher();
        QVERIFY(available.wait(10000));
        QCOMPARE(available.last().at(0).toBool(), true);
        QVERIFY(!NextRegistration(tooltip).isEmpty());
    }
};

QTEST_MAIN(TestTray)
#include "test_tray.moc"
