// The alarm list window's central widget: countdown and row texts, clicks, keys and the context
// menu, the fixed check column, the countdown timer's life, and a rendered view with three alarms.

#include "CAlarmList.h"
#include "CBitmapViewer.h"
#include "CStatusDIalog.h"
#include "CZembracfgView.h"

#include "model/CAlarm.h"
#include "time/Clock.h"
#include "time/ZTime.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

using namespace zembra;

namespace {

SystemTime Local(int y, int mo, int d, int h, int mi, int s)
{
    const auto u = [](int v) { return static_cast<std::uint16_t>(v); };
    return SystemTime{u(y), u(mo), 0, u(d), u(h), u(mi), u(s), 0};
}

std::unique_ptr<CAlarm> MakeAlarm(const char* comment, SystemTime time, bool active,
                                  const char* frequency = kFrequencyOnce)
{
    auto alarm = std::make_unique<CAlarm>();
    alarm->m_strComment = comment;
    alarm->m_time = time;
    alarm->m_bActive = active;
    alarm->m_strFrequency = frequency;
    alarm->m_strType = kTypeWakeup;
    alarm->m_bMessageActive = true;
    return alarm;
}

FileTime Utc(const SystemTime& t)
{
    FileTime ft = 0;
    SystemTimeToFileTime(t, ft);
    return ft;
}

const CAlarm* SpiedAlarm(const QSignalSpy& spy, int index)
{
    return spy.at(index).at(0).value<const CAlarm*>();
}

} // namespace

class TestView : public QObject {
    Q_OBJECT

private:
    // Three alarms and a view that shows them, as the document would build it.
    struct Fixture {
        std::vector<std::unique_ptr<CAlarm>> alarms;
        CZembracfgView view;
        CAlarmList* list = nullptr;
        Fixture()
        {
            alarms.push_back(MakeAlarm("Pobudka", Local(2026, 3, 30, 7, 0, 0), true));
            alarms.push_back(
                MakeAlarm("Spotkanie", Local(2026, 4, 2, 9, 30, 0), false, kFrequencyWeekly));
            alarms.push_back(MakeAlarm("Wyłącz", Local(2026, 4, 5, 23, 0, 0), true));
            for (const auto& alarm : alarms)
                view.AddAlarmRow(alarm.get());
            list = view.List();
        }
        const CAlarm* At(int i) const { return alarms[static_cast<std::size_t>(i)].get(); }
        void Show()
        {
            view.resize(800, 420);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
        }
        QModelIndex Cell(int row, int column) const { return list->model()->index(row, column); }
        QRect RowRect(int row) const
        {
            return list->visualRect(Cell(row, 0)).united(list->visualRect(Cell(row, 2)));
        }
        QPoint RowCentre(int row) const { return RowRect(row).center() + QPoint(150, 0); }
    };

    static QLabel* Label(QWidget* root, const char* name)
    {
        return root->findChild<QLabel*>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        ReloadTimeZone();
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        Clock::SetForTesting([] { return Utc(Local(2026, 3, 29, 1, 56, 53)); });
    }

    void cleanupTestCase() { Clock::SetForTesting({}); }

    void countdownForms()
    {
        const FileTime h = kTicksPerHour, m = kTicksPerMinute, s = kTicksPerSecond;
        QCOMPARE(CZembracfgView::CountdownText(29 * h + 3 * m + 7 * s),
                 QStringLiteral("(Pozostało: 1 dzień, 05:03:07)"));
        QCOMPARE(CZembracfgView::CountdownText(3 * kTicksPerDay + 5 * s),
                 QStringLiteral("(Pozostało: 3 dni, 00:00:05)"));
        QCOMPARE(CZembracfgView::CountdownText(5 * h + 3 * m + 7 * s),
                 QStringLiteral("(Pozostało: 05:03:07)"));
        QCOMPARE(CZembracfgView::CountdownText(0), QStringLiteral("(Pozostało: 00:00:00)"));
        QCOMPARE(CZembracfgView::CountdownText(-5 * s), QStringLiteral("(Pozostało: 00:00:00)"));
    }

    void rowsFollowTheDocument()
    {
        Fixture f;
        QSignalSpy checks(&f.view, &CZembracfgView::AlarmActiveChanged);
        QCOMPARE(f.view.RowCount(), 3);
        QCOMPARE(f.view.AlarmAt(2), f.At(2));
        QCOMPARE(f.Cell(1, 0).data(Qt::CheckStateRole).toInt(), static_cast<int>(Qt::Unchecked));
        QCOMPARE(f.Cell(0, 1).data().toString(),
                 QStringLiteral("30.03.2026 (pon.) 07:00:00, raz"));

        // The row that holds the alarm is rewritten, wherever the selection is.
        f.list->SelectRow(2);
        CAlarm* edited = f.alarms[1].get();
        edited->m_strComment = "Spotkanie przesunięte";
        edited->m_bActive = true;
        edited->m_time = Local(2026, 4, 3, 10, 0, 0);
        QVERIFY(f.view.UpdateAlarmRow(edited));
        QCOMPARE(f.Cell(1, 2).data().toString(), QStringLiteral("Spotkanie przesunięte"));
        QCOMPARE(f.Cell(1, 0).data(Qt::CheckStateRole).toInt(), static_cast<int>(Qt::Checked));
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

    void clickPicksAndEmptyClickClears()
    {
        Fixture f;
        f.Show();
        QSignalSpy picked(&f.view, &CZembracfgView::SelectionChanged);
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, f.RowCentre(1));
        QCOMPARE(f.view.SelectedAlarm(), f.At(1));
        QCOMPARE(picked.count(), 1);
        QCOMPARE(SpiedAlarm(picked, 0), f.At(1));
        QCOMPARE(Label(&f.view, "typeValue")->text(), QStringLiteral("budzenie"));

        const QPoint empty(150, f.list->viewport()->height() - 5);
        QVERIFY(!f.list->indexAt(empty).isValid());
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, empty);
        QCOMPARE(f.list->FirstSelectedRow(), -1);
        QCOMPARE(f.view.SelectedAlarm(), nullptr);
        QCOMPARE(picked.count(), 2);
        QCOMPARE(SpiedAlarm(picked, 1), nullptr);
        for (const char* name : {"typeValue", "timeValue", "actionValue"})
            QCOMPARE(Label(&f.view, name)->text(), QStringLiteral("brak"));
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
        QCOMPARE(SpiedAlarm(checks, 0), f.At(1));
        QCOMPARE(checks.at(0).at(1).toBool(), true);
    }

    void deleteKeyAndDoubleClick()
    {
        Fixture f;
        f.Show();
        QSignalSpy deletes(&f.view, &CZembracfgView::DeleteAlarmRequested);
        QSignalSpy edits(&f.view, &CZembracfgView::EditAlarmRequested);
        f.list->setFocus();

        QTest::keyClick(f.list, Qt::Key_Delete);
        QCOMPARE(deletes.count(), 0);
        QCOMPARE(f.view.SelectedAlarm(), nullptr);

        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, f.RowCentre(0));
        QCOMPARE(f.view.SelectedAlarm(), f.At(0));
        // The picked alarm follows the arrows, as the properties panel does.
        QTest::keyClick(f.list, Qt::Key_Down);
        QCOMPARE(f.list->FirstSelectedRow(), 1);
        QCOMPARE(f.view.SelectedAlarm(), f.At(1));
        QCOMPARE(Label(&f.view, "timeValue")->text(), QStringLiteral("2.04.2026 (czw.) 09:30:00, tygodniowo"));
        // Del asks for the deletion of that row.
        QTest::keyClick(f.list, Qt::Key_Delete);
        QCOMPARE(deletes.count(), 1);
        QCOMPARE(f.view.SelectedAlarm(), f.At(1));

        QTest::mouseDClick(f.list->viewport(), Qt::LeftButton, {}, f.RowCentre(2));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(f.view.SelectedAlarm(), f.At(2));
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

    void contextMenuPositionsAndCommands()
    {
        Fixture f;
        f.Show();
        auto* menu = f.view.findChild<QMenu*>(QStringLiteral("alarmContextMenu"));
        QVERIFY(menu);
        auto* edit = menu->findChild<QAction*>(QStringLiteral("actionEdit"));
        auto* remove = menu->findChild<QAction*>(QStringLiteral("actionDelete"));
        QVERIFY(edit && remove);
        const QPoint corner = f.list->mapToGlobal(f.list->contentsRect().topLeft() + QPoint(5, 5));

        QContextMenuEvent fromKey(QContextMenuEvent::Keyboard, QPoint(200, 200),
                                  f.list->mapToGlobal(QPoint(200, 200)));
        QCoreApplication::sendEvent(f.list, &fromKey);
        QCOMPARE(f.list->LastContextMenuPosition(), corner);
        QVERIFY(menu->isVisible());
        QVERIFY(!edit->isEnabled());
        QVERIFY(!remove->isEnabled());
        menu->hide();

        // With a row picked, Shift+F10 opens it at the same place with the commands enabled.
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, f.RowCentre(0));
        f.list->setFocus();
        QTest::keyClick(f.list, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(f.list->LastContextMenuPosition(), corner);
        QVERIFY(edit->isEnabled() && remove->isEnabled());
        menu->hide();
    }

    void countdownRunsOnlyWhileVisible()
    {
        Fixture f;
        auto* timer = f.view.findChild<QTimer*>(QStringLiteral("countdownTimer"));
        QVERIFY(timer);
        CStatusDIalog* status = f.view.StatusPanel();
        QCOMPARE(status->NextAlarmText(), QStringLiteral("Najbliższy alarm:\nbrak\n"));

        // Now is 2026-03-29 01:56:53 UTC: Pobudka fires 1 day 05:03:07 later.
        f.view.ShowNextAlarm(f.At(0), f.At(0)->m_time);
        QVERIFY(!timer->isActive());
        QCOMPARE(status->CountdownText(), QStringLiteral("(Pozostało: 1 dzień, 05:03:07)"));

        f.Show();
        QVERIFY(timer->isActive());
        Clock::SetForTesting([] { return Utc(Local(2026, 3, 29, 1, 56, 54)); });
        f.view.RefreshCountdown();
        Clock::SetForTesting([] { return Utc(Local(2026, 3, 29, 1, 56, 53)); });
        QCOMPARE(status->CountdownText(), QStringLiteral("(Pozostało: 1 dzień, 05:03:06)"));

        f.view.hide();
        QVERIFY(!timer->isActive());
        f.view.show();
        f.view.ShowNextAlarm(nullptr, {});
        QVERIFY(!timer->isActive());
        QCOMPARE(status->NextAlarmText(), QStringLiteral("Najbliższy alarm:\nbrak"));
    }

    void propertiesLabelsAndReload()
    {
        Fixture f;
        QCOMPARE(Label(&f.view, "typeLabel")->text(), QStringLiteral("Rodzaj:"));

        QSignalSpy rebuild(&f.view, &CZembracfgView::RebuildRequested);
        f.view.ShowAlarmProperties(f.At(2));
        f.view.ReloadTexts();
        QCOMPARE(rebuild.count(), 1);
        QCOMPARE(Label(&f.view, "typeLabel")->text(), QStringLiteral("Typ:"));
        QCOMPARE(Label(&f.view, "timeValue")->text(),
                 QStringLiteral("5.04.2026 (niedz.) 23:00:00, raz"));
    }

    void viewWithThreeAlarmsRenders()
    {
        Fixture f;
        f.view.ShowNextAlarm(f.At(0), f.At(0)->m_time);
        f.Show();
        QVERIFY(f.view.StatusPanel()->Picture()->IsLoaded());

        const QImage shot = f.view.grab().toImage();
        const QString path = QDir(QCoreApplication::applicationDirPath())
                                 .filePath(QStringLiteral("test_view_three_alarms.png"));
        QVERIFY(shot.save(path));
        QCOMPARE(QImage(path).size(), shot.size());

        QCOMPARE(f.list->RowCount(), 3);
        for (int row = 0; row < 3; ++row)
            QVERIFY(!f.RowRect(row).isEmpty());
        const QString status = f.view.StatusPanel()->NextAlarmText();
        QVERIFY2(status.startsWith(QStringLiteral("Najbliższy alarm:\n")), qPrintable(status));
        QVERIFY2(status.endsWith(QStringLiteral("\nPobudka")), qPrintable(status));
    }
};

QTEST_MAIN(TestView)
#include "test_view.moc"
