#include "CFocusStyle.h"

#include <QAbstractButton>
#include <QPainter>
#include <QStyleOption>

namespace zembra {

namespace {

constexpr int kFrameWidth = 2;

} // namespace

CFocusStyle::CFocusStyle(const QString& baseStyle)
    : QProxyStyle(baseStyle)
{
}

void CFocusStyle::DrawFocusFrame(QPainter* painter, const QRect& rect, const QPalette& palette)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    QPen pen(palette.color(QPalette::Active, QPalette::Highlight), kFrameWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    // The pen is centred on the path: half its width in from the edge keeps it all inside.
    painter->drawRect(QRectF(rect).adjusted(kFrameWidth / 2.0, kFrameWidth / 2.0,
                                            -kFrameWidth / 2.0, -kFrameWidth / 2.0));
    painter->restore();
}

void CFocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const
{
    // Buttons of every kind (check boxes and radio buttons among them) ask for this frame round
    // their text when they have the focus. Lists ask for it too, for their current row, where
    // the style's own mark is right.
    if (element == PE_FrameFocusRect && qobject_cast<const QAbstractButton*>(widget) != nullptr) {
        DrawFocusFrame(painter, option->rect.adjusted(-1, -1, 1, 1), option->palette);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void CFocusStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     QPainter* painter, const QWidget* widget) const
{
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_Slider && option->state.testFlag(State_HasFocus)) {
        DrawFocusFrame(painter, option->rect, option->palette);
    }
}

} // namespace zembra
