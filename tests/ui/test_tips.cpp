// Tips of the day: the tips file rules, the program's Polish tips, the word wrap, and the tips
// dialog's Next button and show-at-startup field.

#include "CStartupTip.h"
#include "CTipsDialog.h"
#include "CTipsFile.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

constexpr int kStillOpen = 42; // a test closes the dialog with this when its keys did not

template <class T> T* Find(const QWidget& parent, const char* name)
{
    T* widget = parent.findChild<T*>(QLatin1String(name));
    if (!widget) {
        qFatal("no control %s", name);
    }
    return widget;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestTips : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    // Makes the program-wide list hold what the file bytes give.
    void UseTips(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QString::number(++m_files));
        QVERIFY(WriteFile(path, bytes));
        QVERIFY(CTipsFile::LoadTips(path));
    }

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("tips");
        QTest::newRow("one a line") << QByteArray("\"Pierwsza\"\r\n\"Druga\"\r\n")
                                    << QStringList({u"Pierwsza"_s, u"Druga"_s});
        QTest::newRow("no quote") << QByteArray("nic\r\n") << QStringList();
        QTest::newRow("three quotes")
            << QByteArray("\"jedna\" x \"reszta\r\n") << QStringList({u"jedna"_s});
        QTest::newRow("adjacent") << QByteArray("\"\"\"b\"") << QStringList({QString(), u"b"_s});
        // A pair closing on byte 32000 is kept; one closing a byte later is cut.
        QTest::newRow("last byte")
            << QByteArray(31996, ' ') + "\"ab\"\"cd\"" << QStringList({u"ab"_s});
        QTest::newRow("straddling") << QByteArray(31997, ' ') + "\"ab\"" << QStringList();
    }

    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, tips);
        QCOMPARE(CTipsFile::ParseTips(bytes), tips);
    }

    void loadTips()
    {
        QVERIFY(m_dir.isValid());
        UseTips("\"przed\"" + QByteArray(CTipsFile::kMaxFileBytes, ' ') + "\"po\"");
        QCOMPARE(CTipsFile::Tips(), QStringList({u"przed"_s}));
        QVERIFY(!CTipsFile::LoadTips(m_dir.filePath(u"brak.lng"_s)));
        QCOMPARE(CTipsFile::Tips(), QStringList({u"przed"_s}));
    }

    void programsPolishTips()
    {
        const QString path = QFINDTESTDATA("../../res/tips/TipsPL.lng");
        QVERIFY(CTipsFile::LoadTips(path));
        QVERIFY(CTipsFile::Tips().size() >= 10);
        for (const QString& tip : CTipsFile::Tips()) {
            QVERIFY2(!tip.trimmed().isEmpty() && !tip.contains(QChar::ReplacementCharacter),
                     qPrintable(tip));
        }
    }

    void wrap_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        const QString nine = u"abcdefghi "_s;
        QTest::newRow("12 x 9 letters") << nine.repeated(12) << QStringList(3, nine.repeated(4));
        QTest::newRow("49 on line 2")
            << QString(49, u'a') << QStringList({{}, QString(49, u'a') + u' '});
        QTest::newRow("150 cut") << QString(150, u'w') + u" z"_s
                                 << QStringList({{}, QString(98, u'w') + u' ', u"z "_s});
        // Nine full lines, then 30 characters; the next word does not fit, and neither does
        // the short one after it, though the line would have room for it.
        QStringList nineLines;
        for (char16_t c = u'a'; c < u'j'; ++c) {
            nineLines << QString(48, QChar(c)) + u' ';
        }
        QTest::newRow("ten lines")
            << nineLines.join(QString()) + QString(29, u'x') + u' ' + QString(20, u'y') + u" z"_s
            << nineLines + QStringList({QString(29, u'x') + u' '});
    }

    void wrap()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(CStartupTip::WrapTip(text), lines);
    }

    void nextWithOneTipShowsItAgain()
    {
        UseTips("\"Jedyna porada\"");
        CTipsDialog dialog;
        dialog.InitDialog();
        auto* tip = Find<CStartupTip>(dialog, "startupTip");
        QCOMPARE(tip->Lines(), QStringList({u"Jedyna porada "_s}));
        QTest::mouseClick(Find<QPushButton>(dialog, "buttonNext"), Qt::LeftButton);
        QCOMPARE(tip->Lines(), QStringList({u"Jedyna porada "_s}));
    }

    void dialogResult_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("field");
        QTest::newRow("OK") << 0 << int(QDialog::Accepted) << false;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected) << true;
    }

    void dialogResult()
    {
        QFETCH(int, key);
        QFETCH(int, result);
        QFETCH(bool, field);
        UseTips("\"porada\"");
        CTipsDialog dialog;
        dialog.m_bShowAtStartup = true;
        bool wasChecked = false;
        QTimer::singleShot(0, &dialog, [&] {
            auto* check = Find<QCheckBox>(dialog, "checkShowAtStartup");
            wasChecked = check->isChecked();
            QTest::keyClick(check, Qt::Key_Space); // clear it
            if (key == 0) {
                QTest::mouseClick(Find<QPushButton>(dialog, "buttonOk"), Qt::LeftButton);
            } else {
                QTest::keyClick(Find<QPushButton>(dialog, "buttonNext"), Qt::Key(key));
            }
            if (dialog.isVisible()) {
                dialog.done(kStillOpen);
            }
        });
        QCOMPARE(dialog.exec(), result);
        QVERIFY(wasChecked);
        QCOMPARE(dialog.m_bShowAtStartup, field);
    }
};

QTEST_MAIN(TestTips)
#include "test_tips.moc"
