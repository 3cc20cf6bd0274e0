#include "CStartupTip.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QStringView>

#include <algorithm>

namespace zembra {

namespace {

// Where the header and the lines are drawn, from the control's top-left corner.
constexpr int kTextLeft = 55;
constexpr int kHeaderTop = 5;
constexpr int kRightMargin = 5;
constexpr int kLineGap = 5;
constexpr int kLinePitch = 16;
constexpr int kHeaderCell = 22;
constexpr int kTipCell = 16;
constexpr int kIconSize = 32;
constexpr int kIconTop = 6;

// The sizes are those of a whole character cell (ascent and descent), as the layout was drawn
// with: lines 16 pixels apart need a font whose cell fits 16 pixels, not one of 16-pixel em.
QFont CellFont(const QString& family, QFont::StyleHint hint, int cell, bool bold)
{
    QFont font(family);
    font.setStyleHint(hint);
    font.setBold(bold);
    for (int size = cell; size > 1; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).height() <= cell) {
            break;
        }
    }
    return font;
}

QFont HeaderFont()
{
    return CellFont(QStringLiteral("Times New Roman"), QFont::Serif, kHeaderCell, true);
}

QFont TipFont()
{
    return CellFont(QStringLiteral("Arial"), QFont::SansSerif, kTipCell, false);
}

QString CutWord(QStringView word)
{
    if (word.size() <= CStartupTip::kMaxWordLength) {
        return word.toString();
    }
    qsizetype keep = CStartupTip::kMaxWordLength;
    // Never keep half of a surrogate pair.
    if (word[keep - 1].isHighSurrogate()) {
        --keep;
    }
    return word.left(keep).toString();
}

// Tabs and line breaks belong to the words of a tip but have no glyph; a blank keeps their
// place on the screen.
QString Printable(const QString& line)
{
    QString shown = line;
    for (QChar& ch : shown) {
        if (ch.category() == QChar::Other_Control) {
            ch = u' ';
        }
    }
    return shown;
}

} // namespace

CStartupTip::CStartupTip(QWidget* parent)
    : QFrame(parent)
    , m_hIcon(QApplication::windowIcon())
{
    setObjectName(QStringLiteral("startupTip"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // A page of text, like an edit field: the style and the palette give it its colours.
    setBackgroundRole(QPalette::Base);
    setForegroundRole(QPalette::Text);
}

void CStartupTip::SetIcon(const QIcon& icon)
{
    m_hIcon = icon;
}

QIcon CStartupTip::Icon() const
{
    return m_hIcon;
}

void CStartupTip::SetTipText(const QString& text)
{
    const QStringList lines = WrapTip(text, m_nMaxLineLength);
    m_lines.fill(QString());
    std::copy(lines.cbegin(), lines.cend(), m_lines.begin());
    m_nLineCount = static_cast<int>(lines.size());
    update();
}

int CStartupTip::LineCount() const
{
    return m_nLineCount;
}

QStringList CStartupTip::Lines() const
{
    return QStringList(m_lines.cbegin(), m_lines.cbegin() + m_nLineCount);
}

QString CStartupTip::HeaderText() const
{
    return tr("Czy wiesz że...");
}

QStringList CStartupTip::WrapTip(const QString& text, int maxLineLength)
{
    // A line is shorter than the limit, so this keeps every line within 99 characters.
    const qsizetype limit = std::min(maxLineLength, kMaxWordLength + 2);
    QStringList lines;
    qsizetype len = 0;
    qsizetype pos = 0;
    const qsizetype size = text.size();
    for (;;) {
        while (pos < size && text[pos] == u' ') {
            ++pos;
        }
        if (pos == size) {
            break;
        }
        qsizetype end = pos;
        while (end < size && text[end] != u' ') {
            ++end;
        }
        const QStringView word = QStringView(text).mid(pos, end - pos);
        pos = end;

        if (lines.isEmpty()) {
            lines.append(QString());
        }
        const qsizetype w = word.size();
        if (len + w + 1 < limit) {
            lines.last() += CutWord(word) + u' ';
            len += w + 1;
        } else if (lines.size() < kMaxLines) {
            lines.append(CutWord(word) + u' ');
            len = w + 1;
        } else {
            // The last line is full: this and every later word are dropped.
            len += w + 1;
        }
    }
    return lines;
}

QSize CStartupTip::sizeHint() const
{
    const QFontMetrics tipMetrics(TipFont());
    const QFontMetrics headerMetrics(HeaderFont());
    // A full line of x's: a little wider than a full line of ordinary text, whose average
    // character is narrower, so a line of a tip is seldom cut at the right.
    const QString fullLine(m_nMaxLineLength - 1, u'x');
    const int textWidth = std::max(tipMetrics.horizontalAdvance(fullLine),
                                   headerMetrics.horizontalAdvance(HeaderText()));
    const int frame = 2 * frameWidth();
    const int linesBottom =
        m_nHeaderHeight + m_nSeparatorHeight + kLineGap + kMaxLines * kLinePitch;
    return QSize(kTextLeft + textWidth + kRightMargin + frame, linesBottom + kLineGap + frame);
}

void CStartupTip::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    const QRect client = contentsRect();
    const QPalette& colours = palette();
    painter.fillRect(client, colours.color(backgroundRole()));
    const QColor band = colours.color(QPalette::Mid);

    painter.save();
    painter.setClipRect(client);
    painter.translate(client.topLeft());
    const int width = client.width();
    const int height = client.height();

    painter.fillRect(QRect(0, 0, m_nBandWidth, height), band);
    if (!m_hIcon.isNull()) {
        m_hIcon.paint(&painter,
                      QRect(m_nBandWidth / 2 - kIconSize / 2, kIconTop, kIconSize, kIconSize));
    }
    painter.fillRect(QRect(m_nBandWidth, m_nHeaderHeight, width - m_nBandWidth, m_nSeparatorHeight),
                     band);

    painter.setPen(colours.color(foregroundRole()));
    const QFont headerFont = HeaderFont();
    painter.setFont(headerFont);
    painter.drawText(kTextLeft, kHeaderTop + QFontMetrics(headerFont).ascent(), HeaderText());

    const QFont tipFont = TipFont();
    painter.setFont(tipFont);
    painter.setClipRect(QRect(0, 0, width - kRightMargin, height), Qt::IntersectClip);
    const int ascent = QFontMetrics(tipFont).ascent();
    const int firstTop = m_nHeaderHeight + m_nSeparatorHeight + kLineGap;
    for (int i = 0; i < m_nLineCount; ++i) {
        if (!m_lines[i].isEmpty()) {
            painter.drawText(kTextLeft, firstTop + kLinePitch * i + ascent, Printable(m_lines[i]));
        }
    }
    painter.restore();

    drawFrame(&painter);
}

void CStartupTip::changeEvent(QEvent* event)
{
    // The header is drawn from the translation of the moment.
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::PaletteChange) {
        update();
    }
    QFrame::changeEvent(event);
}

} // namespace zembra
