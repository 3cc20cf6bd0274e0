#pragma once

// The status panel along the right edge of the view: a frame titled "Aktualny stan" with the
// alarm-clock picture and, under it, the centred text about the next alarm and its countdown.
// The view writes that text; the panel only sets its own title.

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

    void SetNextAlarmText(const QString& text);
    QString NextAlarmText() const;

    // Fixes the panel's width so that the widest of these lines fits on one line of the
    // next-alarm text (and the picture always fits); longer texts wrap.
    void FitWidthTo(const QStringList& lines);

    CBitmapViewer* Picture() const { return m_bmpPicture; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QLabel* m_stNextAlarm = nullptr;
    QGroupBox* m_grpStatus = nullptr;
    CBitmapViewer* m_bmpPicture = nullptr;
};

} // namespace zembra
