// With a 16 pt desktop font the main window makes room for it: its first size comes from what
// it holds, every toolbar button shows its whole text, and no text of the panels beside the
// list is cut or drawn over the clock picture, in each language.

#include "CAlarmPropDialog.h"
#include "CBitmapViewer.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CSettings.h"
#include "CStatusDIalog.h"
#include "CTrueColorToolBar.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "QuietTimer.h"
#include "model/CScheduler.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace zembra;
using namespace Qt::StringLiterals;

class TestLargeFont : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void nothingIsCut_data();
    void nothingIsCut();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QFont m_savedFont;
};

void TestLargeFont::initTestCase()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_dir->filePath(u"config"_s).toUtf8());
    CSettings::SetStorePath(m_dir->filePath(u"settings.ini"_s));
    CMessageBox::SetTestMode(true);
    m_savedFont = QApplication::font();
    QFont large = m_savedFont;
    large.setPointSize(16);
    QApplication::setFont(large);
}

void TestLargeFont::cleanupTestCase()
{
    QApplication::setFont(m_savedFont);
    CMessageBox::SetTestMode(false);
    CSettings::SetStorePath({});
}

void TestLargeFont::nothingIsCut_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("Polish") << 2;
    QTest::newRow("English") << 1;
    QTest::newRow("German") << 3;
}

void TestLargeFont::nothingIsCut()
{
    QFETCH(int, language);
    CSettings settings;
    CPower power(std::make_unique<test::QuietTimer>());
    power.Init();
    CZembracfgDoc doc(power, settings);
    CMainFrame frame(doc, settings, nullptr);
    frame.SetLanguage(language);

    CScheduler schedule;
    auto alarm = std::make_unique<CAlarm>();
    alarm->m_strFrequency = kFrequencyWorkdays;
    alarm->m_strType = kTypeHibernate;
    alarm->m_time = SystemTime{2030, 3, 1, 4, 7, 30, 0, 0};
    alarm->m_bActive = true;
    alarm->m_bMessageActive = true;
    alarm->m_strMessage = "Czas wstawać";
    alarm->m_strComment = "Poranna pobudka przed pracą";
    schedule.AddAlarm(std::move(alarm));
    const QString list = m_dir->filePath(u"large.zmb"_s);
    QCOMPARE(schedule.SaveToFile(list.toStdString()), 0);
    QVERIFY(doc.OnOpenDocument(list));
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    auto* rows = frame.View()->findChild<QAbstractItemView*>();
    rows->setCurrentIndex(rows->model()->index(0, 0));
    QCoreApplication::processEvents();

    // The first size holds everything the window shows.
    QVERIFY2(frame.width() >= frame.sizeHint().width() && frame.height() >= frame.sizeHint().height(),
             qPrintable(u"%1 x %2 for %3 x %4"_s.arg(frame.width()).arg(frame.height())
                            .arg(frame.sizeHint().width()).arg(frame.sizeHint().height())));

    // Each button has at least the room its whole text asks for, and none is pushed into the
    // toolbar's overflow menu.
    for (QAction* action : frame.ToolBar()->ButtonActions()) {
        QToolButton* button = frame.ToolBar()->ButtonFor(action);
        const QString text = button->text();
        QVERIFY2(button->isVisible(), qPrintable(text));
        QVERIFY2(!text.contains(u"..."_s) && !text.contains(QChar(0x2026)), qPrintable(text));
        QVERIFY2(button->width() >= button->sizeHint().width()
                     && button->height() >= button->sizeHint().height(),
                 qPrintable(u"%1: %2 x %3 for %4 x %5"_s.arg(text).arg(button->width()).arg(button->height())
                                .arg(button->sizeHint().width()).arg(button->sizeHint().height())));
    }

    // Every text of the panels fits its label whole, and none runs over the picture.
    CStatusDIalog* status = frame.View()->StatusPanel();
    const QRect picture(status->Picture()->mapTo(&frame, QPoint()), status->Picture()->size());
    QList<QLabel*> labels = status->findChildren<QLabel*>();
    labels += frame.View()->PropertiesPanel()->findChildren<QLabel*>();
    int checked = 0;
    for (QLabel* label : std::as_const(labels)) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        ++checked;
        const QString what = u"%1 \"%2\""_s.arg(label->objectName(), label->text());
        const int needed = label->wordWrap() ? label->heightForWidth(label->width())
                                             : label->sizeHint().height();
        QVERIFY2(label->height() >= needed, qPrintable(what + u" is cut at the bottom"_s));
        if (!label->wordWrap())
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(what + u" is cut at the right"_s));
        const QRect placed(label->mapTo(&frame, QPoint()), label->size());
        QVERIFY2(!placed.intersects(picture), qPrintable(what + u" runs over the picture"_s));
    }
    QVERIFY(checked >= 3);
}

QTEST_MAIN(TestLargeFont)
#include "test_large_font.moc"
