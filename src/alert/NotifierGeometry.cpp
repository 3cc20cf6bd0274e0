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

NotifierGeometry::NotifierGeometry(const QRect& screen, const QRect& work, const QSize& skin,
                                   int step)
    : m_edge(TaskbarEdge(screen, work))
    , m_rcWork(work)
    , m_sizeSkin(skin)
{
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
