// Under a dark desktop palette every text stays readable: the tip of the day, the list of
// alarms and the about box's links are drawn on the palette's own background, and their text
// stands out from it as much as accessibility guidelines ask (a contrast ratio of 4.5).
// Judged on what is painted, pixel by pixel, not on how the widgets are set up.

#include "CAboutDlg.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CSettings.h"
#include "CStartupTip.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "QuietTimer.h"
#include "model/CScheduler.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QPalette>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

QPalette DarkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    dark.setColor(QPalette::AlternateBase, QColor(0x3a, 0x3a, 0x3a));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Light, QColor(0x55, 0x55, 0x55));
    dark.setColor(QPalette::Midlight, QColor(0x45, 0x45, 0x45));
    dark.setColor(QPalette::Mid, QColor(0x50, 0x50, 0x50));
    dark.setColor(QPalette::Dark, QColor(0x1a, 0x1a, 0x1a));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x5d, 0xa8));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    dark.setColor(QPalette::LinkVisited, QColor(0xc5, 0x8a, 0xf9));
    return dark;
}

// Relative luminance and contrast ratio as the web accessibility guidelines define them.
double Luminance(QRgb rgb)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

double Contrast(QRgb a, QRgb b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What an area of a painted image shows: its background (the commonest colour) and how far
// its text stands out from it (the strongest contrast of any pixel, which is the core of a
// glyph's stroke).
struct Reading {
    QRgb background = 0;
    double textContrast = 0;
};

Reading Read(const QImage& image, const QRect& area)
{
    QMap<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000u];
    Reading reading;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            reading.background = it.key();
        }
    }
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        reading.textContrast = std::max(reading.textContrast, Contrast(it.key(), reading.background));
    return reading;
}

} // namespace

class TestPalette : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void readableOnTheDarkPalette_data();
    void readableOnTheDarkPalette();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QPalette m_savedPalette;
};

void TestPalette::initTestCase()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_dir->filePath(u"config"_s).toUtf8());
    CSettings::SetStorePath(m_dir->filePath(u"settings.ini"_s));
    CMessageBox::SetTestMode(true);
    m_savedPalette = QApplication::palette();
    QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
    QApplication::setPalette(DarkPalette());
}

void TestPalette::cleanupTestCase()
{
    QApplication::setPalette(m_savedPalette);
    CMessageBox::SetTestMode(false);
    CSettings::SetStorePath({});
}

void TestPalette::readableOnTheDarkPalette_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<int>("backgroundRole");
    QTest::addColumn<int>("textRole");
    QTest::newRow("tip of the day") << u"tip"_s << int(QPalette::Base) << int(QPalette::Text);
    QTest::newRow("list of alarms") << u"list"_s << int(QPalette::Base) << int(QPalette::Text);
    QTest::newRow("about box link") << u"link"_s << int(QPalette::Window) << int(QPalette::Link);
}

void TestPalette::readableOnTheDarkPalette()
{
    QFETCH(QString, part);
    QFETCH(int, backgroundRole);
    QFETCH(int, textRole);
    const QPalette dark = DarkPalette();

    QImage painted;
    QRect area;
    // Kept alive until the image is read.
    std::unique_ptr<QWidget> owner;
    std::unique_ptr<CSettings> settings;
    std::unique_ptr<CPower> power;
    std::unique_ptr<CZembracfgDoc> doc;
    if (part == u"tip") {
        auto tip = std::make_unique<CStartupTip>();
        tip->SetTipText(u"Alarm może uśpić komputer i obudzić go o ustalonej porze, "
                        "a nawet odtworzyć wybraną muzykę."_s);
        tip->resize(tip->sizeHint());
        tip->show();
        painted = tip->grab().toImage();
        // The lines of the tip, right of the band and under the header.
        area = QRect(60, 40, tip->width() - 70, tip->height() - 50);
        owner = std::move(tip);
    } else if (part == u"list") {
        settings = std::make_unique<CSettings>();
        power = std::make_unique<CPower>(std::make_unique<test::QuietTimer>());
        power->Init();
        doc = std::make_unique<CZembracfgDoc>(*power, *settings, nullptr, nullptr);
        auto frame = std::make_unique<CMainFrame>(*doc, *settings, nullptr);
        CScheduler schedule;
        auto alarm = std::make_unique<CAlarm>();
        alarm->m_strFrequency = kFrequencyEveryday;
        alarm->m_strType = kTypeWakeup;
        alarm->m_time = SystemTime{2030, 3, 1, 4, 7, 30, 0, 0};
        alarm->m_bActive = true;
        alarm->m_strComment = "Przerwa na kawę";
        schedule.AddAlarm(std::move(alarm));
        const QString list = m_dir->filePath(u"palette.zmb"_s);
        QCOMPARE(schedule.SaveToFile(list.toStdString()), 0);
        QVERIFY(doc->OnOpenDocument(list));
        frame->show();
        auto* view = frame->View()->findChild<QAbstractItemView*>();
        QVERIFY(view != nullptr);
        view->clearSelection();
        view->setCurrentIndex({});
        // The comment's cell of the row, as the list paints it.
        const QModelIndex comment = view->model()->index(0, view->model()->columnCount() - 1);
        area = view->visualRect(comment).intersected(view->viewport()->rect());
        QVERIFY(!area.isEmpty());
        painted = view->viewport()->grab().toImage();
        owner = std::move(frame);
    } else {
        auto about = std::make_unique<CAboutDlg>();
        about->show();
        auto* link = about->findChild<QLabel*>(u"webPageLink"_s);
        QVERIFY(link != nullptr);
        painted = link->grab().toImage();
        area = link->rect();
        owner = std::move(about);
    }
    QVERIFY(!painted.isNull());
    // A pixel of a grab is a device pixel; the area was in widget pixels.
    const qreal ratio = painted.devicePixelRatio();
    area = QRect(area.topLeft() * ratio, area.size() * ratio).intersected(painted.rect());

    const Reading reading = Read(painted, area);
    const QRgb expectedBackground = dark.color(QPalette::ColorRole(backgroundRole)).rgb();
    const bool followsPalette = Contrast(reading.background, expectedBackground) < 1.1;
    const bool readable = reading.textContrast >= 4.5;
    const QString what = QStringLiteral("background %1 (palette %2), text contrast %3 (palette text %4)")
                             .arg(QColor(reading.background).name(), QColor(expectedBackground).name())
                             .arg(reading.textContrast, 0, 'f', 2)
                             .arg(dark.color(QPalette::ColorRole(textRole)).name());
    QVERIFY2(followsPalette && readable, qPrintable(what));

    owner.reset();
    doc.reset();
    power.reset();
    settings.reset();
}

QTEST_MAIN(TestPalette)
#include "test_palette.moc"
