#include "CBitmapViewer.h"

#include <QPainter>
#include <QSvgRenderer>

namespace zembra {

CBitmapViewer::CBitmapViewer(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("bitmapViewer"));
    // No background of its own: the panel behind shows wherever the picture is transparent.
    setAutoFillBackground(false);
}

CBitmapViewer::~CBitmapViewer() = default;

bool CBitmapViewer::LoadPicture(const QString& path)
{
    delete m_renderer;
    m_renderer = nullptr;
    m_cache = QPixmap();

    auto* renderer = new QSvgRenderer(path, this);
    if (!renderer->isValid() || renderer->defaultSize().isEmpty()) {
        delete renderer;
        updateGeometry();
        update();
        return false;
    }
    m_renderer = renderer;
    updateGeometry();
    update();
    return true;
}

bool CBitmapViewer::IsLoaded() const
{
    return m_renderer != nullptr;
}

QSize CBitmapViewer::PictureSize() const
{
    return m_renderer ? m_renderer->defaultSize() : QSize();
}

QSize CBitmapViewer::sizeHint() const
{
    return m_renderer ? m_renderer->defaultSize() : QSize(0, 0);
}

void CBitmapViewer::paintEvent(QPaintEvent* /*event*/)
{
    if (!m_renderer)
        return;

    const qreal ratio = devicePixelRatioF();
    if (m_cache.isNull() || !qFuzzyCompare(m_cache.devicePixelRatio(), ratio)) {
        const QSize natural = m_renderer->defaultSize();
        QPixmap pixmap(natural * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter render(&pixmap);
        render.setRenderHint(QPainter::Antialiasing);
        m_renderer->render(&render, QRectF(QPointF(0, 0), QSizeF(natural)));
        render.end();
        m_cache = pixmap;
    }

    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), m_cache);
}

} // namespace zembra
