// The pop-up beside the clock: its geometry on every taskbar edge and beside the tray icon, its
// state machine driven tick by tick, its text layout and font, hover, click, what it paints, and
// how a screen reader meets it.

#include "CTaskbarNotifier.h"
#include "NotifierAccessible.h"
#include "NotifierGeometry.h"

#include <QAccessible>
#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using zembra::CTaskbarNotifier;
using zembra::NotifierGeometry;
using Edge = NotifierGeometry::Edge;

Q_DECLARE_METATYPE(NotifierGeometry::Edge)

namespace {

const QSize kSkin(256, 64);
const QColor kText(64, 64, 64);
const QRect kTextArea(64, 16, 160, 32);

// Runs one slide to its end; returns the ticks it took, the completing one included.
template <typename StepFn> int RunSlide(QPoint& pos, StepFn step)
{
    for (int ticks = 1; ticks < 10000; ++ticks) {
        const NotifierGeometry::SlideStep next = step(pos);
        if (next.complete)
            return ticks;
        pos = next.pos;
    }
    return -1;
}

// Set up as the alert window does.
void SetUp(CTaskbarNotifier& n)
{
    QVERIFY(n.LoadSkin(CTaskbarNotifier::ProgramSkin(), CTaskbarNotifier::ProgramSkinKey()));
    n.SetTextFonts(u"Arial"_s, 90, CTaskbarNotifier::StyleBold,
                   CTaskbarNotifier::StyleBold | CTaskbarNotifier::StyleUnderline);
    n.SetTextColors(kText, kText);
    n.SetTextArea(64, 16, 224, 48);
}

void SlideIn(CTaskbarNotifier& n)
{
    for (int i = 0; i < 1000 && n.State() != CTaskbarNotifier::StateWaiting; ++i)
        n.OnTimer(CTaskbarNotifier::TimerSlideIn);
    QCOMPARE(n.State(), CTaskbarNotifier::StateWaiting);
}

void Show(CTaskbarNotifier& n, const QString& text)
{
    n.ShowText(text, 500, 1000, 500, 2);
    SlideIn(n);
}

void SlideOutFully(CTaskbarNotifier& n)
{
    for (int i = 0; i < 1000 && n.IsTimerActive(CTaskbarNotifier::TimerSlideOut); ++i)
        n.OnTimer(CTaskbarNotifier::TimerSlideOut);
}

// The timers that run, by name: "in", "stay", "out".
QString Running(const CTaskbarNotifier& n)
{
    QStringList running;
    for (const auto& [id, name] : {std::pair{CTaskbarNotifier::TimerSlideIn, "in"},
                                   {CTaskbarNotifier::TimerStay, "stay"},
                                   {CTaskbarNotifier::TimerSlideOut, "out"}}) {
        if (n.IsTimerActive(id))
            running << QString::fromLatin1(name);
    }
    return running.join(u' ');
}

int CountPixels(const QImage& image, const QRect& area, bool (*match)(QRgb))
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += match(image.pixel(x, y)) ? 1 : 0;
    return count;
}

bool IsTextGrey(QRgb p)
{
    return qRed(p) < 110 && qGreen(p) < 110 && qBlue(p) < 110 && qAbs(qRed(p) - qBlue(p)) < 24;
}

bool IsRed(QRgb p)
{
    return qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90;
}

// What the pop-up itself told a screen reader ("name …", "alert …"); its parts and other widgets
// are not under test.
QStringList& Reported()
{
    static QStringList reported;
    return reported;
}

void Record(QAccessibleEvent* event)
{
    if (qobject_cast<CTaskbarNotifier*>(event->object()) == nullptr)
        return;
    const QAccessible::Event type = event->type();
    QAccessibleInterface* accessible = event->accessibleInterface();
    Reported() << u"%1 %2"_s.arg(type == QAccessible::NameChanged ? "name"_L1
                                 : type == QAccessible::Alert     ? "alert"_L1
                                                                  : "other"_L1,
                                 accessible != nullptr ? accessible->text(QAccessible::Name)
                                                       : QString());
}

} // namespace

class TestNotifier : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void geometryEdges_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("work");
        QTest::addColumn<Edge>("edge");
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("shown");
        QTest::addColumn<int>("steps");
        QTest::addColumn<unsigned>("interval");

        const QRect fullHd(0, 0, 1920, 1080);
        QTest::newRow("bottom") << fullHd << QRect(0, 0, 1920, 1040) << Edge::Bottom
                                << QPoint(1664, 1040) << QPoint(1664, 976) << 32 << 15u;
        QTest::newRow("right") << fullHd << QRect(0, 0, 1860, 1080) << Edge::Right
                               << QPoint(1860, 1016) << QPoint(1604, 1016) << 128 << 3u;
        QTest::newRow("left") << fullHd << QRect(60, 0, 1860, 1080) << Edge::Left
                              << QPoint(-196, 1016) << QPoint(60, 1016) << 128 << 3u;
        QTest::newRow("top") << fullHd << QRect(0, 40, 1920, 1040) << Edge::Top
                             << QPoint(1664, -24) << QPoint(1664, 40) << 32 << 15u;
        QTest::newRow("no taskbar: bottom-right corner") << fullHd << fullHd << Edge::Bottom
            << QPoint(1664, 1080) << QPoint(1664, 1016) << 32 << 15u;
        // A second monitor: "starts at the left" means the screen's left, not x = 0.
        QTest::newRow("second screen, right bar")
            << QRect(1920, 0, 1280, 1024) << QRect(1920, 0, 1220, 1024) << Edge::Right
            << QPoint(3140, 960) << QPoint(2884, 960) << 128 << 3u;
        QTest::newRow("second screen, left bar")
            << QRect(1920, 0, 1280, 1024) << QRect(1980, 0, 1220, 1024) << Edge::Left
            << QPoint(1724, 960) << QPoint(1980, 960) << 128 << 3u;
        QTest::newRow("screen above primary, top bar")
            << QRect(0, -1024, 1280, 1024) << QRect(0, -1000, 1280, 1000) << Edge::Top
            << QPoint(1024, -1064) << QPoint(1024, -1000) << 32 << 15u;
        // Below the primary: its work area starts at y = 1080, which is its own top.
        QTest::newRow("screen below primary, bottom bar")
            << QRect(0, 1080, 1920, 1080) << QRect(0, 1080, 1920, 1040) << Edge::Bottom
            << QPoint(1664, 2120) << QPoint(1664, 2056) << 32 << 15u;
    }
    void geometryEdges()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, work);
        QFETCH(QPoint, start);
        QFETCH(QPoint, shown);
        QFETCH(int, steps);
        const NotifierGeometry g(screen, work, kSkin, 2);
        QTEST(g.GetEdge(), "edge");
        QCOMPARE(g.StartPosition(), start);
        QCOMPARE(g.ShownPosition(), shown);
        QCOMPARE(g.StepCount(), steps);
        QTEST(g.StepInterval(500), "interval");

        // Every move is one step; the slide in ends where the pop-up is fully shown and inside
        // the work area, the slide out back at the start with nothing of it in the work area.
        QPoint pos = start;
        bool unitMoves = true;
        const int inTicks = RunSlide(pos, [&](const QPoint& p) {
            const NotifierGeometry::SlideStep s = g.SlideIn(p);
            unitMoves = unitMoves && (s.complete || (s.pos - p).manhattanLength() == 2);
            return s;
        });
        QVERIFY(unitMoves);
        QCOMPARE(inTicks, steps + 1);
        QCOMPARE(g.PlacedRect(pos), QRect(shown, kSkin));
        QVERIFY(work.contains(g.PlacedRect(pos)));
        QCOMPARE(RunSlide(pos, [&](const QPoint& p) { return g.SlideOut(p); }), steps + 1);
        QCOMPARE(pos, start);
        QVERIFY(g.PlacedRect(pos).isEmpty());
    }

    void geometryClipsAtWorkAreaEdge()
    {
        // Bottom bar on a screen below the primary: the window is cut at the work area's bottom,
        // its height the work bottom minus y, not the work height minus y.
        const NotifierGeometry bottom(QRect(0, 1080, 1920, 1080), QRect(0, 1080, 1920, 1040),
                                      kSkin, 2);
        QPoint pos = bottom.StartPosition();
        for (int tick = 1; tick <= 32; ++tick) {
            pos = bottom.SlideIn(pos).pos;
            QCOMPARE(bottom.PlacedRect(pos), QRect(pos.x(), pos.y(), 256, 2 * tick));
            QCOMPARE(bottom.PlacedRect(pos).bottom(), 2119);
        }
        // Top bar: the window starts at the work area's top and grows down, so the pop-up comes
        // from behind the bar instead of covering it.
        const NotifierGeometry top(QRect(0, 0, 1920, 1080), QRect(0, 40, 1920, 1040), kSkin, 2);
        QCOMPARE(top.PlacedRect(QPoint(1664, 40 - 54)), QRect(1664, 40, 256, 10));
        // Right bar: cut at the work area's right edge.
        const NotifierGeometry right(QRect(0, 0, 1920, 1080), QRect(0, 0, 1860, 1080), kSkin, 2);
        QCOMPARE(right.PlacedRect(QPoint(1800, 1016)), QRect(1800, 1016, 60, 64));
    }

    void geometryStepGuard()
    {
        const QRect screen(0, 0, 1920, 1080);
        const QRect work(0, 0, 1920, 1040);
        // A step of 0 or below, or larger than the skin: one tick covering the whole way.
        for (int step : {0, -3, 65, 1000}) {
            const NotifierGeometry g(screen, work, kSkin, step);
            QCOMPARE(g.StepCount(), 1);
            QCOMPARE(g.Step(), 64);
            QCOMPARE(g.StepInterval(500), 500u);
            QPoint pos = g.StartPosition();
            QCOMPARE(RunSlide(pos, [&](const QPoint& p) { return g.SlideIn(p); }), 2);
            QCOMPARE(pos, g.ShownPosition());
        }
        // An odd height: the last step stops at the shown position instead of passing it.
        const NotifierGeometry odd(screen, work, QSize(256, 65), 2);
        QCOMPARE(odd.StepCount(), 32);
        QPoint pos = odd.StartPosition();
        QCOMPARE(RunSlide(pos, [&](const QPoint& p) { return odd.SlideIn(p); }), 34);
        QCOMPARE(pos, odd.ShownPosition());
        QCOMPARE(odd.PlacedRect(pos).height(), 65);
        QCOMPARE(RunSlide(pos, [&](const QPoint& p) { return odd.SlideOut(p); }), 34);
        QCOMPARE(pos, odd.StartPosition());
        // No skin at all, and the empty geometry of a pop-up never shown: nothing to move.
        const NotifierGeometry none(screen, work, QSize(0, 0), 2);
        QCOMPARE(none.StepCount(), 1);
        QVERIFY(none.SlideIn(none.StartPosition()).complete);
        const NotifierGeometry empty;
        QVERIFY(empty.SlideIn(QPoint()).complete);
        QVERIFY(empty.SlideOut(QPoint()).complete);
        QVERIFY(empty.PlacedRect(QPoint()).isEmpty());
    }

    void keepsTheTrayIconClear_data()
    {
        QTest::addColumn<QRect>("work");
        QTest::addColumn<QRect>("icon");
        QTest::addColumn<QRect>("shown");
        const QRect screen(0, 0, 1280, 800);
        // A bar at the bottom that reserves no room (as trayer without struts): the icon lies
        // inside the work area, under where the pop-up would be; the pop-up sits on it instead.
        QTest::newRow("bottom bar not reserved")
            << screen << QRect(1256, 776, 24, 24) << QRect(1024, 712, 256, 64);
        QTest::newRow("reserved bottom bar: the work area already ends above the icon")
            << QRect(0, 0, 1280, 776) << QRect(1256, 776, 24, 24) << QRect(1024, 712, 256, 64);
        QTest::newRow("icon at the far left of the bar is not in the way")
            << screen << QRect(0, 776, 24, 24) << QRect(1024, 736, 256, 64);
        QTest::newRow("icon inside the work area beside a right bar: the pop-up stops left of it")
            << QRect(0, 0, 1250, 800) << QRect(1220, 770, 30, 30) << QRect(964, 736, 256, 64);
        QTest::newRow("icon inside the work area under a top bar: the pop-up comes down below it")
            << QRect(0, 30, 1280, 770) << QRect(1250, 30, 30, 30) << QRect(1024, 60, 256, 64);
        QTest::newRow("an icon too tall to leave room changes nothing")
            << screen << QRect(1256, 40, 24, 760) << QRect(1024, 736, 256, 64);
        QTest::newRow("no icon known (a StatusNotifier panel)")
            << screen << QRect() << QRect(1024, 736, 256, 64);
    }
    void keepsTheTrayIconClear()
    {
        QFETCH(QRect, work);
        QFETCH(QRect, icon);
        QFETCH(QRect, shown);
        const NotifierGeometry geometry(QRect(0, 0, 1280, 800), work, kSkin, 2, icon);
        QCOMPARE(QRect(geometry.ShownPosition(), kSkin), shown);
        // The whole slide stays off the icon: the window is cut at the cleared work area.
        QPoint pos = geometry.StartPosition();
        for (NotifierGeometry::SlideStep step{pos, false}; !step.complete;
             step = geometry.SlideIn(pos)) {
            pos = step.pos;
            // (Where no room was left beside it, the pop-up may cover it.)
            QVERIFY2(shown.intersects(icon) || !geometry.PlacedRect(pos).intersects(icon),
                     qPrintable(u"covers the icon at %1, %2"_s.arg(pos.x()).arg(pos.y())));
        }
    }

    // The real pop-up asks for the icon's place each time it measures the screen.
    void thePopUpAsksWhereTheIconIs()
    {
        const QRect all = QGuiApplication::primaryScreen()->geometry();
        const QRect icon(all.right() - 23, all.bottom() - 23, 24, 24);
        CTaskbarNotifier n;
        SetUp(n);
        n.SetKeepClear([icon] { return icon; });
        Show(n, u"Kawa"_s);
        QVERIFY(n.isVisible());
        QCOMPARE(n.geometry().bottom(), icon.top() - 1);
        QVERIFY(!n.geometry().intersects(icon));
    }

    // The first text slides in from the tick after it, stays, and slides out; a new text while
    // it is up changes only what each state must change.
    void showTextInEachState()
    {
        CTaskbarNotifier n;
        SetUp(n);
        n.ShowText(u"pierwszy"_s, 500, 1000, 1000, 2);
        // Nothing moves or appears before the first tick.
        QCOMPARE(n.State(), CTaskbarNotifier::StateIdle);
        QVERIFY(!n.isVisible());
        QCOMPARE(Running(n), u"in"_s);
        QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerSlideIn), 15);
        // The offscreen screen has no bars: the pop-up rises at its bottom-right corner.
        const QPoint corner =
            QGuiApplication::primaryScreen()->availableGeometry().bottomRight() - QPoint(255, 63);
        QCOMPARE(n.Position(), corner + QPoint(0, 64));
        n.OnTimer(CTaskbarNotifier::TimerSlideIn);
        QCOMPARE(n.State(), CTaskbarNotifier::StateSlidingIn);
        QVERIFY(n.isVisible());
        QCOMPARE(n.geometry(), QRect(corner + QPoint(0, 62), QSize(256, 2)));
        for (int i = 0; i < 4; ++i)
            n.OnTimer(CTaskbarNotifier::TimerSlideIn);

        // Sliding in: only the text changes, the slide goes on from where it is.
        const QPoint midway = n.Position();
        n.ShowText(u"drugi"_s, 500, 2000, 1000, 2);
        QCOMPARE(n.Text(), u"drugi"_s);
        QCOMPARE(n.State(), CTaskbarNotifier::StateSlidingIn);
        QCOMPARE(n.Position(), midway);
        QCOMPARE(Running(n), u"in"_s);
        SlideIn(n);
        QCOMPARE(n.geometry(), QRect(corner, kSkin));
        QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerStay), 2000);

        // Waiting: the stay starts anew, with the new stay time.
        n.ShowText(u"trzeci"_s, 500, 3000, 1000, 2);
        QCOMPARE(n.State(), CTaskbarNotifier::StateWaiting);
        QCOMPARE(Running(n), u"stay"_s);
        QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerStay), 3000);

        // Stay over: the slide-out timer starts; the state changes at its first tick.
        n.OnTimer(CTaskbarNotifier::TimerStay);
        QCOMPARE(Running(n), u"out"_s);
        QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerSlideOut), 31);
        QCOMPARE(n.State(), CTaskbarNotifier::StateWaiting);
        // Sliding out, midway and after the end: straight back at the shown position, waiting,
        // no new slide-in.
        n.OnTimer(CTaskbarNotifier::TimerSlideOut);
        n.OnTimer(CTaskbarNotifier::TimerSlideOut);
        QCOMPARE(n.State(), CTaskbarNotifier::StateSlidingOut);
        QVERIFY(n.Position() != corner);
        n.ShowText(u"czwarty"_s, 500, 4000, 1000, 2);
        QCOMPARE(n.Position(), corner);
        QVERIFY(n.isVisible());
        QCOMPARE(Running(n), u"stay"_s);
        n.OnTimer(CTaskbarNotifier::TimerStay);
        SlideOutFully(n);
        QCOMPARE(Running(n), QString());
        QCOMPARE(n.State(), CTaskbarNotifier::StateSlidingOut);
        QCOMPARE(n.Position(), n.Geometry().StartPosition());
        QVERIFY(!n.isVisible());
        n.ShowText(u"piąty"_s, 500, 5000, 1000, 2);
        QCOMPARE(n.geometry(), QRect(corner, kSkin));
        QVERIFY(n.isVisible());
        QCOMPARE(Running(n), u"stay"_s);
        QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerStay), 5000);
    }

    void slideOutCutsShort()
    {
        // Before the first tick: nothing was on screen, so the next ShowText still slides in.
        CTaskbarNotifier n;
        SetUp(n);
        n.ShowText(u"x"_s, 500, 1000, 500, 2);
        n.SlideOut();
        QCOMPARE(Running(n), QString());
        QCOMPARE(n.State(), CTaskbarNotifier::StateIdle);
        // Sliding in: the slide-in stops and the pop-up goes back from where it got to.
        n.ShowText(u"x"_s, 500, 1000, 500, 2);
        for (int i = 0; i < 3; ++i)
            n.OnTimer(CTaskbarNotifier::TimerSlideIn);
        n.SlideOut();
        QCOMPARE(Running(n), u"out"_s);
        SlideOutFully(n);
        QCOMPARE(n.Position(), n.Geometry().StartPosition());
        // Back at the shown position and staying: the stay ends at once.
        n.ShowText(u"x"_s, 500, 1000, 500, 2);
        n.SlideOut();
        QCOMPARE(Running(n), u"out"_s);
    }

    void layoutText()
    {
        QFont font(u"Arial"_s);
        font.setPointSizeF(9.0);
        font.setBold(true);
        const QFontMetrics fm(font);
        QVERIFY(CTaskbarNotifier::LayoutText(QString(), font, kTextArea).isEmpty());

        // Fits: one line, centred both ways.
        const auto one = CTaskbarNotifier::LayoutText(u"04:59"_s, font, kTextArea);
        QCOMPARE(one.size(), 1);
        QCOMPARE(one.at(0).text, u"04:59"_s);
        QCOMPARE(one.at(0).rect.center().y(), kTextArea.center().y());

        // Too long: wrapped onto the lines that fit, each within the area, ending with "…".
        const QString longText = u"Spotkanie zarządu w sali konferencyjnej na trzecim piętrze, "
                                 "proszę zabrać raport"_s;
        // (An area of three lines, whatever the font's height on this machine.)
        const QRect threeLines(64, 16, 160, fm.height() * 3 + 1);
        const auto wrapped = CTaskbarNotifier::LayoutText(longText, font, threeLines);
        QVERIFY(wrapped.size() >= 2 && wrapped.size() <= 3);
        QVERIFY(wrapped.last().text.endsWith(QChar(0x2026)));
        QVERIFY(longText.startsWith(wrapped.first().text));
        for (const CTaskbarNotifier::TextLine& line : wrapped) {
            QVERIFY(fm.horizontalAdvance(line.text) <= threeLines.width());
            QVERIFY(threeLines.contains(line.rect));
        }

        // Wrapped but fitting: no ellipsis; a line break in the text is kept.
        const auto twoLines = CTaskbarNotifier::LayoutText(u"1: A\nB"_s, font, threeLines);
        QCOMPARE(twoLines.size(), 2);
        QCOMPARE(twoLines.at(0).text, u"1: A"_s);
        QCOMPARE(twoLines.at(1).text, u"B"_s);

        // One word wider than the area is cut with an ellipsis rather than overflowing.
        const auto word = CTaskbarNotifier::LayoutText(QString(40, u'W'), font, kTextArea);
        QCOMPARE(word.size(), 1);
        QVERIFY(fm.horizontalAdvance(word.at(0).text) <= kTextArea.width());
        QVERIFY(word.at(0).text.endsWith(QChar(0x2026)));
    }

    void textGrowsWithTheDesktopFont_data()
    {
        QTest::addColumn<double>("desktopPoints");
        QTest::addColumn<double>("popUpPoints");
        QTest::newRow("usual desktop font") << 9.0 << 9.0;
        QTest::newRow("16 pt desktop") << 16.0 << 16.0;
        QTest::newRow("a smaller desktop font keeps 9 pt") << 7.0 << 9.0;
    }
    void textGrowsWithTheDesktopFont()
    {
        QFETCH(double, desktopPoints);
        const QFont saved = QApplication::font();
        QFont desktop = saved;
        desktop.setPointSizeF(9.0);
        QApplication::setFont(desktop);
        CTaskbarNotifier n;
        SetUp(n);
        QCOMPARE(n.CurrentFont().pointSizeF(), 9.0);
        // The desktop's font changes while the program runs; the next text follows it.
        desktop.setPointSizeF(desktopPoints);
        QApplication::setFont(desktop);
        n.ShowText(u"Kawa"_s, 500, 10000, 500);
        QTEST(n.CurrentFont().pointSizeF(), "popUpPoints");
        QVERIFY(n.CurrentFont().bold());
        QApplication::setFont(saved);
    }

    void paintsSkinShapeAndText()
    {
        CTaskbarNotifier n;
        SetUp(n);
        QCOMPARE(n.TextArea(), kTextArea);
        Show(n, QString());
        const QImage blank = n.grab().toImage();
        QCOMPARE(blank.size(), kSkin);
        QCOMPARE(CountPixels(blank, kTextArea, IsTextGrey), 0);

        n.ShowText(u"Wstawaj!"_s, 500, 1000, 500, 2);
        const QImage image = n.grab().toImage();
        QVERIFY(CountPixels(image, kTextArea, IsTextGrey) > 40);
        // Nothing of the text outside its area.
        QCOMPARE(CountPixels(image, QRect(64, 0, 160, 14), IsTextGrey), 0);

        // The corners are pure magenta and outside the shape; the bar and the clock are inside.
        const QColor key(255, 0, 255);
        for (const QPoint p : {QPoint(0, 0), QPoint(255, 0), QPoint(0, 63), QPoint(255, 63),
                               QPoint(3, 3), QPoint(252, 60)}) {
            QCOMPARE(image.pixelColor(p), key);
            QVERIFY(!n.mask().contains(p));
        }
        for (const QPoint p : {QPoint(128, 2), QPoint(32, 32), QPoint(1, 32), QPoint(254, 32)}) {
            QVERIFY(n.mask().contains(p));
            QVERIFY(image.pixelColor(p) != key);
        }
        // No half-magenta fringe left inside the shape.
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 256; ++x) {
                const QRgb p = image.pixel(x, y);
                if (n.mask().contains(QPoint(x, y)))
                    QVERIFY2(!(qRed(p) > 200 && qBlue(p) > 200 && qGreen(p) < 120),
                             qPrintable(u"fringe at %1,%2"_s.arg(x).arg(y)));
            }
        }
    }

    // Hovered, the text takes its own font and colour; only a left click on the shape counts.
    void hoverAndClickOnTheShapeOnly()
    {
        CTaskbarNotifier n;
        SetUp(n);
        n.SetTextColors(kText, QColor(200, 0, 0));
        Show(n, u"04:59"_s);
        QSignalSpy clicked(&n, &CTaskbarNotifier::Clicked);
        QVERIFY(!n.CurrentFont().underline());
        QCOMPARE(CountPixels(n.grab().toImage(), kTextArea, IsRed), 0);

        const QPoint centre(128, 32);
        QEnterEvent enter(centre, centre, n.mapToGlobal(QPointF(centre)));
        QCoreApplication::sendEvent(&n, &enter);
        QVERIFY(n.IsHover());
        QVERIFY(n.CurrentFont().underline() && n.CurrentFont().bold());
        QCOMPARE(n.CurrentColor(), QColor(200, 0, 0));
        QVERIFY(CountPixels(n.grab().toImage(), kTextArea, IsRed) > 0);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&n, &leave);
        QVERIFY(!n.IsHover());
        QVERIFY(!n.CurrentFont().underline());
        QCOMPARE(CountPixels(n.grab().toImage(), kTextArea, IsRed), 0);

        QTest::mouseClick(&n, Qt::LeftButton, {}, centre);
        QCOMPARE(clicked.count(), 1);
        QTest::mouseClick(&n, Qt::LeftButton, {}, QPoint(1, 1));
        QTest::mouseClick(&n, Qt::LeftButton, {}, QPoint(254, 62));
        QTest::mouseClick(&n, Qt::RightButton, {}, centre);
        QCOMPARE(clicked.count(), 1);
        // The clock face at the left end is part of the shape.
        QTest::mouseClick(&n, Qt::LeftButton, {}, QPoint(10, 32));
        QCOMPARE(clicked.count(), 2);
    }

    void aLongMessageGrowsThePopUpInsteadOfBeingCut()
    {
        CTaskbarNotifier n;
        SetUp(n);
        Show(n, u"Wstawaj!"_s);
        QCOMPARE(n.SkinScale(), 1.0);
        // Up already: the pop-up takes the size the text needs at once, at its shown place.
        const QString message = u"Spotkanie z zarządem w sali konferencyjnej na drugim piętrze, "
                                "weź ze sobą raport kwartalny"_s;
        n.ShowText(message, 500, 1000, 500, 2);
        QVERIFY(n.SkinScale() > 1.0);
        QCOMPARE(n.State(), int{CTaskbarNotifier::StateWaiting});
        QCOMPARE(n.Position(), n.Geometry().ShownPosition());
        const auto lines = CTaskbarNotifier::LayoutText(message, n.CurrentFont(), n.TextArea());
        QVERIFY(lines.size() >= 2);
        QString shown;
        for (const auto& line : lines)
            shown += line.text + u' ';
        QCOMPARE(shown.simplified(), message);
        QCOMPARE(n.grab().size(), n.SkinSize());
        QVERIFY(n.mask().contains(QPoint(n.SkinSize().width() / 2, n.SkinSize().height() / 2)));

        // Beyond twice its size the text is cut with an ellipsis; a short one takes it back.
        n.ShowText(message.repeated(6), 500, 1000, 500, 2);
        QCOMPARE(n.SkinScale(), 2.0);
        n.ShowText(u"Wstawaj!"_s, 500, 1000, 500, 2);
        QCOMPARE(n.SkinScale(), 1.0);
        QCOMPARE(n.SkinSize(), kSkin);
    }

    void skinLoading()
    {
        CTaskbarNotifier n;
        QVERIFY(!n.LoadSkin(u":/images/no-such-skin.svg"_s, QColor(255, 0, 255)));
        QVERIFY(n.SkinSize().isEmpty());
        QVERIFY(n.LoadSkin(CTaskbarNotifier::ProgramSkin(), 255, 0, 255));
        QCOMPARE(n.SkinSize(), kSkin);
        QCOMPARE(n.TextArea(), QRect(QPoint(), kSkin));
        QVERIFY(!n.SkinShape().contains(QPoint(0, 0)));
        // A failed load keeps the skin there was.
        QVERIFY(!n.LoadSkin(u"/nonexistent/skin.png"_s, QColor(255, 0, 255)));
        QCOMPARE(n.SkinSize(), kSkin);
        // No key colour: the whole rectangle is the pop-up.
        QVERIFY(n.LoadSkin(CTaskbarNotifier::ProgramSkin(), CTaskbarNotifier::NoKey, 0, 255));
        QVERIFY(n.SkinShape().contains(QPoint(0, 0)));
        QVERIFY(n.mask().isEmpty());
    }

    // A screen reader meets an alert named by the text it shows, which a press answers as a click.
    void isAnAlertNamedByItsText()
    {
        CTaskbarNotifier n;
        SetUp(n);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&n);
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->role(), QAccessible::AlertMessage);
        QVERIFY(!accessible->text(QAccessible::Name).isEmpty());
        Show(n, u"Wynieś śmieci"_s);
        // Its showing is what a reader announces, with the name it has then.
        QVERIFY(!accessible->state().invisible);
        QCOMPARE(accessible->text(QAccessible::Name), u"Wynieś śmieci"_s);
        QVERIFY(accessible->actionInterface() != nullptr);
        QSignalSpy clicked(&n, &CTaskbarNotifier::Clicked);
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clicked.size(), 1);
    }

    // New texts are reported while it is up; a countdown ticking each second is not.
    void reportsWhatIsNewOnly_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("reported");
        QTest::newRow("a message appears") << QStringList{u"Wynieś śmieci"_s} << QStringList{};
        QTest::newRow("a second message while up")
            << QStringList{u"1: Kawa"_s, u"2: Herbata"_s}
            << QStringList{u"name 2: Herbata"_s, u"alert 2: Herbata"_s};
        QTest::newRow("a countdown ticks")
            << QStringList{u"Do uśpienia zostało: 04:59"_s, u"Do uśpienia zostało: 04:58"_s,
                           u"Do uśpienia zostało: 04:57"_s}
            << QStringList{};
        QTest::newRow("a message replaces the countdown")
            << QStringList{u"Do uśpienia zostało: 00:10"_s, u"Pora spać"_s}
            << QStringList{u"name Pora spać"_s, u"alert Pora spać"_s};
    }
    void reportsWhatIsNewOnly()
    {
        QFETCH(QStringList, texts);
        using zembra::NotifierAccessible::SetReporterForTesting;
        SetReporterForTesting(&Record);
        const auto reset = qScopeGuard([] { SetReporterForTesting(nullptr); });
        CTaskbarNotifier n;
        SetUp(n);
        Reported().clear();
        for (const QString& text : texts)
            Show(n, text);
        QTEST(Reported(), "reported");
    }
};

QTEST_MAIN(TestNotifier)
#include "test_notifier.moc"
