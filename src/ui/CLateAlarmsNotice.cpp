#include "CLateAlarmsNotice.h"

#include "CZembracfgView.h"

#include <QApplication>
#include <QEvent>

namespace zembra {

CLateAlarmsNotice::CLateAlarmsNotice(QWidget* parent)
    : QMessageBox(parent)
{
    setObjectName(QStringLiteral("lateAlarmsNotice"));
    setIcon(QMessageBox::Information);
    setStandardButtons(QMessageBox::Ok);
    setModal(false);
    setWindowModality(Qt::NonModal);
    setTextFormat(Qt::PlainText);
    // The lines are gone once read; the next pass starts a list of its own.
    connect(this, &QMessageBox::finished, this, [this] { m_lines.clear(); });
    UpdateText();
}

QString CLateAlarmsNotice::SkippedText(const std::string& type)
{
    if (type == kTypeStandby) {
        return tr("Zaplanowane uśpienie pominięte");
    }
    if (type == kTypeHibernate) {
        return tr("Zaplanowana hibernacja pominięta");
    }
    if (type == kTypeShutdown) {
        return tr("Zaplanowane wyłączenie pominięte");
    }
    return {};
}

QStringList CLateAlarmsNotice::Lines(const FiringPass& pass)
{
    QStringList lines;
    for (const DueAlarm& due : pass.alarms) {
        if (!due.late) {
            continue;
        }
        const SystemTime local =
            due.alarm.m_strFrequency == kFrequencyOnce && !due.snoozed && !due.postponed
                ? due.alarm.m_time
                : UtcToLocalSystemTime(due.firingUtc).value_or(due.alarm.m_time);
        QString line = tr("%1 %2: spóźniony o %3 min")
                           .arg(CZembracfgView::DateTimeText(local),
                                QString::fromStdString(due.alarm.m_strComment))
                           .arg(due.LateMinutes());
        if (due.snoozed) {
            // A snooze rings only on time; so late it would wake nobody.
            line += QStringLiteral(". ") + tr("Drzemka nie zadzwoniła");
        } else if (const QString skipped = SkippedText(due.alarm.m_strType); !skipped.isEmpty()) {
            line += QStringLiteral(". ") + skipped;
        }
        lines << line;
    }
    return lines;
}

void CLateAlarmsNotice::Add(const FiringPass& pass)
{
    const QStringList lines = Lines(pass);
    if (lines.isEmpty()) {
        return;
    }
    m_lines << lines;
    UpdateText();
    setAttribute(Qt::WA_ShowWithoutActivating, QApplication::activeModalWidget() != nullptr);
    show();
    raise();
}

void CLateAlarmsNotice::UpdateText()
{
    setWindowTitle(tr("Zembra: alarmy z opóźnieniem"));
    setText(tr("Te alarmy zadzwoniły z opóźnieniem, bo komputer był uśpiony albo program nie "
               "działał w ich porze. Spóźniony alarm nie usypia ani nie wyłącza komputera."));
    setInformativeText(m_lines.join(u'\n'));
}

void CLateAlarmsNotice::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        UpdateText();
    }
    QMessageBox::changeEvent(event);
}

} // namespace zembra
