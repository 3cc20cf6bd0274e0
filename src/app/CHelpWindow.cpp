#include "CHelpWindow.h"

#include "CSystemTray.h"

#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QShortcut>
#include <QShowEvent>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

// The pages live in a static library: nothing would pull their object file into the program
// unless something names the registration function. Q_INIT_RESOURCE cannot be used inside a
// namespace.
static void InitHelpResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace zembra {

namespace {

// The help context map: a command id (the low 16 bits of a request) and the help context it
// sends. Looked up in this order; the first match wins.
struct ContextEntry {
    quint16 command;
    quint32 context;
};

constexpr ContextEntry kContextMap[] = {
    {57600, 1},       // new list
    {57601, 2},       // open list
    {57603, 3},       // save list
    {57664, 7},       // about
    {57604, 4},       // save list as
    {57665, 5},       // exit
    {32787, 0x18013}, // suspend the computer
    {32782, 0x1800E}, // restore from the tray
    {32783, 0x1800F}, // hide to the tray
    {32784, 0x18010}, // new alarm
    {32785, 0x18011}, // delete alarm
    {32786, 0x18012}, // edit alarm
    {57667, 6},       // help topics
    {57664, 7},       // about, listed twice in the map
    {32789, 0x18015}, // tip of the day
    {32793, 0x18019}, // wake test
    {57616, 8},       // recent file 1
    {57617, 8},       // recent file 2
    {57618, 8},       // recent file 3
    {57619, 8},       // recent file 4
};

// Where each help context is described: page and anchor, the same in every language.
struct SectionEntry {
    quint32 context;
    const char* page;
    const char* anchor;
};

constexpr SectionEntry kSections[] = {
    {1, "commands.html", "new_list"},
    {2, "commands.html", "open_list"},
    {3, "commands.html", "save_list"},
    {4, "commands.html", "save_as"},
    {5, "commands.html", "exit"},
    {6, "commands.html", "help_topics"},
    {7, "commands.html", "about"},
    {8, "commands.html", "recent_files"},
    {0x18013, "commands.html", "sleep"},
    {0x1800E, "tray.html", "restore"},
    {0x1800F, "tray.html", "hide"},
    {0x18010, "alarms.html", "new_alarm"},
    {0x18011, "alarms.html", "delete_alarm"},
    {0x18012, "alarms.html", "edit_alarm"},
    {0x18015, "settings.html", "tips"},
    {0x18019, "commands.html", "wake_test"},
};

constexpr const char* kPages[] = {
    "index.html",    "how_it_works.html", "alarms.html",   "frequencies.html",
    "types.html",    "actions.html",      "commands.html", "tray.html",
    "settings.html", "files.html",        "wake.html",     "command_line.html",
};

constexpr int kPageRole = Qt::UserRole;

QString NormalisedLanguage(const QString& code)
{
    const QString lower = code.trimmed().toLower();
    if (lower == QLatin1String("en") || lower == QLatin1String("de")) {
        return lower;
    }
    return QStringLiteral("pl");
}

// A page's title as its <title> gives it; the file name when it has none.
QString PageTitle(const QString& resource, const QString& page)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) {
        return page;
    }
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    const QString title = document.metaInformation(QTextDocument::DocumentTitle).trimmed();
    return title.isEmpty() ? page : title;
}

QToolButton* MakeButton(QWidget* parent, const QString& objectName, QStyle::StandardPixmap icon)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

} // namespace

namespace {

QPointer<CHelpWindow>& TheHelpWindow()
{
    static QPointer<CHelpWindow> instance;
    return instance;
}

QString& ProgramLanguage()
{
    static QString code = QStringLiteral("pl");
    return code;
}

} // namespace

CHelpWindow* CHelpWindow::Instance()
{
    QPointer<CHelpWindow>& instance = TheHelpWindow();
    if (instance.isNull()) {
        // Built when help is first asked for: its pages, browser and index cost memory that
        // a program waiting in the tray does not need.
        instance = new CHelpWindow;
        instance->SetLanguage(ProgramLanguage());
    }
    return instance.data();
}

void CHelpWindow::SetProgramLanguage(const QString& code)
{
    ProgramLanguage() = code;
    if (CHelpWindow* window = TheHelpWindow().data()) {
        window->SetLanguage(code);
    }
}

CHelpWindow::CHelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_strLanguage(QStringLiteral("pl"))
{
    InitHelpResources();
    setObjectName(QStringLiteral("helpWindow"));
    setWindowIcon(CSystemTray::ProgramIcon());
    // The program lives on in the tray; closing help must never end it.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(860, 600);

    m_pBack = MakeButton(this, QStringLiteral("helpBack"), QStyle::SP_ArrowBack);
    m_pForward = MakeButton(this, QStringLiteral("helpForward"), QStyle::SP_ArrowForward);
    m_pHome = MakeButton(this, QStringLiteral("helpContents"), QStyle::SP_FileDialogContentsView);
    m_pBack->setEnabled(false);
    m_pForward->setEnabled(false);
    m_pBack->setShortcut(QKeySequence::Back);
    m_pForward->setShortcut(QKeySequence::Forward);

    auto* navigation = new QHBoxLayout;
    navigation->addWidget(m_pBack);
    navigation->addWidget(m_pForward);
    navigation->addWidget(m_pHome);
    navigation->addStretch();

    m_pContents = new QListWidget(this);
    m_pContents->setObjectName(QStringLiteral("helpContentsList"));
    // Long page titles wrap rather than hide behind a scroll bar.
    m_pContents->setWordWrap(true);
    m_pContents->setTextElideMode(Qt::ElideNone);
    m_pContents->setResizeMode(QListView::Adjust);
    m_pContents->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pContents->setSpacing(1);
    m_pBrowser = new QTextBrowser(this);
    m_pBrowser->setObjectName(QStringLiteral("helpBrowser"));
    // Addresses outside the help (web pages) belong to the user's browser.
    m_pBrowser->setOpenExternalLinks(true);

    m_pSplitter = new QSplitter(Qt::Horizontal, this);
    m_pSplitter->setObjectName(QStringLiteral("helpSplitter"));
    m_pSplitter->addWidget(m_pContents);
    m_pSplitter->addWidget(m_pBrowser);
    m_pSplitter->setStretchFactor(0, 0);
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->setSizes({230, 630});
    m_pSplitter->setChildrenCollapsible(false);

    m_pFindLabel = new QLabel(this);
    m_pFindEdit = new QLineEdit(this);
    m_pFindEdit->setObjectName(QStringLiteral("helpFindEdit"));
    m_pFindEdit->setClearButtonEnabled(true);
    m_pFindLabel->setBuddy(m_pFindEdit);
    m_pFindPrevious = MakeButton(this, QStringLiteral("helpFindPrevious"), QStyle::SP_ArrowUp);
    m_pFindNext = MakeButton(this, QStringLiteral("helpFindNext"), QStyle::SP_ArrowDown);
    m_pFindStatus = new QLabel(this);
    m_pFindStatus->setObjectName(QStringLiteral("helpFindStatus"));
    m_pFindStatus->setTextFormat(Qt::PlainText);

    auto* findBar = new QHBoxLayout;
    findBar->addWidget(m_pFindLabel);
    findBar->addWidget(m_pFindEdit, 1);
    findBar->addWidget(m_pFindPrevious);
    findBar->addWidget(m_pFindNext);
    findBar->addWidget(m_pFindStatus, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(navigation);
    layout->addWidget(m_pSplitter, 1);
    layout->addLayout(findBar);

    connect(m_pBack, &QToolButton::clicked, m_pBrowser, &QTextBrowser::backward);
    connect(m_pForward, &QToolButton::clicked, m_pBrowser, &QTextBrowser::forward);
    connect(m_pHome, &QToolButton::clicked, this, &CHelpWindow::ShowContents);
    connect(m_pBrowser, &QTextBrowser::backwardAvailable, m_pBack, &QToolButton::setEnabled);
    connect(m_pBrowser, &QTextBrowser::forwardAvailable, m_pForward, &QToolButton::setEnabled);
    connect(m_pBrowser, &QTextBrowser::sourceChanged, this, &CHelpWindow::OnSourceChanged);
    connect(m_pContents, &QListWidget::itemActivated, this, &CHelpWindow::OnContentsItemActivated);
    connect(m_pContents, &QListWidget::itemClicked, this, &CHelpWindow::OnContentsItemActivated);
    connect(m_pFindEdit, &QLineEdit::returnPressed, this, &CHelpWindow::FindNext);
    connect(m_pFindEdit, &QLineEdit::textChanged, this, [this] { SetFindStatus({}); });
    connect(m_pFindNext, &QToolButton::clicked, this, &CHelpWindow::FindNext);
    connect(m_pFindPrevious, &QToolButton::clicked, this, &CHelpWindow::FindPrevious);

    auto* focusFind = new QShortcut(QKeySequence::Find, this);
    connect(focusFind, &QShortcut::activated, this, [this] {
        m_pFindEdit->setFocus(Qt::ShortcutFocusReason);
        m_pFindEdit->selectAll();
    });
    auto* findNext = new QShortcut(QKeySequence::FindNext, this);
    connect(findNext, &QShortcut::activated, this, &CHelpWindow::FindNext);
    auto* findPrevious = new QShortcut(QKeySequence::FindPrevious, this);
    connect(findPrevious, &QShortcut::activated, this, &CHelpWindow::FindPrevious);

    FillContents();
    RetranslateUi();
}

CHelpWindow::~CHelpWindow() = default;

QString CHelpWindow::LanguageCode(int language)
{
    switch (language) {
    case 1:
        return QStringLiteral("en");
    case 3:
        return QStringLiteral("de");
    default:
        return QStringLiteral("pl");
    }
}

void CHelpWindow::SetLanguage(const QString& code)
{
    const QString language = NormalisedLanguage(code);
    if (language == m_strLanguage) {
        return;
    }
    const QString page = CurrentPage();
    const QString anchor = CurrentAnchor();
    m_strLanguage = language;
    FillContents();
    if (!page.isEmpty()) {
        Navigate(page, anchor);
        // Going back to a page in the language just left would be a surprise.
        m_pBrowser->clearHistory();
    }
}

void CHelpWindow::ShowTopic(const QString& page, const QString& anchor)
{
    Navigate(page, anchor);
    BringToFront();
}

void CHelpWindow::ShowMainTopic()
{
    ShowTopic(QLatin1String(kMainTopic));
}

void CHelpWindow::ShowContents()
{
    ShowTopic(QLatin1String(kContentsPage));
}

void CHelpWindow::ShowContext(quint32 context)
{
    const QPair<QString, QString> section =
        SectionForContext(ContextForCommand(static_cast<int>(context)));
    ShowTopic(section.first, section.second);
}

quint32 CHelpWindow::ContextForCommand(int commandId)
{
    const auto command = static_cast<quint16>(static_cast<quint32>(commandId) & 0xFFFFu);
    for (const ContextEntry& entry : kContextMap) {
        if (entry.command == command) {
            return entry.context;
        }
    }
    return static_cast<quint32>(commandId);
}

QPair<QString, QString> CHelpWindow::SectionForContext(quint32 context)
{
    for (const SectionEntry& entry : kSections) {
        if (entry.context == context) {
            return {QLatin1String(entry.page), QLatin1String(entry.anchor)};
        }
    }
    return {QLatin1String(kMainTopic), QString()};
}

QList<quint32> CHelpWindow::KnownContexts()
{
    QList<quint32> contexts;
    for (const ContextEntry& entry : kContextMap) {
        if (!contexts.contains(entry.context)) {
            contexts << entry.context;
        }
    }
    return contexts;
}

QStringList CHelpWindow::Languages()
{
    return {QStringLiteral("pl"), QStringLiteral("en"), QStringLiteral("de")};
}

QStringList CHelpWindow::Pages()
{
    QStringList pages;
    for (const char* page : kPages) {
        pages << QLatin1String(page);
    }
    return pages;
}

QString CHelpWindow::PageResource(const QString& language, const QString& page)
{
    InitHelpResources();
    return QStringLiteral(":/help/") + NormalisedLanguage(language) + QLatin1Char('/') + page;
}

bool CHelpWindow::FindText(const QString& text, bool backward)
{
    if (text.isEmpty()) {
        SetFindStatus({});
        return false;
    }
    QTextDocument::FindFlags flags;
    if (backward) {
        flags |= QTextDocument::FindBackward;
    }
    if (m_pBrowser->find(text, flags)) {
        SetFindStatus({});
        return true;
    }
    // Not found between here and the end (or the start): try once more from the other end.
    const QTextCursor before = m_pBrowser->textCursor();
    QTextCursor wrapped(m_pBrowser->document());
    wrapped.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    m_pBrowser->setTextCursor(wrapped);
    if (m_pBrowser->find(text, flags)) {
        SetFindStatus({});
        return true;
    }
    m_pBrowser->setTextCursor(before);
    SetFindStatus(text);
    return false;
}

void CHelpWindow::FindNext()
{
    FindText(m_pFindEdit->text(), false);
}

void CHelpWindow::FindPrevious()
{
    FindText(m_pFindEdit->text(), true);
}

QString CHelpWindow::CurrentPage() const
{
    return m_pBrowser->source().fileName();
}

QString CHelpWindow::CurrentAnchor() const
{
    return m_pBrowser->source().fragment();
}

QString CHelpWindow::FindStatusText() const
{
    return m_pFindStatus->text();
}

void CHelpWindow::RetranslateUi()
{
    setWindowTitle(tr("Pomoc programu Zembra"));
    m_pBack->setText(tr("Wstecz"));
    m_pBack->setToolTip(tr("Poprzednia strona") + QStringLiteral(" (")
                        + m_pBack->shortcut().toString(QKeySequence::NativeText)
                        + QLatin1Char(')'));
    m_pForward->setText(tr("Dalej"));
    m_pForward->setToolTip(tr("Następna strona") + QStringLiteral(" (")
                           + m_pForward->shortcut().toString(QKeySequence::NativeText)
                           + QLatin1Char(')'));
    m_pHome->setText(tr("Spis treści"));
    m_pFindLabel->setText(tr("&Szukaj na stronie:"));
    m_pFindEdit->setPlaceholderText(tr("Szukany tekst"));
    m_pFindPrevious->setText(tr("Poprzednie"));
    m_pFindPrevious->setToolTip(tr("Szukaj wstecz"));
    m_pFindNext->setText(tr("Następne"));
    m_pFindNext->setToolTip(tr("Szukaj dalej"));
    // No label stands beside the topics and the page: a screen reader is told what they are.
    m_pContents->setAccessibleName(tr("Lista tematów"));
    m_pBrowser->setAccessibleName(tr("Treść strony pomocy"));
    SetFindStatus(m_strNotFoundText);
}

void CHelpWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
    QWidget::changeEvent(event);
}

void CHelpWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_pBrowser->source().isEmpty()) {
        Navigate(QLatin1String(kMainTopic), {});
    }
}

QUrl CHelpWindow::PageUrl(const QString& page, const QString& anchor) const
{
    QUrl url(QStringLiteral("qrc:/help/") + m_strLanguage + QLatin1Char('/') + page);
    if (!anchor.isEmpty()) {
        url.setFragment(anchor);
    }
    return url;
}

void CHelpWindow::Navigate(const QString& page, const QString& anchor)
{
    if (page.isEmpty() || page.contains(QLatin1Char('/'))
        || !QFile::exists(PageResource(m_strLanguage, page))) {
        m_pBrowser->setSource(PageUrl(QLatin1String(kMainTopic), {}));
        return;
    }
    m_pBrowser->setSource(PageUrl(page, anchor));
}

void CHelpWindow::FillContents()
{
    const QSignalBlocker blocker(m_pContents);
    m_pContents->clear();
    for (const QString& page : Pages()) {
        auto* item =
            new QListWidgetItem(PageTitle(PageResource(m_strLanguage, page), page), m_pContents);
        item->setData(kPageRole, page);
    }
    OnSourceChanged(m_pBrowser != nullptr ? m_pBrowser->source() : QUrl());
}

void CHelpWindow::OnSourceChanged(const QUrl& url)
{
    const QString page = url.fileName();
    const QSignalBlocker blocker(m_pContents);
    for (int row = 0; row < m_pContents->count(); ++row) {
        QListWidgetItem* item = m_pContents->item(row);
        if (item->data(kPageRole).toString() == page) {
            m_pContents->setCurrentItem(item);
            return;
        }
    }
    m_pContents->clearSelection();
}

void CHelpWindow::OnContentsItemActivated(QListWidgetItem* item)
{
    if (item != nullptr) {
        Navigate(item->data(kPageRole).toString(), {});
    }
}

void CHelpWindow::SetFindStatus(const QString& notFound)
{
    m_strNotFoundText = notFound;
    m_pFindStatus->setText(notFound.isEmpty() ? QString() : tr("Nie znaleziono: %1").arg(notFound));
}

void CHelpWindow::BringToFront()
{
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

} // namespace zembra
