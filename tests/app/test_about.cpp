#include "CAboutDlg.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

using zembra::CAboutDlg;

// Stands in for the browser and the mail program: QDesktopServices hands it every address of
// the schemes it is registered for.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> m_urls;

public Q_SLOTS:
    void Open(const QUrl& url) { m_urls.append(url); }
};

class TestAbout : public QObject {
    Q_OBJECT

private:
    UrlRecorder m_recorder;

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral("1.6.0"));
        for (const char* scheme : {"https", "http", "mailto"}) {
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &m_recorder, "Open");
        }
    }
    void cleanupTestCase()
    {
        for (const char* scheme : {"https", "http", "mailto"}) {
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
        }
    }
    void init() { m_recorder.m_urls.clear(); }

    void versionShowsMajorAndMinorOnly()
    {
        CAboutDlg dlg;
        QCOMPARE(dlg.findChild<QLabel*>(QStringLiteral("versionLabel"))->text(),
                 QStringLiteral("Zembra wersja 1.6"));
        QCOMPARE(CAboutDlg::ShortVersion(QStringLiteral("2.10.3")), QStringLiteral("2.10"));
        QCOMPARE(CAboutDlg::ShortVersion(QStringLiteral("dev")), QStringLiteral("dev"));
    }

    void linkOpensItsAddress_data()
    {
        const QString web = QLatin1String(CAboutDlg::kProjectWebPage);
        const QString mail = QLatin1String(CAboutDlg::kProjectEmail);
        const QString help = QLatin1String(CAboutDlg::kProjectHelpPages);
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("shown");
        QTest::newRow("web page") << QStringLiteral("webPageLink") << QUrl(web) << web;
        QTest::newRow("e-mail") << QStringLiteral("emailLink")
                                << QUrl(QStringLiteral("mailto:") + mail) << mail;
        QTest::newRow("Polish help") << QStringLiteral("helpPolishEmailLink")
                                     << QUrl(QStringLiteral("mailto:") + mail) << mail;
        QTest::newRow("English help") << QStringLiteral("helpEnglishEmailLink")
                                      << QUrl(QStringLiteral("mailto:") + mail) << mail;
        QTest::newRow("help pages") << QStringLiteral("helpPagesLink") << QUrl(help) << help;
        QTest::newRow("project page") << QStringLiteral("projectPageLink") << QUrl(web) << web;
    }
    void linkOpensItsAddress()
    {
        QFETCH(QString, objectName);
        QFETCH(QUrl, url);
        QFETCH(QString, shown);

        CAboutDlg dlg;
        dlg.show();
        auto* link = dlg.findChild<QLabel*>(objectName);
        QVERIFY(link != nullptr);
        // Each link shows the address it opens, in the desktop's link colour, under a hand.
        QCOMPARE(link->text().contains(shown), true);
        QCOMPARE(link->palette().color(QPalette::Link), dlg.palette().color(QPalette::Link));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);

        QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(m_recorder.m_urls, QList<QUrl>{url});
    }

    void imageOpensTheHelpPages()
    {
        CAboutDlg dlg;
        dlg.show();
        auto* image = dlg.findChild<QLabel*>(QStringLiteral("helpPagesImage"));
        QVERIFY(image != nullptr);
        QVERIFY(!image->pixmap().isNull());
        QTest::mouseClick(image, Qt::RightButton, {}, image->rect().center());
        QVERIFY(m_recorder.m_urls.isEmpty());
        QTest::mouseClick(image, Qt::LeftButton, {}, image->rect().center());
        QCOMPARE(m_recorder.m_urls, QList<QUrl>{QUrl(QLatin1String(CAboutDlg::kProjectHelpPages))});
    }

    void okClosesWithoutOpeningAnything()
    {
        CAboutDlg dlg;
        dlg.show();
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        QCOMPARE(dlg.result(), static_cast<int>(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QVERIFY(m_recorder.m_urls.isEmpty());
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
