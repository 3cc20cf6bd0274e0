#include "CAboutDlg.h"

#include "CSystemTray.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVersionNumber>

// The image lives in a static library: nothing would pull its object file into the program
// unless something names the registration function. Q_INIT_RESOURCE cannot be used inside a
// namespace.
static void InitAboutResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(about);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace zembra {

namespace {

constexpr int kProgramIconSize = 32;
constexpr int kHelpImageSize = 48;

QUrl MailTo(const char* address)
{
    return QUrl(QStringLiteral("mailto:") + QLatin1String(address));
}

// A row that gives the widget only its own width, so that its hand cursor and its click area
// end where its text ends.
QHBoxLayout* Row(QWidget* widget)
{
    auto* row = new QHBoxLayout;
    row->addWidget(widget);
    row->addStretch();
    return row;
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    InitAboutResources();
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowIcon(CSystemTray::ProgramIcon());

    m_pIcon = new QLabel(this);
    m_pIcon->setObjectName(QStringLiteral("programIcon"));
    m_pIcon->setPixmap(CSystemTray::ProgramIcon().pixmap(QSize(kProgramIconSize, kProgramIconSize),
                                                         devicePixelRatioF()));
    m_pIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_pVersion = new QLabel(this);
    m_pVersion->setObjectName(QStringLiteral("versionLabel"));
    m_pCopyright = new QLabel(this);
    m_pCopyright->setObjectName(QStringLiteral("copyrightLabel"));
    QLabel* webPage = MakeLink(QStringLiteral("webPageLink"), QUrl(QLatin1String(kProjectWebPage)),
                               QLatin1String(kProjectWebPage));
    QLabel* email =
        MakeLink(QStringLiteral("emailLink"), MailTo(kProjectEmail), QLatin1String(kProjectEmail));

    // The help pages are written by the project as well; their lines keep the project's address
    // so that remarks on either language reach whoever maintains it.
    m_pHelpPolish = new QLabel(this);
    m_pHelpPolish->setObjectName(QStringLiteral("helpPolishLabel"));
    m_pHelpPolishCredit = new QLabel(this);
    m_pHelpPolishCredit->setObjectName(QStringLiteral("helpPolishCredit"));
    QLabel* helpPolishEmail = MakeLink(QStringLiteral("helpPolishEmailLink"), MailTo(kProjectEmail),
                                       QLatin1String(kProjectEmail));
    m_pHelpEnglish = new QLabel(this);
    m_pHelpEnglish->setObjectName(QStringLiteral("helpEnglishLabel"));
    m_pHelpEnglishCredit = new QLabel(this);
    m_pHelpEnglishCredit->setObjectName(QStringLiteral("helpEnglishCredit"));
    QLabel* helpEnglishEmail = MakeLink(QStringLiteral("helpEnglishEmailLink"),
                                        MailTo(kProjectEmail), QLatin1String(kProjectEmail));

    m_pHelpPagesText = new QLabel(this);
    m_pHelpPagesText->setObjectName(QStringLiteral("helpPagesText"));
    m_pHelpPagesText->setWordWrap(true);
    m_pHelpPagesImage = new QLabel(this);
    m_pHelpPagesImage->setObjectName(QStringLiteral("helpPagesImage"));
    m_pHelpPagesImage->setPixmap(
        QIcon(QStringLiteral(":/images/about_help.svg"))
            .pixmap(QSize(kHelpImageSize, kHelpImageSize), devicePixelRatioF()));
    m_pHelpPagesImage->setCursor(Qt::PointingHandCursor);
    m_pHelpPagesImage->installEventFilter(this);
    QLabel* helpPages =
        MakeLink(QStringLiteral("helpPagesLink"), QUrl(QLatin1String(kProjectHelpPages)),
                 QLatin1String(kProjectHelpPages));
    m_pAnd = new QLabel(this);
    m_pAnd->setObjectName(QStringLiteral("andLabel"));
    QLabel* projectPage =
        MakeLink(QStringLiteral("projectPageLink"), QUrl(QLatin1String(kProjectWebPage)),
                 QLatin1String(kProjectWebPage));

    m_pOk = new QPushButton(this);
    m_pOk->setObjectName(QStringLiteral("okButton"));
    m_pOk->setDefault(true);
    connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);

    // Upper box: the program and its help pages.
    m_pCreditsGroup = new QGroupBox(this);
    m_pCreditsGroup->setObjectName(QStringLiteral("creditsGroup"));
    auto* credits = new QVBoxLayout;
    credits->addWidget(m_pVersion);
    credits->addWidget(m_pCopyright);
    credits->addLayout(Row(webPage));
    credits->addLayout(Row(email));
    credits->addSpacing(8);
    auto* helpPolishLine = new QHBoxLayout;
    helpPolishLine->addWidget(m_pHelpPolish);
    helpPolishLine->addWidget(m_pHelpPolishCredit);
    helpPolishLine->addStretch();
    credits->addLayout(helpPolishLine);
    credits->addLayout(Row(helpPolishEmail));
    auto* helpEnglishLine = new QHBoxLayout;
    helpEnglishLine->addWidget(m_pHelpEnglish);
    helpEnglishLine->addWidget(m_pHelpEnglishCredit);
    helpEnglishLine->addStretch();
    credits->addLayout(helpEnglishLine);
    credits->addLayout(Row(helpEnglishEmail));
    auto* upper = new QHBoxLayout(m_pCreditsGroup);
    upper->addWidget(m_pIcon, 0, Qt::AlignTop);
    upper->addSpacing(8);
    upper->addLayout(credits, 1);

    // Lower box: where to look for answers.
    m_pLinksGroup = new QGroupBox(this);
    m_pLinksGroup->setObjectName(QStringLiteral("linksGroup"));
    auto* links = new QHBoxLayout;
    links->addWidget(helpPages);
    links->addWidget(m_pAnd);
    links->addWidget(projectPage);
    links->addStretch();
    auto* linksText = new QVBoxLayout;
    linksText->addWidget(m_pHelpPagesText);
    linksText->addLayout(links);
    auto* lower = new QHBoxLayout(m_pLinksGroup);
    lower->addWidget(m_pHelpPagesImage, 0, Qt::AlignVCenter);
    lower->addSpacing(8);
    lower->addLayout(linksText, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pOk);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pCreditsGroup);
    layout->addWidget(m_pLinksGroup);
    layout->addLayout(buttons);
    // A box of fixed size, like every message box.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    RetranslateUi();
}

QString CAboutDlg::ShortVersion(const QString& version)
{
    const QVersionNumber number = QVersionNumber::fromString(version);
    if (number.segmentCount() < 2) {
        return version;
    }
    return QStringLiteral("%1.%2").arg(number.majorVersion()).arg(number.minorVersion());
}

void CAboutDlg::RetranslateUi()
{
    setWindowTitle(tr("O programie"));
    m_pVersion->setText(
        tr("Zembra wersja %1").arg(ShortVersion(QCoreApplication::applicationVersion())));
    m_pCopyright->setText(tr("Copyright © autorzy projektu Zembra"));
    m_pHelpPolish->setText(tr("Plik pomocy (polski):"));
    m_pHelpPolishCredit->setText(tr("autorzy projektu Zembra"));
    m_pHelpEnglish->setText(tr("Plik pomocy (angielski):"));
    m_pHelpEnglishCredit->setText(tr("autorzy projektu Zembra"));
    m_pHelpPagesText->setText(
        tr("Odpowiedzi na pytania o program Zembra znajdziesz na stronach pomocy projektu:"));
    m_pAnd->setText(tr("i"));
    m_pOk->setText(tr("OK"));

    // Some links show the same address; a screen reader tells them apart by what they lead to.
    const auto nameLink = [this](const char* objectName, const QString& name) {
        if (auto* link = findChild<QLabel*>(QLatin1String(objectName))) {
            link->setAccessibleName(name);
        }
    };
    const QString web = QLatin1String(kProjectWebPage);
    const QString email = QLatin1String(kProjectEmail);
    nameLink("webPageLink", tr("Strona programu: %1").arg(web));
    nameLink("projectPageLink", tr("Strona projektu: %1").arg(web));
    nameLink("emailLink", tr("E-mail programu: %1").arg(email));
    nameLink("helpPolishEmailLink", m_pHelpPolish->text() + u' ' + email);
    nameLink("helpEnglishEmailLink", m_pHelpEnglish->text() + u' ' + email);
}

void CAboutDlg::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
    QDialog::changeEvent(event);
}

bool CAboutDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pHelpPagesImage && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton
            && m_pHelpPagesImage->rect().contains(mouse->position().toPoint())) {
            OpenUrl(QUrl(QLatin1String(kProjectHelpPages)));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QLabel* CAboutDlg::MakeLink(const QString& objectName, const QUrl& url, const QString& text)
{
    auto* label = new QLabel(this);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::RichText);
    label->setText(
        QStringLiteral("<a href=\"%1\" style=\"text-decoration:none\">%2</a>")
            .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), text.toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(false);
    label->setCursor(Qt::PointingHandCursor);
    connect(label, &QLabel::linkActivated, this,
            [](const QString& link) { OpenUrl(QUrl(link, QUrl::StrictMode)); });
    return label;
}

void CAboutDlg::OpenUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

} // namespace zembra
