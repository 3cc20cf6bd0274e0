#pragma once

// The skinned pop-up beside the clock. It slides in from the taskbar's edge, shows one text
// for a while and slides back; its shape is cut from a skin image by a key colour, its text
// switches font and colour while the mouse is over it, and a left click on its shape is
// reported by Clicked(). It never takes the focus, so an alarm text popping up never steals
// the keyboard from what the user is typing.
//
// States: 0 idle (never shown yet), 1 sliding in, 2 waiting, 3 sliding out. Only the first
// ShowText after construction slides in; later ones put the pop-up straight at its shown
// position, where it waits and then slides out again.
//
// Like any widget it lives on the GUI thread: code on other threads reaches it through queued
// calls.

#include "NotifierGeometry.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

class QEnterEvent;
class QEvent;
class QMouseEvent;
class QPaintEvent;

namespace zembra {

class CTaskbarNotifier : public QWidget {
    Q_OBJECT

public:
    enum : int { StateIdle = 0, StateSlidingIn = 1, StateWaiting = 2, StateSlidingOut = 3 };
    enum : int { TimerSlideIn = 1, TimerStay = 2, TimerSlideOut = 3 };
    // Style bits of SetTextFonts.
    enum : int { StyleBold = 1, StyleItalic = 2, StyleUnderline = 4 };
    // A colour component of this value in LoadSkin means "no key colour".
    static constexpr quint16 NoKey = 0xFFFF;

    // One line of text as painted: drawn centred in `rect`, in skin pixels.
    struct TextLine {
        QString text;
        QRect rect;
    };

    explicit CTaskbarNotifier(QWidget* parent = nullptr);
    ~CTaskbarNotifier() override;

    // The program's own skin (256 x 64, key colour magenta), a resource path for LoadSkin.
    static QString ProgramSkin();
    static QColor ProgramSkinKey() { return QColor(255, 0, 255); }

    // Loads the skin from a file or resource: an SVG image is rendered at its own size, any
    // other image is read as it is. Pixels of the exact `key` colour (and transparent pixels
    // of the image, which become the key colour) are cut out of the window's shape; an
    // invalid QColor() means no key colour and a rectangular pop-up. Resets the text area to
    // the whole skin. False when the image cannot be read; the old skin is then kept.
    bool LoadSkin(const QString& path, const QColor& key);
    // The same with the key as three components; NoKey in any of them means no key colour.
    bool LoadSkin(const QString& path, quint16 red, quint16 green, quint16 blue);

    // Fonts of `face` at `tenthsOfPoint` / 10 points, styled by the bits (StyleBold,
    // StyleItalic, StyleUnderline): `normalStyle` normally, `hoverStyle` under the mouse. The
    // size is the one for a desktop at its usual font; a desktop set to larger text makes it
    // grow in step (DesktopFontScale), now and at the next text after the desktop's font
    // changed.
    void SetTextFonts(const QString& face, int tenthsOfPoint, int normalStyle, int hoverStyle);
    // How much larger than usual the desktop's font is: its size over kUsualDesktopPoints,
    // never below 1, so a small desktop font never makes the pop-up's text unreadable.
    static double DesktopFontScale(const QFont& desktopFont);
    static constexpr double kUsualDesktopPoints = 9.0;
    // The rectangle of the screen the pop-up must leave visible (the tray icon, whose click
    // silences the alarm), asked for each time the pop-up measures the screen; an empty one
    // asks for nothing.
    void SetKeepClear(std::function<QRect()> area) { m_keepClear = std::move(area); }
    void SetTextColors(const QColor& normal, const QColor& hover);
    // Where the text goes, in skin pixels.
    void SetTextArea(const QRect& rect);
    // The same from the left/top edge and the right/bottom edge, the last two exclusive:
    // (64, 16, 224, 48) is the rectangle 160 x 32 at (64, 16).
    void SetTextArea(int left, int top, int right, int bottom);
    // Window opacity from the Transparency setting (percent, 0 opaque).
    void SetTransparency(unsigned percent);

    // Shows `text`. Idle: measures the screen the pop-up is on and starts sliding in from the
    // taskbar's edge, `showMs` for the whole slide, `step` pixels per tick. Sliding in: only
    // the text changes. Waiting: the text changes and the stay of `stayMs` starts anew.
    // Sliding out (or slid out): the pop-up is put at once at its shown position and waits.
    // After the stay it slides out in `hideMs`.
    // A text longer than the text area holds makes the whole pop-up grow, skin and area alike,
    // up to twice its size, so that a long message is read whole rather than cut to a line.
    void ShowText(const QString& text, quint32 showMs, quint32 stayMs, quint32 hideMs,
                  int step = 2);
    // Ends a slide-in or the stay and slides out now. Nothing to do before the pop-up has
    // appeared.
    void SlideOut();

    // Observation, for the owner and for tests.
    int State() const { return m_nState; }
    // Screen position of the skin's top-left corner.
    QPoint Position() const { return m_ptPos; }
    QString Text() const { return m_strText; }
    bool IsHover() const { return m_bHover; }
    const QFont& CurrentFont() const { return m_bHover ? m_fontHover : m_fontText; }
    const QColor& CurrentColor() const { return m_bHover ? m_crHoverText : m_crText; }
    QSize SkinSize() const { return m_imgSkin.size(); }
    // How much the skin is enlarged for the text shown (1 to 2).
    double SkinScale() const { return m_dScale; }
    QRect TextArea() const { return m_rcText; }
    // The skin's opaque part in skin pixels; the whole skin when it has no key colour.
    QRegion SkinShape() const;
    // Where the skin's (0, 0) lies in widget coordinates: not (0, 0) while the window is cut
    // at the work area's left or top edge.
    QPoint SkinOrigin() const { return m_ptSkinOrigin; }
    const NotifierGeometry& Geometry() const { return m_geometry; }
    bool IsTimerActive(int id) const;
    int TimerInterval(int id) const;

    // The lines the text is painted as inside `area`: one line centred both ways when it is
    // narrower than the area and holds no line break; otherwise wrapped at word boundaries,
    // each line centred, the block centred vertically, as many lines as fit in full (at
    // least one), the last one ending with an ellipsis when text is left over, and a word
    // wider than the area cut with an ellipsis.
    static QList<TextLine> LayoutText(const QString& text, const QFont& font, const QRect& area);

Q_SIGNALS:
    // The left mouse button was released over the pop-up's shape.
    void Clicked();
    // A right click on the pop-up's shape, at this point of the screen: its menu.
    void MenuRequested(const QPoint& globalPos);

public Q_SLOTS:
    // One tick of timer `id` (TimerSlideIn, TimerStay, TimerSlideOut); the timers call it, and
    // tests call it to drive the pop-up without waiting.
    void OnTimer(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Builds both fonts from what SetTextFonts was given and the desktop's font of the moment.
    void ApplyFonts();
    // Makes the skin and its text area `scale` times their loaded size.
    void ApplyScale(double scale);
    // The smallest enlargement at which the text fits whole (2 when none does).
    double ScaleFor(const QString& text) const;
    // Measures the screen the pop-up is on and derives the slide from it.
    bool MeasureScreen(int step);
    // Moves and sizes the window to the part of the skin at m_ptPos inside the work area;
    // hides it when nothing is inside.
    void Place();
    void UpdateMask();
    bool IsOnShape(const QPoint& widgetPos) const;
    const QTimer* TimerById(int id) const;

    QString m_strFace;
    int m_nTenthsOfPoint = 0;
    int m_nNormalStyle = 0;
    int m_nHoverStyle = 0;
    double m_dDesktopScale = 1.0;
    std::function<QRect()> m_keepClear;
    QFont m_fontText;
    QFont m_fontHover;
    QColor m_crText;
    QColor m_crHoverText;
    QImage m_imgSkin;
    QString m_strSkinPath;
    QColor m_skinKey;
    QSize m_baseSkinSize;
    QRect m_baseTextArea;
    double m_dScale = 1.0;
    QRegion m_rgnSkin;
    bool m_bHasShape = false;
    QRect m_rcText;
    QString m_strText;
    bool m_bHover = false;
    int m_nState = StateIdle;
    quint32 m_dwShowTime = 0;
    quint32 m_dwStayTime = 0;
    quint32 m_dwHideTime = 0;
    quint32 m_dwShowStep = 0;
    quint32 m_dwHideStep = 0;
    QPoint m_ptPos;
    QPoint m_ptSkinOrigin;
    int m_nStep = 2;
    NotifierGeometry m_geometry;
    QTimer m_timerSlideIn;
    QTimer m_timerStay;
    QTimer m_timerSlideOut;
};

} // namespace zembra
