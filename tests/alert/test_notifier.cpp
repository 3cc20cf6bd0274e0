// The pop-up beside the clock: its geometry on every taskbar edge and beside the tray icon, its
// state machine driven tick by tick, its text layout and font, hover, click, what it paints, and
// how a screen reader meets it.

#include "CTaskbarNotifier.h"
#include "NotifierAccessible.h"
#include "NotifierGeometry.h"

#include <QtTest>
#include <QtWidgets>

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

// The pop-up with the program's skin, set up as the alert window sets it up.
class Notifier : public CTaskbarNotifier {
public:
    Notifier()
    {
        LoadSkin(ProgramSkin(), ProgramSkinKey());
        SetTextFonts(u"Arial"_s, 90, StyleBold, StyleBold | StyleUnderline);
        SetTextColors(kText, kText);
        SetTextArea(64, 16, 224, 48);
    }
};

void SlideIn(CTaskbarNotifier& n)
{
    for (int i = 0; i < 1000 && n.State() != CTaskbarNotifier::StateWaiting; ++i)
        n.OnTimer(CTaskbarNotifier::TimerSlideIn);
    QCOMPARE(n.State(), CTaskbarNotifier::StateWaiting);
}

void Show(CTaskbarNotifier& n, const QString& text)
{
    n.ShowText(text, 500, 1000, 500);
    SlideIn(n);
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

// The pixels of the pop-up's text area (or of `area`) that `match`, as painted now.
int CountPixels(CTaskbarNotifier& n, bool (*match)(QRgb), const QRegion& area = kTextArea)
{
    const QImage image = n.grab().toImage();
    int count = 0;
    for (const QRect& rect : area)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
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

// The key colour, or a blend of it with the artwork.
bool IsMagenta(QRgb p)
{
    return qRed(p) > 200 && qBlue(p) > 200 && qGreen(p) < 120;
}

// What the pop-up itself told a screen reader ("name …", "alert …"); its parts and other widgets
// are not under test.
QStringList g_reported;

void Record(QAccessibleEvent* event)
{
    if (qobject_cast<CTaskbarNotifier*>(event->object()) == nullptr)
        return;
    const QAccessible::Event type = event->type();
    g_reported << u"%1 %2"_s.arg(type == QAccessible::NameChanged ? "name"_L1
                                 : type == QAccessible::Alert     ? "alert"_L1
                                                                  : "other"_L1,
                                 event->accessibleInterface()->text(QAccessible::Name));
}

} // namespace

class TestNotifier : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Where the pop-up is fully shown: flush with the taskbar's side of the work area, in the
    // corner by the clock, and off the tray icon where a bar leaves the icon inside the work area.
    void slidesOutFromBehindTheBar_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("work");
        QTest::addColumn<QRect>("icon");
        QTest::addColumn<Edge>("edge");
        QTest::addColumn<QPoint>("shown");

        // A second monitor: "starts at the left" means the screen's left, not x = 0.
        QTest::newRow("second screen, right bar")
            << QRect(1920, 0, 1280, 1024) << QRect(1920, 0, 1220, 1024) << QRect() << Edge::Right
            << QPoint(2884, 960);
        // Below the primary: its work area starts at y = 1080, which is its own top, and the
        // window is cut at the work area's bottom, not at the work area's height.
        QTest::newRow("screen below primary, bottom bar")
            << QRect(0, 1080, 1920, 1080) << QRect(0, 1080, 1920, 1040) << QRect() << Edge::Bottom
            << QPoint(1664, 2056);

        // A bar at the bottom that reserves no room (as trayer without struts): the icon lies
        // inside the work area, under where the pop-up would be; the pop-up sits on it instead.
        const QRect small(0, 0, 1280, 800);
        QTest::newRow("icon inside the work area above a bottom bar: the pop-up sits on it")
            << small << small << QRect(1256, 776, 24, 24) << Edge::Bottom << QPoint(1024, 712);
        QTest::newRow("icon at the far left of the bar is not in the way")
            << small << small << QRect(0, 776, 24, 24) << Edge::Bottom << QPoint(1024, 736);
        QTest::newRow("icon inside the work area beside a right bar: the pop-up stops left of it")
            << small << QRect(0, 0, 1250, 800) << QRect(1220, 770, 30, 30) << Edge::Right
            << QPoint(964, 736);
        QTest::newRow("icon inside the work area beside a left bar: the pop-up stops right of it")
            << small << QRect(30, 0, 1250, 800) << QRect(30, 770, 30, 30) << Edge::Left
            << QPoint(60, 736);
        QTest::newRow("icon inside the work area under a top bar: the pop-up comes down below it")
            << small << QRect(0, 30, 1280, 770) << QRect(1250, 30, 30, 30) << Edge::Top
            << QPoint(1024, 60);
        QTest::newRow("an icon too tall to leave room changes nothing")
            << small << small << QRect(1256, 40, 24, 760) << Edge::Bottom << QPoint(1024, 736);
    }
    void slidesOutFromBehindTheBar()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, work);
        QFETCH(QRect, icon);
        QFETCH(Edge, edge);
        QFETCH(QPoint, shown);
        const NotifierGeometry g(screen, work, kSkin, 2, icon);
        QCOMPARE(g.GetEdge(), edge);
        QCOMPARE(g.ShownPosition(), shown);
        const bool sideways = edge == Edge::Left || edge == Edge::Right;
        const int steps = (sideways ? kSkin.width() : kSkin.height()) / 2;
        QCOMPARE(g.StepCount(), steps);

        // Each tick moves it by one step and shows one step more of it: the window is cut where
        // the work area ends, so that the pop-up comes from behind the bar instead of covering
        // it. It stays off the icon, unless no room was left beside that.
        const bool mayCoverIcon = QRect(shown, kSkin).intersects(icon);
        QPoint pos = g.StartPosition();
        QVERIFY(g.PlacedRect(pos).isEmpty());
        for (int tick = 1; tick <= steps; ++tick) {
            const NotifierGeometry::SlideStep s = g.SlideIn(pos);
            QCOMPARE((s.pos - pos).manhattanLength(), 2);
            pos = s.pos;
            const QRect placed = g.PlacedRect(pos);
            QCOMPARE(sideways ? placed.width() : placed.height(), 2 * tick);
            QVERIFY(work.contains(placed));
            QVERIFY2(mayCoverIcon || !placed.intersects(icon), "covers the icon");
        }
        QVERIFY(g.SlideIn(pos).complete);
        QCOMPARE(pos, shown);
        // The way back ends at the start, with nothing of it left in the work area.
        QCOMPARE(RunSlide(pos, [&](const QPoint& p) { return g.SlideOut(p); }), steps + 1);
        QCOMPARE(pos, g.StartPosition());
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
            QPoint pos = g.StartPosition();
            QCOMPARE(RunSlide(pos, [&](const QPoint& p) { return g.SlideIn(p); }), 2);
            QCOMPARE(pos, g.ShownPosition());
        }
        // An odd height: the last step stops at the shown position instead of passing it, and
        // the way back at the start.
        const NotifierGeometry odd(screen, work, QSize(256, 65), 2);
        QPoint pos = odd.StartPosition();
        QCOMPARE(RunSlide(pos, [&](const QPoint& p) { return odd.SlideIn(p); }), 34);
        QCOMPARE(pos, odd.ShownPosition());
        QCOMPARE(RunSlide(pos, [&](const QPoint& p) { return odd.SlideOut(p); }), 34);
        QCOMPARE(pos, odd.StartPosition());
    }

    // The real pop-up asks for the icon's place each time it measures the screen.
    void thePopUpAsksWhereTheIconIs()
    {
        const QRect all = QGuiApplication::primaryScreen()->geometry();
        const QRect icon(all.right() - 23, all.bottom() - 23, 24, 24);
        Notifier n;
        n.SetKeepClear([icon] { return icon; });
        Show(n, u"Kawa"_s);
        QCOMPARE(n.geometry().bottom(), icon.top() - 1);
    }

    // The first text slides in from the tick after it, and a new one while it slides changes
    // only the text; a slide out cuts it short, back from where it got to. Once it had been up,
    // the next text brings it straight back to stay, and after the stay it slides out. (A new
    // text while it stays: the long message below.)
    void showTextAndSlideOutInEachState()
    {
        Notifier n;
        n.ShowText(u"pierwszy"_s, 500, 1000, 1000);
        // Nothing moves or appears before the first tick. Slid out then, it was never on screen,
        // and the next text still slides in.
        QVERIFY(!n.isVisible());
        n.SlideOut();
        QCOMPARE(Running(n), QString());
        n.ShowText(u"pierwszy"_s, 500, 1000, 1000);
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
        n.ShowText(u"drugi"_s, 500, 2000, 1000);
        QCOMPARE(n.Position(), midway);
        QCOMPARE(Running(n), u"in"_s);
        // Slid out from there, it goes back from where it got to, out of sight at the start.
        n.SlideOut();
        QCOMPARE(Running(n), u"out"_s);
        for (int i = 0; i < 1000 && n.IsTimerActive(CTaskbarNotifier::TimerSlideOut); ++i)
            n.OnTimer(CTaskbarNotifier::TimerSlideOut);
        QCOMPARE(n.Position(), corner + QPoint(0, 64));
        QVERIFY(!n.isVisible());
        // It had been up: the next text brings it straight back to stay, and once the stay is
        // over it slides out at its own pace.
        n.ShowText(u"trzeci"_s, 500, 3000, 1000);
        QCOMPARE(n.geometry(), QRect(corner, kSkin));
        QCOMPARE(Running(n), u"stay"_s);
        QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerStay), 3000);
        n.OnTimer(CTaskbarNotifier::TimerStay);
        QCOMPARE(Running(n), u"out"_s);
        QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerSlideOut), 31);
    }

    void layoutText()
    {
        QFont font(u"Arial"_s);
        font.setPointSizeF(9.0);
        font.setBold(true);
        const QFontMetrics fm(font);

        // Fits: one line, centred both ways.
        const auto one = CTaskbarNotifier::LayoutText(u"04:59"_s, font, kTextArea);
        QCOMPARE(one.size(), 1);
        QCOMPARE(one.at(0).text, u"04:59"_s);
        QCOMPARE(one.at(0).rect.center().y(), kTextArea.center().y());

        // Wrapped but fitting, in an area of three lines whatever the font's height on this
        // machine: no ellipsis; a line break in the text is kept. (Too long: below.)
        const QRect threeLines(64, 16, 160, fm.height() * 3 + 1);
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
        QTest::newRow("16 pt desktop") << 16.0 << 16.0;
        QTest::newRow("a smaller desktop font keeps 9 pt") << 7.0 << 9.0;
    }
    void textGrowsWithTheDesktopFont()
    {
        QFETCH(double, desktopPoints);
        const QFont saved = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(saved); });
        QFont desktop = saved;
        desktop.setPointSizeF(9.0);
        QApplication::setFont(desktop);
        Notifier n;
        // The desktop's font changes while the program runs; the next text follows it.
        desktop.setPointSizeF(desktopPoints);
        QApplication::setFont(desktop);
        n.ShowText(u"Kawa"_s, 500, 10000, 500);
        QTEST(n.CurrentFont().pointSizeF(), "popUpPoints");
        QVERIFY(n.CurrentFont().bold());
    }

    // The skin's shape, with no fringe of the key colour, and the text inside its area only;
    // hovered, the text takes its own font and colour; only a left click on the shape counts.
    void paintsItsShapeAndAnswersOnItOnly()
    {
        Notifier n;
        n.SetTextColors(kText, QColor(200, 0, 0));
        QCOMPARE(n.TextArea(), kTextArea);
        Show(n, QString());
        QCOMPARE(n.grab().size(), kSkin);
        QCOMPARE(CountPixels(n, IsTextGrey), 0);
        n.ShowText(u"Wstawaj!"_s, 500, 1000, 500);
        QVERIFY(CountPixels(n, IsTextGrey) > 40);
        // Nothing of the text outside its area.
        QCOMPARE(CountPixels(n, IsTextGrey, QRect(64, 0, 160, 14)), 0);
        // The rounded corners are outside the shape; the bar and the clock are inside.
        for (const QPoint p : {QPoint(0, 0), QPoint(255, 0), QPoint(0, 63), QPoint(255, 63),
                               QPoint(3, 3), QPoint(252, 60)})
            QVERIFY(!n.mask().contains(p));
        for (const QPoint p : {QPoint(128, 2), QPoint(32, 32), QPoint(1, 32), QPoint(254, 32)})
            QVERIFY(n.mask().contains(p));
        // No magenta, not even a half-magenta fringe, left inside the shape.
        QCOMPARE(CountPixels(n, IsMagenta, n.mask()), 0);

        QSignalSpy clicked(&n, &CTaskbarNotifier::Clicked);
        const QPoint centre(128, 32);
        QEnterEvent enter(centre, centre, n.mapToGlobal(QPointF(centre)));
        QCoreApplication::sendEvent(&n, &enter);
        QVERIFY(n.IsHover());
        QVERIFY(n.CurrentFont().underline() && n.CurrentFont().bold());
        QVERIFY(CountPixels(n, IsRed) > 0);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&n, &leave);
        QVERIFY(!n.CurrentFont().underline());
        QCOMPARE(CountPixels(n, IsRed), 0);

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
        Notifier n;
        Show(n, u"Wstawaj!"_s);
        // Up already: the pop-up takes the size the text needs at once, at its shown place, and
        // stays anew for the new text's time.
        const QString message = u"Spotkanie z zarządem w sali konferencyjnej na drugim piętrze, "
                                "weź ze sobą raport kwartalny"_s;
        n.ShowText(message, 500, 4000, 500);
        QVERIFY(n.SkinScale() > 1.0);
        QCOMPARE(n.State(), int{CTaskbarNotifier::StateWaiting});
        QCOMPARE(n.Position(), n.Geometry().ShownPosition());
        QCOMPARE(Running(n), u"stay"_s);
        QCOMPARE(n.TimerInterval(CTaskbarNotifier::TimerStay), 4000);
        const auto lines = CTaskbarNotifier::LayoutText(message, n.CurrentFont(), n.TextArea());
        QVERIFY(lines.size() >= 2);
        QString shown;
        for (const auto& line : lines)
            shown += line.text + u' ';
        QCOMPARE(shown.simplified(), message);
        QCOMPARE(n.grab().size(), n.SkinSize());
        QVERIFY(n.mask().contains(QPoint(n.SkinSize().width() / 2, n.SkinSize().height() / 2)));

        // Beyond twice its size the text is cut with an ellipsis, on lines that stay within the
        // area; a short one takes the size back.
        n.ShowText(message.repeated(6), 500, 1000, 500);
        QCOMPARE(n.SkinScale(), 2.0);
        const auto cut = CTaskbarNotifier::LayoutText(n.Text(), n.CurrentFont(), n.TextArea());
        QVERIFY(cut.last().text.endsWith(QChar(0x2026)));
        for (const CTaskbarNotifier::TextLine& line : cut)
            QVERIFY(n.TextArea().contains(line.rect));
        n.ShowText(u"Wstawaj!"_s, 500, 1000, 500);
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
        // A failed load keeps the skin there was.
        QVERIFY(!n.LoadSkin(u"/nonexistent/skin.png"_s, QColor(255, 0, 255)));
        QCOMPARE(n.SkinSize(), kSkin);
        // No key colour: the whole rectangle is the pop-up.
        QVERIFY(n.LoadSkin(CTaskbarNotifier::ProgramSkin(), CTaskbarNotifier::NoKey, 0, 255));
        QVERIFY(n.SkinShape().contains(QPoint(0, 0)));
        QVERIFY(n.mask().isEmpty());
    }

    // A screen reader meets an alert named by the text it shows, which a press answers as a
    // click. New texts are reported while it is up; a countdown ticking each second is not.
    void isAnAlertThatReportsWhatIsNewOnly_data()
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
    }
    void isAnAlertThatReportsWhatIsNewOnly()
    {
        QFETCH(QStringList, texts);
        using zembra::NotifierAccessible::SetReporterForTesting;
        SetReporterForTesting(&Record);
        const auto reset = qScopeGuard([] { SetReporterForTesting(nullptr); });
        Notifier n;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&n);
        QVERIFY(accessible != nullptr && accessible->actionInterface() != nullptr);
        QCOMPARE(accessible->role(), QAccessible::AlertMessage);
        QVERIFY(!accessible->text(QAccessible::Name).isEmpty());
        g_reported.clear();
        for (const QString& text : texts)
            Show(n, text);
        QTEST(g_reported, "reported");
        // Its showing is what a reader announces, with the name it has then.
        QVERIFY(!accessible->state().invisible);
        QCOMPARE(accessible->text(QAccessible::Name), texts.last());
        QSignalSpy clicked(&n, &CTaskbarNotifier::Clicked);
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clicked.size(), 1);
    }
};

QTEST_MAIN(TestNotifier)
#include "test_notifier.moc"
