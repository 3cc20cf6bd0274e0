#include "CTaskbarNotifier.h"

#include "CSettings.h"
#include "NotifierAccessible.h"

#include <QBitmap>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <limits>

// The skin lives in this static library's resources, which the linker drops unless something
// asks for them by name; Q_INIT_RESOURCE has to be used outside any namespace.
static void InitAlertResources()
{
    static const bool initialised = [] {
        Q_INIT_RESOURCE(alert);
        return true;
    }();
    Q_UNUSED(initialised);
}

namespace zembra {

namespace {

const QChar kEllipsis(0x2026);

// QTimer takes a signed interval; a stay of more than 24 days is as good as forever.
int Interval(quint32 ms)
{
    return static_cast<int>(std::min<quint32>(ms, std::numeric_limits<int>::max()));
}

QFont StyledFont(const QFont& base, int style)
{
    QFont font(base);
    font.setWeight((style & CTaskbarNotifier::StyleBold) != 0 ? QFont::Bold : QFont::Normal);
    font.setItalic((style & CTaskbarNotifier::StyleItalic) != 0);
    font.setUnderline((style & CTaskbarNotifier::StyleUnderline) != 0);
    return font;
}

bool IsSvg(const QString& path)
{
    return path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)
           || path.endsWith(QLatin1String(".svgz"), Qt::CaseInsensitive);
}

// The skin as an opaque image. Transparent parts of the artwork take the key colour, so that
// the key cuts them out. Antialiased edge pixels are decided by their coverage: at least half
// covered keeps the artwork's own colour at full strength, less becomes the key. Blending
// them into the key instead would leave a purple fringe round the shape, as such a pixel is
// no longer exactly the key colour.
QImage OpaqueSkin(const QImage& artwork, const QColor& background)
{
    QImage straight = artwork.convertToFormat(QImage::Format_ARGB32);
    const QRgb fill = background.rgb();
    for (int y = 0; y < straight.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(straight.scanLine(y));
        for (int x = 0; x < straight.width(); ++x)
            line[x] = qAlpha(line[x]) >= 128 ? (line[x] | 0xFF000000u) : fill;
    }
    return straight.convertToFormat(QImage::Format_RGB32);
}

// The skin at `scale` times its own size: an SVG drawn afresh, any other image smoothed.
QImage ReadArtwork(const QString& path, double scale = 1.0)
{
    if (IsSvg(path)) {
        QSvgRenderer renderer(path);
        if (!renderer.isValid() || renderer.defaultSize().isEmpty())
            return {};
        QImage image(renderer.defaultSize() * scale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        return image;
    }
    QImageReader reader(path);
    const QImage image = reader.read();
    return scale == 1.0 || image.isNull()
               ? image
               : image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The enlargements tried for a long text, smallest first.
constexpr double kScales[] = {1.0, 1.25, 1.5, 1.75, 2.0};

// The rest of a wrapped text does not fit below `line`: it ends with an ellipsis, within
// `width`.
QString WithEllipsis(const QString& line, const QFontMetrics& fm, int width)
{
    const QString ellipsis(kEllipsis);
    QString cut = fm.elidedText(line, Qt::ElideRight, width - fm.horizontalAdvance(ellipsis));
    if (!cut.endsWith(ellipsis))
        cut = cut.trimmed() + ellipsis;
    return cut;
}

} // namespace

CTaskbarNotifier::CTaskbarNotifier(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                          | Qt::WindowDoesNotAcceptFocus)
    , m_crText(133, 146, 181)
    , m_crHoverText(10, 36, 106)
    , m_timerSlideIn(this)
    , m_timerStay(this)
    , m_timerSlideOut(this)
{
    InitAlertResources();
    NotifierAccessible::Install();
    setObjectName(QStringLiteral("taskbarNotifier"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    m_fontText = font();
    m_fontHover = font();

    // The slide steps are a few milliseconds apart; a coarse timer would make the slide judder.
    m_timerSlideIn.setTimerType(Qt::PreciseTimer);
    m_timerSlideOut.setTimerType(Qt::PreciseTimer);
    connect(&m_timerSlideIn, &QTimer::timeout, this, [this] { OnTimer(TimerSlideIn); });
    connect(&m_timerStay, &QTimer::timeout, this, [this] { OnTimer(TimerStay); });
    connect(&m_timerSlideOut, &QTimer::timeout, this, [this] { OnTimer(TimerSlideOut); });
}

CTaskbarNotifier::~CTaskbarNotifier() = default;

QString CTaskbarNotifier::ProgramSkin()
{
    InitAlertResources();
    return QStringLiteral(":/images/skin.svg");
}

bool CTaskbarNotifier::LoadSkin(const QString& path, const QColor& key)
{
    const QImage artwork = ReadArtwork(path);
    if (artwork.isNull())
        return false;
    m_strSkinPath = path;
    m_skinKey = key;
    m_baseSkinSize = artwork.size();
    m_baseTextArea = QRect(QPoint(), artwork.size());
    m_dScale = 1.0;

    const bool hasKey = key.isValid();
    m_imgSkin = OpaqueSkin(artwork, hasKey ? key : palette().color(QPalette::Window));
    m_bHasShape = hasKey;
    // MaskInColor sets the bits of the key pixels. The mask image's colour table starts with
    // black, which is the bitmap's opaque colour, so the set bits (the key) are left out of the
    // region; MaskOutColor would keep only the corners.
    m_rgnSkin =
        hasKey
            ? QRegion(QBitmap::fromImage(m_imgSkin.createMaskFromColor(key.rgb(), Qt::MaskInColor)))
            : QRegion();
    m_rcText = m_imgSkin.rect();
    m_ptSkinOrigin = QPoint();
    resize(m_imgSkin.size());
    UpdateMask();
    update();
    return true;
}

bool CTaskbarNotifier::LoadSkin(const QString& path, quint16 red, quint16 green, quint16 blue)
{
    if (red == NoKey || green == NoKey || blue == NoKey)
        return LoadSkin(path, QColor());
    return LoadSkin(
        path, QColor(std::min<int>(red, 255), std::min<int>(green, 255), std::min<int>(blue, 255)));
}

void CTaskbarNotifier::SetTextFonts(const QString& face, int tenthsOfPoint, int normalStyle,
                                    int hoverStyle)
{
    m_strFace = face;
    m_nTenthsOfPoint = tenthsOfPoint;
    m_nNormalStyle = normalStyle;
    m_nHoverStyle = hoverStyle;
    ApplyFonts();
}

double CTaskbarNotifier::DesktopFontScale(const QFont& desktopFont)
{
    const double points = desktopFont.pointSizeF();
    return points > 0 ? std::max(1.0, points / kUsualDesktopPoints) : 1.0;
}

void CTaskbarNotifier::ApplyFonts()
{
    QFont base(m_strFace);
    m_dDesktopScale = DesktopFontScale(QGuiApplication::font());
    if (m_nTenthsOfPoint > 0)
        base.setPointSizeF(m_nTenthsOfPoint / 10.0 * m_dDesktopScale);
    m_fontText = StyledFont(base, m_nNormalStyle);
    m_fontHover = StyledFont(base, m_nHoverStyle);
    update();
}

void CTaskbarNotifier::SetTextColors(const QColor& normal, const QColor& hover)
{
    m_crText = normal;
    m_crHoverText = hover;
    update();
}

void CTaskbarNotifier::SetTextArea(const QRect& rect)
{
    m_baseTextArea = rect;
    m_rcText = QRect(rect.topLeft() * m_dScale, rect.size() * m_dScale);
    update();
}

double CTaskbarNotifier::ScaleFor(const QString& text) const
{
    for (const double scale : kScales) {
        const QRect area(m_baseTextArea.topLeft() * scale, m_baseTextArea.size() * scale);
        const QList<TextLine> lines = LayoutText(text, m_fontText, area);
        const bool cut = !lines.isEmpty() && lines.constLast().text.endsWith(kEllipsis);
        if (!cut)
            return scale;
    }
    return kScales[std::size(kScales) - 1];
}

void CTaskbarNotifier::ApplyScale(double scale)
{
    if (scale == m_dScale || m_strSkinPath.isEmpty())
        return;
    const QImage artwork = ReadArtwork(m_strSkinPath, scale);
    if (artwork.isNull())
        return;
    const bool hasKey = m_skinKey.isValid();
    m_imgSkin = OpaqueSkin(artwork, hasKey ? m_skinKey : palette().color(QPalette::Window));
    m_rgnSkin = hasKey ? QRegion(QBitmap::fromImage(
                             m_imgSkin.createMaskFromColor(m_skinKey.rgb(), Qt::MaskInColor)))
                       : QRegion();
    m_dScale = scale;
    m_rcText = QRect(m_baseTextArea.topLeft() * scale, m_baseTextArea.size() * scale);
}

void CTaskbarNotifier::SetTextArea(int left, int top, int right, int bottom)
{
    SetTextArea(QRect(left, top, right - left, bottom - top));
}

void CTaskbarNotifier::SetTransparency(unsigned percent)
{
    setWindowOpacity(CSettings::OpacityFromTransparency(percent) / 255.0);
}

QRegion CTaskbarNotifier::SkinShape() const
{
    return m_bHasShape ? m_rgnSkin : QRegion(m_imgSkin.rect());
}

bool CTaskbarNotifier::MeasureScreen(int step)
{
    QScreen* scr = screen();
    if (scr == nullptr)
        scr = QGuiApplication::primaryScreen();
    if (scr == nullptr)
        return false;
    m_nStep = step;
    const QRect keepClear = m_keepClear ? m_keepClear() : QRect();
    m_geometry = NotifierGeometry(scr->geometry(), scr->availableGeometry(), m_imgSkin.size(),
                                  m_nStep, keepClear);
    m_dwShowStep = m_geometry.StepInterval(m_dwShowTime);
    m_dwHideStep = m_geometry.StepInterval(m_dwHideTime);
    return true;
}

void CTaskbarNotifier::ShowText(const QString& text, quint32 showMs, quint32 stayMs, quint32 hideMs,
                                int step)
{
    // The desktop's font may have changed since the last text: the new one is shown in step.
    if (!m_strFace.isEmpty() && DesktopFontScale(QGuiApplication::font()) != m_dDesktopScale)
        ApplyFonts();
    const QString previous = m_strText;
    m_strText = text;
    NotifierAccessible::TextShown(this, previous, text);
    m_dwShowTime = showMs;
    m_dwStayTime = stayMs;
    m_dwHideTime = hideMs;

    const double scale = ScaleFor(text);
    if (scale != m_dScale) {
        ApplyScale(scale);
        if (m_nState == StateSlidingIn || m_nState == StateWaiting) {
            // Up already: it takes its new size at its shown place at once.
            if (!MeasureScreen(step))
                return;
            m_timerSlideIn.stop();
            m_nState = StateWaiting;
            m_ptPos = m_geometry.ShownPosition();
            Place();
        }
    }

    switch (m_nState) {
    case StateIdle:
        // Nothing is drawn until the first tick: the window appears as it starts to move.
        if (!MeasureScreen(step))
            return;
        m_ptPos = m_geometry.StartPosition();
        m_timerSlideIn.start(Interval(m_dwShowStep));
        break;
    case StateSlidingIn:
        update();
        break;
    case StateWaiting:
        update();
        m_timerStay.start(Interval(m_dwStayTime));
        break;
    case StateSlidingOut:
        // The screen may have changed since the pop-up was last up; it is out of sight or on
        // its way out, so it can take the new measures without a visible jump backwards.
        m_timerSlideOut.stop();
        if (!MeasureScreen(step))
            return;
        m_timerStay.start(Interval(m_dwStayTime));
        m_ptPos = m_geometry.ShownPosition();
        Place();
        update();
        break;
    default:
        break;
    }
}

void CTaskbarNotifier::SlideOut()
{
    if (m_nState == StateIdle) {
        // Not yet on screen: a slide-in that was asked for but has not started is dropped, and
        // the next ShowText slides in as the first one would.
        m_timerSlideIn.stop();
        return;
    }
    m_timerSlideIn.stop();
    m_timerStay.stop();
    m_timerSlideOut.start(Interval(m_dwHideStep));
}

void CTaskbarNotifier::OnTimer(int id)
{
    switch (id) {
    case TimerSlideIn: {
        m_nState = StateSlidingIn;
        const NotifierGeometry::SlideStep next = m_geometry.SlideIn(m_ptPos);
        m_ptPos = next.pos;
        if (next.complete) {
            m_timerSlideIn.stop();
            m_timerStay.start(Interval(m_dwStayTime));
            m_nState = StateWaiting;
        }
        Place();
        break;
    }
    case TimerStay:
        m_timerStay.stop();
        m_timerSlideOut.start(Interval(m_dwHideStep));
        break;
    case TimerSlideOut: {
        m_nState = StateSlidingOut;
        const NotifierGeometry::SlideStep next = m_geometry.SlideOut(m_ptPos);
        m_ptPos = next.pos;
        if (next.complete)
            m_timerSlideOut.stop();
        Place();
        break;
    }
    default:
        break;
    }
}

void CTaskbarNotifier::Place()
{
    const QRect placed = m_geometry.PlacedRect(m_ptPos);
    if (placed.isEmpty()) {
        hide();
        return;
    }
    m_ptSkinOrigin = m_ptPos - placed.topLeft();
    setGeometry(placed);
    UpdateMask();
    if (!isVisible()) {
        show();
        raise();
    }
    update();
}

void CTaskbarNotifier::UpdateMask()
{
    // Left larger than the window where it is cut: the mask then stays the same for a whole
    // slide from a bottom or right taskbar, and the window system is not asked again.
    if (m_bHasShape)
        setMask(m_rgnSkin.translated(m_ptSkinOrigin));
    else
        clearMask();
}

bool CTaskbarNotifier::IsOnShape(const QPoint& widgetPos) const
{
    return rect().contains(widgetPos) && SkinShape().contains(widgetPos - m_ptSkinOrigin);
}

const QTimer* CTaskbarNotifier::TimerById(int id) const
{
    switch (id) {
    case TimerSlideIn:
        return &m_timerSlideIn;
    case TimerStay:
        return &m_timerStay;
    case TimerSlideOut:
        return &m_timerSlideOut;
    default:
        return nullptr;
    }
}

bool CTaskbarNotifier::IsTimerActive(int id) const
{
    const QTimer* timer = TimerById(id);
    return timer != nullptr && timer->isActive();
}

int CTaskbarNotifier::TimerInterval(int id) const
{
    const QTimer* timer = TimerById(id);
    return timer != nullptr ? timer->interval() : -1;
}

QList<CTaskbarNotifier::TextLine> CTaskbarNotifier::LayoutText(const QString& text,
                                                               const QFont& font, const QRect& area)
{
    QList<TextLine> lines;
    if (text.isEmpty() || area.width() <= 0)
        return lines;

    const QFontMetrics fm(font);
    const int lineHeight = fm.height();
    const int width = area.width();

    QString flowing = text;
    flowing.remove(QLatin1Char('\r'));
    const bool hasBreaks = flowing.contains(QLatin1Char('\n'));
    if (!hasBreaks && fm.horizontalAdvance(flowing) < width) {
        const int top = area.top() + (area.height() - lineHeight) / 2;
        lines.append({flowing, QRect(area.left(), top, width, lineHeight)});
        return lines;
    }

    // QTextLayout breaks only at the Unicode line separator, not at '\n'.
    flowing.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(flowing, font);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList wrapped;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        QString part = flowing.mid(line.textStart(), line.textLength());
        part.remove(QChar::LineSeparator);
        wrapped.append(part.trimmed());
    }
    layout.endLayout();

    const int fitting = std::max(1, area.height() / std::max(1, lineHeight));
    const qsizetype shown = std::min<qsizetype>(wrapped.size(), fitting);
    const int blockHeight = static_cast<int>(shown) * lineHeight;
    int top = area.top() + std::max(0, (area.height() - blockHeight) / 2);
    for (qsizetype i = 0; i < shown; ++i) {
        QString part = wrapped.at(i);
        const bool textLeftOver = i == shown - 1 && shown < wrapped.size();
        if (textLeftOver)
            part = WithEllipsis(part, fm, width);
        else if (fm.horizontalAdvance(part) > width)
            part = fm.elidedText(part, Qt::ElideRight, width);
        lines.append({part, QRect(area.left(), top, width, lineHeight)});
        top += lineHeight;
    }
    return lines;
}

void CTaskbarNotifier::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.drawImage(m_ptSkinOrigin, m_imgSkin);
    const QList<TextLine> lines = LayoutText(m_strText, CurrentFont(), m_rcText);
    if (lines.isEmpty())
        return;
    painter.setFont(CurrentFont());
    painter.setPen(CurrentColor());
    painter.setClipRect(m_rcText.translated(m_ptSkinOrigin));
    for (const TextLine& line : lines)
        painter.drawText(line.rect.translated(m_ptSkinOrigin), Qt::AlignCenter | Qt::TextSingleLine,
                         line.text);
}

void CTaskbarNotifier::enterEvent(QEnterEvent* event)
{
    if (!m_bHover) {
        m_bHover = true;
        update();
    }
    QWidget::enterEvent(event);
}

void CTaskbarNotifier::leaveEvent(QEvent* event)
{
    if (m_bHover) {
        m_bHover = false;
        update();
    }
    QWidget::leaveEvent(event);
}

void CTaskbarNotifier::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && IsOnShape(event->position().toPoint())) {
        event->accept();
        Q_EMIT Clicked();
        return;
    }
    if (event->button() == Qt::RightButton && IsOnShape(event->position().toPoint())) {
        event->accept();
        Q_EMIT MenuRequested(event->globalPosition().toPoint());
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace zembra
