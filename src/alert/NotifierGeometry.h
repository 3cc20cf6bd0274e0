#pragma once

// Where the pop-up beside the clock comes from and how it moves. Pure arithmetic on screen
// rectangles (no widgets, no screen), so every edge and every odd size is tested without a
// desktop. All rectangles are in the virtual desktop's coordinates, so a second monitor to
// the left of or above the primary one (negative coordinates) works like any other.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace zembra {

class NotifierGeometry {
public:
    // The edge the taskbar sits on, and so the edge the pop-up slides in from.
    enum class Edge : int { None = 0, Top = 1, Left = 2, Right = 3, Bottom = 4 };

    // One tick of a slide: the new position of the skin's top-left corner, and whether the
    // slide had already reached its end before this tick (the position is then unchanged).
    struct SlideStep {
        QPoint pos;
        bool complete = false;
    };

    // An empty geometry: edge None, every position (0, 0); its slides are complete at once and
    // it places nothing.
    NotifierGeometry() = default;
    // `screen` is the whole screen, `work` its part not covered by the taskbar and other
    // desktop bars, `skin` the pop-up's size, `step` the pixels it moves per tick (see Step()).
    // `keepClear` (the tray icon, where the desktop tells it) must stay visible: a bar that
    // does not reserve its room leaves the icon inside the work area, right where the pop-up
    // would sit. The pop-up then comes out from the near side of that rectangle instead, as
    // if the bar reached that far, and never covers it.
    NotifierGeometry(const QRect& screen, const QRect& work, const QSize& skin, int step,
                     const QRect& keepClear = QRect());

    // Right when the work area is narrower than the screen and starts at the screen's left
    // edge; left when it is narrower and does not; top when it is lower than the screen and
    // does not start at the screen's top edge; bottom otherwise, which includes a desktop
    // without any bar (the pop-up then rises at the bottom-right corner).
    static Edge TaskbarEdge(const QRect& screen, const QRect& work);
    // The work area left to a pop-up of `skin` sliding from `edge` when `keepClear` must stay
    // uncovered: cut back on the taskbar's side to the near edge of `keepClear` where that lies
    // in the pop-up's path; unchanged when it does not, or when what is left would not hold
    // the pop-up.
    static QRect WorkClearOf(Edge edge, const QRect& work, const QSize& skin, const QRect& keepClear);

    Edge GetEdge() const { return m_edge; }
    const QRect& WorkArea() const { return m_rcWork; }
    const QSize& SkinSize() const { return m_sizeSkin; }

    // The hidden position just outside the work area, where a slide-in starts and a slide-out
    // ends.
    QPoint StartPosition() const { return m_ptStart; }
    // The fully shown position, flush with the work area's edges beside the taskbar.
    QPoint ShownPosition() const { return m_ptShown; }

    // Ticks of one slide: the skin's width (left, right) or height (top, bottom) divided by
    // the step, truncated. Never 0: a step of 0 or below, or a skin smaller than the step,
    // makes it 1 tick that moves by the whole dimension.
    int StepCount() const { return m_nStepCount; }
    // Pixels per tick after that guard (0 only for an empty skin, which has nothing to move).
    int Step() const { return m_nStep; }
    // The timer interval of one tick of a slide that should take `totalMs`, truncated.
    unsigned StepInterval(unsigned totalMs) const;

    // One tick towards the shown position. The last move stops at the shown position instead
    // of passing it when the dimension is not a multiple of the step.
    SlideStep SlideIn(const QPoint& current) const;
    // One tick back towards the start position, likewise never passing it.
    SlideStep SlideOut(const QPoint& current) const;

    // The part of the pop-up at `current` that lies inside the work area, in screen
    // coordinates: the window is cut there so the pop-up seems to come from behind the
    // taskbar and never covers it. For a bottom taskbar its height is the work area's bottom
    // minus `current`'s y, at most the skin's height; empty when nothing is inside.
    QRect PlacedRect(const QPoint& current) const;

private:
    Edge m_edge = Edge::None;
    QRect m_rcWork;
    QSize m_sizeSkin;
    QPoint m_ptStart;
    QPoint m_ptShown;
    int m_nStep = 0;
    int m_nStepCount = 1;
};

} // namespace zembra
