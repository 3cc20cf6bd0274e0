// The pop-up beside the clock: its geometry on every taskbar edge, its state machine driven
// tick by tick, its text layout, hover, click and what it actually paints.

#include "CTaskbarNotifier.h"
#include "NotifierGeometry.h"

#include <QEnterEvent>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using zembra::CTaskbarNotifier;
using zembra::NotifierGeometry;
using Edge = NotifierGeometry::Edge;

Q_DECLARE_METATYPE(NotifierGeometry::Edge)

namespace {

const QSize kSkin(256, 64);
const QColor kText(64, 64, 64);

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
    n.SetTextFonts(QStringLiteral("Arial"), 90, CTaskbarNotifier::StyleBold,
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

void SlideOutFully(CTaskbarNotifier& n)
{
    for (int i = 0; i < 1000 && n.IsTimerActive(CTaskbarNotifier::TimerSlideOut); ++i)
        n.OnTimer(CTaskbarNotifier::TimerSlideOut);
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

} // namespace

class TestNotifier : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void geometryEdges_data();
    void geometryEdges();
    void geometryClipsAtWorkAreaEdge();
    void geometryStepGuard();

    void firstShowSlidesInWaitsAndSlidesOut();
    void showTextInEachState();
    void slideOutCutsShort();

    void layoutText();
    void hoverSwitchesFontAndColour();
    void clickOnShapeOnly();
    void paintsSkinShapeAndText();
    void aLongMessageGrowsThePopUpInsteadOfBeingCut();
    void skinLoading();
};

void TestNotifier::geometryEdges_data()
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
    QTest::newRow("right") << fullHd << QRect(0, 0, 1860, 1080) << Edge::Right << QPoint(1860, 1016)
                           << QPoint(1604, 1016) << 128 << 3u;
    QTest::newRow("left") << fullHd << QRect(60, 0, 1860, 1080) << Edge::Left << QPoint(-196, 1016)
                          << QPoint(60, 1016) << 128 << 3u;
    QTest::newRow("top") << fullHd << QRect(0, 40, 1920, 1040) << Edge::Top << QPoint(1664, -24)
                         << QPoint(1664, 40) << 32 << 15u;
    QTest::newRow("no taskbar: bottom-right corner")
        << fullHd << fullHd << Edge::Bottom << QPoint(1664, 1080) << QPoint(1664, 1016) << 32
        << 15u;
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

void TestNotifier::geometryEdges()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, work);
    QFETCH(Edge, edge);
    QFETCH(QPoint, start);
    QFETCH(QPoint, shown);
    QFETCH(int, steps);
    QFETCH(unsigned, interval);

    const NotifierGeometry g(screen, work, kSkin, 2);
    QCOMPARE(g.GetEdge(), edge);
    QCOMPARE(g.StartPosition(), start);
    QCOMPARE(g.ShownPosition(), shown);
    QCOMPARE(g.StepCount(), steps);
    QCOMPARE(g.StepInterval(500), interval);

    // Every move is one step; the slide in ends where the pop-up is fully shown and inside the
    // work area, the slide out back at the start with nothing of it left in the work area.
    QPoint pos = start;
    bool unitMoves = true;
    const int inTicks = RunSlide(pos, [&](const QPoint& p) {
        const NotifierGeometry::SlideStep s = g.SlideIn(p);
        unitMoves = unitMoves && (s.complete || (s.pos - p).manhattanLength() == 2);
        return s;
    });
    QVERIFY(unitMoves);
    QCOMPARE(inTicks, steps + 1);
    QCOMPARE(pos, shown);
    QCOMPARE(g.PlacedRect(pos), QRect(shown, kSkin));
    QVERIFY(work.contains(g.PlacedRect(pos)));

    const int outTicks = RunSlide(pos, [&](const QPoint& p) { return g.SlideOut(p); });
    QCOMPARE(outTicks, steps + 1);
    QCOMPARE(pos, start);
    QVERIFY(g.PlacedRect(pos).isEmpty());
}

void TestNotifier::geometryClipsAtWorkAreaEdge()
{
    // Bottom bar on a screen below the primary: the window is cut at the work area's bottom,
    // its height the work bottom minus y, not the work height minus y.
    const NotifierGeometry bottom(QRect(0, 1080, 1920, 1080), QRect(0, 1080, 1920, 1040), kSkin, 2);
    QPoint pos = bottom.StartPosition();
    for (int tick = 1; tick <= 32; ++tick) {
        pos = bottom.SlideIn(pos).pos;
        const QRect placed = bottom.PlacedRect(pos);
        QCOMPARE(placed.topLeft(), pos);
        QCOMPARE(placed.height(), 2 * tick);
        QCOMPARE(placed.bottom(), 2119);
    }

    // Top bar: the window starts at the work area's top and grows down, so the pop-up comes
    // from behind the bar instead of covering it.
    const NotifierGeometry top(QRect(0, 0, 1920, 1080), QRect(0, 40, 1920, 1040), kSkin, 2);
    const QPoint partly(1664, 40 - 54);
    QCOMPARE(top.PlacedRect(partly), QRect(1664, 40, 256, 10));

    // Right bar: cut at the work area's right edge.
    const NotifierGeometry right(QRect(0, 0, 1920, 1080), QRect(0, 0, 1860, 1080), kSkin, 2);
    QCOMPARE(right.PlacedRect(QPoint(1800, 1016)), QRect(1800, 1016, 60, 64));
}

void TestNotifier::geometryStepGuard()
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

void TestNotifier::firstShowSlidesInWaitsAndSlidesOut()
{
    CTaskbarNotifier n;
    SetUp(n);
    QCOMPARE(n.State(), CTaskbarNotifier::StateIdle);

    n.ShowText(QStringLiteral("Pobudka"), 500, 600000, 1000, 2);
    // Nothing moves or appears before the first tick.
    QCOMPARE(n.State(), CTaskbarNotifier::StateIdle);
    QVERIFY(!n.isVisible());
    QVERIFY(n.IsTimerActive(CTaskbarNotifier::TimerSlideIn));
    QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerSlideIn), 15);

    // The offscreen screen has no bars: the pop-up rises at its bottom-right corner.
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint corner(avail.x() + avail.width() - 256, avail.y() + avail.height() - 64);
    QCOMPARE(n.Position(), QPoint(corner.x(), corner.y() + 64));

    n.OnTimer(CTaskbarNotifier::TimerSlideIn);
    QCOMPARE(n.State(), CTaskbarNotifier::StateSlidingIn);
    QCOMPARE(n.Position(), QPoint(corner.x(), corner.y() + 62));
    QVERIFY(n.isVisible());
    QCOMPARE(n.geometry(), QRect(n.Position(), QSize(256, 2)));

    SlideIn(n);
    QCOMPARE(n.Position(), corner);
    QCOMPARE(n.geometry(), QRect(corner, QSize(256, 64)));
    QVERIFY(!n.IsTimerActive(CTaskbarNotifier::TimerSlideIn));
    QVERIFY(n.IsTimerActive(CTaskbarNotifier::TimerStay));
    QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerStay), 600000);

    // Stay over: the slide-out timer starts; the state changes at its first tick.
    n.OnTimer(CTaskbarNotifier::TimerStay);
    QVERIFY(!n.IsTimerActive(CTaskbarNotifier::TimerStay));
    QVERIFY(n.IsTimerActive(CTaskbarNotifier::TimerSlideOut));
    QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerSlideOut), 31);
    QCOMPARE(n.State(), CTaskbarNotifier::StateWaiting);
    SlideOutFully(n);
    QVERIFY(!n.IsTimerActive(CTaskbarNotifier::TimerSlideOut));
    QCOMPARE(n.State(), CTaskbarNotifier::StateSlidingOut);
    QCOMPARE(n.Position(), n.Geometry().StartPosition());
    QVERIFY(!n.isVisible());
}

void TestNotifier::showTextInEachState()
{
    CTaskbarNotifier n;
    SetUp(n);
    n.ShowText(QStringLiteral("pierwszy"), 500, 1000, 500, 2);
    for (int i = 0; i < 5; ++i)
        n.OnTimer(CTaskbarNotifier::TimerSlideIn);

    // Sliding in: only the text changes, the slide goes on from where it is.
    const QPoint midway = n.Position();
    n.ShowText(QStringLiteral("drugi"), 500, 2000, 500, 2);
    QCOMPARE(n.Text(), QStringLiteral("drugi"));
    QCOMPARE(n.State(), CTaskbarNotifier::StateSlidingIn);
    QCOMPARE(n.Position(), midway);
    QVERIFY(n.IsTimerActive(CTaskbarNotifier::TimerSlideIn));
    SlideIn(n);
    QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerStay), 2000);

    // Waiting: the stay starts anew, with the new stay time.
    n.ShowText(QStringLiteral("trzeci"), 500, 3000, 500, 2);
    QCOMPARE(n.State(), CTaskbarNotifier::StateWaiting);
    QVERIFY(n.IsTimerActive(CTaskbarNotifier::TimerStay));
    QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerStay), 3000);

    // Sliding out, midway and after the end: straight back at the shown position, waiting,
    // no new slide-in.
    const QPoint shown = n.Position();
    n.OnTimer(CTaskbarNotifier::TimerStay);
    n.OnTimer(CTaskbarNotifier::TimerSlideOut);
    n.OnTimer(CTaskbarNotifier::TimerSlideOut);
    QCOMPARE(n.State(), CTaskbarNotifier::StateSlidingOut);
    QVERIFY(n.Position() != shown);
    n.ShowText(QStringLiteral("czwarty"), 500, 4000, 500, 2);
    QCOMPARE(n.Position(), shown);
    QVERIFY(n.isVisible());
    QVERIFY(!n.IsTimerActive(CTaskbarNotifier::TimerSlideOut));
    QVERIFY(!n.IsTimerActive(CTaskbarNotifier::TimerSlideIn));
    QVERIFY(n.IsTimerActive(CTaskbarNotifier::TimerStay));

    n.OnTimer(CTaskbarNotifier::TimerStay);
    SlideOutFully(n);
    QVERIFY(!n.isVisible());
    n.ShowText(QStringLiteral("piąty"), 500, 5000, 500, 2);
    QCOMPARE(n.Position(), shown);
    QCOMPARE(n.geometry(), QRect(shown, QSize(256, 64)));
    QVERIFY(n.isVisible());
    QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerStay), 5000);
    QVERIFY(!n.IsTimerActive(CTaskbarNotifier::TimerSlideIn));
}

void TestNotifier::slideOutCutsShort()
{
    // Before the first tick: nothing was on screen, so the next ShowText still slides in.
    CTaskbarNotifier n;
    SetUp(n);
    n.ShowText(QStringLiteral("x"), 500, 1000, 500, 2);
    n.SlideOut();
    QVERIFY(!n.IsTimerActive(CTaskbarNotifier::TimerSlideIn));
    QVERIFY(!n.IsTimerActive(CTaskbarNotifier::TimerSlideOut));
    QCOMPARE(n.State(), CTaskbarNotifier::StateIdle);

    // Sliding in: the slide-in stops and the pop-up goes back from where it got to.
    n.ShowText(QStringLiteral("x"), 500, 1000, 500, 2);
    for (int i = 0; i < 3; ++i)
        n.OnTimer(CTaskbarNotifier::TimerSlideIn);
    n.SlideOut();
    QVERIFY(!n.IsTimerActive(CTaskbarNotifier::TimerSlideIn));
    QVERIFY(n.IsTimerActive(CTaskbarNotifier::TimerSlideOut));
    SlideOutFully(n);
    QCOMPARE(n.Position(), n.Geometry().StartPosition());

    // Back at the shown position and staying: the stay ends at once.
    n.ShowText(QStringLiteral("x"), 500, 1000, 500, 2);
    n.SlideOut();
    QVERIFY(!n.IsTimerActive(CTaskbarNotifier::TimerStay));
    QVERIFY(n.IsTimerActive(CTaskbarNotifier::TimerSlideOut));
}

void TestNotifier::layoutText()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9.0);
    font.setBold(true);
    const QFontMetrics fm(font);
    const QRect area(64, 16, 160, 32);

    QVERIFY(CTaskbarNotifier::LayoutText(QString(), font, area).isEmpty());

    // Fits: one line, centred both ways.
    const QList<CTaskbarNotifier::TextLine> one =
        CTaskbarNotifier::LayoutText(QStringLiteral("04:59"), font, area);
    QCOMPARE(one.size(), 1);
    QCOMPARE(one.at(0).text, QStringLiteral("04:59"));
    QCOMPARE(one.at(0).rect.center().y(), area.center().y());

    // Too long: wrapped onto the lines that fit, each within the area, ending with "…".
    const QString longText = QStringLiteral(
        "Spotkanie zarządu w sali konferencyjnej na trzecim piętrze, proszę zabrać raport");
    // (An area of three lines, whatever the font's height on this machine.)
    const QRect threeLines(64, 16, 160, fm.height() * 3 + 1);
    const QList<CTaskbarNotifier::TextLine> wrapped =
        CTaskbarNotifier::LayoutText(longText, font, threeLines);
    QVERIFY(wrapped.size() >= 2 && wrapped.size() <= 3);
    QVERIFY(wrapped.last().text.endsWith(QChar(0x2026)));
    QVERIFY(longText.startsWith(wrapped.first().text));
    for (const CTaskbarNotifier::TextLine& line : wrapped) {
        QVERIFY(fm.horizontalAdvance(line.text) <= threeLines.width());
        QVERIFY(threeLines.contains(line.rect));
    }

    // Wrapped but fitting: no ellipsis; a line break in the text is kept.
    const QList<CTaskbarNotifier::TextLine> twoLines =
        CTaskbarNotifier::LayoutText(QStringLiteral("1: A\nB"), font, threeLines);
    QCOMPARE(twoLines.size(), 2);
    QCOMPARE(twoLines.at(0).text, QStringLiteral("1: A"));
    QCOMPARE(twoLines.at(1).text, QStringLiteral("B"));

    // One word wider than the area is cut with an ellipsis rather than overflowing.
    const QList<CTaskbarNotifier::TextLine> word =
        CTaskbarNotifier::LayoutText(QString(40, QLatin1Char('W')), font, area);
    QCOMPARE(word.size(), 1);
    QVERIFY(fm.horizontalAdvance(word.at(0).text) <= area.width());
    QVERIFY(word.at(0).text.endsWith(QChar(0x2026)));
}

void TestNotifier::hoverSwitchesFontAndColour()
{
    CTaskbarNotifier n;
    SetUp(n);
    n.SetTextColors(kText, QColor(200, 0, 0));
    n.ShowText(QStringLiteral("04:59"), 500, 1000, 500, 2);
    SlideIn(n);
    const QRect textArea(64, 16, 160, 32);
    QVERIFY(!n.CurrentFont().underline());
    QCOMPARE(CountPixels(n.grab().toImage(), textArea, IsRed), 0);

    QEnterEvent enter(QPointF(128, 32), QPointF(128, 32), QPointF(n.mapToGlobal(QPoint(128, 32))));
    QCoreApplication::sendEvent(&n, &enter);
    QVERIFY(n.IsHover());
    QVERIFY(n.CurrentFont().underline());
    QVERIFY(n.CurrentFont().bold());
    QCOMPARE(n.CurrentColor(), QColor(200, 0, 0));
    QVERIFY(CountPixels(n.grab().toImage(), textArea, IsRed) > 0);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&n, &leave);
    QVERIFY(!n.IsHover());
    QVERIFY(!n.CurrentFont().underline());
    QCOMPARE(CountPixels(n.grab().toImage(), textArea, IsRed), 0);
}

void TestNotifier::clickOnShapeOnly()
{
    CTaskbarNotifier n;
    SetUp(n);
    n.ShowText(QStringLiteral("Pobudka"), 500, 1000, 500, 2);
    SlideIn(n);
    QSignalSpy clicked(&n, &CTaskbarNotifier::Clicked);

    const QPoint centre(128, 32);
    const QPoint corner(1, 1);
    QVERIFY(n.mask().contains(centre));
    QVERIFY(!n.mask().contains(corner));

    QTest::mouseClick(&n, Qt::LeftButton, {}, centre);
    QCOMPARE(clicked.count(), 1);
    QTest::mouseClick(&n, Qt::LeftButton, {}, corner);
    QTest::mouseClick(&n, Qt::LeftButton, {}, QPoint(254, 62));
    QTest::mouseClick(&n, Qt::RightButton, {}, centre);
    QCOMPARE(clicked.count(), 1);
    // The clock face at the left end is part of the shape.
    QTest::mouseClick(&n, Qt::LeftButton, {}, QPoint(10, 32));
    QCOMPARE(clicked.count(), 2);
}

void TestNotifier::aLongMessageGrowsThePopUpInsteadOfBeingCut()
{
    CTaskbarNotifier n;
    SetUp(n);
    n.ShowText(QStringLiteral("Wstawaj!"), 500, 1000, 500, 2);
    SlideIn(n);
    QCOMPARE(n.SkinScale(), 1.0);

    // Up already: the pop-up takes the size the text needs at once, at its shown place.
    const QString message = QStringLiteral("Spotkanie z zarządem w sali konferencyjnej na "
                                           "drugim piętrze, weź ze sobą raport kwartalny");
    n.ShowText(message, 500, 1000, 500, 2);
    QVERIFY(n.SkinScale() > 1.0);
    QCOMPARE(n.State(), int{CTaskbarNotifier::StateWaiting});
    QCOMPARE(n.Position(), n.Geometry().ShownPosition());
    const QList<CTaskbarNotifier::TextLine> lines =
        CTaskbarNotifier::LayoutText(message, n.CurrentFont(), n.TextArea());
    QVERIFY(lines.size() >= 2);
    QString shown;
    for (const auto& line : lines) {
        shown += line.text + u' ';
    }
    QCOMPARE(shown.simplified(), message);
    QCOMPARE(n.grab().size(), n.SkinSize());
    QVERIFY(n.mask().contains(QPoint(n.SkinSize().width() / 2, n.SkinSize().height() / 2)));

    // Beyond twice its size the text is cut with an ellipsis; a short one takes it back.
    n.ShowText(message.repeated(6), 500, 1000, 500, 2);
    QCOMPARE(n.SkinScale(), 2.0);
    n.ShowText(QStringLiteral("Wstawaj!"), 500, 1000, 500, 2);
    QCOMPARE(n.SkinScale(), 1.0);
    QCOMPARE(n.SkinSize(), QSize(256, 64));
}

void TestNotifier::paintsSkinShapeAndText()
{
    CTaskbarNotifier n;
    SetUp(n);
    const QRect textArea(64, 16, 160, 32);
    QCOMPARE(n.TextArea(), textArea);

    n.ShowText(QString(), 500, 1000, 500, 2);
    SlideIn(n);
    const QImage blank = n.grab().toImage();
    QCOMPARE(blank.size(), QSize(256, 64));
    QCOMPARE(CountPixels(blank, textArea, IsTextGrey), 0);

    n.ShowText(QStringLiteral("Wstawaj!"), 500, 1000, 500, 2);
    const QImage image = n.grab().toImage();
    QVERIFY(CountPixels(image, textArea, IsTextGrey) > 40);
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
                         qPrintable(QStringLiteral("fringe at %1,%2").arg(x).arg(y)));
        }
    }
}

void TestNotifier::skinLoading()
{
    CTaskbarNotifier n;
    QVERIFY(!n.LoadSkin(QStringLiteral(":/images/no-such-skin.svg"), QColor(255, 0, 255)));
    QVERIFY(n.SkinSize().isEmpty());

    QVERIFY(n.LoadSkin(CTaskbarNotifier::ProgramSkin(), 255, 0, 255));
    QCOMPARE(n.SkinSize(), QSize(256, 64));
    QCOMPARE(n.TextArea(), QRect(0, 0, 256, 64));
    QVERIFY(!n.SkinShape().contains(QPoint(0, 0)));

    // A failed load keeps the skin there was.
    QVERIFY(!n.LoadSkin(QStringLiteral("/nonexistent/skin.png"), QColor(255, 0, 255)));
    QCOMPARE(n.SkinSize(), QSize(256, 64));

    // No key colour: the whole rectangle is the pop-up.
    QVERIFY(n.LoadSkin(CTaskbarNotifier::ProgramSkin(), CTaskbarNotifier::NoKey, 0, 255));
    QVERIFY(n.SkinShape().contains(QPoint(0, 0)));
    QVERIFY(n.mask().isEmpty());
}

QTEST_MAIN(TestNotifier)
#include "test_notifier.moc"
