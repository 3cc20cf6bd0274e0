#include "NotifierGeometry.h"

#include <algorithm>

namespace zembra {

namespace {

// QRect's right() and bottom() are the last pixel inside; the arithmetic below wants the
// first pixel outside, as the work area's edges are usually described.
int RightOf(const QRect& r)
{
    return r.x() + r.width();
}
int BottomOf(const QRect& r)
{
    return r.y() + r.height();
}

} // namespace

NotifierGeometry::NotifierGeometry(const QRect& screen, const QRect& fullWork, const QSize& skin,
                                   int step, const QRect& keepClear)
    : m_edge(TaskbarEdge(screen, fullWork))
    , m_rcWork(WorkClearOf(m_edge, fullWork, skin, keepClear))
    , m_sizeSkin(skin)
{
    const QRect& work = m_rcWork;
    const int w = skin.width();
    const int h = skin.height();
    int dimension = 0;
    switch (m_edge) {
    case Edge::Right:
        m_ptStart = QPoint(RightOf(work), BottomOf(work) - h);
        m_ptShown = QPoint(RightOf(work) - w, m_ptStart.y());
        dimension = w;
        break;
    case Edge::Left:
        m_ptStart = QPoint(work.x() - w, BottomOf(work) - h);
        m_ptShown = QPoint(work.x(), m_ptStart.y());
        dimension = w;
        break;
    case Edge::Top:
        m_ptStart = QPoint(RightOf(work) - w, work.y() - h);
        m_ptShown = QPoint(m_ptStart.x(), work.y());
        dimension = h;
        break;
    case Edge::Bottom:
    case Edge::None:
        m_ptStart = QPoint(RightOf(work) - w, BottomOf(work));
        m_ptShown = QPoint(m_ptStart.x(), BottomOf(work) - h);
        dimension = h;
        break;
    }

    dimension = std::max(dimension, 0);
    m_nStepCount = step > 0 ? dimension / step : 0;
    m_nStep = step;
    if (m_nStepCount == 0) {
        // A step of 0 would never arrive and a step count of 0 would divide the slide time by
        // zero: one tick that covers the whole way is the only safe reading.
        m_nStepCount = 1;
        m_nStep = dimension;
    }
}

NotifierGeometry::Edge NotifierGeometry::TaskbarEdge(const QRect& screen, const QRect& work)
{
    if (work.width() < screen.width())
        return work.x() == screen.x() ? Edge::Right : Edge::Left;
    if (work.height() < screen.height() && work.y() != screen.y())
        return Edge::Top;
    return Edge::Bottom;
}

QRect NotifierGeometry::WorkClearOf(Edge edge, const QRect& work, const QSize& skin,
                                    const QRect& keepClear)
{
    if (keepClear.isEmpty() || work.isEmpty())
        return work;
    // Where the pop-up would be fully shown: at the bottom right, or the top right, or the
    // bottom left.
    const int w = skin.width();
    const int h = skin.height();
    const int x = edge == Edge::Left ? work.x() : RightOf(work) - w;
    const int y = edge == Edge::Top ? work.y() : BottomOf(work) - h;
    if (!QRect(x, y, w, h).intersects(keepClear))
        return work;
    QRect clear = work;
    switch (edge) {
    case Edge::Right:
        clear.setRight(std::min(work.right(), keepClear.left() - 1));
        break;
    case Edge::Left:
        clear.setLeft(std::max(work.left(), keepClear.right() + 1));
        break;
    case Edge::Top:
        clear.setTop(std::max(work.top(), keepClear.bottom() + 1));
        break;
    case Edge::Bottom:
    case Edge::None:
        clear.setBottom(std::min(work.bottom(), keepClear.top() - 1));
        break;
    }
    return clear.width() >= w && clear.height() >= h ? clear : work;
}

unsigned NotifierGeometry::StepInterval(unsigned totalMs) const
{
    return totalMs / static_cast<unsigned>(m_nStepCount);
}

NotifierGeometry::SlideStep NotifierGeometry::SlideIn(const QPoint& current) const
{
    QPoint p = current;
    switch (m_edge) {
    case Edge::Top:
        if (p.y() >= m_ptShown.y())
            return {p, true};
        p.setY(std::min(p.y() + m_nStep, m_ptShown.y()));
        break;
    case Edge::Left:
        if (p.x() >= m_ptShown.x())
            return {p, true};
        p.setX(std::min(p.x() + m_nStep, m_ptShown.x()));
        break;
    case Edge::Right:
        if (p.x() <= m_ptShown.x())
            return {p, true};
        p.setX(std::max(p.x() - m_nStep, m_ptShown.x()));
        break;
    case Edge::Bottom:
    case Edge::None:
        if (p.y() <= m_ptShown.y())
            return {p, true};
        p.setY(std::max(p.y() - m_nStep, m_ptShown.y()));
        break;
    }
    return {p, false};
}

NotifierGeometry::SlideStep NotifierGeometry::SlideOut(const QPoint& current) const
{
    QPoint p = current;
    switch (m_edge) {
    case Edge::Top:
        if (p.y() <= m_ptStart.y())
            return {p, true};
        p.setY(std::max(p.y() - m_nStep, m_ptStart.y()));
        break;
    case Edge::Left:
        if (p.x() <= m_ptStart.x())
            return {p, true};
        p.setX(std::max(p.x() - m_nStep, m_ptStart.x()));
        break;
    case Edge::Right:
        if (p.x() >= m_ptStart.x())
            return {p, true};
        p.setX(std::min(p.x() + m_nStep, m_ptStart.x()));
        break;
    case Edge::Bottom:
    case Edge::None:
        if (p.y() >= m_ptStart.y())
            return {p, true};
        p.setY(std::min(p.y() + m_nStep, m_ptStart.y()));
        break;
    }
    return {p, false};
}

QRect NotifierGeometry::PlacedRect(const QPoint& current) const
{
    const QRect placed = QRect(current, m_sizeSkin).intersected(m_rcWork);
    return placed.isEmpty() ? QRect() : placed;
}

} // namespace zembra
