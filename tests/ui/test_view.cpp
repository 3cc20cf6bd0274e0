// The alarm list window's central widget: the rows and the model under them, clicks, keys and
// the context menu, the properties panel, a rendered view with three alarms, and the status
// panel's countdown, which wakes once at each whole second of the time left, rewrites only its
// own line and sleeps while nobody can see it.

#include "CAlarmList.h"
#include "CBitmapViewer.h"
#include "CStatusDIalog.h"
#include "CZembracfgView.h"

#include "model/CAlarm.h"
#include "time/Clock.h"
#include "time/ZTime.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPalette>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

using namespace zembra;

class TestView : public QObject {
    Q_OBJECT

    FileTime m_now = 0;

    static FileTime Utc(const SystemTime& t)
    {
        FileTime ft = 0;
        SystemTimeToFileTime(t, ft);
        return ft;
    }
    static QString Left(int s)
    {
        return QStringLiteral("(Pozostało: 00:00:%1)").arg(s, 2, 10, QLatin1Char('0'));
    }
    static const CAlarm* Spied(const QSignalSpy& spy, int i)
    {
        return spy.at(i).at(0).value<const CAlarm*>();
    }

    // Three alarms and a view that shows them, as the document would build it.
    struct Fixture {
        std::vector<std::unique_ptr<CAlarm>> alarms;
        CZembracfgView view;
        CAlarmList* list = view.List();
        QTimer* timer = view.findChild<QTimer*>(QStringLiteral("countdownTimer"));
        Fixture()
        {
            Add("Pobudka", SystemTime{2026, 3, 0, 30, 7, 0, 0, 0}, true, kFrequencyOnce);
            Add("Spotkanie", SystemTime{2026, 4, 0, 2, 9, 30, 0, 0}, false, kFrequencyWeekly);
            Add("Wyłącz", SystemTime{2026, 4, 0, 5, 23, 0, 0, 0}, true, kFrequencyOnce);
        }
        void Add(const char* comment, SystemTime time, bool active, const char* frequency)
        {
            CAlarm& alarm = *alarms.emplace_back(std::make_unique<CAlarm>());
            alarm.m_strComment = comment;
            alarm.m_time = time;
            alarm.m_bActive = active;
            alarm.m_strFrequency = frequency;
            alarm.m_strType = kTypeWakeup;
            alarm.m_bMessageActive = true;
            view.AddAlarmRow(&alarm);
        }
        void Show()
        {
            view.resize(800, 420);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
        }
        const CAlarm* At(int i) const { return alarms[static_cast<std::size_t>(i)].get(); }
        void ShowNext() { view.ShowNextAlarm(At(0), At(0)->m_time); }
        QString Countdown() const { return view.StatusPanel()->CountdownText(); }
        QLabel* Label(const char* name) const
        {
            return view.findChild<QLabel*>(QLatin1String(name));
        }
        QModelIndex Cell(int row, int column) const { return list->model()->index(row, column); }
        QRect RowRect(int row) const
        {
            return list->visualRect(Cell(row, 0)).united(list->visualRect(Cell(row, 2)));
        }
        QPoint RowCentre(int row) const { return RowRect(row).center() + QPoint(150, 0); }
        void Click(int row)
        {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(row));
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
    void init() { m_now = Utc(SystemTime{2026, 3, 0, 29, 1, 56, 53, 0}); }
    void cleanupTestCase() { Clock::SetForTesting({}); }

    void countdownTextDropsNoDaysAndStopsAtZero()
    {
        const FileTime h = kTicksPerHour, m = kTicksPerMinute, s = kTicksPerSecond;
        const std::pair<FileTime, QString> cases[] = {
            {29 * h + 3 * m + 7 * s, QStringLiteral("1 dzień, 05:03:07")},
            {3 * kTicksPerDay + 5 * s, QStringLiteral("3 dni, 00:00:05")},
            {5 * h + 3 * m + 7 * s, QStringLiteral("05:03:07")},
            {0, QStringLiteral("00:00:00")},
            {-5 * s, QStringLiteral("00:00:00")}};
        for (const auto& [left, text] : cases)
            QCOMPARE(CZembracfgView::CountdownText(left),
                     QStringLiteral("(Pozostało: %1)").arg(text));
    }

    // An edit rewrites the row that holds the alarm, wherever the selection is, and that row
    // alone: no reset, no row taken out or put in; a deletion takes out that row.
    void rowsFollowTheDocumentOneAtATime()
    {
        Fixture f;
        QCOMPARE(f.view.RowCount(), 3);
        QCOMPARE(f.view.AlarmAt(2), f.At(2));
        QCOMPARE(f.Cell(0, 1).data().toString(), QStringLiteral("30.03.2026 (pon.) 07:00:00, raz"));
        f.list->SelectRow(2);
        const QAbstractItemModel* model = f.list->model();
        QSignalSpy checks(&f.view, &CZembracfgView::AlarmActiveChanged);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        CAlarm* edited = f.alarms[1].get();
        edited->m_strComment = "Spotkanie przesunięte";
        edited->m_bActive = true;
        edited->m_time = SystemTime{2026, 4, 0, 3, 10, 0, 0, 0};
        QVERIFY(f.view.UpdateAlarmRow(edited));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 1);
        QCOMPARE(changed.at(0).at(1).toModelIndex().row(), 1);
        QCOMPARE(reset.count() + removed.count() + inserted.count(), 0);
        QCOMPARE(f.Cell(1, 2).data().toString(), QStringLiteral("Spotkanie przesunięte"));
        QCOMPARE(f.Cell(1, 0).data(Qt::CheckStateRole), QVariant(int(Qt::Checked)));
        QCOMPARE(f.Cell(2, 2).data().toString(), QStringLiteral("Wyłącz"));
        // Check states written for the document are not the user's ticks.
        QCOMPARE(checks.count(), 0);
        const CAlarm stranger;
        QVERIFY(!f.view.UpdateAlarmRow(&stranger));
        QVERIFY(!f.view.DeleteAlarmRow(&stranger));

        QVERIFY(f.view.DeleteAlarmRow(edited));
        QCOMPARE(f.view.RowCount(), 2);
        QCOMPARE(f.view.AlarmAt(0), f.At(0));
        QCOMPARE(f.view.AlarmAt(1), f.At(2));
    }

    // The on/off cells are check boxes to assistive technology, "off" included; the column and
    // the list have names; the palette, not the list, chooses the colours.
    void listSaysWhatItShows()
    {
        Fixture f;
        QVERIFY(!f.list->accessibleName().isEmpty());
        QVERIFY(!f.list->model()
                     ->headerData(CAlarmList::kCheckColumn, Qt::Horizontal, Qt::AccessibleTextRole)
                     .toString()
                     .isEmpty());
        for (int row = 0; row < 3; ++row) {
            QVERIFY(f.Cell(row, 0).flags() & Qt::ItemIsUserCheckable);
            QCOMPARE(f.Cell(row, 0).data(Qt::CheckStateRole),
                     QVariant(int(row == 1 ? Qt::Unchecked : Qt::Checked)));
        }
        QVERIFY(!f.list->testAttribute(Qt::WA_SetPalette));
        QCOMPARE(f.list->palette().color(QPalette::Base),
                 QApplication::palette(f.list).color(QPalette::Base));
    }

    void tickingABoxEmitsOnce()
    {
        Fixture f;
        f.Show();
        QSignalSpy checks(&f.view, &CZembracfgView::AlarmActiveChanged);
        QStyleOptionViewItem option;
        option.initFrom(f.list);
        option.rect = f.RowRect(1);
        option.rect.setWidth(f.list->columnWidth(0));
        option.features = QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            f.list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, f.list);
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(checks.count(), 1);
        QCOMPARE(Spied(checks, 0), f.At(1));
        QCOMPARE(checks.at(0).at(1).toBool(), true);
    }

    // The picked alarm, shown in the properties panel, follows clicks and the arrows; Del and a
    // double click act on it; a click below the rows picks none.
    void pickFollowsClicksAndArrowsAndKeysActOnIt()
    {
        Fixture f;
        f.Show();
        QSignalSpy picked(&f.view, &CZembracfgView::SelectionChanged);
        QSignalSpy deletes(&f.view, &CZembracfgView::DeleteAlarmRequested);
        QSignalSpy edits(&f.view, &CZembracfgView::EditAlarmRequested);
        f.list->setFocus();
        QTest::keyClick(f.list, Qt::Key_Delete);
        QCOMPARE(deletes.count(), 0);
        QCOMPARE(f.view.SelectedAlarm(), nullptr);

        f.Click(0);
        QCOMPARE(f.view.SelectedAlarm(), f.At(0));
        QCOMPARE(picked.count(), 1);
        QCOMPARE(Spied(picked, 0), f.At(0));
        QCOMPARE(f.Label("typeValue")->text(), QStringLiteral("budzenie"));
        QTest::keyClick(f.list, Qt::Key_Down);
        QCOMPARE(f.list->FirstSelectedRow(), 1);
        QCOMPARE(f.view.SelectedAlarm(), f.At(1));
        QCOMPARE(f.Label("timeValue")->text(),
                 QStringLiteral("2.04.2026 (czw.) 09:30:00, tygodniowo"));
        QTest::keyClick(f.list, Qt::Key_Delete);
        QCOMPARE(deletes.count(), 1);
        QCOMPARE(f.view.SelectedAlarm(), f.At(1));
        QTest::mouseDClick(f.list->viewport(), Qt::LeftButton, {}, f.RowCentre(2));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(f.view.SelectedAlarm(), f.At(2));

        const QPoint empty(150, f.list->viewport()->height() - 5);
        QVERIFY(!f.list->indexAt(empty).isValid());
        picked.clear();
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, empty);
        QCOMPARE(f.list->FirstSelectedRow(), -1);
        QCOMPARE(f.view.SelectedAlarm(), nullptr);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(Spied(picked, 0), nullptr);
        for (const char* name : {"typeValue", "timeValue", "actionValue"})
            QCOMPARE(f.Label(name)->text(), QStringLiteral("brak"));
    }

    void checkColumnCannotBeResized()
    {
        Fixture f;
        f.Show();
        QHeaderView* header = f.list->header();
        QCOMPARE(header->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(header->sectionSize(0), 30);
        const auto drag = [header](int divider, int by) {
            const int y = header->height() / 2;
            QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(divider, y));
            QTest::mouseMove(header->viewport(), QPoint(divider + by / 2, y));
            QTest::mouseMove(header->viewport(), QPoint(divider + by, y));
            QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(divider + by, y));
        };
        drag(header->sectionViewportPosition(1) - 1, 60);
        QCOMPARE(header->sectionSize(0), 30);
        // The same drag on the next divider does resize.
        const int time = header->sectionSize(1);
        drag(header->sectionViewportPosition(2) - 1, 40);
        QVERIFY(header->sectionSize(1) > time);
    }

    // From the keyboard the menu opens at the list's corner, its commands enabled only while
    // an alarm is picked.
    void contextMenuFromTheKeyboard()
    {
        Fixture f;
        f.Show();
        auto* menu = f.view.findChild<QMenu*>(QStringLiteral("alarmContextMenu"));
        QVERIFY(menu);
        auto* edit = menu->findChild<QAction*>(QStringLiteral("actionEdit"));
        auto* remove = menu->findChild<QAction*>(QStringLiteral("actionDelete"));
        QVERIFY(edit && remove);
        const QPoint corner = f.list->mapToGlobal(f.list->contentsRect().topLeft() + QPoint(5, 5));
        // The Menu key with no alarm picked, then Shift+F10 with one.
        QContextMenuEvent fromKey(QContextMenuEvent::Keyboard, QPoint(200, 200),
                                  f.list->mapToGlobal(QPoint(200, 200)));
        QCoreApplication::sendEvent(f.list, &fromKey);
        for (const bool picked : {false, true}) {
            if (picked) {
                f.Click(0);
                f.list->setFocus();
                QTest::keyClick(f.list, Qt::Key_F10, Qt::ShiftModifier);
            }
            QCOMPARE(f.list->LastContextMenuPosition(), corner);
            QVERIFY(menu->isVisible());
            QCOMPARE(edit->isEnabled(), picked);
            QCOMPARE(remove->isEnabled(), picked);
            menu->hide();
        }
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
        const FileTime tenBefore = Utc(f.At(0)->m_time) - 10 * kTicksPerSecond;
        long long now = startMs;
        m_now = tenBefore + now * kTicksPerMillisecond;
        f.ShowNext();
        QVERIFY(!f.timer->isActive()); // not before it can be seen
        f.Show();
        const int first = startMs == 0 ? 10 : 9;
        QCOMPARE(f.Countdown(), Left(first));
        QVERIFY(f.timer->isSingleShot());
        QCOMPARE(f.timer->interval(), firstWaitMs);
        // The line changes alone and keeps its size, so the panel is not laid out again; a
        // screen reader hears what it says without a new name every second, and reaches it
        // with Tab.
        QLabel* line = f.Label("countdownLabel");
        QVERIFY(line->focusPolicy() & Qt::TabFocus);
        QCOMPARE(line->minimumSize(), line->maximumSize());
        const QSize size = line->size();
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(line);
        const QString name = face->text(QAccessible::Name);
        QVERIFY(!name.isEmpty());
        const QString before = f.view.StatusPanel()->NextAlarmText();

        // Each tick, taken when its timer is due, shows the next second and waits a second.
        QStringList shown{f.Countdown()}, expected;
        while (f.timer->isActive()) {
            now += f.timer->interval();
            m_now = tenBefore + now * kTicksPerMillisecond;
            f.view.RefreshCountdown();
            shown << f.Countdown();
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
        Fixture f;
        CStatusDIalog* status = f.view.StatusPanel();
        QCOMPARE(status->NextAlarmText(), QStringLiteral("Najbliższy alarm:\nbrak\n"));
        f.ShowNext();
        f.Show();
        QVERIFY(f.timer->isActive());
        if (how == QLatin1String("hide"))
            f.view.hide();
        else if (how == QLatin1String("minimise"))
            f.view.setWindowState(Qt::WindowMinimized);
        else
            f.view.ShowNextAlarm(nullptr, {});
        QVERIFY(!f.timer->isActive());
        if (how == QLatin1String("none")) {
            QCOMPARE(status->NextAlarmText(), QStringLiteral("Najbliższy alarm:\nbrak"));
        } else { // a new next alarm while unseen does not wake it either
            f.ShowNext();
            QVERIFY(!f.timer->isActive());
        }
    }

    // The properties panel speaks the language reloaded; the status panel shows its picture
    // and the next alarm's comment. The shot is left beside the test for a look.
    void panelsAndARenderedViewWithThreeAlarms()
    {
        Fixture f;
        QCOMPARE(f.Label("typeLabel")->text(), QStringLiteral("Rodzaj:"));
        QSignalSpy rebuild(&f.view, &CZembracfgView::RebuildRequested);
        f.view.ShowAlarmProperties(f.At(2));
        f.view.ReloadTexts();
        QCOMPARE(rebuild.count(), 1);
        QCOMPARE(f.Label("typeLabel")->text(), QStringLiteral("Typ:"));
        QCOMPARE(f.Label("timeValue")->text(), QStringLiteral("5.04.2026 (niedz.) 23:00:00, raz"));

        f.ShowNext();
        f.Show();
        QVERIFY(f.view.StatusPanel()->Picture()->IsLoaded());
        QVERIFY(f.view.grab().toImage().save(
            QDir(QCoreApplication::applicationDirPath())
                .filePath(QStringLiteral("test_view_three_alarms.png"))));
        for (int row = 0; row < 3; ++row)
            QVERIFY(!f.RowRect(row).isEmpty());
        const QString status = f.view.StatusPanel()->NextAlarmText();
        QVERIFY2(status.startsWith(QStringLiteral("Najbliższy alarm:\n")), qPrintable(status));
        QVERIFY2(status.endsWith(QStringLiteral("\nPobudka")), qPrintable(status));
    }
};

QTEST_MAIN(TestView)
#include "test_view.moc"
