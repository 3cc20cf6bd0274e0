#include "NotifierAccessible.h"

#include "CTaskbarNotifier.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QString>

namespace zembra::NotifierAccessible {

namespace {

class CNotifierInterface : public QAccessibleWidget {
public:
    explicit CNotifierInterface(CTaskbarNotifier* notifier)
        : QAccessibleWidget(notifier, QAccessible::AlertMessage)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        const auto* notifier = static_cast<const CTaskbarNotifier*>(widget());
        if (kind == QAccessible::Name) {
            // Before anything was shown the window still needs a name to be told apart.
            return notifier->Text().isEmpty() ? QStringLiteral("Zembra") : notifier->Text();
        }
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& name) override
    {
        // Pressing the alert does what a click on it does: the messages go away.
        if (name == pressAction()) {
            Q_EMIT static_cast<CTaskbarNotifier*>(widget())->Clicked();
        }
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("zembra::CTaskbarNotifier")) {
        if (auto* notifier = qobject_cast<CTaskbarNotifier*>(object)) {
            return new CNotifierInterface(notifier);
        }
    }
    return nullptr;
}

Reporter g_reporter = nullptr;

void Report(QAccessibleEvent* event)
{
    if (g_reporter != nullptr) {
        g_reporter(event);
    } else {
        QAccessible::updateAccessibility(event);
    }
}

QString Wording(const QString& text)
{
    QString wording;
    for (const QChar c : text) {
        if (!c.isDigit()) {
            wording += c;
        }
    }
    return wording;
}

} // namespace

void Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void SetReporterForTesting(Reporter reporter)
{
    g_reporter = reporter;
}

bool SameWording(const QString& a, const QString& b)
{
    return Wording(a) == Wording(b);
}

void TextShown(CTaskbarNotifier* notifier, const QString& previous, const QString& text)
{
    // Showing the window is reported by Qt itself; while it is up, only a new wording is news.
    if (!notifier->isVisible() || SameWording(previous, text)) {
        return;
    }
    QAccessibleEvent nameChanged(notifier, QAccessible::NameChanged);
    Report(&nameChanged);
    QAccessibleEvent alert(notifier, QAccessible::Alert);
    Report(&alert);
}

} // namespace zembra::NotifierAccessible
