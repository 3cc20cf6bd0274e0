// The alarm list window's central widget: the rows and the model under them, clicks, keys and
// the context menu, the properties panel, a shown view with three alarms, and the status
// panel's countdown, which wakes once at each whole second of the time left, rewrites only its
// own line and sleeps while nobody can see it.

#include "../app/AlarmLists.h"
#include "CAlarmList.h"
#include "CBitmapViewer.h"
#include "CStatusDIalog.h"
#include "CZembracfgView.h"
#include "time/Clock.h"
#include "time/ZTime.h"

#include <QtTest>
#include <QtWidgets>

using namespace zembra;
using namespace Qt::StringLiterals;

class TestView : public QObject {
    Q_OBJECT

    FileTime m_now = 0;

    static QString Left(int s)
    {
        return u"(Pozostało: 00:00:%1)"_s.arg(s, 2, 10, QLatin1Char('0'));
    }

    // Three alarms and a view that shows them, as the document would build it.
    struct Fixture {
        CAlarm alarms[3] = {
            test::Alarm({2026, 3, 0, 30, 7, 0, 0, 0}, "Pobudka"),
            test::Alarm({2026, 4, 0, 2, 9, 30, 0, 0}, "Spotkanie", kFrequencyWeekly),
            test::Alarm({2026, 4, 0, 5, 23, 0, 0, 0}, "Wyłącz"),
        };
        CZembracfgView view;
        CAlarmList* list = view.List();
        QTimer* timer = view.findChild<QTimer*>(u"countdownTimer"_s);
        Fixture()
        {
            alarms[1].m_bActive = false;
            for (CAlarm& alarm : alarms)
                view.AddAlarmRow(&alarm);
        }
        void Show()
        {
            view.resize(800, 420);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
        }
        const CAlarm* At(int i) const { return &alarms[i]; }
        void ShowNext() { view.ShowNextAlarm(At(0), At(0)->m_time); }
        QLabel* Label(const QString& name) const { return view.findChild<QLabel*>(name); }
        QModelIndex Cell(int row, int column) const { return list->model()->index(row, column); }
        QPoint RowCentre(int row) const { return list->visualRect(Cell(row, 1)).center(); }
    };

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        ReloadTimeZone();
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        Clock::SetForTesting([this] { return m_now; });
    }
    void init() { m_now = LocalSystemTimeToUtc(SystemTime{2026, 3, 0, 29, 1, 56, 53, 0}).value(); }
    void cleanupTestCase() { Clock::SetForTesting({}); }

    // The on/off cells are check boxes to assistive technology, "off" included, in a named
    // column whose width a drag on its divider leaves as it is (the same drag on the next
    // divider does resize); a click on a box is one change of the user's. An edit rewrites the
    // row that holds the alarm, wherever the selection is, and that row alone, as one change of
    // that row (not a reset, nor a row taken out and put back); the check state it writes is no
    // tick of the user's. A deletion takes out that row.
    void onOffBoxesAreTheUsersAndRowsFollowTheDocumentOneAtATime()
    {
        Fixture f;
        f.Show();
        const QAbstractItemModel* model = f.list->model();
        QVERIFY(!model->headerData(0, Qt::Horizontal, Qt::AccessibleTextRole).toString().isEmpty());
        QCOMPARE(f.Cell(0, 1).data().toString(), u"30.03.2026 (pon.) 07:00:00, raz"_s);
        QCOMPARE(f.Cell(1, 0).data(Qt::CheckStateRole), QVariant(int(Qt::Unchecked)));

        QHeaderView* header = f.list->header();
        const int y = header->height() / 2;
        for (const int column : {0, 1}) {
            const int divider = header->sectionViewportPosition(column + 1) - 1;
            const int width = header->sectionSize(column);
            QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(divider, y));
            QTest::mouseMove(header->viewport(), QPoint(divider + 40, y));
            QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(divider + 40, y));
            QCOMPARE(header->sectionSize(column) > width, column == 1);
        }

        QSignalSpy checks(&f.view, &CZembracfgView::AlarmActiveChanged);
        QStyleOptionViewItem option;
        option.initFrom(f.list);
        option.rect = f.list->visualRect(f.Cell(0, 0));
        option.features = QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            f.list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, f.list);
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(checks.count(), 1);
        QCOMPARE(checks.at(0).at(0).value<const CAlarm*>(), f.At(0));
        QCOMPARE(checks.at(0).at(1).toBool(), false);

        f.list->SelectRow(2);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        CAlarm* edited = &f.alarms[1];
        edited->m_strComment = "Spotkanie przesunięte";
        edited->m_bActive = true;
        QVERIFY(f.view.UpdateAlarmRow(edited));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 1);
        QCOMPARE(changed.at(0).at(1).toModelIndex().row(), 1);
        QCOMPARE(f.Cell(1, 2).data().toString(), u"Spotkanie przesunięte"_s);
        QCOMPARE(f.Cell(1, 0).data(Qt::CheckStateRole), QVariant(int(Qt::Checked)));
        QCOMPARE(checks.count(), 1); // the check state written for the document is no tick
        const CAlarm stranger;
        QVERIFY(!f.view.UpdateAlarmRow(&stranger));
        QVERIFY(!f.view.DeleteAlarmRow(&stranger));

        QVERIFY(f.view.DeleteAlarmRow(edited));
        QCOMPARE(f.view.AlarmAt(0), f.At(0));
        QCOMPARE(f.view.AlarmAt(1), f.At(2));
    }

    // The picked alarm, shown in the properties panel, follows clicks and the arrows and stays
    // there when the texts are reloaded for a new language; Del, Insert and a double click act
    // on it, and a click below the rows picks none. From the keyboard (the Menu key, which the
    // platform turns into a context-menu event, or Shift+F10) the menu opens at the list's
    // corner, its commands enabled only while an alarm is picked.
    void pickFollowsClicksAndArrowsAndKeysActOnIt()
    {
        Fixture f;
        f.Show();
        QSignalSpy picked(&f.view, &CZembracfgView::SelectionChanged);
        QSignalSpy deletes(&f.view, &CZembracfgView::DeleteAlarmRequested);
        QSignalSpy edits(&f.view, &CZembracfgView::EditAlarmRequested);
        QSignalSpy news(&f.view, &CZembracfgView::NewAlarmRequested);
        auto* menu = f.view.findChild<QMenu*>(u"alarmContextMenu"_s);
        auto* edit = f.view.findChild<QAction*>(u"actionEdit"_s);
        QVERIFY(menu && edit);
        const QPoint corner = f.list->mapToGlobal(f.list->contentsRect().topLeft() + QPoint(5, 5));
        f.list->setFocus();
        QTest::keyClick(f.list, Qt::Key_Delete); // nothing picked: nothing to delete
        QContextMenuEvent fromKey(QContextMenuEvent::Keyboard, QPoint(200, 200),
                                  f.list->mapToGlobal(QPoint(200, 200)));
        QCoreApplication::sendEvent(f.list, &fromKey);
        QCOMPARE(f.list->LastContextMenuPosition(), corner);
        QVERIFY(menu->isVisible() && !edit->isEnabled());
        menu->hide();

        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, f.RowCentre(0));
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.at(0).at(0).value<const CAlarm*>(), f.At(0));
        QCOMPARE(f.Label(u"typeValue"_s)->text(), u"budzenie"_s);
        QTest::keyClick(f.list, Qt::Key_Down);
        QSignalSpy rebuild(&f.view, &CZembracfgView::RebuildRequested);
        f.view.ReloadTexts();
        QCOMPARE(rebuild.count(), 1);
        QCOMPARE(f.Label(u"timeValue"_s)->text(), u"2.04.2026 (czw.) 09:30:00, tygodniowo"_s);
        QTest::keyClick(f.list, Qt::Key_Delete);
        QTest::keyClick(f.list, Qt::Key_Insert);
        QCOMPARE(deletes.count(), 1);
        QCOMPARE(news.count(), 1);
        QCOMPARE(f.view.SelectedAlarm(), f.At(1));
        QTest::keyClick(f.list, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(menu->isVisible() && edit->isEnabled());
        menu->hide();
        QTest::mouseDClick(f.list->viewport(), Qt::LeftButton, {}, f.RowCentre(2));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(f.view.SelectedAlarm(), f.At(2));

        picked.clear();
        const QPoint belowTheRows(150, f.list->viewport()->height() - 5);
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, belowTheRows);
        QCOMPARE(f.list->FirstSelectedRow(), -1);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.at(0).at(0).value<const CAlarm*>(), nullptr);
        for (const QString& name : {u"typeValue"_s, u"timeValue"_s, u"actionValue"_s})
            QCOMPARE(f.Label(name)->text(), u"brak"_s);
    }

    // The tick is due just past the next whole second of the time left, wherever in the second
    // the countdown starts; every tick writes the next second, none is skipped or shown twice.
    void countdownTicksOnWholeSeconds_data()
    {
        QTest::addColumn<int>("startMs");
        QTest::addColumn<int>("firstWaitMs");
        QTest::newRow("on a whole second") << 0 << 1;
        QTest::newRow("a third into it") << 300 << 701;
        QTest::newRow("just before the next") << 999 << 2;
    }
    void countdownTicksOnWholeSeconds()
    {
        QFETCH(int, startMs);
        QFETCH(int, firstWaitMs);
        Fixture f;
        m_now = LocalSystemTimeToUtc(f.At(0)->m_time).value() - 10 * kTicksPerSecond
                + startMs * kTicksPerMillisecond;
        f.ShowNext();
        f.Show();
        const int first = startMs == 0 ? 10 : 9;
        QCOMPARE(f.timer->interval(), firstWaitMs);
        // The line changes alone and keeps its size, so the panel is not laid out again; a
        // screen reader hears what it says without a new name every second, and reaches it
        // with Tab.
        QLabel* line = f.Label(u"countdownLabel"_s);
        QVERIFY(line->focusPolicy() & Qt::TabFocus);
        const QSize size = line->size();
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(line);
        const QString name = face->text(QAccessible::Name);
        const QString before = f.view.StatusPanel()->NextAlarmText();

        // Each tick, taken when its timer is due, shows the next second and waits a second.
        QStringList shown{f.view.StatusPanel()->CountdownText()}, expected;
        while (f.timer->isActive()) {
            m_now += f.timer->interval() * kTicksPerMillisecond;
            f.view.RefreshCountdown();
            shown << f.view.StatusPanel()->CountdownText();
            QCOMPARE(face->text(QAccessible::Description), shown.last());
            QCOMPARE(face->text(QAccessible::Name), name);
            QCOMPARE(line->size(), size);
        }
        for (int left = first; left >= 0; --left)
            expected << Left(left);
        QCOMPARE(shown, expected);
        QCOMPARE(f.view.StatusPanel()->NextAlarmText(),
                 QString(before).replace(Left(first), Left(0)));
    }

    // The status panel shows its picture and the next alarm with its time left and comment.
    // Days are said only when there are any; a moment already past counts as zero. Nothing
    // ticks where nobody can see it: before the view is shown, hidden (a new next alarm
    // meanwhile does not wake it either), minimised, or with no alarm pending.
    void statusPanelShowsTheNextAlarmAndCountsDownOnlyWhileSeen()
    {
        Fixture f;
        f.ShowNext();
        QVERIFY(!f.timer->isActive());
        f.Show();
        QVERIFY(f.timer->isActive());
        QVERIFY(f.view.StatusPanel()->Picture()->IsLoaded());
        QCOMPARE(f.view.StatusPanel()->NextAlarmText(),
                 u"Najbliższy alarm:\n30.03.2026 (pon.) 07:00:00\n"
                 "(Pozostało: 1 dzień, 05:03:07)\nPobudka"_s);
        QCOMPARE(CZembracfgView::CountdownText(72 * kTicksPerHour + 5 * kTicksPerSecond),
                 u"(Pozostało: 3 dni, 00:00:05)"_s);
        QCOMPARE(CZembracfgView::CountdownText(-5 * kTicksPerSecond), Left(0));

        f.view.ShowNextAlarm(nullptr, {});
        QVERIFY(!f.timer->isActive());
        QCOMPARE(f.view.StatusPanel()->NextAlarmText(), u"Najbliższy alarm:\nbrak"_s);
        f.view.hide();
        f.ShowNext();
        QVERIFY(!f.timer->isActive());
        f.Show();
        QVERIFY(f.timer->isActive());
        f.view.setWindowState(Qt::WindowMinimized);
        QVERIFY(!f.timer->isActive());
    }
};

QTEST_MAIN(TestView)
#include "test_view.moc"
