#pragma once

// The status panel along the right edge of the view: a frame titled "Aktualny stan" with the
// alarm-clock picture and, under it, the centred text about the next alarm, its countdown and its
// comment. The view writes those texts; the panel only sets its own title. The countdown has a
// label of its own with a fixed size: its text changes every second, and rewriting it redraws
// only that line without laying out the panel again.

#include <QStringList>
#include <QWidget>

class QGroupBox;
class QLabel;

namespace zembra {

class CBitmapViewer;

class CStatusDIalog : public QWidget {
    Q_OBJECT

public:
    explicit CStatusDIalog(QWidget* parent = nullptr);

    // Sets the frame's title in the current language.
    void ReloadTexts();

    // The next alarm: its heading with the date, the countdown (empty: none shown) and the
    // comment.
    void SetNextAlarm(const QString& heading, const QString& countdown, const QString& comment);
    // Only the countdown line; nothing is done when the text is what the label shows.
    void SetCountdownText(const QString& countdown);
    QString CountdownText() const;
    // The whole next-alarm text, its lines joined by line breaks.
    QString NextAlarmText() const;
    // Under the next alarm: whether the computer will be woken for it (empty: nothing shown),
    // and the command that makes it so, with a link that copies it.
    void SetWakeText(const QString& text, const QString& command = {});
    QString WakeText() const;
    QString WakeCommand() const { return m_strWakeCommand; }
    // Puts the command on the clipboard (the link's work).
    void CopyWakeCommand();

    // Fixes the panel's width so that the widest of these lines fits on one line of the
    // next-alarm text (and the picture always fits); longer texts wrap.
    void FitWidthTo(const QStringList& lines);

    CBitmapViewer* Picture() const { return m_bmpPicture; }

protected:
    void changeEvent(QEvent* event) override;

private:
    // Gives each text label the height its text needs at the panel's width, so the layout
    // (and the window) make room for it rather than drawing it over the picture.
    void FitTextHeights();
    void ReloadAccessibleTexts();

    QLabel* m_stNextAlarm = nullptr;
    QLabel* m_stCountdown = nullptr;
    QLabel* m_stComment = nullptr;
    QLabel* m_stWake = nullptr;
    QLabel* m_stWakeCommand = nullptr;
    QLabel* m_lnkCopy = nullptr;
    QString m_strWakeCommand;
    QGroupBox* m_grpStatus = nullptr;
    CBitmapViewer* m_bmpPicture = nullptr;
};

} // namespace zembra
