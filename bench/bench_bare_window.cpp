// The floor that scripts/measure-desktop.sh compares the desktop program with: what a bare Qt
// program of the same shape costs (a main window with a menu bar, a toolbar, a three-column
// list and a tray icon), with no sound, no D-Bus of its own and no timers.
//
//   bench_bare_window [--hidden] [N]
//
// N fills the list with N rows of dummy text (0 by default); --hidden starts in the tray when
// there is one. Prints nothing of its own, so that only Qt's start-up is measured.

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QTreeView>

#include <array>
#include <vector>

namespace {

constexpr int kColumns = 3;

// Rows held as text, as a list of alarms would hold its shown texts; a model rather than a
// widget per row, the cheapest way Qt offers to show a long list.
class DummyRows : public QAbstractTableModel {
public:
    explicit DummyRows(int count)
    {
        m_rows.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            m_rows.push_back(
                {QStringLiteral("Alarm %1").arg(i + 1),
                 QStringLiteral("2035-01-01 06:%1").arg(i % 60, 2, 10, QLatin1Char('0')),
                 QStringLiteral("Message %1").arg(i + 1)});
        }
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }

    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : kColumns;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || role != Qt::DisplayRole) {
            return {};
        }
        return m_rows[static_cast<std::size_t>(index.row())]
                     [static_cast<std::size_t>(index.column())];
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return {};
        }
        static const std::array<QString, kColumns> titles{
            QStringLiteral("Comment"), QStringLiteral("Time"), QStringLiteral("Actions")};
        return titles.at(static_cast<std::size_t>(section));
    }

private:
    std::vector<std::array<QString, kColumns>> m_rows;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Like the program measured: closing the window leaves the tray icon.
    QApplication::setQuitOnLastWindowClosed(false);

    bool hidden = false;
    int rows = 0;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        if (argument == QLatin1String("--hidden")) {
            hidden = true;
        } else {
            rows = argument.toInt();
        }
    }

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(600, 370);
    QStyle* style = QApplication::style();

    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    QAction* add =
        file->addAction(style->standardIcon(QStyle::SP_FileIcon), QStringLiteral("&New"));
    QAction* open =
        file->addAction(style->standardIcon(QStyle::SP_DialogOpenButton), QStringLiteral("&Open"));
    QAction* save =
        file->addAction(style->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("&Save"));
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("E&xit"));
    QObject::connect(quit, &QAction::triggered, &app, &QApplication::quit);
    QMenu* help = window.menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* about = help->addAction(style->standardIcon(QStyle::SP_MessageBoxInformation),
                                     QStringLiteral("&About"));

    QToolBar* toolBar = window.addToolBar(QStringLiteral("Main"));
    toolBar->addAction(add);
    toolBar->addAction(open);
    toolBar->addAction(save);
    toolBar->addSeparator();
    toolBar->addAction(about);

    DummyRows model(rows);
    QTreeView list;
    list.setRootIsDecorated(false);
    list.setUniformRowHeights(true);
    list.setModel(&model);
    list.header()->setStretchLastSection(true);
    window.setCentralWidget(&list);

    QMenu trayMenu;
    trayMenu.addAction(quit);
    QSystemTrayIcon tray(style->standardIcon(QStyle::SP_ComputerIcon));
    tray.setToolTip(QStringLiteral("Bare window"));
    tray.setContextMenu(&trayMenu);
    tray.show();

    if (!hidden || !QSystemTrayIcon::isSystemTrayAvailable()) {
        window.show();
    }
    return QApplication::exec();
}
