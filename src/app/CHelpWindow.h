#pragma once

// The help window: the program's own HTML help pages, bundled for each interface language,
// with a contents list, back and forward, and search within the page. One window serves the
// whole program; it is not modal, so the user can read while working in the main window.
//
// Help requests name a command (a command id or the framework's context value of one); the
// context map turns that into a help context, and each context leads to the section of the
// help pages about that command. Anything not in the map passes through unchanged and ends
// on the page that describes how the program works.

#include <QPair>
#include <QString>
#include <QStringList>
#include <QWidget>

class QEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QShowEvent;
class QSplitter;
class QTextBrowser;
class QToolButton;
class QUrl;

namespace zembra {

class CHelpWindow : public QWidget {
    Q_OBJECT

public:
    // The page that describes how the program works: the help-topics command opens it.
    static constexpr const char* kMainTopic = "how_it_works.html";
    // The page with the contents of the help.
    static constexpr const char* kContentsPage = "index.html";

    // The program's one help window, created (hidden) on first use, in the program's language.
    static CHelpWindow* Instance();
    // The program's language changed: the help window, when there is one, follows at once;
    // otherwise it opens in that language when it is first wanted.
    static void SetProgramLanguage(const QString& code);

    explicit CHelpWindow(QWidget* parent = nullptr);
    ~CHelpWindow() override;

    // "pl", "en" or "de" (letter case does not matter); any other code means Polish, the
    // built-in language. The page on show is shown again in the new language, at the same
    // section; the history of the other language is dropped.
    void SetLanguage(const QString& code);
    QString Language() const { return m_strLanguage; }
    // The code of an interface language number: 1 English, 3 German, anything else Polish.
    static QString LanguageCode(int language);

    // Shows the window with a page (a file name such as "alarms.html") of the current
    // language, scrolled to the anchor when one is given. A page that does not exist shows
    // the main topic instead.
    void ShowTopic(const QString& page, const QString& anchor = {});
    void ShowMainTopic();
    void ShowContents();
    // A help request: `context` is a command id, the framework's context value of one, or a
    // help context; see ContextForCommand and SectionForContext.
    void ShowContext(quint32 context);

    // The help context of a command: the low 16 bits of `commandId` looked up in the context
    // map; an id not in the map comes back unchanged.
    static quint32 ContextForCommand(int commandId);
    // The section about a help context: page file name and anchor. An unknown context gives
    // the main topic with no anchor.
    static QPair<QString, QString> SectionForContext(quint32 context);
    // Every help context of the map, each once.
    static QList<quint32> KnownContexts();

    // The languages and the pages of the help, in contents order; the resource of a page.
    static QStringList Languages();
    static QStringList Pages();
    static QString PageResource(const QString& language, const QString& page);

    // Search within the page on show, from the current selection on, wrapping around once.
    // Returns whether the text was found; an empty text finds nothing and reports nothing.
    bool FindText(const QString& text, bool backward = false);
    void FindNext();
    void FindPrevious();

    QString CurrentPage() const;
    QString CurrentAnchor() const;
    // What the search bar says: empty, or that the text was not found.
    QString FindStatusText() const;
    QTextBrowser* Browser() const { return m_pBrowser; }
    QLineEdit* FindEdit() const { return m_pFindEdit; }
    QListWidget* Contents() const { return m_pContents; }

    // Sets the window's texts in the current interface language; also done on every
    // language change.
    void RetranslateUi();

protected:
    void changeEvent(QEvent* event) override;
    // A window shown before any topic was asked for opens on the main topic.
    void showEvent(QShowEvent* event) override;

private:
    QUrl PageUrl(const QString& page, const QString& anchor) const;
    void Navigate(const QString& page, const QString& anchor);
    void FillContents();
    void OnSourceChanged(const QUrl& url);
    void OnContentsItemActivated(QListWidgetItem* item);
    // Empty clears the status; any other text is reported as not found.
    void SetFindStatus(const QString& notFound);
    void BringToFront();

    QString m_strLanguage;
    QString m_strNotFoundText; // the text the status reports as not found, kept for retranslation
    QTextBrowser* m_pBrowser = nullptr;
    QListWidget* m_pContents = nullptr;
    QSplitter* m_pSplitter = nullptr;
    QToolButton* m_pBack = nullptr;
    QToolButton* m_pForward = nullptr;
    QToolButton* m_pHome = nullptr;
    QLabel* m_pFindLabel = nullptr;
    QLineEdit* m_pFindEdit = nullptr;
    QToolButton* m_pFindPrevious = nullptr;
    QToolButton* m_pFindNext = nullptr;
    QLabel* m_pFindStatus = nullptr;
};

} // namespace zembra
