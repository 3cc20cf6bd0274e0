#pragma once

// The properties panel along the bottom of the view: a frame titled "Właściwości wybranego
// alarmu" with the type, the time and the actions of the alarm picked in the list. The view
// writes the three values.

#include <QWidget>

class QGroupBox;
class QLabel;

namespace zembra {

class CAlarmPropDialog : public QWidget {
    Q_OBJECT

public:
    explicit CAlarmPropDialog(QWidget* parent = nullptr);

    // Title and labels in the current language; the first line's label then reads "Typ:".
    void ReloadTexts();

    void SetProperties(const QString& type, const QString& time, const QString& actions);

    QString TypeText() const;
    QString TimeText() const;
    QString ActionText() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    QLabel* m_stTypeLabel = nullptr;
    QLabel* m_stTimeLabel = nullptr;
    QLabel* m_stActionLabel = nullptr;
    QLabel* m_stType = nullptr;
    QLabel* m_stAction = nullptr;
    QLabel* m_stTime = nullptr;
    QGroupBox* m_grpProperties = nullptr;
};

} // namespace zembra
