// What a long list and a running countdown cost: the list's rows live in a model that rewrites
// one row at a time and says what its check boxes are to screen readers; the status panel's
// countdown wakes once at each whole second of the time left, rewrites only its own line, and
// stays asleep while nobody can see it.

#include "CAlarmList.h"
#include "CStatusDIalog.h"
#include "CZembracfgView.h"

#include "model/CAlarm.h"
#include "time/Clock.h"
#include "time/ZTime.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

using namespace zembra;

namespace {

// 2026-03-29 06:00:00 UTC plus `ms` milliseconds.
FileTime At(long long ms)
{
    const SystemTime base{2026, 3, 0, 29, 6, 0, 0, 0};
    FileTime ft = 0;
    SystemTimeToFileTime(base, ft);
    return ft + ms * kTicksPerMillisecond;
}

std::unique_ptr<CAlarm> MakeAlarm(const char* comment, bool active)
{
    auto alarm = std::make_unique<CAlarm>();
    alarm->m_strComment = comment;
    // 10 s after the base moment, in local time (the test runs in UTC).
    alarm->m_time = SystemTime{2026, 3, 0, 29, 6, 0, 10, 0};
    alarm->m_bActive = active;
    alarm->m_strFrequency = kFrequencyOnce;
    alarm->m_strType = kTypeWakeup;
    return alarm;
}

} // namespace

class TestListAndCountdown : public QObject {
    Q_OBJECT

private:
    FileTime m_now = At(0);

    struct Fixture {
        std::vector<std::unique_ptr<CAlarm>> alarms;
        CZembracfgView view;
        QTimer* timer = nullptr;
        Fixture()
        {
            alarms.push_back(MakeAlarm("Pobudka", true));
            alarms.push_back(MakeAlarm("Spotkanie", false));
            for (const auto& alarm : alarms)
                view.AddAlarmRow(alarm.get());
            timer = view.findChild<QTimer*>(QStringLiteral("countdownTimer"));
        }
        void Show()
        {
            view.resize(800, 420);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
        }
    };

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        ReloadTimeZone();
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        Clock::SetForTesting([this] { return m_now; });
    }

    void cleanupTestCase() { Clock::SetForTesting({}); }

    // The tick is due just past the next whole second of the time left, wherever in the second
    // the countdown starts; every tick writes the next second, none is skipped or shown twice.
    void countdownTicksOnWholeSeconds_data()
    {
        QTest::addColumn<long long>("startMs");
        QTest::addColumn<int>("firstWaitMs");
        QTest::newRow("on a whole second") << 0LL << 1;
        QTest::newRow("a third into it") << 300LL << 701;
        QTest::newRow("just before the next") << 999LL << 2;
    }
    void countdownTicksOnWholeSeconds()
    {
        QFETCH(long long, startMs);
        QFETCH(int, firstWaitMs);
        m_now = At(startMs);
        Fixture f;
        f.view.ShowNextAlarm(f.alarms[0].get(), f.alarms[0]->m_time);
        f.Show();
        CStatusDIalog* status = f.view.StatusPanel();
        const QString first = startMs == 0 ? QStringLiteral("(Pozostało: 00:00:10)")
                                           : QStringLiteral("(Pozostało: 00:00:09)");
        QCOMPARE(status->CountdownText(), first);
        QVERIFY(f.timer->isSingleShot());
        QCOMPARE(f.timer->interval(), firstWaitMs);

        // Each tick, taken when its timer is due, shows the next second and waits a second.
        QStringList shown{first};
        long long now = startMs;
        int wait = firstWaitMs;
        while (f.timer->isActive()) {
            now += wait;
            m_now = At(now);
            f.view.RefreshCountdown();
            shown << status->CountdownText();
            wait = f.timer->interval();
        }
        QStringList expected;
        for (int left = startMs == 0 ? 10 : 9; left >= 0; --left)
            expected << QStringLiteral("(Pozostało: 00:00:%1)").arg(left, 2, 10, QLatin1Char('0'));
        QCOMPARE(shown, expected);
        // At the moment itself the countdown rests at zero until the next alarm is named.
        QVERIFY(!f.timer->isActive());
    }

    // The countdown line changes alone: the heading and the comment keep their text and the
    // line keeps its size, so the panel is not laid out again.
    void aTickRewritesOnlyTheCountdownLine()
    {
        m_now = At(0);
        Fixture f;
        f.view.ShowNextAlarm(f.alarms[0].get(), f.alarms[0]->m_time);
        f.Show();
        auto* line = f.view.findChild<QLabel*>(QStringLiteral("countdownLabel"));
        QVERIFY(line);
        const QSize size = line->size();
        QCOMPARE(line->minimumSize(), line->maximumSize());
        const QString before = f.view.StatusPanel()->NextAlarmText();
        m_now = At(1);
        f.view.RefreshCountdown();
        const QString after = f.view.StatusPanel()->NextAlarmText();
        QCOMPARE(after, QString(before).replace(QStringLiteral("00:00:10"), QStringLiteral("00:00:09")));
        QCOMPARE(line->size(), size);
    }

    // Nothing ticks where nobody can see it: hidden, minimised, or with no alarm pending.
    void countdownSleepsUnseen_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("hidden") << QStringLiteral("hide");
        QTest::newRow("minimised") << QStringLiteral("minimise");
        QTest::newRow("no alarm pending") << QStringLiteral("none");
    }
    void countdownSleepsUnseen()
    {
        QFETCH(QString, how);
        m_now = At(0);
        Fixture f;
        f.view.ShowNextAlarm(f.alarms[0].get(), f.alarms[0]->m_time);
        f.Show();
        QVERIFY(f.timer->isActive());
        if (how == QLatin1String("hide")) {
            f.view.hide();
        } else if (how == QLatin1String("minimise")) {
            f.view.setWindowState(Qt::WindowMinimized);
        } else {
            f.view.ShowNextAlarm(nullptr, {});
        }
        QVERIFY(!f.timer->isActive());
        // A new next alarm while unseen does not wake it either.
        if (how != QLatin1String("none")) {
            f.view.ShowNextAlarm(f.alarms[0].get(), f.alarms[0]->m_time);
            QVERIFY(!f.timer->isActive());
        }
    }

    // A screen reader hears what the countdown says without a new name every second, and can
    // reach it with Tab.
    void countdownKeepsItsNameAndTakesTheFocus()
    {
        m_now = At(0);
        Fixture f;
        f.view.ShowNextAlarm(f.alarms[0].get(), f.alarms[0]->m_time);
        f.Show();
        auto* line = f.view.findChild<QLabel*>(QStringLiteral("countdownLabel"));
        QVERIFY(line);
        QVERIFY(line->focusPolicy() & Qt::TabFocus);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(line);
        QVERIFY(face);
        const QString name = face->text(QAccessible::Name);
        QVERIFY(!name.isEmpty());
        QCOMPARE(face->text(QAccessible::Description), QStringLiteral("(Pozostało: 00:00:10)"));
        m_now = At(1);
        f.view.RefreshCountdown();
        QCOMPARE(face->text(QAccessible::Name), name);
        QCOMPARE(face->text(QAccessible::Description), QStringLiteral("(Pozostało: 00:00:09)"));
    }

    // Rewriting one alarm changes its row only: no reset, no row taken out or put in.
    void editingOneAlarmTouchesOneRow()
    {
        Fixture f;
        const QAbstractItemModel* model = f.view.List()->model();
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        f.alarms[1]->m_strComment = "Spotkanie przesunięte";
        QVERIFY(f.view.UpdateAlarmRow(f.alarms[1].get()));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 1);
        QCOMPARE(changed.at(0).at(1).toModelIndex().row(), 1);
        QCOMPARE(reset.count() + removed.count() + inserted.count(), 0);
        QCOMPARE(model->index(1, CAlarmList::kCommentColumn).data().toString(),
                 QStringLiteral("Spotkanie przesunięte"));
    }

    // The on/off cells are check boxes to assistive technology, "off" included; the column and
    // the list have names; the palette, not the list, chooses the colours.
    void listSaysWhatItShows()
    {
        Fixture f;
        CAlarmList* list = f.view.List();
        QVERIFY(!list->accessibleName().isEmpty());
        const QAbstractItemModel* model = list->model();
        QVERIFY(!model->headerData(CAlarmList::kCheckColumn, Qt::Horizontal, Qt::AccessibleTextRole)
                     .toString()
                     .isEmpty());
        for (int row = 0; row < 2; ++row) {
            const QModelIndex cell = model->index(row, CAlarmList::kCheckColumn);
            QVERIFY(model->flags(cell) & Qt::ItemIsUserCheckable);
            QCOMPARE(cell.data(Qt::CheckStateRole).toInt(),
                     static_cast<int>(row == 0 ? Qt::Checked : Qt::Unchecked));
        }
        QVERIFY(!list->testAttribute(Qt::WA_SetPalette));
        QCOMPARE(list->palette().color(QPalette::Base),
                 QApplication::palette(list).color(QPalette::Base));
    }
};

QTEST_MAIN(TestListAndCountdown)
#include "test_list_and_countdown.moc"
