#pragma once

// The tip control of the tips dialog: a grey band at the left with an icon, the header
// "Czy wiesz że..." over a grey line, and below it the tip, word-wrapped into at most ten lines.
// The colours come from the palette (base and text for the page, mid for the band), so the
// panel reads as well under a dark desktop theme as under a light one.

#include <QFrame>
#include <QIcon>
#include <QString>
#include <QStringList>

#include <array>

namespace zembra {

class CStartupTip : public QFrame {
    Q_OBJECT

public:
    static constexpr int kMaxLines = 10;
    // A word longer than this is cut, so that no line grows past 99 characters.
    static constexpr int kMaxWordLength = 98;

    explicit CStartupTip(QWidget* parent = nullptr);

    // The icon of the band; shown at the next repaint.
    void SetIcon(const QIcon& icon);
    QIcon Icon() const;
    // Word-wraps the text into the lines and repaints.
    void SetTipText(const QString& text);

    int LineCount() const;
    // The wrapped lines in use, each ending with a blank; the first may be empty.
    QStringList Lines() const;
    // The header as drawn, in the current language.
    QString HeaderText() const;

    // Splits a text into lines at blanks (only the blank separates words: tabs and line breaks
    // belong to them). A word goes on the current line while the line with the word and one
    // blank stays below maxLineLength characters, else on the next; once the tenth line is full
    // every further word is dropped. Runs of blanks collapse to one.
    static QStringList WrapTip(const QString& text, int maxLineLength = 50);

    // Room for ten lines of a full length.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int m_nMaxLineLength = 50;
    int m_nLineCount = 0;
    std::array<QString, kMaxLines> m_lines;
    QIcon m_hIcon;
    int m_nSeparatorHeight = 3;
    int m_nHeaderHeight = 30;
    int m_nBandWidth = 50;
};

} // namespace zembra
