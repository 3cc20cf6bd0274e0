#pragma once

// Tells the user which alarms rang late (the computer slept through their moment, or the program
// could not run) and what was not done for them: a late alarm never changes the power state. The
// notice does not block: alarms go on ringing while it is up, and a later pass adds its lines.

#include "model/CFiringRoad.h"

#include <QMessageBox>

namespace zembra {

class CLateAlarmsNotice : public QMessageBox {
    Q_OBJECT

public:
    explicit CLateAlarmsNotice(QWidget* parent = nullptr);

    // One line per late alarm of the pass: its due time, comment, how late, and the power
    // action skipped; empty when none was late.
    static QStringList Lines(const FiringPass& pass);
    // What was skipped for a late alarm of this type ("Zaplanowane uśpienie pominięte"), or
    // empty for a type that changes nothing.
    static QString SkippedText(const std::string& type);

    // Adds the late alarms of a pass and shows the notice (without taking the focus from a
    // dialog the user is typing in). Does nothing for a pass without late alarms.
    void Add(const FiringPass& pass);

protected:
    void changeEvent(QEvent* event) override;

private:
    void UpdateText();

    QStringList m_lines;
};

} // namespace zembra
