// The pop-up beside the clock and what it must leave alone: the tray icon stays uncovered
// whatever bar it sits in, and the text grows with the desktop's font.

#include "CTaskbarNotifier.h"
#include "NotifierGeometry.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using zembra::CTaskbarNotifier;
using zembra::NotifierGeometry;

namespace {

const QRect kScreen(0, 0, 1280, 800);
const QSize kSkin(256, 64);

} // namespace

class TestNotifierRoom : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keepsTheTrayIconClear_data()
    {
        QTest::addColumn<QRect>("work");
        QTest::addColumn<QRect>("icon");
        QTest::addColumn<QRect>("shown");

        // A bar at the bottom that reserves no room (as trayer without struts): the icon lies
        // inside the work area, under where the pop-up would be; the pop-up sits on it instead.
        QTest::newRow("bottom bar not reserved")
            << kScreen << QRect(1256, 776, 24, 24) << QRect(1024, 712, 256, 64);
        QTest::newRow("reserved bottom bar: the work area already ends above the icon")
            << QRect(0, 0, 1280, 776) << QRect(1256, 776, 24, 24) << QRect(1024, 712, 256, 64);
        QTest::newRow("icon at the far left of the bar is not in the way")
            << kScreen << QRect(0, 776, 24, 24) << QRect(1024, 736, 256, 64);
        QTest::newRow("icon inside the work area beside a right bar: the pop-up stops left of it")
            << QRect(0, 0, 1250, 800) << QRect(1220, 770, 30, 30) << QRect(964, 736, 256, 64);
        QTest::newRow("icon inside the work area under a top bar: the pop-up comes down below it")
            << QRect(0, 30, 1280, 770) << QRect(1250, 30, 30, 30) << QRect(1024, 60, 256, 64);
        QTest::newRow("an icon too tall to leave room changes nothing")
            << kScreen << QRect(1256, 40, 24, 760) << QRect(1024, 736, 256, 64);
        QTest::newRow("no icon known (a StatusNotifier panel)")
            << kScreen << QRect() << QRect(1024, 736, 256, 64);
    }
    void keepsTheTrayIconClear()
    {
        QFETCH(QRect, work);
        QFETCH(QRect, icon);
        QFETCH(QRect, shown);

        const NotifierGeometry geometry(kScreen, work, kSkin, 2, icon);
        QCOMPARE(QRect(geometry.ShownPosition(), kSkin), shown);
        // The whole slide stays off the icon: the window is cut at the cleared work area.
        QPoint pos = geometry.StartPosition();
        for (NotifierGeometry::SlideStep step{pos, false}; !step.complete;
             step = geometry.SlideIn(pos)) {
            pos = step.pos;
            if (shown.intersects(icon))
                continue; // no room was left beside it
            QVERIFY2(!geometry.PlacedRect(pos).intersects(icon),
                     qPrintable(QStringLiteral("covers the icon at %1, %2").arg(pos.x()).arg(pos.y())));
        }
    }

    // The real pop-up asks for the icon's place each time it measures the screen.
    void thePopUpAsksWhereTheIconIs()
    {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QRect all = screen->geometry();
        const QRect icon(all.right() - 23, all.bottom() - 23, 24, 24);
        CTaskbarNotifier notifier;
        QVERIFY(notifier.LoadSkin(CTaskbarNotifier::ProgramSkin(), CTaskbarNotifier::ProgramSkinKey()));
        notifier.SetKeepClear([icon] { return icon; });
        notifier.ShowText(QStringLiteral("Kawa"), 500, 10000, 500);
        for (int i = 0; i < 1000 && notifier.State() != CTaskbarNotifier::StateWaiting; ++i)
            notifier.OnTimer(CTaskbarNotifier::TimerSlideIn);
        QCOMPARE(notifier.State(), CTaskbarNotifier::StateWaiting);
        QVERIFY(notifier.isVisible());
        QVERIFY(!notifier.geometry().intersects(icon));
        QCOMPARE(notifier.geometry().bottom(), icon.top() - 1);
    }

    void textGrowsWithTheDesktopFont_data()
    {
        QTest::addColumn<double>("desktopPoints");
        QTest::addColumn<double>("popUpPoints");
        QTest::newRow("usual desktop font") << 9.0 << 9.0;
        QTest::newRow("16 pt desktop") << 16.0 << 16.0;
        QTest::newRow("12 pt desktop") << 12.0 << 12.0;
        QTest::newRow("a smaller desktop font keeps 9 pt") << 7.0 << 9.0;
    }
    void textGrowsWithTheDesktopFont()
    {
        QFETCH(double, desktopPoints);
        QFETCH(double, popUpPoints);
        const QFont saved = QApplication::font();
        QFont desktop = saved;
        desktop.setPointSizeF(9.0);
        QApplication::setFont(desktop);

        CTaskbarNotifier notifier;
        QVERIFY(notifier.LoadSkin(CTaskbarNotifier::ProgramSkin(), CTaskbarNotifier::ProgramSkinKey()));
        notifier.SetTextFonts(QStringLiteral("Arial"), 90, CTaskbarNotifier::StyleBold,
                              CTaskbarNotifier::StyleBold | CTaskbarNotifier::StyleUnderline);
        QCOMPARE(notifier.CurrentFont().pointSizeF(), 9.0);
        // The desktop's font changes while the program runs; the next text follows it.
        desktop.setPointSizeF(desktopPoints);
        QApplication::setFont(desktop);
        notifier.ShowText(QStringLiteral("Kawa"), 500, 10000, 500);
        QCOMPARE(notifier.CurrentFont().pointSizeF(), popUpPoints);
        QVERIFY(notifier.CurrentFont().bold());
        QApplication::setFont(saved);
    }
};

QTEST_MAIN(TestNotifierRoom)
#include "test_notifier_room.moc"
