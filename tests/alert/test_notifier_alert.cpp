// The pop-up beside the clock as a screen reader meets it: an alert named by the text it shows,
// whose new texts are reported while it is up, while a countdown ticking each second is not.

#include "CTaskbarNotifier.h"
#include "NotifierAccessible.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <vector>

using zembra::CTaskbarNotifier;

namespace {

struct Reported {
    QAccessible::Event type;
    QString name;
};

std::vector<Reported>& Log()
{
    static std::vector<Reported> log;
    return log;
}

// Only the pop-up's own events count; its parts and other widgets are not under test.
void Record(QAccessibleEvent* event)
{
    if (qobject_cast<CTaskbarNotifier*>(event->object()) == nullptr) {
        return;
    }
    QAccessibleInterface* accessible = event->accessibleInterface();
    Log().push_back(
        {event->type(), accessible != nullptr ? accessible->text(QAccessible::Name) : QString()});
}

QStringList Seen()
{
    QStringList seen;
    for (const Reported& reported : Log()) {
        const char* type = reported.type == QAccessible::NameChanged ? "name"
                           : reported.type == QAccessible::Alert     ? "alert"
                                                                     : "other";
        seen << QStringLiteral("%1 %2").arg(QLatin1String(type), reported.name);
    }
    return seen;
}

void SetUp(CTaskbarNotifier& notifier)
{
    QVERIFY(notifier.LoadSkin(CTaskbarNotifier::ProgramSkin(), CTaskbarNotifier::ProgramSkinKey()));
    notifier.SetTextArea(64, 16, 224, 48);
}

void Show(CTaskbarNotifier& notifier, const QString& text)
{
    notifier.ShowText(text, 500, 10000, 500);
    for (int i = 0; i < 1000 && notifier.State() != CTaskbarNotifier::StateWaiting; ++i) {
        notifier.OnTimer(CTaskbarNotifier::TimerSlideIn);
    }
}

} // namespace

class TestNotifierAlert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { zembra::NotifierAccessible::SetReporterForTesting(&Record); }
    void cleanupTestCase() { zembra::NotifierAccessible::SetReporterForTesting(nullptr); }
    void init() { Log().clear(); }

    void isAnAlertNamedByItsText()
    {
        CTaskbarNotifier notifier;
        SetUp(notifier);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&notifier);
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->role(), QAccessible::AlertMessage);
        QVERIFY(!accessible->text(QAccessible::Name).isEmpty());
        Show(notifier, QStringLiteral("Wynieś śmieci"));
        // Its showing is what a reader announces, with the name it has then.
        QVERIFY(!accessible->state().invisible);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Wynieś śmieci"));
        // Pressing it, as a reader may offer, does what a click does.
        QAccessibleActionInterface* actions = accessible->actionInterface();
        QVERIFY(actions != nullptr);
        QSignalSpy clicked(&notifier, &CTaskbarNotifier::Clicked);
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clicked.size(), 1);
    }

    void reportsWhatIsNewOnly_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("reported");
        QTest::newRow("a message appears")
            << QStringList{QStringLiteral("Wynieś śmieci")} << QStringList{};
        QTest::newRow("a second message while up")
            << QStringList{QStringLiteral("1: Kawa"), QStringLiteral("2: Herbata")}
            << QStringList{QStringLiteral("name 2: Herbata"), QStringLiteral("alert 2: Herbata")};
        QTest::newRow("a countdown ticks")
            << QStringList{QStringLiteral("Do uśpienia zostało: 04:59"),
                           QStringLiteral("Do uśpienia zostało: 04:58"),
                           QStringLiteral("Do uśpienia zostało: 04:57")}
            << QStringList{};
        QTest::newRow("a message replaces the countdown")
            << QStringList{QStringLiteral("Do uśpienia zostało: 00:10"),
                           QStringLiteral("Pora spać")}
            << QStringList{QStringLiteral("name Pora spać"), QStringLiteral("alert Pora spać")};
    }

    void reportsWhatIsNewOnly()
    {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, reported);
        CTaskbarNotifier notifier;
        SetUp(notifier);
        Log().clear();
        for (const QString& text : texts) {
            Show(notifier, text);
        }
        QCOMPARE(Seen(), reported);
    }
};

QTEST_MAIN(TestNotifierAlert)
#include "test_notifier_alert.moc"
