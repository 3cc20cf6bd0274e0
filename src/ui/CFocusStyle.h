#pragma once

// The program's style: the desktop's own, with a focus mark that can be seen. Many styles mark a
// focused check box or radio button with a faint dotted line and a focused slider not at all, so
// that someone working from the keyboard loses track of where they are. Here those controls get
// a solid frame in the palette's highlight colour, on light and dark desktops alike.

#include <QProxyStyle>

namespace zembra {

class CFocusStyle : public QProxyStyle {
    Q_OBJECT

public:
    // Wraps the style of that name (empty: the desktop's default).
    explicit CFocusStyle(const QString& baseStyle = QString());

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

    // The frame drawn round a focused control inside `rect`.
    static void DrawFocusFrame(QPainter* painter, const QRect& rect, const QPalette& palette);
};

} // namespace zembra
