// The Help menu's windows: the help pages in each language with their contents, links, history
// and search, and the about box whose links open their addresses.

#include "CAboutDlg.h"
#include "CHelpWindow.h"

#include <QtTest>
#include <QtWidgets>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

QString PageHtml(const QString& language, const QString& page)
{
    QFile file(CHelpWindow::PageResource(language, page));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The anchors a page's HTML declares, as name="..." or id="...".
QSet<QString> Anchors(const QString& html)
{
    static const QRegularExpression pattern(u"\\b(?:name|id)=\"([^\"]+)\""_s);
    QSet<QString> anchors;
    for (auto it = pattern.globalMatch(html); it.hasNext();)
        anchors.insert(it.next().captured(1));
    return anchors;
}

// The anchors of the page on show as the browser understood them: what scrolling needs.
QSet<QString> AnchorsInDocument(const QTextDocument* document)
{
    QSet<QString> anchors;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            for (const QString& name : it.fragment().charFormat().anchorNames())
                anchors.insert(name);
    return anchors;
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

public Q_SLOTS:
    // Stands in for the browser and the mail program: QDesktopServices hands it every address.
    void Open(const QUrl& url) { m_urls.append(url); }

private:
    CHelpWindow* m_pHelp = CHelpWindow::Instance();
    QList<QUrl> m_urls;

    QTextBrowser* Browser() const { return m_pHelp->Browser(); }
    int SelectionStart() const { return Browser()->textCursor().selectionStart(); }
    QToolButton* Button(const QString& name) const
    {
        return m_pHelp->findChild<QToolButton*>(name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationVersion(u"1.6.0"_s);
        for (const char* scheme : {"https", "http", "mailto"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "Open");
    }
    void cleanupTestCase()
    {
        for (const char* scheme : {"https", "http", "mailto"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    void init()
    {
        m_pHelp->SetLanguage(u"pl"_s);
        m_urls.clear();
    }

    // A command's context opens its section in a window of its own that never ends the program;
    // an unknown context, a page that does not exist and one outside the language's own pages
    // show the main topic.
    void aContextShowsItsSectionAndAnythingUnknownTheMainTopic()
    {
        // Only the low 16 bits of a command count: the framework's context value maps alike.
        m_pHelp->ShowContext(CHelpWindow::ContextForCommand(0x10000 + 32784));
        QCOMPARE(Browser()->source(), QUrl(u"qrc:/help/pl/alarms.html#new_alarm"_s));
        QVERIFY(m_pHelp->isVisible() && !m_pHelp->testAttribute(Qt::WA_QuitOnClose));

        m_pHelp->ShowContext(1016);
        QCOMPARE(Browser()->source(), QUrl(u"qrc:/help/pl/how_it_works.html"_s));
        m_pHelp->ShowTopic(u"tray.html"_s);
        m_pHelp->ShowTopic(u"no_such_page.html"_s, u"hide"_s);
        QCOMPARE(m_pHelp->CurrentPage(), u"how_it_works.html"_s);
        m_pHelp->ShowTopic(u"../en/alarms.html"_s);
        QCOMPARE(Browser()->source().path(), u"/help/pl/how_it_works.html"_s);
    }

    // Every page of the contents exists in every language, nothing more; each page has the same
    // sections in each language; every link inside the help leads somewhere, and every section a
    // command's context maps to is there for the browser to scroll to.
    void everyLanguageHasEveryPageWithItsSectionsAndLinksThatLead()
    {
        const QStringList pages = CHelpWindow::Pages();
        static const QRegularExpression link(u"href=\"([^\":]*)\""_s);
        // The loops below would pass on an empty list: the help speaks the program's languages.
        const QStringList languages = CHelpWindow::Languages();
        QCOMPARE(languages, (QStringList{u"pl"_s, u"en"_s, u"de"_s}));
        const QList<quint32> contexts = CHelpWindow::KnownContexts();
        QVERIFY(!contexts.isEmpty());
        for (const QString& language : languages) {
            const QStringList files = QDir(u":/help/"_s + language).entryList(QDir::Files);
            QCOMPARE(QSet<QString>(files.begin(), files.end()),
                     QSet<QString>(pages.begin(), pages.end()));
            for (const QString& page : pages) {
                const QString html = PageHtml(language, page);
                QCOMPARE(Anchors(html), Anchors(PageHtml(u"pl"_s, page)));
                QVERIFY2(html.contains(u"lang=\"%1\""_s.arg(language)), qPrintable(page));
                for (auto it = link.globalMatch(html); it.hasNext();) {
                    const QString target = it.next().captured(1);
                    const QString linked = target.section(u'#', 0, 0);
                    const QString anchor = target.section(u'#', 1);
                    const QString where = linked.isEmpty() ? page : linked;
                    QVERIFY2(pages.contains(where)
                                 && (anchor.isEmpty()
                                     || Anchors(PageHtml(language, where)).contains(anchor)),
                             qPrintable(language + u'/' + page + u" -> "_s + target));
                }
            }
            m_pHelp->SetLanguage(language);
            for (const quint32 context : contexts) {
                const auto [page, anchor] = CHelpWindow::SectionForContext(context);
                m_pHelp->ShowContext(context);
                QCOMPARE(Browser()->source(),
                         QUrl(u"qrc:/help/%1/%2#%3"_s.arg(language, page, anchor)));
                QVERIFY2(!anchor.isEmpty()
                             && AnchorsInDocument(Browser()->document()).contains(anchor),
                         qPrintable(language + u'/' + page + u'#' + anchor));
            }
        }
    }

    // The list of topics, the contents button and Back and Forward lead through the pages; going
    // back returns to the section that was on show. Another language shows the same section,
    // with no way back into the language left.
    void theContentsTheHistoryAndAnotherLanguageKeepTheReaderInPlace()
    {
        m_pHelp->ShowMainTopic();
        QListWidget* contents = m_pHelp->Contents();
        QCOMPARE(contents->count(), CHelpWindow::Pages().size());
        QCOMPARE(contents->currentItem()->text(), u"Jak działa Zembra"_s);
        QListWidgetItem* settings =
            contents->item(CHelpWindow::Pages().indexOf(u"settings.html"_s));
        Q_EMIT contents->itemClicked(settings);
        QCOMPARE(m_pHelp->CurrentPage(), u"settings.html"_s);

        m_pHelp->ShowTopic(u"alarms.html"_s, u"edit_alarm"_s);
        Browser()->clearHistory();
        Button(u"helpContents"_s)->click();
        QCOMPARE(m_pHelp->CurrentPage(), QLatin1String(CHelpWindow::kContentsPage));
        QVERIFY(Button(u"helpBack"_s)->isEnabled() && !Button(u"helpForward"_s)->isEnabled());
        Button(u"helpBack"_s)->click();
        QCOMPARE(Browser()->source(), QUrl(u"qrc:/help/pl/alarms.html#edit_alarm"_s));
        QVERIFY(!Button(u"helpBack"_s)->isEnabled() && Button(u"helpForward"_s)->isEnabled());
        Button(u"helpForward"_s)->click();
        QCOMPARE(m_pHelp->CurrentPage(), QLatin1String(CHelpWindow::kContentsPage));
        Button(u"helpBack"_s)->click(); // back on the section, with history either way

        m_pHelp->SetLanguage(u"de"_s);
        QCOMPARE(Browser()->source(), QUrl(u"qrc:/help/de/alarms.html#edit_alarm"_s));
        QCOMPARE(contents->item(0)->text(), u"Inhalt"_s);
        QVERIFY(!Button(u"helpBack"_s)->isEnabled() && !Button(u"helpForward"_s)->isEnabled());
        // Letter case does not matter; anything but the three codes is the built-in Polish.
        m_pHelp->SetLanguage(u"EN"_s);
        QCOMPARE(m_pHelp->Language(), u"en"_s);
        m_pHelp->SetLanguage(u"fr"_s);
        QCOMPARE(Browser()->source().path(), u"/help/pl/alarms.html"_s);
    }

    // Ctrl+F leads to the search box; Return finds the next place, the buttons go either way
    // and wrap round the page.
    void ctrlFThenReturnFindsAndTheButtonsWrapRound()
    {
        m_pHelp->SetLanguage(u"en"_s);
        m_pHelp->ShowTopic(u"frequencies.html"_s);
        QVERIFY(QTest::qWaitForWindowActive(m_pHelp));
        Browser()->setFocus();
        QTest::keySequence(Browser(), QKeySequence::Find);
        QLineEdit* edit = m_pHelp->FindEdit();
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit));
        QTest::keyClicks(edit, u"leap years"_s);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(Browser()->textCursor().selectedText(), u"leap years"_s);

        const int found = SelectionStart();
        edit->setText(u"qxzvjw"_s);
        Button(u"helpFindNext"_s)->click();
        QVERIFY(m_pHelp->FindStatusText().contains(u"qxzvjw"_s));
        QCOMPARE(SelectionStart(), found); // what was found before stays selected
        edit->setText(u"February"_s);      // typing again clears the old verdict
        QVERIFY(m_pHelp->FindStatusText().isEmpty());

        // From the last place the search wraps to the first; backwards from the first to the last.
        Browser()->setTextCursor(QTextCursor(Browser()->document()));
        QVERIFY(m_pHelp->FindText(u"February"_s));
        const int first = SelectionStart();
        int steps = 0;
        do {
            QVERIFY(m_pHelp->FindText(u"February"_s));
            QVERIFY(++steps < 50);
        } while (SelectionStart() != first);
        QVERIFY(steps > 1);
        Button(u"helpFindPrevious"_s)->click();
        QVERIFY(SelectionStart() > first);
        QVERIFY(!m_pHelp->FindText(QString()));
        QVERIFY(m_pHelp->FindStatusText().isEmpty());
    }

    void aboutBoxShowsTheShortVersionAndEachLinkOpensItsAddress_data()
    {
        const QString web = QLatin1String(CAboutDlg::kProjectWebPage);
        const QString mail = QLatin1String(CAboutDlg::kProjectEmail);
        const QString help = QLatin1String(CAboutDlg::kProjectHelpPages);
        const QUrl mailTo(u"mailto:"_s + mail);
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("shown");
        QTest::newRow("web page") << u"webPageLink"_s << QUrl(web) << web;
        QTest::newRow("e-mail") << u"emailLink"_s << mailTo << mail;
        QTest::newRow("Polish help") << u"helpPolishEmailLink"_s << mailTo << mail;
        QTest::newRow("English help") << u"helpEnglishEmailLink"_s << mailTo << mail;
        QTest::newRow("help pages") << u"helpPagesLink"_s << QUrl(help) << help;
        QTest::newRow("project page") << u"projectPageLink"_s << QUrl(web) << web;
        // The picture opens the help pages on a left click only.
        QTest::newRow("picture") << u"helpPagesImage"_s << QUrl(help) << QString();
    }
    // The program's version 1.6.0 shows as 1.6. A link opens its address, and OK nothing more.
    void aboutBoxShowsTheShortVersionAndEachLinkOpensItsAddress()
    {
        QFETCH(QString, objectName);
        QFETCH(QUrl, url);
        QFETCH(QString, shown);
        CAboutDlg dlg;
        dlg.show();
        QCOMPARE(dlg.findChild<QLabel*>(u"versionLabel"_s)->text(), u"Zembra wersja 1.6"_s);
        auto* link = dlg.findChild<QLabel*>(objectName);
        QVERIFY(link != nullptr);
        // Each link shows the address it opens, in the desktop's link colour, under a hand.
        QCOMPARE(link->palette().color(QPalette::Link), dlg.palette().color(QPalette::Link));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        if (shown.isEmpty()) {
            QVERIFY(!link->pixmap().isNull());
            QTest::mouseClick(link, Qt::RightButton, {}, link->rect().center());
            QVERIFY(m_urls.isEmpty());
        } else {
            QVERIFY(link->text().contains(shown));
        }
        QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
        QTest::mouseClick(dlg.findChild<QPushButton*>(u"okButton"_s), Qt::LeftButton);
        QCOMPARE(dlg.result(), static_cast<int>(QDialog::Accepted));
        QCOMPARE(m_urls, QList<QUrl>{url});
    }
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
