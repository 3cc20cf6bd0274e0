#pragma once

// The "O programie" box: the program icon and version, who makes the program and its help
// pages, and links that open the project's web pages or a new e-mail to the project in the
// user's own browser and mail program. Each link shows the address it opens.

#include <QDialog>
#include <QString>
#include <QUrl>

class QEvent;
class QGroupBox;
class QLabel;
class QObject;
class QPushButton;

namespace zembra {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    // ---- The project's addresses -------------------------------------------------------------
    // PLACEHOLDERS: the maintainers put the project's real web page, help pages and e-mail
    // address here. Nothing else in the program spells them out.
    static constexpr const char* kProjectWebPage = "https://zembra.example.org";
    static constexpr const char* kProjectHelpPages = "https://zembra.example.org/help";
    static constexpr const char* kProjectEmail = "zembra@example.org";
    // ------------------------------------------------------------------------------------------

    explicit CAboutDlg(QWidget* parent = nullptr);

    // "1.6" from "1.6.0": the version as the box shows it, major and minor only. A text that
    // is not a version comes back unchanged.
    static QString ShortVersion(const QString& version);

    // Sets the texts in the current language; also done on every language change.
    void RetranslateUi();

protected:
    void changeEvent(QEvent* event) override;
    // Clicks on the help-pages image, which acts like the help-pages link.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* MakeLink(const QString& objectName, const QUrl& url, const QString& text);
    // Hands an address to the desktop; a missing browser or mail program is not reported.
    static void OpenUrl(const QUrl& url);

    QLabel* m_pIcon = nullptr;
    QLabel* m_pVersion = nullptr;
    QLabel* m_pCopyright = nullptr;
    QLabel* m_pHelpPolish = nullptr;
    QLabel* m_pHelpPolishCredit = nullptr;
    QLabel* m_pHelpEnglish = nullptr;
    QLabel* m_pHelpEnglishCredit = nullptr;
    QLabel* m_pHelpPagesText = nullptr;
    QLabel* m_pHelpPagesImage = nullptr;
    QLabel* m_pAnd = nullptr;
    QGroupBox* m_pCreditsGroup = nullptr;
    QGroupBox* m_pLinksGroup = nullptr;
    QPushButton* m_pOk = nullptr;
};

} // namespace zembra
