#include "CHelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QToolButton>
#include <QTranslator>

using zembra::CHelpWindow;

namespace {

QString ReadPage(const QString& language, const QString& page)
{
    QFile file(CHelpWindow::PageResource(language, page));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The anchors a page's HTML declares, as name="..." or id="...".
QSet<QString> AnchorsInHtml(const QString& html)
{
    QSet<QString> anchors;
    static const QRegularExpression pattern(QStringLiteral("\\b(?:name|id)=\"([^\"]+)\""));
    for (auto it = pattern.globalMatch(html); it.hasNext();) {
        anchors.insert(it.next().captured(1));
    }
    return anchors;
}

// The anchors of the page on show as the browser understood them: what scrolling needs.
QSet<QString> AnchorsInDocument(const QTextDocument* document)
{
    QSet<QString> anchors;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            for (const QString& name : it.fragment().charFormat().anchorNames()) {
                anchors.insert(name);
            }
        }
    }
    return anchors;
}

// Answers for the window title only, as a translation file would.
class TitleTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        const bool title =
            QLatin1String(context) == QLatin1String("zembra::CHelpWindow")
            && QString::fromUtf8(sourceText) == QStringLiteral("Pomoc programu Zembra");
        return title ? QStringLiteral("Zembra Help") : QString();
    }
    bool isEmpty() const override { return false; }
};

// The offscreen platform cannot raise windows and says so each time; that is no fault of help.
QtMessageHandler g_previousHandler = nullptr;

void QuietAboutRaising(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtWarningMsg || !message.contains(QLatin1String("This plugin does not support"))) {
        g_previousHandler(type, context, message);
    }
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private:
    CHelpWindow* m_pHelp = nullptr;

    QTextBrowser* Browser() const { return m_pHelp->Browser(); }
    int SelectionStart() const { return Browser()->textCursor().selectionStart(); }

private Q_SLOTS:
    void initTestCase()
    {
        g_previousHandler = qInstallMessageHandler(QuietAboutRaising);
        m_pHelp = CHelpWindow::Instance();
        QCOMPARE(CHelpWindow::Instance(), m_pHelp);
    }

    void init() { m_pHelp->SetLanguage(QStringLiteral("pl")); }

    void showContext()
    {
        m_pHelp->ShowContext(57601);
        QCOMPARE(m_pHelp->CurrentPage(), QStringLiteral("commands.html"));
        QCOMPARE(m_pHelp->CurrentAnchor(), QStringLiteral("open_list"));
        QVERIFY(m_pHelp->isVisible());
        QVERIFY(!m_pHelp->isModal());
        QVERIFY(!m_pHelp->testAttribute(Qt::WA_QuitOnClose));

        // An unknown context, and a page that does not exist, show the main topic.
        m_pHelp->ShowContext(1016);
        QCOMPARE(m_pHelp->CurrentPage(), QStringLiteral("how_it_works.html"));
        QCOMPARE(m_pHelp->CurrentAnchor(), QString());
        m_pHelp->ShowTopic(QStringLiteral("tray.html"));
        m_pHelp->ShowTopic(QStringLiteral("no_such_page.html"), QStringLiteral("hide"));
        QCOMPARE(m_pHelp->CurrentPage(), QStringLiteral("how_it_works.html"));
        m_pHelp->ShowTopic(QStringLiteral("../en/alarms.html"));
        QCOMPARE(Browser()->source().path(), QStringLiteral("/help/pl/how_it_works.html"));
    }

    void newAlarmInEveryLanguage_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString& language : CHelpWindow::Languages()) {
            QTest::newRow(qPrintable(language)) << language;
        }
    }
    void newAlarmInEveryLanguage()
    {
        QFETCH(QString, language);
        m_pHelp->SetLanguage(language);
        // Only the low 16 bits of a command count: the framework's context value maps alike.
        m_pHelp->ShowContext(CHelpWindow::ContextForCommand(0x10000 + 32784));
        QCOMPARE(Browser()->source().path(), QStringLiteral("/help/%1/alarms.html").arg(language));
        QCOMPARE(m_pHelp->CurrentPage(), QStringLiteral("alarms.html"));
        QCOMPARE(m_pHelp->CurrentAnchor(), QStringLiteral("new_alarm"));
    }

    // Every page of the contents exists in every language, nothing more; each page has the same
    // sections in each language; every link inside the help leads somewhere.
    void pagesAndLinks()
    {
        const QStringList pages = CHelpWindow::Pages();
        QVERIFY(pages.contains(QLatin1String(CHelpWindow::kMainTopic)));
        for (const QString& language : CHelpWindow::Languages()) {
            const QStringList files =
                QDir(QStringLiteral(":/help/") + language).entryList(QDir::Files);
            QCOMPARE(QSet<QString>(files.begin(), files.end()),
                     QSet<QString>(pages.begin(), pages.end()));
        }
        static const QRegularExpression link(QStringLiteral("href=\"([^\":]*)\""));
        for (const QString& page : pages) {
            const QSet<QString> polish = AnchorsInHtml(ReadPage(QStringLiteral("pl"), page));
            for (const QString& language : CHelpWindow::Languages()) {
                const QString html = ReadPage(language, page);
                QVERIFY2(html.contains(QStringLiteral("lang=\"%1\"").arg(language)),
                         qPrintable(page));
                QCOMPARE(AnchorsInHtml(html), polish);
                for (auto it = link.globalMatch(html); it.hasNext();) {
                    const QString target = it.next().captured(1);
                    const QString where = language + u'/' + page + QStringLiteral(" -> ") + target;
                    const QString targetPage = target.section(u'#', 0, 0);
                    const QString anchor = target.section(u'#', 1);
                    const QString resolved = targetPage.isEmpty() ? page : targetPage;
                    QVERIFY2(pages.contains(resolved), qPrintable(where));
                    QVERIFY2(anchor.isEmpty()
                                 || AnchorsInHtml(ReadPage(language, resolved)).contains(anchor),
                             qPrintable(where));
                }
            }
        }
    }

    void everyMappedSectionExistsInEveryLanguage()
    {
        for (const quint32 context : CHelpWindow::KnownContexts()) {
            const auto [page, anchor] = CHelpWindow::SectionForContext(context);
            QVERIFY2(!anchor.isEmpty(), qPrintable(QString::number(context, 16)));
            for (const QString& language : CHelpWindow::Languages()) {
                m_pHelp->SetLanguage(language);
                m_pHelp->ShowContext(context);
                QCOMPARE(m_pHelp->CurrentPage(), page);
                QCOMPARE(m_pHelp->CurrentAnchor(), anchor);
                QVERIFY2(AnchorsInDocument(Browser()->document()).contains(anchor),
                         qPrintable(language + u'/' + page + u'#' + anchor));
            }
        }
    }

    void mainTopicAndContents()
    {
        m_pHelp->hide();
        m_pHelp->ShowMainTopic();
        QCOMPARE(m_pHelp->CurrentPage(), QStringLiteral("how_it_works.html"));
        QVERIFY(m_pHelp->isVisible());
        QListWidget* contents = m_pHelp->Contents();
        QCOMPARE(contents->count(), CHelpWindow::Pages().size());
        QCOMPARE(contents->currentItem()->text(), QStringLiteral("Jak działa Zembra"));

        QListWidgetItem* settings =
            contents->item(CHelpWindow::Pages().indexOf(QStringLiteral("settings.html")));
        QCOMPARE(settings->text(), QStringLiteral("Ustawienia"));
        Q_EMIT contents->itemClicked(settings);
        QCOMPARE(m_pHelp->CurrentPage(), QStringLiteral("settings.html"));
    }

    void backAndForward()
    {
        auto* back = m_pHelp->findChild<QToolButton*>(QStringLiteral("helpBack"));
        auto* forward = m_pHelp->findChild<QToolButton*>(QStringLiteral("helpForward"));
        QVERIFY(back != nullptr && forward != nullptr);
        m_pHelp->ShowTopic(QStringLiteral("alarms.html"), QStringLiteral("edit_alarm"));
        Browser()->clearHistory();
        QVERIFY(!back->isEnabled());
        m_pHelp->ShowTopic(QStringLiteral("tray.html"));
        QVERIFY(back->isEnabled() && !forward->isEnabled());

        back->click();
        QCOMPARE(m_pHelp->CurrentPage(), QStringLiteral("alarms.html"));
        QCOMPARE(m_pHelp->CurrentAnchor(), QStringLiteral("edit_alarm"));
        QVERIFY(!back->isEnabled() && forward->isEnabled());

        forward->click();
        QCOMPARE(m_pHelp->CurrentPage(), QStringLiteral("tray.html"));
        QVERIFY(back->isEnabled() && !forward->isEnabled());
    }

    void search()
    {
        m_pHelp->SetLanguage(QStringLiteral("en"));
        m_pHelp->ShowTopic(QStringLiteral("frequencies.html"));
        QLineEdit* edit = m_pHelp->FindEdit();
        edit->setText(QStringLiteral("leap years"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(Browser()->textCursor().selectedText(), QStringLiteral("leap years"));
        QVERIFY(m_pHelp->FindStatusText().isEmpty());

        const int found = SelectionStart();
        edit->setText(QStringLiteral("qxzvjw"));
        m_pHelp->findChild<QToolButton*>(QStringLiteral("helpFindNext"))->click();
        QVERIFY(m_pHelp->FindStatusText().contains(QStringLiteral("qxzvjw")));
        QCOMPARE(SelectionStart(), found);         // what was found before stays selected
        edit->setText(QStringLiteral("February")); // typing again clears the old verdict
        QVERIFY(m_pHelp->FindStatusText().isEmpty());

        // From the last place the search wraps to the first; backwards from the first to the last.
        Browser()->setTextCursor(QTextCursor(Browser()->document()));
        QVERIFY(m_pHelp->FindText(QStringLiteral("February")));
        const int first = SelectionStart();
        int steps = 0;
        do {
            QVERIFY(m_pHelp->FindText(QStringLiteral("February")));
            QVERIFY(++steps < 50);
        } while (SelectionStart() != first);
        QVERIFY(steps > 1);
        QVERIFY(m_pHelp->FindText(QStringLiteral("February"), true));
        QVERIFY(SelectionStart() > first);
        QVERIFY(!m_pHelp->FindText(QString()));
        QVERIFY(m_pHelp->FindStatusText().isEmpty());
    }

    void ctrlFFocusesTheSearch()
    {
        m_pHelp->ShowMainTopic();
        m_pHelp->activateWindow();
        QApplication::processEvents();
        if (QApplication::activeWindow() != m_pHelp) {
            QSKIP("this platform does not activate windows");
        }
        Browser()->setFocus();
        QTest::keySequence(Browser(), QKeySequence::Find);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(m_pHelp->FindEdit()));
    }

    void languageSwitchKeepsTheTopic()
    {
        m_pHelp->SetLanguage(QStringLiteral("en"));
        m_pHelp->ShowTopic(QStringLiteral("frequencies.html"), QStringLiteral("monthly"));
        QCOMPARE(Browser()->documentTitle(), QStringLiteral("Frequencies"));

        m_pHelp->SetLanguage(QStringLiteral("de"));
        QCOMPARE(Browser()->source().path(), QStringLiteral("/help/de/frequencies.html"));
        QCOMPARE(m_pHelp->CurrentAnchor(), QStringLiteral("monthly"));
        QCOMPARE(Browser()->documentTitle(), QStringLiteral("Häufigkeit"));
        QCOMPARE(m_pHelp->Contents()->item(0)->text(), QStringLiteral("Inhalt"));
        QVERIFY(!Browser()->isBackwardAvailable()); // no way back into the other language
        m_pHelp->ShowMainTopic();
        QCOMPARE(Browser()->source().path(), QStringLiteral("/help/de/how_it_works.html"));

        // Letter case does not matter; anything but the three codes is the built-in Polish.
        m_pHelp->SetLanguage(QStringLiteral("EN"));
        QCOMPARE(m_pHelp->Language(), QStringLiteral("en"));
        m_pHelp->SetLanguage(QStringLiteral("fr"));
        QCOMPARE(Browser()->source().path(), QStringLiteral("/help/pl/how_it_works.html"));
        QCOMPARE(CHelpWindow::LanguageCode(1), QStringLiteral("en"));
        QCOMPARE(CHelpWindow::LanguageCode(2), QStringLiteral("pl"));
        QCOMPARE(CHelpWindow::LanguageCode(3), QStringLiteral("de"));
    }

    void windowTextsFollowTheInterfaceLanguage()
    {
        QCOMPARE(m_pHelp->windowTitle(), QStringLiteral("Pomoc programu Zembra"));
        TitleTranslator translator;
        QCoreApplication::installTranslator(&translator);
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(m_pHelp, &change);
        QCOMPARE(m_pHelp->windowTitle(), QStringLiteral("Zembra Help"));
        QCoreApplication::removeTranslator(&translator);
        QApplication::sendEvent(m_pHelp, &change);
        QCOMPARE(m_pHelp->windowTitle(), QStringLiteral("Pomoc programu Zembra"));
    }
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
