#include "CControlHelp.h"

#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QWhatsThis>

namespace zembra {

CControlHelp::CControlHelp(QDialog* dialog)
    : QObject(dialog)
    , m_pDialog(dialog)
{
}

void CControlHelp::Install(QDialog* dialog)
{
    auto* help = new CControlHelp(dialog);
    dialog->installEventFilter(help);
    const QList<QWidget*> children = dialog->findChildren<QWidget*>();
    for (QWidget* child : children) {
        child->installEventFilter(help);
    }
}

void CControlHelp::Show(const QWidget* dialog, QWidget* control)
{
    if (control == nullptr || control->whatsThis().isEmpty()) {
        return;
    }
    QPoint where = QCursor::pos();
    if (!dialog->rect().contains(dialog->mapFromGlobal(where))) {
        where = control->mapToGlobal(QPoint(control->width() / 2, control->height()));
    }
    QWhatsThis::showText(where, control->whatsThis(), control);
}

bool CControlHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::HelpContents)) {
            Show(m_pDialog, qobject_cast<QWidget*>(watched));
            return true;
        }
        // A widget would answer Shift+F1 with its own text; here it starts the help mode, in
        // which the next click on a control shows that control's text.
        if (key->matches(QKeySequence::WhatsThis)) {
            QWhatsThis::enterWhatsThisMode();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zembra
