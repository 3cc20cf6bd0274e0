// The alarm list window's central widget: countdown and row texts, the list's clicks, keys and
// context menu, the fixed check column, the countdown timer's life, the panels' texts, and a
// rendered view with three alarms.

#include "CAlarmList.h"
#include "CAlarmPropDialog.h"
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
    SystemTime t;
    t.wYear = static_cast<std::uint16_t>(y);
    t.wMonth = static_cast<std::uint16_t>(mo);
    t.wDay = static_cast<std::uint16_t>(d);
    t.wHour = static_cast<std::uint16_t>(h);
    t.wMinute = static_cast<std::uint16_t>(mi);
    t.wSecond = static_cast<std::uint16_t>(s);
    return t;
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
        QPoint RowCentre(int row) const
        {
            return list->visualItemRect(list->topLevelItem(row)).center() + QPoint(150, 0);
        }
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
        QCOMPARE(CZembracfgView::CountdownText(kTicksPerDay - 1),
                 QStringLiteral("(Pozostało: 23:59:59)"));
        QCOMPARE(CZembracfgView::CountdownText(0), QStringLiteral("(Pozostało: 00:00:00)"));
        QCOMPARE(CZembracfgView::CountdownText(-5 * s), QStringLiteral("(Pozostało: 00:00:00)"));
        QCOMPARE(CZembracfgView::CountdownText(-2 * kTicksPerDay - h),
                 QStringLiteral("(Pozostało: 00:00:00)"));
    }

    void nextAlarmTexts()
    {
        QCOMPARE(CZembracfgView::NextAlarmText(nullptr, {}, 0),
                 QStringLiteral("Najbliższy alarm:\nbrak"));

        const auto alarm = MakeAlarm("Pobudka", Local(2026, 3, 30, 7, 0, 0), true);
        const FileTime now =
            Utc(alarm->m_time) - (29 * kTicksPerHour + 3 * kTicksPerMinute + 7 * kTicksPerSecond);
        QCOMPARE(CZembracfgView::NextAlarmText(alarm.get(), alarm->m_time, now),
                 QStringLiteral("Najbliższy alarm:\n30.03.2026 (pon.) 07:00:00\n"
                                "(Pozostało: 1 dzień, 05:03:07)\nPobudka"));

        // The firing time is local: in Warsaw 07:00 on 30 March 2026 (summer time) is 05:00 UTC.
        qputenv("TZ", "Europe/Warsaw");
        ReloadTimeZone();
        const QString warsaw = CZembracfgView::NextAlarmText(alarm.get(), alarm->m_time,
                                                             Utc(Local(2026, 3, 30, 4, 0, 0)));
        qputenv("TZ", "UTC");
        ReloadTimeZone();
        QVERIFY2(warsaw.contains(QStringLiteral("(Pozostało: 01:00:00)")), qPrintable(warsaw));
    }

    void rowsFollowTheDocument()
    {
        Fixture f;
        QSignalSpy checks(&f.view, &CZembracfgView::AlarmActiveChanged);
        QCOMPARE(f.view.RowCount(), 3);
        const QStringList comments{QStringLiteral("Pobudka"), QStringLiteral("Spotkanie"),
                                   QStringLiteral("Wyłącz")};
        for (int row = 0; row < 3; ++row) {
            QTreeWidgetItem* item = f.list->topLevelItem(row);
            QCOMPARE(f.view.AlarmAt(row), f.At(row));
            QCOMPARE(item->text(2), comments[row]);
            QCOMPARE(item->checkState(0), f.At(row)->m_bActive ? Qt::Checked : Qt::Unchecked);
        }
        QCOMPARE(f.list->topLevelItem(0)->text(1),
                 QStringLiteral("30.03.2026 (pon.) 07:00:00, raz"));
        QCOMPARE(f.list->topLevelItem(1)->text(1),
                 QStringLiteral("2.04.2026 (czw.) 09:30:00, tygodniowo"));

        // Nothing selected: nothing to rewrite or delete.
        QVERIFY(!f.view.UpdateSelectedRow(f.At(0)));
        QVERIFY(!f.view.DeleteSelectedRow());

        // Rows 2 and 1 selected: the lower one counts.
        f.list->topLevelItem(2)->setSelected(true);
        f.list->topLevelItem(1)->setSelected(true);
        CAlarm edited = *f.At(1);
        edited.m_strComment = "Spotkanie przesunięte";
        edited.m_bActive = true;
        edited.m_time = Local(2026, 4, 3, 10, 0, 0);
        QVERIFY(f.view.UpdateSelectedRow(&edited));
        QCOMPARE(f.list->topLevelItem(1)->text(2), QStringLiteral("Spotkanie przesunięte"));
        QCOMPARE(f.list->topLevelItem(1)->text(1),
                 QStringLiteral("3.04.2026 (pt.) 10:00:00, tygodniowo"));
        QCOMPARE(f.list->topLevelItem(1)->checkState(0), Qt::Checked);
        QCOMPARE(f.list->topLevelItem(2)->text(2), QStringLiteral("Wyłącz"));
        // Check states written for the document are not the user's ticks.
        QCOMPARE(checks.count(), 0);

        QVERIFY(f.view.DeleteSelectedRow());
        QCOMPARE(f.view.RowCount(), 2);
        QCOMPARE(f.view.AlarmAt(0), f.At(0));
        QCOMPARE(f.view.AlarmAt(1), f.At(2));

        // After emptying, rows again go in from the top, in insertion order.
        f.view.DeleteAllRows();
        QCOMPARE(f.view.RowCount(), 0);
        f.view.AddAlarmRow(f.At(2));
        f.view.AddAlarmRow(f.At(0));
        QCOMPARE(f.view.AlarmAt(0), f.At(2));
        QCOMPARE(f.view.AlarmAt(1), f.At(0));
        QCOMPARE(checks.count(), 0);
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
        QCOMPARE(Label(&f.view, "timeValue")->text(),
                 QStringLiteral("2.04.2026 (czw.) 09:30:00, tygodniowo"));
        QCOMPARE(Label(&f.view, "actionValue")->text(), QStringLiteral("komunikat"));

        const QPoint empty(150, f.list->viewport()->height() - 5);
        QVERIFY(!f.list->itemAt(empty));
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, empty);
        QVERIFY(f.list->selectedItems().isEmpty());
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
        option.rect = f.list->visualItemRect(f.list->topLevelItem(1));
        option.rect.setWidth(f.list->columnWidth(0));
        option.features = QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            f.list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, f.list);
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(checks.count(), 1);
        QCOMPARE(SpiedAlarm(checks, 0), f.At(1));
        QCOMPARE(checks.at(0).at(1).toBool(), true);
        // Other changes of the row, even in the check column, are no check-box change.
        f.list->topLevelItem(1)->setText(2, QStringLiteral("x"));
        f.list->topLevelItem(1)->setToolTip(0, QStringLiteral("x"));
        QCOMPARE(checks.count(), 1);
    }

    void keysDeleteInsertAndArrows()
    {
        Fixture f;
        f.Show();
        QSignalSpy deletes(&f.view, &CZembracfgView::DeleteAlarmRequested);
        QSignalSpy news(&f.view, &CZembracfgView::NewAlarmRequested);
        f.list->setFocus();

        QTest::keyClick(f.list, Qt::Key_Delete);
        QCOMPARE(deletes.count(), 0);
        QCOMPARE(f.view.SelectedAlarm(), nullptr);

        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, f.RowCentre(0));
        QCOMPARE(f.view.SelectedAlarm(), f.At(0));
        // Moving the selection with the arrows alone does not pick.
        QTest::keyClick(f.list, Qt::Key_Down);
        QCOMPARE(f.list->FirstSelectedRow(), 1);
        QCOMPARE(f.view.SelectedAlarm(), f.At(0));
        // Del picks the selected row and asks for its deletion.
        QTest::keyClick(f.list, Qt::Key_Delete);
        QCOMPARE(deletes.count(), 1);
        QCOMPARE(f.view.SelectedAlarm(), f.At(1));

        QTest::keyClick(f.list, Qt::Key_Insert);
        QCOMPARE(news.count(), 1);
        f.list->clearSelection();
        QTest::keyClick(f.list, Qt::Key_Insert);
        QCOMPARE(news.count(), 2);
    }

    void doubleClickAsksForEdit()
    {
        Fixture f;
        f.Show();
        QSignalSpy edits(&f.view, &CZembracfgView::EditAlarmRequested);
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
        QCOMPARE(header->sectionSize(1), 212);

        const auto drag = [header](int divider, int by) {
            const int y = header->height() / 2;
            QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(divider, y));
            QTest::mouseMove(header->viewport(), QPoint(divider + by / 2, y));
            QTest::mouseMove(header->viewport(), QPoint(divider + by, y));
            QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(divider + by, y));
        };
        drag(header->sectionViewportPosition(1) - 1, 60);
        QCOMPARE(header->sectionSize(0), 30);

        // The same drag on the next divider does resize, and the comment column gives way.
        drag(header->sectionViewportPosition(2) - 1, 40);
        QVERIFY(header->sectionSize(1) > 212);
        QCOMPARE(header->sectionSize(0) + header->sectionSize(1) + header->sectionSize(2),
                 header->viewport()->width());
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

        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, f.RowCentre(0));
        f.list->setFocus();
        QTest::keyClick(f.list, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(f.list->LastContextMenuPosition(), corner);
        QVERIFY(edit->isEnabled());
        QVERIFY(remove->isEnabled());
        QSignalSpy edits(&f.view, &CZembracfgView::EditAlarmRequested);
        edit->trigger();
        QCOMPARE(edits.count(), 1);
        menu->hide();

        const QPoint at = f.list->viewport()->mapToGlobal(f.RowCentre(2));
        QContextMenuEvent fromMouse(QContextMenuEvent::Mouse, f.RowCentre(2), at);
        // A right click reaches the list through its viewport, as the platform delivers it.
        QCoreApplication::sendEvent(f.list->viewport(), &fromMouse);
        QCOMPARE(f.list->LastContextMenuPosition(), at);
        menu->hide();
    }

    void countdownRunsOnlyWhileVisible()
    {
        Fixture f;
        auto* timer = f.view.findChild<QTimer*>(QStringLiteral("countdownTimer"));
        QVERIFY(timer);
        auto* text = Label(&f.view, "nextAlarmLabel");
        QCOMPARE(text->text(), QStringLiteral("Najbliższy alarm:\nbrak\n"));

        // Now is 2026-03-29 01:56:53 UTC: Pobudka fires 1 day 05:03:07 later.
        f.view.ShowNextAlarm(f.At(0), f.At(0)->m_time);
        QVERIFY(!timer->isActive());
        QVERIFY(text->text().contains(QStringLiteral("(Pozostało: 1 dzień, 05:03:07)")));

        f.Show();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        Clock::SetForTesting([] { return Utc(Local(2026, 3, 29, 1, 56, 54)); });
        f.view.RefreshCountdown();
        Clock::SetForTesting([] { return Utc(Local(2026, 3, 29, 1, 56, 53)); });
        QVERIFY2(text->text().contains(QStringLiteral("(Pozostało: 1 dzień, 05:03:06)")),
                 qPrintable(text->text()));

        f.view.hide();
        QVERIFY(!timer->isActive());
        f.view.show();
        QVERIFY(timer->isActive());
        f.view.ShowNextAlarm(nullptr, {});
        QVERIFY(!timer->isActive());
        QCOMPARE(text->text(), QStringLiteral("Najbliższy alarm:\nbrak"));
    }

    void propertiesLabelsAndReload()
    {
        Fixture f;
        QCOMPARE(Label(&f.view, "typeLabel")->text(), QStringLiteral("Rodzaj:"));
        QCOMPARE(Label(&f.view, "timeLabel")->text(), QStringLiteral("Czas:"));
        QCOMPARE(Label(&f.view, "actionLabel")->text(), QStringLiteral("Akcja:"));
        for (const char* name : {"typeValue", "timeValue", "actionValue"})
            QCOMPARE(Label(&f.view, name)->text(), QStringLiteral("brak"));

        QSignalSpy rebuild(&f.view, &CZembracfgView::RebuildRequested);
        f.view.ShowAlarmProperties(f.At(2));
        f.view.ReloadTexts();
        QCOMPARE(rebuild.count(), 1);
        QCOMPARE(Label(&f.view, "typeLabel")->text(), QStringLiteral("Typ:"));
        QCOMPARE(Label(&f.view, "timeValue")->text(),
                 QStringLiteral("5.04.2026 (niedz.) 23:00:00, raz"));
        QCOMPARE(f.list->headerItem()->text(1), QStringLiteral("Czas"));
        QCOMPARE(f.list->headerItem()->text(2), QStringLiteral("Komentarz"));
        QVERIFY(f.list->headerItem()->text(0).isEmpty());
        QVERIFY(!f.list->headerItem()->icon(0).isNull());
    }

    void pictureIsDrawnWithTransparency()
    {
        QWidget backdrop;
        backdrop.setAutoFillBackground(true);
        QPalette red;
        red.setColor(QPalette::Window, Qt::red);
        backdrop.setPalette(red);
        backdrop.resize(140, 130);
        auto* empty = new CBitmapViewer(&backdrop);
        empty->setGeometry(0, 0, 128, 122);
        QCOMPARE(backdrop.grab().toImage().pixelColor(64, 68), QColor(Qt::red));

        auto* viewer = new CBitmapViewer(&backdrop);
        QVERIFY(viewer->LoadPicture(QStringLiteral(":/images/alarm_clock.svg")));
        QCOMPARE(viewer->PictureSize(), QSize(128, 122));
        viewer->setGeometry(0, 0, 140, 130);
        const QImage image = backdrop.grab().toImage();
        QCOMPARE(image.pixelColor(1, 1), QColor(Qt::red));     // outside the clock's shape
        QCOMPARE(image.pixelColor(135, 125), QColor(Qt::red)); // beyond the natural size
        QVERIFY(image.pixelColor(64, 60) != QColor(Qt::red));  // the dial
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

        QCOMPARE(f.list->topLevelItemCount(), 3);
        for (int row = 0; row < 3; ++row)
            QVERIFY(!f.list->visualItemRect(f.list->topLevelItem(row)).isEmpty());
        const QString status = f.view.StatusPanel()->NextAlarmText();
        QVERIFY2(status.startsWith(QStringLiteral("Najbliższy alarm:\n")), qPrintable(status));
        QVERIFY2(status.endsWith(QStringLiteral("\nPobudka")), qPrintable(status));
        // The panels keep their places: status on the right, properties at the bottom.
        QCOMPARE(f.view.StatusPanel()->geometry().right(), f.view.width() - 1 - 4);
        QVERIFY(f.view.PropertiesPanel()->geometry().top() > f.list->geometry().bottom());
        QVERIFY(f.view.StatusPanel()->geometry().left() > f.list->geometry().right());
    }
};

QTEST_MAIN(TestView)
#include "test_view.moc"
